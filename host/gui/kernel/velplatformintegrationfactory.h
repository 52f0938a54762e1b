#ifndef VELPLATFORMINTEGRATIONFACTORY_H
#define VELPLATFORMINTEGRATIONFACTORY_H

#include "velstring.h"

class VelPlatformIntegration;

// Finds platform plugins among the registered static plugins by the keys in their
// metadata (compared without regard to letter case) and asks them for an integration.
class VelPlatformIntegrationFactory
{
public:
    // The keys of every registered platform plugin, in registration order.
    static VelStringList keys();
    // Null when no plugin claims the key or the plugin declines; the caller owns the result.
    static VelPlatformIntegration *create(const VelString &key, const VelStringList &paramList,
                                          int &argc, char **argv);
};

#endif
