#include "fonttestutil.h"
#include "velfreetypeface.h"

#include <gtest/gtest.h>

#include FT_OUTLINE_H

#include <cmath>
#include <thread>
#include <vector>

namespace
{

FaceId keyFor(const std::string &path, int index = 0)
{
    return FaceId(VelByteArray(path.c_str()), index);
}

TEST(FreetypeFace, EnginesOfOneThreadShareOneFaceAndTheLastReleaseClosesTheLibrary)
{
    const std::string path = testFontPath("VelTestSans-Regular.ttf");
    auto first = makeEngine(path, 12);
    auto second = makeEngine(path, 20);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->sharedFace(), second->sharedFace());
    EXPECT_EQ(first->sharedFace()->refCount(), 2);
    EXPECT_EQ(vel_getFreetypeData()->faces.size(), 1u);

    first.reset();
    EXPECT_EQ(second->sharedFace()->refCount(), 1);
    EXPECT_NE(vel_getFreetypeData()->library, nullptr);
    second.reset();
    EXPECT_TRUE(vel_getFreetypeData()->faces.empty());
    EXPECT_EQ(vel_getFreetypeData()->library, nullptr);
}

TEST(FreetypeFace, AnotherThreadOpensItsOwnFace)
{
    const std::string path = testFontPath("VelTestSans-Regular.ttf");
    auto engine = makeEngine(path, 12);
    ASSERT_TRUE(engine);
    VelFreetypeFace *otherFace = nullptr;
    FT_Library otherLibrary = nullptr;
    std::thread worker([&] {
        auto local = makeEngine(path, 12);
        if (local) {
            otherFace = local->sharedFace();
            otherLibrary = vel_getFreetypeData()->library;
        }
    });
    worker.join();
    ASSERT_NE(otherFace, nullptr);
    EXPECT_NE(otherFace, engine->sharedFace());
    EXPECT_NE(otherLibrary, vel_getFreetypeData()->library);
    EXPECT_EQ(engine->sharedFace()->refCount(), 1);
}

TEST(FreetypeFace, ClonesShareTheFaceAndAppliedSizesFollowTheLockingEngine)
{
    auto engine = makeEngine(testFontPath("VelTestSans-Regular.ttf"), 12);
    ASSERT_TRUE(engine);
    std::unique_ptr<VelFontEngine> clone(engine->cloneWithSize(30));
    ASSERT_TRUE(clone);
    auto *ftClone = static_cast<VelFontEngineFT *>(clone.get());
    EXPECT_EQ(ftClone->sharedFace(), engine->sharedFace());
    EXPECT_EQ(engine->sharedFace()->refCount(), 2);

    FT_Face face = ftClone->lockFace();
    EXPECT_EQ(face->size->metrics.y_ppem, 30);
    ftClone->unlockFace();
    face = engine->lockFace();
    EXPECT_EQ(face->size->metrics.y_ppem, 12);
    EXPECT_EQ(engine->sharedFace()->ysize, 12 * 64);
    engine->unlockFace();
}

TEST(FreetypeFace, EmptyKeyWithoutDataOrUnopenableFileGivesNoFace)
{
    EXPECT_EQ(VelFreetypeFace::getFace(FaceId()), nullptr);
    EXPECT_EQ(VelFreetypeFace::getFace(keyFor("/nonexistent/font.ttf")), nullptr);
    EXPECT_EQ(VelFreetypeFace::getFace(FaceId(), VelByteArray("not a font at all")), nullptr);
    VelFontEngineFT engine(fontDefWithPixelSize(12));
    EXPECT_FALSE(engine.init(keyFor("/nonexistent/font.ttf"), true, VelFontEngine::Format_A8));
    EXPECT_TRUE(engine.invalid());
}

