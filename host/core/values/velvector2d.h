#ifndef VELVECTOR2D_H
#define VELVECTOR2D_H

#include "velpointf.h"

// A two-component vector in single precision.
class VelVector2D
{
public:
    constexpr VelVector2D() = default;
    constexpr VelVector2D(float x, float y) : m_x(x), m_y(y) {}
    constexpr explicit VelVector2D(const VelPoint &p) : m_x(float(p.x())), m_y(float(p.y())) {}
    constexpr explicit VelVector2D(const VelPointF &p) : m_x(float(p.x())), m_y(float(p.y())) {}

    bool isNull() const { return m_x == 0.f && m_y == 0.f; }
    constexpr float x() const { return m_x; }
    constexpr float y() const { return m_y; }
    void setX(float x) { m_x = x; }
    void setY(float y) { m_y = y; }
    float length() const;
    float lengthSquared() const { return m_x * m_x + m_y * m_y; }
    // The unit vector in the same direction; the null vector stays null.
    VelVector2D normalized() const;
    void normalize() { *this = normalized(); }
    float distanceToPoint(const VelVector2D &point) const { return (*this - point).length(); }
    VelPoint toPoint() const;
    constexpr VelPointF toPointF() const { return VelPointF(m_x, m_y); }

    static constexpr float dotProduct(const VelVector2D &a, const VelVector2D &b)
    {
        return a.m_x * b.m_x + a.m_y * b.m_y;
    }

    VelVector2D &operator+=(const VelVector2D &v)
    {
        m_x += v.m_x;
        m_y += v.m_y;
        return *this;
    }
    VelVector2D &operator-=(const VelVector2D &v)
    {
        m_x -= v.m_x;
        m_y -= v.m_y;
        return *this;
    }
    VelVector2D &operator*=(float f)
    {
        m_x *= f;
        m_y *= f;
        return *this;
    }
    VelVector2D &operator/=(float d)
    {
        m_x /= d;
        m_y /= d;
        return *this;
    }
    friend constexpr VelVector2D operator+(const VelVector2D &a, const VelVector2D &b)
    {
        return VelVector2D(a.m_x + b.m_x, a.m_y + b.m_y);
    }
    friend constexpr VelVector2D operator-(const VelVector2D &a, const VelVector2D &b)
    {
        return VelVector2D(a.m_x - b.m_x, a.m_y - b.m_y);
    }
    friend constexpr VelVector2D operator-(const VelVector2D &v)
    {
        return VelVector2D(-v.m_x, -v.m_y);
    }
    friend constexpr VelVector2D operator*(const VelVector2D &v, float f)
    {
        return VelVector2D(v.m_x * f, v.m_y * f);
    }
    friend constexpr VelVector2D operator*(float f, const VelVector2D &v) { return v * f; }
    friend constexpr VelVector2D operator/(const VelVector2D &v, float d)
    {
        return VelVector2D(v.m_x / d, v.m_y / d);
    }
    friend bool operator==(const VelVector2D &a, const VelVector2D &b)
    {
        return a.m_x == b.m_x && a.m_y == b.m_y;
    }
    friend bool operator!=(const VelVector2D &a, const VelVector2D &b) { return !(a == b); }

private:
    float m_x = 0.f;
    float m_y = 0.f;
};

#endif
