#include "velplatformservices.h"

VelPlatformServices::VelPlatformServices() = default;

VelPlatformServices::~VelPlatformServices() = default;

bool VelPlatformServices::openUrl(const VelUrl &)
{
    return false;
}

bool VelPlatformServices::openDocument(const VelUrl &)
{
    return false;
}

VelByteArray VelPlatformServices::desktopEnvironment() const
{
    return VelByteArray("UNKNOWN");
}
