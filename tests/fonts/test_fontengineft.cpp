#include "fonttestutil.h"
#include "velbasicfontdatabase.h"
#include "velenvironment.h"
#include "velfacelock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace
{

using Engine = VelFontEngineFT;

class ManualDatabase : public VelBasicFontDatabase
{
public:
    void populateFontDatabase() override {}
};

std::string sans()
{
    return testFontPath("VelTestSans-Regular.ttf");
}

bool faceIsFreeForOtherThreads(VelFreetypeFace *face)
{
    bool free = false;
    std::thread probe([&] {
        free = face->tryLock();
        if (free)
            face->unlock();
    });
    probe.join();
    return free;
}

TEST(FontEngineFT, HintStyleDecidesLoadFlagsAndSubPixelPositioning)
{
    auto engine = makeEngine(sans(), 12);
    ASSERT_TRUE(engine);
    bool hsub = false;
    int vfactor = 1;
    int flags = engine->loadFlags(nullptr, VelFontEngine::Format_A8, 0, hsub, vfactor);
    EXPECT_TRUE(flags & FT_LOAD_NO_HINTING);
    EXPECT_TRUE(flags & FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH);
    EXPECT_TRUE(engine->supportsSubPixelPositions());
    EXPECT_EQ(engine->subPixelPositionCount, 4);

    engine->setDefaultHintStyle(VelFontEngine::HintFull);
    flags = engine->loadFlags(nullptr, VelFontEngine::Format_A8, 0, hsub, vfactor);
    EXPECT_FALSE(flags & FT_LOAD_NO_HINTING);
    EXPECT_EQ(FT_LOAD_TARGET_MODE(flags), FT_RENDER_MODE_NORMAL);
    EXPECT_FALSE(engine->supportsSubPixelPositions());
    // Design metrics always load unhinted; mono targets mono.
    flags = engine->loadFlags(nullptr, VelFontEngine::Format_A8, VelFontEngine::DesignMetrics, hsub,
                              vfactor);
    EXPECT_TRUE(flags & FT_LOAD_NO_HINTING);
    flags = engine->loadFlags(nullptr, VelFontEngine::Format_Mono, 0, hsub, vfactor);
    EXPECT_EQ(FT_LOAD_TARGET_MODE(flags), FT_RENDER_MODE_MONO);
    EXPECT_FALSE(hsub);
    EXPECT_EQ(vfactor, 1);

    engine->setDefaultHintStyle(VelFontEngine::HintLight);
    flags = engine->loadFlags(nullptr, VelFontEngine::Format_A8, 0, hsub, vfactor);
    EXPECT_EQ(FT_LOAD_TARGET_MODE(flags), FT_RENDER_MODE_LIGHT);
    EXPECT_TRUE(engine->supportsSubPixelPositions());

    // Sets drawn as outlines never load bitmaps and never hint.
    auto large = makeEngine(sans(), 80);
    ASSERT_TRUE(large);
    large->setDefaultHintStyle(VelFontEngine::HintFull);
    flags = large->loadFlags(large->defaultGlyphSet(), VelFontEngine::Format_A8, 0, hsub, vfactor);
    EXPECT_EQ(flags, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
}

TEST(FontEngineFT, RecordBoundsOfWidthAndAdvance)
{
    const std::string limits = testFontPath("VelTestLimits.ttf");
    for (int size : {255, 256}) {
        auto engine = makeEngine(limits, size);
        ASSERT_TRUE(engine);
        const glyph_t wide = glyphFor(*engine, u'W');
        engine->lockFace();
        std::unique_ptr<Engine::Glyph> g(
            engine->loadGlyph(nullptr, wide, VelFixed(), VelFontEngine::Format_A8, false));
        engine->unlockFace();
        if (size == 255) {
            ASSERT_TRUE(g) << size;
            EXPECT_EQ(g->width, 255);
            EXPECT_NE(g->data, nullptr);
        } else {
            EXPECT_FALSE(g) << size;
        }
    }
    for (int size : {127, 128}) {
        auto engine = makeEngine(limits, size);
        ASSERT_TRUE(engine);
        const glyph_t longAdvance = glyphFor(*engine, u'L');
        engine->lockFace();
        std::unique_ptr<Engine::Glyph> g(
            engine->loadGlyph(nullptr, longAdvance, VelFixed(), VelFontEngine::Format_None, true));
        engine->unlockFace();
        if (size == 127) {
            ASSERT_TRUE(g);
            EXPECT_EQ(g->advance, 127);
            EXPECT_EQ(g->data, nullptr);
        } else {
            EXPECT_FALSE(g);
        }
        // Advances come from FreeType when no record can hold them.
        const VelChar l(u'L');
        VelGlyphLayout layout(1);
        int n = 1;
        ASSERT_TRUE(engine->stringToCMap(&l, 1, &layout, &n, 0));
        EXPECT_EQ(layout.advances_x[0], VelFixed(size));
    }
}

TEST(FontEngineFT, TabAndNoBreakSpaceMapToTheSpaceGlyph)
{
    auto engine = makeEngine(sans(), 12);
    ASSERT_TRUE(engine);
    const glyph_t space = glyphFor(*engine, u' ');
    ASSERT_NE(space, 0u);
    EXPECT_EQ(glyphFor(*engine, u'\t'), space);
    EXPECT_EQ(glyphFor(*engine, char16_t(0xA0)), space);
    // A character the font lacks maps to 0, also when it comes from the cache.
    EXPECT_EQ(glyphFor(*engine, u'z'), 0u);
    EXPECT_EQ(glyphFor(*engine, u'z'), 0u);
    const VelChar text[] = {VelChar(u'A'), VelChar(u'z')};
    EXPECT_FALSE(engine->canRender(text, 2));
    EXPECT_TRUE(engine->canRender(text, 1));
}

TEST(FontEngineFT, StringToCMapAsksForRoomAndCombinesSurrogates)
{
    auto engine = makeEngine(sans(), 12);
    ASSERT_TRUE(engine);
    const VelChar text[] = {VelChar(u'A'), VelChar(char16_t(0xD83D)), VelChar(char16_t(0xDE00)),
                            VelChar(u'B')};
    VelGlyphLayout layout(2);
    int n = 2;
    EXPECT_FALSE(engine->stringToCMap(text, 4, &layout, &n, 0));
    EXPECT_EQ(n, 4);
    layout.resize(4);
    ASSERT_TRUE(engine->stringToCMap(text, 4, &layout, &n, 0));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(layout.numGlyphs, 3);
    EXPECT_EQ(layout.glyphs[0], glyphFor(*engine, u'A'));
    EXPECT_EQ(layout.glyphs[1], 0u);
    EXPECT_EQ(layout.glyphs[2], glyphFor(*engine, u'B'));
    // Unhinted design advances: 600 units at 12 px per 1000 units.
    EXPECT_EQ(layout.advances_x[0].value(), 460);
}

TEST(FontEngineFT, KerningFromTheKernTable)
{
    auto engine = makeEngine(sans(), 20);
    ASSERT_TRUE(engine);
    const VelChar text[] = {VelChar(u'A'), VelChar(u'V'), VelChar(u'A')};
    VelGlyphLayout layout(3);
    int n = 3;
    ASSERT_TRUE(engine->stringToCMap(text, 3, &layout, &n, 0));
    const VelFixed plain = layout.advances_x[0];
    engine->doKerning(&layout, 0);
    // -120 and -80 units at 1000 / 20 = 50 units per pixel.
    EXPECT_EQ(layout.advances_x[0], plain - VelFixed::fromReal(2.4));
    EXPECT_EQ(layout.advances_x[1], plain - VelFixed::fromReal(1.6));
    EXPECT_EQ(layout.advances_x[2], plain);

    VelFontDef integral = fontDefWithPixelSize(20);
    integral.styleStrategy |= VelFontDef::ForceIntegerMetrics;
    VelFontEngineFT rounded(integral);
    ASSERT_TRUE(rounded.init(FaceId(VelByteArray(sans().c_str())), true, VelFontEngine::Format_A8));
    ASSERT_TRUE(rounded.stringToCMap(text, 3, &layout, &n, 0));
    rounded.doKerning(&layout, 0);
    EXPECT_EQ(layout.advances_x[0], VelFixed(12 - 2));
}

TEST(FontEngineFT, BitmapFontUnderlineFromWeightAndSize)
{
    const std::string bitmap = testFontPath("VelTestBitmap.ttf");
    auto bold = makeEngine(bitmap, 14, 0, VelFontEngine::Format_A8, VelFontDef::Bold);
    ASSERT_TRUE(bold);
    EXPECT_EQ(bold->lineThickness(), VelFixed(2));
    EXPECT_EQ(bold->underlinePosition().value(), 74);
    auto normal = makeEngine(bitmap, 14, 0, VelFontEngine::Format_A8, VelFontDef::Normal);
    ASSERT_TRUE(normal);
    EXPECT_EQ(normal->lineThickness(), VelFixed(1));
    EXPECT_EQ(normal->underlinePosition().value(), 53);
    auto light = makeEngine(bitmap, 13, 0, VelFontEngine::Format_A8, VelFontDef::Light);
    ASSERT_TRUE(light);
    EXPECT_EQ(light->lineThickness(), VelFixed(1)); // 0 raised to one pixel
    EXPECT_EQ(light->underlinePosition().value(), 32);
}

TEST(FontEngineFT, BitmapFontGlyphsAndPaths)
{
    auto engine = makeEngine(testFontPath("VelTestBitmap.ttf"), 13);
    ASSERT_TRUE(engine);
    const glyph_t a = glyphFor(*engine, u'A');
    ASSERT_NE(a, 0u);
    engine->lockFace();
    Engine::Glyph *g = engine->loadGlyph(engine->defaultGlyphSet(), a, VelFixed(),
                                         VelFontEngine::Format_A8, false);
    engine->unlockFace();
    ASSERT_TRUE(g);
    EXPECT_EQ(g->width, 8);
    EXPECT_EQ(g->height, 13);
    EXPECT_EQ(g->y, 11);
    EXPECT_EQ(g->data[0], 0xff);
    EXPECT_EQ(g->data[7], 0xff);
    EXPECT_EQ(g->data[4 * 1 + 8 - 4], 0xff);

    VelGlyphLayout layout(1);
    layout.glyphs[0] = a;
    layout.advances_x[0] = VelFixed(9);
    VelPainterPath path;
    engine->addOutlineToPath(2, 20, layout, &path);
    const VelRectF box = path.boundingRect();
    EXPECT_DOUBLE_EQ(box.x(), 2);
    EXPECT_DOUBLE_EQ(box.y(), 20 - 11);
    EXPECT_DOUBLE_EQ(box.width(), 8);
    EXPECT_DOUBLE_EQ(box.height(), 13);

    // The unscaled glyph of a bitmap face is its strike's bitmap.
    VelPainterPath unscaled;
    glyph_metrics_t metrics;
    engine->getUnscaledGlyph(a, &unscaled, &metrics);
    EXPECT_DOUBLE_EQ(unscaled.boundingRect().width(), 8);
    EXPECT_EQ(metrics.xoff, VelFixed(9));
}

TEST(FontEngineFT, CacheCanBeSwitchedOffFromTheEnvironment)
{
    ASSERT_TRUE(velputenv("VEL_NO_FT_CACHE", "1"));
    auto uncached = makeEngine(sans(), 20);
    ASSERT_TRUE(velputenv("VEL_NO_FT_CACHE", "abc"));
    auto nonNumeric = makeEngine(sans(), 20);
    velunsetenv("VEL_NO_FT_CACHE");
    ASSERT_TRUE(uncached && nonNumeric);
    EXPECT_FALSE(uncached->hasInternalCaching());
    EXPECT_TRUE(nonNumeric->hasInternalCaching());

    const glyph_t a = glyphFor(*uncached, u'A');
    VelPoint offset;
    VelImage *image = uncached->lockedAlphaMapForGlyph(a, VelFixed(), VelFontEngine::Format_A8,
                                                       VelTransform(), &offset);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 10);
    EXPECT_EQ(image->height(), 14);
    EXPECT_EQ(offset, VelPoint(1, -14));
    uncached->unlockAlphaMapForGlyph();
    EXPECT_EQ(uncached->defaultGlyphSet()->fastGlyphsInUse(), 0);
    EXPECT_EQ(uncached->defaultGlyphSet()->findGlyph(a, VelFixed()), nullptr);

    // Without the cache, alpha maps come from FreeType's rendering.
    const VelImage alpha = uncached->alphaMapForGlyph(a);
    ASSERT_FALSE(alpha.isNull());
    EXPECT_EQ(alpha.format(), VelImage::Format_Indexed8);
    EXPECT_EQ(alpha.width(), 10);
    EXPECT_EQ(alpha.constScanLine(5)[5], 0xff);
    const VelImage rgb = uncached->alphaRGBMapForGlyph(a, VelFixed(), VelTransform());
    ASSERT_FALSE(rgb.isNull());
    EXPECT_EQ(rgb.format(), VelImage::Format_RGB32);
    EXPECT_EQ(reinterpret_cast<const uint *>(rgb.constScanLine(5))[5], 0xffffffffu);
    EXPECT_EQ(uncached->defaultGlyphSet()->fastGlyphsInUse(), 0);

    VelGlyphLayout layout(1);
    layout.glyphs[0] = a;
    uncached->recalcAdvances(&layout, 0);
    EXPECT_NEAR(layout.advances_x[0].toReal(), 12, 1.0 / 64);
    EXPECT_EQ(uncached->boundingBox(a).width, VelFixed(10));
    EXPECT_EQ(uncached->defaultGlyphSet()->fastGlyphsInUse(), 0);
}

TEST(FontEngineFT, CachedLockedAlphaMapAgainstGenericAlphaMap)
{
    auto engine = makeEngine(sans(), 20);
    ASSERT_TRUE(engine);
    const glyph_t b = glyphFor(*engine, u'B');
    VelPoint offset;
    VelImage *locked = engine->lockedAlphaMapForGlyph(b, VelFixed(), VelFontEngine::Format_A8,
                                                      VelTransform(), &offset);
    ASSERT_NE(locked, nullptr);
    Engine::Glyph *cached = engine->defaultGlyphSet()->findGlyph(b, VelFixed());
    ASSERT_NE(cached, nullptr);
    // The locked image is the cached record's pixels, not a copy.
    EXPECT_EQ(locked->constBits(), cached->data);
    EXPECT_FALSE(faceIsFreeForOtherThreads(engine->sharedFace()));
    const VelImage lockedCopy = locked->copy();
    engine->unlockAlphaMapForGlyph();
    EXPECT_TRUE(faceIsFreeForOtherThreads(engine->sharedFace()));

    // B spans 60..500 x 0..700 units: 1.2..10 x 0..14 pixels.
    EXPECT_EQ(offset, VelPoint(1, -14));
    EXPECT_EQ(lockedCopy.width(), 9);
    EXPECT_EQ(lockedCopy.height(), 14);
    const VelImage generic = engine->alphaMapForGlyph(b);
    ASSERT_FALSE(generic.isNull());
    EXPECT_EQ(generic.width(), lockedCopy.width());
    EXPECT_EQ(generic.height(), lockedCopy.height());
    long lockedSum = 0, genericSum = 0;
    for (int y = 0; y < lockedCopy.height(); ++y) {
        for (int x = 0; x < lockedCopy.width(); ++x) {
            lockedSum += lockedCopy.constScanLine(y)[x];
            genericSum += generic.constScanLine(y)[x];
            // Fully covered inside the box in both renderings.
            if (x >= 1 && x <= 7) {
                EXPECT_EQ(lockedCopy.constScanLine(y)[x], 0xff);
            }
        }
    }
    EXPECT_NEAR(double(lockedSum), double(genericSum), 255.0 * lockedCopy.height() * 0.1);

    // Same glyph again: the same record, no new one.
    const Engine::Glyph *before = cached;
    locked = engine->lockedAlphaMapForGlyph(b, VelFixed(), VelFontEngine::Format_A8);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(engine->defaultGlyphSet()->findGlyph(b, VelFixed()), before);
    engine->unlockAlphaMapForGlyph();

    // A sub-pixel position lands in the hash and gets one more column.
    locked = engine->lockedAlphaMapForGlyph(b, VelFixed::fromFixed(16), VelFontEngine::Format_A8);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(locked->width(), 10);
    engine->unlockAlphaMapForGlyph();
    EXPECT_EQ(engine->defaultGlyphSet()->otherGlyphsInUse(), 1);
}

TEST(FontEngineFT, SpaceGlyphGivesNoLockedMapAndUnlocks)
{
    auto engine = makeEngine(sans(), 20);
    ASSERT_TRUE(engine);
    const glyph_t space = glyphFor(*engine, u' ');
    EXPECT_EQ(engine->lockedAlphaMapForGlyph(space, VelFixed(), VelFontEngine::Format_A8), nullptr);
    EXPECT_TRUE(faceIsFreeForOtherThreads(engine->sharedFace()));
    const glyph_metrics_t box = engine->boundingBox(space);
    EXPECT_EQ(box.width, VelFixed());
    EXPECT_EQ(box.xoff, VelFixed(6));
}

TEST(FontEngineFT, ElevenRotationsKeepTenSetsRecyclingTheLeastRecentlyUsed)
{
    auto engine = makeEngine(sans(), 20);
    ASSERT_TRUE(engine);
    const glyph_t a = glyphFor(*engine, u'A');
    const glyph_t b = glyphFor(*engine, u'B');
    auto rotation = [](int i) {
        VelTransform t;
        t.rotate(5.0 * (i + 1));
        return t;
    };
    auto draw = [&](const VelTransform &t, glyph_t g) {
        VelImage *image =
            engine->lockedAlphaMapForGlyph(g, VelFixed(), VelFontEngine::Format_A8, t);
        ASSERT_NE(image, nullptr);
        engine->unlockAlphaMapForGlyph();
    };
    for (int i = 0; i < 10; ++i) {
        draw(rotation(i), a);
        draw(rotation(i), b);
    }
    ASSERT_EQ(engine->transformedGlyphSets().size(), 10u);
    EXPECT_EQ(engine->transformedGlyphSets().back().fastGlyphsInUse(), 2);

    // Reusing the oldest moves it to the front without clearing it; the next
    // oldest becomes the one to recycle.
    draw(rotation(0), a);
    EXPECT_EQ(engine->transformedGlyphSets().size(), 10u);
    EXPECT_EQ(engine->transformedGlyphSets().front().fastGlyphsInUse(), 2);
    const FT_Matrix second = engine->transformedGlyphSets().back().transformationMatrix;

    draw(rotation(10), a);
    ASSERT_EQ(engine->transformedGlyphSets().size(), 10u);
    const auto &front = engine->transformedGlyphSets().front();
    EXPECT_EQ(front.fastGlyphsInUse(), 1); // cleared before reuse
    for (const auto &set : engine->transformedGlyphSets())
        EXPECT_FALSE(set.transformationMatrix.xx == second.xx &&
                     set.transformationMatrix.xy == second.xy);
    // The default set is untouched by transformed drawing.
    EXPECT_EQ(engine->defaultGlyphSet()->fastGlyphsInUse(), 0);
}

TEST(FontEngineFT, LargeScaledFontFallsBackToTheGenericPath)
{
    auto engine = makeEngine(sans(), 40);
    ASSERT_TRUE(engine);
    const glyph_t a = glyphFor(*engine, u'A');
    const VelTransform twice = VelTransform::fromScale(2, 2);
    EXPECT_EQ(engine->loadTransformedGlyphSet(twice), nullptr);
    VelImage *image =
        engine->lockedAlphaMapForGlyph(a, VelFixed(), VelFontEngine::Format_A8, twice);
    ASSERT_NE(image, nullptr);
    // 500 x 700 units at 80 px per 1000 units, rasterised from the outline.
    EXPECT_EQ(image->width(), 40);
    EXPECT_EQ(image->height(), 56);
    EXPECT_EQ(image->format(), VelImage::Format_Indexed8);
    engine->unlockAlphaMapForGlyph();
    EXPECT_TRUE(faceIsFreeForOtherThreads(engine->sharedFace()));

    // A smaller scale is cached in a transformed set.
    auto small = makeEngine(sans(), 20);
    ASSERT_TRUE(small);
    EXPECT_NE(small->loadTransformedGlyphSet(VelTransform::fromScale(1.5, 1.5)), nullptr);
    VelTransform projective(1, 0, 0.001, 0, 1, 0, 0, 0, 1);
    EXPECT_EQ(small->loadTransformedGlyphSet(projective), nullptr);
}

TEST(FontEngineFT, GlyphSetSlotsAndRemoval)
{
    Engine::VelGlyphSet set;
    set.setGlyph(65, VelFixed(), new Engine::Glyph);
    set.setGlyph(300, VelFixed(), new Engine::Glyph);
    set.setGlyph(65, VelFixed::fromFixed(16), new Engine::Glyph);
    EXPECT_EQ(set.fastGlyphsInUse(), 1);
    EXPECT_EQ(set.otherGlyphsInUse(), 2);
    // Replacing a record keeps one slot.
    set.setGlyph(65, VelFixed(), new Engine::Glyph);
    EXPECT_EQ(set.fastGlyphsInUse(), 1);

    set.removeGlyphFromCache(65, VelFixed());
    EXPECT_EQ(set.fastGlyphsInUse(), 0);
    EXPECT_EQ(set.findGlyph(65, VelFixed()), nullptr);
    EXPECT_NE(set.findGlyph(65, VelFixed::fromFixed(16)), nullptr);
    set.removeGlyphFromCache(66, VelFixed());
    set.removeGlyphFromCache(65, VelFixed());
    EXPECT_EQ(set.fastGlyphsInUse(), 0);
    EXPECT_EQ(set.otherGlyphsInUse(), 2);
    set.clear();
    EXPECT_EQ(set.otherGlyphsInUse(), 0);

    auto engine = makeEngine(sans(), 20);
    ASSERT_TRUE(engine);
    const glyph_t a = glyphFor(*engine, u'A');
    engine->boundingBox(a);
    EXPECT_EQ(engine->defaultGlyphSet()->fastGlyphsInUse(), 1);
    engine->removeGlyphFromCache(a);
    EXPECT_EQ(engine->defaultGlyphSet()->fastGlyphsInUse(), 0);
}

TEST(FontEngineFT, BoundingBoxesOfRunsAndTransforms)
{
    auto engine = makeEngine(sans(), 20);
    ASSERT_TRUE(engine);
    const VelChar text[] = {VelChar(u'A'), VelChar(u'B')};
    VelGlyphLayout layout(2);
    int n = 2;
    ASSERT_TRUE(engine->stringToCMap(text, 2, &layout, &n, 0));
    const glyph_metrics_t run = engine->boundingBox(layout);
    EXPECT_EQ(run.x, VelFixed(1));
    EXPECT_EQ(run.y, VelFixed(-16)); // the ascent (800 units) is above the ink
    EXPECT_EQ(run.width, VelFixed(12 + 10 - 1));
    EXPECT_EQ(run.xoff, VelFixed(24));
    const glyph_metrics_t empty = engine->boundingBox(VelGlyphLayout());
    EXPECT_EQ(empty.x, VelFixed(100000));
    EXPECT_EQ(empty.width, VelFixed(-100000));

    VelTransform quarter;
    quarter.rotate(90);
    const glyph_metrics_t turned = engine->boundingBox(layout.glyphs[0], quarter);
    EXPECT_EQ(turned.width, VelFixed(14));
    EXPECT_EQ(turned.height, VelFixed(10));

    EXPECT_NEAR(engine->minLeftBearing(), 0, 1e-9);
    EXPECT_LE(engine->minRightBearing(), 0);
    EXPECT_EQ(engine->ascent(), VelFixed(16));
    EXPECT_EQ(engine->descent(), VelFixed(4));
    EXPECT_EQ(engine->maxCharWidth(), 12);
    EXPECT_EQ(engine->glyphCount(), 6);
    EXPECT_FALSE(engine->supportsTransformation(quarter));
    EXPECT_TRUE(engine->supportsTransformation(VelTransform::fromTranslate(3, 4)));
    EXPECT_STREQ(engine->name(), "freetype");
    EXPECT_EQ(engine->type(), VelFontEngine::Freetype);
}

TEST(FontEngineFT, SynthesisedBoldAndItalic)
{
    VelFontDef def = fontDefWithPixelSize(20, VelFontDef::Bold);
    def.style = VelFontDef::StyleItalic;
    VelFontEngineFT synthetic(def);
    ASSERT_TRUE(
        synthetic.init(FaceId(VelByteArray(sans().c_str())), true, VelFontEngine::Format_A8));
    EXPECT_EQ(synthetic.synthesized(),
              VelFontEngine::SynthesizedBold | VelFontEngine::SynthesizedItalic);
    auto plain = makeEngine(sans(), 20);
    ASSERT_TRUE(plain);
    const glyph_t a = glyphFor(*plain, u'A');
    // Slanted glyphs lean right: the box gets wider than the upright one.
    EXPECT_GT(synthetic.boundingBox(a).width, plain->boundingBox(a).width);

    auto realBold = makeEngine(testFontPath("VelTestSans-Bold.ttf"), 20, 0,
                               VelFontEngine::Format_A8, VelFontDef::Bold);
    ASSERT_TRUE(realBold);
    EXPECT_EQ(realBold->synthesized(), 0);
}

} // namespace

