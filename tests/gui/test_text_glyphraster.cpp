#include "test_text_freetypeengine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace
{

struct Comparison {
    int maxDifference = 0;
    double meanDifference = 0;
    long long ours = 0;
    long long reference = 0;
};

// Lays our alpha map (top-left at ourX, ourY relative to the pen) and
// FreeType's bitmap over one canvas and compares coverage pixel by pixel.
Comparison compare(const VelImage &ours, int ourX, int ourY, const FT_Bitmap &ref, int refX,
                   int refY)
{
    const int left = std::min(ourX, refX), top = std::min(ourY, refY);
    const int right = std::max(ourX + ours.width(), refX + int(ref.width));
    const int bottom = std::max(ourY + ours.height(), refY + int(ref.rows));
    Comparison c;
    long long sum = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            int a = 0, b = 0;
            if (x >= ourX && y >= ourY && x < ourX + ours.width() && y < ourY + ours.height())
                a = ours.constScanLine(y - ourY)[x - ourX];
            if (x >= refX && y >= refY && x < refX + int(ref.width) && y < refY + int(ref.rows))
                b = ref.buffer[(y - refY) * ref.pitch + (x - refX)];
            c.maxDifference = std::max(c.maxDifference, std::abs(a - b));
            sum += std::abs(a - b);
            c.ours += a;
            c.reference += b;
        }
    }
    c.meanDifference = double(sum) / std::max(1, (right - left) * (bottom - top));
    return c;
}

class GlyphRaster : public ::testing::TestWithParam<int>
{
};

} // namespace

TEST_P(GlyphRaster, GenericAlphaMapMatchesFreetypeRendering)
{
    const int pixelSize = GetParam();
    FreetypeTestEngine engine(dejaVuSansPath(), pixelSize);
    ASSERT_TRUE(engine.isValid());
    for (uint ch :
         {uint('a'), uint('g'), uint('W'), uint('@'), uint('8'), uint('%'), 0xe9u, 0x416u}) {
        SCOPED_TRACE(testing::Message()
                     << "U+" << std::hex << ch << " at " << std::dec << pixelSize << "px");
        const glyph_t glyph = engine.glyphFor(ch);
        ASSERT_NE(glyph, 0u);
        const VelImage ours = engine.alphaMapForGlyph(glyph);
        ASSERT_FALSE(ours.isNull());
        EXPECT_EQ(ours.format(), VelImage::Format_Indexed8);
        EXPECT_EQ(ours.color(200), 200u << 24) << "index i is black with alpha i";
        const glyph_metrics_t box = engine.boundingBox(glyph);

        ASSERT_EQ(FT_Load_Glyph(engine.face(), glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
        ASSERT_EQ(FT_Render_Glyph(engine.face()->glyph, FT_RENDER_MODE_NORMAL), 0);
        const FT_GlyphSlot slot = engine.face()->glyph;
        const Comparison c = compare(ours, box.x.floor().toInt(), box.y.floor().toInt(),
                                     slot->bitmap, slot->bitmap_left, -slot->bitmap_top);
        // FreeType flattens curves more coarsely (its chords cut a little off
        // convex arcs), so single edge pixels differ by a few percent.
        EXPECT_LE(c.maxDifference, 24);
        EXPECT_LT(c.meanDifference, 5.0);
        EXPECT_NEAR(double(c.ours), double(c.reference), 0.025 * double(c.reference));
        if (getenv("VEL_TEST_VERBOSE"))
            printf("%x@%d max %d mean %.2f total %.4f\n", ch, pixelSize, c.maxDifference,
                   c.meanDifference, double(c.ours) / double(c.reference));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GlyphRaster, ::testing::Values(9, 16, 31, 60));

TEST(GlyphRasterFallbacks, LockedMapsCarryTheirOffsetAndFormat)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 20);
    ASSERT_TRUE(engine.isValid());
    const glyph_t glyph = engine.glyphFor('g'); // has a descender: offset below the baseline
    const VelImage plain = engine.alphaMapForGlyph(glyph);
    VelPoint offset;
    const VelImage *locked = engine.lockedAlphaMapForGlyph(
        glyph, VelFixed(), VelFontEngine::Format_A8, VelTransform(), &offset);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(*locked, plain);
    ASSERT_EQ(FT_Load_Glyph(engine.face(), glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
    ASSERT_EQ(FT_Render_Glyph(engine.face()->glyph, FT_RENDER_MODE_NORMAL), 0);
    EXPECT_EQ(offset.x(), engine.face()->glyph->bitmap_left);
    EXPECT_EQ(offset.y(), -engine.face()->glyph->bitmap_top);
    EXPECT_GT(offset.y() + locked->height(), 0) << "the descender reaches below the baseline";
    engine.unlockAlphaMapForGlyph();

    const VelImage *mono =
        engine.lockedAlphaMapForGlyph(glyph, VelFixed(), VelFontEngine::Format_Mono);
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(mono->format(), VelImage::Format_Mono);
    EXPECT_EQ(mono->color(1), 0xff000000u);
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            ASSERT_EQ(mono->pixelIndex(x, y), plain.constScanLine(y)[x] >= 128 ? 1 : 0);
    engine.unlockAlphaMapForGlyph();

    const VelImage rgb = engine.alphaRGBMapForGlyph(glyph, VelFixed(), VelTransform());
    ASSERT_EQ(rgb.size(), plain.size());
    const int cx = plain.width() / 2, cy = plain.height() / 2;
    EXPECT_EQ(rgb.pixel(cx, cy), 0xff000000u | plain.constScanLine(cy)[cx] * 0x010101u);

    // A space has no pixels: no locked map.
    EXPECT_EQ(
        engine.lockedAlphaMapForGlyph(engine.glyphFor(' '), VelFixed(), VelFontEngine::Format_A8),
        nullptr);
}

TEST(GlyphRasterFallbacks, SubPixelPositionShiftsCoverageRight)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 24);
    engine.subPixelPositionCount = 4;
    const glyph_t glyph = engine.glyphFor('l'); // a vertical stem
    const VelImage at0 = engine.alphaMapForGlyph(glyph);
    const VelImage atHalf = engine.alphaMapForGlyph(glyph, VelFixed::fromReal(0.5));
    ASSERT_EQ(atHalf.width(), at0.width() + 1) << "room for the shifted edge";
    // Along a row through the stem, half a pixel of coverage moves from the
    // left edge pixel to the right one; nothing is gained or lost.
    const int row = at0.height() / 2;
    const uchar *before = at0.constScanLine(row);
    const uchar *after = atHalf.constScanLine(row);
    int sumBefore = 0, sumAfter = 0;
    for (int x = 0; x < at0.width(); ++x)
        sumBefore += before[x];
    for (int x = 0; x < atHalf.width(); ++x)
        sumAfter += after[x];
    EXPECT_NEAR(sumAfter, sumBefore, 2);
    int moved = 0;
    for (int x = 0; x < at0.width(); ++x)
        moved += std::abs(int(after[x]) - int(before[x]));
    moved += after[at0.width()];
    EXPECT_NEAR(moved, 2 * 128, 4);
}

TEST(GlyphRasterFallbacks, TransformedAlphaMapIsRotatedOutline)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 20);
    const glyph_t glyph = engine.glyphFor('l');
    const VelImage upright = engine.alphaMapForGlyph(glyph);
    VelTransform quarterTurn(0, 1, -1, 0, 0, 0);
    const VelImage turned = engine.alphaMapForGlyph(glyph, quarterTurn);
    ASSERT_FALSE(turned.isNull());
    // A tall thin stem becomes a wide flat bar.
    EXPECT_GT(upright.height(), upright.width() * 3);
    EXPECT_GT(turned.width(), turned.height() * 3);
}

