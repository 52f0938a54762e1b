#ifndef VELEGLPLATFORMCONTEXT_H
#define VELEGLPLATFORMCONTEXT_H

#include "velplatformopenglcontext.h"
#include "velsurfaceformat.h"

#include <EGL/egl.h>

class VelPlatformSurface;

// An EGL rendering context. How a host surface maps to an EGL surface is the
// subclass's business (eglSurfaceForPlatformSurface).
class VelEGLPlatformContext : public VelPlatformOpenGLContext
{
public:
    VelEGLPlatformContext(const VelSurfaceFormat &format, VelPlatformOpenGLContext *share,
                          EGLDisplay display, EGLenum eglApi = EGL_OPENGL_ES_API);
    VelEGLPlatformContext(const VelSurfaceFormat &format, VelPlatformOpenGLContext *share,
                          EGLDisplay display, EGLConfig config, EGLenum eglApi = EGL_OPENGL_ES_API);
    ~VelEGLPlatformContext() override;

    VelSurfaceFormat format() const override { return m_format; }
    void swapBuffers(VelPlatformSurface *surface) override;
    bool makeCurrent(VelPlatformSurface *surface) override;
    void doneCurrent() override;
    bool isSharing() const override { return m_shareContext != EGL_NO_CONTEXT; }
    bool isValid() const override { return m_eglContext != EGL_NO_CONTEXT; }
    VelFunctionPointer getProcAddress(const VelByteArray &procName) override;

    EGLContext eglContext() const { return m_eglContext; }
    EGLDisplay eglDisplay() const { return m_eglDisplay; }
    EGLConfig eglConfig() const { return m_eglConfig; }

protected:
    virtual EGLSurface eglSurfaceForPlatformSurface(VelPlatformSurface *surface) = 0;
    // The surface this context last made current on this thread and still
    // has bound; EGL_NO_SURFACE when it has none bound here.
    EGLSurface boundSurface() const;

private:
    void init(const VelSurfaceFormat &requested, VelPlatformOpenGLContext *share);
    void bindApi() const;

    EGLContext m_eglContext = EGL_NO_CONTEXT;
    EGLContext m_shareContext = EGL_NO_CONTEXT; // not owned
    EGLDisplay m_eglDisplay;                    // not owned
    EGLConfig m_eglConfig;
    VelSurfaceFormat m_format;
};

#endif
