#include "velguiapplication.h"

#include "velfontdatabase.h"

#include "velabstracteventdispatcher.h"
#include "velexposeevent.h"
#include "velfocusevent.h"
#include "velfont.h"
#include "velguiapplication_p.h"
#include "velguieventdispatcher.h"
#include "velinputmethod.h"
#include "velkeyevent.h"
#include "vellogging.h"
#include "velmouseevent.h"
#include "velmoveevent.h"
#include "velpalette.h"
#include "velplatformcursor.h"
#include "velplatforminputcontext.h"
#include "velplatformintegration.h"
#include "velplatformintegrationfactory.h"
#include "velplatformscreen.h"
#include "velplatformtheme.h"
#include "velresizeevent.h"
#include "velscreen.h"
#include "velsystemlocale.h"
#include "velthread.h"
#include "veltouchdevice_p.h"
#include "velwindow.h"
#include "velwindow_p.h"
#include "velwindowsysteminterface_p.h"

#include <algorithm>
#include <cstdlib>

VEL_META_BEGIN(VelGuiApplication, VelCoreApplication)
VEL_META_SIGNAL(applicationStateChanged, int)
VEL_META_SIGNAL(focusObjectChanged, VelObject *)
VEL_META_SIGNAL(focusWindowChanged, VelWindow *)
VEL_META_SIGNAL(screenAdded, VelScreen *)
VEL_META_SIGNAL(lastWindowClosed)
VEL_META_END

std::atomic<VelGuiApplication *> VelGuiApplicationPrivate::self{nullptr};

VelGuiApplicationPrivate::VelGuiApplicationPrivate() = default;

VelGuiApplicationPrivate::~VelGuiApplicationPrivate() = default;

namespace
{

// "-platform name" or "-platform=name" on the command line, else empty.
VelString platformFromArguments(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const VelString arg = VelString::fromLocal8Bit(argv[i]);
        if ((arg == "-platform" || arg == "--platform") && i + 1 < argc)
            return VelString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith(VelString("-platform=")))
            return arg.mid(10);
    }
    return VelString();
}

VelString platformFromEnvironment()
{
    const char *value = std::getenv("VEL_VELPA_PLATFORM");
    return value ? VelString::fromLocal8Bit(value) : VelString();
}

} // namespace

// ---- construction and ownership ----

VelGuiApplication::VelGuiApplication(int &argc, char **argv, const VelString &platformName)
    : VelCoreApplication(argc, argv), d(new VelGuiApplicationPrivate)
{
    d->inputMethod.reset(new VelInputMethod);
    VelGuiApplicationPrivate::self.store(this);
    VelWindowSystemEventQueue::instance().attachApplication(this, nullptr);
    // Window-system events from other threads must be able to wake the GUI thread from the
    // start, and a plain dispatcher would not deliver them: the GUI thread gets one that
    // does until the integration supplies its own.
    VelWindowSystemEventQueue::instance().installDispatcher(thread(), new VelGuiEventDispatcher);
    loadPlatform(argc, argv, platformName);
}

void VelGuiApplication::loadPlatform(int &argc, char **argv, const VelString &requested)
{
    VelString request = platformFromArguments(argc, argv);
    if (request.isEmpty())
        request = platformFromEnvironment();
    if (request.isEmpty())
        request = requested;
    if (request.isEmpty()) {
        const VelStringList keys = VelPlatformIntegrationFactory::keys();
        if (!keys.isEmpty())
            request = keys.first();
    }
    // "name:param1:param2" passes the parameters to the plugin.
    VelStringList parts = request.split(VelChar(':'));
    const VelString key = parts.isEmpty() ? VelString() : parts.front();
    if (!parts.isEmpty())
        parts.erase(parts.begin());

    d->integration.reset(VelPlatformIntegrationFactory::create(key, parts, argc, argv));
    if (!d->integration) {
        velCritical("VelGuiApplication: no platform plugin for \"%s\"; available: %s",
                    velPrintable(key),
                    velPrintable(VelPlatformIntegrationFactory::keys().join(", ")));
        return;
    }
    d->platformName = key;
    // The integration announces its screens here; no window may exist before.
    d->integration->initialize();
    // Font lookups go to the integration's database from now on.
    VelFontDatabase::setPlatformFontDatabase(d->integration->fontDatabase());

    // The GUI thread takes ownership of the integration's dispatcher.
    if (VelAbstractEventDispatcher *dispatcher = d->integration->createEventDispatcher())
        VelWindowSystemEventQueue::instance().installDispatcher(thread(), dispatcher);

    for (const VelString &name : d->integration->themeNames()) {
        d->theme.reset(d->integration->createPlatformTheme(name));
        if (d->theme)
            break;
    }
}

