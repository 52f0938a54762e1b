#include "velsupportedwritingsystems.h"

#include <gtest/gtest.h>

using namespace VelWritingSystem;

TEST(WritingSystems, SetSupportedAndAssign)
{
    VelSupportedWritingSystems ws;
    EXPECT_TRUE(ws.isEmpty());
    ws.setSupported(Symbol);
    ws.setSupported(Latin);
    ws.setSupported(Latin, false);
    ws.setSupported(WritingSystemsCount); // out of range: ignored
    ws.setSupported(-1);
    EXPECT_TRUE(ws.supported(Symbol));
    EXPECT_EQ(int(Symbol), 30);
    EXPECT_FALSE(ws.supported(Latin));
    EXPECT_EQ(ws.count(), 1);
    VelSupportedWritingSystems copy;
    copy = ws;
    EXPECT_EQ(copy, ws);
    copy.setSupported(Greek);
    EXPECT_NE(copy, ws);
}

TEST(WritingSystems, FromUnicodeRangeBits)
{
    // Basic Latin (0), Greek (7), Cyrillic (9), Arabic (13), Devanagari (15),
    // Thai (24), Syriac (71), Khmer (80).
    const veluint32 unicode[4] = {(1u << 0) | (1u << 7) | (1u << 9) | (1u << 13) | (1u << 15) |
                                      (1u << 24),
                                  0, 1u << (71 - 64) | 1u << (80 - 64), 0};
    const veluint32 codePages[2] = {0, 0};
    const VelSupportedWritingSystems ws = writingSystemsFromTrueTypeBits(unicode, codePages);
    for (int w : {Latin, Greek, Cyrillic, Arabic, Devanagari, Thai, Syriac, Khmer})
        EXPECT_TRUE(ws.supported(w)) << w;
    for (int w : {Hebrew, Armenian, Japanese, Korean, Symbol, Vietnamese, SimplifiedChinese})
        EXPECT_FALSE(ws.supported(w)) << w;
}

TEST(WritingSystems, FromCodePagesAndCjkRanges)
{
    const veluint32 none[4] = {0, 0, 0, 0};
    // Latin-1 (0), Vietnamese (8), Japanese (17), Simplified Chinese (18), Symbol (31).
    const veluint32 codePages[2] = {(1u << 8) | (1u << 17) | (1u << 18) | (1u << 31), 0};
    const VelSupportedWritingSystems ws = writingSystemsFromTrueTypeBits(none, codePages);
    EXPECT_TRUE(ws.supported(Vietnamese));
    EXPECT_TRUE(ws.supported(Japanese));
    EXPECT_TRUE(ws.supported(SimplifiedChinese));
    EXPECT_FALSE(ws.supported(TraditionalChinese));
    EXPECT_TRUE(ws.supported(Symbol));
    EXPECT_FALSE(ws.supported(Latin)) << "Latin comes from the Unicode ranges";

    // Without CJK code pages, kana and Hangul ranges still tell.
    const veluint32 kanaAndHangul[4] = {0, (1u << (49 - 32)) | (1u << (56 - 32)), 0, 0};
    const veluint32 noPages[2] = {0, 0};
    const VelSupportedWritingSystems cjk = writingSystemsFromTrueTypeBits(kanaAndHangul, noPages);
    EXPECT_TRUE(cjk.supported(Japanese));
    EXPECT_TRUE(cjk.supported(Korean));
    EXPECT_FALSE(cjk.supported(SimplifiedChinese));
    // Ideographs alone mean Chinese.
    const veluint32 ideographs[4] = {0, 1u << (59 - 32), 0, 0};
    const VelSupportedWritingSystems han = writingSystemsFromTrueTypeBits(ideographs, noPages);
    EXPECT_TRUE(han.supported(SimplifiedChinese));
    EXPECT_TRUE(han.supported(TraditionalChinese));
    EXPECT_FALSE(han.supported(Japanese));
    // Latin-1 Supplement alone counts as Latin.
    const veluint32 latin1[4] = {1u << 1, 0, 0, 0};
    EXPECT_TRUE(writingSystemsFromTrueTypeBits(latin1, noPages).supported(Latin));
}
