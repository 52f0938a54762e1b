#include "velrectf.h"

#include "vellogging.h"

#include <algorithm>
#include <cmath>

namespace
{
bool fuzzyEqual(double a, double b)
{
    if (velFuzzyIsNull(a) || velFuzzyIsNull(b))
        return velFuzzyIsNull(a - b);
    return velFuzzyCompare(a, b);
}

int floorToInt(double v)
{
    return int(std::floor(v));
}

int ceilToInt(double v)
{
    return int(std::ceil(v));
}
} // namespace

void VelRectF::getRect(double *x, double *y, double *w, double *h) const
{
    *x = m_x;
    *y = m_y;
    *w = m_w;
    *h = m_h;
}

void VelRectF::adjust(double dx1, double dy1, double dx2, double dy2)
{
    m_x += dx1;
    m_y += dy1;
    m_w += dx2 - dx1;
    m_h += dy2 - dy1;
}

VelRectF VelRectF::adjusted(double dx1, double dy1, double dx2, double dy2) const
{
    VelRectF r = *this;
    r.adjust(dx1, dy1, dx2, dy2);
    return r;
}

VelRectF VelRectF::normalized() const
{
    VelRectF r = *this;
    if (r.m_w < 0) {
        r.m_x += r.m_w;
        r.m_w = -r.m_w;
    }
    if (r.m_h < 0) {
        r.m_y += r.m_h;
        r.m_h = -r.m_h;
    }
    return r;
}

bool VelRectF::contains(const VelPointF &p) const
{
    const VelRectF n = normalized();
    if (n.isNull())
        return false;
    return p.x() >= n.left() && p.x() <= n.right() && p.y() >= n.top() && p.y() <= n.bottom();
}

bool VelRectF::contains(const VelRectF &r) const
{
    const VelRectF a = normalized();
    const VelRectF b = r.normalized();
    if (a.isNull() || b.isNull())
        return false;
    return b.left() >= a.left() && b.right() <= a.right() && b.top() >= a.top() &&
           b.bottom() <= a.bottom();
}

bool VelRectF::intersects(const VelRectF &r) const
{
    return !intersected(r).isEmpty();
}

VelRectF VelRectF::intersected(const VelRectF &r) const
{
    const VelRectF a = normalized();
    const VelRectF b = r.normalized();
    if (a.isEmpty() || b.isEmpty())
        return VelRectF();
    const double l = std::max(a.left(), b.left());
    const double t = std::max(a.top(), b.top());
    const double rr = std::min(a.right(), b.right());
    const double bb = std::min(a.bottom(), b.bottom());
    if (l >= rr || t >= bb)
        return VelRectF();
    return VelRectF(l, t, rr - l, bb - t);
}

VelRectF VelRectF::united(const VelRectF &r) const
{
    const VelRectF a = normalized();
    const VelRectF b = r.normalized();
    if (b.isEmpty())
        return a.isEmpty() ? VelRectF() : a;
    if (a.isEmpty())
        return b;
    const double l = std::min(a.left(), b.left());
    const double t = std::min(a.top(), b.top());
    const double rr = std::max(a.right(), b.right());
    const double bb = std::max(a.bottom(), b.bottom());
    return VelRectF(l, t, rr - l, bb - t);
}

VelRect VelRectF::toRect() const
{
    return VelRect(velRound(m_x), velRound(m_y), velRound(m_w), velRound(m_h));
}

VelRect VelRectF::toAlignedRect() const
{
    const int l = floorToInt(m_x);
    const int t = floorToInt(m_y);
    const int r = ceilToInt(m_x + m_w);
    const int b = ceilToInt(m_y + m_h);
    return VelRect(l, t, r - l, b - t);
}

bool operator==(const VelRectF &a, const VelRectF &b)
{
    return fuzzyEqual(a.m_x, b.m_x) && fuzzyEqual(a.m_y, b.m_y) && fuzzyEqual(a.m_w, b.m_w) &&
           fuzzyEqual(a.m_h, b.m_h);
}

VelDebug &operator<<(VelDebug &d, const VelRectF &r)
{
    d.appendRaw(std::string("VelRectF(") + VelByteArray::number(r.x()).constData() + "," +
                VelByteArray::number(r.y()).constData() + " " +
                VelByteArray::number(r.width()).constData() + "x" +
                VelByteArray::number(r.height()).constData() + ")");
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelRectF &r)
{
    d << r;
    return std::move(d);
}
