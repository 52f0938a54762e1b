#include "velwindow.h"

#include "velexposeevent.h"
#include "velfocusevent.h"
#include "velguiapplication.h"
#include "velguiapplication_p.h"
#include "velkeyevent.h"
#include "vellogging.h"
#include "velmouseevent.h"
#include "velmoveevent.h"
#include "velplatformintegration.h"
#include "velresizeevent.h"
#include "veltouchevent.h"
#include "velwindow_p.h"

VEL_META_BEGIN(VelWindow, VelObject)
VEL_META_SIGNAL(visibleChanged, bool)
VEL_META_SIGNAL(windowStateChanged, int)
VEL_META_SIGNAL(activeChanged)
VEL_META_SIGNAL(exposedChanged, bool)
VEL_META_END

namespace
{
std::mutex &windowMutex()
{
    return VelGuiApplicationPrivate::windowMutex();
}
} // namespace

// ---- private ----

void VelWindowPrivate::applyGeometry(const VelRect &rect)
{
    VelRect old;
    {
        std::lock_guard<std::mutex> lock(windowMutex());
        old = geometry;
        geometry = rect;
    }
    if (old.size() != rect.size()) {
        VelResizeEvent event(rect.size(), old.size());
        VelCoreApplication::sendEvent(q, &event);
    }
    if (old.topLeft() != rect.topLeft()) {
        VelMoveEvent event(rect.topLeft(), old.topLeft());
        VelCoreApplication::sendEvent(q, &event);
    }
}

void VelWindowPrivate::setExposed(bool value)
{
    if (exposed == value)
        return;
    exposed = value;
    q->exposedChanged(value);
}

VelPoint VelWindowPrivate::globalOffset() const
{
    VelPoint offset;
    std::lock_guard<std::mutex> lock(windowMutex());
    for (const VelWindowPrivate *w = this; w;
         w = w->parentWindow ? w->parentWindow->d.get() : nullptr)
        offset += w->geometry.topLeft();
    return offset;
}

// ---- construction ----

VelWindow::VelWindow(VelScreen *screen)
    : VelObject(nullptr), VelSurface(VelSurface::Window), d(new VelWindowPrivate(this))
{
    if (!VelGuiApplication::instance())
        velWarning("VelWindow: created before the GUI application; it cannot be shown");
    d->screen = screen ? screen : VelGuiApplication::primaryScreen();
    VelGuiApplicationPrivate::registerWindow(this);
}

VelWindow::VelWindow(VelWindow *parent)
    : VelObject(parent), VelSurface(VelSurface::Window), d(new VelWindowPrivate(this))
{
    d->parentWindow = parent;
    d->screen = parent ? parent->screen() : VelGuiApplication::primaryScreen();
    VelGuiApplicationPrivate::registerWindow(this);
}

VelWindow::~VelWindow()
{
    destroy();
    VelGuiApplicationPrivate::unregisterWindow(this);
    // The focus window goes with it; guarded pointers elsewhere turn null by themselves.
    if (VelGuiApplicationPrivate *app = VelGuiApplicationPrivate::get()) {
        if (app->focusWindow.data() == this) {
            app->focusWindow.clear();
            VelGuiApplication::instance()->focusWindowChanged(nullptr);
            VelGuiApplicationPrivate::focusObjectMaybeChanged();
        }
    }
}

// ---- surface ----

void VelWindow::setSurfaceType(SurfaceType surfaceType)
{
    d->surfaceType = surfaceType;
}

VelSurface::SurfaceType VelWindow::surfaceType() const
{
    return d->surfaceType;
}

VelSurfaceFormat VelWindow::format() const
{
    return d->platformWindow ? d->platformWindow->format() : d->requestedFormat;
}

VelPlatformSurface *VelWindow::surfaceHandle() const
{
    return d->platformWindow.get();
}

VelSize VelWindow::size() const
{
    return geometry().size();
}

void VelWindow::setFormat(const VelSurfaceFormat &format)
{
    d->requestedFormat = format;
}

VelSurfaceFormat VelWindow::requestedFormat() const
{
    return d->requestedFormat;
}

// ---- flags, title, state ----

void VelWindow::setFlags(Vel::WindowFlags flags)
{
    {
        std::lock_guard<std::mutex> lock(windowMutex());
        d->flags = flags;
    }
    if (d->platformWindow)
        d->platformWindow->setWindowFlags(flags);
}

Vel::WindowFlags VelWindow::flags() const
{
    std::lock_guard<std::mutex> lock(windowMutex());
    return d->flags;
}

Vel::WindowType VelWindow::type() const
{
    return Vel::WindowType(flags() & Vel::WindowType_Mask);
}

void VelWindow::setTitle(const VelString &title)
{
    d->title = title;
    if (d->platformWindow)
        d->platformWindow->setWindowTitle(title);
}

