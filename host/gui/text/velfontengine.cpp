#include "velfontengine.h"

#include "velrasterizer.h"
#include "velunicodescript.h"

#include <hb-aat.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

namespace
{

constexpr uint makeTag(char a, char b, char c, char d)
{
    return (uint(uchar(a)) << 24) | (uint(uchar(b)) << 16) | (uint(uchar(c)) << 8) | uint(uchar(d));
}

// Big-endian readers over a bounded table; reads past the end give 0 and
// clear ok, so malformed tables end parsing instead of reading wild memory.
class TableReader
{
public:
    explicit TableReader(const VelByteArray &data) : m_data(data) {}
    bool has(size_t offset, size_t size) const { return offset + size <= size_t(m_data.size()); }
    veluint16 u16(size_t offset)
    {
        if (!has(offset, 2)) {
            m_ok = false;
            return 0;
        }
        const uchar *p = reinterpret_cast<const uchar *>(m_data.constData()) + offset;
        return veluint16((p[0] << 8) | p[1]);
    }
    velint16 s16(size_t offset) { return velint16(u16(offset)); }
    veluint32 u32(size_t offset) { return (veluint32(u16(offset)) << 16) | u16(offset + 2); }
    bool ok() const { return m_ok; }
    size_t size() const { return size_t(m_data.size()); }

private:
    const VelByteArray &m_data;
    bool m_ok = true;
};

VelByteArray readTable(const VelFontEngine *engine, uint tag)
{
    uint length = 0;
    if (!engine->getSfntTableData(tag, nullptr, &length) || length == 0)
        return VelByteArray();
    VelByteArray data(int(length), '\0');
    if (!engine->getSfntTableData(tag, reinterpret_cast<uchar *>(data.data()), &length))
        return VelByteArray();
    data.resize(int(std::min<uint>(length, uint(data.size()))));
    return data;
}

// Format-0 subtable: sorted (left, right, value) triples.
void readFormat0Pairs(TableReader &r, size_t offset, size_t end, VelFixed scalingFactor,
                      std::vector<VelFontEngine::KernPair> &pairs)
{
    const int count = r.u16(offset);
    size_t at = offset + 8;
    for (int i = 0; i < count && r.ok() && at + 6 <= end; ++i, at += 6) {
        const uint left = r.u16(at), right = r.u16(at + 2);
        const int value = r.s16(at + 4);
        VelFontEngine::KernPair pair;
        pair.left_right = (left << 16) | right;
        pair.adjust = VelFixed(value) / scalingFactor;
        pairs.push_back(pair);
    }
}

// The whole table set a shaping face needs, copied once, so that the face
// does not depend on the engine that built it (engines sharing a face may go
// away in any order).
struct TableSnapshot {
    std::map<uint, VelByteArray> tables;
};

hb_blob_t *snapshotTable(hb_face_t *, hb_tag_t tag, void *userData)
{
    const auto *snapshot = static_cast<const TableSnapshot *>(userData);
    const auto it = snapshot->tables.find(tag);
    if (it == snapshot->tables.end())
        return nullptr;
    return hb_blob_create(it->second.constData(), uint(it->second.size()), HB_MEMORY_MODE_READONLY,
                          nullptr, nullptr);
}

void destroyShapingFace(void *face)
{
    hb_face_destroy(static_cast<hb_face_t *>(face));
}

bool scriptNeedsOpenType(int script)
{
    using namespace VelUnicodeScript;
    return (script >= Syriac && script <= Sinhala) || script == Tibetan || script == Myanmar ||
           script == Khmer || script == Nko;
}

hb_script_t toHarfbuzzScript(int script)
{
    using namespace VelUnicodeScript;
    switch (script) {
    case Syriac:
        return HB_SCRIPT_SYRIAC;
    case Thaana:
        return HB_SCRIPT_THAANA;
    case Devanagari:
        return HB_SCRIPT_DEVANAGARI;
    case Bengali:
        return HB_SCRIPT_BENGALI;
    case Gurmukhi:
        return HB_SCRIPT_GURMUKHI;
    case Gujarati:
        return HB_SCRIPT_GUJARATI;
    case Oriya:
        return HB_SCRIPT_ORIYA;
    case Tamil:
        return HB_SCRIPT_TAMIL;
    case Telugu:
        return HB_SCRIPT_TELUGU;
    case Kannada:
        return HB_SCRIPT_KANNADA;
    case Malayalam:
        return HB_SCRIPT_MALAYALAM;
    case Sinhala:
        return HB_SCRIPT_SINHALA;
    case Tibetan:
        return HB_SCRIPT_TIBETAN;
    case Myanmar:
        return HB_SCRIPT_MYANMAR;
    case Khmer:
        return HB_SCRIPT_KHMER;
    case Nko:
        return HB_SCRIPT_NKO;
    default:
        return HB_SCRIPT_UNKNOWN;
    }
}

glyph_t glyphForChar(const VelFontEngine *engine, char16_t ch)
{
    const VelChar c(ch);
    glyph_t glyph = 0;
    VelGlyphLayout layout(1);
    int n = 1;
    if (engine->stringToCMap(&c, 1, &layout, &n, VelFontEngine::GlyphIndicesOnly) && n == 1)
        glyph = layout.glyphs[0];
    return glyph;
}

VelImage coverageToIndexed(VelImage coverage)
{
    std::vector<VelRgb> ramp(256);
    for (uint i = 0; i < 256; ++i)
        ramp[i] = i << 24;
    coverage.setColorTable(ramp);
    return coverage;
}

} // namespace