TEST(FreetypeFace, CharmapChoice)
{
    {
        auto engine = makeEngine(testFontPath("VelTestRomanThenUnicode.ttf"), 12);
        ASSERT_TRUE(engine);
        ASSERT_NE(engine->sharedFace()->unicode_map, nullptr);
        EXPECT_EQ(engine->sharedFace()->unicode_map->encoding, FT_ENCODING_UNICODE);
        EXPECT_EQ(engine->sharedFace()->symbol_map, nullptr);
        EXPECT_FALSE(engine->symbol);
    }
    {
        auto engine = makeEngine(testFontPath("VelTestRomanOnly.ttf"), 12);
        ASSERT_TRUE(engine);
        ASSERT_NE(engine->sharedFace()->unicode_map, nullptr);
        EXPECT_EQ(engine->sharedFace()->unicode_map->encoding, FT_ENCODING_APPLE_ROMAN);
        EXPECT_NE(glyphFor(*engine, u'A'), 0u);
    }
    {
        auto engine = makeEngine(testFontPath("VelTestSymbol.ttf"), 12);
        ASSERT_TRUE(engine);
        ASSERT_NE(engine->sharedFace()->symbol_map, nullptr);
        EXPECT_TRUE(engine->symbol);
        // Found only through the symbol map, which the lookup switches back from.
        const glyph_t a = glyphFor(*engine, char16_t(0xF041));
        EXPECT_EQ(a, 2u);
    }
}

TEST(FreetypeFace, BitmapStrikeChoiceAndItsTieRule)
{
    const std::string path = testFontPath("VelTestBitmap.ttf");
    auto at14 = makeEngine(path, 14);
    ASSERT_TRUE(at14);
    // Equal height and width distances: the earlier (13 pixel) strike wins.
    EXPECT_EQ(at14->pixelHeight(), 13 * 64);
    EXPECT_EQ(at14->pixelWidth(), 13 * 64);

    // Equal height distances, but a wider request is nearer the 15 pixel strike.
    VelFontDef wide = fontDefWithPixelSize(14);
    wide.stretch = 110;
    VelFontEngineFT stretched(wide);
    ASSERT_TRUE(stretched.init(keyFor(path), true, VelFontEngine::Format_A8));
    EXPECT_EQ(stretched.pixelHeight(), 15 * 64);

    auto at16 = makeEngine(path, 16);
    ASSERT_TRUE(at16);
    EXPECT_EQ(at16->pixelHeight(), 15 * 64);
    EXPECT_FALSE(at16->defaultGlyphSet()->outline_drawing);
}

TEST(FreetypeFace, OutlineDrawingAboveSixtyFourPixels)
{
    const std::string path = testFontPath("VelTestSans-Regular.ttf");
    auto at64 = makeEngine(path, 64);
    auto above = makeEngine(path, 64.01);
    ASSERT_TRUE(at64 && above);
    EXPECT_FALSE(at64->defaultGlyphSet()->outline_drawing);
    EXPECT_TRUE(above->defaultGlyphSet()->outline_drawing);
    EXPECT_EQ(above->pixelHeight(), 4097);
    // Drawn as paths: no pixels are rendered into the default set.
    EXPECT_EQ(above->loadGlyphFor(glyphFor(*above, u'A'), VelFixed(), VelFontEngine::Format_A8),
              nullptr);
}

TEST(FreetypeFace, PixelSizeRoundsHalvesUp)
{
    const std::string path = testFontPath("VelTestSans-Regular.ttf");
    auto engine = makeEngine(path, 12.5 / 64 + 10); // 10.1953125 * 64 = 652.5
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->pixelHeight(), 653);
    VelFontDef condensed = fontDefWithPixelSize(10);
    condensed.stretch = 75;
    VelFontEngineFT narrow(condensed);
    ASSERT_TRUE(narrow.init(keyFor(path), true, VelFontEngine::Format_A8));
    EXPECT_EQ(narrow.pixelWidth(), 480);
    EXPECT_EQ(narrow.synthesized() & VelFontEngine::SynthesizedStretch,
              VelFontEngine::SynthesizedStretch);
}

