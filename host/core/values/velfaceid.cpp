#include "velfaceid.h"

#include "velhashfunctions.h"

uint velHash(const FaceId &key, uint seed)
{
    uint h = velHashCombine(seed, std::hash<VelByteArray>()(key.filename));
    h = velHashCombine(h, std::hash<VelByteArray>()(key.uuid));
    h = velHashCombine(h, std::hash<int>()(key.index));
    return velHashCombine(h, std::hash<int>()(key.encoding));
}
