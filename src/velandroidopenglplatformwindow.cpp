#include "velandroidopenglplatformwindow.h"

#include "androidjnimain.h"
#include "velandroidguithreadcall.h"
#include "velandroidplatformintegration.h"
#include "veleglfshooks.h"
#include "veleglfsintegration.h"
#include "veleglfsscreen.h"

#include "vellogging.h"
#include "velregion.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <android/native_window.h>

#include <algorithm>

std::mutex &VelAndroidOpenGLPlatformWindow::m_windowsMutex = *new std::mutex;
std::vector<VelAndroidOpenGLPlatformWindow *> &VelAndroidOpenGLPlatformWindow::m_windows =
    *new std::vector<VelAndroidOpenGLPlatformWindow *>;
VelReadWriteLock &VelAndroidOpenGLPlatformWindow::m_staticSurfaceLock = *new VelReadWriteLock;
EGLSurface VelAndroidOpenGLPlatformWindow::m_staticSurface = EGL_NO_SURFACE;
void *VelAndroidOpenGLPlatformWindow::m_staticNativeWindow = nullptr;
EGLDisplay VelAndroidOpenGLPlatformWindow::m_staticSurfaceDisplay = EGL_NO_DISPLAY;
EGLConfig VelAndroidOpenGLPlatformWindow::m_staticConfig = nullptr;
VelAtomicInt VelAndroidOpenGLPlatformWindow::m_referenceCount(0);

