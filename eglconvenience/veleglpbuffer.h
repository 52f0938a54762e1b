#ifndef VELEGLPBUFFER_H
#define VELEGLPBUFFER_H

#include "velplatformoffscreensurface.h"
#include "velsurfaceformat.h"

#include <EGL/egl.h>

// An offscreen surface backed by an EGL pbuffer of the offscreen surface's
// size, fixed at construction.
class VelEGLPbuffer : public VelPlatformOffscreenSurface
{
public:
    VelEGLPbuffer(EGLDisplay display, const VelSurfaceFormat &format,
                  VelOffscreenSurface *offscreenSurface);
    ~VelEGLPbuffer() override;

    VelSurfaceFormat format() const override { return m_format; }
    bool isValid() const override { return m_pbuffer != EGL_NO_SURFACE; }

    EGLSurface pbuffer() const { return m_pbuffer; }

private:
    VelSurfaceFormat m_format; // the requested one until the pbuffer exists
    EGLDisplay m_display;      // not owned
    EGLSurface m_pbuffer = EGL_NO_SURFACE;
};

#endif
