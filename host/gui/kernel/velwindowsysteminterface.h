#ifndef VELWINDOWSYSTEMINTERFACE_H
#define VELWINDOWSYSTEMINTERFACE_H

#include "velcoreevent.h"
#include "veleventloop.h"
#include "velguinamespace.h"
#include "velpointer.h"
#include "velpointf.h"
#include "velrect.h"
#include "velrectf.h"
#include "velregion.h"
#include "velstring.h"
#include "velvector2d.h"

#include <vector>

class VelPlatformScreen;
class VelScreen;
class VelTouchDevice;
class VelWindow;

// How platform plugins report what the window system did. Every handle* function may be
// called from any thread: the event is queued under a lock, the GUI thread's dispatcher
// is woken, and the GUI thread delivers the queued events in order (sendWindowSystemEvents,
// run by the dispatcher on each round). A window that is destroyed before its event is
// delivered makes the event a no-op.
class VelWindowSystemInterface
{
public:
    struct TouchPoint {
        int id = 0;
        VelPointF normalPosition; // 0..1 across the device
        VelRectF area;            // contact area in desktop coordinates
        double pressure = 0.0;
        Vel::TouchPointState state = Vel::TouchPointStationary;
        VelVector2D velocity;
        uint flags = 0;
        std::vector<VelPointF> rawPositions;
    };

    static void handleExposeEvent(VelWindow *window, const VelRegion &region);
    // oldRect may be invalid; the window compares with the geometry it last knew.
    static void handleGeometryChange(VelWindow *window, const VelRect &newRect,
                                     const VelRect &oldRect = VelRect());
    static void handleWindowStateChanged(VelWindow *window, Vel::WindowState newState);
    static void handleWindowActivated(VelWindow *window,
                                      Vel::FocusReason reason = Vel::OtherFocusReason);
    static void handleApplicationStateChanged(Vel::ApplicationState state);

    static void handleScreenGeometryChange(VelScreen *screen, const VelRect &newGeometry);
    static void handleScreenAvailableGeometryChange(VelScreen *screen,
                                                    const VelRect &newAvailableGeometry);
    static void handleScreenOrientationChange(VelScreen *screen,
                                              Vel::ScreenOrientation orientation);
    // The same, for a platform screen (its VelScreen, once announced).
    static void handleScreenGeometryChange(VelPlatformScreen *screen, const VelRect &newGeometry);
    static void handleScreenAvailableGeometryChange(VelPlatformScreen *screen,
                                                    const VelRect &newAvailableGeometry);
    static void handleScreenOrientationChange(VelPlatformScreen *screen,
                                              Vel::ScreenOrientation orientation);

    // A device must be registered before its first touch event; the caller keeps owning
    // it (for the life of the process). Registering twice is harmless.
    static void registerTouchDevice(VelTouchDevice *device);
    // A null window: the window under the first point, else the window the touch sequence
    // began on, else the event is dropped.
    static void handleTouchEvent(VelWindow *window, VelTouchDevice *device,
                                 const std::vector<TouchPoint> &points,
                                 Vel::KeyboardModifiers modifiers = Vel::NoModifier);
    // The same for a window that a thread other than the GUI thread found (see
    // VelPlatformScreen::topLevelHitAt): a raw pointer could already be dangling there. A
    // window that was found but is gone by delivery drops the event.
    static void handleTouchEvent(const VelPointer<VelWindow> &window, VelTouchDevice *device,
                                 const std::vector<TouchPoint> &points,
                                 Vel::KeyboardModifiers modifiers = Vel::NoModifier);
    // buttons is the full state after the event; presses and releases are derived from
    // the change. A null window: the window under the global position, else the window
    // holding the implicit grab of a pressed button, else the event is dropped.
    static void handleMouseEvent(VelWindow *window, const VelPointF &local, const VelPointF &global,
                                 Vel::MouseButtons buttons,
                                 Vel::KeyboardModifiers modifiers = Vel::NoModifier);
    // The same for a guarded window; one that is gone by delivery still updates the
    // button state but reaches no window.
    static void handleMouseEvent(const VelPointer<VelWindow> &window, const VelPointF &local,
                                 const VelPointF &global, Vel::MouseButtons buttons,
                                 Vel::KeyboardModifiers modifiers = Vel::NoModifier);
    // type is KeyPress or KeyRelease; a null window means the focus window.
    static bool handleKeyEvent(VelWindow *window, VelEvent::Type type, int key,
                               Vel::KeyboardModifiers modifiers,
                               const VelString &text = VelString(), bool autorep = false,
                               ushort count = 1);

    // Delivers the events queued so far. On the GUI thread this happens right here. From
    // another thread the delivery is handed to the GUI thread and this call waits for it,
    // at most flushTimeout() milliseconds: a GUI thread that is blocked (for example
    // waiting for a surface that the flushing thread itself must deliver) cannot make the
    // caller hang. On timeout a warning is logged, the events stay queued for the GUI
    // thread and false is returned. Without an application the events stay queued.
    static bool
    flushWindowSystemEvents(VelEventLoop::ProcessEventsFlags flags = VelEventLoop::AllEvents);
    // GUI thread: delivers the events that were queued when the call began (with
    // ExcludeUserInputEvents, key, mouse and touch events stay queued). True if any was
    // delivered.
    static bool sendWindowSystemEvents(VelEventLoop::ProcessEventsFlags flags);
    static int windowSystemEventsQueued();

    static void setFlushTimeout(int msecs);
    static int flushTimeout();
};

#endif
