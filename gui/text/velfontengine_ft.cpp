#include "velfontengine_ft.h"

#include "velchar.h"
#include "velenvironment.h"
#include "vellogging.h"

#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TYPE1_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace
{

constexpr int kMaxTransformedSets = 10;
constexpr int kMaxCachedPixelSize = 64;
// The bearing caches hold this until they are computed.
constexpr int kBearingNotComputed = -32768;

int floor26(FT_Pos v)
{
    return int(v & -64);
}
int ceil26(FT_Pos v)
{
    return int((v + 63) & -64);
}
int roundToPixel(FT_Pos v)
{
    return int((v + 32) & -64);
}

bool fitsSigned8(long v)
{
    return v >= -128 && v <= 127;
}

FT_Matrix identityMatrix()
{
    FT_Matrix m;
    m.xx = 0x10000;
    m.xy = 0;
    m.yx = 0;
    m.yy = 0x10000;
    return m;
}

bool sameMatrix(const FT_Matrix &a, const FT_Matrix &b)
{
    return a.xx == b.xx && a.xy == b.xy && a.yx == b.yx && a.yy == b.yy;
}

FT_Matrix toFtMatrix(const VelTransform &t)
{
    FT_Matrix m;
    m.xx = FT_Fixed(t.m11() * 65536);
    m.xy = FT_Fixed(-t.m21() * 65536);
    m.yx = FT_Fixed(-t.m12() * 65536);
    m.yy = FT_Fixed(t.m22() * 65536);
    return m;
}

int bytesPerLine(VelFontEngine::GlyphFormat format, int width)
{
    switch (format) {
    case VelFontEngine::Format_Mono:
        return ((width + 31) & ~31) >> 3;
    case VelFontEngine::Format_A32:
        return width * 4;
    default:
        return (width + 3) & ~3;
    }
}

VelImage::Format imageFormatFor(VelFontEngine::GlyphFormat format)
{
    switch (format) {
    case VelFontEngine::Format_Mono:
        return VelImage::Format_Mono;
    case VelFontEngine::Format_A32:
        return VelImage::Format_ARGB32;
    default:
        return VelImage::Format_Indexed8;
    }
}

// Code point at str[i], combining a surrogate pair (advancing i past it).
uint codePointAt(const VelChar *str, int &i, int len)
{
    uint uc = str[i].unicode();
    if (VelChar::isHighSurrogate(uc) && i + 1 < len) {
        const uint low = str[i + 1].unicode();
        if (VelChar::isLowSurrogate(low)) {
            ++i;
            uc = VelChar::surrogateToUcs4(char16_t(uc), char16_t(low));
        }
    }
    return uc;
}

// The identity or a pure translation; exact values answer without the fuzzy
// classification, which is slow for the common untransformed case.
inline bool isTranslationOnly(const VelTransform &t)
{
    if (t.m11() == 1 && t.m12() == 0 && t.m21() == 0 && t.m22() == 1 && t.m13() == 0 &&
        t.m23() == 0 && t.m33() == 1)
        return true;
    return t.type() <= VelTransform::TxTranslate;
}

bool cacheDisabledByEnvironment()
{
    return velEnvironmentVariableIntValue("VEL_NO_FT_CACHE") != 0;
}

// A 1-3-8-3-1 filter over the sub-pixels of each scratch row (subpixels wide,
// pixels a row of the glyph), then RGB (or BGR) pixels with green as alpha.
// The filter reads two sub-pixels to each side, so only sub-pixels with both
// neighbours inside the row are filtered; the outer two on each side stay 0,
// which the four sub-pixels of padding the outline was moved by leave blank.
void convertHorizontalSubpixel(const uchar *src, int srcPitch, int subpixels, int width, int height,
                               uint *dst, bool bgr)
{
    std::vector<uint> filtered(size_t(std::max(subpixels, 0)), 0);
    for (int y = 0; y < height; ++y) {
        const uchar *row = src + size_t(y) * size_t(srcPitch);
        for (int x = 2; x < subpixels - 2; ++x)
            filtered[x] =
                (row[x - 2] + 3 * row[x - 1] + 8 * row[x] + 3 * row[x + 1] + row[x + 2]) >> 4;
        for (int x = 0; x < width; ++x) {
            // Pixel x takes sub-pixels 3x + 1 .. 3x + 3; those past the row
            // (never with the loader's sizes) count as blank.
            const int first = 3 * x + 1;
            uint r = first < subpixels ? filtered[first] : 0;
            uint g = first + 1 < subpixels ? filtered[first + 1] : 0;
            uint b = first + 2 < subpixels ? filtered[first + 2] : 0;
            if (bgr)
                std::swap(r, b);
            dst[size_t(y) * width + x] = (std::min(g, 255u) << 24) | (std::min(r, 255u) << 16) |
                                         (std::min(g, 255u) << 8) | std::min(b, 255u);
        }
    }
}

void convertVerticalSubpixel(const uchar *src, int srcPitch, int width, int height, uint *dst,
                             bool bgr)
{
    for (int y = 0; y < height; ++y) {
        const uchar *r0 = src + (3 * y) * srcPitch;
        const uchar *r1 = r0 + srcPitch;
        const uchar *r2 = r1 + srcPitch;
        if (bgr)
            std::swap(r0, r2);
        for (int x = 0; x < width; ++x) {
            const uint a = r0[x], b = r1[x], c = r2[x];
            const uint red = (180 * a + 60 * b + 16 * c) >> 8;
            const uint green = (38 * (a + c) + 180 * b) >> 8;
            const uint blue = (16 * a + 60 * b + 180 * c) >> 8;
            dst[y * width + x] = (green << 24) | (red << 16) | (green << 8) | blue;
        }
    }
}

} // namespace

// ---- VelGlyphSet

VelFontEngineFT::VelGlyphSet::VelGlyphSet() : transformationMatrix(identityMatrix())
{
    std::fill(std::begin(fastGlyphs), std::end(fastGlyphs), nullptr);
}

VelFontEngineFT::VelGlyphSet::~VelGlyphSet()
{
    clear();
}

void VelFontEngineFT::VelGlyphSet::setGlyph(glyph_t index, VelFixed subPixelPosition, Glyph *glyph)
{
    if (useFastGlyphData(index, subPixelPosition)) {
        if (!fastGlyphs[index])
            ++fastGlyphCount;
        else if (fastGlyphs[index] != glyph)
            delete fastGlyphs[index];
        fastGlyphs[index] = glyph;
        return;
    }
    Glyph *&slot = otherGlyphs[{index, subPixelPosition}];
    if (slot && slot != glyph)
        delete slot;
    slot = glyph;
}

