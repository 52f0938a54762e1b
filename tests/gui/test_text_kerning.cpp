#include "test_text_freetypeengine.h"

#include "velunicodescript.h"

#include <hb.h>

#include <gtest/gtest.h>

namespace
{

constexpr uint kernTag = ('k' << 24) | ('e' << 16) | ('r' << 8) | 'n';

void put16(VelByteArray &b, int v)
{
    b += char((v >> 8) & 0xff);
    b += char(v & 0xff);
}

void put32(VelByteArray &b, veluint32 v)
{
    put16(b, int(v >> 16));
    put16(b, int(v & 0xffff));
}

struct Pair {
    uint left, right;
    int value;
};

VelByteArray format0Body(const std::vector<Pair> &pairs)
{
    VelByteArray b;
    put16(b, int(pairs.size()));
    put16(b, 0); // search fields: not relied upon
    put16(b, 0);
    put16(b, 0);
    for (const Pair &p : pairs) {
        put16(b, int(p.left));
        put16(b, int(p.right));
        put16(b, p.value);
    }
    return b;
}

VelByteArray windowsSubtable(int coverage, const std::vector<Pair> &pairs)
{
    const VelByteArray body = format0Body(pairs);
    VelByteArray b;
    put16(b, 0);
    put16(b, 6 + body.size());
    put16(b, coverage);
    return b + body;
}

std::vector<int> advancesFor(FreetypeTestEngine &engine, const char *text, int flags)
{
    const VelString s(text);
    VelGlyphLayout layout(s.length());
    int n = s.length();
    EXPECT_TRUE(engine.stringToCMap(s.constData(), s.length(), &layout, &n, flags));
    engine.doKerning(&layout, flags);
    std::vector<int> raw;
    for (int i = 0; i < n; ++i)
        raw.push_back(layout.advances_x[i].value());
    return raw;
}

} // namespace

TEST(Kerning, PairsFromWindowsTableAreScaledAndApplied)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 20);
    ASSERT_TRUE(engine.isValid());
    const uint A = engine.glyphFor('A'), V = engine.glyphFor('V'), T = engine.glyphFor('T');
    VelByteArray table;
    put16(table, 0); // version
    put16(table, 3); // three subtables
    table += windowsSubtable(0x0001, {{A, V, -120}, {V, A, -80}, {T, A, 64}});
    table += windowsSubtable(0x0000, {{A, A, -500}}); // vertical: ignored
    table += windowsSubtable(0x0003, {{V, V, -500}}); // minimum values: ignored
    engine.overriddenTables[kernTag] = table;

    const std::vector<int> plain = advancesFor(engine, "AVATAA", 0);
    const std::vector<int> designPlain = advancesFor(engine, "AV", VelFontEngine::DesignMetrics);
    engine.loadKerningPairs(VelFixed(100)); // 100 font units per pixel
    ASSERT_EQ(engine.kerningPairs().size(), 3u);
    const std::vector<int> kerned = advancesFor(engine, "AVATAA", 0);
    // -120/100 = -1.2 px rounds to -1; -0.8 rounds to -1; A-T has no pair; +0.64 rounds to +1.
    EXPECT_EQ(kerned[0], plain[0] - 64);
    EXPECT_EQ(kerned[1], plain[1] - 64);
    EXPECT_EQ(kerned[2], plain[2]);
    EXPECT_EQ(kerned[3], plain[3] + 64);
    EXPECT_EQ(kerned[4], plain[4]) << "vertical subtable ignored";
    EXPECT_EQ(kerned[5], plain[5]) << "last glyph has no right neighbour";

    const std::vector<int> design = advancesFor(engine, "AV", VelFontEngine::DesignMetrics);
    EXPECT_NEAR(design[0] - designPlain[0], -1.2 * 64, 1) << "design metrics keep the fraction";
}

TEST(Kerning, AppleTableAndMalformedTables)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 20);
    const uint A = engine.glyphFor('A'), V = engine.glyphFor('V');
    VelByteArray apple;
    put32(apple, 0x00010000);
    put32(apple, 2);
    const VelByteArray body = format0Body({{A, V, -300}});
    put32(apple, veluint32(8 + body.size()));
    put16(apple, 0x0000); // horizontal, format 0
    put16(apple, 0);
    apple += body;
    put32(apple, veluint32(8 + body.size()));
    put16(apple, 0x8000); // vertical
    put16(apple, 0);
    apple += body;
    engine.overriddenTables[kernTag] = apple;
    engine.loadKerningPairs(VelFixed(100));
    ASSERT_EQ(engine.kerningPairs().size(), 1u);
    EXPECT_EQ(engine.kerningPairs()[0].left_right, (A << 16) | V);
    EXPECT_EQ(engine.kerningPairs()[0].adjust, VelFixed(-3));

    // A pair count far beyond the table's end reads only the pairs present.
    VelByteArray truncated;
    put16(truncated, 0);
    put16(truncated, 1);
    put16(truncated, 0);
    put16(truncated, 6 + 8 + 6);
    put16(truncated, 0x0001);
    put16(truncated, 5000);
    put16(truncated, 0);
    put16(truncated, 0);
    put16(truncated, 0);
    put16(truncated, int(A));
    put16(truncated, int(V));
    put16(truncated, -64);
    engine.overriddenTables[kernTag] = truncated;
    engine.loadKerningPairs(VelFixed(64));
    EXPECT_EQ(engine.kerningPairs().size(), 1u);

    // Garbage and empty tables give no pairs; a zero scale is refused.
    engine.overriddenTables[kernTag] = VelByteArray("\x00\x00\xff\xff\x00", 5);
    engine.loadKerningPairs(VelFixed(64));
    EXPECT_TRUE(engine.kerningPairs().empty());
    engine.overriddenTables[kernTag] = apple;
    engine.loadKerningPairs(VelFixed());
    EXPECT_TRUE(engine.kerningPairs().empty());
}

TEST(Kerning, ShapingFaceOutlivesNothingItDependsOn)
{
    void *face = nullptr;
    {
        FreetypeTestEngine engine(dejaVuSansPath(), 12);
        face = engine.harfbuzzFace();
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(engine.harfbuzzFace(), face) << "built once";
        EXPECT_GT(hb_face_get_upem(static_cast<hb_face_t *>(face)), 0u);
        // Take the face over, as an owner shared between engines would.
        hb_face_reference(static_cast<hb_face_t *>(face));
    }
    // The engine is gone; the face still answers from its own copy of the tables.
    hb_blob_t *cmap =
        hb_face_reference_table(static_cast<hb_face_t *>(face), HB_TAG('c', 'm', 'a', 'p'));
    EXPECT_GT(hb_blob_get_length(cmap), 0u);
    hb_blob_destroy(cmap);
    hb_face_destroy(static_cast<hb_face_t *>(face));
}

TEST(Kerning, ScriptSupportAndPostscriptNames)
{
    FreetypeTestEngine engine(dejaVuSansPath(), 12);
    EXPECT_TRUE(engine.supportsScript(VelUnicodeScript::Latin));
    EXPECT_TRUE(engine.supportsScript(VelUnicodeScript::Common));
    // DejaVu Sans has no Devanagari shaping rules.
    EXPECT_FALSE(engine.supportsScript(VelUnicodeScript::Devanagari));
    EXPECT_EQ(VelFontEngine::convertToPostscriptFontFamilyName("Vel Sans (Web) [x]/{y}<z>%"),
              VelByteArray("VelSansWebxyz"));
    EXPECT_GT(engine.glyphCount(), 1000) << "read from the maxp table";
}
