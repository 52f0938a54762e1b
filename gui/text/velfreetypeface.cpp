#include "velfreetypeface.h"

#include "velfile.h"
#include "velfileinfo.h"
#include "velfontdatabase.h"
#include "velthreadstorage.h"

#include FT_TRUETYPE_TABLES_H
#include FT_TYPE1_TABLES_H

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{

VelThreadStorage<VelFreetypeData *> theFreetypeData;

constexpr int kInvalidOutline = 0x1570;
const char kMemoryFontPrefix[] = ":velmemoryfonts/";

// Rounds halves up, also for negative values.
int roundHalfUp(double x)
{
    if (x >= 0)
        return int(x + 0.5);
    const double t = std::trunc(x - 1);
    return int(t) + int(std::trunc(x - t + 0.5));
}

bool isUnicodeMap(FT_Encoding e)
{
    return e == FT_ENCODING_UNICODE;
}

VelPointF mapPoint(const VelFixedPoint &origin, const FT_Vector &p)
{
    return VelPointF(origin.x.toReal() + p.x / 64.0, origin.y.toReal() - p.y / 64.0);
}

VelPointF mid(const VelPointF &a, const VelPointF &b)
{
    return VelPointF((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
}

VelPointF twoThirds(const VelPointF &control, const VelPointF &end)
{
    return VelPointF((2 * control.x() + end.x()) / 3, (2 * control.y() + end.y()) / 3);
}

// Reads the font bytes the key names when FreeType cannot open it by path.
// False when a resource file cannot be opened.
bool fontBytesForKey(const FaceId &faceId, VelByteArray *bytes)
{
    const VelString fileName = VelFile::decodeName(faceId.filename);
    if (fileName.startsWith(VelString(kMemoryFontPrefix))) {
        bool ok = false;
        const int index = fileName.mid(int(sizeof(kMemoryFontPrefix)) - 1).toInt(&ok);
        if (ok)
            *bytes = vel_fontdata_from_index(index);
        return true;
    }
    if (!VelFileInfo(fileName).isNativePath()) {
        VelFile file(fileName);
        if (!file.open(VelIODevice::ReadOnly))
            return false;
        *bytes = file.readAll();
    }
    return true;
}

} // namespace

VelFreetypeData *vel_getFreetypeData()
{
    VelFreetypeData *&data = theFreetypeData.localData();
    if (!data)
        data = new VelFreetypeData;
    return data;
}

FT_Library vel_getFreetype()
{
    VelFreetypeData *data = vel_getFreetypeData();
    if (!data->library)
        FT_Init_FreeType(&data->library);
    return data->library;
}

VelFreetypeFace::VelFreetypeFace()
{
    matrix.xx = 0x10000;
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = 0x10000;
    std::memset(cmapCache, 0, sizeof(cmapCache));
}

VelFreetypeFace::~VelFreetypeFace()
{
    if (shapingFace && shapingFaceDestroy)
        shapingFaceDestroy(shapingFace);
    if (face)
        FT_Done_Face(face);
}

VelFreetypeFace *VelFreetypeFace::getFace(const FaceId &faceId, const VelByteArray &fontData)
{
    if (faceId.filename.isEmpty() && fontData.isEmpty())
        return nullptr;
    VelFreetypeData *data = vel_getFreetypeData();
    if (!data->library)
        FT_Init_FreeType(&data->library);

    const auto it = data->faces.find(faceId);
    if (it != data->faces.end() && it->second) {
        it->second->m_ref.ref();
        return it->second;
    }

    std::unique_ptr<VelFreetypeFace> newFace(new VelFreetypeFace);
    if (!faceId.filename.isEmpty()) {
        if (!fontBytesForKey(faceId, &newFace->m_fontData))
            return nullptr;
    } else {
        newFace->m_fontData = fontData;
    }

    FT_Face face = nullptr;
    const FT_Error error =
        newFace->m_fontData.isEmpty()
            ? FT_New_Face(data->library, faceId.filename.constData(), faceId.index, &face)
            : FT_New_Memory_Face(data->library,
                                 reinterpret_cast<const FT_Byte *>(newFace->m_fontData.constData()),
                                 FT_Long(newFace->m_fontData.size()), faceId.index, &face);
    if (error)
        return nullptr;
    newFace->face = face;
    newFace->m_ref.store(1);
    newFace->chooseCharmaps();

    if (!FT_IS_SCALABLE(face) && face->num_fixed_sizes == 1)
        FT_Set_Char_Size(face, face->available_sizes[0].x_ppem, face->available_sizes[0].y_ppem, 0,
                         0);
    FT_Set_Charmap(face, newFace->unicode_map);

    VelFreetypeFace *shared = newFace.release();
    data->faces[faceId] = shared;
    return shared;
}

void VelFreetypeFace::chooseCharmaps()
{
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap cm = face->charmaps[i];
        switch (cm->encoding) {
        case FT_ENCODING_UNICODE:
            unicode_map = cm;
            break;
        case FT_ENCODING_APPLE_ROMAN:
        case FT_ENCODING_ADOBE_LATIN_1:
            if (!unicode_map || !isUnicodeMap(unicode_map->encoding))
                unicode_map = cm;
            break;
        case FT_ENCODING_ADOBE_CUSTOM:
        case FT_ENCODING_MS_SYMBOL:
            if (!symbol_map)
                symbol_map = cm;
            break;
        default:
            break;
        }
    }
}

void VelFreetypeFace::release(const FaceId &faceId)
{
    VelFreetypeData *data = vel_getFreetypeData();
    if (!m_ref.deref()) {
        const auto it = data->faces.find(faceId);
        if (it != data->faces.end() && it->second == this)
            data->faces.erase(it);
        delete this;
    }
    if (data->faces.empty() && data->library) {
        FT_Done_FreeType(data->library);
        data->library = nullptr;
    }
}

int VelFreetypeFace::fsType() const
{
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    return os2 ? int(velint16(os2->fsType)) : 0;
}

void VelFreetypeFace::computeSize(const VelFontDef &fontDef, int *xsize, int *ysize,
                                  bool *outlineDrawing)
{
    *ysize = roundHalfUp(fontDef.pixelSize * 64);
    *xsize = *ysize * fontDef.stretch / 100;
    *outlineDrawing = false;

    if (FT_IS_SCALABLE(face)) {
        *outlineDrawing = *xsize > (64 << 6) || *ysize > (64 << 6);
        return;
    }
    if (face->num_fixed_sizes <= 0) {
        *xsize = *ysize = 0;
        return;
    }
    int best = 0;
    const FT_Bitmap_Size *sizes = face->available_sizes;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
        const long dy = std::labs(long(*ysize) - sizes[i].y_ppem);
        const long bestDy = std::labs(long(*ysize) - sizes[best].y_ppem);
        const long dx = std::labs(long(*xsize) - sizes[i].x_ppem);
        const long bestDx = std::labs(long(*xsize) - sizes[best].x_ppem);
        if (dy < bestDy || (dy == bestDy && dx < bestDx))
            best = i;
    }
    if (FT_Set_Char_Size(face, sizes[best].x_ppem, sizes[best].y_ppem, 0, 0) == 0) {
        *xsize = int(sizes[best].x_ppem);
        *ysize = int(sizes[best].y_ppem);
    } else {
        *xsize = *ysize = 0;
    }
}