// The face lock is taken per glyph from the raster paint engine and nested by
// the host's fallbacks: nesting must count, and only the outermost unlock may
// let another thread in.
TEST(FaceLock, NestsOnOneThreadAndExcludesOthersUntilTheOutermostUnlock)
{
    VelFaceLock lock;
    auto freeForOthers = [&lock] {
        bool free = false;
        std::thread probe([&] {
            free = lock.try_lock();
            if (free)
                lock.unlock();
        });
        probe.join();
        return free;
    };
    EXPECT_TRUE(freeForOthers());
    lock.lock();
    ASSERT_TRUE(lock.try_lock()) << "the holder may take it again";
    lock.lock();
    EXPECT_FALSE(freeForOthers());
    lock.unlock();
    lock.unlock();
    EXPECT_FALSE(freeForOthers()) << "one level is still held";
    lock.unlock();
    EXPECT_TRUE(freeForOthers());
}

// Cached glyphs are handed out without setting up the face, but still with
// the face held, and every glyph of a run releases it again.
TEST(FaceLock, WarmRunOfLockedAlphaMapsLeavesTheFaceFree)
{
    auto engine = makeEngine(sans(), 16);
    ASSERT_TRUE(engine);
    const char16_t text[] = u"warm text, twice";
    std::vector<VelChar> chars;
    for (const char16_t *p = text; *p; ++p)
        chars.push_back(VelChar(*p));
    VelGlyphLayout layout(int(chars.size()));
    for (int pass = 0; pass < 2; ++pass) {
        int n = int(chars.size());
        ASSERT_TRUE(engine->stringToCMap(chars.data(), int(chars.size()), &layout, &n, 0));
        for (int i = 0; i < n; ++i) {
            if (engine->lockedAlphaMapForGlyph(layout.glyphs[i], VelFixed(),
                                               VelFontEngine::Format_A8)) {
                EXPECT_FALSE(faceIsFreeForOtherThreads(engine->sharedFace()));
                engine->unlockAlphaMapForGlyph();
            }
            EXPECT_TRUE(faceIsFreeForOtherThreads(engine->sharedFace()));
        }
    }
}

