#ifndef VELANDROIDOPENGLCONTEXT_H
#define VELANDROIDOPENGLCONTEXT_H

#include "veleglfscontext.h"

class VelAndroidPlatformIntegration;

// Applies a window's pending resize after each swap, so that an application
// sees the new size only once it has finished a frame on the new surface.
class VelAndroidOpenGLContext : public VelEglFSContext
{
public:
    VelAndroidOpenGLContext(const VelAndroidPlatformIntegration *integration,
                            const VelSurfaceFormat &format, VelPlatformOpenGLContext *share,
                            EGLDisplay display, EGLenum eglApi = EGL_OPENGL_ES_API);

    bool makeCurrent(VelPlatformSurface *surface) override;
    void swapBuffers(VelPlatformSurface *surface) override;

private:
    const VelAndroidPlatformIntegration *m_platformIntegration; // not owned
    bool m_rendererChecked = false; // the emulator check ran while this context was current
};

#endif
