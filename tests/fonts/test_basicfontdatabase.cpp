#include "fonttestutil.h"
#include "velbasicfontdatabase.h"
#include "velenvironment.h"
#include "velfontdatabase.h"
#include "vellogging.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace
{

// Registers only what a test adds.
class ManualDatabase : public VelBasicFontDatabase
{
public:
    void populateFontDatabase() override {}
};

class BasicFontDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VelFontDatabase::setPlatformFontDatabase(&m_database);
        VelFontDatabase::clear();
    }
    void TearDown() override
    {
        VelFontDatabase::clear();
        VelFontDatabase::setPlatformFontDatabase(nullptr);
    }

    static std::vector<VelFontDatabase::Face> facesOf(const VelString &family)
    {
        std::vector<VelFontDatabase::Face> found;
        for (const VelFontDatabase::Face &face : VelFontDatabase::faces())
            if (face.family == family)
                found.push_back(face);
        return found;
    }

    ManualDatabase m_database;
};

TEST_F(BasicFontDatabaseTest, CollectionRegistersEveryFaceWithItsIndex)
{
    const std::string path = testFontPath("VelTestCollection.ttc");
    const VelStringList families =
        VelBasicFontDatabase::addTTFile(VelByteArray(), VelByteArray(path.c_str()));
    ASSERT_EQ(families.size(), 3u);
    for (const VelString &family : families)
        EXPECT_EQ(family, VelString("VelTestCollection"));
    const auto faces = facesOf(VelString("VelTestCollection"));
    ASSERT_EQ(faces.size(), 3u);
    const int expectedWeights[] = {VelFontDef::Normal, VelFontDef::DemiBold, VelFontDef::Black};
    for (int i = 0; i < 3; ++i) {
        const auto *handle = static_cast<const FontFileHandle *>(faces[size_t(i)].handle);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(handle->indexValue, i);
        EXPECT_EQ(handle->fileName, VelString::fromUtf8(path.c_str()));
        EXPECT_EQ(faces[size_t(i)].weight, expectedWeights[i]) << i;
        EXPECT_TRUE(faces[size_t(i)].scalable);
    }

    // The same from memory.
    const VelStringList fromMemory =
        m_database.addApplicationFont(readFontFile(path), VelString("in-memory.ttc"));
    EXPECT_EQ(fromMemory.size(), 3u);
}

TEST_F(BasicFontDatabaseTest, WeightFromWeightClassAndPanose)
{
    struct Case {
        const char *file;
        const char *family;
        int weight;
    } cases[] = {
        {"VelTestPanoseBold.ttf", "VelTestPanoseBold", VelFontDef::Bold}, // 400, PANOSE 8
        {"VelTestPanose-Heavy.ttf", "VelTestPanose", VelFontDef::Black},  // 0, PANOSE 9
        {"VelTestNoWeight.ttf", "VelTestNoWeight", VelFontDef::Normal},   // 0, PANOSE 1
        {"VelTestLight.ttf", "VelTestLight", VelFontDef::Light},          // 300
        {"VelTestSans-Bold.ttf", "VelTestSans", VelFontDef::Bold},        // 700
    };
    for (const Case &c : cases) {
        VelFontDatabase::clear();
        const VelStringList families = VelBasicFontDatabase::addTTFile(
            VelByteArray(), VelByteArray(testFontPath(c.file).c_str()));
        ASSERT_EQ(families.size(), 1u) << c.file;
        const auto faces = facesOf(VelString(c.family));
        ASSERT_EQ(faces.size(), 1u) << c.file;
        EXPECT_EQ(faces[0].weight, c.weight) << c.file;
    }
    VelFontDatabase::clear();
    VelBasicFontDatabase::addTTFile(VelByteArray(),
                                    VelByteArray(testFontPath("VelTestSans-Italic.ttf").c_str()));
    ASSERT_EQ(facesOf(VelString("VelTestSans")).size(), 1u);
    EXPECT_EQ(facesOf(VelString("VelTestSans"))[0].style, VelFontDef::StyleItalic);
}

TEST_F(BasicFontDatabaseTest, SymbolFontWithOs2TableGetsOnlyItsOs2WritingSystems)
{
    VelBasicFontDatabase::addTTFile(VelByteArray(),
                                    VelByteArray(testFontPath("VelTestSymbol.ttf").c_str()));
    const auto faces = facesOf(VelString("VelTestSymbol"));
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_FALSE(faces[0].writingSystems.supported(VelWritingSystem::Symbol));
    EXPECT_TRUE(faces[0].writingSystems.supported(VelWritingSystem::Latin));
}

TEST_F(BasicFontDatabaseTest, UnopenableFileRegistersNothing)
{
    EXPECT_TRUE(VelBasicFontDatabase::addTTFile(VelByteArray(), "/nonexistent.ttf").isEmpty());
    EXPECT_TRUE(VelBasicFontDatabase::addTTFile(VelByteArray("garbage"), "x.ttf").isEmpty());
    EXPECT_TRUE(VelFontDatabase::faces().empty());
}

