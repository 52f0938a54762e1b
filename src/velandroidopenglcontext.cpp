#include "velandroidopenglcontext.h"

#include "velandroidopenglplatformwindow.h"

#include "velopenglcontext_p.h"
#include "velregion.h"
#include "velsurface.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <cstring>

namespace
{

const char emulatorRendererPrefix[] = "Android Emulator";

} // namespace

VelAndroidOpenGLContext::VelAndroidOpenGLContext(const VelAndroidPlatformIntegration *integration,
                                                 const VelSurfaceFormat &format,
                                                 VelPlatformOpenGLContext *share,
                                                 EGLDisplay display, EGLenum eglApi)
    : VelEglFSContext(format, share, display, eglApi), m_platformIntegration(integration)
{
}

bool VelAndroidOpenGLContext::makeCurrent(VelPlatformSurface *surface)
{
    const bool result = VelEglFSContext::makeCurrent(surface);
    // A context's renderer never changes: once read on this context, every
    // later call (one per flush and per composited frame) is spared the query.
    if (m_rendererChecked)
        return result;
    const auto *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    if (renderer &&
        std::strncmp(renderer, emulatorRendererPrefix, sizeof(emulatorRendererPrefix) - 1) == 0) {
        if (VelOpenGLContextPrivate *d = VelOpenGLContextPrivate::get(context()))
            d->workaround_brokenFBOReadBack = true;
    }
    // After a failed call the string read was another context's, if any.
    m_rendererChecked = result;
    return result;
}

void VelAndroidOpenGLContext::swapBuffers(VelPlatformSurface *surface)
{
    // Java may replace or take the surface between makeCurrent and here. The
    // frame was then drawn into a surface that is no longer the window's, and
    // swapping the window's surface would fail (it is not current) or show a
    // frame never drawn into it; the expose that came with the change draws
    // the next frame. This one is dropped, and the pending size below still
    // applies.
    const EGLSurface target = eglSurfaceForPlatformSurface(surface);
    if (target != EGL_NO_SURFACE && target == boundSurface())
        VelEglFSContext::swapBuffers(surface);
    if (!surface || !surface->surface() || surface->surface()->surfaceClass() != VelSurface::Window)
        return;
    auto *window = static_cast<VelAndroidOpenGLPlatformWindow *>(surface);
    VelMutexLocker lock(&window->pendingSizeMutex);
    if (window->pendingSize.width() < 0 || window->pendingSize.height() < 0)
        return;
    const VelRect rect(VelPoint(0, 0), window->pendingSize);
    window->setGeometry(rect);
    VelWindowSystemInterface::handleGeometryChange(window->window(), rect, VelRect());
    VelWindowSystemInterface::handleExposeEvent(window->window(), VelRegion(rect));
    window->pendingSize = VelSize(-1, -1);
}