VelFontEngine::Properties VelFreetypeFace::properties() const
{
    VelFontEngine::Properties p;
    p.postscriptName = VelByteArray(FT_Get_Postscript_Name(face));
    PS_FontInfoRec fontInfo;
    if (!FT_Get_PS_Font_Info(face, &fontInfo) && fontInfo.notice)
        p.copyright = VelByteArray(fontInfo.notice);
    if (FT_IS_SCALABLE(face)) {
        p.ascent = VelFixed::fromFixed(int(face->ascender * 64));
        p.descent = VelFixed::fromFixed(int(-face->descender * 64));
        p.leading =
            VelFixed::fromFixed(int((face->height - face->ascender + face->descender) * 64));
        p.emSquare = VelFixed::fromFixed(int(face->units_per_EM * 64));
        p.boundingBox =
            VelRectF(face->bbox.xMin, -face->bbox.yMax, face->bbox.xMax - face->bbox.xMin,
                     face->bbox.yMax - face->bbox.yMin);
    } else {
        const FT_Size_Metrics &m = face->size->metrics;
        p.emSquare = VelFixed::fromFixed(int(m.y_ppem * 64));
        p.ascent = VelFixed::fromFixed(int(m.ascender));
        p.descent = VelFixed::fromFixed(int(-m.descender));
        p.leading = VelFixed::fromFixed(int(m.height - m.ascender + m.descender));
        p.boundingBox = VelRectF(0, -m.ascender / 64.0, int(m.max_advance / 64),
                                 (m.ascender - m.descender) / 64.0);
    }
    p.italicAngle = VelFixed(0);
    p.capHeight = p.ascent;
    p.lineWidth = VelFixed::fromFixed(int(face->underline_thickness * 64));
    return p;
}