VelGuiApplication::~VelGuiApplication()
{
    // From now on injected events find no application to wake or hand flushes to.
    VelWindowSystemEventQueue::instance().detachApplication();
    VelWindowSystemEventQueue::instance().clear();

    // Platform windows may use the integration's resources: they go first.
    for (VelWindow *window : allWindows())
        window->destroy();
    d->focusObject.clear();
    d->focusWindow.clear();
    if (VelPlatformInputContext *context =
            d->integration ? d->integration->inputContext() : nullptr)
        context->setFocusObject(nullptr);
    d->theme.reset();
    // The registry hands its faces back and drops its engines while the
    // database that made them still exists.
    VelFontDatabase::setPlatformFontDatabase(nullptr);
    d->integration.reset();
    // Screens whose platform screen the integration did not delete.
    while (!d->screens.empty())
        VelGuiApplicationPrivate::screenRemoved(d->screens.back()->handle());
    d->inputMethod.reset();
    VelGuiApplicationPrivate::self.store(nullptr);
}

VelGuiApplication *VelGuiApplication::instance()
{
    return VelGuiApplicationPrivate::self.load();
}

VelGuiApplicationPrivate *VelGuiApplicationPrivate::get()
{
    VelGuiApplication *app = self.load();
    return app ? app->d.get() : nullptr;
}

VelPlatformIntegration *VelGuiApplication::platformIntegration()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->integration.get() : nullptr;
}

VelString VelGuiApplication::platformName()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->platformName : VelString();
}

VelPlatformTheme *VelGuiApplication::platformTheme()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->theme.get() : nullptr;
}

std::vector<VelWindow *> VelGuiApplication::allWindows()
{
    std::lock_guard<std::mutex> lock(VelGuiApplicationPrivate::windowMutex());
    return VelGuiApplicationPrivate::windowsLocked();
}

std::vector<VelWindow *> VelGuiApplication::topLevelWindows()
{
    std::vector<VelWindow *> result;
    std::lock_guard<std::mutex> lock(VelGuiApplicationPrivate::windowMutex());
    for (VelWindow *window : VelGuiApplicationPrivate::windowsLocked()) {
        if (!window->parent())
            result.push_back(window);
    }
    return result;
}

VelWindow *VelGuiApplication::topLevelAt(const VelPoint &pos)
{
    return VelGuiApplicationPrivate::windowAt(pos);
}

VelWindowHit VelGuiApplication::windowHit(const VelPointer<VelWindow> &window)
{
    return VelGuiApplicationPrivate::windowHit(window);
}

VelWindowHit VelGuiApplicationPrivate::windowHit(const VelPointer<VelWindow> &window)
{
    std::lock_guard<std::mutex> lock(VelGuiApplicationPrivate::windowMutex());
    VelWindowHit hit;
    VelWindow *const candidate = window.data();
    const auto &registered = VelGuiApplicationPrivate::windowsLocked();
    // Compared by address only: a window that has left the registry may be freed already.
    if (candidate &&
        std::find(registered.begin(), registered.end(), candidate) != registered.end()) {
        hit.window = window;
        hit.geometry = candidate->d->geometry;
    }
    return hit;
}

VelScreen *VelGuiApplication::primaryScreen()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return (d && !d->screens.empty()) ? d->screens.front() : nullptr;
}

std::vector<VelScreen *> VelGuiApplication::screens()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->screens : std::vector<VelScreen *>();
}

VelObject *VelGuiApplication::focusObject()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    if (!d)
        return nullptr;
    if (d->focusObject)
        return d->focusObject.data();
    return d->focusWindow.data();
}

void VelGuiApplication::setFocusObject(VelObject *object)
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    if (!d)
        return;
    d->focusObject = object;
    VelGuiApplicationPrivate::focusObjectMaybeChanged();
}