void VelFontEngineFT::VelGlyphSet::removeGlyphFromCache(glyph_t index, VelFixed subPixelPosition)
{
    if (useFastGlyphData(index, subPixelPosition)) {
        if (fastGlyphs[index]) {
            delete fastGlyphs[index];
            fastGlyphs[index] = nullptr;
            if (fastGlyphCount > 0)
                --fastGlyphCount;
        }
        return;
    }
    const auto it = otherGlyphs.find({index, subPixelPosition});
    if (it != otherGlyphs.end()) {
        delete it->second;
        otherGlyphs.erase(it);
    }
}

void VelFontEngineFT::VelGlyphSet::clear()
{
    if (fastGlyphCount > 0) {
        for (Glyph *&g : fastGlyphs) {
            delete g;
            g = nullptr;
        }
        fastGlyphCount = 0;
    }
    for (auto &entry : otherGlyphs)
        delete entry.second;
    otherGlyphs.clear();
}

// ---- construction

VelFontEngineFT::VelFontEngineFT(const VelFontDef &fd)
    : matrix(identityMatrix()), lbearing(VelFixed(kBearingNotComputed)),
      rbearing(VelFixed(kBearingNotComputed))
{
    std::memset(&metrics, 0, sizeof(metrics));
    fontDef = fd;
    cache_cost = 100;
    subPixelPositionCount = 4;
    cacheEnabled = !cacheDisabledByEnvironment();
}

VelFontEngineFT::~VelFontEngineFT()
{
    if (freetype)
        freetype->release(face_id);
    face_id = FaceId();
}

VelFontEngineFTRawData::~VelFontEngineFTRawData() = default;

bool VelFontEngineFT::init(const FaceId &faceId, bool antialias, GlyphFormat format,
                           const VelByteArray &fontData)
{
    return init(faceId, antialias, format, VelFreetypeFace::getFace(faceId, fontData));
}

bool VelFontEngineFT::init(const FaceId &faceId, bool antialiasing, GlyphFormat format,
                           VelFreetypeFace *freetypeFace)
{
    freetype = freetypeFace;
    if (!freetype) {
        xsize = 0;
        ysize = 0;
        return false;
    }
    defaultFormat = format;
    antialias = antialiasing;
    if (!antialias)
        glyphFormat = Format_Mono;
    else if (format == Format_A8)
        glyphFormat = Format_A8;
    else if (format == Format_A32)
        glyphFormat = Format_A32;
    face_id = faceId;

    symbol = freetype->symbol_map != nullptr;
    PS_FontInfoRec psrec;
    if (!FT_Get_PS_Font_Info(freetype->face, &psrec))
        symbol = VelString::fromLatin1(psrec.family_name)
                     .contains(VelString("symbol"), Vel::CaseInsensitive);

    lbearing = rbearing = VelFixed(kBearingNotComputed);
    freetype->computeSize(fontDef, &xsize, &ysize, &defaultGlyphSet_.outline_drawing);

    FT_Face face = lockFace();
    if (FT_IS_SCALABLE(face)) {
        obliquen =
            fontDef.style != VelFontDef::StyleNormal && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
        FT_Set_Transform(face, &matrix, nullptr);
        freetype->matrix = matrix;
        embolden = fontDef.weight == VelFontDef::Bold &&
                   !(face->style_flags & FT_STYLE_FLAG_BOLD) && !FT_IS_FIXED_WIDTH(face);
        line_thickness = VelFixed::fromFixed(
            int(FT_MulFix(face->underline_thickness, face->size->metrics.y_scale)));
        underline_position = VelFixed::fromFixed(
            int(-FT_MulFix(face->underline_position, face->size->metrics.y_scale)));
    } else {
        // Bitmap fonts carry no usable underline: derive it from weight and size.
        const int score = int(fontDef.weight * fontDef.pixelSize);
        int thickness = score / 700;
        if (thickness < 2 && score >= 1050)
            thickness = 2;
        line_thickness = VelFixed(thickness);
        underline_position = VelFixed::fromFixed(((thickness * 2 + 3) * 64) / 6);
    }
    if (line_thickness < VelFixed(1))
        line_thickness = VelFixed(1);

    metrics = face->size->metrics;

    // Embedded strikes of a scalable font bring their own ascent and descent.
    if (FT_IS_SCALABLE(face)) {
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            if (xsize == face->available_sizes[i].x_ppem &&
                ysize == face->available_sizes[i].y_ppem) {
                face->face_flags &= ~FT_FACE_FLAG_SCALABLE;
                FT_Select_Size(face, i);
                metrics.ascender = face->size->metrics.ascender;
                metrics.descender = face->size->metrics.descender;
                FT_Set_Char_Size(face, xsize, ysize, 0, 0);
                face->face_flags |= FT_FACE_FLAG_SCALABLE;
                break;
            }
        }
    }

    fontDef.styleName = VelString::fromUtf8(face->style_name ? face->style_name : "");

    if (freetype->shapingFace) {
        shapingFace = freetype->shapingFace;
    } else {
        harfbuzzFace();
        freetype->shapingFace = shapingFace;
        freetype->shapingFaceDestroy = shapingFaceDestroy;
    }
    // The shared face frees the shaping face, not this engine.
    shapingFaceDestroy = nullptr;

    unlockFace();
    fsType = freetype->fsType();
    return true;
}

bool VelFontEngineFT::initFromFontEngine(const VelFontEngineFT *fe)
{
    // Referenced before init so that a failed clone's destructor releases
    // exactly the reference it holds.
    fe->freetype->ref();
    if (!init(fe->face_id, fe->antialias, fe->defaultFormat, fe->freetype))
        return false;
    default_load_flags = fe->default_load_flags;
    default_hint_style = fe->default_hint_style;
    antialias = fe->antialias;
    embolden = fe->embolden;
    obliquen = fe->obliquen;
    subpixelType = fe->subpixelType;
    lcdFilterType = fe->lcdFilterType;
    embeddedbitmap = fe->embeddedbitmap;
    return true;
}

VelFontEngine *VelFontEngineFT::cloneWithSize(double pixelSize) const
{
    VelFontDef fd(fontDef);
    fd.pixelSize = pixelSize;
    auto *fe = new VelFontEngineFT(fd);
    if (!fe->initFromFontEngine(this)) {
        delete fe;
        return nullptr;
    }
    return fe;
}

// ---- face access

FT_Face VelFontEngineFT::lockFace(Scaling scale) const
{
    freetype->lock();
    FT_Face face = freetype->face;
    // A bitmap-only face has no em-sized strike: asking for one would drop
    // the selected strike, so it keeps the engine's size.
    if (scale == Unscaled && FT_IS_SCALABLE(face)) {
        const int em = int(face->units_per_EM) << 6;
        FT_Set_Char_Size(face, em, em, 0, 0);
        freetype->xsize = em;
        freetype->ysize = em;
    } else if (freetype->xsize != xsize || freetype->ysize != ysize) {
        FT_Set_Char_Size(face, xsize, ysize, 0, 0);
        freetype->xsize = xsize;
        freetype->ysize = ysize;
    }
    if (!sameMatrix(freetype->matrix, matrix)) {
        freetype->matrix = matrix;
        FT_Set_Transform(face, &freetype->matrix, nullptr);
    }
    return face;
}