VelFontEngine::~VelFontEngine()
{
    if (shapingFace && shapingFaceDestroy)
        shapingFaceDestroy(shapingFace);
}

VelFontEngine::Properties VelFontEngine::properties() const
{
    Properties p;
    VelByteArray name = convertToPostscriptFontFamilyName(fontDef.family.toUtf8());
    if (fontDef.style != VelFontDef::StyleNormal || fontDef.weight > VelFontDef::Normal)
        name += '-';
    if (fontDef.weight > VelFontDef::Normal)
        name += "Bold";
    if (fontDef.style != VelFontDef::StyleNormal)
        name += "Italic";
    p.postscriptName = name;
    p.ascent = ascent();
    p.descent = descent();
    p.leading = leading();
    p.emSquare = p.ascent;
    p.boundingBox =
        VelRectF(0, -p.ascent.toReal(), maxCharWidth(), (p.ascent + p.descent).toReal());
    p.italicAngle = VelFixed(0);
    p.capHeight = p.ascent;
    p.lineWidth = lineThickness();
    return p;
}

void VelFontEngine::getUnscaledGlyph(glyph_t glyph, VelPainterPath *path, glyph_metrics_t *metrics)
{
    *metrics = boundingBox(glyph);
    VelFixedPoint origin;
    addGlyphsToPath(&glyph, &origin, 1, path, 0);
}

bool VelFontEngine::getSfntTableData(uint tag, uchar *buffer, uint *length) const
{
    VEL_UNUSED(tag);
    VEL_UNUSED(buffer);
    VEL_UNUSED(length);
    return false;
}

VelFixed VelFontEngine::subPixelPositionForX(VelFixed x) const
{
    if (subPixelPositionCount <= 1 || !supportsSubPixelPositions())
        return VelFixed();
    // The fraction of a pixel, rounded down to a whole step; 64 divides evenly
    // for the usual counts (2, 4, 8...).
    const int step = std::max(1, 64 / subPixelPositionCount);
    const int fraction = x.value() & 63;
    return VelFixed::fromFixed(fraction / step * step);
}

void VelFontEngine::recalcAdvances(VelGlyphLayout *glyphs, ShaperFlags flags) const
{
    VEL_UNUSED(glyphs);
    VEL_UNUSED(flags);
}

