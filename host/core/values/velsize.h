#ifndef VELSIZE_H
#define VELSIZE_H

#include "velglobal.h"
#include "velmetatype.h"

// An integer size. The default (-1 x -1) is invalid, which tells "no size
// given" apart from an explicit zero size.
class VelSize
{
public:
    constexpr VelSize() = default;
    constexpr VelSize(int width, int height) : m_w(width), m_h(height) {}

    constexpr bool isNull() const { return m_w == 0 && m_h == 0; }
    constexpr bool isEmpty() const { return m_w < 1 || m_h < 1; }
    constexpr bool isValid() const { return m_w >= 0 && m_h >= 0; }
    constexpr int width() const { return m_w; }
    constexpr int height() const { return m_h; }
    void setWidth(int w) { m_w = w; }
    void setHeight(int h) { m_h = h; }
    int &rwidth() { return m_w; }
    int &rheight() { return m_h; }
    void transpose();
    constexpr VelSize transposed() const { return VelSize(m_h, m_w); }
    constexpr VelSize expandedTo(const VelSize &o) const
    {
        return VelSize(m_w > o.m_w ? m_w : o.m_w, m_h > o.m_h ? m_h : o.m_h);
    }
    constexpr VelSize boundedTo(const VelSize &o) const
    {
        return VelSize(m_w < o.m_w ? m_w : o.m_w, m_h < o.m_h ? m_h : o.m_h);
    }

    VelSize &operator+=(const VelSize &s)
    {
        m_w += s.m_w;
        m_h += s.m_h;
        return *this;
    }
    VelSize &operator-=(const VelSize &s)
    {
        m_w -= s.m_w;
        m_h -= s.m_h;
        return *this;
    }
    VelSize &operator*=(double factor);
    VelSize &operator/=(double divisor);

    friend constexpr bool operator==(const VelSize &a, const VelSize &b)
    {
        return a.m_w == b.m_w && a.m_h == b.m_h;
    }
    friend constexpr bool operator!=(const VelSize &a, const VelSize &b) { return !(a == b); }
    friend constexpr VelSize operator+(const VelSize &a, const VelSize &b)
    {
        return VelSize(a.m_w + b.m_w, a.m_h + b.m_h);
    }
    friend constexpr VelSize operator-(const VelSize &a, const VelSize &b)
    {
        return VelSize(a.m_w - b.m_w, a.m_h - b.m_h);
    }
    friend VelSize operator*(VelSize s, double factor) { return s *= factor; }
    friend VelSize operator*(double factor, VelSize s) { return s *= factor; }
    friend VelSize operator/(VelSize s, double divisor) { return s /= divisor; }

private:
    int m_w = -1;
    int m_h = -1;
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelSize &s);
VelDebug &&operator<<(VelDebug &&d, const VelSize &s);

VEL_DECLARE_METATYPE(VelSize)

#endif
