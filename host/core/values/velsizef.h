#ifndef VELSIZEF_H
#define VELSIZEF_H

#include "velmetatype.h"
#include "velsize.h"

// A size with real dimensions; toSize() rounds each to nearest.
class VelSizeF
{
public:
    constexpr VelSizeF() = default;
    constexpr VelSizeF(double width, double height) : m_w(width), m_h(height) {}
    constexpr VelSizeF(const VelSize &s) : m_w(s.width()), m_h(s.height()) {}

    bool isNull() const;
    constexpr bool isEmpty() const { return m_w <= 0 || m_h <= 0; }
    constexpr bool isValid() const { return m_w >= 0 && m_h >= 0; }
    constexpr double width() const { return m_w; }
    constexpr double height() const { return m_h; }
    void setWidth(double w) { m_w = w; }
    void setHeight(double h) { m_h = h; }
    double &rwidth() { return m_w; }
    double &rheight() { return m_h; }
    constexpr VelSizeF transposed() const { return VelSizeF(m_h, m_w); }
    constexpr VelSizeF expandedTo(const VelSizeF &o) const
    {
        return VelSizeF(m_w > o.m_w ? m_w : o.m_w, m_h > o.m_h ? m_h : o.m_h);
    }
    constexpr VelSizeF boundedTo(const VelSizeF &o) const
    {
        return VelSizeF(m_w < o.m_w ? m_w : o.m_w, m_h < o.m_h ? m_h : o.m_h);
    }
    VelSize toSize() const;

    VelSizeF &operator+=(const VelSizeF &s)
    {
        m_w += s.m_w;
        m_h += s.m_h;
        return *this;
    }
    VelSizeF &operator-=(const VelSizeF &s)
    {
        m_w -= s.m_w;
        m_h -= s.m_h;
        return *this;
    }
    VelSizeF &operator*=(double f)
    {
        m_w *= f;
        m_h *= f;
        return *this;
    }
    VelSizeF &operator/=(double d)
    {
        m_w /= d;
        m_h /= d;
        return *this;
    }

    friend bool operator==(const VelSizeF &a, const VelSizeF &b);
    friend bool operator!=(const VelSizeF &a, const VelSizeF &b) { return !(a == b); }
    friend constexpr VelSizeF operator+(const VelSizeF &a, const VelSizeF &b)
    {
        return VelSizeF(a.m_w + b.m_w, a.m_h + b.m_h);
    }
    friend constexpr VelSizeF operator-(const VelSizeF &a, const VelSizeF &b)
    {
        return VelSizeF(a.m_w - b.m_w, a.m_h - b.m_h);
    }
    friend constexpr VelSizeF operator*(const VelSizeF &s, double f)
    {
        return VelSizeF(s.m_w * f, s.m_h * f);
    }
    friend constexpr VelSizeF operator*(double f, const VelSizeF &s) { return s * f; }
    friend constexpr VelSizeF operator/(const VelSizeF &s, double d)
    {
        return VelSizeF(s.m_w / d, s.m_h / d);
    }

private:
    double m_w = -1;
    double m_h = -1;
};

VelDebug &operator<<(VelDebug &d, const VelSizeF &s);
VelDebug &&operator<<(VelDebug &&d, const VelSizeF &s);

VEL_DECLARE_METATYPE(VelSizeF)

#endif
