#include "velfixedpoint.h"

VelFixedPoint VelFixedPoint::fromPointF(const VelPointF &p)
{
    return VelFixedPoint(VelFixed(p.x()), VelFixed(p.y()));
}