VelString VelWindow::title() const
{
    return d->title;
}

void VelWindow::setWindowState(Vel::WindowState state)
{
    // The active bit is the window system's to report, not a state one can ask for.
    state = Vel::WindowState(state & ~Vel::WindowActive);
    if (d->platformWindow)
        d->platformWindow->setWindowState(state);
    if (d->windowState == state)
        return;
    d->windowState = state;
    windowStateChanged(int(state));
}

Vel::WindowState VelWindow::windowState() const
{
    return d->windowState;
}

// ---- visibility ----

bool VelWindow::isVisible() const
{
    std::lock_guard<std::mutex> lock(windowMutex());
    return d->visible;
}

void VelWindow::setVisible(bool visible)
{
    if (isVisible() == visible)
        return;
    if (visible && !d->platformWindow)
        create();
    {
        std::lock_guard<std::mutex> lock(windowMutex());
        d->visible = visible;
    }
    if (visible) {
        VelEvent showEvent(VelEvent::Show);
        VelCoreApplication::sendEvent(this, &showEvent);
    }
    if (d->platformWindow)
        d->platformWindow->setVisible(visible);
    if (!visible) {
        VelEvent hideEvent(VelEvent::Hide);
        VelCoreApplication::sendEvent(this, &hideEvent);
    }
    visibleChanged(visible);
    if (!visible && isTopLevel() && type() != Vel::ToolTip && type() != Vel::Popup)
        VelGuiApplicationPrivate::lastWindowMaybeClosed();
}

void VelWindow::show()
{
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    const Vel::WindowState initial =
        integration ? integration->defaultWindowState(flags()) : Vel::WindowNoState;
    if (initial == Vel::WindowFullScreen)
        showFullScreen();
    else if (initial == Vel::WindowMaximized)
        showMaximized();
    else
        showNormal();
}

void VelWindow::hide()
{
    setVisible(false);
}

void VelWindow::showNormal()
{
    setWindowState(Vel::WindowNoState);
    setVisible(true);
}

void VelWindow::showMaximized()
{
    setWindowState(Vel::WindowMaximized);
    setVisible(true);
}

void VelWindow::showFullScreen()
{
    setWindowState(Vel::WindowFullScreen);
    setVisible(true);
}

void VelWindow::showMinimized()
{
    setWindowState(Vel::WindowMinimized);
    setVisible(true);
}

// ---- platform window ----

void VelWindow::create()
{
    if (d->platformWindow)
        return;
    if (d->parentWindow)
        d->parentWindow->create();
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    if (!integration) {
        velWarning("VelWindow: no platform integration, the window cannot be created");
        return;
    }
    d->platformWindow.reset(integration->createPlatformWindow(this));
    if (!d->platformWindow)
        velWarning("VelWindow: the platform could not create a window");
}

void VelWindow::destroy()
{
    for (VelObject *child : children()) {
        if (VelWindow *childWindow = vel_object_cast<VelWindow *>(child))
            childWindow->destroy();
    }
    if (!d->platformWindow)
        return;
    if (isVisible()) {
        std::lock_guard<std::mutex> lock(windowMutex());
        d->visible = false;
    }
    d->setExposed(false);
    // Released before the pointer is cleared would let the platform window's destructor
    // see a window that claims to have no handle; reset() keeps both consistent.
    d->platformWindow.reset();
}

VelPlatformWindow *VelWindow::handle() const
{
    return d->platformWindow.get();
}

veluintptr VelWindow::winId() const
{
    if (!d->platformWindow)
        const_cast<VelWindow *>(this)->create();
    return d->platformWindow ? d->platformWindow->winId() : 0;
}

VelWindow *VelWindow::parent() const
{
    return d->parentWindow;
}

bool VelWindow::isTopLevel() const
{
    return d->parentWindow == nullptr;
}

// ---- geometry ----

VelRect VelWindow::geometry() const
{
    std::lock_guard<std::mutex> lock(windowMutex());
    return d->geometry;
}

void VelWindow::setGeometry(const VelRect &rect)
{
    // The window learns the change at once; the platform may adjust the rectangle and
    // report its own through a geometry change, which then corrects it.
    d->applyGeometry(rect);
    if (d->platformWindow)
        d->platformWindow->setGeometry(rect);
}

void VelWindow::setPosition(const VelPoint &pos)
{
    setGeometry(VelRect(pos, geometry().size()));
}

void VelWindow::resize(const VelSize &size)
{
    setGeometry(VelRect(geometry().topLeft(), size));
}

VelScreen *VelWindow::screen() const
{
    std::lock_guard<std::mutex> lock(windowMutex());
    return d->screen;
}

void VelWindow::setScreen(VelScreen *screen)
{
    if (!screen)
        screen = VelGuiApplication::primaryScreen();
    std::lock_guard<std::mutex> lock(windowMutex());
    d->screen = screen;
}

