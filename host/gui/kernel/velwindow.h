#ifndef VELWINDOW_H
#define VELWINDOW_H

#include "velguinamespace.h"
#include "velobject.h"
#include "velpoint.h"
#include "velrect.h"
#include "velsurface.h"

#include <memory>

class VelExposeEvent;
class VelFocusEvent;
class VelKeyEvent;
class VelMouseEvent;
class VelMoveEvent;
class VelPlatformWindow;
class VelResizeEvent;
class VelScreen;
class VelTouchEvent;
class VelWindowPrivate;

// A window of the application. Its platform window is made by the integration when the
// window is created (create() or the first show) and deleted by destroy() or with the
// window. Geometry and visibility may be read from any thread; everything else belongs
// to the GUI thread.
class VelWindow : public VelObject, public VelSurface
{
    VEL_OBJECT
public:
    explicit VelWindow(VelScreen *screen = nullptr);
    explicit VelWindow(VelWindow *parent);
    ~VelWindow() override;

    void setSurfaceType(SurfaceType surfaceType);
    SurfaceType surfaceType() const override;
    VelSurfaceFormat format() const override;
    VelPlatformSurface *surfaceHandle() const override;
    VelSize size() const override;

    void setFormat(const VelSurfaceFormat &format);
    VelSurfaceFormat requestedFormat() const;

    void setFlags(Vel::WindowFlags flags);
    Vel::WindowFlags flags() const;
    Vel::WindowType type() const;

    void setTitle(const VelString &title);
    VelString title() const;

    void setWindowState(Vel::WindowState state);
    Vel::WindowState windowState() const;

    bool isVisible() const;
    void setVisible(bool visible);
    void show();
    void hide();
    void showNormal();
    void showMaximized();
    void showFullScreen();
    void showMinimized();

    void create();
    void destroy();
    VelPlatformWindow *handle() const;
    veluintptr winId() const;

    VelWindow *parent() const;
    bool isTopLevel() const;

    VelRect geometry() const;
    void setGeometry(const VelRect &rect);
    void setGeometry(int x, int y, int w, int h) { setGeometry(VelRect(x, y, w, h)); }
    VelPoint position() const { return geometry().topLeft(); }
    void setPosition(const VelPoint &pos);
    void resize(const VelSize &size);
    void resize(int w, int h) { resize(VelSize(w, h)); }
    int x() const { return geometry().x(); }
    int y() const { return geometry().y(); }
    int width() const { return geometry().width(); }
    int height() const { return geometry().height(); }

    VelScreen *screen() const;
    void setScreen(VelScreen *screen);

    // Window coordinates to desktop coordinates and back, through the geometry the window
    // system reported (and the parent windows' for child windows).
    VelPoint mapToGlobal(const VelPoint &pos) const;
    VelPoint mapFromGlobal(const VelPoint &pos) const;

    bool isExposed() const;
    bool isActive() const;
    void requestActivate();
    void raise();
    void lower();
    void requestUpdate();

    bool event(VelEvent *event) override;

    // Signals.
    void visibleChanged(bool visible);
    void windowStateChanged(int state);
    void activeChanged();
    void exposedChanged(bool exposed);

protected:
    // The paint hook: the window-system exposed part of the window (or nothing, when the
    // region is empty). Applications override it to draw.
    virtual void exposeEvent(VelExposeEvent *event);
    virtual void resizeEvent(VelResizeEvent *event);
    virtual void moveEvent(VelMoveEvent *event);
    virtual void focusInEvent(VelFocusEvent *event);
    virtual void focusOutEvent(VelFocusEvent *event);
    virtual void showEvent(VelEvent *event);
    virtual void hideEvent(VelEvent *event);
    virtual void keyPressEvent(VelKeyEvent *event);
    virtual void keyReleaseEvent(VelKeyEvent *event);
    virtual void mousePressEvent(VelMouseEvent *event);
    virtual void mouseReleaseEvent(VelMouseEvent *event);
    virtual void mouseDoubleClickEvent(VelMouseEvent *event);
    virtual void mouseMoveEvent(VelMouseEvent *event);
    virtual void touchEvent(VelTouchEvent *event);

private:
    friend class VelWindowPrivate;
    friend class VelGuiApplicationPrivate;
    std::unique_ptr<VelWindowPrivate> d;
};

VEL_DECLARE_METATYPE(VelWindow *)

#endif
