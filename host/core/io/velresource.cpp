#include "velresource.h"

#include "vellogging.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace
{

const int NodeSize = 16;

veluint32 readU32(const unsigned char *p)
{
    return veluint32(p[0]) | (veluint32(p[1]) << 8) | (veluint32(p[2]) << 16) |
           (veluint32(p[3]) << 24);
}

veluint16 readU16(const unsigned char *p)
{
    return veluint16(p[0] | (p[1] << 8));
}

struct ResourceSet {
    const unsigned char *tree;
    const unsigned char *names;
    const unsigned char *data;
    int refCount;

    const unsigned char *node(veluint32 index) const { return tree + size_t(index) * NodeSize; }
    bool isDir(veluint32 index) const { return readU16(node(index) + 4) & VelResource::Directory; }

    std::u16string name(veluint32 index) const
    {
        const unsigned char *p = names + readU32(node(index));
        const veluint16 count = readU16(p);
        std::u16string result(count, u'\0');
        for (veluint16 i = 0; i < count; ++i)
            result[i] = char16_t(readU16(p + 2 + 2 * i));
        return result;
    }

    // Binary search among the sorted children of a directory node.
    bool findChild(veluint32 dir, const std::u16string &component, veluint32 *found) const
    {
        veluint32 lo = readU32(node(dir) + 12);
        veluint32 hi = lo + readU32(node(dir) + 8);
        while (lo < hi) {
            const veluint32 mid = lo + (hi - lo) / 2;
            const int cmp = name(mid).compare(component);
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

bool velRegisterResourceData(int version, const unsigned char *tree, const unsigned char *names,
                             const unsigned char *data)
{
    if (version != VelResource::FormatVersion || !tree || !names || !data)
        return false;
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (ResourceSet &set : r.sets) {
        if (set.tree == tree) {
            ++set.refCount;
            return true;
        }
    }
    r.sets.push_back(ResourceSet{tree, names, data, 1});
    return true;
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
        const unsigned char *node = it->node(index);
        const unsigned char *blob = it->data + readU32(node + 8);
        entry.exists = true;
        entry.compressed = readU16(node + 4) & Compressed;
        entry.storedSize = readU32(blob);
        entry.stored = blob + 4;
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
            const veluint32 first = readU32(set.node(index) + 12);
            const veluint32 count = readU32(set.node(index) + 8);
            for (veluint32 i = first; i < first + count; ++i)
                names.push_back(set.name(i));
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
