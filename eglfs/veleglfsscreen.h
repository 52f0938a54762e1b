#ifndef VELEGLFSSCREEN_H
#define VELEGLFSSCREEN_H

#include "velplatformscreen.h"

#include <EGL/egl.h>

#include <vector>

class VelEglFSWindow;
class VelOpenGLContext;
class VelPlatformCursor;

// The one screen: geometry from the device hooks, the stacking order of the
// top-level windows, their shared EGL surface and the compositing context.
class VelEglFSScreen : public VelPlatformScreen
{
public:
    explicit VelEglFSScreen(EGLDisplay display);
    ~VelEglFSScreen() override;

    VelRect geometry() const override;
    int depth() const override;
    int format() const override;
    VelSizeF physicalSize() const override;
    VelDpi logicalDpi() const override;
    Vel::ScreenOrientation nativeOrientation() const override;
    Vel::ScreenOrientation orientation() const override;
    VelPlatformCursor *cursor() const override;

    EGLDisplay display() const { return m_display; }
    EGLSurface primarySurface() const { return m_primarySurface; }
    void setPrimarySurface(EGLSurface surface) { m_primarySurface = surface; }
    VelOpenGLContext *rootContext() const { return m_rootContext; }
    void setRootContext(VelOpenGLContext *context) { m_rootContext = context; }
    const std::vector<VelEglFSWindow *> &windows() const { return m_windows; }

    void addWindow(VelEglFSWindow *window);
    void removeWindow(VelEglFSWindow *window);
    void moveToTop(VelEglFSWindow *window);
    void changeWindowIndex(VelEglFSWindow *window, int index);
    VelEglFSWindow *rootWindow() const;

protected:
    virtual void topWindowChanged(VelEglFSWindow *window);

private:
    EGLDisplay m_display; // not owned
    EGLSurface m_primarySurface = EGL_NO_SURFACE;
    VelPlatformCursor *m_cursor = nullptr;     // owned
    std::vector<VelEglFSWindow *> m_windows;   // bottom first; not owned
    VelOpenGLContext *m_rootContext = nullptr; // owned by the application object
};

#endif
