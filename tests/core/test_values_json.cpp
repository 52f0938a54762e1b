#include "veljsondocument.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

void PrintTo(const VelString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

void PrintTo(const VelByteArray &b, std::ostream *os)
{
    *os << '"' << b.toStdString() << '"';
}

namespace
{

TEST(VelJsonTest, ReadsObjectsArraysAndNumbers)
{
    VelJsonParseError error;
    const VelJsonDocument doc = VelJsonDocument::fromJson(
        R"({"name": "cursor", "hotspot": [[1, 2], [3.5, -4]], "scale": 2, "flags": {"on": true, "none": null}})",
        &error);
    ASSERT_EQ(error.error, VelJsonParseError::NoError);
    ASSERT_TRUE(doc.isObject());
    const VelJsonObject root = doc.object();
    EXPECT_EQ(root.value("name").toString(), VelString("cursor"));
    EXPECT_EQ(root.value("scale").type(), VelJsonValue::Double);
    EXPECT_EQ(root.value("scale").toDouble(), 2.0);
    EXPECT_EQ(root.value("scale").toInt(), 2);
    const VelJsonArray pairs = root.value("hotspot").toArray();
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs.at(1).toArray().at(0).toDouble(), 3.5);
    EXPECT_EQ(pairs.at(1).toArray().at(1).toInt(), -4);
    EXPECT_EQ(pairs[1][0].toInt(7), 7); // 3.5 is not a whole number
    EXPECT_TRUE(root["flags"]["on"].toBool());
    EXPECT_TRUE(root["flags"]["none"].isNull());
    EXPECT_TRUE(root["flags"]["missing"].isUndefined());
    EXPECT_TRUE(root.value("nope").isUndefined());
    EXPECT_TRUE(pairs.at(5).isUndefined());
    EXPECT_EQ(root.keys(), (VelStringList{VelString("flags"), VelString("hotspot"),
                                          VelString("name"), VelString("scale")}));
    EXPECT_TRUE(root.contains("flags"));
    // Wrong-type reads give the fallback, not garbage.
    EXPECT_EQ(root.value("name").toDouble(-1), -1.0);
    EXPECT_TRUE(root.value("scale").toString().isEmpty());
    EXPECT_TRUE(doc.array().isEmpty());
}

TEST(VelJsonTest, BrokenInputGivesANullDocumentAndAReason)
{
    struct Case {
        const char *text;
        VelJsonParseError::ParseError expected;
    };
    const Case cases[] = {
        {R"({"a": 1)", VelJsonParseError::UnterminatedObject},
        {R"([1, 2)", VelJsonParseError::UnterminatedArray},
        {R"({"a" 1})", VelJsonParseError::MissingNameSeparator},
        {R"({"a": 1} x)", VelJsonParseError::GarbageAtEnd},
        {R"({"a": tru})", VelJsonParseError::IllegalValue},
        {R"({"a": "x)", VelJsonParseError::UnterminatedString},
        {"42", VelJsonParseError::MissingObject},
        {"", VelJsonParseError::MissingObject},
        {R"({"a": 1 "b": 2})", VelJsonParseError::MissingValueSeparator},
        {R"([1.])", VelJsonParseError::IllegalNumber},
    };
    for (const Case &c : cases) {
        VelJsonParseError error;
        const VelJsonDocument doc = VelJsonDocument::fromJson(VelByteArray(c.text), &error);
        EXPECT_TRUE(doc.isNull()) << c.text;
        EXPECT_TRUE(doc.object().isEmpty()) << c.text;
        EXPECT_EQ(error.error, c.expected) << c.text << ": " << error.errorString().toStdString();
        EXPECT_FALSE(error.errorString().isEmpty());
    }
    // No error object: still no exception.
    EXPECT_TRUE(VelJsonDocument::fromJson("{").isNull());
    // Invalid UTF-8 inside a string is refused.
    VelJsonParseError error;
    EXPECT_TRUE(VelJsonDocument::fromJson("[\"\xff\"]", &error).isNull());
    EXPECT_NE(error.error, VelJsonParseError::NoError);
}

TEST(VelJsonTest, DeepNestingIsRefusedBeforeRecursing)
{
    const std::string deep(100000, '[');
    VelJsonParseError error;
    EXPECT_TRUE(VelJsonDocument::fromJson(VelByteArray(deep), &error).isNull());
    EXPECT_EQ(error.error, VelJsonParseError::DeepNesting);
    // Brackets inside strings do not count.
    const std::string quoted = "[\"" + std::string(1000, '[') + "\"]";
    EXPECT_TRUE(VelJsonDocument::fromJson(VelByteArray(quoted), &error).isArray());
    const std::string fine = std::string(500, '[') + std::string(500, ']');
    EXPECT_TRUE(VelJsonDocument::fromJson(VelByteArray(fine), &error).isArray());
}

TEST(VelJsonTest, WritesAndReadsBack)
{
    VelJsonObject inner{{VelString("x"), VelJsonValue(1)}, {VelString("y"), VelJsonValue(0.25)}};
    VelJsonArray list;
    list << VelJsonValue(true) << VelJsonValue() << VelJsonValue(VelString(u"\u00e4\"\n")) << inner;
    VelJsonObject root;
    root.insert("list", list);
    root.insert("n", -3);
    VelJsonDocument doc(root);
    EXPECT_EQ(
        doc.toJson(VelJsonDocument::Compact),
        VelByteArray("{\"list\":[true,null,\"\xc3\xa4\\\"\\n\",{\"x\":1,\"y\":0.25}],\"n\":-3}"));
    const VelJsonDocument back = VelJsonDocument::fromJson(doc.toJson(VelJsonDocument::Indented));
    EXPECT_EQ(back, doc);
    EXPECT_TRUE(doc.toJson(VelJsonDocument::Indented).contains("\n    \"list\""));

    // Values are copies: editing what toObject() returned leaves the document alone.
    VelJsonObject copy = doc.object();
    copy.insert("n", 4);
    EXPECT_EQ(doc.object().value("n").toInt(), -3);
    EXPECT_EQ(copy.take("n").toInt(), 4);
    EXPECT_FALSE(copy.contains("n"));
    EXPECT_TRUE(VelJsonDocument().toJson().isEmpty());
}

TEST(VelJsonTest, EscapesSurrogatesAndNumbers)
{
    const VelJsonDocument doc = VelJsonDocument::fromJson(
        R"(["\u00e4", "\ud83d\ude00", "tab\there", 1e300, -0, 12345678901234567890, {"k": 1, "k": 2}])");
    ASSERT_TRUE(doc.isArray());
    const VelJsonArray a = doc.array();
    EXPECT_EQ(a.at(0).toString(), VelString(u"\u00e4"));
    const VelString emoji = a.at(1).toString();
    ASSERT_EQ(emoji.length(), 2); // one code point, two UTF-16 units
    EXPECT_TRUE(emoji.at(0).isHighSurrogate());
    EXPECT_EQ(a.at(2).toString(), VelString("tab\there"));
    EXPECT_EQ(a.at(3).toDouble(), 1e300);
    EXPECT_EQ(a.at(3).toInt(-1), -1); // far outside int
    EXPECT_EQ(a.at(4).toInt(7), 0);
    EXPECT_EQ(a.at(5).toDouble(), 12345678901234567890.0);
    EXPECT_EQ(a.at(5).toLongLong(-1), -1);   // does not fit 64 bits signed
    EXPECT_EQ(a.at(6).toObject().size(), 1); // a repeated key keeps one member
    // Lone surrogates are not valid JSON text.
    VelJsonParseError error;
    EXPECT_TRUE(VelJsonDocument::fromJson(R"(["\ud83d"])", &error).isNull());
    EXPECT_EQ(error.error, VelJsonParseError::IllegalEscapeSequence);
}

} // namespace
