#include "velplatformoffscreensurface.h"

#include "veloffscreensurface.h"

VelPlatformOffscreenSurface::VelPlatformOffscreenSurface(VelOffscreenSurface *offscreenSurface)
    : VelPlatformSurface(offscreenSurface), m_offscreenSurface(offscreenSurface)
{
}

VelPlatformOffscreenSurface::~VelPlatformOffscreenSurface() = default;

VelSurfaceFormat VelPlatformOffscreenSurface::format() const
{
    return VelSurfaceFormat();
}

bool VelPlatformOffscreenSurface::isValid() const
{
    return false;
}
