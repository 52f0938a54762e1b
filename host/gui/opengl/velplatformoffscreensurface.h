#ifndef VELPLATFORMOFFSCREENSURFACE_H
#define VELPLATFORMOFFSCREENSURFACE_H

#include "velplatformsurface.h"

class VelOffscreenSurface;

// The platform's half of an offscreen surface. Without a platform
// implementation it is invalid and has the host's default format.
class VelPlatformOffscreenSurface : public VelPlatformSurface
{
public:
    explicit VelPlatformOffscreenSurface(VelOffscreenSurface *offscreenSurface);
    ~VelPlatformOffscreenSurface() override;

    VelSurfaceFormat format() const override;
    virtual bool isValid() const;

    VelOffscreenSurface *offscreenSurface() const { return m_offscreenSurface; }

private:
    VelOffscreenSurface *m_offscreenSurface; // not owned: it owns us
};

#endif
