#include "vellogging.h"
#include "velstring.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

TEST(VelStringTest, SurrogatePairsSurviveUtf8RoundTrip)
{
    // U+1F600 needs a surrogate pair; length counts UTF-16 units.
    const VelString s = VelString::fromUtf8("a\xF0\x9F\x98\x80z");
    ASSERT_EQ(s.length(), 4);
    EXPECT_TRUE(s.at(1).isHighSurrogate());
    EXPECT_TRUE(s.at(2).isLowSurrogate());
    EXPECT_EQ(VelChar::surrogateToUcs4(s.at(1).unicode(), s.at(2).unicode()), 0x1F600u);
    EXPECT_EQ(s.toUtf8(), VelByteArray("a\xF0\x9F\x98\x80z"));
    EXPECT_EQ(s.toUcs4(), (std::vector<uint>{'a', 0x1F600u, 'z'}));
}

TEST(VelStringTest, MalformedUtf8BecomesReplacementCharacters)
{
    // A truncated three-byte sequence and an overlong encoding of '/'.
    const VelString s = VelString::fromUtf8("x\xE2\x82"
                                            "y\xC0\xAF");
    ASSERT_GE(s.length(), 3);
    EXPECT_EQ(s.at(0), VelChar('x'));
    EXPECT_EQ(s.at(1).unicode(), 0xFFFD);
    EXPECT_FALSE(s.contains(VelString("/")));
    EXPECT_TRUE(s.contains(VelString("y")));
}

TEST(VelStringTest, LoneSurrogateHasNoUtf8FormButKeepsItsUnit)
{
    const char16_t units[] = {u'a', 0xD800, u'b'};
    const VelString s(units, 3);
    EXPECT_EQ(s.length(), 3);
    EXPECT_EQ(s.at(1).unicode(), 0xD800);
    EXPECT_EQ(s.toUtf8(), VelByteArray("a\xEF\xBF\xBD"
                                       "b"));
}

TEST(VelStringTest, Latin1StopsAtNulAndMapsHighBytes)
{
    const VelString s = VelString::fromLatin1("caf\xE9\0tail");
    EXPECT_EQ(s.length(), 4);
    EXPECT_EQ(s.at(3).unicode(), 0xE9);
    EXPECT_EQ(s.toUtf8(), VelByteArray("caf\xC3\xA9"));
    EXPECT_EQ(VelString::fromUtf8("\xE2\x82\xAC").toLatin1(), VelByteArray("?"));
    EXPECT_EQ(VelString::fromLocal8Bit(s.toLocal8Bit()), s);
}

TEST(VelStringTest, OneUnitStringMayHoldNul)
{
    const VelString s(VelChar(char16_t(0)));
    EXPECT_EQ(s.length(), 1);
    EXPECT_FALSE(s.isEmpty());
}

TEST(VelStringTest, SubstringsClipToTheString)
{
    const VelString s("assets:/dir/file.txt");
    EXPECT_EQ(s.right(3), VelString("txt"));
    EXPECT_EQ(s.right(100), s);
    EXPECT_EQ(s.mid(17, 100), VelString("txt"));
    EXPECT_EQ(s.mid(100), VelString());
    EXPECT_EQ(s.mid(-2, 4), VelString("as"));
    EXPECT_EQ(s.left(s.lastIndexOf(VelChar('/'))), VelString("assets:/dir"));
    EXPECT_TRUE(s.startsWith("assets:/"));
    EXPECT_FALSE(s.startsWith("ASSETS:/"));
    EXPECT_TRUE(s.startsWith("ASSETS:/", Vel::CaseInsensitive));
    EXPECT_TRUE(VelString("OpenSymbol").contains("symbol", Vel::CaseInsensitive));
}

TEST(VelStringTest, SplitKeepsEmptyPartsUnlessAsked)
{
    EXPECT_EQ(VelString("a;;b").split(VelChar(';')).size(), 3u);
    EXPECT_EQ(VelString("").split(VelChar(';')).size(), 1u);
    EXPECT_EQ(VelString("a;;b;").split(VelChar(';'), Vel::SkipEmptyParts).size(), 2u);
    EXPECT_EQ(VelString("x, y").split(", ").join("|"), VelString("x|y"));
}

