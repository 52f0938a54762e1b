#ifndef VELPLATFORMOPENGLCONTEXT_H
#define VELPLATFORMOPENGLCONTEXT_H

#include "velbytearray.h"
#include "velglobal.h"
#include "velsurfaceformat.h"

#include <GLES2/gl2.h>

class VelOpenGLContext;
class VelPlatformSurface;

using VelFunctionPointer = void (*)();

// The platform's half of an OpenGL context. The host context (VelOpenGLContext)
// creates it through the platform integration, owns it and forwards to it.
class VelPlatformOpenGLContext
{
public:
    VelPlatformOpenGLContext();
    virtual ~VelPlatformOpenGLContext();

    virtual VelSurfaceFormat format() const = 0;
    virtual void swapBuffers(VelPlatformSurface *surface) = 0;
    virtual GLuint defaultFramebufferObject(VelPlatformSurface *surface) const;
    virtual bool makeCurrent(VelPlatformSurface *surface) = 0;
    virtual void doneCurrent() = 0;
    virtual bool isSharing() const { return false; }
    virtual bool isValid() const { return true; }
    virtual VelFunctionPointer getProcAddress(const VelByteArray &procName) = 0;

    // The host context this platform context belongs to; null until the host
    // context adopts it.
    VelOpenGLContext *context() const { return m_context; }
    // Called by the host context when it adopts this platform context.
    void setContext(VelOpenGLContext *context) { m_context = context; }

private:
    VEL_DISABLE_COPY(VelPlatformOpenGLContext)

    VelOpenGLContext *m_context = nullptr; // not owned: the host context owns us
};

#endif