void VelFontEngine::doKerning(VelGlyphLayout *glyphs, ShaperFlags flags) const
{
    if (m_kerningPairs.empty() || !glyphs)
        return;
    const int count = glyphs->numGlyphs;
    for (int i = 0; i + 1 < count; ++i) {
        KernPair key;
        key.left_right = (uint(glyphs->glyphs[i]) << 16) | uint(glyphs->glyphs[i + 1]);
        const auto it = std::lower_bound(m_kerningPairs.begin(), m_kerningPairs.end(), key);
        if (it == m_kerningPairs.end() || it->left_right != key.left_right)
            continue;
        glyphs->advances_x[i] += (flags & DesignMetrics) ? it->adjust : it->adjust.round();
    }
}

void VelFontEngine::addGlyphsToPath(glyph_t *glyphs, VelFixedPoint *positions, int nglyphs,
                                    VelPainterPath *path, RenderFlags flags)
{
    VEL_UNUSED(glyphs);
    VEL_UNUSED(positions);
    VEL_UNUSED(nglyphs);
    VEL_UNUSED(path);
    VEL_UNUSED(flags);
}

void VelFontEngine::addOutlineToPath(double x, double y, const VelGlyphLayout &glyphs,
                                     VelPainterPath *path, RenderFlags flags)
{
    if (glyphs.numGlyphs <= 0 || !path)
        return;
    std::vector<glyph_t> positioned;
    std::vector<VelFixedPoint> positions;
    getGlyphPositions(glyphs, VelTransform::fromTranslate(x, y), flags, positioned, positions);
    addGlyphsToPath(positioned.data(), positions.data(), int(positioned.size()), path, flags);
}

namespace
{

constexpr int64_t MaxGlyphImageEdge = 4096;

// Rasterises the glyph's outline (optionally transformed) with the image's
// top-left corner at the rounded-down box origin.
VelImage rasterizeGlyph(VelFontEngine *engine, glyph_t glyph, VelFixed subPixelPosition,
                        const VelTransform &t)
{
    const bool transformed = t.type() > VelTransform::TxTranslate;
    const glyph_metrics_t gm =
        transformed ? engine->boundingBox(glyph, t) : engine->boundingBox(glyph);
    const int left = gm.x.floor().toInt();
    const int top = gm.y.floor().toInt();
    const int right = (gm.x + gm.width + subPixelPosition).ceil().toInt();
    const int bottom = (gm.y + gm.height).ceil().toInt();
    if (right <= left || bottom <= top)
        return VelImage();
    // A hostile font can give a glyph a box of thousands of pixels a side at
    // any size; rasterising it would take gigabytes and minutes. Nothing that
    // large is text any screen shows, so it is not drawn.
    if (int64_t(right) - left > MaxGlyphImageEdge || int64_t(bottom) - top > MaxGlyphImageEdge)
        return VelImage();
    VelPainterPath outline;
    VelFixedPoint origin;
    engine->addGlyphsToPath(&glyph, &origin, 1, &outline, 0);
    if (transformed) {
        VelPainterPath mapped;
        mapped.setFillRule(outline.fillRule());
        for (int i = 0; i < outline.elementCount(); ++i) {
            const VelPainterPath::Element &e = outline.elementAt(i);
            const VelPointF p = t.map(VelPointF(e.x, e.y)) - VelPointF(t.dx(), t.dy());
            switch (e.type) {
            case VelPainterPath::MoveToElement:
                mapped.moveTo(p);
                break;
            case VelPainterPath::LineToElement:
                mapped.lineTo(p);
                break;
            case VelPainterPath::CurveToElement: {
                const VelPainterPath::Element &e2 = outline.elementAt(i + 1);
                const VelPainterPath::Element &e3 = outline.elementAt(i + 2);
                const VelPointF shift(t.dx(), t.dy());
                mapped.cubicTo(p, t.map(VelPointF(e2.x, e2.y)) - shift,
                               t.map(VelPointF(e3.x, e3.y)) - shift);
                i += 2;
                break;
            }
            default:
                break;
            }
        }
        outline = mapped;
    }
    VelImage coverage(right - left, bottom - top, VelImage::Format_Indexed8);
    if (coverage.isNull())
        return VelImage();
    vel_rasterizePath(outline, &coverage, subPixelPosition.toReal() - left, -top);
    return coverageToIndexed(coverage);
}

} // namespace