void VelFontEngineFT::unlockFace() const
{
    freetype->unlock();
}

FT_Face VelFontEngineFT::non_locked_face() const
{
    return freetype->face;
}

int VelFontEngineFT::loadFlags(VelGlyphSet *set, GlyphFormat format, int flags, bool &hsubpixel,
                               int &vfactor) const
{
    int loadFlags = FT_LOAD_DEFAULT | default_load_flags;
    int target = default_hint_style == HintLight ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_NORMAL;
    if (format == Format_Mono) {
        target = FT_LOAD_TARGET_MONO;
    } else if (format == Format_A32) {
        if (subpixelType == Subpixel_RGB || subpixelType == Subpixel_BGR) {
            hsubpixel = true;
            if (default_hint_style == HintFull)
                target = FT_LOAD_TARGET_LCD;
        } else if (subpixelType == Subpixel_VRGB || subpixelType == Subpixel_VBGR) {
            vfactor = 3;
            if (default_hint_style == HintFull)
                target = FT_LOAD_TARGET_LCD_V;
        }
    }
    const bool outline = set && set->outline_drawing;
    if (outline)
        loadFlags = FT_LOAD_NO_BITMAP;
    if (default_hint_style == HintNone || (flags & DesignMetrics) || outline)
        loadFlags |= FT_LOAD_NO_HINTING;
    else
        loadFlags |= target;
    return loadFlags;
}

// ---- the glyph loader

VelFontEngineFT::Glyph *VelFontEngineFT::loadGlyph(VelGlyphSet *set, uint glyph,
                                                   VelFixed subPixelPosition, GlyphFormat format,
                                                   bool fetchMetricsOnly) const
{
    if (format == Format_None)
        format = defaultFormat != Format_None ? defaultFormat : Format_Mono;

    Glyph *g = set ? set->findGlyph(glyph, subPixelPosition) : nullptr;
    if (g && g->format == format && (fetchMetricsOnly || g->data))
        return g;

    bool hsubpixel = false;
    int vfactor = 1;
    int load_flags = loadFlags(set, format, 0, hsubpixel, vfactor);
    if (format != Format_Mono && !embeddedbitmap)
        load_flags |= FT_LOAD_NO_BITMAP;

    FT_Matrix localMatrix = freetype->matrix;
    bool transform = !sameMatrix(localMatrix, identityMatrix());
    if (transform)
        load_flags |= FT_LOAD_NO_BITMAP;

    FT_Face face = freetype->face;
    FT_Vector delta;
    delta.x = format == Format_Mono ? 0 : subPixelPosition.value();
    delta.y = 0;
    FT_Set_Transform(face, &freetype->matrix, &delta);

    FT_Error err = FT_Load_Glyph(face, glyph, load_flags);
    if (err && (load_flags & FT_LOAD_NO_BITMAP)) {
        load_flags &= ~FT_LOAD_NO_BITMAP;
        err = FT_Load_Glyph(face, glyph, load_flags);
    }
    if (err == FT_Err_Too_Few_Arguments) {
        // Broken hinting instructions: let the auto-hinter do it.
        load_flags |= FT_LOAD_FORCE_AUTOHINT;
        err = FT_Load_Glyph(face, glyph, load_flags);
    }
    // The delta only applies to this load; later loads must not inherit it.
    FT_Set_Transform(face, &freetype->matrix, nullptr);
    if (err != FT_Err_Ok)
        velWarning("load glyph failed err=%x face=%p, glyph=%d", err, static_cast<void *>(face),
                   glyph);

    FT_GlyphSlot slot = face->glyph;
    if (embolden)
        FT_GlyphSlot_Embolden(slot);
    if (obliquen) {
        FT_GlyphSlot_Oblique(slot);
        transform = true;
        FT_Matrix shear;
        shear.xx = 0x10000;
        shear.xy = 0x6000;
        shear.yx = 0;
        shear.yy = 0x10000;
        FT_Matrix_Multiply(&freetype->matrix, &shear);
        localMatrix = shear;
    }

    const long linearAdvance = slot->linearHoriAdvance >> 10;
    const bool linearFits = linearAdvance >= -32768 && linearAdvance <= 32767;

    if (fetchMetricsOnly || (set && set->outline_drawing)) {
        const int left = floor26(slot->metrics.horiBearingX);
        const int right = ceil26(slot->metrics.horiBearingX + slot->metrics.width);
        const int top = ceil26(slot->metrics.horiBearingY);
        const int bottom = floor26(slot->metrics.horiBearingY - slot->metrics.height);
        const long advance = (slot->advance.x + 32) >> 6;
        if (!linearFits || !fitsSigned8(advance) || std::abs(top / 64) > 127 ||
            (right - left) / 64 > 255 || (top - bottom) / 64 > 255 || std::abs(left / 64) > 127 ||
            (right - left) < 0 || (top - bottom) < 0)
            return nullptr;
        auto *record = new Glyph;
        record->linearAdvance = short(linearAdvance);
        record->width = uchar((right - left) / 64);
        record->height = uchar((top - bottom) / 64);
        record->x = static_cast<signed char>(left / 64);
        record->y = static_cast<signed char>(top / 64);
        record->advance = static_cast<signed char>(advance);
        record->format = static_cast<signed char>(format);
        if (set)
            set->setGlyph(glyph, subPixelPosition, record);
        return record;
    }

    long left = slot->metrics.horiBearingX;
    long right = left + slot->metrics.width;
    long top = slot->metrics.horiBearingY;
    long bottom = top - slot->metrics.height;
    if (transform && slot->format != FT_GLYPH_FORMAT_BITMAP) {
        FT_Vector corners[4] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
        for (FT_Vector &v : corners)
            FT_Vector_Transform(&v, &localMatrix);
        left = right = corners[0].x;
        top = bottom = corners[0].y;
        for (const FT_Vector &v : corners) {
            left = std::min<long>(left, v.x);
            right = std::max<long>(right, v.x);
            top = std::max<long>(top, v.y);
            bottom = std::min<long>(bottom, v.y);
        }
    }
    left = floor26(left);
    right = ceil26(right);
    bottom = floor26(bottom);
    top = ceil26(top);

    long columns = (right - left) >> 6;
    if (subPixelPosition > VelFixed() && format != Format_Mono)
        ++columns;
    const long height = (top - bottom) >> 6;
    long xOffset = -(left >> 6);
    const long offsetY = top >> 6;
    long width = columns;
    if (hsubpixel) {
        columns = columns * 3 + 8;
        width = columns / 3;
        xOffset += 1;
    }
    const long advance = (slot->advance.x + 32) >> 6;

    // Values the record cannot hold: nothing is cached, the caller draws paths.
    if (!linearFits || width < 0 || width > 255 || height < 0 || height > 255 ||
        !fitsSigned8(-xOffset) || !fitsSigned8(offsetY) || !fitsSigned8(advance))
        return nullptr;

    const int pitch = bytesPerLine(format, int(width));
    const size_t bufferSize = size_t(pitch) * size_t(height);
    std::unique_ptr<uchar[]> buffer(new uchar[bufferSize]);
    std::memset(buffer.get(), 0, bufferSize);

    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Bitmap bitmap;
        std::memset(&bitmap, 0, sizeof(bitmap));
        bitmap.rows = uint(height * vfactor);
        bitmap.width = uint(columns);
        bitmap.pitch =
            format == Format_Mono ? int(((width + 31) / 32) * 4) : int((bitmap.width + 3) & ~3u);
        const bool scratchNeeded = hsubpixel || vfactor != 1 || format == Format_A32;
        std::unique_ptr<uchar[]> scratch;
        const size_t scratchSize = size_t(bitmap.rows) * size_t(bitmap.pitch);
        if (scratchNeeded) {
            scratch.reset(new uchar[scratchSize]);
            std::memset(scratch.get(), 0, scratchSize);
            bitmap.buffer = scratch.get();
        } else {
            bitmap.buffer = buffer.get();
        }
        bitmap.pixel_mode = format == Format_Mono ? FT_PIXEL_MODE_MONO : FT_PIXEL_MODE_GRAY;
        bitmap.num_grays = 256;
        FT_Matrix scale;
        scale.xx = (hsubpixel ? 3 : 1) << 16;
        scale.xy = 0;
        scale.yx = 0;
        scale.yy = vfactor << 16;
        FT_Outline_Transform(&slot->outline, &scale);
        FT_Outline_Translate(&slot->outline, hsubpixel ? (4 << 6) - 3 * left : -left,
                             -bottom * vfactor);
        FT_Outline_Get_Bitmap(vel_getFreetype(), &slot->outline, &bitmap);

        uint *dst = reinterpret_cast<uint *>(buffer.get());
        if (hsubpixel) {
            convertHorizontalSubpixel(bitmap.buffer, bitmap.pitch, int(columns), int(width),
                                      int(height), dst, subpixelType == Subpixel_BGR);
        } else if (vfactor != 1) {
            convertVerticalSubpixel(bitmap.buffer, bitmap.pitch, int(width), int(height), dst,
                                    subpixelType == Subpixel_VBGR);
        } else if (format == Format_A32) {
            for (long y = 0; y < height; ++y)
                for (long x = 0; x < width; ++x)
                    dst[y * width + x] =
                        0xff000000u | uint(bitmap.buffer[y * bitmap.pitch + x]) * 0x010101u;
        }
    } else if (slot->format == FT_GLYPH_FORMAT_BITMAP &&
               slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        // The strike's own bitmap may disagree with its metrics in a broken
        // font: copy only what both buffers hold.
        const FT_Bitmap &src = slot->bitmap;
        const int srcPitch = std::abs(src.pitch);
        const long rows = std::min<long>(height, long(src.rows));
        const long cols = std::min<long>(width, long(src.width));
        for (long y = 0; y < rows; ++y) {
            const uchar *srcRow = src.buffer + y * srcPitch;
            uchar *dstRow = buffer.get() + y * pitch;
            if (format == Format_Mono) {
                std::memcpy(dstRow, srcRow, size_t(std::min<long>((cols + 7) / 8, srcPitch)));
            } else {
                for (long x = 0; x < cols; ++x) {
                    const bool on = srcRow[x >> 3] & (0x80 >> (x & 7));
                    if (format == Format_A32)
                        reinterpret_cast<uint *>(dstRow)[x] = on ? 0xffffffffu : 0xff000000u;
                    else
                        dstRow[x] = on ? 0xff : 0x00;
                }
            }
        }
    } else {
        velWarning("VelFontEngine: Glyph neither outline nor bitmap format=%d", int(slot->format));
        return nullptr;
    }

    const bool reuse = g != nullptr;
    if (!g)
        g = new Glyph;
    g->linearAdvance = short(linearAdvance);
    g->width = uchar(width);
    g->height = uchar(height);
    g->x = static_cast<signed char>(-xOffset);
    g->y = static_cast<signed char>(offsetY);
    g->advance = static_cast<signed char>(advance);
    g->format = static_cast<signed char>(format);
    delete[] g->data;
    g->data = buffer.release();
    g->image = VelImage();
    if (set && !reuse)
        set->setGlyph(glyph, subPixelPosition, g);
    return g;
}