VelWindow *VelGuiApplication::focusWindow()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->focusWindow.data() : nullptr;
}

VelInputMethod *VelGuiApplication::inputMethod()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->inputMethod.get() : nullptr;
}

VelPalette VelGuiApplication::palette()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    if (d && d->palette)
        return *d->palette;
    if (d && d->theme) {
        if (const VelPalette *themed = d->theme->palette(VelPlatformTheme::SystemPalette))
            return *themed;
    }
    return VelPalette();
}

void VelGuiApplication::setPalette(const VelPalette &palette)
{
    if (VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get())
        d->palette.reset(new VelPalette(palette));
}

VelFont VelGuiApplication::font()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    if (d && d->font)
        return *d->font;
    if (d && d->theme) {
        if (const VelFont *themed = d->theme->font(VelPlatformTheme::SystemFont))
            return *themed;
    }
    return VelFont();
}

void VelGuiApplication::setFont(const VelFont &font)
{
    if (VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get())
        d->font.reset(new VelFont(font));
}

Vel::ApplicationState VelGuiApplication::applicationState()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->applicationState : Vel::ApplicationInactive;
}

Vel::MouseButtons VelGuiApplication::mouseButtons()
{
    VelGuiApplicationPrivate *d = VelGuiApplicationPrivate::get();
    return d ? d->mouseButtons : Vel::MouseButtons(Vel::NoButton);
}

Vel::KeyboardModifiers VelGuiApplication::queryKeyboardModifiers()
{
    VelPlatformIntegration *integration = platformIntegration();
    return integration ? integration->queryKeyboardModifiers()
                       : Vel::KeyboardModifiers(Vel::NoModifier);
}

int VelGuiApplication::exec()
{
    return VelCoreApplication::exec();
}

bool VelGuiApplication::event(VelEvent *event)
{
    if (velHandleWindowSystemFlushRequest(event))
        return true;
    return VelCoreApplication::event(event);
}

void VelGuiApplication::applicationStateChanged(int state)
{
    VEL_EMIT(applicationStateChanged, state);
}

void VelGuiApplication::focusObjectChanged(VelObject *object)
{
    VEL_EMIT(focusObjectChanged, object);
}

void VelGuiApplication::focusWindowChanged(VelWindow *window)
{
    VEL_EMIT(focusWindowChanged, window);
}

void VelGuiApplication::screenAdded(VelScreen *screen)
{
    VEL_EMIT(screenAdded, screen);
}

void VelGuiApplication::lastWindowClosed()
{
    VEL_EMIT(lastWindowClosed);
}

// ---- window registry ----

// The registry and its mutex are never destroyed: other threads (input from
// Java, a GUI thread that is not joined) may hit-test while the process runs
// its exit-time destructors.
std::mutex &VelGuiApplicationPrivate::windowMutex()
{
    static std::mutex *const mutex = new std::mutex;
    return *mutex;
}

std::vector<VelWindow *> &VelGuiApplicationPrivate::windowsLocked()
{
    static std::vector<VelWindow *> *const windows = new std::vector<VelWindow *>;
    return *windows;
}

void VelGuiApplicationPrivate::registerWindow(VelWindow *window)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    windowsLocked().push_back(window);
}

void VelGuiApplicationPrivate::unregisterWindow(VelWindow *window)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    auto &windows = windowsLocked();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

void VelGuiApplicationPrivate::moveWindowToTop(VelWindow *window)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    auto &windows = windowsLocked();
    const auto it = std::find(windows.begin(), windows.end(), window);
    if (it != windows.end())
        std::rotate(it, it + 1, windows.end());
}

void VelGuiApplicationPrivate::moveWindowToBottom(VelWindow *window)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    auto &windows = windowsLocked();
    const auto it = std::find(windows.begin(), windows.end(), window);
    if (it != windows.end())
        std::rotate(windows.begin(), it, it + 1);
}

VelScreen *&VelGuiApplicationPrivate::primaryScreenLocked()
{
    static VelScreen *primary = nullptr;
    return primary;
}

