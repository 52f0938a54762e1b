#include "velfaceid.h"
#include "velfixed.h"
#include "velglyphlayout.h"
#include "velglyphmetrics.h"
#include "velhash.h"
#include "velsurfaceformat.h"

#include <cmath>
#include <gtest/gtest.h>

#include <limits>

namespace
{

TEST(VelFixedTest, TwentySixDotSixConversions)
{
    EXPECT_EQ(VelFixed(3).value(), 192);
    EXPECT_EQ(VelFixed::fromFixed(96).toReal(), 1.5);
    EXPECT_EQ(VelFixed(1.51).value(), 97); // 96.64 rounds to 97
    EXPECT_EQ(VelFixed(-1.51).value(), -97);
    EXPECT_EQ(VelFixed(1e12).value(), std::numeric_limits<int>::max()); // saturates
    // The -32768-pixel sentinel is raw 0xFFE00000.
    EXPECT_EQ(VelFixed(-32768).value(), int(0xFFE00000u));
    EXPECT_EQ(VelFixed::fromFixed(int(0xFFE00000u)).toInt(), -32768);
    EXPECT_EQ(VelFixed(100000).value(), 6400000);
}

TEST(VelFixedTest, RoundingOfNegativeValues)
{
    const VelFixed minusOneAndHalf = VelFixed::fromFixed(-96);
    EXPECT_EQ(minusOneAndHalf.round().value(), -64); // half rounds up
    EXPECT_EQ(minusOneAndHalf.floor().value(), -128);
    EXPECT_EQ(minusOneAndHalf.ceil().value(), -64);
    EXPECT_EQ(minusOneAndHalf.truncate(), -1);
    EXPECT_EQ(minusOneAndHalf.toInt(), -1);
    const VelFixed minusOnePointSix = VelFixed::fromFixed(-103);
    EXPECT_EQ(minusOnePointSix.round().value(), -128);
    EXPECT_EQ(minusOnePointSix.toInt(), -2);
    EXPECT_EQ(VelFixed::fromFixed(-1).floor().value(), -64);
    EXPECT_EQ(VelFixed::fromFixed(-1).ceil().value(), 0);
    EXPECT_EQ(VelFixed::fromFixed(-64).floor().value(), -64); // whole pixels stay
    EXPECT_EQ(VelFixed::fromFixed(-64).ceil().value(), -64);
    EXPECT_EQ(VelFixed::fromFixed(32).round().value(), 64);
    EXPECT_EQ(VelFixed::fromFixed(31).round().value(), 0);
    EXPECT_EQ(VelFixed::fromFixed(65).ceil().value(), 128);
}

TEST(VelFixedTest, Arithmetic)
{
    const VelFixed a(1.5);
    const VelFixed b(2.25);
    EXPECT_EQ((a * b).value(), 216); // 3.375
    EXPECT_EQ((VelFixed(3) / VelFixed(2)).value(), 96);
    EXPECT_EQ((VelFixed::fromFixed(1) * VelFixed::fromFixed(32)).value(), 1); // 0.5 rounds up
    EXPECT_EQ((VelFixed(-3) / VelFixed(2)).value(), -96);
    EXPECT_EQ((a + 1).value(), 160);
    EXPECT_EQ((2 - a).value(), 32);
    EXPECT_EQ((a * 3).value(), 288);
    EXPECT_EQ((a * 0.5).value(), 48);
    EXPECT_EQ((VelFixed(7) / 2).value(), 224);
    EXPECT_EQ((-a).value(), -96);
    // Division by zero saturates instead of trapping.
    EXPECT_EQ((VelFixed(1) / 0).value(), std::numeric_limits<int>::max());
    EXPECT_EQ((VelFixed(-1) / VelFixed()).value(), std::numeric_limits<int>::min());
    EXPECT_EQ((VelFixed() / 0).value(), 0);
    // Products beyond 32 bits are computed wide, then saturated.
    EXPECT_EQ((VelFixed(30000) * VelFixed(30000)).value(), std::numeric_limits<int>::max());

    EXPECT_TRUE(a > 1);
    EXPECT_TRUE(a < 2);
    EXPECT_TRUE(VelFixed(2) == 2);
    EXPECT_TRUE(!VelFixed());
    EXPECT_EQ(velMin(a, b), a);
    EXPECT_EQ(velMax(a, b), b);
    EXPECT_EQ(velAbs(-b), b);
}

TEST(GlyphMetricsTest, DefaultIsTheNoBoxSentinel)
{
    glyph_metrics_t m;
    EXPECT_EQ(m.x.value(), 100000 * 64);
    EXPECT_EQ(m.y.value(), 100000 * 64);
    EXPECT_EQ(m.width, 0);
    EXPECT_FALSE(m.isValid());
    m.x = velMin(m.x, VelFixed(-3));
    m.y = velMin(m.y, VelFixed(-12));
    EXPECT_TRUE(m.isValid());
    EXPECT_EQ(m, glyph_metrics_t(VelFixed(-3), VelFixed(-12), 0, 0, 0, 0));
}

TEST(GlyphLayoutTest, OwnsResizableArrays)
{
    VelGlyphLayout layout(3);
    for (int i = 0; i < 3; ++i) {
        layout.glyphs[i] = glyph_t(10 + i);
        layout.advances_x[i] = VelFixed(i + 1);
        layout.offsets[i] = VelFixedPoint(VelFixed(i), VelFixed(-i));
    }
    EXPECT_EQ(layout.advances_y[2], 0);
    EXPECT_EQ(layout.totalAdvanceX(), VelFixed(6));

    VelGlyphLayout copy = layout;
    EXPECT_NE(copy.glyphs, layout.glyphs); // deep copy with its own pointers
    copy.glyphs[0] = 99;
    EXPECT_EQ(layout.glyphs[0], 10u);

    layout.resize(5);
    EXPECT_EQ(layout.numGlyphs, 5);
    EXPECT_EQ(layout.glyphs[2], 12u); // kept across reallocation
    EXPECT_EQ(layout.glyphs[4], 0u);
    EXPECT_EQ(layout.advances_x[4], 0);

    layout.numGlyphs = 2; // shaping may use fewer than allocated
    EXPECT_EQ(layout.totalAdvanceX(), VelFixed(3));
    const VelGlyphLayout tail = layout.mid(1);
    EXPECT_EQ(tail.numGlyphs, 1);
    EXPECT_EQ(tail.glyphs[0], 11u);
    EXPECT_EQ(tail.offsets[0], VelFixedPoint(VelFixed(1), VelFixed(-1)));

    VelGlyphLayout moved = std::move(layout);
    EXPECT_EQ(moved.glyphs[1], 11u);
    EXPECT_EQ(layout.glyphs, nullptr);
    EXPECT_EQ(layout.numGlyphs, 0);
}

TEST(FaceIdTest, EqualKeysHashAlikeAndMemoryFontsStayApart)
{
    FaceId file1(VelByteArray("/fonts/a.ttf"), 1);
    FaceId file2(VelByteArray("/fonts/a.ttf"), 1);
    EXPECT_EQ(file1, file2);
    EXPECT_EQ(velHash(file1), velHash(file2));
    EXPECT_NE(file1, FaceId(VelByteArray("/fonts/a.ttf"), 2));
    EXPECT_NE(file1, FaceId(VelByteArray("/fonts/a.ttf"), 1, 1));

    FaceId memory1;
    memory1.uuid = VelByteArray("{11111111-1111-4111-8111-111111111111}");
    FaceId memory2;
    memory2.uuid = VelByteArray("{22222222-2222-4222-8222-222222222222}");
    EXPECT_NE(memory1, memory2);

    VelHash<FaceId, int> faces;
    faces.insert(file1, 1);
    faces.insert(memory1, 2);
    faces.insert(memory2, 3);
    EXPECT_EQ(faces.size(), 3);
    EXPECT_EQ(faces.value(file2), 1);
    ASSERT_NE(faces.find(memory2), nullptr);
    EXPECT_EQ(*faces.find(memory2), 3);
}

TEST(VelSurfaceFormatTest, DefaultsAndEquality)
{
    VelSurfaceFormat f;
    EXPECT_EQ(f.redBufferSize(), -1);
    EXPECT_EQ(f.depthBufferSize(), -1);
    EXPECT_EQ(f.stencilBufferSize(), -1);
    EXPECT_EQ(f.samples(), -1);
    EXPECT_EQ(f.renderableType(), VelSurfaceFormat::DefaultRenderableType);
    EXPECT_EQ(f.majorVersion(), 2);
    EXPECT_EQ(f.minorVersion(), 0);
    EXPECT_EQ(f.swapBehavior(), VelSurfaceFormat::DefaultSwapBehavior);
    EXPECT_FALSE(f.stereo());
    EXPECT_EQ(int(VelSurfaceFormat::OpenGL), 1);
    EXPECT_EQ(int(VelSurfaceFormat::OpenGLES), 2);
    EXPECT_EQ(int(VelSurfaceFormat::OpenVG), 4);
    EXPECT_EQ(int(VelSurfaceFormat::TripleBuffer), 3);

    VelSurfaceFormat g = f;
    EXPECT_EQ(f, g);
    g.setStereo(true);
    EXPECT_TRUE(g.stereo());
    EXPECT_NE(f, g);
    g.setStereo(false);
    EXPECT_EQ(f, g);
    g.setAlphaBufferSize(8);
    EXPECT_TRUE(g.hasAlpha());
    EXPECT_NE(f, g);
    g.setVersion(3, 1);
    EXPECT_EQ(g.majorVersion(), 3);
    EXPECT_EQ(g.minorVersion(), 1);
}

TEST(VelFixedTest, RoundingAgreesWithRealArithmetic)
{
    for (int raw = -2000; raw <= 2000; ++raw) {
        const VelFixed f = VelFixed::fromFixed(raw);
        const double real = f.toReal();
        ASSERT_EQ(f.floor().toReal(), std::floor(real)) << raw;
        ASSERT_EQ(f.ceil().toReal(), std::ceil(real)) << raw;
        ASSERT_EQ(f.round().toReal(), std::floor(real + 0.5)) << raw;
        ASSERT_EQ(f.truncate(), int(std::trunc(real))) << raw;
        ASSERT_EQ(VelFixed(real), f) << raw;
    }
}

} // namespace