TEST(FreetypeFace, PointInOutlineBounds)
{
    auto engine = makeEngine(testFontPath("VelTestSans-Regular.ttf"), 20);
    ASSERT_TRUE(engine);
    const glyph_t a = glyphFor(*engine, u'A');
    VelFixed x, y;
    uint count = 0;
    ASSERT_EQ(engine->getPointInOutline(a, 0, 3, &x, &y, &count), 0);
    EXPECT_EQ(count, 4u);
    // The box's points lie on x = 50 or 550 font units (1 or 11 pixels at 20px).
    EXPECT_TRUE(x == VelFixed(1) || x == VelFixed(11)) << x.value();
    const VelFixed untouched = VelFixed(77);
    x = untouched;
    EXPECT_EQ(engine->getPointInOutline(a, 0, 4, &x, &y, &count), 0x1570);
    EXPECT_EQ(x, untouched);

    // The space glyph has no points: success without a position.
    EXPECT_EQ(engine->getPointInOutline(glyphFor(*engine, u' '), 0, 0, &x, &y, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(x, untouched);

    auto bitmap = makeEngine(testFontPath("VelTestBitmap.ttf"), 13);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->getPointInOutline(glyphFor(*bitmap, u'A'), 0, 0, &x, &y, &count), 0x1570);
}

// Records FreeType's own decomposition with quadratic segments raised to
// cubic ones, in the path's coordinates (font units, y down).
struct Decomposition {
    std::vector<VelPainterPath::Element> elements;
    VelPointF last;

    static VelPointF toPath(const FT_Vector *v) { return VelPointF(v->x / 64.0, -v->y / 64.0); }
    void add(VelPainterPath::ElementType type, const VelPointF &p)
    {
        VelPainterPath::Element e;
        e.type = type;
        e.x = p.x();
        e.y = p.y();
        elements.push_back(e);
    }
    static int moveTo(const FT_Vector *to, void *user)
    {
        auto *d = static_cast<Decomposition *>(user);
        d->last = toPath(to);
        d->add(VelPainterPath::MoveToElement, d->last);
        return 0;
    }
    static int lineTo(const FT_Vector *to, void *user)
    {
        auto *d = static_cast<Decomposition *>(user);
        d->last = toPath(to);
        d->add(VelPainterPath::LineToElement, d->last);
        return 0;
    }
    static int conicTo(const FT_Vector *control, const FT_Vector *to, void *user)
    {
        auto *d = static_cast<Decomposition *>(user);
        const VelPointF c = toPath(control), e = toPath(to), s = d->last;
        d->add(VelPainterPath::CurveToElement,
               VelPointF(s.x() + 2 * (c.x() - s.x()) / 3, s.y() + 2 * (c.y() - s.y()) / 3));
        d->add(VelPainterPath::CurveToDataElement,
               VelPointF(e.x() + 2 * (c.x() - e.x()) / 3, e.y() + 2 * (c.y() - e.y()) / 3));
        d->add(VelPainterPath::CurveToDataElement, e);
        d->last = e;
        return 0;
    }
    static int cubicTo(const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *to, void *user)
    {
        auto *d = static_cast<Decomposition *>(user);
        d->add(VelPainterPath::CurveToElement, toPath(c1));
        d->add(VelPainterPath::CurveToDataElement, toPath(c2));
        d->last = toPath(to);
        d->add(VelPainterPath::CurveToDataElement, d->last);
        return 0;
    }
};

Decomposition decomposeUnscaled(VelFontEngineFT &engine, glyph_t glyph)
{
    Decomposition d;
    FT_Face face = engine.lockFace(VelFontEngineFT::Unscaled);
    FT_Set_Transform(face, nullptr, nullptr);
    EXPECT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP), 0);
    FT_Outline_Funcs funcs = {};
    funcs.move_to = &Decomposition::moveTo;
    funcs.line_to = &Decomposition::lineTo;
    funcs.conic_to = &Decomposition::conicTo;
    funcs.cubic_to = &Decomposition::cubicTo;
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &d);
    FT_Set_Transform(face, &engine.sharedFace()->matrix, nullptr);
    engine.unlockFace();
    return d;
}

