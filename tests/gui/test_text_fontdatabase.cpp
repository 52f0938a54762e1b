#include "velfontdatabase.h"
#include "velfontengine.h"
#include "velplatformfontdatabase.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace
{

// An engine that only remembers what it was made for.
class RecordingEngine : public VelFontEngine
{
public:
    RecordingEngine(const VelFontDef &def, int faceTag) : tag(faceTag) { fontDef = def; }
    int tag;

    bool stringToCMap(const VelChar *, int len, VelGlyphLayout *glyphs, int *nglyphs,
                      ShaperFlags) const override
    {
        *nglyphs = len;
        glyphs->numGlyphs = len;
        return true;
    }
    glyph_metrics_t boundingBox(const VelGlyphLayout &) override { return glyph_metrics_t(); }
    glyph_metrics_t boundingBox(glyph_t) override { return glyph_metrics_t(); }
    VelFixed ascent() const override { return VelFixed(10); }
    VelFixed descent() const override { return VelFixed(3); }
    VelFixed leading() const override { return VelFixed(); }
    double maxCharWidth() const override { return 10; }
    const char *name() const override { return "recording"; }
    bool canRender(const VelChar *, int) const override { return true; }
    Type type() const override { return TestFontEngine; }
};

struct FaceSpec {
    const char *family;
    int weight;
    VelFontDef::Style style;
    bool scalable;
    int pixelSize;
};

// Registers the given faces; handles are heap ints holding the face's tag so
// that releases can be checked one by one.
class TestDatabase : public VelPlatformFontDatabase
{
public:
    std::vector<FaceSpec> specs;
    std::set<int> failingTags;
    VelStringList fallbacks;
    int populateCalls = 0;
    int engineCalls = 0;
    std::multiset<int> released;
    std::map<VelByteArray, VelString> applicationFontFamilies;

    void populateFontDatabase() override
    {
        ++populateCalls;
        for (size_t i = 0; i < specs.size(); ++i) {
            const FaceSpec &s = specs[i];
            registerFont(VelString(s.family), VelString(), VelString(), s.weight, s.style, 100,
                         true, s.scalable, s.pixelSize, false, VelSupportedWritingSystems(),
                         new int(int(i)));
        }
    }
    VelFontEngine *fontEngine(const VelFontDef &def, int, void *handle) override
    {
        ++engineCalls;
        const int tag = *static_cast<int *>(handle);
        if (failingTags.count(tag))
            return nullptr;
        return new RecordingEngine(def, tag);
    }
    VelStringList fallbacksForFamily(const VelString &, VelFontDef::Style, VelFontDef::StyleHint,
                                     int) const override
    {
        return fallbacks;
    }
    VelStringList addApplicationFont(const VelByteArray &data, const VelString &fileName) override
    {
        const auto it = applicationFontFamilies.find(data);
        if (it == applicationFontFamilies.end())
            return VelStringList();
        // Faces of application fonts are found again through their name.
        EXPECT_EQ(vel_fontdata_from_index(fileName.mid(16).toInt()), data);
        registerFont(it->second, VelString(), VelString(), 50, VelFontDef::StyleNormal, 100, true,
                     true, 0, false, VelSupportedWritingSystems(), new int(1000));
        return VelStringList(it->second);
    }
    void releaseHandle(void *handle) override
    {
        released.insert(*static_cast<int *>(handle));
        delete static_cast<int *>(handle);
    }
};

class FontMatching : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.specs = {
            {"Vel Sans", 50, VelFontDef::StyleNormal, true, 0},   // 0
            {"Vel Sans", 75, VelFontDef::StyleNormal, true, 0},   // 1
            {"Vel Sans", 50, VelFontDef::StyleItalic, true, 0},   // 2
            {"Vel Sans", 25, VelFontDef::StyleNormal, true, 0},   // 3
            {"Pixel", 50, VelFontDef::StyleNormal, false, 10},    // 4
            {"Pixel", 50, VelFontDef::StyleNormal, false, 16},    // 5
            {"Backup", 50, VelFontDef::StyleNormal, true, 0},     // 6
            {"Last Resort", 50, VelFontDef::StyleNormal, true, 0} // 7
        };
        VelFontDatabase::setPlatformFontDatabase(&db);
    }
    void TearDown() override { VelFontDatabase::setPlatformFontDatabase(nullptr); }

    int tagFor(const VelString &family, int weight = 50, int style = 0, double pixelSize = 12)
    {
        VelFontDef def;
        def.family = family;
        def.weight = weight;
        def.style = style;
        def.pixelSize = pixelSize;
        auto *engine = static_cast<RecordingEngine *>(VelFontDatabase::findFont(def));
        return engine ? engine->tag : -1;
    }

    TestDatabase db;
};

} // namespace

TEST_F(FontMatching, PopulatesOnceOnFirstLookup)
{
    EXPECT_EQ(db.populateCalls, 0);
    EXPECT_EQ(tagFor("Vel Sans"), 0);
    EXPECT_EQ(tagFor("Pixel"), 4);
    EXPECT_EQ(VelFontDatabase::families().count(), 4);
    EXPECT_EQ(db.populateCalls, 1);
}

