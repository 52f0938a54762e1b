#include "velpainterpath.h"

#include <algorithm>
#include <cmath>

namespace
{

VelPointF cubicPoint(const VelPointF &p0, const VelPointF &p1, const VelPointF &p2,
                     const VelPointF &p3, double t)
{
    const double u = 1 - t;
    return p0 * (u * u * u) + p1 * (3 * u * u * t) + p2 * (3 * u * t * t) + p3 * (t * t * t);
}

// Parameters in (0, 1) where one coordinate of a cubic has a zero derivative.
void cubicExtrema(double a, double b, double c, double d, std::vector<double> &ts)
{
    // Derivative / 3: (b - a)(1-t)^2 + 2(c - b)(1-t)t + (d - c)t^2 as A t^2 + B t + C.
    const double A = (b - a) - 2 * (c - b) + (d - c);
    const double B = 2 * ((c - b) - (b - a));
    const double C = b - a;
    auto keep = [&ts](double t) {
        if (t > 0 && t < 1)
            ts.push_back(t);
    };
    if (std::fabs(A) < 1e-12) {
        if (std::fabs(B) > 1e-12)
            keep(-C / B);
        return;
    }
    const double disc = B * B - 4 * A * C;
    if (disc < 0)
        return;
    const double root = std::sqrt(disc);
    keep((-B + root) / (2 * A));
    keep((-B - root) / (2 * A));
}

void flattenCubic(const VelPointF &p0, const VelPointF &p1, const VelPointF &p2,
                  const VelPointF &p3, double tolerance, std::vector<VelPointF> &out)
{
    // The control polygon's deviation bounds the curve's distance from its chord.
    const double dd =
        std::max({std::hypot(p0.x() - 2 * p1.x() + p2.x(), p0.y() - 2 * p1.y() + p2.y()),
                  std::hypot(p1.x() - 2 * p2.x() + p3.x(), p1.y() - 2 * p2.y() + p3.y())});
    int segments = int(std::ceil(std::sqrt(0.75 * dd / tolerance)));
    segments = std::clamp(segments, 1, 1000);
    for (int i = 1; i <= segments; ++i)
        out.push_back(cubicPoint(p0, p1, p2, p3, double(i) / segments));
}

} // namespace

void VelPainterPath::ensureMoveTo()
{
    if (m_subpathStart < 0)
        moveTo(m_restartPoint);
}

void VelPainterPath::moveTo(const VelPointF &p)
{
    // Consecutive moves collapse: an empty sub-path has no outline.
    if (!m_elements.empty() && m_elements.back().isMoveTo()) {
        m_elements.back().x = p.x();
        m_elements.back().y = p.y();
        m_subpathStart = int(m_elements.size()) - 1;
        m_restartPoint = p;
        return;
    }
    m_subpathStart = int(m_elements.size());
    m_restartPoint = p;
    m_elements.push_back({p.x(), p.y(), MoveToElement});
}

void VelPainterPath::lineTo(const VelPointF &p)
{
    ensureMoveTo();
    m_elements.push_back({p.x(), p.y(), LineToElement});
}

void VelPainterPath::quadTo(const VelPointF &c, const VelPointF &end)
{
    ensureMoveTo();
    const VelPointF start = currentPosition();
    cubicTo(start + (c - start) * (2.0 / 3.0), end + (c - end) * (2.0 / 3.0), end);
}

void VelPainterPath::cubicTo(const VelPointF &c1, const VelPointF &c2, const VelPointF &end)
{
    ensureMoveTo();
    m_elements.push_back({c1.x(), c1.y(), CurveToElement});
    m_elements.push_back({c2.x(), c2.y(), CurveToDataElement});
    m_elements.push_back({end.x(), end.y(), CurveToDataElement});
}

void VelPainterPath::closeSubpath()
{
    if (m_subpathStart < 0 || m_elements.empty())
        return;
    const Element start = m_elements[size_t(m_subpathStart)];
    const Element &last = m_elements.back();
    if (last.x != start.x || last.y != start.y)
        m_elements.push_back({start.x, start.y, LineToElement});
    // The next drawing call starts a new sub-path at the same point.
    m_subpathStart = -1;
    m_restartPoint = VelPointF(start.x, start.y);
}

