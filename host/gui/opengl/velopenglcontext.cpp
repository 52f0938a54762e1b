#include "velopenglcontext.h"

#include "velguiapplication.h"
#include "vellogging.h"
#include "velopenglcontext_p.h"
#include "velplatformintegration.h"
#include "velplatformsurface.h"
#include "velsurface.h"

namespace
{

// EGL keeps one current context per thread; so does the host.
thread_local VelOpenGLContext *currentContextOfThread = nullptr;

} // namespace

VEL_META_BEGIN(VelOpenGLContext, VelObject)
VEL_META_END

VelOpenGLContext::VelOpenGLContext(VelObject *parent)
    : VelObject(parent), d(std::make_unique<VelOpenGLContextPrivate>())
{
}

VelOpenGLContext::~VelOpenGLContext()
{
    destroy();
}

void VelOpenGLContext::setFormat(const VelSurfaceFormat &format)
{
    d->requestedFormat = format;
}

void VelOpenGLContext::setShareContext(VelOpenGLContext *shareContext)
{
    d->shareContext = shareContext;
}

void VelOpenGLContext::setScreen(VelScreen *screen)
{
    d->screen = screen;
}

bool VelOpenGLContext::create()
{
    destroy();
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    if (!integration) {
        velWarning("VelOpenGLContext::create: no platform integration");
        return false;
    }
    d->platformContext.reset(integration->createPlatformOpenGLContext(this));
    if (!d->platformContext)
        return false;
    d->platformContext->setContext(this);
    if (!d->platformContext->isSharing())
        d->shareContext = nullptr;
    return isValid();
}

void VelOpenGLContext::destroy()
{
    if (currentContextOfThread == this)
        doneCurrent();
    d->platformContext.reset();
    d->surface = nullptr;
    d->workaround_brokenFBOReadBack = false;
}

bool VelOpenGLContext::isValid() const
{
    return d->platformContext && d->platformContext->isValid();
}

VelSurfaceFormat VelOpenGLContext::format() const
{
    return d->platformContext ? d->platformContext->format() : d->requestedFormat;
}

VelSurfaceFormat VelOpenGLContext::requestedFormat() const
{
    return d->requestedFormat;
}

VelOpenGLContext *VelOpenGLContext::shareContext() const
{
    return d->shareContext.data();
}

VelPlatformOpenGLContext *VelOpenGLContext::shareHandle() const
{
    VelOpenGLContext *share = d->shareContext.data();
    return share ? share->handle() : nullptr;
}

VelScreen *VelOpenGLContext::screen() const
{
    return d->screen.data();
}

VelPlatformOpenGLContext *VelOpenGLContext::handle() const
{
    return d->platformContext.get();
}

bool VelOpenGLContext::makeCurrent(VelSurface *surface)
{
    if (!isValid())
        return false;
    VelPlatformSurface *platformSurface = surface ? surface->surfaceHandle() : nullptr;
    if (!platformSurface) {
        velWarning("VelOpenGLContext::makeCurrent: the surface has no platform surface");
        return false;
    }
    if (!d->platformContext->makeCurrent(platformSurface))
        return false;
    currentContextOfThread = this;
    d->surface = surface;
    return true;
}

void VelOpenGLContext::doneCurrent()
{
    if (d->platformContext && currentContextOfThread == this)
        d->platformContext->doneCurrent();
    if (currentContextOfThread == this)
        currentContextOfThread = nullptr;
    d->surface = nullptr;
}

void VelOpenGLContext::swapBuffers(VelSurface *surface)
{
    if (!isValid())
        return;
    VelPlatformSurface *platformSurface = surface ? surface->surfaceHandle() : nullptr;
    if (!platformSurface) {
        velWarning("VelOpenGLContext::swapBuffers: the surface has no platform surface");
        return;
    }
    d->platformContext->swapBuffers(platformSurface);
}

VelFunctionPointer VelOpenGLContext::getProcAddress(const VelByteArray &procName) const
{
    return d->platformContext ? d->platformContext->getProcAddress(procName) : nullptr;
}

GLuint VelOpenGLContext::defaultFramebufferObject() const
{
    if (!d->platformContext || !d->surface || !d->surface->surfaceHandle())
        return 0;
    return d->platformContext->defaultFramebufferObject(d->surface->surfaceHandle());
}

VelSurface *VelOpenGLContext::surface() const
{
    return d->surface;
}

VelOpenGLContext *VelOpenGLContext::currentContext()
{
    return currentContextOfThread;
}