VelImage VelFontEngine::alphaMapForGlyph(glyph_t glyph)
{
    return rasterizeGlyph(this, glyph, VelFixed(), VelTransform());
}

VelImage VelFontEngine::alphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition)
{
    if (subPixelPosition == VelFixed())
        return alphaMapForGlyph(glyph);
    return rasterizeGlyph(this, glyph, subPixelPosition, VelTransform());
}

VelImage VelFontEngine::alphaMapForGlyph(glyph_t glyph, const VelTransform &t)
{
    return alphaMapForGlyph(glyph, VelFixed(), t);
}

VelImage VelFontEngine::alphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                         const VelTransform &t)
{
    if (t.type() <= VelTransform::TxTranslate)
        return alphaMapForGlyph(glyph, subPixelPosition);
    return rasterizeGlyph(this, glyph, subPixelPosition, t);
}

VelImage VelFontEngine::alphaRGBMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                            const VelTransform &t)
{
    const VelImage alpha = alphaMapForGlyph(glyph, subPixelPosition, t);
    if (alpha.isNull())
        return VelImage();
    VelImage rgb(alpha.width(), alpha.height(), VelImage::Format_RGB32);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *src = alpha.constScanLine(y);
        uint *dst = reinterpret_cast<uint *>(rgb.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            dst[x] = 0xff000000u | (uint(src[x]) * 0x010101u);
    }
    return rgb;
}

VelImage VelFontEngine::bitmapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                       const VelTransform &t)
{
    // A font without colour glyphs draws them in black.
    const VelImage alpha = alphaMapForGlyph(glyph, subPixelPosition, t);
    if (alpha.isNull())
        return VelImage();
    VelImage bitmap(alpha.width(), alpha.height(), VelImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *src = alpha.constScanLine(y);
        uint *dst = reinterpret_cast<uint *>(bitmap.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            dst[x] = uint(src[x]) << 24;
    }
    return bitmap;
}

VelImage *VelFontEngine::lockedAlphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                                GlyphFormat neededFormat, const VelTransform &t,
                                                VelPoint *offset)
{
    if (neededFormat == Format_None)
        neededFormat = glyphFormat == Format_None ? Format_A8 : glyphFormat;
    VelImage image = neededFormat == Format_A32 ? alphaRGBMapForGlyph(glyph, subPixelPosition, t)
                                                : alphaMapForGlyph(glyph, subPixelPosition, t);
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return nullptr;
    if (neededFormat == Format_Mono) {
        VelImage mono(image.width(), image.height(), VelImage::Format_Mono);
        mono.setColorTable({0x00000000u, 0xff000000u});
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                mono.setPixel(x, y, image.constScanLine(y)[x] >= 128 ? 1u : 0u);
        image = mono;
    }
    if (offset) {
        const glyph_metrics_t gm = alphaMapBoundingBox(glyph, subPixelPosition, t, neededFormat);
        *offset = VelPoint(gm.x.floor().toInt(), gm.y.floor().toInt());
    }
    m_lockedAlphaMap = std::make_unique<VelImage>(image);
    return m_lockedAlphaMap.get();
}

void VelFontEngine::unlockAlphaMapForGlyph()
{
    m_lockedAlphaMap.reset();
}

glyph_metrics_t VelFontEngine::alphaMapBoundingBox(glyph_t glyph, VelFixed subPixelPosition,
                                                   const VelTransform &matrix, GlyphFormat format)
{
    VEL_UNUSED(subPixelPosition);
    VEL_UNUSED(format);
    return matrix.type() > VelTransform::TxTranslate ? boundingBox(glyph, matrix)
                                                     : boundingBox(glyph);
}

void VelFontEngine::removeGlyphFromCache(glyph_t glyph)
{
    VEL_UNUSED(glyph);
}

