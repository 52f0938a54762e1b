#include "velresource.h"

#include "vellogging.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <vector>

namespace
{

const size_t NodeSize = 16;
// The size given for blobs registered without one (velrcc's arrays, trusted).
const size_t Unbounded = std::numeric_limits<size_t>::max();
// Deflate cannot expand by more than this factor; a stored size claiming more
// is damage, and would otherwise allocate gigabytes for a few input bytes.
const veluint64 MaxDeflateRatio = 1032;

veluint32 readU32(const unsigned char *p)
{
    return veluint32(p[0]) | (veluint32(p[1]) << 8) | (veluint32(p[2]) << 16) |
           (veluint32(p[3]) << 24);
}

veluint16 readU16(const unsigned char *p)
{
    return veluint16(p[0] | (p[1] << 8));
}

// Whether [offset, offset + length) lies inside a blob of size bytes.
bool within(size_t size, veluint64 offset, veluint64 length)
{
    return offset <= size && length <= size - offset;
}

struct ResourceSet {
    const unsigned char *tree;
    size_t treeSize;
    const unsigned char *names;
    size_t namesSize;
    const unsigned char *data;
    size_t dataSize;
    int refCount;

    bool hasNode(veluint32 index) const
    {
        return within(treeSize, veluint64(index) * NodeSize, NodeSize);
    }
    const unsigned char *node(veluint32 index) const { return tree + size_t(index) * NodeSize; }
    bool isDir(veluint32 index) const
    {
        return hasNode(index) && (readU16(node(index) + 4) & VelResource::Directory);
    }

    // The consecutive children [*first, *end) of a directory node; false when
    // they do not all exist.
    bool childRange(veluint32 dir, veluint32 *first, veluint32 *end) const
    {
        const veluint32 start = readU32(node(dir) + 12);
        const veluint32 count = readU32(node(dir) + 8);
        if (veluint64(start) + count > std::numeric_limits<veluint32>::max() ||
            !within(treeSize, veluint64(start) * NodeSize, veluint64(count) * NodeSize))
            return false;
        *first = start;
        *end = start + count;
        return true;
    }

    bool name(veluint32 index, std::u16string *result) const
    {
        const veluint32 offset = readU32(node(index));
        if (!within(namesSize, offset, 2))
            return false;
        const unsigned char *p = names + offset;
        const veluint16 count = readU16(p);
        if (!within(namesSize, veluint64(offset) + 2, veluint64(count) * 2))
            return false;
        result->assign(count, u'\0');
        for (veluint16 i = 0; i < count; ++i)
            (*result)[i] = char16_t(readU16(p + 2 + 2 * i));
        return true;
    }

