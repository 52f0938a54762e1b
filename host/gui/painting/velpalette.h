#ifndef VELPALETTE_H
#define VELPALETTE_H

#include "velcolor.h"

#include <array>
#include <functional>

// Colours by group (active, disabled, inactive) and role. A value type;
// usable as a hash value and compared by content.
class VelPalette
{
public:
    enum ColorGroup {
        Active = 0,
        Disabled = 1,
        Inactive = 2,
        NColorGroups = 3,
        Current = 4,
        All = 5,
        Normal = Active
    };
    enum ColorRole {
        WindowText = 0,
        Button,
        Light,
        Midlight,
        Dark,
        Mid,
        Text,
        BrightText,
        ButtonText,
        Base,
        Window,
        Shadow,
        Highlight,
        HighlightedText,
        Link,
        LinkVisited,
        AlternateBase,
        NoRole,
        ToolTipBase,
        ToolTipText,
        PlaceholderText,
        NColorRoles = PlaceholderText + 1
    };

    VelPalette();
    explicit VelPalette(const VelColor &button);
    VelPalette(const VelColor &button, const VelColor &window);

    const VelColor &color(ColorGroup group, ColorRole role) const;
    const VelColor &color(ColorRole role) const { return color(m_currentGroup, role); }
    // All groups for group All.
    void setColor(ColorGroup group, ColorRole role, const VelColor &color);
    void setColor(ColorRole role, const VelColor &color) { setColor(All, role, color); }
    ColorGroup currentColorGroup() const { return m_currentGroup; }
    void setCurrentColorGroup(ColorGroup group);
    // Roles set explicitly, one bit each.
    uint resolveMask() const { return m_resolveMask; }

    bool operator==(const VelPalette &o) const { return m_colors == o.m_colors; }
    bool operator!=(const VelPalette &o) const { return !(*this == o); }

private:
    std::array<std::array<VelColor, NColorRoles>, NColorGroups> m_colors;
    ColorGroup m_currentGroup = Active;
    uint m_resolveMask = 0;
};

uint velHash(const VelPalette &palette, uint seed = 0);

#endif