TEST_F(FontMatching, FamilyWeightAndStyle)
{
    EXPECT_EQ(tagFor("vel sans"), 0) << "family names match without regard to case";
    EXPECT_EQ(tagFor("Vel Sans", 75), 1);
    EXPECT_EQ(tagFor("Vel Sans", 87), 1) << "black falls to the nearest weight";
    EXPECT_EQ(tagFor("Vel Sans", 30), 3);
    EXPECT_EQ(tagFor("Vel Sans", 50, VelFontDef::StyleItalic), 2);
    EXPECT_EQ(tagFor("Vel Sans", 50, VelFontDef::StyleOblique), 2)
        << "italic stands in for oblique";
    EXPECT_EQ(tagFor("Vel Sans", 75, VelFontDef::StyleItalic), 2) << "style outranks weight";
}

TEST_F(FontMatching, BitmapFacesByNearestPixelSize)
{
    EXPECT_EQ(tagFor("Pixel", 50, 0, 11), 4);
    EXPECT_EQ(tagFor("Pixel", 50, 0, 14), 5);
    EXPECT_EQ(tagFor("Pixel", 50, 0, 40), 5);
    auto *engine = static_cast<RecordingEngine *>(VelFontDatabase::findFont([] {
        VelFontDef def;
        def.family = "Pixel";
        def.pixelSize = 14;
        return def;
    }()));
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->fontDef.pixelSize, 16) << "a bitmap face is used at its own size";
    // Scalable faces take the requested size; point sizes convert at 96 dpi.
    VelFontDef points;
    points.family = "Vel Sans";
    points.pointSize = 9;
    EXPECT_DOUBLE_EQ(VelFontDatabase::findFont(points)->fontDef.pixelSize, 12);
}

TEST_F(FontMatching, FallbacksThenAnyFamily)
{
    db.fallbacks = VelStringList() << "Nope"
                                   << "Backup";
    EXPECT_EQ(tagFor("Unknown Family"), 6);
    db.fallbacks.clear();
    VelFontDatabase::clearEngineCache();
    EXPECT_EQ(tagFor("Another Unknown"), 0) << "then any registered family, first registered first";
    // A face whose engine cannot be made is skipped for the next candidate.
    db.failingTags = {0, 1, 2, 3};
    VelFontDatabase::clearEngineCache();
    EXPECT_EQ(tagFor("Vel Sans"), 4);
    VelFontDef withList;
    withList.family = "Missing, Backup";
    withList.pixelSize = 12;
    EXPECT_EQ(static_cast<RecordingEngine *>(VelFontDatabase::findFont(withList))->tag, 6);
}

TEST_F(FontMatching, EnginesAreSharedAndOwnedByTheCache)
{
    VelFontDef def;
    def.family = "Vel Sans";
    def.pixelSize = 20;
    VelFontEngine *a = VelFontDatabase::findFont(def);
    VelFontEngine *b = VelFontDatabase::findFont(def);
    EXPECT_EQ(a, b);
    def.family = "VEL SANS"; // another request resolving to the same face and size
    EXPECT_EQ(VelFontDatabase::findFont(def), a);
    EXPECT_EQ(db.engineCalls, 1);
    def.pixelSize = 21;
    EXPECT_NE(VelFontDatabase::findFont(def), a);
    EXPECT_EQ(VelFontDatabase::cachedEngineCount(), 2);
}

TEST_F(FontMatching, HandlesGoBackToTheDatabaseExactlyOnce)
{
    ASSERT_NE(tagFor("Vel Sans"), -1);
    EXPECT_TRUE(db.released.empty());
    VelFontDatabase::setPlatformFontDatabase(nullptr);
    EXPECT_EQ(db.released.size(), db.specs.size());
    for (int i = 0; i < int(db.specs.size()); ++i)
        EXPECT_EQ(db.released.count(i), 1u);
    EXPECT_EQ(VelFontDatabase::findFont(VelFontDef()), nullptr) << "no database, no engines";
}

TEST_F(FontMatching, ApplicationFontsByIdAndIndex)
{
    const VelByteArray data("fake font bytes");
    db.applicationFontFamilies[data] = "App Family";
    const int id = VelFontDatabase::addApplicationFontFromData(data);
    ASSERT_GE(id, 0);
    EXPECT_EQ(vel_fontdata_from_index(id), data);
    EXPECT_EQ(VelFontDatabase::applicationFontFamilies(id), VelStringList("App Family"));
    EXPECT_EQ(tagFor("App Family"), 1000);
    EXPECT_EQ(VelFontDatabase::addApplicationFontFromData(VelByteArray("unknown")), -1);
    EXPECT_TRUE(VelFontDatabase::removeApplicationFont(id));
    EXPECT_EQ(db.released.count(1000), 1u);
    EXPECT_TRUE(VelFontDatabase::applicationFontFamilies(id).isEmpty());
    EXPECT_FALSE(VelFontDatabase::hasFamily("App Family"));
    EXPECT_FALSE(VelFontDatabase::removeApplicationFont(id));
    EXPECT_TRUE(vel_fontdata_from_index(-1).isEmpty());
}

TEST(PlatformFontDatabaseDefaults, HostDefaults)
{
    VelPlatformFontDatabase db;
    EXPECT_EQ(db.fontEngine(VelFontDef(), 0, nullptr), nullptr);
    EXPECT_TRUE(
        db.fallbacksForFamily("x", VelFontDef::StyleNormal, VelFontDef::Monospace, 0).isEmpty());
    EXPECT_EQ(db.resolveFontFamilyAlias("Arial"), VelString("Arial"));
    EXPECT_FALSE(db.fontsAlwaysScalable());
    EXPECT_FALSE(db.standardSizes().empty());
    EXPECT_FALSE(db.defaultFont().family().isEmpty());
    RecordingEngine engine(VelFontDef(), 0);
    EXPECT_EQ(db.fontEngineMulti(&engine, 0), &engine);
}
