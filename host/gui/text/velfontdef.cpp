#include "velfontdef.h"

#include <cmath>
#include <tuple>

namespace
{

auto comparable(const VelFontDef &d)
{
    return std::make_tuple(d.pixelSize, d.pointSize, d.weight, d.style, d.stretch, d.styleHint,
                           d.styleStrategy, d.hintingPreference, d.fixedPitch, d.ignorePitch,
                           d.family.toCaseFolded(), d.styleName, d.fallBackFamilies);
}

} // namespace

bool VelFontDef::exactMatch(const VelFontDef &other) const
{
    return family.toCaseFolded() == other.family.toCaseFolded() && pixelSize == other.pixelSize &&
           weight == other.weight && style == other.style && stretch == other.stretch &&
           (ignorePitch || other.ignorePitch || fixedPitch == other.fixedPitch);
}

bool VelFontDef::operator==(const VelFontDef &other) const
{
    return comparable(*this) == comparable(other);
}

bool VelFontDef::operator<(const VelFontDef &other) const
{
    return comparable(*this) < comparable(other);
}

uint velHash(const VelFontDef &d, uint seed)
{
    uint h = velHash(d.family.toCaseFolded(), seed);
    auto mix = [&h](uint v) { h = h * 31u + v; };
    mix(uint(std::lround(d.pixelSize * 64)));
    mix(uint(std::lround(d.pointSize * 64)));
    mix(uint(d.weight));
    mix(uint(d.style));
    mix(uint(d.stretch));
    mix(d.styleHint);
    mix(d.styleStrategy);
    mix(uint(d.hintingPreference));
    mix(velHash(d.styleName));
    return h;
}
