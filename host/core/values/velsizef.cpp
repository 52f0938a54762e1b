#include "velsizef.h"

#include "vellogging.h"

namespace
{
bool fuzzyEqual(double a, double b)
{
    if (velFuzzyIsNull(a) || velFuzzyIsNull(b))
        return velFuzzyIsNull(a - b);
    return velFuzzyCompare(a, b);
}
} // namespace

bool VelSizeF::isNull() const
{
    return velFuzzyIsNull(m_w) && velFuzzyIsNull(m_h);
}

VelSize VelSizeF::toSize() const
{
    return VelSize(velRound(m_w), velRound(m_h));
}

bool operator==(const VelSizeF &a, const VelSizeF &b)
{
    return fuzzyEqual(a.m_w, b.m_w) && fuzzyEqual(a.m_h, b.m_h);
}

VelDebug &operator<<(VelDebug &d, const VelSizeF &s)
{
    d.appendRaw(std::string("VelSizeF(") + VelByteArray::number(s.width()).constData() + ", " +
                VelByteArray::number(s.height()).constData() + ")");
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelSizeF &s)
{
    d << s;
    return std::move(d);
}
