// Registers arbitrary bytes as a sized resource set and reads back every entry
// it reaches, through the registry and through the ":/" files and dirs.
//
// Input: u16 tree size, u16 names size (both little-endian, cut to what
// follows), then the tree, the names and, in the remaining bytes, the data.
#include "veldir.h"
#include "velfile.h"
#include "velresource.h"

#include "vellogging.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{

// A directory may list itself as a child; the walk stops at this depth and
// this many entries so that such a tree does not walk forever.
const int MaxDepth = 6;
const int MaxEntries = 200;

std::vector<unsigned char> take(const uint8_t *&data, size_t &size, size_t wanted)
{
    const size_t n = std::min(size, wanted);
    std::vector<unsigned char> blob(data, data + n);
    data += n;
    size -= n;
    return blob;
}

void readFile(const VelString &path)
{
    const VelResource::Entry entry = VelResource::lookup(path);
    volatile int length = entry.contents().size();
    (void)length;
    VelFile file(VelString(":") + path);
    if (!file.open(VelIODevice::ReadOnly))
        return;
    char head[16];
    file.read(head, sizeof head);
    file.seek(file.size() / 2);
    length = file.readAll().size();
}

void walk(const VelString &dir, int depth, int *budget)
{
    VelDir(VelString(":") + dir).entryList();
    for (const VelString &name : VelResource::children(dir)) {
        if (--*budget <= 0)
            return;
        const VelString path = dir.endsWith(VelString("/")) ? dir + name : dir + "/" + name;
        const VelResource::Entry entry = VelResource::lookup(path);
        if (entry.isDir) {
            if (depth < MaxDepth)
                walk(path, depth + 1, budget);
        } else {
            readFile(path);
        }
    }
}

} // namespace

// Damaged sets make the code under test log on most inputs; the messages
// would cost more than the parsing.
static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const size_t treeSize = size_t(data[0] | (data[1] << 8));
    const size_t namesSize = size_t(data[2] | (data[3] << 8));
    data += 4;
    size -= 4;
    // Separate allocations, so that a read past any blob is caught.
    const std::vector<unsigned char> tree = take(data, size, treeSize);
    const std::vector<unsigned char> names = take(data, size, namesSize);
    const std::vector<unsigned char> bytes = take(data, size, size);
    if (!velRegisterSizedResourceData(1, tree.data(), tree.size(), names.data(), names.size(),
                                      bytes.data(), bytes.size()))
        return 0;
    int budget = MaxEntries;
    walk(VelString("/"), 0, &budget);
    velUnregisterResourceData(1, tree.data(), names.data(), bytes.data());
    return 0;
}
