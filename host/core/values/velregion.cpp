#include "velregion.h"

#include "vellogging.h"

#include <algorithm>

namespace
{

// Coordinates are handled half-open and 64-bit inside the sweep, so a
// rectangle touching INT_MAX does not overflow its exclusive edge.
struct Span {
    velint64 x1;
    velint64 x2;
    bool operator==(const Span &o) const { return x1 == o.x1 && x2 == o.x2; }
};
using Spans = std::vector<Span>;

enum class Op { Unite, Intersect, Subtract, Xor };

bool keep(Op op, bool inA, bool inB)
{
    switch (op) {
    case Op::Unite:
        return inA || inB;
    case Op::Intersect:
        return inA && inB;
    case Op::Subtract:
        return inA && !inB;
    case Op::Xor:
        return inA != inB;
    }
    return false;
}

velint64 exclusiveRight(const VelRect &r)
{
    return velint64(r.right()) + 1;
}

velint64 exclusiveBottom(const VelRect &r)
{
    return velint64(r.bottom()) + 1;
}

// The merged horizontal spans of every rectangle covering the row y.
Spans spansAt(const std::vector<VelRect> &rects, velint64 y)
{
    Spans spans;
    for (const VelRect &r : rects) {
        if (r.top() <= y && exclusiveBottom(r) > y)
            spans.push_back({r.left(), exclusiveRight(r)});
    }
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.x1 < b.x1; });
    Spans merged;
    for (const Span &s : spans) {
        if (!merged.empty() && s.x1 <= merged.back().x2)
            merged.back().x2 = std::max(merged.back().x2, s.x2);
        else
            merged.push_back(s);
    }
    return merged;
}

bool covers(const Spans &spans, velint64 x)
{
    for (const Span &s : spans) {
        if (x >= s.x1 && x < s.x2)
            return true;
    }
    return false;
}

Spans combine(const Spans &a, const Spans &b, Op op)
{
    std::vector<velint64> edges;
    for (const Span &s : a) {
        edges.push_back(s.x1);
        edges.push_back(s.x2);
    }
    for (const Span &s : b) {
        edges.push_back(s.x1);
        edges.push_back(s.x2);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    Spans out;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const velint64 x0 = edges[i];
        if (!keep(op, covers(a, x0), covers(b, x0)))
            continue;
        if (!out.empty() && out.back().x2 == x0)
            out.back().x2 = edges[i + 1];
        else
            out.push_back({x0, edges[i + 1]});
    }
    return out;
}

void addBandEdges(const std::vector<VelRect> &rects, std::vector<velint64> &ys)
{
    for (const VelRect &r : rects) {
        ys.push_back(r.top());
        ys.push_back(exclusiveBottom(r));
    }
}

// Sweeps the horizontal bands between all top and bottom edges; a band whose
// spans equal those of the band right above it extends that band's rectangles.
std::vector<VelRect> apply(const std::vector<VelRect> &a, const std::vector<VelRect> &b, Op op)
{
    std::vector<velint64> ys;
    addBandEdges(a, ys);
    addBandEdges(b, ys);
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<VelRect> out;
    Spans previous;
    velint64 previousEnd = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const velint64 y0 = ys[i];
        const velint64 y1 = ys[i + 1];
        const Spans spans = combine(spansAt(a, y0), spansAt(b, y0), op);
        if (spans.empty()) {
            previous.clear();
            continue;
        }
        if (!previous.empty() && previousEnd == y0 && spans == previous) {
            for (size_t k = out.size() - spans.size(); k < out.size(); ++k)
                out[k].setBottom(int(y1 - 1));
        } else {
            for (const Span &s : spans)
                out.push_back(
                    VelRect(VelPoint(int(s.x1), int(y0)), VelPoint(int(s.x2 - 1), int(y1 - 1))));
        }
        previous = spans;
        previousEnd = y1;
    }
    return out;
}

} // namespace

VelRegion::VelRegion(const VelRect &r)
{
    const VelRect n = r.normalized();
    if (!n.isEmpty())
        m_rects.push_back(n);
}

VelRect VelRegion::boundingRect() const
{
    VelRect bounds;
    for (const VelRect &r : m_rects)
        bounds = bounds.united(r);
    return bounds;
}

void VelRegion::setRects(const VelRect *rects, int count)
{
    std::vector<VelRect> input;
    for (int i = 0; i < count; ++i) {
        const VelRect n = rects[i].normalized();
        if (!n.isEmpty())
            input.push_back(n);
    }
    m_rects = apply(input, {}, Op::Unite);
}

bool VelRegion::contains(const VelPoint &p) const
{
    for (const VelRect &r : m_rects) {
        if (r.contains(p))
            return true;
    }
    return false;
}

bool VelRegion::contains(const VelRect &r) const
{
    if (r.normalized().isEmpty())
        return false;
    return VelRegion(r).subtracted(*this).isEmpty();
}

bool VelRegion::intersects(const VelRect &r) const
{
    for (const VelRect &mine : m_rects) {
        if (mine.intersects(r))
            return true;
    }
    return false;
}

bool VelRegion::intersects(const VelRegion &r) const
{
    for (const VelRect &theirs : r.m_rects) {
        if (intersects(theirs))
            return true;
    }
    return false;
}

void VelRegion::translate(int dx, int dy)
{
    for (VelRect &r : m_rects)
        r.translate(dx, dy);
}

VelRegion VelRegion::translated(int dx, int dy) const
{
    VelRegion r = *this;
    r.translate(dx, dy);
    return r;
}

VelRegion VelRegion::united(const VelRegion &r) const
{
    if (r.isEmpty())
        return *this;
    if (isEmpty())
        return r;
    VelRegion out;
    out.m_rects = apply(m_rects, r.m_rects, Op::Unite);
    return out;
}

VelRegion VelRegion::intersected(const VelRegion &r) const
{
    VelRegion out;
    if (!isEmpty() && !r.isEmpty())
        out.m_rects = apply(m_rects, r.m_rects, Op::Intersect);
    return out;
}

VelRegion VelRegion::subtracted(const VelRegion &r) const
{
    if (isEmpty() || r.isEmpty())
        return *this;
    VelRegion out;
    out.m_rects = apply(m_rects, r.m_rects, Op::Subtract);
    return out;
}

VelRegion VelRegion::xored(const VelRegion &r) const
{
    VelRegion out;
    out.m_rects = apply(m_rects, r.m_rects, Op::Xor);
    return out;
}

VelDebug &operator<<(VelDebug &d, const VelRegion &r)
{
    d.appendRaw("VelRegion(");
    d.nospace();
    bool first = true;
    for (const VelRect &rect : r) {
        if (!first)
            d.appendRaw(", ");
        first = false;
        d << rect;
    }
    d.appendRaw(")");
    d.space();
    return d;
}

VelDebug &&operator<<(VelDebug &&d, const VelRegion &r)
{
    d << r;
    return std::move(d);
}
