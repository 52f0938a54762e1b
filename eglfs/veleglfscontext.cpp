#include "veleglfscontext.h"

#include "veleglfscursor.h"
#include "veleglfshooks.h"
#include "veleglfsintegration.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "veleglpbuffer.h"
#include "velenvironment.h"
#include "velsurface.h"

namespace
{

int swapInterval()
{
    const VelByteArray value = velgetenv("VEL_VELPA_EGLFS_SWAPINTERVAL");
    if (value.isEmpty())
        return 1;
    bool ok = false;
    const int interval = value.toInt(&ok);
    return ok ? interval : 1;
}

VelEglFSWindow *windowOf(VelPlatformSurface *surface)
{
    if (!surface || !surface->surface() || surface->surface()->surfaceClass() != VelSurface::Window)
        return nullptr;
    return static_cast<VelEglFSWindow *>(surface);
}

} // namespace

VelEglFSContext::VelEglFSContext(const VelSurfaceFormat &format, VelPlatformOpenGLContext *share,
                                 EGLDisplay display, EGLenum eglApi)
    : VelEGLPlatformContext(
          platformHooks->surfaceFormatFor(format), share, display,
          VelEglFSIntegration::chooseConfig(display, platformHooks->surfaceFormatFor(format)),
          eglApi)
{
}

bool VelEglFSContext::makeCurrent(VelPlatformSurface *surface)
{
    const bool success = VelEGLPlatformContext::makeCurrent(surface);
    if (success && !m_swapIntervalSet) {
        m_swapIntervalSet = true;
        eglSwapInterval(eglDisplay(), swapInterval());
    }
    return success;
}

void VelEglFSContext::swapBuffers(VelPlatformSurface *surface)
{
    if (VelEglFSWindow *window = windowOf(surface)) {
        if (auto *cursor = static_cast<VelEglFSCursor *>(window->screen()->cursor()))
            cursor->paintOnScreen();
    }
    platformHooks->waitForVSync();
    VelEGLPlatformContext::swapBuffers(surface);
}

EGLSurface VelEglFSContext::eglSurfaceForPlatformSurface(VelPlatformSurface *surface)
{
    if (VelEglFSWindow *window = windowOf(surface))
        return window->surface();
    return static_cast<VelEGLPbuffer *>(surface)->pbuffer();
}