// A font collection found by fuzzing whose first glyph's box is thousands of
// pixels a side at 17 pixels. Rotated, the glyph is too large for the engine's
// own cache and goes to the generic outline rasteriser, which spent minutes and
// gigabytes on it: it must refuse it instead.
const unsigned char hugeGlyphFont[] = {
    0x74, 0x74, 0x63, 0x66, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x18,
    0x00, 0x00, 0x03, 0x44, 0x00, 0x00, 0x04, 0xcc, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0a, 0x00, 0x80,
    0x00, 0x03, 0x00, 0x20, 0x4f, 0x53, 0x2f, 0x32, 0x47, 0x02, 0x24, 0x02, 0x00, 0x00, 0x01, 0xe8,
    0x00, 0x00, 0x00, 0x60, 0x63, 0x6d, 0x61, 0x70, 0xc0, 0x27, 0x21, 0x02, 0x00, 0x00, 0x02, 0x48,
    0x00, 0x00, 0x00, 0x44, 0x67, 0x6c, 0x79, 0x66, 0x6b, 0xb6, 0xbc, 0xac, 0x00, 0x00, 0x00, 0xc4,
    0x00, 0x00, 0x00, 0x82, 0x68, 0x65, 0x61, 0x64, 0x30, 0x14, 0x7b, 0x2a, 0x00, 0x00, 0x01, 0x78,
    0x00, 0x00, 0x00, 0x36, 0x68, 0x68, 0x65, 0x61, 0x05, 0xa2, 0x01, 0x94, 0x00, 0x00, 0x01, 0xc4,
    0x00, 0x00, 0x00, 0x24, 0x68, 0x6d, 0x74, 0x78, 0x06, 0x7c, 0x00, 0x8c, 0x00, 0x00, 0x01, 0xb0,
    0x00, 0x00, 0x00, 0x12, 0x6c, 0x6f, 0x63, 0x61, 0x00, 0x75, 0x00, 0x5b, 0x00, 0x00, 0x01, 0x68,
    0x00, 0x00, 0x00, 0x0e, 0x6d, 0x61, 0x78, 0x70, 0x00, 0x08, 0x00, 0x06, 0x00, 0x00, 0x01, 0x48,
    0x00, 0x00, 0x00, 0x20, 0x6e, 0x61, 0x6d, 0x65, 0x82, 0xa1, 0x7f, 0xc7, 0x00, 0x00, 0x02, 0x8c,
    0x00, 0x00, 0x00, 0x7e, 0x70, 0x6f, 0x73, 0x74, 0xda, 0x0e, 0xd1, 0x41, 0x00, 0x00, 0x03, 0x0c,
    0x00, 0x00, 0x00, 0x37, 0x00, 0x01, 0x00, 0x32, 0x00, 0x00, 0x01, 0xc2, 0x02, 0xbc, 0x00, 0x03,
    0x00, 0x00, 0x33, 0x11, 0x21, 0x11, 0x70, 0x6f, 0x73, 0x74, 0x73, 0x63, 0x72, 0x69, 0x70, 0x74,
    0x00, 0x32, 0x00, 0x00, 0x02, 0x26, 0x02, 0xbc, 0x00, 0x03, 0x00, 0x00, 0x33, 0x11, 0x21, 0x11,
    0x32, 0x01, 0xf4, 0x02, 0xbc, 0xfd, 0x44, 0x00, 0x00, 0x01, 0x00, 0x3c, 0x00, 0x00, 0x01, 0xf4,
    0x02, 0xbc, 0x02, 0x03, 0x00, 0x00, 0x33, 0x11, 0x21, 0x11, 0x3c, 0x01, 0xb8, 0x02, 0xbc, 0xfd,
    0x44, 0x00, 0x00, 0x01, 0x00, 0x28, 0x00, 0x00, 0x02, 0x30, 0x02, 0xbc, 0x00, 0x03, 0x00, 0x00,
    0x33, 0x11, 0x21, 0x11, 0x28, 0x02, 0x08, 0x02, 0xbc, 0xfd, 0x44, 0x00, 0x00, 0x01, 0x00, 0x64,
    0x00, 0x64, 0x02, 0x58, 0x02, 0x58, 0x00, 0x03, 0x00, 0x00, 0x36, 0x10, 0x20, 0x10, 0x64, 0x01,
    0xf4, 0x64, 0x01, 0xf4, 0xfe, 0x0c, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x6f, 0x63, 0x61,
    0x00, 0x75, 0x00, 0x5b, 0x00, 0x00, 0x01, 0x68, 0x00, 0x00, 0x00, 0x0e, 0x6d, 0x61, 0x78, 0x70,
    0x00, 0x08, 0x00, 0x06, 0x00, 0x00, 0x01, 0x48, 0x00, 0x00, 0x00, 0x20, 0x6e, 0x61, 0x6d, 0x65,
    0xd2, 0x75, 0x59, 0xdd, 0x00, 0x00, 0x04, 0x50, 0x00, 0x00, 0x00, 0x7b, 0x70, 0x6f, 0x73, 0x74,
    0xda, 0x0e, 0xd1, 0x41, 0x00, 0x00, 0x03, 0x0c, 0x00, 0x00, 0x00, 0x37, 0x00, 0x03, 0x02, 0x26,
    0x01, 0xf4, 0x00, 0x05, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x04, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x75, 0x00, 0x6d, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0a, 0x00, 0x80, 0x00, 0x03, 0x00,
    0x20, 0x4f, 0x53, 0x2f, 0x31, 0x48, 0xf6, 0x23, 0xe2, 0x00, 0x00, 0x05, 0x78, 0x00, 0x00, 0x00,
    0x60, 0x63, 0x6d, 0x61, 0x70, 0xc0, 0x27, 0x21, 0x02, 0x00, 0x00, 0x02, 0x48, 0x00, 0x00, 0x00,
    0x44, 0x67, 0x6c, 0x79, 0x66, 0x6b, 0xb6, 0xbc, 0xac, 0x00, 0x21, 0x00, 0x00, 0xc4, 0x00, 0x00,
    0x00, 0x82, 0x68, 0x65, 0x61, 0x64, 0x30, 0x14, 0x7b, 0x2a, 0x00, 0x00, 0x01, 0x78, 0x00, 0x00,
    0x00, 0x36, 0x68, 0x68, 0x65, 0x61, 0x05, 0xa2, 0x01, 0x94, 0x00, 0x00, 0x01, 0xc4, 0x00, 0x00,
    0x00, 0x24, 0x68, 0x6d, 0x74, 0x78, 0x06, 0x7c, 0x00, 0x8c, 0x00, 0x00, 0x01, 0x90, 0x00, 0x00,
    0x00, 0x12, 0x6c, 0x6f, 0x63, 0x61, 0x00, 0x75, 0x00, 0x5b, 0x00, 0x00, 0x01, 0x68, 0x00, 0x00,
    0x00, 0x0e, 0x6d, 0x6f, 0x74, 0x76, 0x61, 0x08, 0x00, 0x06, 0x00, 0x00, 0x01, 0x48, 0x00, 0x00,
    0x00, 0x20, 0x6e, 0x61, 0x6d, 0x65, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x05, 0x00, 0x11, 0x00,
    0x03, 0x00, 0x01, 0x04, 0x09, 0x00, 0x01, 0x00, 0x22, 0x00, 0x16, 0x00, 0x03, 0x00, 0x01, 0x04,
    0x09, 0x00, 0x02, 0x00, 0x0a, 0x00, 0x38, 0x56, 0x65, 0x6c, 0x54, 0x65, 0x73, 0x74, 0x43, 0x6f,
    0x6c, 0x6c, 0x65, 0x63, 0x74, 0x69, 0x6f, 0x6e, 0x42, 0x6c, 0x61, 0x63, 0x6b, 0x00, 0x56, 0x00,
    0x65, 0x00, 0x6c, 0x00, 0x54, 0x00, 0x65, 0x00, 0x73, 0x00, 0x74, 0x00, 0x43, 0x00, 0x6f, 0x00,
    0x6c, 0x00, 0x6c, 0x00, 0x65, 0x00, 0x63, 0x00, 0x74, 0x00, 0x69, 0x00, 0x6f, 0x00, 0x6e, 0x00,
    0x42, 0x00, 0x6c, 0x00, 0x61, 0x00, 0x63, 0x00, 0x6b};

TEST(FontEngineFT, GlyphTooLargeForAnyScreenIsNotRasterised)
{
    ManualDatabase database;
    const VelByteArray data(reinterpret_cast<const char *>(hugeGlyphFont), sizeof hugeGlyphFont);
    std::unique_ptr<VelFontEngine> engine(
        database.fontEngine(data, 17, VelFontDef::PreferDefaultHinting));
    ASSERT_TRUE(engine);
    VelTransform rotated;
    rotated.rotate(30);
    const glyph_metrics_t box = engine->boundingBox(0, rotated);
    ASSERT_GT(std::max(box.width.ceil().toInt(), box.height.ceil().toInt()), 4096);

    EXPECT_TRUE(engine->alphaMapForGlyph(0, VelFixed(), rotated).isNull());
    EXPECT_EQ(engine->lockedAlphaMapForGlyph(0, VelFixed(), VelFontEngine::Format_A8, rotated),
              nullptr);
}
