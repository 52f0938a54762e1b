#ifndef VELPOINT_H
#define VELPOINT_H

#include "velglobal.h"
#include "velmetatype.h"

// An integer point; y grows downwards as on every host surface.
class VelPoint
{
public:
    constexpr VelPoint() = default;
    constexpr VelPoint(int x, int y) : m_x(x), m_y(y) {}

    constexpr bool isNull() const { return m_x == 0 && m_y == 0; }
    constexpr int x() const { return m_x; }
    constexpr int y() const { return m_y; }
    void setX(int x) { m_x = x; }
    void setY(int y) { m_y = y; }
    int &rx() { return m_x; }
    int &ry() { return m_y; }
    int manhattanLength() const;
    constexpr VelPoint transposed() const { return VelPoint(m_y, m_x); }

    VelPoint &operator+=(const VelPoint &p)
    {
        m_x += p.m_x;
        m_y += p.m_y;
        return *this;
    }
    VelPoint &operator-=(const VelPoint &p)
    {
        m_x -= p.m_x;
        m_y -= p.m_y;
        return *this;
    }
    VelPoint &operator*=(double factor);
    VelPoint &operator*=(int factor)
    {
        m_x *= factor;
        m_y *= factor;
        return *this;
    }
    VelPoint &operator/=(double divisor);

    static constexpr int dotProduct(const VelPoint &a, const VelPoint &b)
    {
        return a.m_x * b.m_x + a.m_y * b.m_y;
    }

    friend constexpr bool operator==(const VelPoint &a, const VelPoint &b)
    {
        return a.m_x == b.m_x && a.m_y == b.m_y;
    }
    friend constexpr bool operator!=(const VelPoint &a, const VelPoint &b) { return !(a == b); }
    friend constexpr VelPoint operator+(const VelPoint &a, const VelPoint &b)
    {
        return VelPoint(a.m_x + b.m_x, a.m_y + b.m_y);
    }
    friend constexpr VelPoint operator-(const VelPoint &a, const VelPoint &b)
    {
        return VelPoint(a.m_x - b.m_x, a.m_y - b.m_y);
    }
    friend constexpr VelPoint operator-(const VelPoint &p) { return VelPoint(-p.m_x, -p.m_y); }
    friend VelPoint operator*(VelPoint p, double factor) { return p *= factor; }
    friend VelPoint operator*(double factor, VelPoint p) { return p *= factor; }
    friend VelPoint operator*(VelPoint p, int factor) { return p *= factor; }
    friend VelPoint operator/(VelPoint p, double divisor) { return p /= divisor; }

private:
    int m_x = 0;
    int m_y = 0;
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelPoint &p);
VelDebug &&operator<<(VelDebug &&d, const VelPoint &p);

VEL_DECLARE_METATYPE(VelPoint)

#endif
