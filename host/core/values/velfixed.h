#ifndef VELFIXED_H
#define VELFIXED_H

#include "velglobal.h"
#include "velmetatype.h"

// A 26.6 fixed-point number: the raw value counts 1/64 pixel. round(),
// floor() and ceil() go to whole pixels; rounding is half up (towards +inf),
// so -1.5 rounds to -1 and -1.6 to -2. Products and quotients of two fixed
// values are rounded to the nearest 1/64; a division by zero saturates
// instead of trapping.
class VelFixed
{
public:
    constexpr VelFixed() = default;
    constexpr VelFixed(int pixels) : m_raw(pixels * 64) {}
    // Rounded to the nearest 1/64.
    explicit VelFixed(double real);

    static constexpr VelFixed fromFixed(int raw)
    {
        VelFixed f;
        f.m_raw = raw;
        return f;
    }
    static VelFixed fromReal(double real) { return VelFixed(real); }

    constexpr int value() const { return m_raw; }
    void setValue(int raw) { m_raw = raw; }
    constexpr double toReal() const { return m_raw / 64.0; }
    // Whole pixels, rounded half up.
    constexpr int toInt() const { return round().m_raw >> 6; }
    // Whole pixels towards zero.
    constexpr int truncate() const { return m_raw / 64; }

    constexpr VelFixed round() const
    {
        return fromFixed(int((velint64(m_raw) + 32) & ~velint64(63)));
    }
    constexpr VelFixed floor() const { return fromFixed(int(velint64(m_raw) & ~velint64(63))); }
    constexpr VelFixed ceil() const
    {
        return fromFixed(int((velint64(m_raw) + 63) & ~velint64(63)));
    }

    constexpr bool operator!() const { return m_raw == 0; }
    constexpr VelFixed operator-() const { return fromFixed(-m_raw); }
    VelFixed &operator+=(VelFixed o)
    {
        m_raw += o.m_raw;
        return *this;
    }
    VelFixed &operator-=(VelFixed o)
    {
        m_raw -= o.m_raw;
        return *this;
    }
    VelFixed &operator+=(int i)
    {
        m_raw += i * 64;
        return *this;
    }
    VelFixed &operator-=(int i)
    {
        m_raw -= i * 64;
        return *this;
    }
    VelFixed &operator*=(VelFixed o);
    VelFixed &operator*=(int i)
    {
        m_raw *= i;
        return *this;
    }
    VelFixed &operator*=(double d);
    VelFixed &operator/=(VelFixed o);
    VelFixed &operator/=(int i);
    VelFixed &operator/=(double d);

    friend VelFixed operator+(VelFixed a, VelFixed b) { return a += b; }
    friend VelFixed operator+(VelFixed a, int b) { return a += b; }
    friend VelFixed operator+(int a, VelFixed b) { return b += a; }
    friend VelFixed operator-(VelFixed a, VelFixed b) { return a -= b; }
    friend VelFixed operator-(VelFixed a, int b) { return a -= b; }
    friend VelFixed operator-(int a, VelFixed b) { return VelFixed(a) -= b; }
    friend VelFixed operator*(VelFixed a, VelFixed b) { return a *= b; }
    friend VelFixed operator*(VelFixed a, int b) { return a *= b; }
    friend VelFixed operator*(int a, VelFixed b) { return b *= a; }
    friend VelFixed operator*(VelFixed a, double b) { return a *= b; }
    friend VelFixed operator*(double a, VelFixed b) { return b *= a; }
    friend VelFixed operator/(VelFixed a, VelFixed b) { return a /= b; }
    friend VelFixed operator/(VelFixed a, int b) { return a /= b; }
    friend VelFixed operator/(VelFixed a, double b) { return a /= b; }

    friend constexpr bool operator==(VelFixed a, VelFixed b) { return a.m_raw == b.m_raw; }
    friend constexpr bool operator!=(VelFixed a, VelFixed b) { return a.m_raw != b.m_raw; }
    friend constexpr bool operator<(VelFixed a, VelFixed b) { return a.m_raw < b.m_raw; }
    friend constexpr bool operator<=(VelFixed a, VelFixed b) { return a.m_raw <= b.m_raw; }
    friend constexpr bool operator>(VelFixed a, VelFixed b) { return a.m_raw > b.m_raw; }
    friend constexpr bool operator>=(VelFixed a, VelFixed b) { return a.m_raw >= b.m_raw; }
    friend constexpr bool operator==(VelFixed a, int b) { return a.m_raw == velint64(b) * 64; }
    friend constexpr bool operator!=(VelFixed a, int b) { return !(a == b); }
    friend constexpr bool operator<(VelFixed a, int b) { return a.m_raw < velint64(b) * 64; }
    friend constexpr bool operator>(VelFixed a, int b) { return a.m_raw > velint64(b) * 64; }
    friend constexpr bool operator<=(VelFixed a, int b) { return a.m_raw <= velint64(b) * 64; }
    friend constexpr bool operator>=(VelFixed a, int b) { return a.m_raw >= velint64(b) * 64; }

private:
    int m_raw = 0;
};

inline VelFixed velMin(VelFixed a, VelFixed b)
{
    return a < b ? a : b;
}
inline VelFixed velMax(VelFixed a, VelFixed b)
{
    return a < b ? b : a;
}
inline VelFixed velAbs(VelFixed f)
{
    return f.value() < 0 ? -f : f;
}
inline int velRound(VelFixed f)
{
    return f.toInt();
}

VEL_DECLARE_METATYPE(VelFixed)

#endif
