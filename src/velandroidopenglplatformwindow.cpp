#include "velandroidopenglplatformwindow.h"

#include "androidjnimain.h"
#include "velandroidplatformintegration.h"
#include "veleglfshooks.h"
#include "veleglfsscreen.h"

#include "velregion.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <android/native_window.h>

EGLSurface VelAndroidOpenGLPlatformWindow::m_staticSurface = EGL_NO_SURFACE;
void *VelAndroidOpenGLPlatformWindow::m_staticNativeWindow = nullptr;
EGLDisplay VelAndroidOpenGLPlatformWindow::m_staticSurfaceDisplay = EGL_NO_DISPLAY;
VelReadWriteLock VelAndroidOpenGLPlatformWindow::m_staticSurfaceLock;
VelAtomicInt VelAndroidOpenGLPlatformWindow::m_referenceCount(0);

namespace
{

// Dialogs, sheets, drawers, pop-ups, tools, tool tips and splash screens
// leave the status bar alone.
constexpr unsigned SecondaryWindowBits = 0x2 | 0x4 | 0x8;

class WriteLocker
{
public:
    explicit WriteLocker(VelReadWriteLock *lock) : m_lock(lock) { m_lock->lockForWrite(); }
    ~WriteLocker() { m_lock->unlock(); }

private:
    VelReadWriteLock *m_lock;
};

class ReadLocker
{
public:
    explicit ReadLocker(VelReadWriteLock *lock) : m_lock(lock) { m_lock->lockForRead(); }
    ~ReadLocker() { m_lock->unlock(); }

private:
    VelReadWriteLock *m_lock;
};

} // namespace

VelAndroidOpenGLPlatformWindow::VelAndroidOpenGLPlatformWindow(VelWindow *window)
    : VelEglFSWindow(window)
{
}

VelAndroidOpenGLPlatformWindow::~VelAndroidOpenGLPlatformWindow()
{
    destroy();
}

int VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers()
{
    return m_referenceCount.load();
}

EGLSurface VelAndroidOpenGLPlatformWindow::sharedSurface()
{
    ReadLocker lock(&m_staticSurfaceLock);
    return m_staticSurface;
}

void VelAndroidOpenGLPlatformWindow::destroySharedSurfaceLocked()
{
    if (m_staticSurface != EGL_NO_SURFACE)
        eglDestroySurface(m_staticSurfaceDisplay, m_staticSurface);
    // The hooks took one reference for the surface; it goes with the surface.
    platformHooks->destroyNativeWindow(m_staticNativeWindow);
    m_staticSurface = EGL_NO_SURFACE;
    m_staticNativeWindow = nullptr;
}

void VelAndroidOpenGLPlatformWindow::updateStaticNativeWindow()
{
    WriteLocker lock(&m_staticSurfaceLock);
    // A surface made on a window Java has since replaced must not be handed to
    // the windows reset next: they take a new one on the current window.
    if (m_staticSurface != EGL_NO_SURFACE &&
        m_staticNativeWindow != VelAndroid::nativeWindow(false))
        destroySharedSurfaceLocked();
}

void VelAndroidOpenGLPlatformWindow::resetSurface()
{
    if (!m_holdsSharedSurface) {
        m_holdsSharedSurface = true;
        m_referenceCount.ref();
    }
    {
        WriteLocker lock(&m_staticSurfaceLock);
        if (m_staticSurface == EGL_NO_SURFACE) {
            VelEglFSWindow::resetSurface();
            m_staticSurface = m_ownSurface;
            m_staticNativeWindow = m_nativeWindowHandle;
            m_staticSurfaceDisplay = screen()->display();
        } else {
            m_nativeWindowHandle = m_staticNativeWindow;
            m_ownSurface = m_staticSurface;
        }
    }
    {
        VelMutexLocker sizeLock(&pendingSizeMutex);
        pendingSize = VelSize(VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                              VelAndroidPlatformIntegration::m_defaultGeometryHeight);
    }
    sendExpose(geometry());
    VelWindowSystemInterface::flushWindowSystemEvents();
}

void VelAndroidOpenGLPlatformWindow::attachToSharedSurface()
{
    if (m_holdsSharedSurface || isDesktopWindow())
        return;
    ReadLocker lock(&m_staticSurfaceLock);
    if (m_staticSurface == EGL_NO_SURFACE)
        return;
    m_holdsSharedSurface = true;
    m_referenceCount.ref();
    m_nativeWindowHandle = m_staticNativeWindow;
    m_ownSurface = m_staticSurface;
}

void VelAndroidOpenGLPlatformWindow::dropSharedSurface()
{
    m_nativeWindowHandle = nullptr;
    m_ownSurface = EGL_NO_SURFACE;
    if (!m_holdsSharedSurface)
        return;
    m_holdsSharedSurface = false;
    if (!m_referenceCount.deref()) {
        WriteLocker lock(&m_staticSurfaceLock);
        destroySharedSurfaceLocked();
    }
}

void VelAndroidOpenGLPlatformWindow::invalidateSurface()
{
    // The application learns that it is no longer visible before the surface
    // it may be drawing to goes away.
    VelWindowSystemInterface::handleExposeEvent(window(), VelRegion());
    VelWindowSystemInterface::flushWindowSystemEvents();
    dropSharedSurface();
}

void VelAndroidOpenGLPlatformWindow::destroy()
{
    dropSharedSurface();
    // The next window created owns the shared surface from now on.
    if (hasFlag(FlagNativeSurface))
        screen()->setPrimarySurface(EGL_NO_SURFACE);
    // The base destructor then clears the flags and takes the window off the
    // stack; with no surface left here it releases nothing more.
}

EGLSurface VelAndroidOpenGLPlatformWindow::surface() const
{
    if (m_ownSurface != EGL_NO_SURFACE)
        return m_ownSurface;
    // Never the screen's record: it may name a surface since replaced.
    return sharedSurface();
}

void VelAndroidOpenGLPlatformWindow::setVisible(bool visible)
{
    if (visible) {
        updateStatusBarVisibility();
        VelEglFSWindow::setVisible(true);
        VelAndroid::setApplicationActive();
    } else {
        VelEglFSWindow::setVisible(false);
    }
    sendExpose(geometry());
    VelWindowSystemInterface::flushWindowSystemEvents();
}

void VelAndroidOpenGLPlatformWindow::setWindowState(Vel::WindowState state)
{
    if (state == m_windowState)
        return;
    m_windowState = state;
    if (window()->isVisible())
        updateStatusBarVisibility();
}

void VelAndroidOpenGLPlatformWindow::raise()
{
    updateStatusBarVisibility();
}

bool VelAndroidOpenGLPlatformWindow::isExposed() const
{
    if (!VelAndroid::nativeWindow(false))
        return false;
    return VelEglFSWindow::isExposed();
}

void VelAndroidOpenGLPlatformWindow::updateStatusBarVisibility()
{
    if (unsigned(window()->flags()) & SecondaryWindowBits)
        return;
    if (unsigned(m_windowState) & Vel::WindowFullScreen)
        VelAndroid::hideStatusBar();
    else if (unsigned(m_windowState) & Vel::WindowMaximized)
        VelAndroid::showStatusBar();
}
