#include "velvector2d.h"

#include <cmath>

float VelVector2D::length() const
{
    return float(std::hypot(double(m_x), double(m_y)));
}

VelVector2D VelVector2D::normalized() const
{
    const double len = std::hypot(double(m_x), double(m_y));
    if (len == 0.0)
        return VelVector2D();
    return VelVector2D(float(m_x / len), float(m_y / len));
}

VelPoint VelVector2D::toPoint() const
{
    return VelPoint(velRound(m_x), velRound(m_y));
}
