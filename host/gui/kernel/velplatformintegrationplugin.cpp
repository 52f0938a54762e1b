#include "velplatformintegrationplugin.h"

VEL_META_BEGIN(VelPlatformIntegrationPlugin, VelObject)
VEL_META_END

VelPlatformIntegrationPlugin::VelPlatformIntegrationPlugin(VelObject *parent) : VelObject(parent) {}

VelPlatformIntegrationPlugin::~VelPlatformIntegrationPlugin() = default;

VelPlatformIntegration *VelPlatformIntegrationPlugin::create(const VelString &key,
                                                             const VelStringList &paramList)
{
    return nullptr;
}

VelPlatformIntegration *VelPlatformIntegrationPlugin::create(const VelString &key,
                                                             const VelStringList &paramList,
                                                             int &argc, char **argv)
{
    return create(key, paramList);
}
