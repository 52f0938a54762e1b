#ifndef VELPLATFORMWINDOW_H
#define VELPLATFORMWINDOW_H

#include "velguinamespace.h"
#include "velplatformsurface.h"
#include "velpoint.h"
#include "velrect.h"
#include "velstring.h"

class VelPlatformScreen;
class VelWindow;

// The platform side of one VelWindow, made by the integration's createPlatformWindow and
// owned by its window, which deletes it in destroy(). The defaults keep the state in the
// base so that a platform that has nothing to do still answers consistently.
class VelPlatformWindow : public VelPlatformSurface
{
public:
    explicit VelPlatformWindow(VelWindow *window);
    ~VelPlatformWindow() override;

    VelWindow *window() const;
    VelPlatformWindow *parent() const;
    VelPlatformScreen *screen() const;

    // Default: the window's requested format.
    VelSurfaceFormat format() const override;
    // Default: stores the rectangle; geometry() returns what was stored.
    virtual void setGeometry(const VelRect &rect);
    virtual VelRect geometry() const;
    virtual void setVisible(bool visible);
    // Default: the address of the host window, which is unique while it lives.
    virtual veluintptr winId() const;
    virtual void raise();
    virtual void lower();
    virtual void requestActivateWindow();
    virtual void setWindowState(Vel::WindowState state);
    // Default: the host window is visible.
    virtual bool isExposed() const;
    virtual bool isActive() const;
    // Default: stores the flags; windowFlags() returns what was stored.
    virtual void setWindowFlags(Vel::WindowFlags flags);
    virtual Vel::WindowFlags windowFlags() const;
    virtual void setWindowTitle(const VelString &title);
    // Defaults: offset by the top-left corner of geometry().
    virtual VelPoint mapToGlobal(const VelPoint &pos) const;
    virtual VelPoint mapFromGlobal(const VelPoint &pos) const;
    virtual void setOpacity(double level);
    virtual void propagateSizeHints();

private:
    VelWindow *m_window; // not owned: the window owns this object
    VelRect m_rect;
    Vel::WindowFlags m_flags = Vel::Window;
};

#endif
