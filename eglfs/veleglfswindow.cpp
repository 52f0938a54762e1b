#include "veleglfswindow.h"

#include "veleglfsbackingstore.h"
#include "veleglfscursor.h"
#include "veleglfshooks.h"
#include "veleglfsintegration.h"
#include "veleglfsscreen.h"

#include "veleglconvenience.h"
#include "velguiapplication.h"
#include "vellogging.h"
#include "velopenglcontext.h"
#include "velregion.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <algorithm>
#include <limits>

namespace
{

constexpr int DesktopWindowType = 17;

veluintptr newWId()
{
    static veluintptr counter = 0;
    if (counter == std::numeric_limits<veluintptr>::max())
        velWarning("EGLFS: Out of window IDs");
    return ++counter;
}

} // namespace

VelEglFSWindow::VelEglFSWindow(VelWindow *window) : VelPlatformWindow(window) {}

VelEglFSWindow::~VelEglFSWindow()
{
    VelEglFSWindow::destroy();
}

VelEglFSScreen *VelEglFSWindow::screen() const
{
    return static_cast<VelEglFSScreen *>(VelPlatformWindow::screen());
}

bool VelEglFSWindow::isDesktopWindow() const
{
    return int(window()->type()) == DesktopWindowType;
}

void VelEglFSWindow::sendExpose(const VelRect &rect) const
{
    VelWindowSystemInterface::handleExposeEvent(window(), VelRegion(rect));
}

void VelEglFSWindow::create()
{
    if (m_flags & FlagCreated)
        return;
    m_flags = FlagCreated;
    m_winId = newWId();

    if (isDesktopWindow()) {
        const VelRect full(VelPoint(0, 0), platformHooks->screenSize());
        VelPlatformWindow::setGeometry(full);
        VelWindowSystemInterface::handleGeometryChange(window(), full, VelRect());
        return;
    }

    if (window()->surfaceType() == VelSurface::RasterSurface)
        m_flags |= FlagRaster;

    VelEglFSScreen *eglScreen = screen();
    if (eglScreen->primarySurface() != EGL_NO_SURFACE)
        return;

    window()->setSurfaceType(VelSurface::OpenGLSurface);
    m_flags |= FlagNativeSurface;
    setGeometry(VelRect());
    sendExpose(geometry());

    const EGLDisplay display = eglScreen->display();
    const VelSurfaceFormat requested = platformHooks->surfaceFormatFor(window()->requestedFormat());
    m_config = VelEglFSIntegration::chooseConfig(display, requested);
    m_format = vel_glFormatFromConfig(display, m_config, VelSurfaceFormat());

    resetSurface();
    eglScreen->setPrimarySurface(m_ownSurface);

    if (m_flags & FlagRaster) {
        auto *context = new VelOpenGLContext(VelGuiApplication::instance());
        context->setFormat(window()->requestedFormat());
        context->setScreen(window()->screen());
        context->create();
        eglScreen->setRootContext(context);
    }
}

void VelEglFSWindow::resetSurface()
{
    const EGLDisplay display = screen()->display();
    m_nativeWindowHandle =
        platformHooks->createNativeWindow(this, platformHooks->screenSize(), m_format);
    m_ownSurface = eglCreateWindowSurface(
        display, m_config, platformHooks->eglNativeWindowFor(m_nativeWindowHandle), nullptr);
    if (m_ownSurface == EGL_NO_SURFACE) {
        const EGLint error = eglGetError();
        eglTerminate(display);
        velFatal("EGL Error : Could not create the egl surface: error = 0x%x\n", error);
    }
}

void VelEglFSWindow::invalidateSurface()
{
    if (m_ownSurface != EGL_NO_SURFACE) {
        eglDestroySurface(screen()->display(), m_ownSurface);
        m_ownSurface = EGL_NO_SURFACE;
    }
    platformHooks->destroyNativeWindow(m_nativeWindowHandle);
    m_nativeWindowHandle = nullptr;
}

void VelEglFSWindow::destroy()
{
    VelEglFSScreen *eglScreen = screen();
    if (m_flags & FlagNativeSurface) {
        if (auto *cursor = static_cast<VelEglFSCursor *>(eglScreen->cursor()))
            cursor->resetResources();
        if (eglScreen->primarySurface() == m_ownSurface)
            eglScreen->setPrimarySurface(EGL_NO_SURFACE);
        invalidateSurface();
    }
    m_flags = 0;
    // The compositor walks the stack and reads each window's backing store:
    // a destroyed window must not stay reachable there.
    eglScreen->removeWindow(this);
}

void VelEglFSWindow::setVisible(bool visible)
{
    VelEglFSScreen *eglScreen = screen();
    if (isDesktopWindow()) {
        sendExpose(window()->geometry());
        if (visible)
            VelWindowSystemInterface::flushWindowSystemEvents();
        return;
    }
    if (visible) {
        eglScreen->addWindow(this);
        sendExpose(window()->geometry());
        VelWindowSystemInterface::flushWindowSystemEvents();
        return;
    }
    eglScreen->removeWindow(this);
    if (!eglScreen->windows().empty())
        eglScreen->windows().back()->requestActivateWindow();
    sendExpose(window()->geometry());
}

void VelEglFSWindow::requestActivateWindow()
{
    if (!isDesktopWindow())
        screen()->moveToTop(this);
    VelWindowSystemInterface::handleWindowActivated(window(), Vel::OtherFocusReason);
    sendExpose(window()->geometry());
}

void VelEglFSWindow::raise()
{
    if (isDesktopWindow())
        return;
    screen()->moveToTop(this);
    sendExpose(window()->geometry());
}

void VelEglFSWindow::lower()
{
    VelEglFSScreen *eglScreen = screen();
    const std::vector<VelEglFSWindow *> &stack = eglScreen->windows();
    if (isDesktopWindow() || stack.size() <= 1)
        return;
    const auto it = std::find(stack.begin(), stack.end(), this);
    if (it == stack.end() || it == stack.begin())
        return;
    VelEglFSWindow *previousTop = stack.back();
    eglScreen->changeWindowIndex(this, int(it - stack.begin()) - 1);
    VelWindowSystemInterface::handleExposeEvent(previousTop->window(),
                                                VelRegion(previousTop->geometry()));
}

void VelEglFSWindow::setGeometry(const VelRect &rect)
{
    const VelRect applied = (m_flags & FlagNativeSurface) ? screen()->availableGeometry() : rect;
    VelPlatformWindow::setGeometry(applied);
    if (applied != rect)
        VelWindowSystemInterface::handleGeometryChange(window(), applied, rect);
}

VelRect VelEglFSWindow::geometry() const
{
    if (!(m_flags & FlagCreated) && screen()->primarySurface() == EGL_NO_SURFACE)
        return screen()->availableGeometry();
    return VelPlatformWindow::geometry();
}

EGLSurface VelEglFSWindow::surface() const
{
    return m_ownSurface != EGL_NO_SURFACE ? m_ownSurface : screen()->primarySurface();
}

unsigned VelEglFSWindow::texture() const
{
    return m_backingStore ? m_backingStore->texture() : 0;
}