TEST(FreetypeFace, AllOffCurveContourMatchesFreetypeDecomposition)
{
    auto engine = makeEngine(testFontPath("VelTestSans-Regular.ttf"), 20);
    ASSERT_TRUE(engine);
    const glyph_t blob = glyphFor(*engine, char16_t(0xE000));
    ASSERT_NE(blob, 0u);
    VelPainterPath path;
    glyph_metrics_t metrics;
    engine->getUnscaledGlyph(blob, &path, &metrics);
    const Decomposition expected = decomposeUnscaled(*engine, blob);

    // A move to the midpoint of the first and last control points, then
    // four cubic segments and no explicit close.
    ASSERT_EQ(path.elementCount(), 13);
    ASSERT_EQ(int(expected.elements.size()), 13);
    EXPECT_EQ(path.elementAt(0).type, VelPainterPath::MoveToElement);
    EXPECT_DOUBLE_EQ(path.elementAt(0).x, 350); // (100,100) and (600,100), y down
    EXPECT_DOUBLE_EQ(path.elementAt(0).y, -100);
    for (int i = 0; i < 13; ++i) {
        const VelPainterPath::Element &got = path.elementAt(i);
        const VelPainterPath::Element &want = expected.elements[size_t(i)];
        EXPECT_EQ(got.type, want.type) << i;
        EXPECT_NEAR(got.x, want.x, 1e-9) << i;
        EXPECT_NEAR(got.y, want.y, 1e-9) << i;
    }
    EXPECT_EQ(metrics.xoff, VelFixed(600));
}

TEST(FreetypeFace, OffCurveFirstPointWithOnCurveLastPointStartsAtTheLastPoint)
{
    auto engine = makeEngine(testFontPath("VelTestLimits.ttf"), 20);
    ASSERT_TRUE(engine);
    const glyph_t q = glyphFor(*engine, u'Q');
    ASSERT_NE(q, 0u);
    VelPainterPath path;
    glyph_metrics_t metrics;
    engine->getUnscaledGlyph(q, &path, &metrics);
    const Decomposition expected = decomposeUnscaled(*engine, q);
    ASSERT_EQ(int(expected.elements.size()), 7);
    ASSERT_EQ(path.elementCount(), 7);
    EXPECT_DOUBLE_EQ(path.elementAt(0).x, 600);
    EXPECT_DOUBLE_EQ(path.elementAt(0).y, -100);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(path.elementAt(i).type, expected.elements[size_t(i)].type) << i;
        EXPECT_NEAR(path.elementAt(i).x, expected.elements[size_t(i)].x, 1e-9) << i;
        EXPECT_NEAR(path.elementAt(i).y, expected.elements[size_t(i)].y, 1e-9) << i;
    }
}

TEST(FreetypeFace, OnCurveContourIsLinesAndAClose)
{
    auto engine = makeEngine(testFontPath("VelTestSans-Regular.ttf"), 20);
    ASSERT_TRUE(engine);
    VelPainterPath path;
    glyph_metrics_t metrics;
    engine->getUnscaledGlyph(glyphFor(*engine, u'A'), &path, &metrics);
    const Decomposition expected = decomposeUnscaled(*engine, glyphFor(*engine, u'A'));
    ASSERT_EQ(path.elementCount(), 5);
    EXPECT_EQ(path.elementAt(0).type, VelPainterPath::MoveToElement);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(path.elementAt(i).type, VelPainterPath::LineToElement);
        EXPECT_DOUBLE_EQ(path.elementAt(i).x, expected.elements[size_t(i)].x);
        EXPECT_DOUBLE_EQ(path.elementAt(i).y, expected.elements[size_t(i)].y);
    }
    // The close returns to the start.
    EXPECT_DOUBLE_EQ(path.elementAt(4).x, path.elementAt(0).x);
    EXPECT_DOUBLE_EQ(path.elementAt(4).y, path.elementAt(0).y);
    EXPECT_EQ(metrics.x, VelFixed(50));
    EXPECT_EQ(metrics.y, VelFixed(-700));
}