// ---- character mapping and advances

bool VelFontEngineFT::stringToCMap(const VelChar *str, int len, VelGlyphLayout *glyphs,
                                   int *nglyphs, ShaperFlags flags) const
{
    if (*nglyphs < len) {
        *nglyphs = len;
        return false;
    }
    // Held in locals: the stores into the layout could alias the face's
    // fields, which would make the compiler reload them for every character.
    const glyph_t *const cmapCache = freetype->cmapCache;
    glyph_t *const out = glyphs->glyphs;
    const bool mirror = !freetype->symbol_map && (flags & RightToLeft);
    int glyphPos = 0;
    for (int i = 0; i < len; ++i) {
        // Most text is a run of characters already looked up: one read each.
        const uint c = str[i].unicode();
        if (!mirror && c < VelFreetypeFace::cmapCacheSize && cmapCache[c]) {
            out[glyphPos++] = cmapCache[c];
            continue;
        }
        uint uc = codePointAt(str, i, len);
        if (mirror)
            uc = VelChar::mirroredChar(uc);
        out[glyphPos++] = glyphForCodePoint(uc);
    }
    *nglyphs = glyphPos;
    glyphs->numGlyphs = glyphPos;
    if (!(flags & GlyphIndicesOnly))
        recalcAdvances(glyphs, flags);
    return true;
}

glyph_t VelFontEngineFT::glyphForCodePoint(uint uc) const
{
    if (uc < VelFreetypeFace::cmapCacheSize && freetype->cmapCache[uc])
        return freetype->cmapCache[uc];
    FT_Face face = freetype->face;
    freetype->lock();
    glyph_t glyph = FT_Get_Char_Index(face, uc);
    if (!glyph && (uc == 0x09 || uc == 0xa0)) {
        uc = 0x20;
        glyph = FT_Get_Char_Index(face, uc);
    }
    if (!glyph && freetype->symbol_map) {
        FT_Set_Charmap(face, freetype->symbol_map);
        glyph = FT_Get_Char_Index(face, uc);
        FT_Set_Charmap(face, freetype->unicode_map);
    }
    freetype->unlock();
    if (uc < VelFreetypeFace::cmapCacheSize)
        freetype->cmapCache[uc] = glyph;
    return glyph;
}

