#include "veldatetime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <ostream>

void PrintTo(const VelString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace
{

TEST(VelDateTest, CalendarArithmetic)
{
    EXPECT_TRUE(VelDate(2024, 2, 29).isValid());
    EXPECT_FALSE(VelDate(2023, 2, 29).isValid());
    EXPECT_FALSE(VelDate(1900, 2, 29).isValid()); // century, not a leap year
    EXPECT_TRUE(VelDate(2000, 2, 29).isValid());
    EXPECT_FALSE(VelDate(2024, 13, 1).isValid());
    EXPECT_FALSE(VelDate(0, 1, 1).isValid()); // there is no year 0
    EXPECT_FALSE(VelDate().isValid());

    EXPECT_EQ(VelDate(2024, 3, 9).dayOfWeek(), 6); // Saturday
    EXPECT_EQ(VelDate(1970, 1, 1).dayOfWeek(), 4); // Thursday
    EXPECT_EQ(VelDate(2024, 12, 31).dayOfYear(), 366);
    EXPECT_EQ(VelDate(2023, 12, 31).addDays(1), VelDate(2024, 1, 1));
    EXPECT_EQ(VelDate(2024, 3, 1).addDays(-1), VelDate(2024, 2, 29));
    EXPECT_EQ(VelDate(-1, 12, 31).addDays(1), VelDate(1, 1, 1));
    EXPECT_EQ(VelDate(2024, 1, 31).addMonths(1), VelDate(2024, 2, 29)); // clamped
    EXPECT_EQ(VelDate(2024, 2, 29).addYears(1), VelDate(2025, 2, 28));
    EXPECT_EQ(VelDate(2024, 1, 15).addMonths(-13), VelDate(2022, 12, 15));
    EXPECT_EQ(VelDate(2024, 1, 1).daysTo(VelDate(2025, 1, 1)), 366);
    EXPECT_EQ(VelDate::fromJulianDay(2451545), VelDate(2000, 1, 1));

    EXPECT_EQ(VelDate(2024, 3, 9).toString(Vel::ISODate), VelString("2024-03-09"));
    EXPECT_EQ(VelDate(2024, 3, 9).toString(Vel::TextDate), VelString("Sat Mar 9 2024"));
    EXPECT_EQ(VelDate(2024, 3, 9).toString(VelString("dd/MM/yyyy")), VelString("09/03/2024"));
    EXPECT_EQ(VelDate::fromString(VelString("2024-03-09")), VelDate(2024, 3, 9));
    EXPECT_FALSE(VelDate::fromString(VelString("2024-3-9")).isValid());
}

TEST(VelTimeTest, WrapsAndParses)
{
    EXPECT_FALSE(VelTime().isValid());
    EXPECT_FALSE(VelTime(24, 0).isValid());
    EXPECT_EQ(VelTime(23, 59, 59).addSecs(2), VelTime(0, 0, 1));
    EXPECT_EQ(VelTime(0, 0).addMSecs(-1), VelTime(23, 59, 59, 999));
    EXPECT_EQ(VelTime(10, 0).secsTo(VelTime(9, 0)), -3600);
    EXPECT_EQ(VelTime::fromString(VelString("23:59:59.999")), VelTime(23, 59, 59, 999));
    EXPECT_EQ(VelTime::fromString(VelString("07:05")), VelTime(7, 5));
    EXPECT_FALSE(VelTime::fromString(VelString("7:5")).isValid());
    EXPECT_FALSE(VelTime::fromString(VelString("25:00")).isValid());
    EXPECT_FALSE(VelTime::fromString(VelString("12:00x")).isValid());
    EXPECT_EQ(VelTime(7, 5, 3, 9).toString(Vel::ISODateWithMs), VelString("07:05:03.009"));
}

class VelDateTimeTest : public ::testing::Test
{
protected:
    // A fixed zone (UTC+1, UTC+2 in summer) independent of the machine's.
    void SetUp() override
    {
        const char *tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (tz)
            m_oldTz = tz;
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (m_hadTz)
            ::setenv("TZ", m_oldTz.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_hadTz = false;
    std::string m_oldTz;
};

TEST_F(VelDateTimeTest, EpochAndZones)
{
    const VelDateTime epoch = VelDateTime::fromMSecsSinceEpoch(0, Vel::UTC);
    EXPECT_EQ(epoch.date(), VelDate(1970, 1, 1));
    EXPECT_EQ(epoch.time(), VelTime(0, 0));
    const VelDateTime before = VelDateTime::fromMSecsSinceEpoch(-1, Vel::UTC);
    EXPECT_EQ(before.date(), VelDate(1969, 12, 31));
    EXPECT_EQ(before.time(), VelTime(23, 59, 59, 999));

    const VelDateTime summer(VelDate(2024, 7, 1), VelTime(12, 0), Vel::LocalTime);
    EXPECT_EQ(summer.offsetFromUtc(), 7200);
    EXPECT_EQ(summer.toUTC().hour(), 10);
    EXPECT_EQ(summer, summer.toUTC()); // same instant
    EXPECT_EQ(summer.toMSecsSinceEpoch(),
              VelDateTime(VelDate(2024, 7, 1), VelTime(10, 0), Vel::UTC).toMSecsSinceEpoch());
    const VelDateTime winter(VelDate(2024, 1, 1), VelTime(12, 0), Vel::LocalTime);
    EXPECT_EQ(winter.offsetFromUtc(), 3600);
    // One second before the epoch in local time is a valid instant (mktime's -1).
    EXPECT_EQ(VelDateTime(VelDate(1970, 1, 1), VelTime(0, 59, 59)).toMSecsSinceEpoch(), -1000);

    // Adding a day across the spring change keeps the wall-clock time.
    const VelDateTime saturday(VelDate(2024, 3, 30), VelTime(12, 0));
    EXPECT_EQ(saturday.addDays(1).hour(), 12);
    EXPECT_EQ(saturday.secsTo(saturday.addDays(1)), 23 * 3600);

    EXPECT_FALSE(VelDateTime().isValid());
    EXPECT_FALSE(VelDateTime(VelDate(), VelTime(1, 0)).isValid());
    EXPECT_EQ(VelDateTime::fromString(VelString("2024-07-01T10:00:00Z")),
              VelDateTime(VelDate(2024, 7, 1), VelTime(10, 0), Vel::UTC));
    EXPECT_EQ(epoch.toString(Vel::ISODate), VelString("1970-01-01T00:00:00Z"));
    EXPECT_EQ(epoch.toString(Vel::TextDate), VelString("Thu Jan 1 00:00:00 1970"));
}

TEST_F(VelDateTimeTest, CurrentTimeIsNow)
{
    const velint64 before = VelDateTime::currentMSecsSinceEpoch();
    const VelDateTime now = VelDateTime::currentDateTime();
    const velint64 after = VelDateTime::currentMSecsSinceEpoch();
    ASSERT_TRUE(now.isValid());
    EXPECT_GE(now.toMSecsSinceEpoch(), before);
    EXPECT_LE(now.toMSecsSinceEpoch(), after);
    EXPECT_GT(before, velint64(1700000000000)); // after November 2023
    EXPECT_LE(std::abs(VelDate::currentDate().daysTo(now.date())), 1);
}

TEST(VelDateTest, JulianDaysRoundTripAcrossTheCalendar)
{
    // Every 97th day from 4713 BC to AD 9999: the y/m/d of a Julian day
    // builds that day again, and weekdays advance by one per day.
    const velint64 first = VelDate(-4713, 1, 1).toJulianDay();
    const velint64 last = VelDate(9999, 12, 31).toJulianDay();
    int previousWeekday = VelDate::fromJulianDay(first).dayOfWeek();
    for (velint64 jd = first + 97; jd <= last; jd += 97) {
        const VelDate d = VelDate::fromJulianDay(jd);
        ASSERT_TRUE(VelDate::isValid(d.year(), d.month(), d.day())) << jd;
        ASSERT_EQ(VelDate(d.year(), d.month(), d.day()).toJulianDay(), jd);
        ASSERT_EQ(d.dayOfWeek(), (previousWeekday - 1 + 97) % 7 + 1) << jd;
        previousWeekday = d.dayOfWeek();
    }
    EXPECT_EQ(VelDate(1582, 10, 15).addDays(-1), VelDate(1582, 10, 14)); // proleptic Gregorian
    EXPECT_TRUE(VelDate::isLeapYear(-1));                                // 1 BC
    EXPECT_FALSE(VelDate::isLeapYear(-2));
    EXPECT_EQ(VelDate(-1, 1, 1).toString(Vel::ISODate), VelString("-0001-01-01"));
}

} // namespace
