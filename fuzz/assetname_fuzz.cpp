// Feeds arbitrary bytes, as file names, to the "assets:/" handler over a
// small asset tree with a file beside it that must never be reached. Every
// engine it answers is walked: names of every kind, the listing of a
// directory, the first bytes of a file, and a rename.
#include "velandroidassetsfileenginehandler.h"

#include <android/asset_manager.h>
#include <velstandin.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>

namespace
{

const char secret[] = "SECRET-OUTSIDE-THE-ASSETS";

AAssetManager *manager = nullptr;
AndroidAssetsFileEngineHandler *handler = nullptr;
const std::set<std::string> assetNames = {"a.txt", "dir", "b.txt", "c.txt", "deeper", "d.txt"};

void write(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string treeRoot()
{
    static const std::string root = "/tmp/velassetname-fuzz-" + std::to_string(getpid());
    return root;
}

void removeTree()
{
    std::system(("rm -rf '" + treeRoot() + "'").c_str());
}

void makeTree()
{
    const std::string root = treeRoot();
    std::atexit(removeTree);
    std::system(("mkdir -p '" + root + "/assets/dir/deeper'").c_str());
    write(root + "/secret.txt", secret);
    write(root + "/assets/a.txt", "a");
    write(root + "/assets/dir/b.txt", "b");
    write(root + "/assets/dir/c.txt", "c");
    write(root + "/assets/dir/deeper/d.txt", "d");
    manager = velStandinAssetManagerForDirectory((root + "/assets").c_str());
}

void walk(AndroidAbstractFileEngine *engine)
{
    for (int kind = 0; kind <= 9; ++kind)
        (void)engine->fileName(VelAbstractFileEngine::FileName(kind));
    const auto flags = engine->fileFlags();
    if (flags & VelAbstractFileEngine::DirectoryType) {
        std::unique_ptr<VelAbstractFileEngineIterator> it(
            engine->beginEntryList(VelDir::NoFilter, VelStringList()));
        int count = 0;
        while (it && it->hasNext()) {
            const std::string entry = it->next().toStdString();
            if (!assetNames.count(entry) || ++count > int(assetNames.size()))
                std::abort(); // listed something that is not an asset
        }
    }
    if ((flags & VelAbstractFileEngine::FileType) && engine->open(VelIODevice::ReadOnly)) {
        char buffer[64] = {};
        const velint64 n = engine->read(buffer, sizeof buffer - 1);
        if (n > 0 && std::strstr(buffer, secret))
            std::abort(); // read a file outside the assets
    }
}

} // namespace

namespace VelAndroid
{
AAssetManager *assetManager()
{
    return manager;
}
} // namespace VelAndroid

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    makeTree();
    handler = new AndroidAssetsFileEngineHandler;
    return 0;
}

// The first byte chooses whether the prefix is added (to reach deep into the
// handler) or the bytes are the whole name (to test what it claims).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool prefixed = data[0] & 1;
    const VelString tail =
        VelString::fromUtf8(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const VelString name = prefixed ? VelString("assets:/") + tail : tail;
    std::unique_ptr<VelAbstractFileEngine> created(handler->create(name));
    auto *engine = dynamic_cast<AndroidAbstractFileEngine *>(created.get());
    if (!engine)
        return 0;
    walk(engine);
    engine->setFileName(name + VelString("/x"));
    walk(engine);
    return 0;
}