bool VelFontEngineFT::canRender(const VelChar *str, int len) const
{
    FT_Face face = freetype->face;
    for (int i = 0; i < len; ++i) {
        const uint uc = codePointAt(str, i, len);
        if (!FT_Get_Char_Index(face, uc))
            return false;
    }
    return true;
}

bool VelFontEngineFT::shouldUseDesignMetrics(ShaperFlags flags) const
{
    if (!FT_IS_SCALABLE(freetype->face))
        return false;
    return default_hint_style == HintNone || default_hint_style == HintLight ||
           (flags & DesignMetrics);
}

void VelFontEngineFT::recalcAdvances(VelGlyphLayout *glyphs, ShaperFlags flags) const
{
    FT_Face face = nullptr;
    const bool design = shouldUseDesignMetrics(flags);
    const GlyphFormat acceptable = defaultFormat != Format_None ? defaultFormat : Format_Mono;
    // Locals for what the loop reads, so that the stores into the layout do
    // not make the compiler reload them for every glyph.
    const int count = glyphs->numGlyphs;
    const glyph_t *const indices = glyphs->glyphs;
    VelFixed *const advancesX = glyphs->advances_x;
    VelFixed *const advancesY = glyphs->advances_y;
    const bool cached = cacheEnabled;
    for (int i = 0; i < count; ++i) {
        advancesY[i] = VelFixed();
        Glyph *g = cached ? defaultGlyphSet_.findGlyph(indices[i], VelFixed()) : nullptr;
        if (g && g->format == acceptable) {
            advancesX[i] =
                VelFixed::fromFixed(design ? int(g->linearAdvance) : int(g->advance) * 64);
        } else {
            if (!face)
                face = lockFace();
            g = loadGlyph(cached ? &defaultGlyphSet_ : nullptr, indices[i], VelFixed(), Format_None,
                          true);
            advancesX[i] =
                design ? VelFixed::fromFixed(int(face->glyph->linearHoriAdvance >> 10))
                       : VelFixed::fromFixed(roundToPixel(face->glyph->metrics.horiAdvance));
            if (!cached)
                delete g;
        }
    }
    if (face)
        unlockFace();
    if (fontDef.styleStrategy & VelFontDef::ForceIntegerMetrics) {
        for (int i = 0; i < glyphs->numGlyphs; ++i)
            glyphs->advances_x[i] = glyphs->advances_x[i].round();
    }
}

void VelFontEngineFT::doKerning(VelGlyphLayout *glyphs, ShaperFlags flags) const
{
    if (!kerning_pairs_loaded) {
        kerning_pairs_loaded = true;
        if (metrics.x_ppem != 0) {
            const int scalingFactor = int(freetype->face->units_per_EM / metrics.x_ppem);
            const_cast<VelFontEngineFT *>(this)->loadKerningPairs(VelFixed(scalingFactor));
        }
    }
    const bool design =
        shouldUseDesignMetrics(flags) && !(fontDef.styleStrategy & VelFontDef::ForceIntegerMetrics);
    VelFontEngine::doKerning(glyphs, design ? (flags | DesignMetrics) : (flags & ~DesignMetrics));
}

// ---- metrics

VelFixed VelFontEngineFT::ascent() const
{
    return VelFixed::fromFixed(int(metrics.ascender));
}

VelFixed VelFontEngineFT::descent() const
{
    return VelFixed::fromFixed(int(-metrics.descender));
}

VelFixed VelFontEngineFT::leading() const
{
    return VelFixed::fromFixed(int(metrics.height - metrics.ascender + metrics.descender));
}

double VelFontEngineFT::maxCharWidth() const
{
    return double(metrics.max_advance >> 6);
}

VelFixed VelFontEngineFT::xHeight() const
{
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(freetype->face, FT_SFNT_OS2));
    if (os2 && os2->sxHeight) {
        FT_Face face = lockFace();
        const VelFixed answer = VelFixed::fromFixed(
            int(long(os2->sxHeight) * face->size->metrics.y_ppem * 64 / face->units_per_EM));
        unlockFace();
        return answer;
    }
    return VelFontEngine::xHeight();
}

VelFixed VelFontEngineFT::averageCharWidth() const
{
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(freetype->face, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth) {
        FT_Face face = lockFace();
        const VelFixed answer = VelFixed::fromFixed(
            int(long(os2->xAvgCharWidth) * face->size->metrics.x_ppem * 64 / face->units_per_EM));
        unlockFace();
        return answer;
    }
    return VelFontEngine::averageCharWidth();
}

VelFixed VelFontEngineFT::emSquareSize() const
{
    if (FT_IS_SCALABLE(freetype->face))
        return VelFixed(int(freetype->face->units_per_EM));
    return VelFixed(int(freetype->face->size->metrics.y_ppem));
}

void VelFontEngineFT::getMinBearings() const
{
    static const char16_t bearingChars[] = {0x0028, 0x0043, 0x0046, 0x004b, 0x0056, 0x0058, 0x0059,
                                            0x005b, 0x005f, 0x0066, 0x0072, 0x007c, 0x007f, 0x00cd,
                                            0x0285, 0x0374, 0x039a, 0x042e, 0x3062};
    constexpr int count = int(sizeof(bearingChars) / sizeof(bearingChars[0]));
    lbearing = VelFixed();
    rbearing = VelFixed();
    VelChar chars[count];
    for (int i = 0; i < count; ++i)
        chars[i] = VelChar(bearingChars[i]);
    VelGlyphLayout layout(count);
    int n = count;
    stringToCMap(chars, count, &layout, &n, GlyphIndicesOnly);
    auto *self = const_cast<VelFontEngineFT *>(this);
    // The first entry is deliberately not examined.
    for (int i = n - 1; i > 0; --i) {
        if (!layout.glyphs[i])
            continue;
        const glyph_metrics_t gm = self->boundingBox(layout.glyphs[i]);
        lbearing = velMin(lbearing, gm.x);
        rbearing = velMin(rbearing, gm.xoff - gm.x - gm.width);
    }
}

double VelFontEngineFT::minLeftBearing() const
{
    if (lbearing == VelFixed(kBearingNotComputed))
        getMinBearings();
    return lbearing.toReal();
}

double VelFontEngineFT::minRightBearing() const
{
    if (rbearing == VelFixed(kBearingNotComputed))
        getMinBearings();
    return rbearing.toReal();
}

