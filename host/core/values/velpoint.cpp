#include "velpoint.h"

#include "vellogging.h"

#include <cstdlib>

int VelPoint::manhattanLength() const
{
    return std::abs(m_x) + std::abs(m_y);
}

VelPoint &VelPoint::operator*=(double factor)
{
    m_x = velRound(m_x * factor);
    m_y = velRound(m_y * factor);
    return *this;
}

VelPoint &VelPoint::operator/=(double divisor)
{
    m_x = velRound(m_x / divisor);
    m_y = velRound(m_y / divisor);
    return *this;
}

VelDebug &operator<<(VelDebug &d, const VelPoint &p)
{
    d.appendRaw("VelPoint(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")");
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelPoint &p)
{
    d << p;
    return std::move(d);
}
