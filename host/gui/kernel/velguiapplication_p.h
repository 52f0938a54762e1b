#ifndef VELGUIAPPLICATION_P_H
#define VELGUIAPPLICATION_P_H

#include "velguinamespace.h"
#include "velplatformscreen.h"
#include "velpointer.h"
#include "velpointf.h"
#include "velrect.h"
#include "velregion.h"
#include "veltouchevent.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class VelAbstractEventDispatcher;
class VelFont;
class VelGuiApplication;
class VelPalette;
class VelInputMethod;
class VelPlatformIntegration;
class VelPlatformScreen;
class VelPlatformTheme;
class VelScreen;
class VelTouchDevice;
class VelWindow;

// The application's state behind VelGuiApplication, and the delivery of the window-system
// events on the GUI thread.
class VelGuiApplicationPrivate
{
public:
    VelGuiApplicationPrivate();
    ~VelGuiApplicationPrivate();

    // Guards the window registry (allWindows, in creation order with raise/lower applied)
    // and every window's geometry, visibility, flags and screen. Taken alone: no other lock
    // is acquired and no virtual function is called while it is held.
    static std::mutex &windowMutex();
    static std::vector<VelWindow *> &windowsLocked();
    static void registerWindow(VelWindow *window);
    static void unregisterWindow(VelWindow *window);
    static void moveWindowToTop(VelWindow *window);
    static void moveWindowToBottom(VelWindow *window);
    // The primary screen as the hit test sees it (guarded by windowMutex()).
    static VelScreen *&primaryScreenLocked();
    // The platform screen's VelScreen is read under the lock too: screens are announced
    // on the GUI thread while other threads hit-test.
    static VelWindow *topLevelAt(const VelPlatformScreen *platformScreen,
                                 const std::vector<VelWindow *> &platformStack,
                                 const VelPoint &point);
    // The same hit test, with the window guarded and its geometry read under the lock.
    static VelWindowHit hitTest(const VelPlatformScreen *platformScreen,
                                const std::vector<VelWindow *> &platformStack,
                                const VelPoint &point);

    static VelWindowHit windowHit(const VelPointer<VelWindow> &window);
    static VelWindow *topLevelAtLocked(const VelScreen *screen,
                                       const std::vector<VelWindow *> &platformStack,
                                       const VelPoint &point);

    static void screenAdded(VelPlatformScreen *platformScreen);
    static void screenRemoved(VelPlatformScreen *platformScreen);

    // Deliveries of the window-system events (GUI thread).
    static void processExpose(VelWindow *window, const VelRegion &region);
    static void processGeometryChange(VelWindow *window, const VelRect &newRect);
    static void processScreenGeometry(VelScreen *screen, const VelRect &rect, bool available);
    static void processScreenOrientation(VelScreen *screen, Vel::ScreenOrientation orientation);
    static void processApplicationState(Vel::ApplicationState state);
    static void processWindowActivated(VelWindow *window, Vel::FocusReason reason);
    static void processWindowStateChanged(VelWindow *window, Vel::WindowState state);
    static void processMouse(VelWindow *window, bool windowGiven, const VelPointF &local,
                             const VelPointF &global, Vel::MouseButtons buttons,
                             Vel::KeyboardModifiers modifiers);
    static void processKey(VelWindow *window, bool windowGiven, int type, int key,
                           Vel::KeyboardModifiers modifiers, const VelString &text, bool autorep,
                           ushort count);
    static void processTouch(VelWindow *window, bool windowGiven, VelTouchDevice *device,
                             const std::vector<VelTouchEvent::TouchPoint> &points,
                             Vel::KeyboardModifiers modifiers);

    // Sends a window-system event: spontaneous, through the application.
    static bool deliverSpontaneous(VelObject *receiver, VelEvent *event);
    static VelWindow *windowAt(const VelPoint &globalPos);
    static void focusObjectMaybeChanged();
    // Emits lastWindowClosed() when no ordinary top-level window is visible any more.
    static void lastWindowMaybeClosed();

    // The live application (null before and after); read from any thread.
    static std::atomic<VelGuiApplication *> self;
    static VelGuiApplicationPrivate *get();

    std::unique_ptr<VelPlatformIntegration> integration;
    std::unique_ptr<VelPlatformTheme> theme;
    std::unique_ptr<VelInputMethod> inputMethod;
    std::unique_ptr<VelPalette> palette; // set by the program, else null
    std::unique_ptr<VelFont> font;       // set by the program, else null
    std::vector<VelScreen *> screens;    // owned; the first is the primary screen
    VelPointer<VelObject> focusObject;
    VelPointer<VelObject> lastReportedFocusObject;
    VelPointer<VelWindow> focusWindow;
    Vel::ApplicationState applicationState = Vel::ApplicationInactive;
    Vel::MouseButtons mouseButtons = Vel::NoButton;
    VelPointer<VelWindow> mouseGrab;
    VelPointer<VelWindow> touchTarget;
    bool touchActive = false;
    VelString platformName;
};

#endif
