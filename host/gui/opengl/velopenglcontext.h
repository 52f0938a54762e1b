#ifndef VELOPENGLCONTEXT_H
#define VELOPENGLCONTEXT_H

#include "velbytearray.h"
#include "velobject.h"
#include "velplatformopenglcontext.h"
#include "velsurfaceformat.h"

#include <GLES2/gl2.h>

#include <memory>

class VelOpenGLContextPrivate;
class VelScreen;
class VelSurface;

// An OpenGL context of the application. create() asks the platform
// integration for the platform context, which this object then owns; the
// calls below forward to it with the platform half of the surface.
//
// The current context is tracked per thread, as EGL tracks it. A context must
// not be destroyed while it is current on another thread.
class VelOpenGLContext : public VelObject
{
    VEL_OBJECT
public:
    explicit VelOpenGLContext(VelObject *parent = nullptr);
    ~VelOpenGLContext() override;

    void setFormat(const VelSurfaceFormat &format);
    void setShareContext(VelOpenGLContext *shareContext);
    void setScreen(VelScreen *screen);

    // (Re)creates the platform context; true when the result is valid. A
    // share context the platform could not share with is dropped.
    bool create();
    void destroy();
    bool isValid() const;

    // The format the platform context obtained; the requested one until created.
    VelSurfaceFormat format() const;
    VelSurfaceFormat requestedFormat() const;
    VelOpenGLContext *shareContext() const;
    // The platform context of the share context, null when not sharing.
    VelPlatformOpenGLContext *shareHandle() const;
    VelScreen *screen() const;
    VelPlatformOpenGLContext *handle() const;

    bool makeCurrent(VelSurface *surface);
    void doneCurrent();
    void swapBuffers(VelSurface *surface);
    VelFunctionPointer getProcAddress(const VelByteArray &procName) const;
    GLuint defaultFramebufferObject() const;
    // The surface this context was last made current on, null after doneCurrent.
    VelSurface *surface() const;

    static VelOpenGLContext *currentContext();

private:
    friend class VelOpenGLContextPrivate;
    std::unique_ptr<VelOpenGLContextPrivate> d;
};

#endif
