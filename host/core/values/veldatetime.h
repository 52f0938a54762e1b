#ifndef VELDATETIME_H
#define VELDATETIME_H

#include "veldate.h"
#include "veltime.h"

// An instant, kept as milliseconds since 1970-01-01T00:00:00 UTC, shown
// either in the process's local time zone or in UTC. The default is invalid.
class VelDateTime
{
public:
    VelDateTime() = default;
    // A local date/time that does not exist (skipped by a DST change) is
    // moved forward the way mktime() does.
    VelDateTime(const VelDate &date, const VelTime &time = VelTime(0, 0),
                Vel::TimeSpec spec = Vel::LocalTime);

    static VelDateTime currentDateTime();
    static VelDateTime currentDateTimeUtc();
    static velint64 currentMSecsSinceEpoch();
    static velint64 currentSecsSinceEpoch() { return currentMSecsSinceEpoch() / 1000; }
    static VelDateTime fromMSecsSinceEpoch(velint64 msecs, Vel::TimeSpec spec = Vel::LocalTime);
    static VelDateTime fromSecsSinceEpoch(velint64 secs, Vel::TimeSpec spec = Vel::LocalTime);
    // "yyyy-MM-ddTHH:mm:ss[.zzz][Z]"; a trailing Z gives UTC, else local time.
    static VelDateTime fromString(const VelString &text, Vel::DateFormat format = Vel::ISODate);

    bool isNull() const { return !m_valid; }
    bool isValid() const { return m_valid; }
    Vel::TimeSpec timeSpec() const { return m_spec; }
    velint64 toMSecsSinceEpoch() const { return m_valid ? m_msecs : 0; }
    velint64 msecsSinceEpoch() const { return toMSecsSinceEpoch(); }
    velint64 toSecsSinceEpoch() const;
    // Seconds the shown time is ahead of UTC (0 for UTC).
    int offsetFromUtc() const;

    VelDate date() const;
    VelTime time() const;
    int year() const { return date().year(); }
    int month() const { return date().month(); }
    int day() const { return date().day(); }
    int dayOfWeek() const { return date().dayOfWeek(); }
    int hour() const { return time().hour(); }
    int minute() const { return time().minute(); }
    int second() const { return time().second(); }
    int msec() const { return time().msec(); }

    VelDateTime toTimeSpec(Vel::TimeSpec spec) const;
    VelDateTime toUTC() const { return toTimeSpec(Vel::UTC); }
    VelDateTime toLocalTime() const { return toTimeSpec(Vel::LocalTime); }
    VelDateTime addMSecs(velint64 ms) const;
    VelDateTime addSecs(velint64 s) const { return addMSecs(s * 1000); }
    // Keeps the shown time of day (in local time across DST changes).
    VelDateTime addDays(velint64 days) const;
    velint64 msecsTo(const VelDateTime &other) const;
    velint64 secsTo(const VelDateTime &other) const { return msecsTo(other) / 1000; }

    // ISODate: "yyyy-MM-ddTHH:mm:ss" (+ "Z" for UTC); TextDate: "Mon Jan 2 15:04:05 2006".
    VelString toString(Vel::DateFormat format = Vel::TextDate) const;
    VelString toString(const VelString &format) const;

    // Instants compare equal whatever zone they are shown in.
    friend bool operator==(const VelDateTime &a, const VelDateTime &b)
    {
        return a.m_valid == b.m_valid && (!a.m_valid || a.m_msecs == b.m_msecs);
    }
    friend bool operator!=(const VelDateTime &a, const VelDateTime &b) { return !(a == b); }
    friend bool operator<(const VelDateTime &a, const VelDateTime &b)
    {
        return a.toMSecsSinceEpoch() < b.toMSecsSinceEpoch();
    }
    friend bool operator>(const VelDateTime &a, const VelDateTime &b) { return b < a; }

private:
    velint64 m_msecs = 0;
    Vel::TimeSpec m_spec = Vel::LocalTime;
    bool m_valid = false;
};

VEL_DECLARE_METATYPE(VelDateTime)

#endif