int VelFontEngineFT::synthesized() const
{
    int s = 0;
    const FT_Face face = freetype->face;
    if (fontDef.style != VelFontDef::StyleNormal && !(face->style_flags & FT_STYLE_FLAG_ITALIC))
        s |= SynthesizedItalic;
    if (fontDef.weight == VelFontDef::Bold && !(face->style_flags & FT_STYLE_FLAG_BOLD))
        s |= SynthesizedBold;
    if (fontDef.stretch != 100 && FT_IS_SCALABLE(face))
        s |= SynthesizedStretch;
    return s;
}

bool VelFontEngineFT::supportsSubPixelPositions() const
{
    return default_hint_style == HintNone || default_hint_style == HintLight;
}

VelFontEngine::Properties VelFontEngineFT::properties() const
{
    lockFace();
    Properties p = freetype->properties();
    unlockFace();
    if (p.postscriptName.isEmpty())
        p.postscriptName = convertToPostscriptFontFamilyName(fontDef.family.toUtf8());
    return p;
}

bool VelFontEngineFT::getSfntTableData(uint tag, uchar *buffer, uint *length) const
{
    freetype->lock();
    const bool ok = freetype->getSfntTable(tag, buffer, length);
    freetype->unlock();
    return ok;
}

bool VelFontEngineFT::supportsTransformation(const VelTransform &transform) const
{
    return transform.type() <= VelTransform::TxTranslate;
}

int VelFontEngineFT::glyphCount() const
{
    if (!freetype)
        return 0;
    FT_Face face = lockFace();
    const int count = int(face->num_glyphs);
    unlockFace();
    return count;
}

int VelFontEngineFT::getPointInOutline(glyph_t glyph, int flags, uint point, VelFixed *xpos,
                                       VelFixed *ypos, uint *nPoints)
{
    lockFace();
    bool hsubpixel = true;
    int vfactor = 1;
    const int load_flags = loadFlags(nullptr, Format_A8, flags, hsubpixel, vfactor);
    const int result = freetype->getPointInOutline(glyph, load_flags, point, xpos, ypos, nPoints);
    unlockFace();
    return result;
}

// ---- glyph sets and images

VelFontEngineFT::VelGlyphSet *VelFontEngineFT::loadTransformedGlyphSet(const VelTransform &m)
{
    if (m.type() > VelTransform::TxShear || !FT_IS_SCALABLE(freetype->face))
        return nullptr;
    const FT_Matrix wanted = toFtMatrix(m);
    for (auto it = transformedGlyphSets_.begin(); it != transformedGlyphSets_.end(); ++it) {
        if (sameMatrix(it->transformationMatrix, wanted)) {
            transformedGlyphSets_.splice(transformedGlyphSets_.begin(), transformedGlyphSets_, it);
            return &transformedGlyphSets_.front();
        }
    }
    if (fontDef.pixelSize * std::sqrt(std::abs(m.determinant())) >= kMaxCachedPixelSize)
        return nullptr;
    if (int(transformedGlyphSets_.size()) >= kMaxTransformedSets)
        transformedGlyphSets_.splice(transformedGlyphSets_.begin(), transformedGlyphSets_,
                                     std::prev(transformedGlyphSets_.end()));
    else
        transformedGlyphSets_.emplace_front();
    VelGlyphSet &set = transformedGlyphSets_.front();
    set.clear();
    set.transformationMatrix = wanted;
    set.outline_drawing = false;
    return &set;
}

VelFontEngineFT::Glyph *VelFontEngineFT::loadGlyphFor(glyph_t g, VelFixed subPixelPosition,
                                                      GlyphFormat format)
{
    if (defaultGlyphSet_.outline_drawing)
        return nullptr;
    return loadGlyph(cacheEnabled ? &defaultGlyphSet_ : nullptr, g, subPixelPosition, format,
                     false);
}

VelImage *VelFontEngineFT::lockedImageOf(Glyph *glyph, GlyphFormat format, VelPoint *offset)
{
    if (offset)
        *offset = VelPoint(glyph->x, -glyph->y);
    // Drawing text locks the same glyphs over and over: the image over a
    // cached record is made once and shared.
    if (glyph->image.isNull())
        glyph->image = imageOver(glyph, format);
    return &glyph->image;
}

VelImage VelFontEngineFT::imageOver(const Glyph *glyph, GlyphFormat format)
{
    return VelImage(glyph->data, glyph->width, glyph->height, bytesPerLine(format, glyph->width),
                    imageFormatFor(format));
}

VelImage *VelFontEngineFT::lockedAlphaMapForGlyph(glyph_t glyphIndex, VelFixed subPixelPosition,
                                                  GlyphFormat neededFormat, const VelTransform &t,
                                                  VelPoint *offset)
{
    neededFormat = lockedMapFormat(neededFormat);
    // A glyph already rendered for the untransformed font needs the face
    // locked, not set up: neither its size nor its transform is used. This is
    // the path of every glyph of warm text, so it comes first and the rest
    // lives out of line.
    if (cacheEnabled && !defaultGlyphSet_.outline_drawing) {
        Glyph *cached = defaultGlyphSet_.findGlyph(glyphIndex, subPixelPosition);
        if (cached && cached->format == neededFormat && cached->data && isTranslationOnly(t)) {
            // A space has nothing to draw; no image, and so nothing to unlock.
            if (!cached->width || !cached->height)
                return nullptr;
            freetype->lock();
            if (offset)
                *offset = VelPoint(cached->x, -cached->y);
            if (cached->image.isNull())
                cached->image = imageOver(cached, neededFormat);
            return &cached->image;
        }
    }
    return lockedAlphaMapUncached(glyphIndex, subPixelPosition, neededFormat, t, offset);
}