namespace
{

// Dialogs, sheets, drawers, pop-ups, tools, tool tips and splash screens
// leave the status bar alone.
constexpr unsigned SecondaryWindowBits = 0x2 | 0x4 | 0x8;

// The locks below may be held by a Java thread that changes the surface. The
// GUI thread waiting for one waits for Java, and says so (BlockedInJava): a
// Java thread handing work to it meanwhile must not wait for it in turn.
class WriteLocker
{
public:
    explicit WriteLocker(VelReadWriteLock *lock) : m_lock(lock)
    {
        if (!m_lock->tryLockForWrite()) {
            const VelAndroidGuiThreadCall::BlockedInJava blocked;
            m_lock->lockForWrite();
        }
    }
    ~WriteLocker() { m_lock->unlock(); }

private:
    VelReadWriteLock *m_lock;
};

class ReadLocker
{
public:
    explicit ReadLocker(VelReadWriteLock *lock) : m_lock(lock)
    {
        if (!m_lock->tryLockForRead()) {
            const VelAndroidGuiThreadCall::BlockedInJava blocked;
            m_lock->lockForRead();
        }
    }
    ~ReadLocker() { m_lock->unlock(); }

private:
    VelReadWriteLock *m_lock;
};

class WindowsLocker
{
public:
    explicit WindowsLocker(std::mutex *mutex) : m_mutex(mutex)
    {
        if (!m_mutex->try_lock()) {
            const VelAndroidGuiThreadCall::BlockedInJava blocked;
            m_mutex->lock();
        }
    }
    ~WindowsLocker() { m_mutex->unlock(); }
    WindowsLocker(const WindowsLocker &) = delete;
    WindowsLocker &operator=(const WindowsLocker &) = delete;

private:
    std::mutex *m_mutex;
};

// What a Java thread exposes after a surface change: it does not read the
// windows' geometry (GUI-thread state), and the whole screen is new anyway.
VelRegion desktopRegion()
{
    return VelRegion(VelRect(0, 0, VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                             VelAndroidPlatformIntegration::m_defaultGeometryHeight));
}

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

bool VelAndroidOpenGLPlatformWindow::createSharedSurfaceLocked(void *nativeWindow,
                                                               EGLConfig ownConfig)
{
    const EGLDisplay display = m_staticSurfaceDisplay;
    // Any window may be the one that makes the surface after a change, also
    // one that never chose a config (it came later, or it is a child): the
    // surface keeps the config it was first made with.
    if (ownConfig)
        m_staticConfig = ownConfig;
    if (!m_staticConfig)
        m_staticConfig = VelEglFSIntegration::chooseConfig(
            display, platformHooks->surfaceFormatFor(VelSurfaceFormat()));
    const EGLSurface surface = eglCreateWindowSurface(
        display, m_staticConfig, platformHooks->eglNativeWindowFor(nativeWindow), nullptr);
    if (surface == EGL_NO_SURFACE) {
        const EGLint error = eglGetError();
        eglTerminate(display);
        velFatal("EGL Error : Could not create the egl surface: error = 0x%x\n", error);
        return false;
    }
    m_staticSurface = surface;
    m_staticNativeWindow = nativeWindow;
    return true;
}

void VelAndroidOpenGLPlatformWindow::destroySharedSurfaceLocked()
{
    if (m_staticSurface != EGL_NO_SURFACE)
        eglDestroySurface(m_staticSurfaceDisplay, m_staticSurface);
    // The reference taken for the surface goes with it.
    platformHooks->destroyNativeWindow(m_staticNativeWindow);
    m_staticSurface = EGL_NO_SURFACE;
    m_staticNativeWindow = nullptr;
}

void VelAndroidOpenGLPlatformWindow::holdSharedSurfaceLocked()
{
    if (!m_holdsSharedSurface) {
        m_holdsSharedSurface = true;
        m_referenceCount.ref();
    }
    m_nativeWindowHandle = m_staticNativeWindow;
    m_ownSurface = m_staticSurface;
}

void VelAndroidOpenGLPlatformWindow::dropSharedSurfaceLocked()
{
    m_nativeWindowHandle = nullptr;
    m_ownSurface = EGL_NO_SURFACE;
    if (!m_holdsSharedSurface)
        return;
    m_holdsSharedSurface = false;
    if (!m_referenceCount.deref())
        destroySharedSurfaceLocked();
}

bool VelAndroidOpenGLPlatformWindow::takeSharedSurface(WindowWait wait)
{
    {
        WriteLocker lock(&m_staticSurfaceLock);
        if (m_staticSurface != EGL_NO_SURFACE) {
            holdSharedSurfaceLocked();
            return true;
        }
    }
    // None yet: made on the current Android window. Waiting for one happens
    // with no lock held (only Java can end it), and only on the GUI thread:
    // a Java thread waiting here would wait for itself.
    void *nativeWindow = VelAndroid::acquireNativeWindow(wait == WaitForWindow);
    if (!nativeWindow)
        return false;
    WriteLocker lock(&m_staticSurfaceLock);
    if (m_staticSurface == EGL_NO_SURFACE)
        createSharedSurfaceLocked(nativeWindow, m_config);
    else
        platformHooks->destroyNativeWindow(nativeWindow); // made meanwhile
    holdSharedSurfaceLocked();
    return true;
}

void VelAndroidOpenGLPlatformWindow::setPendingDesktopSize(int width, int height)
{
    VelMutexLocker sizeLock(&pendingSizeMutex);
    pendingSize = VelSize(width, height);
}

void VelAndroidOpenGLPlatformWindow::updateStaticNativeWindow()
{
    WindowsLocker windowsLock(&m_windowsMutex);
    WriteLocker lock(&m_staticSurfaceLock);
    // A surface made on a window Java has since replaced must not be handed to
    // the windows reset next: they take a new one on the current window.
    if (m_staticSurface == EGL_NO_SURFACE ||
        m_staticNativeWindow == VelAndroid::nativeWindow(false))
        return;
    destroySharedSurfaceLocked();
    // Its holders keep their count for the next surface but not the handle.
    for (VelAndroidOpenGLPlatformWindow *window : m_windows) {
        window->m_ownSurface = EGL_NO_SURFACE;
        window->m_nativeWindowHandle = nullptr;
    }
}

void VelAndroidOpenGLPlatformWindow::resetAll()
{
    updateStaticNativeWindow();
    const int width = VelAndroidPlatformIntegration::m_defaultGeometryWidth;
    const int height = VelAndroidPlatformIntegration::m_defaultGeometryHeight;
    {
        WindowsLocker windowsLock(&m_windowsMutex);
        for (VelAndroidOpenGLPlatformWindow *window : m_windows) {
            // Desktop windows never hold the surface; without a surface (Java
            // took it away again meanwhile) there is nothing to take.
            if (window->m_desktop || !window->takeSharedSurface(DoNotWait))
                continue;
            window->setPendingDesktopSize(width, height);
            VelWindowSystemInterface::handleExposeEvent(window->window(), desktopRegion());
        }
    }
    VelWindowSystemInterface::flushWindowSystemEvents();
}

void VelAndroidOpenGLPlatformWindow::invalidateAll()
{
    // The application learns that its windows are no longer visible before
    // the surface it may be drawing to goes away. With no surface held there
    // is nothing to protect, and the GUI thread may well be waiting for Java
    // (for a surface): no flush then.
    if (m_referenceCount.load() == 0)
        return;
    {
        WindowsLocker windowsLock(&m_windowsMutex);
        for (VelAndroidOpenGLPlatformWindow *window : m_windows)
            VelWindowSystemInterface::handleExposeEvent(window->window(), VelRegion());
    }
    VelWindowSystemInterface::flushWindowSystemEvents();
    WindowsLocker windowsLock(&m_windowsMutex);
    WriteLocker lock(&m_staticSurfaceLock);
    for (VelAndroidOpenGLPlatformWindow *window : m_windows)
        window->dropSharedSurfaceLocked();
}

void VelAndroidOpenGLPlatformWindow::resizeAll(int width, int height)
{
    WindowsLocker windowsLock(&m_windowsMutex);
    for (VelAndroidOpenGLPlatformWindow *window : m_windows) {
        window->setPendingDesktopSize(width, height);
        VelWindowSystemInterface::handleExposeEvent(window->window(), desktopRegion());
    }
}

void VelAndroidOpenGLPlatformWindow::exposeAll()
{
    WindowsLocker windowsLock(&m_windowsMutex);
    for (VelAndroidOpenGLPlatformWindow *window : m_windows)
        VelWindowSystemInterface::handleExposeEvent(window->window(), desktopRegion());
}

void VelAndroidOpenGLPlatformWindow::resetSurface()
{
    {
        WriteLocker lock(&m_staticSurfaceLock);
        m_staticSurfaceDisplay = screen()->display();
    }
    takeSharedSurface(WaitForWindow);
    setPendingDesktopSize(VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                          VelAndroidPlatformIntegration::m_defaultGeometryHeight);
    sendExpose(geometry());
    VelWindowSystemInterface::flushWindowSystemEvents();
}

void VelAndroidOpenGLPlatformWindow::attachToSharedSurface()
{
    m_desktop = isDesktopWindow();
    {
        WindowsLocker windowsLock(&m_windowsMutex);
        if (std::find(m_windows.begin(), m_windows.end(), this) == m_windows.end())
            m_windows.push_back(this);
    }
    WriteLocker lock(&m_staticSurfaceLock);
    m_staticSurfaceDisplay = screen()->display();
    if (m_desktop)
        return;
    // Also for the window that made the surface in create(): Java may have
    // replaced or taken it before the window was listed.
    if (m_staticSurface != EGL_NO_SURFACE || m_holdsSharedSurface)
        holdSharedSurfaceLocked();
}

void VelAndroidOpenGLPlatformWindow::invalidateSurface()
{
    // The application learns that it is no longer visible before the surface
    // it may be drawing to goes away.
    VelWindowSystemInterface::handleExposeEvent(window(), VelRegion());
    VelWindowSystemInterface::flushWindowSystemEvents();
    WriteLocker lock(&m_staticSurfaceLock);
    dropSharedSurfaceLocked();
}

void VelAndroidOpenGLPlatformWindow::destroy()
{
    {
        WindowsLocker windowsLock(&m_windowsMutex);
        m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), this), m_windows.end());
    }
    {
        WriteLocker lock(&m_staticSurfaceLock);
        dropSharedSurfaceLocked();
    }
    // The next window created owns the shared surface from now on.
    if (hasFlag(FlagNativeSurface))
        screen()->setPrimarySurface(EGL_NO_SURFACE);
    // The base destructor then clears the flags and takes the window off the
    // stack; with no surface left here it releases nothing more.
}

EGLSurface VelAndroidOpenGLPlatformWindow::surface() const
{
    // Never the screen's record: it may name a surface since replaced.
    ReadLocker lock(&m_staticSurfaceLock);
    return m_ownSurface != EGL_NO_SURFACE ? m_ownSurface : m_staticSurface;
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