    // Binary search among the sorted children of a directory node.
    bool findChild(veluint32 dir, const std::u16string &component, veluint32 *found) const
    {
        veluint32 lo = 0, hi = 0;
        if (!childRange(dir, &lo, &hi))
            return false;
        std::u16string candidate;
        while (lo < hi) {
            const veluint32 mid = lo + (hi - lo) / 2;
            if (!name(mid, &candidate))
                return false;
            const int cmp = candidate.compare(component);
            if (cmp == 0) {
                *found = mid;
                return true;
            }
            if (cmp < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return false;
    }

    bool resolve(const std::vector<std::u16string> &components, veluint32 *index) const
    {
        veluint32 current = 0;
        for (const std::u16string &component : components) {
            if (!isDir(current) || !findChild(current, component, &current))
                return false;
        }
        *index = current;
        return hasNode(current);
    }

    // The stored bytes of a file node; false when they lie outside the data.
    bool stored(veluint32 index, const unsigned char **bytes, veluint32 *size) const
    {
        const veluint32 offset = readU32(node(index) + 8);
        if (!within(dataSize, offset, 4))
            return false;
        const veluint32 length = readU32(data + offset);
        if (!within(dataSize, veluint64(offset) + 4, length))
            return false;
        *bytes = data + offset + 4;
        *size = length;
        return true;
    }
};

// The registry lives for the whole process (never destroyed) so that static
// initialisers and destructors of any library can register and unregister
// in any order.
struct Registry {
    std::mutex mutex; // guards sets; taken alone (leaf lock)
    std::vector<ResourceSet> sets;
};

Registry &registry()
{
    static Registry *instance = new Registry;
    return *instance;
}

std::vector<std::u16string> splitPath(const VelString &path)
{
    std::vector<std::u16string> components;
    std::u16string current;
    for (char16_t unit : path.toStdU16String()) {
        if (unit == u'/') {
            if (!current.empty())
                components.push_back(current);
            current.clear();
        } else {
            current.push_back(unit);
        }
    }
    if (!current.empty())
        components.push_back(current);
    return components;
}

VelByteArray inflateStored(const unsigned char *stored, veluint32 storedSize)
{
    if (storedSize < 4)
        return VelByteArray();
    const veluint32 expected = readU32(stored);
    if (expected > veluint32(std::numeric_limits<int>::max()) ||
        expected > (veluint64(storedSize) - 4) * MaxDeflateRatio + 64) {
        velWarning("Resource data is corrupt (uncompressed size %u)", expected);
        return VelByteArray();
    }
    VelByteArray out(int(expected), '\0');
    uLongf outLength = expected;
    const int rc =
        uncompress(reinterpret_cast<Bytef *>(out.data()), &outLength, stored + 4, storedSize - 4);
    if (rc != Z_OK || outLength != expected) {
        velWarning("Resource data is corrupt (zlib error %d)", rc);
        return VelByteArray();
    }
    return out;
}

} // namespace

namespace
{

bool registerSet(int version, const ResourceSet &added)
{
    if (version != VelResource::FormatVersion || !added.tree || !added.names || !added.data)
        return false;
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (ResourceSet &set : r.sets) {
        if (set.tree == added.tree) {
            ++set.refCount;
            return true;
        }
    }
    r.sets.push_back(added);
    return true;
}

} // namespace

bool velRegisterResourceData(int version, const unsigned char *tree, const unsigned char *names,
                             const unsigned char *data)
{
    return registerSet(version, ResourceSet{tree, Unbounded, names, Unbounded, data, Unbounded, 1});
}

bool velRegisterSizedResourceData(int version, const unsigned char *tree, size_t treeSize,
                                  const unsigned char *names, size_t namesSize,
                                  const unsigned char *data, size_t dataSize)
{
    const ResourceSet set{tree, treeSize, names, namesSize, data, dataSize, 1};
    if (!set.isDir(0))
        return false;
    return registerSet(version, set);
}

bool velUnregisterResourceData(int version, const unsigned char *tree, const unsigned char *names,
                               const unsigned char *data)
{
    if (version != VelResource::FormatVersion)
        return false;
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto it = r.sets.begin(); it != r.sets.end(); ++it) {
        if (it->tree == tree && it->names == names && it->data == data) {
            if (--it->refCount == 0)
                r.sets.erase(it);
            return true;
        }
    }
    return false;
}

namespace VelResource
{

VelByteArray Entry::contents() const
{
    if (!exists || isDir || !stored)
        return VelByteArray();
    if (compressed)
        return inflateStored(stored, storedSize);
    if (storedSize > veluint32(std::numeric_limits<int>::max()))
        return VelByteArray();
    return VelByteArray(reinterpret_cast<const char *>(stored), int(storedSize));
}

Entry lookup(const VelString &path)
{
    const std::vector<std::u16string> components = splitPath(path);
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    Entry entry;
    // The last registered set wins for files; a directory anywhere makes it a directory.
    for (auto it = r.sets.rbegin(); it != r.sets.rend(); ++it) {
        veluint32 index = 0;
        if (!it->resolve(components, &index))
            continue;
        if (it->isDir(index)) {
            entry.exists = true;
            entry.isDir = true;
            return entry;
        }
        if (entry.exists)
            continue;
        const unsigned char *bytes = nullptr;
        veluint32 storedSize = 0;
        if (!it->stored(index, &bytes, &storedSize))
            continue;
        entry.exists = true;
        entry.compressed = readU16(it->node(index) + 4) & Compressed;
        entry.storedSize = storedSize;
        entry.stored = bytes;
        entry.size = entry.compressed ? (entry.storedSize >= 4 ? readU32(entry.stored) : 0)
                                      : entry.storedSize;
    }
    return entry;
}

VelStringList children(const VelString &path)
{
    const std::vector<std::u16string> components = splitPath(path);
    std::vector<std::u16string> names;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        for (const ResourceSet &set : r.sets) {
            veluint32 index = 0;
            if (!set.resolve(components, &index) || !set.isDir(index))
                continue;
            veluint32 first = 0, end = 0;
            if (!set.childRange(index, &first, &end))
                continue;
            std::u16string name;
            for (veluint32 i = first; i < end; ++i) {
                if (set.name(i, &name))
                    names.push_back(name);
            }
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    VelStringList result;
    for (std::u16string &name : names)
        result.push_back(VelString(std::move(name)));
    return result;
}

int registeredSetCount()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return int(r.sets.size());
}

} // namespace VelResource