TEST(FreetypeFace, ScaledPathOutputInPixels)
{
    auto engine = makeEngine(testFontPath("VelTestSans-Regular.ttf"), 20);
    ASSERT_TRUE(engine);
    glyph_t a = glyphFor(*engine, u'A');
    VelFixedPoint at(VelFixed(5), VelFixed(30));
    VelPainterPath path;
    engine->addGlyphsToPath(&a, &at, 1, &path, 0);
    const VelRectF box = path.boundingRect();
    // 50..550 x 0..700 font units at 20 px per 1000 units, y up from (5, 30).
    EXPECT_NEAR(box.x(), 6, 1e-6);
    EXPECT_NEAR(box.width(), 10, 1e-6);
    EXPECT_NEAR(box.y(), 16, 1e-6);
    EXPECT_NEAR(box.height(), 14, 1e-6);
}

TEST(FreetypeFace, MemoryEnginesFromTheSameBytesDoNotShare)
{
    const VelByteArray bytes = readFontFile(testFontPath("VelTestSans-Regular.ttf"));
    ASSERT_FALSE(bytes.isEmpty());
    FaceId first;
    first.uuid = "one";
    FaceId second;
    second.uuid = "two";
    VelFreetypeFace *a = VelFreetypeFace::getFace(first, bytes);
    VelFreetypeFace *b = VelFreetypeFace::getFace(second, bytes);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->refCount(), 1);
    a->release(first);
    b->release(second);
    EXPECT_EQ(vel_getFreetypeData()->library, nullptr);
}

TEST(FreetypeFace, PropertiesOfScalableAndBitmapFaces)
{
    auto engine = makeEngine(testFontPath("VelTestSans-Regular.ttf"), 20);
    ASSERT_TRUE(engine);
    const VelFontEngine::Properties p = engine->properties();
    EXPECT_EQ(p.emSquare, VelFixed(1000));
    EXPECT_EQ(p.ascent, VelFixed(800));
    EXPECT_EQ(p.descent, VelFixed(200));
    // No PostScript name in the font: made from the family instead.
    EXPECT_TRUE(p.postscriptName.isEmpty());
    VelFontEngineFT named(fontDefWithPixelSize(20));
    named.fontDef.family = VelString("Vel Test Sans");
    ASSERT_TRUE(named.init(keyFor(testFontPath("VelTestSans-Regular.ttf")), true,
                           VelFontEngine::Format_A8));
    EXPECT_EQ(named.properties().postscriptName, VelByteArray("VelTestSans"));
    auto dejavu = makeEngine(dejaVuPath(), 20);
    ASSERT_TRUE(dejavu);
    EXPECT_EQ(dejavu->properties().postscriptName, VelByteArray("DejaVuSans"));

    auto bitmap = makeEngine(testFontPath("VelTestBitmap.ttf"), 15);
    ASSERT_TRUE(bitmap);
    const VelFontEngine::Properties b = bitmap->properties();
    EXPECT_EQ(b.emSquare, VelFixed(15));
    EXPECT_EQ(bitmap->emSquareSize(), VelFixed(15));

    uint length = 0;
    EXPECT_TRUE(engine->getSfntTableData(0x6e616d65 /* name */, nullptr, &length));
    EXPECT_GT(length, 0u);
    VelByteArray table(int(length), '\0');
    EXPECT_TRUE(
        engine->getSfntTableData(0x6e616d65, reinterpret_cast<uchar *>(table.data()), &length));
    EXPECT_FALSE(engine->getSfntTableData(0x78787878 /* absent */, nullptr, &length));
}

} // namespace
