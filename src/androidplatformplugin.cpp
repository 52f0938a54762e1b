#include "androidplatformplugin.h"

#include "velandroidplatformintegration.h"

#include "velmutex.h"
#include "velplugin.h"
#include "velpointer.h"

// The plugin's metadata block, found by the host's plugin loader without
// loading anything from the file system.
__attribute__((section(".velmetadata"),
               used)) static constexpr VelPluginMetaDataBlock velPluginMetaDataBlock =
    velPluginMetaData("VelAndroidPlatformIntegrationPlugin", {"android"});
static_assert(sizeof(velPluginMetaDataBlock) == 280, "the metadata block is 280 bytes");

VelAndroidPlatformIntegrationPlugin::VelAndroidPlatformIntegrationPlugin(VelObject *parent)
    : VelPlatformIntegrationPlugin(parent)
{
}

VelPlatformIntegration *VelAndroidPlatformIntegrationPlugin::create(const VelString &key,
                                                                    const VelStringList &paramList)
{
    if (key.toLower() == "android")
        return new VelAndroidPlatformIntegration(paramList);
    return nullptr;
}

VEL_META_BEGIN(VelAndroidPlatformIntegrationPlugin, VelPlatformIntegrationPlugin)
VEL_META_END

namespace
{

// The factory instance: made on first use, made again if it was destroyed.
VelObject *vel_plugin_instance_VelAndroidPlatformIntegrationPlugin()
{
    static VelMutex instanceMutex; // guards instance; taken alone
    static VelPointer<VelObject> instance;
    VelMutexLocker lock(&instanceMutex);
    if (!instance)
        instance = new VelAndroidPlatformIntegrationPlugin();
    return instance;
}

const char *vel_plugin_query_metadata_VelAndroidPlatformIntegrationPlugin()
{
    return velPluginMetaDataBlock.bytes;
}

// Registers the factory with the host when the library is loaded, long before
// the application creates its GUI application.
struct StaticPluginRegistration {
    StaticPluginRegistration()
    {
        velRegisterStaticPluginFunction(vel_static_plugin_VelAndroidPlatformIntegrationPlugin());
    }
} staticPluginRegistration;

} // namespace

VelStaticPlugin vel_static_plugin_VelAndroidPlatformIntegrationPlugin()
{
    return VelStaticPlugin{vel_plugin_instance_VelAndroidPlatformIntegrationPlugin,
                           vel_plugin_query_metadata_VelAndroidPlatformIntegrationPlugin};
}