TEST(VelStringTest, CaseMappingAndTrimming)
{
    EXPECT_EQ(VelString("Android").toLower(), VelString("android"));
    EXPECT_EQ(VelString::fromUtf8("stra\xC3\x9F"
                                  "e")
                  .toUpper(),
              VelString("STRASSE"));
    EXPECT_EQ(VelString(" \t x y \n").trimmed(), VelString("x y"));
    EXPECT_EQ(VelString("  a   b ").simplified(), VelString("a b"));
}

TEST(VelStringTest, CaseInsensitiveCompareStillOrders)
{
    EXPECT_EQ(VelString("esc").compare("ESC", Vel::CaseInsensitive), 0);
    EXPECT_GT(VelString("S").compare("Esc", Vel::CaseSensitive), 0);
    EXPECT_GT(VelString("S").compare("Esc", Vel::CaseInsensitive), 0);
    EXPECT_LT(VelString("alpha").compare("BETA", Vel::CaseInsensitive), 0);
    VelStringList families;
    families << "Roboto"
             << "DejaVu";
    EXPECT_TRUE(families.contains("dejavu", Vel::CaseInsensitive));
    EXPECT_FALSE(families.contains("Esc", Vel::CaseInsensitive));
}

TEST(VelStringTest, ArgReplacesLowestMarker)
{
    EXPECT_EQ(VelString("%2 before %1").arg("one"), VelString("%2 before one"));
    EXPECT_EQ(VelString("%1 of %2").arg(3).arg(4), VelString("3 of 4"));
}

TEST(VelByteArrayTest, SplitAtTabKeepsEmptiesAndStaysTerminated)
{
    const VelByteArray params("/data/libapp.so\t\t-style\tfusion");
    const VelByteArrayList parts = params.split('\t');
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_TRUE(parts[1].isEmpty());
    EXPECT_STREQ(parts[3].constData(), "fusion");
    const VelByteArray withNul("a\0b", 3);
    EXPECT_EQ(withNul.size(), 3);
    EXPECT_EQ(withNul.constData()[3], '\0');
}

TEST(VelByteArrayTest, IntegerParsingRejectsTrailingText)
{
    bool ok = true;
    EXPECT_EQ(VelByteArray("12abc").toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelByteArray(" 42 ").toInt(&ok), 42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelByteArray("99999999999").toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelByteArray("ff").toInt(&ok, 16), 255);
    EXPECT_EQ(VelByteArray("xdg").toUpper(), VelByteArray("XDG"));
}

std::vector<std::pair<VelMsgType, VelString>> g_captured;
void capture(VelMsgType type, const VelMessageLogContext &ctx, const VelString &msg)
{
    EXPECT_NE(ctx.file, nullptr);
    EXPECT_NE(ctx.function, nullptr);
    g_captured.emplace_back(type, msg);
}

TEST(VelLoggingTest, PrintfAndStreamForms)
{
    g_captured.clear();
    VelMessageHandler previous = velInstallMessageHandler(capture);
    velWarning("\t%s: %d\n", "EGL_RED_SIZE", 8);
    velDebug() << "Font" << VelString("Roboto") << VelByteArray("b") << 3 << Vel::hex << 255;
    velCritical() << "error" << Vel::hex << 0x1a;
    velInstallMessageHandler(previous);
    ASSERT_EQ(g_captured.size(), 3u);
    EXPECT_EQ(g_captured[0].first, VelWarningMsg);
    EXPECT_EQ(g_captured[0].second, VelString("\tEGL_RED_SIZE: 8\n"));
    EXPECT_EQ(g_captured[1].second, VelString("Font \"Roboto\" \"b\" 3 ff"));
    EXPECT_EQ(g_captured[2].first, VelCriticalMsg);
    EXPECT_EQ(g_captured[2].second, VelString("error 1a"));
}

TEST(VelLoggingDeathTest, FatalEndsTheProcessAfterTheMessage)
{
    EXPECT_DEATH(velFatal("Can't find %s", "/system/fonts"), "Fatal: Can't find /system/fonts");
}

} // namespace
