#ifndef VELRECT_H
#define VELRECT_H

#include "velmargins.h"
#include "velmetatype.h"
#include "velpoint.h"
#include "velsize.h"

// An integer rectangle. right() and bottom() are inclusive: right = left + width - 1,
// bottom = top + height - 1. The default rectangle is null (0 x 0) and invalid.
class VelRect
{
public:
    constexpr VelRect() = default;
    constexpr VelRect(int x, int y, int width, int height)
        : m_x1(x), m_y1(y), m_x2(x + width - 1), m_y2(y + height - 1)
    {
    }
    constexpr VelRect(const VelPoint &topLeft, const VelPoint &bottomRight)
        : m_x1(topLeft.x()), m_y1(topLeft.y()), m_x2(bottomRight.x()), m_y2(bottomRight.y())
    {
    }
    constexpr VelRect(const VelPoint &topLeft, const VelSize &size)
        : VelRect(topLeft.x(), topLeft.y(), size.width(), size.height())
    {
    }

    constexpr bool isNull() const { return m_x2 == m_x1 - 1 && m_y2 == m_y1 - 1; }
    constexpr bool isEmpty() const { return m_x1 > m_x2 || m_y1 > m_y2; }
    constexpr bool isValid() const { return m_x1 <= m_x2 && m_y1 <= m_y2; }

    constexpr int left() const { return m_x1; }
    constexpr int top() const { return m_y1; }
    constexpr int right() const { return m_x2; }
    constexpr int bottom() const { return m_y2; }
    constexpr int x() const { return m_x1; }
    constexpr int y() const { return m_y1; }
    constexpr int width() const { return int(velint64(m_x2) - m_x1 + 1); }
    constexpr int height() const { return int(velint64(m_y2) - m_y1 + 1); }
    constexpr VelSize size() const { return VelSize(width(), height()); }
    constexpr VelPoint topLeft() const { return VelPoint(m_x1, m_y1); }
    constexpr VelPoint topRight() const { return VelPoint(m_x2, m_y1); }
    constexpr VelPoint bottomLeft() const { return VelPoint(m_x1, m_y2); }
    constexpr VelPoint bottomRight() const { return VelPoint(m_x2, m_y2); }
    VelPoint center() const;
    void getRect(int *x, int *y, int *w, int *h) const;
    void getCoords(int *x1, int *y1, int *x2, int *y2) const;

    // Moving one edge keeps the opposite edge where it is.
    void setLeft(int v) { m_x1 = v; }
    void setTop(int v) { m_y1 = v; }
    void setRight(int v) { m_x2 = v; }
    void setBottom(int v) { m_y2 = v; }
    void setX(int v) { m_x1 = v; }
    void setY(int v) { m_y1 = v; }
    void setTopLeft(const VelPoint &p)
    {
        m_x1 = p.x();
        m_y1 = p.y();
    }
    void setBottomRight(const VelPoint &p)
    {
        m_x2 = p.x();
        m_y2 = p.y();
    }
    void setWidth(int w) { m_x2 = m_x1 + w - 1; }
    void setHeight(int h) { m_y2 = m_y1 + h - 1; }
    void setSize(const VelSize &s)
    {
        setWidth(s.width());
        setHeight(s.height());
    }
    void setRect(int x, int y, int w, int h) { *this = VelRect(x, y, w, h); }
    void setCoords(int x1, int y1, int x2, int y2);

    // Moving keeps the size.
    void moveTo(int x, int y);
    void moveTo(const VelPoint &p) { moveTo(p.x(), p.y()); }
    void moveTopLeft(const VelPoint &p) { moveTo(p); }
    void moveLeft(int x) { translate(x - m_x1, 0); }
    void moveTop(int y) { translate(0, y - m_y1); }
    void moveRight(int x) { translate(x - m_x2, 0); }
    void moveBottom(int y) { translate(0, y - m_y2); }
    void moveBottomRight(const VelPoint &p) { translate(p.x() - m_x2, p.y() - m_y2); }
    void moveCenter(const VelPoint &p);
    void translate(int dx, int dy);
    void translate(const VelPoint &p) { translate(p.x(), p.y()); }
    VelRect translated(int dx, int dy) const;
    VelRect translated(const VelPoint &p) const { return translated(p.x(), p.y()); }
    void adjust(int dx1, int dy1, int dx2, int dy2);
    VelRect adjusted(int dx1, int dy1, int dx2, int dy2) const;
    VelRect marginsAdded(const VelMargins &m) const;
    VelRect marginsRemoved(const VelMargins &m) const;
    VelRect transposed() const { return VelRect(topLeft(), size().transposed()); }
    // Swaps edges so that a rectangle with negative width or height becomes valid.
    VelRect normalized() const;

    // proper = true excludes the edges.
    bool contains(const VelPoint &p, bool proper = false) const;
    bool contains(int x, int y, bool proper = false) const
    {
        return contains(VelPoint(x, y), proper);
    }
    bool contains(const VelRect &r, bool proper = false) const;
    bool intersects(const VelRect &r) const;
    // Empty (null) when the rectangles do not overlap or either is empty.
    VelRect intersected(const VelRect &r) const;
    // The bounding rectangle of both; an empty rectangle contributes nothing.
    VelRect united(const VelRect &r) const;

    VelRect &operator&=(const VelRect &r) { return *this = intersected(r); }
    VelRect &operator|=(const VelRect &r) { return *this = united(r); }
    friend VelRect operator&(const VelRect &a, const VelRect &b) { return a.intersected(b); }
    friend VelRect operator|(const VelRect &a, const VelRect &b) { return a.united(b); }
    friend constexpr bool operator==(const VelRect &a, const VelRect &b)
    {
        return a.m_x1 == b.m_x1 && a.m_y1 == b.m_y1 && a.m_x2 == b.m_x2 && a.m_y2 == b.m_y2;
    }
    friend constexpr bool operator!=(const VelRect &a, const VelRect &b) { return !(a == b); }

private:
    int m_x1 = 0;
    int m_y1 = 0;
    int m_x2 = -1;
    int m_y2 = -1;
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelRect &r);
VelDebug &&operator<<(VelDebug &&d, const VelRect &r);

VEL_DECLARE_METATYPE(VelRect)

#endif