VelImage *VelFontEngineFT::lockedAlphaMapUncached(glyph_t glyphIndex, VelFixed subPixelPosition,
                                                  GlyphFormat neededFormat, const VelTransform &t,
                                                  VelPoint *offset)
{
    FT_Face face = lockFace();

    Glyph *glyph = nullptr;
    std::unique_ptr<Glyph> temporary;
    if (cacheEnabled) {
        const HintStyle savedHintStyle = default_hint_style;
        VelGlyphSet *set = nullptr;
        if (isTranslationOnly(t)) {
            set = &defaultGlyphSet_;
        } else {
            default_hint_style = HintNone;
            if (t.isAffine())
                set = loadTransformedGlyphSet(t);
        }
        if (set) {
            FT_Matrix m = matrix;
            if (set != &defaultGlyphSet_)
                FT_Matrix_Multiply(&set->transformationMatrix, &m);
            if (!sameMatrix(freetype->matrix, m)) {
                freetype->matrix = m;
                FT_Set_Transform(face, &freetype->matrix, nullptr);
            }
        }
        if (!set || set->outline_drawing ||
            !(glyph = loadGlyph(set, glyphIndex, subPixelPosition, neededFormat))) {
            default_hint_style = savedHintStyle;
            VelImage *generic = VelFontEngine::lockedAlphaMapForGlyph(glyphIndex, subPixelPosition,
                                                                      neededFormat, t, offset);
            // Nothing to unlock later when there is no image: release now.
            if (!generic)
                unlockFace();
            return generic;
        }
        default_hint_style = savedHintStyle;
    } else {
        FT_Matrix m = matrix;
        FT_Matrix converted = toFtMatrix(t);
        FT_Matrix_Multiply(&converted, &m);
        freetype->matrix = m;
        FT_Set_Transform(face, &freetype->matrix, nullptr);
        temporary.reset(loadGlyph(nullptr, glyphIndex, subPixelPosition, neededFormat));
        glyph = temporary.get();
    }

    if (!glyph || !glyph->data || glyph->width == 0 || glyph->height == 0) {
        unlockFace();
        return nullptr;
    }

    if (cacheEnabled)
        return lockedImageOf(glyph, neededFormat, offset);
    if (offset)
        *offset = VelPoint(glyph->x, -glyph->y);
    currentlyLockedAlphaMap =
        VelImage(glyph->data, glyph->width, glyph->height, bytesPerLine(neededFormat, glyph->width),
                 imageFormatFor(neededFormat))
            .copy();
    return &currentlyLockedAlphaMap;
}

void VelFontEngineFT::unlockAlphaMapForGlyph()
{
    unlockFace();
    if (!currentlyLockedAlphaMap.isNull())
        currentlyLockedAlphaMap = VelImage();
    VelFontEngine::unlockAlphaMapForGlyph();
}

VelImage VelFontEngineFT::alphaMapForGlyph(glyph_t g)
{
    return alphaMapForGlyph(g, VelFixed());
}

VelImage VelFontEngineFT::alphaMapForGlyph(glyph_t g, VelFixed subPixelPosition)
{
    lockFace();
    const GlyphFormat format = antialias ? Format_A8 : Format_Mono;
    Glyph *glyph = loadGlyphFor(g, subPixelPosition, format);
    if (cacheEnabled || !glyph || !glyph->data) {
        if (!cacheEnabled)
            delete glyph;
        unlockFace();
        return VelFontEngine::alphaMapForGlyph(g);
    }
    std::unique_ptr<Glyph> temporary(glyph);
    const int pitch = bytesPerLine(format, glyph->width);
    VelImage img(glyph->width, glyph->height,
                 antialias ? VelImage::Format_Indexed8 : VelImage::Format_Mono);
    if (antialias) {
        std::vector<VelRgb> colors(256);
        for (uint i = 0; i < 256; ++i)
            colors[i] = i << 24;
        img.setColorTable(colors);
    } else {
        img.setColorTable({0x00000000u, 0xff000000u});
    }
    if (glyph->width) {
        const int copyBytes = std::min(pitch, img.bytesPerLine());
        for (int y = 0; y < glyph->height; ++y)
            std::memcpy(img.scanLine(y), glyph->data + y * pitch, size_t(copyBytes));
    }
    unlockFace();
    return img;
}

VelImage VelFontEngineFT::alphaRGBMapForGlyph(glyph_t g, VelFixed subPixelPosition,
                                              const VelTransform &t)
{
    if (t.type() > VelTransform::TxTranslate)
        return VelFontEngine::alphaRGBMapForGlyph(g, subPixelPosition, t);
    lockFace();
    Glyph *glyph = loadGlyphFor(g, subPixelPosition, Format_A32);
    if (cacheEnabled || !glyph) {
        unlockFace();
        return VelFontEngine::alphaRGBMapForGlyph(g, subPixelPosition, t);
    }
    std::unique_ptr<Glyph> temporary(glyph);
    if (!glyph->data) {
        unlockFace();
        return VelFontEngine::alphaRGBMapForGlyph(g, subPixelPosition, t);
    }
    VelImage img(glyph->width, glyph->height, VelImage::Format_RGB32);
    for (int y = 0; y < glyph->height; ++y)
        std::memcpy(img.scanLine(y), glyph->data + y * glyph->width * 4, size_t(glyph->width) * 4);
    unlockFace();
    return img;
}

glyph_metrics_t VelFontEngineFT::boxFromSlot(FT_Face face) const
{
    const FT_Glyph_Metrics &m = face->glyph->metrics;
    const int left = floor26(m.horiBearingX);
    const int right = ceil26(m.horiBearingX + m.width);
    const int top = ceil26(m.horiBearingY);
    const int bottom = floor26(m.horiBearingY - m.height);
    glyph_metrics_t gm;
    gm.x = VelFixed::fromFixed(left);
    gm.y = VelFixed::fromFixed(-top);
    gm.width = VelFixed::fromFixed(right - left);
    gm.height = VelFixed::fromFixed(top - bottom);
    gm.xoff = VelFixed::fromFixed(roundToPixel(face->glyph->advance.x));
    gm.yoff = VelFixed();
    return gm;
}

namespace
{
glyph_metrics_t boxFromRecord(const VelFontEngineFT::Glyph *g)
{
    glyph_metrics_t gm;
    gm.x = VelFixed(int(g->x));
    gm.y = VelFixed(-int(g->y));
    gm.width = VelFixed(int(g->width));
    gm.height = VelFixed(int(g->height));
    gm.xoff = VelFixed(int(g->advance));
    gm.yoff = VelFixed();
    return gm;
}
} // namespace

glyph_metrics_t VelFontEngineFT::alphaMapBoundingBox(glyph_t glyph, VelFixed subPixelPosition,
                                                     const VelTransform &matrixIn,
                                                     GlyphFormat format)
{
    VelGlyphSet *set = nullptr;
    const FT_Matrix converted = toFtMatrix(matrixIn);
    if (cacheEnabled) {
        if (matrixIn.type() > VelTransform::TxTranslate && FT_IS_SCALABLE(freetype->face)) {
            for (auto it = transformedGlyphSets_.begin(); it != transformedGlyphSets_.end(); ++it) {
                if (sameMatrix(it->transformationMatrix, converted)) {
                    transformedGlyphSets_.splice(transformedGlyphSets_.begin(),
                                                 transformedGlyphSets_, it);
                    set = &transformedGlyphSets_.front();
                    break;
                }
            }
            if (!set) {
                if (int(transformedGlyphSets_.size()) >= kMaxTransformedSets)
                    transformedGlyphSets_.splice(transformedGlyphSets_.begin(),
                                                 transformedGlyphSets_,
                                                 std::prev(transformedGlyphSets_.end()));
                else
                    transformedGlyphSets_.emplace_front();
                set = &transformedGlyphSets_.front();
                set->clear();
                set->transformationMatrix = converted;
                set->outline_drawing = false;
            }
        } else {
            set = &defaultGlyphSet_;
        }
    }

    Glyph *g = set ? set->findGlyph(glyph, subPixelPosition) : nullptr;
    if (g && g->format != format)
        g = nullptr;
    bool locked = false;
    std::unique_ptr<Glyph> temporary;
    FT_Face face = nullptr;
    if (!g) {
        face = lockFace();
        locked = true;
        FT_Matrix m = matrix;
        FT_Matrix c = converted;
        FT_Matrix_Multiply(&c, &m);
        freetype->matrix = m;
        FT_Set_Transform(face, &freetype->matrix, nullptr);
        g = loadGlyph(set, glyph, subPixelPosition, format, false);
        if (!set)
            temporary.reset(g);
    }

    glyph_metrics_t overall;
    if (g)
        overall = boxFromRecord(g);
    else
        overall = boxFromSlot(face);
    if (locked)
        unlockFace();
    return overall;
}

