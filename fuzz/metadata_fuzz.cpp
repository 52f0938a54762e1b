// Feeds arbitrary bytes to the binary JSON reader: as a plugin's metadata
// block (cut or 0x00-padded to the block's size) and as a free-standing
// document of the input's own size.
#include "velbinaryjson.h"
#include "veljsondocument.h"
#include "velplugin.h"
#include "velpluginloader.h"

#include "vellogging.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{

char block[VelPluginMetaData::BlockSize];

const char *rawMetaData()
{
    return block;
}

} // namespace

static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::memset(block, 0, sizeof block);
    std::memcpy(block, data, std::min(size, sizeof block));
    const VelStaticPlugin plugin{nullptr, rawMetaData};
    const VelJsonObject object = VelPluginLoader::metaData(plugin);
    volatile int members = int(object.keys().size());

    const char *bytes = reinterpret_cast<const char *>(data);
    bool ok = false;
    const VelByteArray text = VelBinaryJson::toJsonText(bytes, int(size), false, &ok);
    if (ok) {
        // What was read must encode again.
        bool again = false;
        VelBinaryJson::fromJsonText(text, -1, &again);
        if (!again)
            __builtin_trap();
    }
    members = int(VelBinaryJson::toJsonObject(bytes, int(size), true).keys().size());
    (void)members;
    return 0;
}
