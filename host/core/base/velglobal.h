#ifndef VELGLOBAL_H
#define VELGLOBAL_H

#include <cstddef>
#include <cstdint>

// Basic integer aliases and enumerations shared by the whole host layer.
using velint8 = std::int8_t;
using veluint8 = std::uint8_t;
using velint16 = std::int16_t;
using veluint16 = std::uint16_t;
using velint32 = std::int32_t;
using veluint32 = std::uint32_t;
using velint64 = std::int64_t;
using veluint64 = std::uint64_t;
using velreal = double;
using veluintptr = std::uintptr_t;
using velptrdiff = std::ptrdiff_t;
using uchar = unsigned char;
using uint = unsigned int;
using ushort = unsigned short;
using ulong = unsigned long;

namespace Vel
{
enum CaseSensitivity { CaseInsensitive = 0, CaseSensitive = 1 };
enum SplitBehavior { KeepEmptyParts = 0, SkipEmptyParts = 1 };
} // namespace Vel

#define VEL_DISABLE_COPY(Class)                                                                    \
    Class(const Class &) = delete;                                                                 \
    Class &operator=(const Class &) = delete;

#define VEL_UNUSED(x) (void)(x)

template <typename T> inline const T &velMin(const T &a, const T &b)
{
    return (a < b) ? a : b;
}
template <typename T> inline const T &velMax(const T &a, const T &b)
{
    return (a < b) ? b : a;
}
template <typename T> inline const T &velBound(const T &lo, const T &v, const T &hi)
{
    return velMax(lo, velMin(v, hi));
}
inline int velRound(double d)
{
    return d >= 0.0 ? int(d + 0.5) : int(d - 0.5);
}
inline bool velFuzzyCompare(double a, double b)
{
    const double d = a - b;
    const double ma = a < 0 ? -a : a;
    const double mb = b < 0 ? -b : b;
    return (d < 0 ? -d : d) * 1000000000000. <= (ma < mb ? ma : mb);
}
inline bool velFuzzyIsNull(double d)
{
    return (d < 0 ? -d : d) <= 0.000000000001;
}

#endif
