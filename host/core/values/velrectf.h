#ifndef VELRECTF_H
#define VELRECTF_H

#include "velmetatype.h"
#include "velpointf.h"
#include "velrect.h"
#include "velsizef.h"

// A rectangle with real coordinates. Unlike VelRect, right() = x + width and
// bottom() = y + height (edges, not pixels).
class VelRectF
{
public:
    constexpr VelRectF() = default;
    constexpr VelRectF(double x, double y, double width, double height)
        : m_x(x), m_y(y), m_w(width), m_h(height)
    {
    }
    constexpr VelRectF(const VelPointF &topLeft, const VelSizeF &size)
        : m_x(topLeft.x()), m_y(topLeft.y()), m_w(size.width()), m_h(size.height())
    {
    }
    constexpr VelRectF(const VelPointF &topLeft, const VelPointF &bottomRight)
        : m_x(topLeft.x()), m_y(topLeft.y()), m_w(bottomRight.x() - topLeft.x()),
          m_h(bottomRight.y() - topLeft.y())
    {
    }
    constexpr VelRectF(const VelRect &r) : m_x(r.x()), m_y(r.y()), m_w(r.width()), m_h(r.height())
    {
    }

    constexpr bool isNull() const { return m_w == 0. && m_h == 0.; }
    constexpr bool isEmpty() const { return !(m_w > 0.) || !(m_h > 0.); }
    constexpr bool isValid() const { return m_w > 0. && m_h > 0.; }

    constexpr double x() const { return m_x; }
    constexpr double y() const { return m_y; }
    constexpr double width() const { return m_w; }
    constexpr double height() const { return m_h; }
    constexpr double left() const { return m_x; }
    constexpr double top() const { return m_y; }
    constexpr double right() const { return m_x + m_w; }
    constexpr double bottom() const { return m_y + m_h; }
    constexpr VelSizeF size() const { return VelSizeF(m_w, m_h); }
    constexpr VelPointF topLeft() const { return VelPointF(m_x, m_y); }
    constexpr VelPointF topRight() const { return VelPointF(m_x + m_w, m_y); }
    constexpr VelPointF bottomLeft() const { return VelPointF(m_x, m_y + m_h); }
    constexpr VelPointF bottomRight() const { return VelPointF(m_x + m_w, m_y + m_h); }
    constexpr VelPointF center() const { return VelPointF(m_x + m_w / 2, m_y + m_h / 2); }

    void setX(double v) { setLeft(v); }
    void setY(double v) { setTop(v); }
    void setLeft(double v)
    {
        m_w += m_x - v;
        m_x = v;
    }
    void setTop(double v)
    {
        m_h += m_y - v;
        m_y = v;
    }
    void setRight(double v) { m_w = v - m_x; }
    void setBottom(double v) { m_h = v - m_y; }
    void setWidth(double w) { m_w = w; }
    void setHeight(double h) { m_h = h; }
    void setSize(const VelSizeF &s)
    {
        m_w = s.width();
        m_h = s.height();
    }
    void setRect(double x, double y, double w, double h) { *this = VelRectF(x, y, w, h); }
    void getRect(double *x, double *y, double *w, double *h) const;

    void moveTo(double x, double y)
    {
        m_x = x;
        m_y = y;
    }
    void moveTo(const VelPointF &p) { moveTo(p.x(), p.y()); }
    void moveTopLeft(const VelPointF &p) { moveTo(p); }
    void moveCenter(const VelPointF &p)
    {
        m_x = p.x() - m_w / 2;
        m_y = p.y() - m_h / 2;
    }
    void translate(double dx, double dy)
    {
        m_x += dx;
        m_y += dy;
    }
    void translate(const VelPointF &p) { translate(p.x(), p.y()); }
    VelRectF translated(double dx, double dy) const
    {
        return VelRectF(m_x + dx, m_y + dy, m_w, m_h);
    }
    VelRectF translated(const VelPointF &p) const { return translated(p.x(), p.y()); }
    void adjust(double dx1, double dy1, double dx2, double dy2);
    VelRectF adjusted(double dx1, double dy1, double dx2, double dy2) const;
    VelRectF normalized() const;

    bool contains(const VelPointF &p) const;
    bool contains(const VelRectF &r) const;
    bool intersects(const VelRectF &r) const;
    VelRectF intersected(const VelRectF &r) const;
    VelRectF united(const VelRectF &r) const;

    // Rounds x, y, width and height each to the nearest integer.
    VelRect toRect() const;
    // The smallest integer rectangle that covers this one entirely.
    VelRect toAlignedRect() const;

    VelRectF &operator&=(const VelRectF &r) { return *this = intersected(r); }
    VelRectF &operator|=(const VelRectF &r) { return *this = united(r); }
    friend VelRectF operator&(const VelRectF &a, const VelRectF &b) { return a.intersected(b); }
    friend VelRectF operator|(const VelRectF &a, const VelRectF &b) { return a.united(b); }
    friend bool operator==(const VelRectF &a, const VelRectF &b);
    friend bool operator!=(const VelRectF &a, const VelRectF &b) { return !(a == b); }

private:
    double m_x = 0;
    double m_y = 0;
    double m_w = 0;
    double m_h = 0;
};

VelDebug &operator<<(VelDebug &d, const VelRectF &r);
VelDebug &&operator<<(VelDebug &&d, const VelRectF &r);

VEL_DECLARE_METATYPE(VelRectF)

#endif
