#ifndef VELREGION_H
#define VELREGION_H

#include "velmetatype.h"
#include "velrect.h"

#include <vector>

// A set of pixels kept as non-overlapping rectangles in y-x banded form: rows
// with the same horizontal spans share one band, bands are sorted top-down and
// the spans within a band left to right. The form is canonical, so two
// regions covering the same pixels hold the same rectangles.
class VelRegion
{
public:
    VelRegion() = default;
    VelRegion(int x, int y, int w, int h) : VelRegion(VelRect(x, y, w, h)) {}
    VelRegion(const VelRect &r);

    bool isEmpty() const { return m_rects.empty(); }
    bool isNull() const { return m_rects.empty(); }
    int rectCount() const { return int(m_rects.size()); }
    const std::vector<VelRect> &rects() const { return m_rects; }
    const VelRect *begin() const { return m_rects.data(); }
    const VelRect *end() const { return m_rects.data() + m_rects.size(); }
    const VelRect *cbegin() const { return begin(); }
    const VelRect *cend() const { return end(); }
    VelRect boundingRect() const;
    // Replaces the region with the union of the given (possibly overlapping) rectangles.
    void setRects(const VelRect *rects, int count);

    bool contains(const VelPoint &p) const;
    // True when every pixel of r is in the region.
    bool contains(const VelRect &r) const;
    bool intersects(const VelRect &r) const;
    bool intersects(const VelRegion &r) const;

    void translate(int dx, int dy);
    void translate(const VelPoint &p) { translate(p.x(), p.y()); }
    VelRegion translated(int dx, int dy) const;
    VelRegion translated(const VelPoint &p) const { return translated(p.x(), p.y()); }

    VelRegion united(const VelRegion &r) const;
    VelRegion united(const VelRect &r) const { return united(VelRegion(r)); }
    VelRegion intersected(const VelRegion &r) const;
    VelRegion intersected(const VelRect &r) const { return intersected(VelRegion(r)); }
    VelRegion subtracted(const VelRegion &r) const;
    VelRegion xored(const VelRegion &r) const;

    VelRegion &operator|=(const VelRegion &r) { return *this = united(r); }
    VelRegion &operator+=(const VelRegion &r) { return *this = united(r); }
    VelRegion &operator+=(const VelRect &r) { return *this = united(r); }
    VelRegion &operator&=(const VelRegion &r) { return *this = intersected(r); }
    VelRegion &operator&=(const VelRect &r) { return *this = intersected(r); }
    VelRegion &operator-=(const VelRegion &r) { return *this = subtracted(r); }
    VelRegion &operator^=(const VelRegion &r) { return *this = xored(r); }
    friend VelRegion operator|(const VelRegion &a, const VelRegion &b) { return a.united(b); }
    friend VelRegion operator+(const VelRegion &a, const VelRegion &b) { return a.united(b); }
    friend VelRegion operator+(const VelRegion &a, const VelRect &b) { return a.united(b); }
    friend VelRegion operator&(const VelRegion &a, const VelRegion &b) { return a.intersected(b); }
    friend VelRegion operator&(const VelRegion &a, const VelRect &b) { return a.intersected(b); }
    friend VelRegion operator-(const VelRegion &a, const VelRegion &b) { return a.subtracted(b); }
    friend VelRegion operator^(const VelRegion &a, const VelRegion &b) { return a.xored(b); }
    friend bool operator==(const VelRegion &a, const VelRegion &b)
    {
        return a.m_rects == b.m_rects;
    }
    friend bool operator!=(const VelRegion &a, const VelRegion &b) { return !(a == b); }

private:
    std::vector<VelRect> m_rects;
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelRegion &r);
VelDebug &&operator<<(VelDebug &&d, const VelRegion &r);

VEL_DECLARE_METATYPE(VelRegion)

#endif