glyph_metrics_t VelFontEngine::boundingBox(glyph_t glyph, const VelTransform &matrix)
{
    glyph_metrics_t metrics = boundingBox(glyph);
    if (matrix.type() <= VelTransform::TxTranslate)
        return metrics;
    // Only the linear part applies: boxes are relative to the pen.
    const VelTransform linear(matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22(), 0, 0);
    const VelRectF box = linear.mapRect(VelRectF(metrics.x.toReal(), metrics.y.toReal(),
                                                 metrics.width.toReal(), metrics.height.toReal()));
    const VelPointF advance = linear.map(VelPointF(metrics.xoff.toReal(), metrics.yoff.toReal()));
    metrics.x = VelFixed::fromReal(box.x());
    metrics.y = VelFixed::fromReal(box.y());
    metrics.width = VelFixed::fromReal(box.width());
    metrics.height = VelFixed::fromReal(box.height());
    metrics.xoff = VelFixed::fromReal(advance.x());
    metrics.yoff = VelFixed::fromReal(advance.y());
    return metrics;
}

VelFixed VelFontEngine::xHeight() const
{
    const glyph_t x = glyphForChar(this, u'x');
    if (!x)
        return (ascent() * 2 / 3).round(); // a reasonable share of the ascent for fonts without 'x'
    return const_cast<VelFontEngine *>(this)->boundingBox(x).height;
}

VelFixed VelFontEngine::averageCharWidth() const
{
    const glyph_t x = glyphForChar(this, u'x');
    if (!x)
        return VelFixed::fromReal(maxCharWidth());
    return const_cast<VelFontEngine *>(this)->boundingBox(x).xoff;
}

VelFixed VelFontEngine::lineThickness() const
{
    // Heavier and larger fonts get thicker lines; never thinner than a pixel.
    const int score = int(fontDef.weight * fontDef.pixelSize);
    int thickness = score / 700;
    if (thickness < 2 && score >= 1050)
        thickness = 2;
    return VelFixed(std::max(1, thickness));
}

VelFixed VelFontEngine::underlinePosition() const
{
    return ((lineThickness() * 2) + 3) / 6;
}

double VelFontEngine::minLeftBearing() const
{
    return 0;
}

double VelFontEngine::minRightBearing() const
{
    return 0;
}

void VelFontEngine::getGlyphBearings(glyph_t glyph, double *leftBearing, double *rightBearing)
{
    const glyph_metrics_t gm = boundingBox(glyph);
    if (leftBearing)
        *leftBearing = gm.x.toReal();
    if (rightBearing)
        *rightBearing = (gm.xoff - gm.x - gm.width).toReal();
}

bool VelFontEngine::supportsTransformation(const VelTransform &transform) const
{
    return transform.type() < VelTransform::TxProject;
}

int VelFontEngine::glyphCount() const
{
    const VelByteArray maxp = readTable(this, makeTag('m', 'a', 'x', 'p'));
    TableReader r(maxp);
    const int count = r.u16(4);
    return r.ok() ? count : 0;
}

int VelFontEngine::getPointInOutline(glyph_t glyph, int flags, uint point, VelFixed *xpos,
                                     VelFixed *ypos, uint *nPoints)
{
    VEL_UNUSED(glyph);
    VEL_UNUSED(flags);
    VEL_UNUSED(point);
    VEL_UNUSED(xpos);
    VEL_UNUSED(ypos);
    VEL_UNUSED(nPoints);
    return 1; // not supported
}

bool VelFontEngine::supportsScript(int script) const
{
    if (!scriptNeedsOpenType(script))
        return true;
    auto *face = static_cast<hb_face_t *>(harfbuzzFace());
    if (!face)
        return false;
    // Fonts shaped by their own state tables need no OpenType script.
    if (hb_aat_layout_has_substitution(face))
        return true;
    hb_tag_t tags[HB_OT_MAX_TAGS_PER_SCRIPT];
    unsigned int count = HB_OT_MAX_TAGS_PER_SCRIPT;
    hb_ot_tags_from_script_and_language(toHarfbuzzScript(script), HB_LANGUAGE_INVALID, &count, tags,
                                        nullptr, nullptr);
    unsigned int index = 0;
    hb_tag_t chosen = 0;
    return hb_ot_layout_table_select_script(face, HB_OT_TAG_GSUB, count, tags, &index, &chosen);
}

