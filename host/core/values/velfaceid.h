#ifndef VELFACEID_H
#define VELFACEID_H

#include "velbytearray.h"
#include "velmetatype.h"

#include <functional>

// The key of a font face: file name, uuid (a fresh random text for fonts
// loaded from memory, empty for files), index within the file and encoding.
//
// Equality and hash both cover all four fields. Comparing only file name,
// index and encoding would make two memory fonts (same empty file name,
// index 0) equal keys and let them share one face; with the uuid compared,
// each memory font keeps its own face while file faces (empty uuid) match
// exactly as by name, index and encoding. Equal keys always hash alike.
struct FaceId {
    VelByteArray filename;
    VelByteArray uuid;
    int index = 0;
    int encoding = 0;

    FaceId() = default;
    FaceId(const VelByteArray &file, int faceIndex = 0, int faceEncoding = 0)
        : filename(file), index(faceIndex), encoding(faceEncoding)
    {
    }

    friend bool operator==(const FaceId &a, const FaceId &b)
    {
        return a.filename == b.filename && a.uuid == b.uuid && a.index == b.index &&
               a.encoding == b.encoding;
    }
    friend bool operator!=(const FaceId &a, const FaceId &b) { return !(a == b); }
};

uint velHash(const FaceId &key, uint seed = 0);

namespace std
{
template <> struct hash<FaceId> {
    size_t operator()(const FaceId &f) const noexcept { return velHash(f); }
};
} // namespace std

VEL_DECLARE_METATYPE(FaceId)

#endif
