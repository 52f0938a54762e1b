#ifndef VELEGLFSWINDOW_H
#define VELEGLFSWINDOW_H

#include "velplatformwindow.h"
#include "velsurfaceformat.h"

#include <EGL/egl.h>

class VelEglFSBackingStore;
class VelEglFSScreen;

// The platform window of one top-level window. Only the first window created
// on the screen owns a native window and an EGL surface; it becomes the
// screen's shared surface and every later window renders into it.
class VelEglFSWindow : public VelPlatformWindow
{
public:
    enum Flag { FlagCreated = 1, FlagRaster = 2, FlagNativeSurface = 4 };

    explicit VelEglFSWindow(VelWindow *window);
    ~VelEglFSWindow() override;

    VelSurfaceFormat format() const override { return m_format; }
    void setGeometry(const VelRect &rect) override;
    VelRect geometry() const override;
    void setVisible(bool visible) override;
    veluintptr winId() const override { return m_winId; }
    void raise() override;
    void lower() override;
    void requestActivateWindow() override;

    virtual void invalidateSurface();
    virtual void resetSurface();

    void create();
    void destroy();

    VelEglFSScreen *screen() const;
    void *eglWindow() const { return m_nativeWindowHandle; }
    // What the contexts make current and swap: the window's own surface, or
    // the screen's shared one.
    virtual EGLSurface surface() const;
    unsigned texture() const;

    bool hasFlag(Flag flag) const { return (m_flags & flag) != 0; }
    void setBackingStore(VelEglFSBackingStore *store) { m_backingStore = store; }
    VelEglFSBackingStore *backingStore() const { return m_backingStore; }

protected:
    bool isDesktopWindow() const;
    void sendExpose(const VelRect &rect) const;

    EGLSurface m_ownSurface = EGL_NO_SURFACE;
    void *m_nativeWindowHandle = nullptr;
    EGLConfig m_config = nullptr;
    VelSurfaceFormat m_format;
    veluintptr m_winId = 0;
    VelEglFSBackingStore *m_backingStore = nullptr; // not owned
    int m_flags = 0;
};

#endif
