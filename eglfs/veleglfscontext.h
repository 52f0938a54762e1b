#ifndef VELEGLFSCONTEXT_H
#define VELEGLFSCONTEXT_H

#include "veleglplatformcontext.h"

// The EGL context of every GL drawing in the full-screen backend: config from
// the device hooks, swap interval set once, the cursor drawn before each swap.
class VelEglFSContext : public VelEGLPlatformContext
{
public:
    VelEglFSContext(const VelSurfaceFormat &format, VelPlatformOpenGLContext *share,
                    EGLDisplay display, EGLenum eglApi = EGL_OPENGL_ES_API);

    bool makeCurrent(VelPlatformSurface *surface) override;
    void swapBuffers(VelPlatformSurface *surface) override;

protected:
    EGLSurface eglSurfaceForPlatformSurface(VelPlatformSurface *surface) override;

private:
    bool m_swapIntervalSet = false;
};

#endif
