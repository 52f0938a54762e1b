#include "velplatforminputcontextfactory.h"

#include "velplatforminputcontext.h"

#include <cstdlib>

VelStringList VelPlatformInputContextFactory::keys()
{
    return VelStringList();
}

VelString VelPlatformInputContextFactory::requested()
{
    const char *value = std::getenv("VEL_IM_MODULE");
    return value ? VelString::fromLocal8Bit(value) : VelString();
}

VelPlatformInputContext *VelPlatformInputContextFactory::create()
{
    const VelString key = requested();
    return key.isEmpty() ? nullptr : create(key);
}

VelPlatformInputContext *VelPlatformInputContextFactory::create(const VelString &key)
{
    // No input-method plugin is known by any key.
    return nullptr;
}
