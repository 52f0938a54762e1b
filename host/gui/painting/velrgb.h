#ifndef VELRGB_H
#define VELRGB_H

#include "velglobal.h"

// A colour as a native-endian 0xAARRGGBB word.
using VelRgb = uint;

constexpr inline int velRed(VelRgb rgb)
{
    return int((rgb >> 16) & 0xff);
}
constexpr inline int velGreen(VelRgb rgb)
{
    return int((rgb >> 8) & 0xff);
}
constexpr inline int velBlue(VelRgb rgb)
{
    return int(rgb & 0xff);
}
constexpr inline int velAlpha(VelRgb rgb)
{
    return int(rgb >> 24);
}

constexpr inline VelRgb velRgb(int r, int g, int b)
{
    return 0xff000000u | (uint(r & 0xff) << 16) | (uint(g & 0xff) << 8) | uint(b & 0xff);
}

constexpr inline VelRgb velRgba(int r, int g, int b, int a)
{
    return (uint(a & 0xff) << 24) | (uint(r & 0xff) << 16) | (uint(g & 0xff) << 8) | uint(b & 0xff);
}

// Luminance weights 11:16:5, the usual integer approximation.
constexpr inline int velGray(int r, int g, int b)
{
    return (r * 11 + g * 16 + b * 5) / 32;
}
constexpr inline int velGray(VelRgb rgb)
{
    return velGray(velRed(rgb), velGreen(rgb), velBlue(rgb));
}

// Rounded c * a / 255 without a division.
constexpr inline uint velMul255(uint c, uint a)
{
    const uint t = c * a + 128;
    return (t + (t >> 8)) >> 8;
}

constexpr inline VelRgb velPremultiply(VelRgb x)
{
    const uint a = x >> 24;
    if (a == 255)
        return x;
    if (a == 0)
        return 0;
    return (a << 24) | (velMul255((x >> 16) & 0xff, a) << 16) |
           (velMul255((x >> 8) & 0xff, a) << 8) | velMul255(x & 0xff, a);
}

constexpr inline VelRgb velUnpremultiply(VelRgb p)
{
    const uint a = p >> 24;
    if (a == 255)
        return p;
    if (a == 0)
        return 0;
    auto un = [a](uint c) {
        const uint v = (c * 255 + a / 2) / a;
        return v > 255 ? 255u : v;
    };
    return (a << 24) | (un((p >> 16) & 0xff) << 16) | (un((p >> 8) & 0xff) << 8) | un(p & 0xff);
}

// 5-6-5 packing rounds to the nearest level; unpacking replicates the high bits
// so that 0x1f and 0x3f map to 255.
constexpr inline ushort velConvertRgb32To16(VelRgb c)
{
    const uint r = (uint(velRed(c)) * 31 + 127) / 255;
    const uint g = (uint(velGreen(c)) * 63 + 127) / 255;
    const uint b = (uint(velBlue(c)) * 31 + 127) / 255;
    return ushort((r << 11) | (g << 5) | b);
}

constexpr inline VelRgb velConvertRgb16To32(ushort c)
{
    const uint r5 = (c >> 11) & 0x1f, g6 = (c >> 5) & 0x3f, b5 = c & 0x1f;
    return velRgb(int((r5 << 3) | (r5 >> 2)), int((g6 << 2) | (g6 >> 4)),
                  int((b5 << 3) | (b5 >> 2)));
}

#endif
