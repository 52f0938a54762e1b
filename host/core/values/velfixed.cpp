#include "velfixed.h"

#include <cmath>
#include <limits>

namespace
{

int saturate(velint64 v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(v);
}

int saturate(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(std::lround(v));
}

// Division rounded to nearest, halves away from zero.
velint64 divideRounded(velint64 num, velint64 den)
{
    const bool negative = (num < 0) != (den < 0);
    const velint64 n = num < 0 ? -num : num;
    const velint64 d = den < 0 ? -den : den;
    const velint64 q = (n + d / 2) / d;
    return negative ? -q : q;
}

int divisionByZero(int raw)
{
    if (raw > 0)
        return std::numeric_limits<int>::max();
    if (raw < 0)
        return std::numeric_limits<int>::min();
    return 0;
}

} // namespace

VelFixed::VelFixed(double real) : m_raw(saturate(real * 64.0)) {}

VelFixed &VelFixed::operator*=(VelFixed o)
{
    m_raw = saturate(divideRounded(velint64(m_raw) * o.m_raw, 64));
    return *this;
}

VelFixed &VelFixed::operator*=(double d)
{
    m_raw = saturate(m_raw * d);
    return *this;
}

VelFixed &VelFixed::operator/=(VelFixed o)
{
    m_raw = o.m_raw == 0 ? divisionByZero(m_raw)
                         : saturate(divideRounded(velint64(m_raw) * 64, o.m_raw));
    return *this;
}

VelFixed &VelFixed::operator/=(int i)
{
    m_raw = i == 0 ? divisionByZero(m_raw) : saturate(divideRounded(m_raw, i));
    return *this;
}

VelFixed &VelFixed::operator/=(double d)
{
    m_raw = d == 0.0 ? divisionByZero(m_raw) : saturate(m_raw / d);
    return *this;
}