void *VelFontEngine::harfbuzzFace() const
{
    if (shapingFace)
        return shapingFace;
    hb_face_t *face = nullptr;
    // The whole font file, when the engine can give it, is the cheapest and
    // most complete source.
    const VelByteArray whole = readTable(this, 0);
    if (!whole.isEmpty()) {
        auto *copy = new VelByteArray(whole);
        hb_blob_t *blob =
            hb_blob_create(copy->constData(), uint(copy->size()), HB_MEMORY_MODE_READONLY, copy,
                           [](void *p) { delete static_cast<VelByteArray *>(p); });
        face = hb_face_create(blob, uint(std::max(0, faceId().index)));
        hb_blob_destroy(blob);
    } else {
        static const uint wanted[] = {
            makeTag('c', 'm', 'a', 'p'), makeTag('h', 'e', 'a', 'd'), makeTag('h', 'h', 'e', 'a'),
            makeTag('h', 'm', 't', 'x'), makeTag('m', 'a', 'x', 'p'), makeTag('O', 'S', '/', '2'),
            makeTag('p', 'o', 's', 't'), makeTag('n', 'a', 'm', 'e'), makeTag('G', 'D', 'E', 'F'),
            makeTag('G', 'S', 'U', 'B'), makeTag('G', 'P', 'O', 'S'), makeTag('k', 'e', 'r', 'n'),
            makeTag('m', 'o', 'r', 'x'), makeTag('m', 'o', 'r', 't'), makeTag('k', 'e', 'r', 'x'),
            makeTag('t', 'r', 'a', 'k'), makeTag('v', 'h', 'e', 'a'), makeTag('v', 'm', 't', 'x'),
            makeTag('g', 'l', 'y', 'f'), makeTag('l', 'o', 'c', 'a'), makeTag('C', 'F', 'F', ' '),
            makeTag('C', 'F', 'F', '2'), makeTag('f', 'v', 'a', 'r'), makeTag('a', 'v', 'a', 'r'),
            makeTag('g', 'v', 'a', 'r'), makeTag('H', 'V', 'A', 'R'), makeTag('M', 'V', 'A', 'R'),
            makeTag('B', 'A', 'S', 'E'), makeTag('M', 'A', 'T', 'H'), makeTag('a', 'n', 'k', 'r'),
            makeTag('f', 'e', 'a', 't')};
        auto *snapshot = new TableSnapshot;
        for (uint tag : wanted) {
            VelByteArray data = readTable(this, tag);
            if (!data.isEmpty())
                snapshot->tables.emplace(tag, std::move(data));
        }
        face = hb_face_create_for_tables(snapshotTable, snapshot,
                                         [](void *p) { delete static_cast<TableSnapshot *>(p); });
        const VelByteArray head = snapshot->tables.count(makeTag('h', 'e', 'a', 'd'))
                                      ? snapshot->tables[makeTag('h', 'e', 'a', 'd')]
                                      : VelByteArray();
        TableReader r(head);
        const int upem = r.u16(18);
        if (r.ok() && upem > 0)
            hb_face_set_upem(face, uint(upem));
        const int glyphs = glyphCount();
        if (glyphs > 0)
            hb_face_set_glyph_count(face, uint(glyphs));
    }
    hb_face_make_immutable(face);
    shapingFace = face;
    shapingFaceDestroy = destroyShapingFace;
    return shapingFace;
}

