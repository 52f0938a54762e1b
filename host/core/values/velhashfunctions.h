#ifndef VELHASHFUNCTIONS_H
#define VELHASHFUNCTIONS_H

#include "velglobal.h"

#include <functional>
#include <type_traits>
#include <utility>

namespace VelPrivate
{

template <typename K, typename = void> struct HasVelHash : std::false_type {
};
template <typename K>
struct HasVelHash<K, std::void_t<decltype(velHash(std::declval<const K &>()))>> : std::true_type {
};

} // namespace VelPrivate

// The hasher of the host's hashed containers: a key type's own velHash()
// (found by argument-dependent lookup) when it has one, else std::hash.
template <typename K> struct VelHasher {
    size_t operator()(const K &key) const
    {
        if constexpr (VelPrivate::HasVelHash<K>::value)
            return size_t(velHash(key));
        else
            return std::hash<K>()(key);
    }
};

// Combines a value's hash into a running seed (for composite keys).
inline uint velHashCombine(uint seed, size_t hash)
{
    return seed ^ uint(hash + 0x9e3779b9u + (seed << 6) + (seed >> 2));
}

#endif
