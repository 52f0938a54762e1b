#ifndef ANDROIDPLATFORMPLUGIN_H
#define ANDROIDPLATFORMPLUGIN_H

#include "velplatformintegrationplugin.h"
#include "velplugin.h"

// The plugin factory, registered with the host as a static plugin under the
// key "android" (in any letter case).
class VelAndroidPlatformIntegrationPlugin : public VelPlatformIntegrationPlugin
{
    VEL_OBJECT
public:
    explicit VelAndroidPlatformIntegrationPlugin(VelObject *parent = nullptr);
    using VelPlatformIntegrationPlugin::create;
    VelPlatformIntegration *create(const VelString &key, const VelStringList &paramList) override;
};

extern "C" __attribute__((visibility("default"))) VelStaticPlugin
vel_static_plugin_VelAndroidPlatformIntegrationPlugin();

#endif