VelWindow *VelGuiApplicationPrivate::topLevelAt(const VelPlatformScreen *platformScreen,
                                                const std::vector<VelWindow *> &platformStack,
                                                const VelPoint &point)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    return topLevelAtLocked(platformScreen->m_screen, platformStack, point);
}

VelWindowHit VelGuiApplicationPrivate::hitTest(const VelPlatformScreen *platformScreen,
                                               const std::vector<VelWindow *> &platformStack,
                                               const VelPoint &point)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    VelWindowHit hit;
    if (VelWindow *window = topLevelAtLocked(platformScreen->m_screen, platformStack, point)) {
        // Registered windows are not yet being destroyed, so guarding it is safe here.
        hit.window = window;
        hit.geometry = window->d->geometry;
    }
    return hit;
}

VelWindow *VelGuiApplicationPrivate::topLevelAtLocked(const VelScreen *screen,
                                                      const std::vector<VelWindow *> &platformStack,
                                                      const VelPoint &point)
{
    const bool isPrimary = screen && screen == primaryScreenLocked();
    const auto &registered = windowsLocked();
    // A platform's stack may name windows that are already gone: only registered windows
    // are looked at.
    const std::vector<VelWindow *> &stack = platformStack.empty() ? registered : platformStack;
    const auto hits = [&](VelWindow *window, bool desktopPass) {
        if (std::find(registered.begin(), registered.end(), window) == registered.end())
            return false;
        const VelWindowPrivate *w = window->d.get();
        if (w->parentWindow || !w->visible)
            return false;
        if (w->flags & Vel::WindowTransparentForInput)
            return false;
        if (((w->flags & Vel::WindowType_Mask) == Vel::Desktop) != desktopPass)
            return false;
        const bool onThisScreen = w->screen ? w->screen == screen : isPrimary;
        return onThisScreen && w->geometry.contains(point);
    };
    // Desktop windows lie under every other window whatever their place in the order.
    for (bool desktopPass : {false, true}) {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            if (hits(*it, desktopPass))
                return *it;
        }
    }
    return nullptr;
}

VelWindow *VelGuiApplicationPrivate::windowAt(const VelPoint &globalPos)
{
    for (VelScreen *screen : VelGuiApplication::screens()) {
        if (VelWindow *window = screen->handle()->topLevelAt(globalPos))
            return window;
    }
    return nullptr;
}

// ---- screens ----

void VelGuiApplicationPrivate::screenAdded(VelPlatformScreen *platformScreen)
{
    VelGuiApplicationPrivate *d = get();
    if (!d || !platformScreen || platformScreen->m_screen)
        return;
    VelScreen *screen = new VelScreen(platformScreen);
    d->screens.push_back(screen);
    {
        // The hit test reads a platform screen's VelScreen from other threads.
        std::lock_guard<std::mutex> lock(windowMutex());
        platformScreen->m_screen = screen;
        primaryScreenLocked() = d->screens.front();
    }
    self.load()->screenAdded(screen);
}

void VelGuiApplicationPrivate::screenRemoved(VelPlatformScreen *platformScreen)
{
    VelGuiApplicationPrivate *d = get();
    VelScreen *screen = platformScreen->m_screen;
    {
        std::lock_guard<std::mutex> lock(windowMutex());
        platformScreen->m_screen = nullptr;
    }
    if (!d || !screen)
        return;
    d->screens.erase(std::remove(d->screens.begin(), d->screens.end(), screen), d->screens.end());
    VelScreen *fallback = d->screens.empty() ? nullptr : d->screens.front();
    {
        std::lock_guard<std::mutex> lock(windowMutex());
        primaryScreenLocked() = fallback;
        for (VelWindow *window : windowsLocked()) {
            if (window->d->screen == screen)
                window->d->screen = fallback;
        }
    }
    delete screen;
}

// ---- delivery of window-system events ----

bool VelGuiApplicationPrivate::deliverSpontaneous(VelObject *receiver, VelEvent *event)
{
    return VelCoreApplication::sendSpontaneousEvent(receiver, event);
}

void VelGuiApplicationPrivate::processExpose(VelWindow *window, const VelRegion &region)
{
    window->d->setExposed(!region.isEmpty());
    VelExposeEvent event(region);
    deliverSpontaneous(window, &event);
}

void VelGuiApplicationPrivate::processGeometryChange(VelWindow *window, const VelRect &newRect)
{
    window->d->applyGeometry(newRect);
}

