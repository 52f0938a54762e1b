#ifndef VELPOINTF_H
#define VELPOINTF_H

#include "velmetatype.h"
#include "velpoint.h"

// A point with real coordinates; toPoint() rounds each coordinate to nearest.
class VelPointF
{
public:
    constexpr VelPointF() = default;
    constexpr VelPointF(double x, double y) : m_x(x), m_y(y) {}
    constexpr VelPointF(const VelPoint &p) : m_x(p.x()), m_y(p.y()) {}

    bool isNull() const;
    constexpr double x() const { return m_x; }
    constexpr double y() const { return m_y; }
    void setX(double x) { m_x = x; }
    void setY(double y) { m_y = y; }
    double &rx() { return m_x; }
    double &ry() { return m_y; }
    double manhattanLength() const;
    VelPoint toPoint() const;
    constexpr VelPointF transposed() const { return VelPointF(m_y, m_x); }

    VelPointF &operator+=(const VelPointF &p)
    {
        m_x += p.m_x;
        m_y += p.m_y;
        return *this;
    }
    VelPointF &operator-=(const VelPointF &p)
    {
        m_x -= p.m_x;
        m_y -= p.m_y;
        return *this;
    }
    VelPointF &operator*=(double f)
    {
        m_x *= f;
        m_y *= f;
        return *this;
    }
    VelPointF &operator/=(double d)
    {
        m_x /= d;
        m_y /= d;
        return *this;
    }

    static constexpr double dotProduct(const VelPointF &a, const VelPointF &b)
    {
        return a.m_x * b.m_x + a.m_y * b.m_y;
    }

    // Fuzzy, as real coordinates come out of transforms with rounding noise.
    friend bool operator==(const VelPointF &a, const VelPointF &b);
    friend bool operator!=(const VelPointF &a, const VelPointF &b) { return !(a == b); }
    friend constexpr VelPointF operator+(const VelPointF &a, const VelPointF &b)
    {
        return VelPointF(a.m_x + b.m_x, a.m_y + b.m_y);
    }
    friend constexpr VelPointF operator-(const VelPointF &a, const VelPointF &b)
    {
        return VelPointF(a.m_x - b.m_x, a.m_y - b.m_y);
    }
    friend constexpr VelPointF operator-(const VelPointF &p) { return VelPointF(-p.m_x, -p.m_y); }
    friend constexpr VelPointF operator*(const VelPointF &p, double f)
    {
        return VelPointF(p.m_x * f, p.m_y * f);
    }
    friend constexpr VelPointF operator*(double f, const VelPointF &p) { return p * f; }
    friend constexpr VelPointF operator/(const VelPointF &p, double d)
    {
        return VelPointF(p.m_x / d, p.m_y / d);
    }

private:
    double m_x = 0;
    double m_y = 0;
};

VelDebug &operator<<(VelDebug &d, const VelPointF &p);
VelDebug &&operator<<(VelDebug &&d, const VelPointF &p);

VEL_DECLARE_METATYPE(VelPointF)

#endif
