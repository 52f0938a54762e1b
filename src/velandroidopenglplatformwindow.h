#ifndef VELANDROIDOPENGLPLATFORMWINDOW_H
#define VELANDROIDOPENGLPLATFORMWINDOW_H

#include "veleglfswindow.h"

#include "velatomic.h"
#include "velmutex.h"
#include "velreadwritelock.h"
#include "velsize.h"

#include <mutex>
#include <vector>

// A window on Android. All windows of the process share one EGL surface on
// the current Android surface; it is given up when Java destroys the surface
// and made again on the next one.
//
// Threads: the GUI thread creates, renders and destroys windows; a Java
// thread replaces or takes away the surface of every listed window through
// the static operations below (the bridge calls them with its own surface
// mutex released). Lock order: m_windowsMutex, then m_staticSurfaceLock, then
// the bridge's surface mutex, then a window's pendingSizeMutex.
class VelAndroidOpenGLPlatformWindow : public VelEglFSWindow
{
public:
    explicit VelAndroidOpenGLPlatformWindow(VelWindow *window);
    ~VelAndroidOpenGLPlatformWindow() override;

    void setVisible(bool visible) override;
    void setWindowState(Vel::WindowState state) override;
    void raise() override;
    bool isExposed() const override;
    void invalidateSurface() override;
    // GUI thread: takes the shared surface, making it first (and waiting for
    // the Android surface) when there is none.
    void resetSurface() override;
    EGLSurface surface() const override;

    // GUI thread, once created: lists the window for surface changes and
    // takes the shared surface when one exists. Child windows too: they
    // render into the same surface.
    void attachToSharedSurface();
    void destroy();
    void updateStatusBarVisibility();

    // Java thread, the bridge's surface mutex released. The surface is gone:
    // every listed window learns it is not exposed, then lets go of the
    // shared surface, which is destroyed.
    static void invalidateAll();
    // A different surface: the shared surface is made again on it and every
    // listed window takes it, with the desktop size pending.
    static void resetAll();
    // The same surface with a new size: pending for every listed window.
    static void resizeAll(int width, int height);
    // A repaint request: every listed window gets an expose event.
    static void exposeAll();

    static void updateStaticNativeWindow();
    // How many windows hold the shared surface now (for tests and checks).
    static int sharedSurfaceUsers();
    static EGLSurface sharedSurface();

    // Size to apply after the next swap; negative: nothing pending. Guarded by
    // pendingSizeMutex, which is last in the lock order (nothing is taken
    // while it is held).
    VelSize pendingSize = VelSize(-1, -1);
    VelMutex pendingSizeMutex;

private:
    enum WindowWait { WaitForWindow, DoNotWait };
    bool takeSharedSurface(WindowWait wait);
    void holdSharedSurfaceLocked();
    void dropSharedSurfaceLocked();
    void setPendingDesktopSize(int width, int height);
    static bool createSharedSurfaceLocked(void *nativeWindow, EGLConfig ownConfig);
    static void destroySharedSurfaceLocked();

    // GUI thread only.
    Vel::WindowState m_windowState = Vel::WindowNoState;
    // Written before the window is listed, constant after.
    bool m_desktop = false;
    // Guarded by m_staticSurfaceLock, like m_ownSurface and
    // m_nativeWindowHandle of the base (this class writes them only under
    // it once the window is listed).
    bool m_holdsSharedSurface = false;

    // Guards m_windows; first in the order. A Java thread holds it while it
    // changes the listed windows' surfaces, so a listed window stays alive.
    // (Never destroyed, like the lock below: a GUI thread may still run
    // while the process exits.)
    static std::mutex &m_windowsMutex;
    static std::vector<VelAndroidOpenGLPlatformWindow *> &m_windows;

    // Guards the shared surface, its native window (one reference, taken for
    // it), its display, the config it is made with and the holders' surface
    // fields. Second in the order: the bridge's surface mutex is taken under
    // it, never the other way round.
    static VelReadWriteLock &m_staticSurfaceLock;
    static EGLSurface m_staticSurface;
    static void *m_staticNativeWindow;
    static EGLDisplay m_staticSurfaceDisplay;
    static EGLConfig m_staticConfig;
    // Windows holding the shared surface; changed under the write lock.
    static VelAtomicInt m_referenceCount;
};

#endif
