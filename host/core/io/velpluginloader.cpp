#include "velpluginloader.h"

#include "velbinaryjson.h"
#include "veljsondocument.h"

#include <cstring>
#include <mutex>

namespace
{

// Never destroyed: plugins register from static initialisers of any library,
// in any order, and may be asked for while others are being destroyed.
struct StaticPluginRegistry {
    std::mutex mutex; // guards plugins; taken alone (leaf lock)
    std::vector<VelStaticPlugin> plugins;
};

StaticPluginRegistry &registry()
{
    static StaticPluginRegistry *instance = new StaticPluginRegistry;
    return *instance;
}

veluint32 readU32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return veluint32(u[0]) | (veluint32(u[1]) << 8) | (veluint32(u[2]) << 16) |
           (veluint32(u[3]) << 24);
}

} // namespace

void velRegisterStaticPluginFunction(VelStaticPlugin plugin)
{
    StaticPluginRegistry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (const VelStaticPlugin &known : r.plugins) {
        if (known.instance == plugin.instance && known.rawMetaData == plugin.rawMetaData)
            return;
    }
    r.plugins.push_back(plugin);
}

std::vector<VelStaticPlugin> VelPluginLoader::staticPlugins()
{
    StaticPluginRegistry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.plugins;
}

std::vector<VelObject *> VelPluginLoader::staticInstances()
{
    std::vector<VelObject *> instances;
    // Instances are made outside the lock: a factory may register plugins.
    for (const VelStaticPlugin &plugin : staticPlugins()) {
        if (VelObject *object = plugin.instance ? plugin.instance() : nullptr)
            instances.push_back(object);
    }
    return instances;
}

bool VelPluginLoader::readMetaDataBlock(const char *block, VelByteArray *jsonText)
{
    if (!block ||
        std::memcmp(block, VelPluginMetaData::Marker, VelPluginMetaData::MarkerSize) != 0 ||
        std::memcmp(block + 12, "vbjs", 4) != 0 || readU32(block + 16) != VelBinaryJson::Version)
        return false;
    // Only an object may stand at the top.
    if (static_cast<unsigned char>(block[VelPluginMetaData::HeaderSize]) != VelBinaryJson::Object)
        return false;
    bool ok = false;
    const VelByteArray text = VelBinaryJson::toJsonText(block + VelPluginMetaData::HeaderSize,
                                                        VelPluginMetaData::ObjectSize, true, &ok);
    if (!ok)
        return false;
    if (jsonText)
        *jsonText = text;
    return true;
}

VelJsonObject VelPluginLoader::metaData(const VelStaticPlugin &plugin)
{
    VelByteArray text;
    if (!plugin.rawMetaData || !readMetaDataBlock(plugin.rawMetaData(), &text))
        return VelJsonObject();
    return VelJsonDocument::fromJson(text).object();
}
