#include "velplatformintegrationfactory.h"

#include "velfactoryloader.h"
#include "vellogging.h"
#include "velplatformintegrationplugin.h"

namespace
{
VelFactoryLoader loader()
{
    // Built per call: plugins may register from static initialisers of libraries that
    // were loaded after an earlier look-up.
    return VelFactoryLoader(VelPlatformIntegrationFactoryInterface_iid);
}
} // namespace

VelStringList VelPlatformIntegrationFactory::keys()
{
    return loader().keys();
}

VelPlatformIntegration *VelPlatformIntegrationFactory::create(const VelString &key,
                                                              const VelStringList &paramList,
                                                              int &argc, char **argv)
{
    const VelFactoryLoader plugins = loader();
    const int index = plugins.indexOf(key);
    if (index < 0)
        return nullptr;
    auto *factory = vel_object_cast<VelPlatformIntegrationPlugin *>(plugins.instance(index));
    if (!factory) {
        velWarning("VelPlatformIntegrationFactory: the plugin for \"%s\" is not a platform "
                   "integration plugin",
                   velPrintable(key));
        return nullptr;
    }
    return factory->create(key, paramList, argc, argv);
}
