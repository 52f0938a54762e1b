#include "velfactoryloader.h"

#include "veljsondocument.h"
#include "velpluginloader.h"

#include <nlohmann/json.hpp>

namespace
{

using Json = nlohmann::ordered_json;

} // namespace

VelFactoryLoader::VelFactoryLoader(const char *iid) : m_iid(iid)
{
    update();
}

void VelFactoryLoader::update()
{
    m_plugins.clear();
    for (const VelStaticPlugin &plugin : VelPluginLoader::staticPlugins()) {
        VelByteArray text;
        if (!plugin.rawMetaData || !VelPluginLoader::readMetaDataBlock(plugin.rawMetaData(), &text))
            continue;
        try {
            const Json object = Json::parse(text.toStdString());
            const auto iid = object.find("IID");
            if (iid == object.end() || !iid->is_string() ||
                iid->get<std::string>() != m_iid.toStdString())
                continue;
            Plugin entry{plugin, text, VelStringList(), VelString()};
            const auto className = object.find("className");
            if (className != object.end() && className->is_string())
                entry.className = VelString::fromStdString(className->get<std::string>());
            const auto meta = object.find("MetaData");
            if (meta != object.end() && meta->is_object()) {
                const auto keys = meta->find("Keys");
                if (keys != meta->end() && keys->is_array()) {
                    for (const Json &key : *keys) {
                        if (key.is_string())
                            entry.keys.push_back(
                                VelString::fromStdString(key.get<std::string>()).toLower());
                    }
                }
            }
            m_plugins.push_back(entry);
        } catch (const std::exception &) {
            continue;
        }
    }
}

int VelFactoryLoader::indexOf(const VelString &key) const
{
    const VelString wanted = key.toLower();
    for (size_t i = 0; i < m_plugins.size(); ++i) {
        if (m_plugins[i].keys.contains(wanted))
            return int(i);
    }
    return -1;
}

VelObject *VelFactoryLoader::instance(int index) const
{
    if (index < 0 || index >= int(m_plugins.size()) || !m_plugins[size_t(index)].plugin.instance)
        return nullptr;
    return m_plugins[size_t(index)].plugin.instance();
}

VelStringList VelFactoryLoader::keys() const
{
    VelStringList all;
    for (const Plugin &plugin : m_plugins)
        all << plugin.keys;
    return all;
}

std::vector<VelJsonObject> VelFactoryLoader::metaData() const
{
    std::vector<VelJsonObject> all;
    for (const Plugin &plugin : m_plugins)
        all.push_back(VelJsonDocument::fromJson(plugin.metaData).object());
    return all;
}

std::vector<VelByteArray> VelFactoryLoader::metaDataText() const
{
    std::vector<VelByteArray> all;
    for (const Plugin &plugin : m_plugins)
        all.push_back(plugin.metaData);
    return all;
}
