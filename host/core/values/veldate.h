#ifndef VELDATE_H
#define VELDATE_H

#include "veldatetimenamespace.h"
#include "velmetatype.h"
#include "velstring.h"

// A day of the proleptic Gregorian calendar, kept as a Julian day number.
// There is no year 0: year -1 is followed by year 1. The default date is
// invalid (null).
class VelDate
{
public:
    VelDate() = default;
    VelDate(int year, int month, int day);

    static VelDate currentDate();
    static VelDate fromJulianDay(velint64 jd);
    static bool isValid(int year, int month, int day);
    static bool isLeapYear(int year);
    // Parses "yyyy-MM-dd" (ISODate); anything else gives an invalid date.
    static VelDate fromString(const VelString &text, Vel::DateFormat format = Vel::ISODate);

    bool isNull() const { return !isValid(); }
    bool isValid() const;
    int year() const;
    int month() const;
    int day() const;
    // 1 = Monday ... 7 = Sunday; 0 for an invalid date.
    int dayOfWeek() const;
    int dayOfYear() const;
    int daysInMonth() const;
    int daysInYear() const;
    void getDate(int *year, int *month, int *day) const;
    bool setDate(int year, int month, int day);
    velint64 toJulianDay() const { return m_jd; }

    VelDate addDays(velint64 days) const;
    // Clamps the day to the length of the resulting month (Jan 31 + 1 month = Feb 28/29).
    VelDate addMonths(int months) const;
    VelDate addYears(int years) const;
    velint64 daysTo(const VelDate &other) const;

    // ISODate: "yyyy-MM-dd"; TextDate: "Mon Jan 2 2006" (English, locale-free).
    VelString toString(Vel::DateFormat format = Vel::TextDate) const;
    // Host pattern ("dd.MM.yyyy", "dddd", "MMM"...) with English names; see VelLocale::toString.
    VelString toString(const VelString &format) const;

    friend bool operator==(const VelDate &a, const VelDate &b) { return a.m_jd == b.m_jd; }
    friend bool operator!=(const VelDate &a, const VelDate &b) { return a.m_jd != b.m_jd; }
    friend bool operator<(const VelDate &a, const VelDate &b) { return a.m_jd < b.m_jd; }
    friend bool operator<=(const VelDate &a, const VelDate &b) { return a.m_jd <= b.m_jd; }
    friend bool operator>(const VelDate &a, const VelDate &b) { return a.m_jd > b.m_jd; }
    friend bool operator>=(const VelDate &a, const VelDate &b) { return a.m_jd >= b.m_jd; }

private:
    static constexpr velint64 kNullJd = INT64_MIN;
    velint64 m_jd = kNullJd;
};

VEL_DECLARE_METATYPE(VelDate)

#endif
