#ifndef VELOFFSCREENSURFACE_H
#define VELOFFSCREENSURFACE_H

#include "velobject.h"
#include "velsurface.h"
#include "velsurfaceformat.h"

#include <memory>

class VelPlatformOffscreenSurface;
class VelScreen;

// A surface that is never shown, for rendering with OpenGL off screen. create() asks the
// integration for the platform surface; the offscreen surface owns it.
class VelOffscreenSurface : public VelObject, public VelSurface
{
    VEL_OBJECT
public:
    explicit VelOffscreenSurface(VelScreen *screen = nullptr);
    ~VelOffscreenSurface() override;

    SurfaceType surfaceType() const override { return OpenGLSurface; }
    VelSurfaceFormat format() const override;
    VelPlatformSurface *surfaceHandle() const override;
    VelSize size() const override { return m_size; }
    void setSize(const VelSize &size) { m_size = size; }

    void setFormat(const VelSurfaceFormat &format);
    VelSurfaceFormat requestedFormat() const;
    VelScreen *screen() const { return m_screen; }
    void setScreen(VelScreen *screen);

    void create();
    void destroy();
    bool isValid() const;
    VelPlatformOffscreenSurface *handle() const { return m_platformSurface.get(); }

private:
    VelSize m_size = VelSize(1, 1);
    VelScreen *m_screen;
    VelSurfaceFormat m_format;
    std::unique_ptr<VelPlatformOffscreenSurface> m_platformSurface;
};

#endif
