#ifndef VELANDROIDOPENGLPLATFORMWINDOW_H
#define VELANDROIDOPENGLPLATFORMWINDOW_H

#include "veleglfswindow.h"

#include "velatomic.h"
#include "velmutex.h"
#include "velreadwritelock.h"
#include "velsize.h"

// A top-level window on Android. All windows of the process share one EGL
// surface on the current Android surface; it is given up when Java destroys
// the surface and made again on the next one.
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
    void resetSurface() override;
    EGLSurface surface() const override;

    // Takes the shared surface when one exists and this window has none yet.
    void attachToSharedSurface();
    void destroy();
    void updateStatusBarVisibility();

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
    void dropSharedSurface();
    static void destroySharedSurfaceLocked();

    Vel::WindowState m_windowState = Vel::WindowNoState;
    bool m_holdsSharedSurface = false;

    static EGLSurface m_staticSurface;
    static void *m_staticNativeWindow;
    static EGLDisplay m_staticSurfaceDisplay;
    // Guards m_staticSurface and m_staticNativeWindow; first in the renderer's
    // lock order: the bridge's surface mutex is taken under it (through the
    // hooks), never the other way round.
    static VelReadWriteLock m_staticSurfaceLock;
    static VelAtomicInt m_referenceCount;
};

#endif