glyph_metrics_t VelFontEngineFT::boundingBox(glyph_t glyph, const VelTransform &matrixIn)
{
    return alphaMapBoundingBox(glyph, VelFixed(), matrixIn, Format_None);
}

VelFontEngineFT::Glyph *VelFontEngineFT::cachedGlyphAnyFormat(glyph_t glyph)
{
    return cacheEnabled ? defaultGlyphSet_.findGlyph(glyph, VelFixed()) : nullptr;
}

glyph_metrics_t VelFontEngineFT::boundingBox(glyph_t glyph)
{
    Glyph *g = cachedGlyphAnyFormat(glyph);
    if (g)
        return boxFromRecord(g);
    FT_Face face = lockFace();
    g = loadGlyph(cacheEnabled ? &defaultGlyphSet_ : nullptr, glyph, VelFixed(), Format_None, true);
    const glyph_metrics_t overall = g ? boxFromRecord(g) : boxFromSlot(face);
    if (!cacheEnabled)
        delete g;
    unlockFace();
    return overall;
}

glyph_metrics_t VelFontEngineFT::boundingBox(const VelGlyphLayout &glyphs)
{
    FT_Face face = nullptr;
    glyph_metrics_t overall;
    overall.y = -ascent();
    overall.height = ascent() + descent();
    VelFixed ymax;
    VelFixed xmax;
    for (int i = 0; i < glyphs.numGlyphs; ++i) {
        Glyph *g = cachedGlyphAnyFormat(glyphs.glyphs[i]);
        std::unique_ptr<Glyph> temporary;
        if (!g) {
            if (!face)
                face = lockFace();
            g = loadGlyph(cacheEnabled ? &defaultGlyphSet_ : nullptr, glyphs.glyphs[i], VelFixed(),
                          Format_None, true);
            if (!cacheEnabled)
                temporary.reset(g);
        }
        const glyph_metrics_t box = g ? boxFromRecord(g) : boxFromSlot(face);
        // Record boxes store the left edge as x and the top as -y.
        const VelFixed x = overall.xoff + glyphs.offsets[i].x + box.x;
        const VelFixed y = overall.yoff + glyphs.offsets[i].y + box.y;
        overall.x = velMin(overall.x, x);
        overall.y = velMin(overall.y, y);
        xmax = velMax(xmax, x + box.width);
        ymax = velMax(ymax, y + box.height);
        overall.xoff += box.xoff;
    }
    overall.height = velMax(overall.height, ymax - overall.y);
    overall.width = xmax - overall.x;
    if (face)
        unlockFace();
    return overall;
}

void VelFontEngineFT::removeGlyphFromCache(glyph_t glyph)
{
    defaultGlyphSet_.removeGlyphFromCache(glyph, VelFixed());
}

// ---- outlines

void VelFontEngineFT::addGlyphsToPath(glyph_t *glyphs, VelFixedPoint *positions, int numGlyphs,
                                      VelPainterPath *path, RenderFlags flags)
{
    FT_Face face = lockFace(Unscaled);
    for (int gl = 0; gl < numGlyphs; ++gl) {
        if (FT_Load_Glyph(face, glyphs[gl], FT_LOAD_NO_BITMAP) != 0)
            continue;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
            continue;
        if (embolden)
            FT_GlyphSlot_Embolden(slot);
        if (obliquen)
            FT_GlyphSlot_Oblique(slot);
        VelFreetypeFace::addGlyphToPath(face, slot, positions[gl], path, xsize, ysize);
    }
    unlockFace();
}

void VelFontEngineFT::getUnscaledGlyph(glyph_t glyph, VelPainterPath *path,
                                       glyph_metrics_t *metricsOut)
{
    FT_Face face = lockFace(Unscaled);
    FT_Set_Transform(face, nullptr, nullptr);
    // A bitmap-only face has nothing but its strikes to load.
    FT_Load_Glyph(face, glyph, FT_IS_SCALABLE(face) ? FT_LOAD_NO_BITMAP : FT_LOAD_TARGET_MONO);
    const FT_Glyph_Metrics &m = face->glyph->metrics;
    metricsOut->x = VelFixed::fromFixed(int(m.horiBearingX));
    metricsOut->y = VelFixed::fromFixed(int(-m.horiBearingY));
    metricsOut->width = VelFixed::fromFixed(int(m.width));
    metricsOut->height = VelFixed::fromFixed(int(m.height));
    metricsOut->xoff = VelFixed::fromFixed(int(face->glyph->advance.x));
    metricsOut->yoff = VelFixed();
    const VelFixedPoint origin;
    if (FT_IS_SCALABLE(face)) {
        const FT_Fixed em = FT_Fixed(face->units_per_EM) << 6;
        if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
            VelFreetypeFace::addGlyphToPath(face, face->glyph, origin, path, em, em);
    } else {
        VelFreetypeFace::addBitmapToPath(face->glyph, origin, path);
    }
    FT_Set_Transform(face, &freetype->matrix, nullptr);
    unlockFace();
}

void VelFontEngineFT::addOutlineToPath(double x, double y, const VelGlyphLayout &glyphs,
                                       VelPainterPath *path, RenderFlags flags)
{
    if (glyphs.numGlyphs <= 0)
        return;
    if (FT_IS_SCALABLE(freetype->face)) {
        VelFontEngine::addOutlineToPath(x, y, glyphs, path, flags);
        return;
    }
    std::vector<glyph_t> positioned;
    std::vector<VelFixedPoint> positions;
    getGlyphPositions(glyphs, VelTransform::fromTranslate(x, y), flags, positioned, positions);
    FT_Face face = lockFace(Unscaled);
    for (size_t gl = 0; gl < positioned.size(); ++gl) {
        FT_Load_Glyph(face, positioned[gl], FT_LOAD_TARGET_MONO);
        VelFreetypeFace::addBitmapToPath(face->glyph, positions[gl], path);
    }
    unlockFace();
}
