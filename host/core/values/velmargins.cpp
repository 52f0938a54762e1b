#include "velmargins.h"

VelMargins &VelMargins::operator+=(const VelMargins &m)
{
    m_left += m.m_left;
    m_top += m.m_top;
    m_right += m.m_right;
    m_bottom += m.m_bottom;
    return *this;
}

VelMargins &VelMargins::operator-=(const VelMargins &m)
{
    m_left -= m.m_left;
    m_top -= m.m_top;
    m_right -= m.m_right;
    m_bottom -= m.m_bottom;
    return *this;
}
