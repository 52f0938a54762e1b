#include "velpointf.h"

#include "vellogging.h"

#include <cmath>

namespace
{
bool fuzzyEqual(double a, double b)
{
    if (velFuzzyIsNull(a) || velFuzzyIsNull(b))
        return velFuzzyIsNull(a - b);
    return velFuzzyCompare(a, b);
}
} // namespace

bool VelPointF::isNull() const
{
    return velFuzzyIsNull(m_x) && velFuzzyIsNull(m_y);
}

double VelPointF::manhattanLength() const
{
    return std::fabs(m_x) + std::fabs(m_y);
}

VelPoint VelPointF::toPoint() const
{
    return VelPoint(velRound(m_x), velRound(m_y));
}

bool operator==(const VelPointF &a, const VelPointF &b)
{
    return fuzzyEqual(a.m_x, b.m_x) && fuzzyEqual(a.m_y, b.m_y);
}

VelDebug &operator<<(VelDebug &d, const VelPointF &p)
{
    d.appendRaw(std::string("VelPointF(") + VelByteArray::number(p.x()).constData() + "," +
                VelByteArray::number(p.y()).constData() + ")");
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelPointF &p)
{
    d << p;
    return std::move(d);
}