void VelGuiApplicationPrivate::processScreenGeometry(VelScreen *screen, const VelRect &rect,
                                                     bool available)
{
    if (available) {
        if (screen->m_availableGeometry == rect)
            return;
        screen->m_availableGeometry = rect;
        screen->availableGeometryChanged();
        return;
    }
    if (screen->m_geometry == rect)
        return;
    screen->m_geometry = rect;
    screen->geometryChanged();
}

void VelGuiApplicationPrivate::processScreenOrientation(VelScreen *screen,
                                                        Vel::ScreenOrientation orientation)
{
    if (screen->m_orientation == orientation)
        return;
    screen->m_orientation = orientation;
    screen->orientationChanged(int(orientation));
}

void VelGuiApplicationPrivate::processApplicationState(Vel::ApplicationState state)
{
    VelGuiApplicationPrivate *d = get();
    if (!d || d->applicationState == state)
        return;
    d->applicationState = state;
    // A platform whose settings change while the app is in the background
    // (Android restarts or resumes the activity) has them read again when
    // the app comes back.
    if (state == Vel::ApplicationActive)
        VelSystemLocale::notifyLocaleChanged();
    self.load()->applicationStateChanged(int(state));
}

void VelGuiApplicationPrivate::processWindowActivated(VelWindow *window, Vel::FocusReason reason)
{
    VelGuiApplicationPrivate *d = get();
    if (!d)
        return;
    VelWindow *previous = d->focusWindow.data();
    if (previous == window)
        return;
    d->focusWindow = window;
    if (previous) {
        VelFocusEvent focusOut(VelEvent::FocusOut, reason);
        deliverSpontaneous(previous, &focusOut);
        VelEvent deactivate(VelEvent::WindowDeactivate);
        deliverSpontaneous(previous, &deactivate);
        previous->activeChanged();
    }
    if (window && d->focusWindow.data() == window) {
        VelEvent activate(VelEvent::WindowActivate);
        deliverSpontaneous(window, &activate);
        VelFocusEvent focusIn(VelEvent::FocusIn, reason);
        deliverSpontaneous(window, &focusIn);
        window->activeChanged();
    }
    self.load()->focusWindowChanged(d->focusWindow.data());
    focusObjectMaybeChanged();
}

void VelGuiApplicationPrivate::focusObjectMaybeChanged()
{
    VelGuiApplicationPrivate *d = get();
    if (!d)
        return;
    VelObject *current = VelGuiApplication::focusObject();
    if (d->lastReportedFocusObject.data() == current)
        return;
    d->lastReportedFocusObject = current;
    if (VelPlatformInputContext *context =
            d->integration ? d->integration->inputContext() : nullptr)
        context->setFocusObject(current);
    self.load()->focusObjectChanged(current);
}

void VelGuiApplicationPrivate::lastWindowMaybeClosed()
{
    VelGuiApplication *app = self.load();
    if (!app)
        return;
    for (VelWindow *window : VelGuiApplication::topLevelWindows()) {
        const Vel::WindowType type = window->type();
        if (window->isVisible() && type != Vel::ToolTip && type != Vel::Popup &&
            type != Vel::Desktop)
            return;
    }
    app->lastWindowClosed();
}

void VelGuiApplicationPrivate::processWindowStateChanged(VelWindow *window, Vel::WindowState state)
{
    if (window->d->windowState == state)
        return;
    window->d->windowState = state;
    window->windowStateChanged(int(state));
}

namespace
{

void feedPlatformCursor(VelWindow *window, const VelMouseEvent &event)
{
    VelScreen *screen = window ? window->screen() : VelGuiApplication::primaryScreen();
    VelPlatformCursor *cursor = screen ? screen->handle()->cursor() : nullptr;
    if (cursor)
        cursor->pointerEvent(event);
}

} // namespace

