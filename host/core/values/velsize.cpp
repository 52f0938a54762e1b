#include "velsize.h"

#include "vellogging.h"

#include <utility>

void VelSize::transpose()
{
    std::swap(m_w, m_h);
}

VelSize &VelSize::operator*=(double factor)
{
    m_w = velRound(m_w * factor);
    m_h = velRound(m_h * factor);
    return *this;
}

VelSize &VelSize::operator/=(double divisor)
{
    m_w = velRound(m_w / divisor);
    m_h = velRound(m_h / divisor);
    return *this;
}

VelDebug &operator<<(VelDebug &d, const VelSize &s)
{
    d.appendRaw("VelSize(" + std::to_string(s.width()) + ", " + std::to_string(s.height()) + ")");
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelSize &s)
{
    d << s;
    return std::move(d);
}
