#include "velpalette.h"

namespace
{

VelColor shade(const VelColor &c, int percent)
{
    auto scale = [percent](int v) { return velBound(0, v * percent / 100, 255); };
    return VelColor(scale(c.red()), scale(c.green()), scale(c.blue()), c.alpha());
}

} // namespace

VelPalette::VelPalette() : VelPalette(VelColor(0xef, 0xef, 0xef), VelColor(0xef, 0xef, 0xef)) {}

VelPalette::VelPalette(const VelColor &button) : VelPalette(button, button) {}

VelPalette::VelPalette(const VelColor &button, const VelColor &window)
{
    const VelColor black(0, 0, 0), white(255, 255, 255), gray(0x80, 0x80, 0x80);
    for (int g = 0; g < NColorGroups; ++g) {
        auto &c = m_colors[size_t(g)];
        const bool disabled = g == Disabled;
        c[WindowText] = disabled ? gray : black;
        c[Button] = button;
        c[Light] = shade(button, 150);
        c[Midlight] = shade(button, 125);
        c[Dark] = shade(button, 50);
        c[Mid] = shade(button, 67);
        c[Text] = disabled ? gray : black;
        c[BrightText] = white;
        c[ButtonText] = disabled ? gray : black;
        c[Base] = disabled ? window : white;
        c[Window] = window;
        c[Shadow] = black;
        c[Highlight] = VelColor(0x30, 0x8c, 0xc6);
        c[HighlightedText] = white;
        c[Link] = VelColor(0, 0, 255);
        c[LinkVisited] = VelColor(255, 0, 255);
        c[AlternateBase] = shade(window, 95);
        c[NoRole] = VelColor();
        c[ToolTipBase] = VelColor(255, 255, 220);
        c[ToolTipText] = black;
        c[PlaceholderText] = gray;
    }
}

const VelColor &VelPalette::color(ColorGroup group, ColorRole role) const
{
    static const VelColor invalid;
    if (group == Current)
        group = m_currentGroup;
    if (group < 0 || group >= NColorGroups || role < 0 || role >= NColorRoles)
        return invalid;
    return m_colors[size_t(group)][size_t(role)];
}

void VelPalette::setColor(ColorGroup group, ColorRole role, const VelColor &color)
{
    if (role < 0 || role >= NColorRoles)
        return;
    if (group == Current)
        group = m_currentGroup;
    if (group == All) {
        for (auto &g : m_colors)
            g[size_t(role)] = color;
    } else if (group >= 0 && group < NColorGroups) {
        m_colors[size_t(group)][size_t(role)] = color;
    } else {
        return;
    }
    m_resolveMask |= 1u << role;
}

void VelPalette::setCurrentColorGroup(ColorGroup group)
{
    if (group >= 0 && group < NColorGroups)
        m_currentGroup = group;
}

uint velHash(const VelPalette &palette, uint seed)
{
    uint h = seed;
    for (int g = 0; g < VelPalette::NColorGroups; ++g)
        for (int r = 0; r < VelPalette::NColorRoles; ++r)
            h = h * 31u + palette.color(VelPalette::ColorGroup(g), VelPalette::ColorRole(r)).rgba();
    return h;
}
