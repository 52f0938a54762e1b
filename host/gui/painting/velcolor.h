#ifndef VELCOLOR_H
#define VELCOLOR_H

#include "velrgb.h"

// An 8-bit-per-channel colour value; invalid until given a colour.
class VelColor
{
public:
    constexpr VelColor() = default;
    constexpr VelColor(int r, int g, int b, int a = 255)
        : m_rgba(velRgba(r, g, b, a)), m_valid(true)
    {
    }
    constexpr VelColor(VelRgb rgba, bool /*hasAlpha*/) : m_rgba(rgba), m_valid(true) {}
    static constexpr VelColor fromRgba(VelRgb rgba) { return VelColor(rgba, true); }
    static constexpr VelColor fromRgb(VelRgb rgb) { return VelColor(rgb | 0xff000000u, true); }

    constexpr bool isValid() const { return m_valid; }
    constexpr int red() const { return velRed(m_rgba); }
    constexpr int green() const { return velGreen(m_rgba); }
    constexpr int blue() const { return velBlue(m_rgba); }
    constexpr int alpha() const { return velAlpha(m_rgba); }
    constexpr VelRgb rgba() const { return m_rgba; }
    constexpr VelRgb rgb() const { return m_rgba | 0xff000000u; }
    constexpr VelRgb premultiplied() const { return velPremultiply(m_rgba); }
    void setRgba(VelRgb rgba)
    {
        m_rgba = rgba;
        m_valid = true;
    }
    void setAlpha(int a) { m_rgba = velRgba(red(), green(), blue(), a); }

    constexpr bool operator==(const VelColor &o) const
    {
        return m_valid == o.m_valid && m_rgba == o.m_rgba;
    }
    constexpr bool operator!=(const VelColor &o) const { return !(*this == o); }

private:
    VelRgb m_rgba = 0xff000000u;
    bool m_valid = false;
};

namespace Vel
{
enum GlobalColor {
    color0,
    color1,
    black,
    white,
    darkGray,
    gray,
    lightGray,
    red,
    green,
    blue,
    transparent = 19
};
}

#endif
