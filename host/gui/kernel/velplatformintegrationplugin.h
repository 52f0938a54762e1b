#ifndef VELPLATFORMINTEGRATIONPLUGIN_H
#define VELPLATFORMINTEGRATIONPLUGIN_H

#include "velobject.h"
#include "velplugin.h"
#include "velstring.h"

class VelPlatformIntegration;

// The interface identifier platform plugins declare in their metadata.
#define VelPlatformIntegrationFactoryInterface_iid VEL_PLATFORM_INTEGRATION_FACTORY_IID

// The factory object a platform plugin exports. The caller owns the integration returned;
// null means the key is not this plugin's.
class VelPlatformIntegrationPlugin : public VelObject
{
    VEL_OBJECT
public:
    explicit VelPlatformIntegrationPlugin(VelObject *parent = nullptr);
    ~VelPlatformIntegrationPlugin() override;

    virtual VelPlatformIntegration *create(const VelString &key, const VelStringList &paramList);
    // Default: the two-argument create.
    virtual VelPlatformIntegration *create(const VelString &key, const VelStringList &paramList,
                                           int &argc, char **argv);
};

#endif
