#include "veldatetime.h"

#include "vellocale.h"

#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace
{

constexpr velint64 kMSecsPerDay = 86400000;
constexpr velint64 kJulianDayOfEpoch = 2440588; // 1970-01-01

velint64 floorDiv(velint64 a, velint64 b)
{
    return (a - (a < 0 ? b - 1 : 0)) / b;
}

int localOffsetAt(velint64 msecs)
{
    const std::time_t secs = std::time_t(floorDiv(msecs, 1000));
    std::tm local{};
    if (!localtime_r(&secs, &local))
        return 0;
    return int(local.tm_gmtoff);
}

} // namespace

VelDateTime::VelDateTime(const VelDate &date, const VelTime &time, Vel::TimeSpec spec)
    : m_spec(spec)
{
    if (!date.isValid() || !time.isValid())
        return;
    const velint64 asUtc =
        (date.toJulianDay() - kJulianDayOfEpoch) * kMSecsPerDay + time.msecsSinceStartOfDay();
    if (spec == Vel::UTC) {
        m_msecs = asUtc;
        m_valid = true;
        return;
    }
    std::tm local{};
    local.tm_year = date.year() - 1900;
    local.tm_mon = date.month() - 1;
    local.tm_mday = date.day();
    local.tm_hour = time.hour();
    local.tm_min = time.minute();
    local.tm_sec = time.second();
    local.tm_isdst = -1;
    local.tm_wday = -1; // mktime() sets it on success; -1 is also a valid result time
    const std::time_t secs = std::mktime(&local);
    if (local.tm_wday < 0) {
        // Outside what the C library converts: fall back to the current offset.
        m_msecs = asUtc - velint64(localOffsetAt(asUtc)) * 1000;
    } else {
        m_msecs = velint64(secs) * 1000 + time.msec();
    }
    m_valid = true;
}

VelDateTime VelDateTime::currentDateTime()
{
    return fromMSecsSinceEpoch(currentMSecsSinceEpoch(), Vel::LocalTime);
}

VelDateTime VelDateTime::currentDateTimeUtc()
{
    return fromMSecsSinceEpoch(currentMSecsSinceEpoch(), Vel::UTC);
}

velint64 VelDateTime::currentMSecsSinceEpoch()
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    return velint64(tv.tv_sec) * 1000 + tv.tv_usec / 1000;
}

VelDateTime VelDateTime::fromMSecsSinceEpoch(velint64 msecs, Vel::TimeSpec spec)
{
    VelDateTime dt;
    dt.m_msecs = msecs;
    dt.m_spec = spec;
    dt.m_valid = true;
    return dt;
}

VelDateTime VelDateTime::fromSecsSinceEpoch(velint64 secs, Vel::TimeSpec spec)
{
    return fromMSecsSinceEpoch(secs * 1000, spec);
}

VelDateTime VelDateTime::fromString(const VelString &text, Vel::DateFormat format)
{
    VEL_UNUSED(format);
    VelString s = text.trimmed();
    Vel::TimeSpec spec = Vel::LocalTime;
    if (s.endsWith(VelString("Z"))) {
        spec = Vel::UTC;
        s.chop(1);
    }
    const int t = s.indexOf(VelChar('T'));
    if (t < 0)
        return VelDateTime();
    const VelDate date = VelDate::fromString(s.left(t));
    const VelTime time = VelTime::fromString(s.mid(t + 1));
    if (!date.isValid() || !time.isValid())
        return VelDateTime();
    return VelDateTime(date, time, spec);
}

velint64 VelDateTime::toSecsSinceEpoch() const
{
    return floorDiv(toMSecsSinceEpoch(), 1000);
}

int VelDateTime::offsetFromUtc() const
{
    if (!m_valid || m_spec == Vel::UTC)
        return 0;
    return localOffsetAt(m_msecs);
}

VelDate VelDateTime::date() const
{
    if (!m_valid)
        return VelDate();
    const velint64 shown = m_msecs + velint64(offsetFromUtc()) * 1000;
    return VelDate::fromJulianDay(kJulianDayOfEpoch + floorDiv(shown, kMSecsPerDay));
}

VelTime VelDateTime::time() const
{
    if (!m_valid)
        return VelTime();
    const velint64 shown = m_msecs + velint64(offsetFromUtc()) * 1000;
    return VelTime::fromMSecsSinceStartOfDay(
        int(shown - floorDiv(shown, kMSecsPerDay) * kMSecsPerDay));
}

VelDateTime VelDateTime::toTimeSpec(Vel::TimeSpec spec) const
{
    VelDateTime dt = *this;
    dt.m_spec = spec;
    return dt;
}

VelDateTime VelDateTime::addMSecs(velint64 ms) const
{
    if (!m_valid)
        return VelDateTime();
    return fromMSecsSinceEpoch(m_msecs + ms, m_spec);
}

VelDateTime VelDateTime::addDays(velint64 days) const
{
    if (!m_valid)
        return VelDateTime();
    return VelDateTime(date().addDays(days), time(), m_spec);
}

velint64 VelDateTime::msecsTo(const VelDateTime &other) const
{
    if (!m_valid || !other.m_valid)
        return 0;
    return other.m_msecs - m_msecs;
}

VelString VelDateTime::toString(Vel::DateFormat format) const
{
    if (!m_valid)
        return VelString();
    const VelDate d = date();
    const VelTime t = time();
    if (format == Vel::TextDate || format == Vel::RFC2822Date) {
        const VelString dateText = d.toString(Vel::TextDate); // "Mon Jan 2 2006"
        const int lastBlank = dateText.lastIndexOf(VelChar(' '));
        return dateText.left(lastBlank) + " " + t.toString(Vel::TextDate) + dateText.mid(lastBlank);
    }
    VelString out = d.toString(Vel::ISODate) + "T" + t.toString(format);
    if (m_spec == Vel::UTC)
        out += VelChar('Z');
    return out;
}

VelString VelDateTime::toString(const VelString &format) const
{
    return VelLocale::c().toString(*this, format);
}