TEST_F(BasicFontDatabaseTest, EnginesForRegisteredFacesAndTheirFailures)
{
    VelBasicFontDatabase::addTTFile(VelByteArray(),
                                    VelByteArray(testFontPath("VelTestCollection.ttc").c_str()));
    const auto faces = facesOf(VelString("VelTestCollection"));
    ASSERT_EQ(faces.size(), 3u);
    VelFontDef def = fontDefWithPixelSize(16);
    std::unique_ptr<VelFontEngine> engine(
        m_database.fontEngine(def, VelUnicodeScript::Common, faces[2].handle));
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->faceId().index, 2);
    EXPECT_EQ(engine->glyphFormat, VelFontEngine::Format_A8);

    def.styleStrategy |= VelFontDef::NoAntialias;
    std::unique_ptr<VelFontEngine> mono(
        m_database.fontEngine(def, VelUnicodeScript::Common, faces[0].handle));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->glyphFormat, VelFontEngine::Format_Mono);

    // A script that needs OpenType tables the font lacks.
    EXPECT_EQ(m_database.fontEngine(def, VelUnicodeScript::Devanagari, faces[0].handle), nullptr);
    FontFileHandle missing;
    missing.fileName = VelString("/nonexistent.ttf");
    EXPECT_EQ(m_database.fontEngine(def, VelUnicodeScript::Common, &missing), nullptr);
    m_database.releaseHandle(nullptr);
}

TEST_F(BasicFontDatabaseTest, MemoryEnginesNeverShareAFace)
{
    const VelByteArray bytes = readFontFile(testFontPath("VelTestSans-Italic.ttf"));
    std::unique_ptr<VelFontEngine> first(
        m_database.fontEngine(bytes, 14, VelFontDef::PreferFullHinting));
    std::unique_ptr<VelFontEngine> second(
        m_database.fontEngine(bytes, 14, VelFontDef::PreferDefaultHinting));
    ASSERT_TRUE(first && second);
    auto *a = static_cast<VelFontEngineFT *>(first.get());
    auto *b = static_cast<VelFontEngineFT *>(second.get());
    EXPECT_NE(a->sharedFace(), b->sharedFace());
    EXPECT_NE(a->faceId().uuid, b->faceId().uuid);
    EXPECT_FALSE(a->faceId().uuid.isEmpty());
    EXPECT_EQ(a->fontDef.family, VelString("VelTestSans"));
    EXPECT_EQ(a->fontDef.style, VelFontDef::StyleItalic);
    EXPECT_EQ(a->defaultHintStyle(), VelFontEngine::HintFull);
    EXPECT_EQ(b->defaultHintStyle(), VelFontEngine::HintNone);
    EXPECT_NE(dynamic_cast<VelFontEngineFTRawData *>(a), nullptr);
    EXPECT_EQ(m_database.fontEngine(VelByteArray("junk"), 14, VelFontDef::PreferDefaultHinting),
              nullptr);
}

TEST(BasicFontDatabasePopulate, RegistersTheFontDirectory)
{
    ASSERT_TRUE(velputenv("VEL_FONTDIR", VelByteArray(VEL_TEST_FONTS_DIR)));
    VelBasicFontDatabase database;
    VelFontDatabase::setPlatformFontDatabase(&database);
    int collectionFaces = 0;
    int sans = 0;
    for (const VelFontDatabase::Face &face : VelFontDatabase::faces()) {
        collectionFaces += face.family == VelString("VelTestCollection");
        sans += face.family == VelString("VelTestSans");
    }
    EXPECT_EQ(collectionFaces, 3);
    EXPECT_EQ(sans, 3);
    VelFontEngine *engine = VelFontDatabase::findFont(fontDefWithPixelSize(12));
    EXPECT_NE(engine, nullptr);
    VelFontDatabase::clear();
    VelFontDatabase::setPlatformFontDatabase(nullptr);
    velunsetenv("VEL_FONTDIR");
}

// ---- the naming table parser

std::string writeTemp(const VelByteArray &bytes)
{
    char name[] = "/tmp/velfontname-XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    if (fd >= 0) {
        EXPECT_EQ(write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        close(fd);
    }
    return name;
}

VelString nameOf(const VelByteArray &bytes)
{
    const std::string path = writeTemp(bytes);
    const VelString name =
        VelBasicFontDatabase::fontNameFromTTFile(VelString::fromUtf8(path.c_str()));
    std::remove(path.c_str());
    return name;
}

void put16(VelByteArray &b, int v)
{
    b.append(char((v >> 8) & 0xff));
    b.append(char(v & 0xff));
}

void put32(VelByteArray &b, veluint32 v)
{
    put16(b, int(v >> 16));
    put16(b, int(v & 0xffff));
}

struct NameRecord {
    int encoding;
    int nameId;
    int length;
    int offset;
};