// The stem of 'l' scaled up: drawn while its box stays within 4096 pixels a
// side, refused (not drawn at any cost) beyond.
TEST(GlyphRasterFallbacks, GlyphsBeyondTheLargestImageAreNotDrawn)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 20);
    const glyph_t glyph = engine.glyphFor('l');
    const int height = engine.boundingBox(glyph).height.ceil().toInt();
    ASSERT_GT(height, 10);
    const double fits = 4000.0 / height;
    const VelImage large = engine.alphaMapForGlyph(glyph, VelTransform::fromScale(fits, fits));
    ASSERT_FALSE(large.isNull());
    EXPECT_GT(large.height(), 3900);
    EXPECT_LE(large.height(), 4096);
    const double tooLarge = 4200.0 / height;
    EXPECT_TRUE(
        engine.alphaMapForGlyph(glyph, VelTransform::fromScale(tooLarge, tooLarge)).isNull());
    // Tall but thin still counts by its longer side.
    EXPECT_TRUE(engine.alphaMapForGlyph(glyph, VelTransform::fromScale(1, tooLarge)).isNull());
}

TEST(GlyphRasterFallbacks, OutlinePositionsFollowTheLayout)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 16);
    const VelString text("ll");
    VelGlyphLayout layout(2);
    int n = 2;
    ASSERT_TRUE(engine.stringToCMap(text.constData(), 2, &layout, &n, 0));
    layout.offsets[1].y = VelFixed(3);
    std::vector<glyph_t> glyphs;
    std::vector<VelFixedPoint> positions;
    engine.getGlyphPositions(layout, VelTransform::fromTranslate(10, 20), 0, glyphs, positions);
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0].x, VelFixed(10));
    EXPECT_EQ(positions[0].y, VelFixed(20));
    EXPECT_EQ(positions[1].x, VelFixed(10) + layout.advances_x[0]);
    EXPECT_EQ(positions[1].y, VelFixed(23));

    VelPainterPath one, two;
    engine.addOutlineToPath(10, 20, layout, &two);
    layout.numGlyphs = 1;
    engine.addOutlineToPath(10, 20, layout, &one);
    const VelRectF a = one.boundingRect(), b = two.boundingRect();
    EXPECT_NEAR(b.x() + b.width() - (a.x() + a.width()), layout.advances_x[0].toReal(), 1e-6);
    EXPECT_NEAR(b.y() + b.height() - (a.y() + a.height()), 3, 1e-6);
}
