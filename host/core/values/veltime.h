#ifndef VELTIME_H
#define VELTIME_H

#include "veldatetimenamespace.h"
#include "velmetatype.h"
#include "velstring.h"

// A time of day with millisecond precision. The default time is invalid (null).
class VelTime
{
public:
    VelTime() = default;
    VelTime(int hour, int minute, int second = 0, int msec = 0);

    static VelTime currentTime();
    static VelTime fromMSecsSinceStartOfDay(int msecs);
    static bool isValid(int hour, int minute, int second, int msec = 0);
    // Parses "HH:mm", "HH:mm:ss" or "HH:mm:ss.zzz"; anything else gives an invalid time.
    static VelTime fromString(const VelString &text, Vel::DateFormat format = Vel::ISODate);

    bool isNull() const { return m_ms < 0; }
    bool isValid() const { return m_ms >= 0; }
    int hour() const { return isValid() ? m_ms / 3600000 : -1; }
    int minute() const { return isValid() ? (m_ms % 3600000) / 60000 : -1; }
    int second() const { return isValid() ? (m_ms / 1000) % 60 : -1; }
    int msec() const { return isValid() ? m_ms % 1000 : -1; }
    int msecsSinceStartOfDay() const { return isValid() ? m_ms : 0; }
    bool setHMS(int hour, int minute, int second, int msec = 0);

    // Wraps around midnight.
    VelTime addMSecs(int ms) const;
    VelTime addSecs(int s) const { return addMSecs(s * 1000); }
    int msecsTo(const VelTime &other) const;
    int secsTo(const VelTime &other) const { return msecsTo(other) / 1000; }

    // "HH:mm:ss" (ISODate, TextDate) or "HH:mm:ss.zzz" (ISODateWithMs).
    VelString toString(Vel::DateFormat format = Vel::TextDate) const;
    VelString toString(const VelString &format) const;

    friend bool operator==(const VelTime &a, const VelTime &b) { return a.m_ms == b.m_ms; }
    friend bool operator!=(const VelTime &a, const VelTime &b) { return a.m_ms != b.m_ms; }
    friend bool operator<(const VelTime &a, const VelTime &b) { return a.m_ms < b.m_ms; }
    friend bool operator<=(const VelTime &a, const VelTime &b) { return a.m_ms <= b.m_ms; }
    friend bool operator>(const VelTime &a, const VelTime &b) { return a.m_ms > b.m_ms; }
    friend bool operator>=(const VelTime &a, const VelTime &b) { return a.m_ms >= b.m_ms; }

private:
    static constexpr int kMSecsPerDay = 86400000;
    int m_ms = -1;
};

VEL_DECLARE_METATYPE(VelTime)

#endif
