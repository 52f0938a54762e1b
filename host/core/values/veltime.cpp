#include "veltime.h"

#include "vellocale.h"

#include <cstdio>
#include <ctime>
#include <sys/time.h>

VelTime::VelTime(int hour, int minute, int second, int msec)
{
    setHMS(hour, minute, second, msec);
}

VelTime VelTime::currentTime()
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    const std::time_t secs = tv.tv_sec;
    std::tm local{};
    localtime_r(&secs, &local);
    // A leap second (tm_sec 60) is folded into the last regular second.
    return VelTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                   int(tv.tv_usec / 1000));
}

VelTime VelTime::fromMSecsSinceStartOfDay(int msecs)
{
    VelTime t;
    if (msecs >= 0 && msecs < kMSecsPerDay)
        t.m_ms = msecs;
    return t;
}

bool VelTime::isValid(int hour, int minute, int second, int msec)
{
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           msec >= 0 && msec < 1000;
}

VelTime VelTime::fromString(const VelString &text, Vel::DateFormat format)
{
    VEL_UNUSED(format);
    const VelByteArray latin = text.trimmed().toLatin1();
    int h = -1;
    int m = -1;
    int s = 0;
    int ms = 0;
    char tail = 0;
    const char *p = latin.constData();
    int consumed = 0;
    if (std::sscanf(p, "%2d:%2d%n", &h, &m, &consumed) < 2 || consumed != 5)
        return VelTime();
    p += consumed;
    if (*p == ':') {
        if (std::sscanf(p, ":%2d%n", &s, &consumed) < 1 || consumed != 3)
            return VelTime();
        p += consumed;
        if (*p == '.') {
            if (std::sscanf(p, ".%3d%n", &ms, &consumed) < 1 || consumed != 4)
                return VelTime();
            p += consumed;
        }
    }
    tail = *p;
    if (tail != 0)
        return VelTime();
    return VelTime(h, m, s, ms);
}

bool VelTime::setHMS(int hour, int minute, int second, int msec)
{
    if (!isValid(hour, minute, second, msec)) {
        m_ms = -1;
        return false;
    }
    m_ms = ((hour * 60 + minute) * 60 + second) * 1000 + msec;
    return true;
}

VelTime VelTime::addMSecs(int ms) const
{
    if (!isValid())
        return VelTime();
    velint64 v = (velint64(m_ms) + ms) % kMSecsPerDay;
    if (v < 0)
        v += kMSecsPerDay;
    return fromMSecsSinceStartOfDay(int(v));
}

int VelTime::msecsTo(const VelTime &other) const
{
    if (!isValid() || !other.isValid())
        return 0;
    return other.m_ms - m_ms;
}

VelString VelTime::toString(Vel::DateFormat format) const
{
    if (!isValid())
        return VelString();
    char buf[32];
    if (format == Vel::ISODateWithMs)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", hour(), minute(), second(), msec());
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hour(), minute(), second());
    return VelString(buf);
}

VelString VelTime::toString(const VelString &format) const
{
    return VelLocale::c().toString(*this, format);
}
