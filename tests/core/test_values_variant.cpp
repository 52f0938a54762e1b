#include "velurl.h"
#include "veluuid.h"
#include "velvariant.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include <limits>
#include <ostream>

void PrintTo(const VelString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// A record registered at run time, shaped like a device event: copyable,
// comparable, and counting its live instances.
struct SpiDeviceRecord {
    // Counted from several threads at once in the threaded test.
    static std::atomic<int> alive;
    SpiDeviceRecord() { ++alive; }
    SpiDeviceRecord(int t, const VelString &n) : type(t), name(n) { ++alive; }
    SpiDeviceRecord(const SpiDeviceRecord &o) : type(o.type), name(o.name) { ++alive; }
    SpiDeviceRecord &operator=(const SpiDeviceRecord &) = default;
    ~SpiDeviceRecord() { --alive; }
    bool operator==(const SpiDeviceRecord &o) const { return type == o.type && name == o.name; }
    int type = 0;
    VelString name;
};
std::atomic<int> SpiDeviceRecord::alive{0};
VEL_DECLARE_METATYPE(SpiDeviceRecord)

// A registered type without operator==.
struct Opaque {
    int v = 0;
};
VEL_DECLARE_METATYPE(Opaque)

namespace
{

TEST(VelVariantTest, DefaultIsInvalidAndTypesAreTheRegistrys)
{
    const VelVariant v;
    EXPECT_FALSE(v.isValid());
    EXPECT_TRUE(v.isNull());
    EXPECT_EQ(v.type(), VelVariant::Invalid);
    EXPECT_EQ(v.typeName(), nullptr);
    EXPECT_EQ(v.toInt(), 0);
    EXPECT_TRUE(v.toString().isEmpty());

    EXPECT_EQ(VelVariant(5).type(), VelMetaType::Int);
    EXPECT_EQ(VelVariant(5u).type(), VelMetaType::UInt);
    EXPECT_EQ(VelVariant(5LL).type(), VelMetaType::LongLong);
    EXPECT_EQ(VelVariant(velint64(5)).type(), VelMetaType::LongLong); // long is 64-bit here
    EXPECT_EQ(VelVariant::fromValue(velint64(5)).type(), VelMetaType::LongLong);
    EXPECT_EQ(VelVariant(5ULL).type(), VelMetaType::ULongLong);
    EXPECT_EQ(VelVariant(2.5).type(), VelMetaType::Double);
    EXPECT_EQ(VelVariant(true).type(), VelMetaType::Bool);
    EXPECT_EQ(VelVariant("text").type(), VelMetaType::VelStringType);
    EXPECT_EQ(VelVariant(VelChar(u'x')).type(), VelMetaType::VelCharType);
    EXPECT_STREQ(VelVariant(VelStringList()).typeName(), "VelStringList");
    EXPECT_EQ(VelVariant(VelDate(2024, 1, 1)).userType(), velMetaTypeId<VelDate>());
    EXPECT_GE(velMetaTypeId<VelDate>(), int(VelMetaType::User));
}

TEST(VelVariantTest, NumericConversionsAreRangeChecked)
{
    bool ok = true;
    EXPECT_EQ(VelVariant("42").toInt(&ok), 42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelVariant(" 42 ").toInt(&ok), 42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelVariant("12abc").toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant("").toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant(-1).toUInt(&ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant(3000000000u).toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant(std::numeric_limits<unsigned long long>::max()).toLongLong(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant(std::numeric_limits<unsigned long long>::max()).toULongLong(&ok),
              std::numeric_limits<unsigned long long>::max());
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelVariant("18446744073709551615").toULongLong(&ok),
              std::numeric_limits<unsigned long long>::max());
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelVariant(2.5).toInt(), 3);
    EXPECT_EQ(VelVariant(-2.5).toInt(), -3);
    EXPECT_EQ(VelVariant(1e20).toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant(std::numeric_limits<double>::quiet_NaN()).toLongLong(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(VelVariant("1.5").toDouble(&ok), 1.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelVariant("1.5").toInt(&ok), 0); // not an integer text
    EXPECT_FALSE(ok);
    EXPECT_EQ(VelVariant(true).toInt(), 1);
    EXPECT_EQ(VelVariant(VelChar(u'A')).toInt(), 65);
    EXPECT_EQ(VelVariant(65).toChar(), VelChar(u'A'));
    EXPECT_EQ(VelVariant(VelStringList()).toInt(&ok), 0);
    EXPECT_FALSE(ok);
}

TEST(VelVariantTest, TextForms)
{
    EXPECT_EQ(VelVariant(0.1).toString(), VelString("0.1")); // shortest round-trip text
    EXPECT_EQ(VelVariant(-7LL).toString(), VelString("-7"));
    EXPECT_EQ(VelVariant(true).toString(), VelString("true"));
    EXPECT_EQ(VelVariant(VelByteArray("\xc3\xa4")).toString(), VelString(u"\u00e4"));
    EXPECT_EQ(VelVariant(VelString(u"\u00e4")).toByteArray(), VelByteArray("\xc3\xa4"));
    EXPECT_EQ(VelVariant(12).toByteArray(), VelByteArray("12"));

    EXPECT_FALSE(VelVariant("").toBool());
    EXPECT_FALSE(VelVariant("0").toBool());
    EXPECT_FALSE(VelVariant("False").toBool());
    EXPECT_TRUE(VelVariant("yes").toBool());
    EXPECT_FALSE(VelVariant(0.0).toBool());

    // String lists: a string converts to a list of one; a list of one to its string.
    EXPECT_TRUE(VelVariant("a").canConvert<VelStringList>());
    EXPECT_EQ(VelVariant("a").toStringList(), VelStringList{VelString("a")});
    EXPECT_FALSE(VelVariant(5).canConvert<VelStringList>());
    EXPECT_TRUE(VelVariant(5).toStringList().isEmpty());
    EXPECT_EQ(VelVariant(VelStringList{VelString("x")}).toString(), VelString("x"));
    EXPECT_TRUE(VelVariant(VelStringList{VelString("x"), VelString("y")}).toString().isEmpty());
    EXPECT_FALSE(VelVariant(true).canConvert(VelMetaType::VelStringListType));
    EXPECT_FALSE(VelVariant().canConvert<int>());
}

TEST(VelVariantTest, StringReferencesDatesAndGeometry)
{
    const VelVariant ref = VelVariant::fromValue(VelStringRef(VelString("hello world"), 6, 5));
    EXPECT_EQ(ref.type(), velMetaTypeId<VelStringRef>());
    EXPECT_EQ(ref.toString(), VelString("world"));
    EXPECT_EQ(ref.value<VelStringRef>().position(), 6);
    // Clipped, never reading past the string.
    EXPECT_EQ(VelStringRef(VelString("abc"), 2, 10).toString(), VelString("c"));

    const VelVariant date(VelDate(2024, 2, 29));
    EXPECT_EQ(date.toString(), VelString("2024-02-29"));
    EXPECT_EQ(VelVariant("2024-02-29").toDate(), VelDate(2024, 2, 29));
    EXPECT_FALSE(VelVariant("2023-02-29").toDate().isValid());
    EXPECT_TRUE(VelVariant(VelDate()).isNull());
    const VelDateTime dt(VelDate(2024, 2, 29), VelTime(13, 14, 15), Vel::UTC);
    EXPECT_EQ(VelVariant(dt).toDate(), VelDate(2024, 2, 29));
    EXPECT_EQ(VelVariant(dt).toTime(), VelTime(13, 14, 15));
    EXPECT_EQ(VelVariant(dt).toString(), VelString("2024-02-29T13:14:15Z"));

    EXPECT_EQ(VelVariant(VelRectF(0.6, 1.4, 2.5, 3.0)).toRect(), VelRect(1, 1, 3, 3));
    EXPECT_EQ(VelVariant(VelRect(1, 2, 3, 4)).toRectF(), VelRectF(1, 2, 3, 4));
    EXPECT_EQ(VelVariant(VelPointF(1.5, -1.5)).toPoint(), VelPoint(2, -2));
    EXPECT_EQ(VelVariant(VelSize(3, 4)).toSizeF(), VelSizeF(3, 4));
    EXPECT_TRUE(VelVariant(VelRect(1, 2, 3, 4)).toPoint().isNull()); // no such conversion
    EXPECT_EQ(VelVariant(VelLocale("de_CH")).toLocale().name(), VelString("de_CH"));
}

TEST(VelVariantTest, CustomTypesAreCopiedAndDestroyedThroughTheRegistry)
{
    SpiDeviceRecord::alive = 0;
    {
        VelVariant a = VelVariant::fromValue(SpiDeviceRecord(3, VelString("kbd")));
        EXPECT_EQ(SpiDeviceRecord::alive.load(),
                  1); // the temporary is gone, the variant's copy lives
        EXPECT_EQ(a.userType(), velMetaTypeId<SpiDeviceRecord>());
        EXPECT_STREQ(a.typeName(), "SpiDeviceRecord");
        VelVariant b = a;
        EXPECT_EQ(SpiDeviceRecord::alive.load(), 2);
        EXPECT_EQ(a, b);
        EXPECT_EQ(b.value<SpiDeviceRecord>().name, VelString("kbd"));
        b.setValue(SpiDeviceRecord(4, VelString("ptr")));
        EXPECT_NE(a, b);
        EXPECT_EQ(SpiDeviceRecord::alive.load(), 2);
        VelVariant moved = std::move(a);
        EXPECT_FALSE(a.isValid());
        EXPECT_EQ(SpiDeviceRecord::alive.load(), 2);
        EXPECT_FALSE(moved.canConvert<int>());
        EXPECT_EQ(moved.toInt(), 0);
        EXPECT_EQ(VelVariant(5).value<SpiDeviceRecord>().type, 0); // default on mismatch
        const VelVariant made(velMetaTypeId<SpiDeviceRecord>(), nullptr);
        EXPECT_EQ(made.value<SpiDeviceRecord>().type, 0);
    }
    EXPECT_EQ(SpiDeviceRecord::alive.load(), 0);

    // Without operator== two separate values are never equal, a copy of a
    // variant is not the same object either.
    const VelVariant o1 = VelVariant::fromValue(Opaque{1});
    const VelVariant o2 = o1;
    EXPECT_NE(o1, o2);
    EXPECT_EQ(o1.value<Opaque>().v, 1);

    EXPECT_FALSE(VelVariant(987654, nullptr).isValid()); // unregistered id
}

TEST(VelVariantTest, ConvertInPlaceAndEquality)
{
    VelVariant v("17");
    EXPECT_TRUE(v.convert(VelMetaType::Int));
    EXPECT_EQ(v.type(), VelMetaType::Int);
    EXPECT_EQ(v.toInt(), 17);
    VelVariant bad("x");
    EXPECT_FALSE(bad.convert(VelMetaType::Int));
    EXPECT_EQ(bad.type(), VelMetaType::Int);
    EXPECT_EQ(bad.toInt(), 0);

    EXPECT_EQ(VelVariant(5), VelVariant(5LL));
    EXPECT_EQ(VelVariant(5), VelVariant(5.0));
    EXPECT_EQ(VelVariant(5), VelVariant("5"));
    EXPECT_NE(VelVariant(5), VelVariant(6u));
    EXPECT_NE(VelVariant(-1), VelVariant(std::numeric_limits<unsigned long long>::max()));
    EXPECT_EQ(VelVariant(VelRect(1, 2, 3, 4)), VelVariant(VelRect(1, 2, 3, 4)));
    EXPECT_NE(VelVariant(VelRect(1, 2, 3, 4)), VelVariant(VelRect(1, 2, 3, 5)));
    EXPECT_EQ(VelVariant(), VelVariant());
    EXPECT_NE(VelVariant(), VelVariant(0));
}

TEST(VelVariantTest, AssignmentAndNesting)
{
    VelVariant v(VelString("a"));
    const VelVariant &alias = v;
    v = alias; // self-assignment keeps the value
    EXPECT_EQ(v.toString(), VelString("a"));
    v = VelVariant(3);
    EXPECT_EQ(v.type(), VelMetaType::Int);
    v.clear();
    EXPECT_FALSE(v.isValid());

    const VelVariant inner(VelStringList{VelString("x"), VelString("y")});
    const VelVariant outer = VelVariant::fromValue(inner); // a variant is not wrapped twice
    EXPECT_EQ(outer.type(), VelMetaType::VelStringListType);
    EXPECT_EQ(outer.toStringList().size(), 2u);

    EXPECT_EQ(VelVariant(1.5f).type(), VelMetaType::Double);
    EXPECT_EQ(VelVariant(VelChar(u'\u00e4')).toString(), VelString(u"\u00e4"));
    EXPECT_EQ(VelVariant(VelString("x")).toChar(), VelChar()); // no text-to-character conversion
    EXPECT_EQ(VelVariant(70000).toChar(), VelChar());          // beyond one UTF-16 unit
    EXPECT_EQ(VelVariant(9007199254740993ULL), VelVariant(9007199254740993LL));
    EXPECT_NE(VelVariant(9007199254740993ULL), VelVariant(9007199254740992.0)); // compared exactly
}

TEST(VelVariantTest, CustomTypeFromManyThreads)
{
    // First use of a declared type may happen on several threads at once.
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&mismatches, t] {
            for (int i = 0; i < 200; ++i) {
                const VelVariant v = VelVariant::fromValue(SpiDeviceRecord(t, VelString("x")));
                const VelVariant copy = v;
                if (copy.value<SpiDeviceRecord>().type != t || copy != v)
                    ++mismatches;
            }
        });
    }
    for (std::thread &th : threads)
        th.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(SpiDeviceRecord::alive.load(), 0);
}

TEST(VelVariantTest, UrlsAndUuidsTravelAsText)
{
    const VelVariant url = VelVariant::fromValue(VelUrl("http://h/a%20b"));
    EXPECT_EQ(url.toString(), VelString("http://h/a b"));
    EXPECT_EQ(url, VelVariant::fromValue(VelUrl("http://h/a b")));
    EXPECT_EQ(VelVariant("mailto:x@y").value<VelUrl>().scheme(), VelString("mailto"));
    EXPECT_FALSE(VelVariant(5).canConvert<VelUrl>());

    const VelUuid id = VelUuid::createUuid();
    EXPECT_EQ(VelVariant::fromValue(id).toString(), id.toString());
    EXPECT_EQ(VelVariant(id.toString()).value<VelUuid>(), id);
    EXPECT_TRUE(VelVariant("not a uuid").value<VelUuid>().isNull());
}

} // namespace
