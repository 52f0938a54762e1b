#include "velrect.h"

#include "vellogging.h"

#include <algorithm>
#include <utility>

VelPoint VelRect::center() const
{
    return VelPoint(int((velint64(m_x1) + m_x2) / 2), int((velint64(m_y1) + m_y2) / 2));
}

void VelRect::getRect(int *x, int *y, int *w, int *h) const
{
    *x = m_x1;
    *y = m_y1;
    *w = width();
    *h = height();
}

void VelRect::getCoords(int *x1, int *y1, int *x2, int *y2) const
{
    *x1 = m_x1;
    *y1 = m_y1;
    *x2 = m_x2;
    *y2 = m_y2;
}

void VelRect::setCoords(int x1, int y1, int x2, int y2)
{
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
}

void VelRect::moveTo(int x, int y)
{
    translate(x - m_x1, y - m_y1);
}

void VelRect::moveCenter(const VelPoint &p)
{
    const VelPoint c = center();
    translate(p.x() - c.x(), p.y() - c.y());
}

void VelRect::translate(int dx, int dy)
{
    m_x1 += dx;
    m_x2 += dx;
    m_y1 += dy;
    m_y2 += dy;
}

VelRect VelRect::translated(int dx, int dy) const
{
    VelRect r = *this;
    r.translate(dx, dy);
    return r;
}

void VelRect::adjust(int dx1, int dy1, int dx2, int dy2)
{
    m_x1 += dx1;
    m_y1 += dy1;
    m_x2 += dx2;
    m_y2 += dy2;
}

VelRect VelRect::adjusted(int dx1, int dy1, int dx2, int dy2) const
{
    VelRect r = *this;
    r.adjust(dx1, dy1, dx2, dy2);
    return r;
}

VelRect VelRect::marginsAdded(const VelMargins &m) const
{
    return adjusted(-m.left(), -m.top(), m.right(), m.bottom());
}

VelRect VelRect::marginsRemoved(const VelMargins &m) const
{
    return adjusted(m.left(), m.top(), -m.right(), -m.bottom());
}

VelRect VelRect::normalized() const
{
    VelRect r = *this;
    // A width of 0 (x2 == x1 - 1) is kept; only a negative width is flipped.
    if (r.m_x2 < r.m_x1 - 1) {
        std::swap(r.m_x1, r.m_x2);
        r.m_x1 += 1;
        r.m_x2 -= 1;
    }
    if (r.m_y2 < r.m_y1 - 1) {
        std::swap(r.m_y1, r.m_y2);
        r.m_y1 += 1;
        r.m_y2 -= 1;
    }
    return r;
}

bool VelRect::contains(const VelPoint &p, bool proper) const
{
    if (isEmpty())
        return false;
    if (proper)
        return p.x() > m_x1 && p.x() < m_x2 && p.y() > m_y1 && p.y() < m_y2;
    return p.x() >= m_x1 && p.x() <= m_x2 && p.y() >= m_y1 && p.y() <= m_y2;
}

bool VelRect::contains(const VelRect &r, bool proper) const
{
    if (isEmpty() || r.isEmpty())
        return false;
    if (proper)
        return r.m_x1 > m_x1 && r.m_x2 < m_x2 && r.m_y1 > m_y1 && r.m_y2 < m_y2;
    return r.m_x1 >= m_x1 && r.m_x2 <= m_x2 && r.m_y1 >= m_y1 && r.m_y2 <= m_y2;
}

bool VelRect::intersects(const VelRect &r) const
{
    return !intersected(r).isEmpty();
}

VelRect VelRect::intersected(const VelRect &r) const
{
    if (isEmpty() || r.isEmpty())
        return VelRect();
    VelRect out;
    out.m_x1 = std::max(m_x1, r.m_x1);
    out.m_y1 = std::max(m_y1, r.m_y1);
    out.m_x2 = std::min(m_x2, r.m_x2);
    out.m_y2 = std::min(m_y2, r.m_y2);
    if (out.isEmpty())
        return VelRect();
    return out;
}

VelRect VelRect::united(const VelRect &r) const
{
    if (r.isEmpty())
        return isEmpty() ? VelRect() : *this;
    if (isEmpty())
        return r;
    VelRect out;
    out.m_x1 = std::min(m_x1, r.m_x1);
    out.m_y1 = std::min(m_y1, r.m_y1);
    out.m_x2 = std::max(m_x2, r.m_x2);
    out.m_y2 = std::max(m_y2, r.m_y2);
    return out;
}

VelDebug &operator<<(VelDebug &d, const VelRect &r)
{
    d.appendRaw("VelRect(" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
                std::to_string(r.width()) + "x" + std::to_string(r.height()) + ")");
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelRect &r)
{
    d << r;
    return std::move(d);
}
