#ifndef VELOPENGLCONTEXT_P_H
#define VELOPENGLCONTEXT_P_H

#include "velopenglcontext.h"
#include "velpointer.h"
#include "velscreen.h"

// The host context's own data, reachable by platform code through
// VelOpenGLContextPrivate::get(platformContext->context()).
class VelOpenGLContextPrivate
{
public:
    static VelOpenGLContextPrivate *get(VelOpenGLContext *context)
    {
        return context ? context->d.get() : nullptr;
    }
    static const VelOpenGLContextPrivate *get(const VelOpenGLContext *context)
    {
        return context ? context->d.get() : nullptr;
    }

    VelSurfaceFormat requestedFormat;
    VelPointer<VelOpenGLContext> shareContext;
    VelPointer<VelScreen> screen;
    std::unique_ptr<VelPlatformOpenGLContext> platformContext;
    VelSurface *surface = nullptr; // the surface made current, not owned

    // Set by a platform context whose renderer returns garbage when pixels are
    // read back from a framebuffer object; readers must then render to the
    // window surface and read from there instead.
    bool workaround_brokenFBOReadBack = false;
};

#endif
