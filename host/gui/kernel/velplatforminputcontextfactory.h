#ifndef VELPLATFORMINPUTCONTEXTFACTORY_H
#define VELPLATFORMINPUTCONTEXTFACTORY_H

#include "velstring.h"

class VelPlatformInputContext;

// Makes the input context the user or the system asked for (VEL_IM_MODULE). The host has
// no input-method plugins of its own, so without a request nothing is made; the caller
// owns what it gets.
class VelPlatformInputContextFactory
{
public:
    static VelStringList keys();
    static VelString requested();
    static VelPlatformInputContext *create();
    static VelPlatformInputContext *create(const VelString &key);
};

#endif