void VelFontEngine::loadKerningPairs(VelFixed scalingFactor)
{
    m_kerningPairs.clear();
    if (scalingFactor <= VelFixed())
        return;
    const VelByteArray table = readTable(this, makeTag('k', 'e', 'r', 'n'));
    TableReader r(table);
    if (table.size() < 4)
        return;
    const veluint16 version = r.u16(0);
    if (version == 0) {
        // Windows layout: u16 version, u16 count; subtables with u16 version,
        // u16 length, u16 coverage (format in the high byte).
        const int tables = r.u16(2);
        size_t offset = 4;
        for (int t = 0; t < tables && r.has(offset, 6); ++t) {
            const size_t length = r.u16(offset + 2);
            const veluint16 coverage = r.u16(offset + 4);
            const size_t end = std::min(r.size(), offset + std::max<size_t>(length, 6));
            // Horizontal (bit 0), not minimum values (bit 1), not cross-stream (bit 2).
            if ((coverage >> 8) == 0 && (coverage & 0x7) == 0x1)
                readFormat0Pairs(r, offset + 6, end, scalingFactor, m_kerningPairs);
            if (length < 6)
                break;
            offset += length;
        }
    } else if (r.u32(0) == 0x00010000) {
        // Apple layout: u32 version, u32 count; subtables with u32 length,
        // u16 coverage (format in the low byte; 0x8000 vertical, 0x4000
        // cross-stream, 0x2000 variation), u16 tuple index.
        const veluint32 tables = r.u32(4);
        size_t offset = 8;
        for (veluint32 t = 0; t < tables && r.has(offset, 8); ++t) {
            const size_t length = r.u32(offset);
            const veluint16 coverage = r.u16(offset + 4);
            const size_t end = std::min(r.size(), offset + std::max<size_t>(length, 8));
            if ((coverage & 0xff) == 0 && (coverage & 0xe000) == 0)
                readFormat0Pairs(r, offset + 8, end, scalingFactor, m_kerningPairs);
            if (length < 8)
                break;
            offset += length;
        }
    }
    std::stable_sort(m_kerningPairs.begin(), m_kerningPairs.end());
    // A pair listed twice keeps its first value.
    m_kerningPairs.erase(std::unique(m_kerningPairs.begin(), m_kerningPairs.end(),
                                     [](const KernPair &a, const KernPair &b) {
                                         return a.left_right == b.left_right;
                                     }),
                         m_kerningPairs.end());
}

void VelFontEngine::getGlyphPositions(const VelGlyphLayout &glyphs, const VelTransform &matrix,
                                      RenderFlags flags, std::vector<glyph_t> &glyphsOut,
                                      std::vector<VelFixedPoint> &positions)
{
    VEL_UNUSED(flags);
    glyphsOut.clear();
    positions.clear();
    const bool plain = matrix.type() <= VelTransform::TxTranslate;
    VelFixed penX, penY;
    for (int i = 0; i < glyphs.numGlyphs; ++i) {
        const VelFixed x = penX + glyphs.offsets[i].x;
        const VelFixed y = penY + glyphs.offsets[i].y;
        VelFixedPoint position;
        if (plain) {
            position = VelFixedPoint(x + VelFixed::fromReal(matrix.dx()),
                                     y + VelFixed::fromReal(matrix.dy()));
        } else {
            const VelPointF mapped = matrix.map(VelPointF(x.toReal(), y.toReal()));
            position =
                VelFixedPoint(VelFixed::fromReal(mapped.x()), VelFixed::fromReal(mapped.y()));
        }
        glyphsOut.push_back(glyphs.glyphs[i]);
        positions.push_back(position);
        penX += glyphs.advances_x[i];
    }
}

VelFixed VelFontEngine::lastRightBearing(const VelGlyphLayout &glyphs)
{
    if (glyphs.numGlyphs <= 0)
        return VelFixed();
    double right = 0;
    getGlyphBearings(glyphs.glyphs[glyphs.numGlyphs - 1], nullptr, &right);
    return VelFixed::fromReal(right);
}

VelByteArray VelFontEngine::convertToPostscriptFontFamilyName(const VelByteArray &fontFamily)
{
    // Characters a PostScript name may not contain.
    VelByteArray name;
    for (char c : fontFamily)
        if (!std::strchr(" ()[]{}<>/%", c))
            name += c;
    return name;
}
