#ifndef VELFIXEDPOINT_H
#define VELFIXEDPOINT_H

#include "velfixed.h"
#include "velpointf.h"

// A point in 26.6 fixed point (glyph offsets in a layout).
struct VelFixedPoint {
    VelFixed x;
    VelFixed y;

    constexpr VelFixedPoint() = default;
    constexpr VelFixedPoint(VelFixed px, VelFixed py) : x(px), y(py) {}
    static VelFixedPoint fromPointF(const VelPointF &p);
    VelPointF toPointF() const { return VelPointF(x.toReal(), y.toReal()); }

    friend VelFixedPoint operator+(const VelFixedPoint &a, const VelFixedPoint &b)
    {
        return VelFixedPoint(a.x + b.x, a.y + b.y);
    }
    friend VelFixedPoint operator-(const VelFixedPoint &a, const VelFixedPoint &b)
    {
        return VelFixedPoint(a.x - b.x, a.y - b.y);
    }
    friend VelFixedPoint operator*(const VelFixedPoint &a, VelFixed f)
    {
        return VelFixedPoint(a.x * f, a.y * f);
    }
    friend constexpr bool operator==(const VelFixedPoint &a, const VelFixedPoint &b)
    {
        return a.x == b.x && a.y == b.y;
    }
    friend constexpr bool operator!=(const VelFixedPoint &a, const VelFixedPoint &b)
    {
        return !(a == b);
    }
};

#endif