void VelGuiApplicationPrivate::processMouse(VelWindow *window, bool windowGiven,
                                            const VelPointF &local, const VelPointF &global,
                                            Vel::MouseButtons buttons,
                                            Vel::KeyboardModifiers modifiers)
{
    VelGuiApplicationPrivate *d = get();
    if (!d)
        return;
    if (windowGiven && !window) {
        // The window is gone, but the buttons did change: a press that is not recorded
        // would turn the next release into a press.
        d->mouseButtons = buttons;
        if (!buttons)
            d->mouseGrab.clear();
        return;
    }
    VelPointF localPos = local;
    if (!windowGiven) {
        window = windowAt(global.toPoint());
        if (!window && (d->mouseButtons || buttons))
            window = d->mouseGrab.data();
        if (window)
            localPos = global - VelPointF(window->mapToGlobal(VelPoint(0, 0)));
    }

    const Vel::MouseButtons changed = buttons ^ d->mouseButtons;
    if (!changed) {
        VelMouseEvent event(VelEvent::MouseMove, localPos, localPos, global, Vel::NoButton, buttons,
                            modifiers);
        feedPlatformCursor(window, event);
        if (window)
            deliverSpontaneous(window, &event);
        return;
    }
    // One press or release per changed button, lowest button first.
    for (uint bit = 1; bit && bit <= changed; bit <<= 1) {
        if (!(changed & bit))
            continue;
        const bool pressed = (buttons & bit) != 0;
        d->mouseButtons = pressed ? (d->mouseButtons | bit) : (d->mouseButtons & ~bit);
        if (pressed && window)
            d->mouseGrab = window;
        VelMouseEvent event(pressed ? VelEvent::MouseButtonPress : VelEvent::MouseButtonRelease,
                            localPos, localPos, global, Vel::MouseButton(bit), d->mouseButtons,
                            modifiers);
        feedPlatformCursor(window, event);
        if (window)
            deliverSpontaneous(window, &event);
    }
    if (!d->mouseButtons)
        d->mouseGrab.clear();
}

void VelGuiApplicationPrivate::processKey(VelWindow *window, bool windowGiven, int type, int key,
                                          Vel::KeyboardModifiers modifiers, const VelString &text,
                                          bool autorep, ushort count)
{
    VelGuiApplicationPrivate *d = get();
    if (!d || (windowGiven && !window))
        return;
    if (!window)
        window = d->focusWindow.data();
    if (!window) {
        velDebug("VelGuiApplication: key event without a focus window dropped");
        return;
    }
    VelKeyEvent event(VelEvent::Type(type), key, modifiers, text, autorep, count);
    deliverSpontaneous(window, &event);
}

void VelGuiApplicationPrivate::processTouch(VelWindow *window, bool windowGiven,
                                            VelTouchDevice *device,
                                            const std::vector<VelTouchEvent::TouchPoint> &points,
                                            Vel::KeyboardModifiers modifiers)
{
    VelGuiApplicationPrivate *d = get();
    if (!d || (windowGiven && !window) || points.empty())
        return;
    if (!window)
        window = windowAt(points.front().screenPos.toPoint());
    if (!window && d->touchActive)
        window = d->touchTarget.data();

    Vel::TouchPointStates states = 0;
    for (const auto &point : points)
        states |= point.state;
    const bool allReleased = states == Vel::TouchPointReleased;

    std::vector<VelEvent::Type> types;
    if (!d->touchActive) {
        types.push_back(VelEvent::TouchBegin);
        // A tap reported in one event still makes a complete sequence.
        if (allReleased)
            types.push_back(VelEvent::TouchEnd);
    } else {
        types.push_back(allReleased ? VelEvent::TouchEnd : VelEvent::TouchUpdate);
    }
    d->touchActive = !allReleased;
    if (types.front() == VelEvent::TouchBegin)
        d->touchTarget = window;
    if (!d->touchActive && types.back() == VelEvent::TouchEnd) {
        if (!window)
            window = d->touchTarget.data();
        d->touchTarget.clear();
    }
    if (!window)
        return;

    std::vector<VelTouchEvent::TouchPoint> localPoints = points;
    const VelPointF offset(window->mapToGlobal(VelPoint(0, 0)));
    for (auto &point : localPoints)
        point.pos = point.screenPos - offset;
    VelPointer<VelWindow> guard(window);
    for (VelEvent::Type type : types) {
        if (!guard)
            return;
        VelTouchEvent event(type, device, modifiers, states, localPoints);
        event.setWindow(window);
        deliverSpontaneous(window, &event);
    }
}