bool VelFreetypeFace::getSfntTable(uint tag, uchar *buffer, uint *length) const
{
    if (!face || !FT_IS_SFNT(face))
        return false;
    FT_ULong len = *length;
    const bool ok = FT_Load_Sfnt_Table(face, tag, 0, buffer, &len) == 0;
    *length = uint(len);
    return ok;
}

int VelFreetypeFace::getPointInOutline(glyph_t glyph, int flags, uint point, VelFixed *xpos,
                                       VelFixed *ypos, uint *nPoints)
{
    if (const FT_Error error = FT_Load_Glyph(face, glyph, flags))
        return int(error);
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return kInvalidOutline;
    *nPoints = uint(face->glyph->outline.n_points);
    if (*nPoints == 0)
        return 0;
    if (point >= *nPoints)
        return kInvalidOutline;
    *xpos = VelFixed::fromFixed(int(face->glyph->outline.points[point].x));
    *ypos = VelFixed::fromFixed(int(face->glyph->outline.points[point].y));
    return 0;
}

void VelFreetypeFace::addGlyphToPath(FT_Face face, FT_GlyphSlot g, const VelFixedPoint &point,
                                     VelPainterPath *path, FT_Fixed xScale, FT_Fixed yScale)
{
    const FT_Fixed xFactor = FT_MulDiv(xScale, 1024, face->units_per_EM);
    const FT_Fixed yFactor = FT_MulDiv(yScale, 1024, face->units_per_EM);
    FT_Outline &outline = g->outline;
    for (int i = 0; i < outline.n_points; ++i) {
        outline.points[i].x = FT_MulFix(outline.points[i].x, xFactor);
        outline.points[i].y = FT_MulFix(outline.points[i].y, yFactor);
    }

    int first = 0;
    for (int contour = 0; contour < outline.n_contours; ++contour) {
        const int last = outline.contours[contour];
        if (last < first || last >= outline.n_points)
            break; // a malformed outline; FreeType validates, but never index past it
        VelPointF start = mapPoint(point, outline.points[first]);
        int begin = first + 1;
        int end = last;
        if (!(outline.tags[first] & 1)) {
            // An off-curve first point is a control point of the first
            // segment, not to be skipped; the contour then starts at the last
            // point when that is on the curve, else half way to it.
            begin = first;
            if (outline.tags[last] & 1) {
                start = mapPoint(point, outline.points[last]);
                end = last - 1;
            } else {
                start = mid(start, mapPoint(point, outline.points[last]));
            }
        }
        path->moveTo(start);
        VelPointF c[4];
        c[0] = start;
        int n = 1;
        for (int i = begin; i <= end; ++i) {
            c[n] = mapPoint(point, outline.points[i]);
            ++n;
            switch (outline.tags[i] & 3) {
            case 2: // cubic control point
                if (n < 4)
                    continue;
                c[3] = mid(c[3], c[2]);
                --i;
                break;
            case 0: // quadratic control point
                if (n < 3)
                    continue;
                c[3] = mid(c[1], c[2]);
                c[2] = twoThirds(c[1], c[3]);
                c[1] = twoThirds(c[1], c[0]);
                --i;
                break;
            default: // on-curve
                if (n == 2) {
                    path->lineTo(c[1]);
                    c[0] = c[1];
                    n = 1;
                    continue;
                }
                if (n == 3) {
                    c[3] = c[2];
                    c[2] = twoThirds(c[1], c[3]);
                    c[1] = twoThirds(c[1], c[0]);
                }
                break;
            }
            path->cubicTo(c[1], c[2], c[3]);
            c[0] = c[3];
            n = 1;
        }
        if (n == 1) {
            path->closeSubpath();
        } else {
            c[3] = start;
            if (n == 2) {
                c[2] = twoThirds(c[1], c[3]);
                c[1] = twoThirds(c[1], c[0]);
            }
            path->cubicTo(c[1], c[2], c[3]);
        }
        first = last + 1;
    }
}

void VelFreetypeFace::addBitmapToPath(FT_GlyphSlot slot, const VelFixedPoint &point,
                                      VelPainterPath *path)
{
    if (slot->format != FT_GLYPH_FORMAT_BITMAP || slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
        return;
    vel_addBitmapToPath(point.x.toReal() + (slot->metrics.horiBearingX >> 6),
                        point.y.toReal() - (slot->metrics.horiBearingY >> 6), slot->bitmap.buffer,
                        slot->bitmap.pitch, int(slot->bitmap.width), int(slot->bitmap.rows), path);
}
