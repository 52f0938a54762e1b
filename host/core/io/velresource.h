#ifndef VELRESOURCE_H
#define VELRESOURCE_H

#include "velbytearray.h"
#include "velstring.h"

#include <cstddef>
#include <memory>

// Compiled resources, format version 1.
//
// A compiled resource set is three byte blobs that the resource compiler
// (velrcc) emits as constant arrays: the tree, the names and the data. All
// integers are little-endian.
//
// Tree: an array of 16-byte nodes; node 0 is the root directory.
//   offset 0  u32  name offset into the names blob (ignored for the root)
//   offset 4  u16  flags: 0x1 directory, 0x2 file data is zlib-compressed
//   offset 6  u16  reserved, 0
//   offset 8  u32  directory: number of children; file: offset into the data blob
//   offset 12 u32  directory: index of the first child; file: reserved, 0
// The children of a directory are consecutive nodes sorted by name (UTF-16
// code unit order), so a lookup is a binary search per path component.
//
// Names: at each name offset a u16 count followed by that many UTF-16LE units.
//
// Data: at each file's data offset a u32 stored size followed by the stored
// bytes. A raw file stores its contents. A compressed file stores a u32
// uncompressed size followed by a zlib stream; the compiler compresses a file
// only when that makes the stored bytes smaller.
//
// Registered files are visible under ":/" + their path through VelFile,
// VelFileInfo and VelDir. Several sets may be registered at once; directories
// of the same path merge, and for a file present in two sets the one
// registered last wins.
//
// Registration is reference-counted by the tree's address: registering the
// same data again only raises the count (no duplicate entries), and the data
// stays visible until it has been unregistered as many times as it was
// registered. Both functions are thread-safe and may run in static
// initialisers and destructors. The blobs must stay valid while registered.
bool velRegisterResourceData(int version, const unsigned char *tree, const unsigned char *names,
                             const unsigned char *data);
// The same for blobs whose sizes are known, such as a set read from a file:
// every node index, name, data offset and stored size is checked against
// them, so damaged or hostile blobs read as missing entries instead of
// reading outside the blobs. A tree without a root directory is refused.
// Unregistered with velUnregisterResourceData().
bool velRegisterSizedResourceData(int version, const unsigned char *tree, size_t treeSize,
                                  const unsigned char *names, size_t namesSize,
                                  const unsigned char *data, size_t dataSize);
bool velUnregisterResourceData(int version, const unsigned char *tree, const unsigned char *names,
                               const unsigned char *data);

namespace VelResource
{

enum : int { FormatVersion = 1 };
enum NodeFlag : unsigned { Directory = 0x1, Compressed = 0x2 };

// What a ":/" path resolves to across all registered sets.
struct Entry {
    bool exists = false;
    bool isDir = false;
    bool compressed = false;
    velint64 size = 0; // uncompressed size of a file
    // Contents of a file (decompressed); empty for directories.
    VelByteArray contents() const;

    // Source of a file's bytes; kept alive by the registry's reference count.
    const unsigned char *stored = nullptr;
    veluint32 storedSize = 0;
};

// Path inside the resource tree, without the leading ":" ("/a/b.png").
Entry lookup(const VelString &path);
// Names of a directory's children, merged over all sets, sorted, unique.
VelStringList children(const VelString &path);
// Number of distinct registered sets (for diagnostics and tests).
int registeredSetCount();

} // namespace VelResource

#endif
