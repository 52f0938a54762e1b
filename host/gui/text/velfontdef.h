#ifndef VELFONTDEF_H
#define VELFONTDEF_H

#include "velstring.h"

#include <functional>

// A font request or the description of what an engine renders.
struct VelFontDef {
    enum StyleStrategy : uint {
        PreferDefault = 0x0001,
        PreferBitmap = 0x0002,
        PreferDevice = 0x0004,
        PreferOutline = 0x0008,
        ForceOutline = 0x0010,
        PreferMatch = 0x0020,
        PreferQuality = 0x0040,
        PreferAntialias = 0x0080,
        NoAntialias = 0x0100,
        ForceIntegerMetrics = 0x0400,
        NoSubpixelAntialias = 0x0800,
        NoFontMerging = 0x8000
    };
    enum Weight {
        Thin = 0,
        ExtraLight = 12,
        Light = 25,
        Normal = 50,
        Medium = 57,
        DemiBold = 63,
        Bold = 75,
        ExtraBold = 81,
        Black = 87
    };
    enum Style { StyleNormal = 0, StyleItalic = 1, StyleOblique = 2 };
    enum Stretch { Unstretched = 100 };
    enum StyleHint {
        Helvetica = 0,
        SansSerif = Helvetica,
        Times = 1,
        Serif = Times,
        Courier = 2,
        TypeWriter = Courier,
        OldEnglish = 3,
        Decorative = OldEnglish,
        System = 4,
        AnyStyle = 5,
        Cursive = 6,
        Monospace = 7,
        Fantasy = 8
    };
    enum HintingPreference {
        PreferDefaultHinting = 0,
        PreferNoHinting = 1,
        PreferVerticalHinting = 2,
        PreferFullHinting = 3
    };

    VelString family;
    VelString styleName;
    VelStringList fallBackFamilies;
    double pointSize = -1;
    double pixelSize = -1;
    uint styleStrategy = PreferDefault;
    uint styleHint = AnyStyle;
    int weight = Normal;
    int style = StyleNormal;
    int stretch = Unstretched;
    int hintingPreference = PreferDefaultHinting;
    bool fixedPitch = false;
    bool ignorePitch = true;

    bool exactMatch(const VelFontDef &other) const;
    bool operator==(const VelFontDef &other) const;
    bool operator!=(const VelFontDef &other) const { return !(*this == other); }
    bool operator<(const VelFontDef &other) const;
};

uint velHash(const VelFontDef &def, uint seed = 0);

namespace std
{
template <> struct hash<VelFontDef> {
    size_t operator()(const VelFontDef &d) const noexcept { return velHash(d); }
};
} // namespace std

#endif
