#include "veldate.h"

#include "vellocale.h"

#include <cstdio>
#include <ctime>

namespace
{

// Julian-day arithmetic after the algorithm in the Calendar FAQ (valid for
// every proleptic Gregorian date), with floor division so that negative
// years work.
velint64 floorDiv(velint64 a, velint64 b)
{
    return (a - (a < 0 ? b - 1 : 0)) / b;
}

velint64 julianDayFromDate(int year, int month, int day)
{
    const velint64 y = year < 0 ? year + 1 : year; // no year 0
    const velint64 a = floorDiv(14 - month, 12);
    const velint64 yy = y + 4800 - a;
    const velint64 m = month + 12 * a - 3;
    return day + floorDiv(153 * m + 2, 5) + 365 * yy + floorDiv(yy, 4) - floorDiv(yy, 100) +
           floorDiv(yy, 400) - 32045;
}

struct Ymd {
    int year;
    int month;
    int day;
};

Ymd dateFromJulianDay(velint64 jd)
{
    const velint64 a = jd + 32044;
    const velint64 b = floorDiv(4 * a + 3, 146097);
    const velint64 c = a - floorDiv(146097 * b, 4);
    const velint64 d = floorDiv(4 * c + 3, 1461);
    const velint64 e = c - floorDiv(1461 * d, 4);
    const velint64 m = floorDiv(5 * e + 2, 153);
    const int day = int(e - floorDiv(153 * m + 2, 5) + 1);
    const int month = int(m + 3 - 12 * floorDiv(m, 10));
    velint64 year = 100 * b + d - 4800 + floorDiv(m, 10);
    if (year <= 0)
        --year;
    return {int(year), month, day};
}

int monthLength(int year, int month)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && VelDate::isLeapYear(year))
        return 29;
    return lengths[month - 1];
}

const char *const kShortDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char *const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

} // namespace

VelDate::VelDate(int year, int month, int day)
{
    setDate(year, month, day);
}

VelDate VelDate::currentDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return VelDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

VelDate VelDate::fromJulianDay(velint64 jd)
{
    VelDate d;
    d.m_jd = jd;
    return d;
}

bool VelDate::isLeapYear(int year)
{
    const int y = year < 0 ? year + 1 : year; // 1 BC is a leap year
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool VelDate::isValid(int year, int month, int day)
{
    return year != 0 && month >= 1 && month <= 12 && day >= 1 && day <= monthLength(year, month);
}

VelDate VelDate::fromString(const VelString &text, Vel::DateFormat format)
{
    if (format != Vel::ISODate && format != Vel::ISODateWithMs)
        return VelDate();
    const VelByteArray latin = text.trimmed().toLatin1();
    if (latin.size() < 10 || latin.at(4) != '-' || latin.at(7) != '-')
        return VelDate();
    bool okY = false;
    bool okM = false;
    bool okD = false;
    const int y = latin.mid(0, 4).toInt(&okY);
    const int m = latin.mid(5, 2).toInt(&okM);
    const int d = latin.mid(8, 2).toInt(&okD);
    if (!okY || !okM || !okD)
        return VelDate();
    return VelDate(y, m, d);
}

bool VelDate::isValid() const
{
    return m_jd != kNullJd;
}

int VelDate::year() const
{
    return isValid() ? dateFromJulianDay(m_jd).year : 0;
}

int VelDate::month() const
{
    return isValid() ? dateFromJulianDay(m_jd).month : 0;
}

int VelDate::day() const
{
    return isValid() ? dateFromJulianDay(m_jd).day : 0;
}

int VelDate::dayOfWeek() const
{
    if (!isValid())
        return 0;
    // Julian day 0 was a Monday.
    return int(m_jd - 7 * floorDiv(m_jd, 7)) + 1;
}

int VelDate::dayOfYear() const
{
    if (!isValid())
        return 0;
    return int(m_jd - julianDayFromDate(year(), 1, 1)) + 1;
}

int VelDate::daysInMonth() const
{
    if (!isValid())
        return 0;
    const Ymd d = dateFromJulianDay(m_jd);
    return monthLength(d.year, d.month);
}

int VelDate::daysInYear() const
{
    if (!isValid())
        return 0;
    return isLeapYear(year()) ? 366 : 365;
}

void VelDate::getDate(int *year, int *month, int *day) const
{
    const Ymd d = isValid() ? dateFromJulianDay(m_jd) : Ymd{0, 0, 0};
    if (year)
        *year = d.year;
    if (month)
        *month = d.month;
    if (day)
        *day = d.day;
}

bool VelDate::setDate(int year, int month, int day)
{
    if (!isValid(year, month, day)) {
        m_jd = kNullJd;
        return false;
    }
    m_jd = julianDayFromDate(year, month, day);
    return true;
}

VelDate VelDate::addDays(velint64 days) const
{
    if (!isValid())
        return VelDate();
    return fromJulianDay(m_jd + days);
}

VelDate VelDate::addMonths(int months) const
{
    if (!isValid())
        return VelDate();
    const Ymd d = dateFromJulianDay(m_jd);
    // Count months from year 1 without a year 0.
    velint64 y = d.year < 0 ? d.year + 1 : d.year;
    velint64 total = y * 12 + (d.month - 1) + months;
    velint64 ny = floorDiv(total, 12);
    const int nm = int(total - ny * 12) + 1;
    if (ny <= 0)
        --ny;
    const int year = int(ny);
    const int day = d.day > monthLength(year, nm) ? monthLength(year, nm) : d.day;
    return VelDate(year, nm, day);
}

VelDate VelDate::addYears(int years) const
{
    return addMonths(years * 12);
}

velint64 VelDate::daysTo(const VelDate &other) const
{
    if (!isValid() || !other.isValid())
        return 0;
    return other.m_jd - m_jd;
}

VelString VelDate::toString(Vel::DateFormat format) const
{
    if (!isValid())
        return VelString();
    const Ymd d = dateFromJulianDay(m_jd);
    char buf[64];
    if (format == Vel::TextDate || format == Vel::RFC2822Date) {
        std::snprintf(buf, sizeof buf, "%s %s %d %d", kShortDays[dayOfWeek() - 1],
                      kShortMonths[d.month - 1], d.day, d.year);
    } else {
        std::snprintf(buf, sizeof buf, d.year < 0 ? "%05d-%02d-%02d" : "%04d-%02d-%02d", d.year,
                      d.month, d.day);
    }
    return VelString(buf);
}

VelString VelDate::toString(const VelString &format) const
{
    return VelLocale::c().toString(*this, format);
}