void VelPainterPath::addRect(const VelRectF &r)
{
    moveTo(r.x(), r.y());
    lineTo(r.x() + r.width(), r.y());
    lineTo(r.x() + r.width(), r.y() + r.height());
    lineTo(r.x(), r.y() + r.height());
    closeSubpath();
}

void VelPainterPath::addPath(const VelPainterPath &other)
{
    for (const Element &e : other.m_elements) {
        switch (e.type) {
        case MoveToElement:
            moveTo(e.x, e.y);
            break;
        case LineToElement:
            lineTo(e.x, e.y);
            break;
        default:
            ensureMoveTo();
            m_elements.push_back(e);
            break;
        }
    }
}

VelPointF VelPainterPath::currentPosition() const
{
    return m_elements.empty() ? VelPointF() : VelPointF(m_elements.back().x, m_elements.back().y);
}

VelRectF VelPainterPath::controlPointRect() const
{
    if (isEmpty())
        return VelRectF();
    double minX = m_elements[0].x, maxX = minX, minY = m_elements[0].y, maxY = minY;
    for (const Element &e : m_elements) {
        minX = std::min(minX, e.x);
        maxX = std::max(maxX, e.x);
        minY = std::min(minY, e.y);
        maxY = std::max(maxY, e.y);
    }
    return VelRectF(minX, minY, maxX - minX, maxY - minY);
}

VelRectF VelPainterPath::boundingRect() const
{
    if (isEmpty())
        return VelRectF();
    double minX = m_elements[0].x, maxX = minX, minY = m_elements[0].y, maxY = minY;
    auto include = [&](const VelPointF &p) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    };
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const Element &e = m_elements[i];
        if (e.type != CurveToElement) {
            if (e.type != CurveToDataElement)
                include(e);
            continue;
        }
        const VelPointF p0 = m_elements[i - 1];
        const VelPointF p1 = e, p2 = m_elements[i + 1], p3 = m_elements[i + 2];
        include(p3);
        std::vector<double> ts;
        cubicExtrema(p0.x(), p1.x(), p2.x(), p3.x(), ts);
        cubicExtrema(p0.y(), p1.y(), p2.y(), p3.y(), ts);
        for (double t : ts)
            include(cubicPoint(p0, p1, p2, p3, t));
        i += 2;
    }
    return VelRectF(minX, minY, maxX - minX, maxY - minY);
}

void VelPainterPath::translate(double dx, double dy)
{
    for (Element &e : m_elements) {
        e.x += dx;
        e.y += dy;
    }
}

VelPainterPath VelPainterPath::translated(double dx, double dy) const
{
    VelPainterPath copy = *this;
    copy.translate(dx, dy);
    return copy;
}

std::vector<std::vector<VelPointF>> VelPainterPath::toSubpathPolygons(double tolerance) const
{
    std::vector<std::vector<VelPointF>> polygons;
    std::vector<VelPointF> current;
    auto flush = [&]() {
        if (current.size() > 1) {
            if (current.front() != current.back())
                current.push_back(current.front());
            polygons.push_back(std::move(current));
        }
        current.clear();
    };
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const Element &e = m_elements[i];
        switch (e.type) {
        case MoveToElement:
            flush();
            current.push_back(e);
            break;
        case LineToElement:
            current.push_back(e);
            break;
        case CurveToElement:
            flattenCubic(current.empty() ? VelPointF() : current.back(), e, m_elements[i + 1],
                         m_elements[i + 2], tolerance, current);
            i += 2;
            break;
        case CurveToDataElement:
            break;
        }
    }
    flush();
    return polygons;
}

void vel_addBitmapToPath(double x, double y, const uchar *buffer, int pitch, int width, int rows,
                         VelPainterPath *path)
{
    if (!buffer || !path)
        return;
    for (int row = 0; row < rows; ++row) {
        const uchar *line = buffer + (long long)row * pitch;
        int col = 0;
        while (col < width) {
            if (!((line[col >> 3] >> (7 - (col & 7))) & 1)) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < width && ((line[col >> 3] >> (7 - (col & 7))) & 1))
                ++col;
            path->addRect(x + start, y + row, col - start, 1);
        }
    }
}