// A file with only a naming table, at offset 28.
VelByteArray nameTableFont(const std::vector<NameRecord> &records, const VelByteArray &storage,
                           int tables = 1)
{
    VelByteArray b;
    put16(b, 1);
    put16(b, 0);
    put16(b, tables);
    put16(b, 0);
    put16(b, 0);
    put16(b, 0);
    b.append("name");
    put32(b, 0);
    put32(b, 28);
    put32(b, 0);
    put16(b, 0);
    put16(b, int(records.size()));
    put16(b, 6 + 12 * int(records.size()));
    for (const NameRecord &r : records) {
        put16(b, 3);
        put16(b, r.encoding);
        put16(b, 0x409);
        put16(b, r.nameId);
        put16(b, r.length);
        put16(b, r.offset);
    }
    b.append(storage);
    return b;
}

VelByteArray utf16be(const char *ascii)
{
    VelByteArray b;
    for (const char *p = ascii; *p; ++p)
        put16(b, uchar(*p));
    return b;
}

TEST(FontNameFromTTFile, WellFormedFiles)
{
    EXPECT_EQ(VelBasicFontDatabase::fontNameFromTTFile(
                  VelString::fromUtf8(testFontPath("VelTestSans-Regular.ttf").c_str())),
              VelString("VelTestSans"));
    EXPECT_EQ(VelBasicFontDatabase::fontNameFromTTFile(VelString::fromUtf8(dejaVuPath().c_str())),
              VelString("DejaVu Sans"));
    EXPECT_EQ(nameOf(nameTableFont({{1, 4, 6, 0}, {3, 1, 6, 6}}, utf16be("xyzABC"))),
              VelString("ABC"));
    EXPECT_EQ(nameOf(nameTableFont({{0, 1, 3, 0}}, VelByteArray("Lat"))), VelString("Lat"));
    EXPECT_TRUE(VelBasicFontDatabase::fontNameFromTTFile(VelString("/nonexistent.ttf")).isEmpty());
}

VelString lastWarning;
void captureWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type == VelWarningMsg)
        lastWarning = message;
}

TEST(FontNameFromTTFile, HostileOffsetsCountsAndLengths)
{
    // The first family record points past the end: skipped, the next is used.
    EXPECT_EQ(nameOf(nameTableFont({{1, 1, 200, 60000}, {1, 1, 4, 0}}, utf16be("OK"))),
              VelString("OK"));
    // A length past the end is a short read: no name rather than part of one.
    EXPECT_TRUE(nameOf(nameTableFont({{1, 1, 0xffff, 0}}, VelByteArray("\0A\0B\0", 5))).isEmpty());
    // An odd length drops the last byte.
    EXPECT_EQ(nameOf(nameTableFont({{1, 1, 5, 0}}, VelByteArray("\0A\0B\0", 5))), VelString("AB"));
    // More records or tables than the file holds.
    EXPECT_TRUE(nameOf(nameTableFont({{1, 4, 2, 0}}, VelByteArray("zz")).left(28 + 6)).isEmpty());
    VelByteArray manyTables = nameTableFont({}, VelByteArray(), 0xffff);
    manyTables = manyTables.left(12 + 16 * 3);
    for (int i = 0; i < 4; ++i)
        manyTables[12 + i] = "head"[i];
    EXPECT_TRUE(nameOf(manyTables).isEmpty());
    // Only version 1.0 files.
    VelByteArray otto = nameTableFont({{1, 1, 4, 0}}, utf16be("NO"));
    otto[0] = 'O';
    EXPECT_TRUE(nameOf(otto).isEmpty());
    // A naming table offset beyond the file.
    VelByteArray far = nameTableFont({{1, 1, 4, 0}}, utf16be("NO"));
    far[20] = char(0x7f);
    EXPECT_TRUE(nameOf(far).isEmpty());

    // An encoding that is neither UTF-16 nor Latin-1 ends the search with a warning.
    lastWarning = VelString();
    const VelMessageHandler previous = velInstallMessageHandler(captureWarnings);
    EXPECT_TRUE(nameOf(nameTableFont({{5, 1, 4, 0}, {1, 1, 4, 0}}, utf16be("NO"))).isEmpty());
    velInstallMessageHandler(previous);
    EXPECT_TRUE(lastWarning.startsWith(VelString("Could not retrieve Font name from file: /tmp/")))
        << lastWarning.toUtf8().constData();
}

TEST(FontNameFromTTFile, EveryTruncationOfARealFont)
{
    const VelByteArray whole = readFontFile(testFontPath("VelTestSans-Regular.ttf"));
    ASSERT_FALSE(whole.isEmpty());
    const std::string path = writeTemp(VelByteArray());
    int named = 0;
    for (int length = 0; length <= whole.size(); ++length) {
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(whole.constData(), length);
        }
        const VelString name =
            VelBasicFontDatabase::fontNameFromTTFile(VelString::fromUtf8(path.c_str()));
        EXPECT_TRUE(name.isEmpty() || name == VelString("VelTestSans")) << length;
        named += !name.isEmpty();
    }
    std::remove(path.c_str());
    EXPECT_GT(named, 0);
}

} // namespace
