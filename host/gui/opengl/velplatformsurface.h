#ifndef VELPLATFORMSURFACE_H
#define VELPLATFORMSURFACE_H

#include "velglobal.h"
#include "velsurfaceformat.h"

class VelSurface;

// What platform windows and platform offscreen surfaces have in common: the
// host surface they serve and the format they actually have.
class VelPlatformSurface
{
public:
    virtual ~VelPlatformSurface();

    virtual VelSurfaceFormat format() const = 0;

    VelSurface *surface() const { return m_surface; }

protected:
    explicit VelPlatformSurface(VelSurface *surface);

private:
    VEL_DISABLE_COPY(VelPlatformSurface)

    VelSurface *m_surface; // not owned: the host surface owns its platform surface
};

#endif
