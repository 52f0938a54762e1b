#ifndef VELSURFACE_H
#define VELSURFACE_H

#include "velsize.h"

class VelPlatformSurface;
class VelSurfaceFormat;

// Something that can be rendered to: a window or an offscreen surface.
class VelSurface
{
public:
    enum SurfaceClass { Window = 0, Offscreen = 1 };
    enum SurfaceType { RasterSurface = 0, OpenGLSurface = 1 };

    virtual ~VelSurface();

    SurfaceClass surfaceClass() const { return m_class; }
    virtual VelSurfaceFormat format() const = 0;
    virtual VelPlatformSurface *surfaceHandle() const = 0;
    virtual SurfaceType surfaceType() const = 0;
    virtual VelSize size() const = 0;

protected:
    explicit VelSurface(SurfaceClass surfaceClass);

private:
    SurfaceClass m_class;
};

#endif