VelPoint VelWindow::mapToGlobal(const VelPoint &pos) const
{
    return pos + d->globalOffset();
}

VelPoint VelWindow::mapFromGlobal(const VelPoint &pos) const
{
    return pos - d->globalOffset();
}

bool VelWindow::isExposed() const
{
    return d->exposed;
}

bool VelWindow::isActive() const
{
    return VelGuiApplication::focusWindow() == this;
}

void VelWindow::requestActivate()
{
    if (d->platformWindow)
        d->platformWindow->requestActivateWindow();
}

void VelWindow::raise()
{
    VelGuiApplicationPrivate::moveWindowToTop(this);
    if (d->platformWindow)
        d->platformWindow->raise();
}

void VelWindow::lower()
{
    VelGuiApplicationPrivate::moveWindowToBottom(this);
    if (d->platformWindow)
        d->platformWindow->lower();
}

void VelWindow::requestUpdate()
{
    VelCoreApplication::postEvent(this, new VelEvent(VelEvent::UpdateRequest));
}

// ---- events ----

bool VelWindow::event(VelEvent *event)
{
    switch (event->type()) {
    case VelEvent::Expose:
        exposeEvent(static_cast<VelExposeEvent *>(event));
        return true;
    case VelEvent::Resize:
        resizeEvent(static_cast<VelResizeEvent *>(event));
        return true;
    case VelEvent::Move:
        moveEvent(static_cast<VelMoveEvent *>(event));
        return true;
    case VelEvent::FocusIn:
        focusInEvent(static_cast<VelFocusEvent *>(event));
        return true;
    case VelEvent::FocusOut:
        focusOutEvent(static_cast<VelFocusEvent *>(event));
        return true;
    case VelEvent::Show:
        showEvent(event);
        return true;
    case VelEvent::Hide:
        hideEvent(event);
        return true;
    case VelEvent::KeyPress:
        keyPressEvent(static_cast<VelKeyEvent *>(event));
        return true;
    case VelEvent::KeyRelease:
        keyReleaseEvent(static_cast<VelKeyEvent *>(event));
        return true;
    case VelEvent::MouseButtonPress:
        mousePressEvent(static_cast<VelMouseEvent *>(event));
        return true;
    case VelEvent::MouseButtonRelease:
        mouseReleaseEvent(static_cast<VelMouseEvent *>(event));
        return true;
    case VelEvent::MouseButtonDblClick:
        mouseDoubleClickEvent(static_cast<VelMouseEvent *>(event));
        return true;
    case VelEvent::MouseMove:
        mouseMoveEvent(static_cast<VelMouseEvent *>(event));
        return true;
    case VelEvent::TouchBegin:
    case VelEvent::TouchUpdate:
    case VelEvent::TouchEnd:
    case VelEvent::TouchCancel:
        touchEvent(static_cast<VelTouchEvent *>(event));
        return true;
    default:
        return VelObject::event(event);
    }
}

void VelWindow::exposeEvent(VelExposeEvent *event)
{
    event->ignore();
}

void VelWindow::resizeEvent(VelResizeEvent *event)
{
    event->ignore();
}

void VelWindow::moveEvent(VelMoveEvent *event)
{
    event->ignore();
}

void VelWindow::focusInEvent(VelFocusEvent *event)
{
    event->ignore();
}

void VelWindow::focusOutEvent(VelFocusEvent *event)
{
    event->ignore();
}

void VelWindow::showEvent(VelEvent *event)
{
    event->ignore();
}

void VelWindow::hideEvent(VelEvent *event)
{
    event->ignore();
}

void VelWindow::keyPressEvent(VelKeyEvent *event)
{
    event->ignore();
}

void VelWindow::keyReleaseEvent(VelKeyEvent *event)
{
    event->ignore();
}

void VelWindow::mousePressEvent(VelMouseEvent *event)
{
    event->ignore();
}

void VelWindow::mouseReleaseEvent(VelMouseEvent *event)
{
    event->ignore();
}

void VelWindow::mouseDoubleClickEvent(VelMouseEvent *event)
{
    event->ignore();
}

void VelWindow::mouseMoveEvent(VelMouseEvent *event)
{
    event->ignore();
}

void VelWindow::touchEvent(VelTouchEvent *event)
{
    event->ignore();
}

// ---- signals ----

void VelWindow::visibleChanged(bool visible)
{
    VEL_EMIT(visibleChanged, visible);
}

void VelWindow::windowStateChanged(int state)
{
    VEL_EMIT(windowStateChanged, state);
}

void VelWindow::activeChanged()
{
    VEL_EMIT(activeChanged);
}

void VelWindow::exposedChanged(bool exposed)
{
    VEL_EMIT(exposedChanged, exposed);
}
