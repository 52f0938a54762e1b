#include "velwindowsysteminterface.h"

// How the window-system queue works.
//
// Any thread may report an event. The event is appended to one process-wide FIFO under
// its mutex, numbered, and the GUI thread's dispatcher is woken while the mutex is still
// held (the application clears the dispatcher pointer under the same mutex before it
// goes away, so a wake-up never reaches a deleted dispatcher). Windows and screens are
// held through guarded pointers: an event whose target died is dropped at delivery.
//
// Only the GUI thread delivers. sendWindowSystemEvents takes one event at a time out of
// the queue, releases the mutex, delivers it and marks it done; it stops after as many
// events as were queued when it began, so a handler that keeps queueing cannot hold the
// loop. Nested calls (a handler flushing) keep the order because each takes the oldest.
//
// A flush on the GUI thread is such a call. A flush on another thread notes the number of
// the newest event, posts a request to the application object (so that any dispatcher
// drains the queue, not only ours) and waits on a condition variable until no event up to
// that number is queued or being delivered. The wait is bounded by flushTimeout(): the
// GUI thread may itself be blocked waiting for the flushing thread (a surface only that
// thread delivers, or a blocking queued call to it), and an unbounded wait would then
// deadlock both. After the timeout the flush logs a warning and returns false; the events
// stay queued and are delivered once the GUI thread runs again. The application's end
// releases every waiter.

#include "velabstracteventdispatcher.h"
#include "velguiapplication.h"
#include "velguiapplication_p.h"
#include "vellogging.h"
#include "velplatformscreen.h"
#include "velthread.h"
#include "veltouchdevice_p.h"
#include "velwindowsysteminterface_p.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace
{

// A flush from another thread waits this long for the GUI thread before giving up.
std::atomic<int> flushTimeoutMsecs{3000};

bool onGuiThread()
{
    VelGuiApplication *app = VelGuiApplication::instance();
    return app && VelThread::currentThread() == app->thread();
}

struct ExposeEvent : VelWindowSystemEvent {
    ExposeEvent(VelWindow *w, const VelRegion &r) : VelWindowSystemEvent(Expose, w), region(r) {}
    void deliver() override
    {
        if (window)
            VelGuiApplicationPrivate::processExpose(window.data(), region);
    }
    VelRegion region;
};

struct GeometryChangeEvent : VelWindowSystemEvent {
    GeometryChangeEvent(VelWindow *w, const VelRect &r)
        : VelWindowSystemEvent(GeometryChange, w), rect(r)
    {
    }
    void deliver() override
    {
        if (window)
            VelGuiApplicationPrivate::processGeometryChange(window.data(), rect);
    }
    VelRect rect;
};

struct WindowStateEvent : VelWindowSystemEvent {
    WindowStateEvent(VelWindow *w, Vel::WindowState s)
        : VelWindowSystemEvent(WindowStateChange, w), state(s)
    {
    }
    void deliver() override
    {
        if (window)
            VelGuiApplicationPrivate::processWindowStateChanged(window.data(), state);
    }
    Vel::WindowState state;
};

struct WindowActivatedEvent : VelWindowSystemEvent {
    WindowActivatedEvent(VelWindow *w, Vel::FocusReason r)
        : VelWindowSystemEvent(WindowActivated, w), reason(r)
    {
    }
    void deliver() override
    {
        // A window destroyed meanwhile cannot become the focus window; a null window
        // given on purpose means that no window of ours is active.
        if (windowGiven && !window)
            return;
        VelGuiApplicationPrivate::processWindowActivated(window.data(), reason);
    }
    Vel::FocusReason reason;
};

struct ApplicationStateEvent : VelWindowSystemEvent {
    explicit ApplicationStateEvent(Vel::ApplicationState s)
        : VelWindowSystemEvent(ApplicationState), state(s)
    {
    }
    void deliver() override { VelGuiApplicationPrivate::processApplicationState(state); }
    Vel::ApplicationState state;
};

struct ScreenEvent : VelWindowSystemEvent {
    ScreenEvent(Kind k, VelScreen *s) : VelWindowSystemEvent(k), screen(s) {}
    VelPointer<VelScreen> screen;
};

struct ScreenGeometryEvent : ScreenEvent {
    ScreenGeometryEvent(Kind k, VelScreen *s, const VelRect &r) : ScreenEvent(k, s), rect(r) {}
    void deliver() override
    {
        if (screen)
            VelGuiApplicationPrivate::processScreenGeometry(screen.data(), rect,
                                                            kind == ScreenAvailableGeometry);
    }
    VelRect rect;
};

struct ScreenOrientationEvent : ScreenEvent {
    ScreenOrientationEvent(VelScreen *s, Vel::ScreenOrientation o)
        : ScreenEvent(ScreenOrientation, s), orientation(o)
    {
    }
    void deliver() override
    {
        if (screen)
            VelGuiApplicationPrivate::processScreenOrientation(screen.data(), orientation);
    }
    Vel::ScreenOrientation orientation;
};

struct MouseEvent : VelWindowSystemEvent {
    MouseEvent(const VelPointer<VelWindow> &w, bool given, const VelPointF &l, const VelPointF &g,
               Vel::MouseButtons b, Vel::KeyboardModifiers m)
        : VelWindowSystemEvent(Mouse, w, given), local(l), global(g), buttons(b), modifiers(m)
    {
    }
    void deliver() override
    {
        VelGuiApplicationPrivate::processMouse(window.data(), windowGiven, local, global, buttons,
                                               modifiers);
    }
    VelPointF local;
    VelPointF global;
    Vel::MouseButtons buttons;
    Vel::KeyboardModifiers modifiers;
};

struct KeyEvent : VelWindowSystemEvent {
    KeyEvent(VelWindow *w, int t, int k, Vel::KeyboardModifiers m, const VelString &s, bool a,
             ushort c)
        : VelWindowSystemEvent(Key, w), type(t), key(k), modifiers(m), text(s), autorep(a), count(c)
    {
    }
    void deliver() override
    {
        VelGuiApplicationPrivate::processKey(window.data(), windowGiven, type, key, modifiers, text,
                                             autorep, count);
    }
    int type;
    int key;
    Vel::KeyboardModifiers modifiers;
    VelString text;
    bool autorep;
    ushort count;
};

struct TouchEvent : VelWindowSystemEvent {
    TouchEvent(const VelPointer<VelWindow> &w, bool given, VelTouchDevice *d,
               std::vector<VelTouchEvent::TouchPoint> p, Vel::KeyboardModifiers m)
        : VelWindowSystemEvent(Touch, w, given), device(d), points(std::move(p)), modifiers(m)
    {
    }
    void deliver() override
    {
        VelGuiApplicationPrivate::processTouch(window.data(), windowGiven, device, points,
                                               modifiers);
    }
    VelTouchDevice *device;
    std::vector<VelTouchEvent::TouchPoint> points;
    Vel::KeyboardModifiers modifiers;
};

VelTouchEvent::TouchPoint convertTouchPoint(const VelWindowSystemInterface::TouchPoint &point)
{
    VelTouchEvent::TouchPoint converted;
    converted.id = point.id;
    converted.state = point.state;
    converted.screenRect = point.area;
    converted.screenPos = point.area.center();
    converted.pos = converted.screenPos;
    converted.normalizedPos = point.normalPosition;
    converted.pressure = point.pressure;
    converted.velocity = point.velocity;
    converted.flags = point.flags;
    converted.rawScreenPositions = point.rawPositions;
    return converted;
}

void enqueue(VelWindowSystemEvent *event)
{
    VelWindowSystemEventQueue::instance().enqueue(std::unique_ptr<VelWindowSystemEvent>(event));
}

} // namespace

// ---- the queue ----

VelWindowSystemEventQueue &VelWindowSystemEventQueue::instance()
{
    // Never destroyed: threads the process does not join (Java threads, an
    // application thread still winding down) may queue events while exit-time
    // destructors run.
    static VelWindowSystemEventQueue *const queue = new VelWindowSystemEventQueue;
    return *queue;
}

void VelWindowSystemEventQueue::enqueue(std::unique_ptr<VelWindowSystemEvent> event)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    event->sequence = m_nextSequence++;
    m_queue.push_back(std::move(event));
    // Wake on every event: the GUI thread may be asleep in poll with nothing else to do.
    if (m_dispatcher)
        m_dispatcher->wakeUp();
}

std::unique_ptr<VelWindowSystemEvent> VelWindowSystemEventQueue::takeNext(bool excludeUserInput)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = std::find_if(m_queue.begin(), m_queue.end(), [&](const auto &event) {
        return !(excludeUserInput && event->isUserInput());
    });
    if (it == m_queue.end())
        return nullptr;
    std::unique_ptr<VelWindowSystemEvent> event = std::move(*it);
    m_queue.erase(it);
    m_inDelivery.emplace_back(event->sequence, event->isUserInput());
    return event;
}

void VelWindowSystemEventQueue::finishDelivery(const VelWindowSystemEvent &event)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it =
            std::find_if(m_inDelivery.begin(), m_inDelivery.end(),
                         [&](const auto &entry) { return entry.first == event.sequence; });
        if (it != m_inDelivery.end())
            m_inDelivery.erase(it);
    }
    m_progress.notify_all();
}

int VelWindowSystemEventQueue::count()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_queue.size());
}

void VelWindowSystemEventQueue::clear()
{
    std::deque<std::unique_ptr<VelWindowSystemEvent>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dropped.swap(m_queue);
    }
    m_progress.notify_all();
}

void VelWindowSystemEventQueue::attachApplication(VelCoreApplication *application,
                                                  VelAbstractEventDispatcher *dispatcher)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_application = application;
    m_dispatcher = dispatcher;
    // Events queued before the application existed are waiting already.
    if (m_dispatcher && !m_queue.empty())
        m_dispatcher->wakeUp();
}

void VelWindowSystemEventQueue::installDispatcher(VelThread *guiThread,
                                                  VelAbstractEventDispatcher *dispatcher)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    guiThread->setEventDispatcher(dispatcher);
    m_dispatcher = dispatcher;
    if (m_dispatcher && !m_queue.empty())
        m_dispatcher->wakeUp();
}

void VelWindowSystemEventQueue::detachApplication()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_application = nullptr;
        m_dispatcher = nullptr;
    }
    // Flushing threads stop waiting for a GUI thread that will deliver nothing more.
    m_progress.notify_all();
}

bool VelWindowSystemEventQueue::pendingUpTo(veluint64 ticket, bool excludeUserInput) const
{
    for (const auto &event : m_queue) {
        if (event->sequence > ticket)
            break;
        if (!(excludeUserInput && event->isUserInput()))
            return true;
    }
    for (const auto &entry : m_inDelivery) {
        if (entry.first <= ticket && !(excludeUserInput && entry.second))
            return true;
    }
    return false;
}

namespace
{
// Posted to the application to make the GUI thread drain the queue whatever dispatcher
// it runs.
class FlushRequestEvent : public VelEvent
{
public:
    explicit FlushRequestEvent(bool excludeUserInput)
        : VelEvent(type()), excludeUserInput(excludeUserInput)
    {
    }
    static Type type()
    {
        static const Type registered = Type(VelEvent::registerEventType());
        return registered;
    }
    bool excludeUserInput;
};
} // namespace

bool velHandleWindowSystemFlushRequest(VelEvent *event)
{
    if (event->type() != FlushRequestEvent::type())
        return false;
    const bool exclude = static_cast<FlushRequestEvent *>(event)->excludeUserInput;
    VelWindowSystemInterface::sendWindowSystemEvents(exclude ? VelEventLoop::ExcludeUserInputEvents
                                                             : VelEventLoop::AllEvents);
    return true;
}

bool VelWindowSystemEventQueue::flushFromOtherThread(bool excludeUserInput, int timeoutMsecs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_application)
        return false;
    const veluint64 ticket = m_nextSequence - 1;
    if (!pendingUpTo(ticket, excludeUserInput))
        return true;
    VelCoreApplication::postEvent(m_application, new FlushRequestEvent(excludeUserInput));
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeoutMsecs < 0 ? 0 : timeoutMsecs);
    const bool delivered = m_progress.wait_until(
        lock, deadline, [&] { return !m_application || !pendingUpTo(ticket, excludeUserInput); });
    if (delivered && m_application)
        return true;
    if (!m_application)
        return false;
    lock.unlock();
    velWarning("VelWindowSystemInterface: the GUI thread did not deliver the window-system "
               "events within %d ms (it is blocked); they stay queued",
               timeoutMsecs);
    return false;
}

// ---- the public interface ----

void VelWindowSystemInterface::handleExposeEvent(VelWindow *window, const VelRegion &region)
{
    if (window)
        enqueue(new ExposeEvent(window, region));
}

void VelWindowSystemInterface::handleGeometryChange(VelWindow *window, const VelRect &newRect,
                                                    const VelRect &oldRect)
{
    if (window)
        enqueue(new GeometryChangeEvent(window, newRect));
}

void VelWindowSystemInterface::handleWindowStateChanged(VelWindow *window,
                                                        Vel::WindowState newState)
{
    if (window)
        enqueue(new WindowStateEvent(window, newState));
}

void VelWindowSystemInterface::handleWindowActivated(VelWindow *window, Vel::FocusReason reason)
{
    enqueue(new WindowActivatedEvent(window, reason));
}

void VelWindowSystemInterface::handleApplicationStateChanged(Vel::ApplicationState state)
{
    enqueue(new ApplicationStateEvent(state));
}

void VelWindowSystemInterface::handleScreenGeometryChange(VelScreen *screen,
                                                          const VelRect &newGeometry)
{
    if (screen)
        enqueue(new ScreenGeometryEvent(VelWindowSystemEvent::ScreenGeometry, screen, newGeometry));
}

void VelWindowSystemInterface::handleScreenAvailableGeometryChange(
    VelScreen *screen, const VelRect &newAvailableGeometry)
{
    if (screen)
        enqueue(new ScreenGeometryEvent(VelWindowSystemEvent::ScreenAvailableGeometry, screen,
                                        newAvailableGeometry));
}

void VelWindowSystemInterface::handleScreenOrientationChange(VelScreen *screen,
                                                             Vel::ScreenOrientation orientation)
{
    if (screen)
        enqueue(new ScreenOrientationEvent(screen, orientation));
}

void VelWindowSystemInterface::handleScreenGeometryChange(VelPlatformScreen *screen,
                                                          const VelRect &newGeometry)
{
    if (screen)
        handleScreenGeometryChange(screen->screen(), newGeometry);
}

void VelWindowSystemInterface::handleScreenAvailableGeometryChange(
    VelPlatformScreen *screen, const VelRect &newAvailableGeometry)
{
    if (screen)
        handleScreenAvailableGeometryChange(screen->screen(), newAvailableGeometry);
}

void VelWindowSystemInterface::handleScreenOrientationChange(VelPlatformScreen *screen,
                                                             Vel::ScreenOrientation orientation)
{
    if (screen)
        handleScreenOrientationChange(screen->screen(), orientation);
}

void VelWindowSystemInterface::registerTouchDevice(VelTouchDevice *device)
{
    velRegisterTouchDevice(device);
}

void VelWindowSystemInterface::handleTouchEvent(VelWindow *window, VelTouchDevice *device,
                                                const std::vector<TouchPoint> &points,
                                                Vel::KeyboardModifiers modifiers)
{
    handleTouchEvent(VelPointer<VelWindow>(window), device, points, modifiers);
}

void VelWindowSystemInterface::handleTouchEvent(const VelPointer<VelWindow> &window,
                                                VelTouchDevice *device,
                                                const std::vector<TouchPoint> &points,
                                                Vel::KeyboardModifiers modifiers)
{
    const bool windowGiven = !window.isNull();
    if (!velIsTouchDeviceRegistered(device)) {
        velWarning("VelWindowSystemInterface: touch event from an unregistered device dropped");
        return;
    }
    if (points.empty())
        return;
    std::vector<VelTouchEvent::TouchPoint> converted;
    converted.reserve(points.size());
    for (const TouchPoint &point : points)
        converted.push_back(convertTouchPoint(point));
    enqueue(new TouchEvent(window, windowGiven, device, std::move(converted), modifiers));
}

void VelWindowSystemInterface::handleMouseEvent(VelWindow *window, const VelPointF &local,
                                                const VelPointF &global, Vel::MouseButtons buttons,
                                                Vel::KeyboardModifiers modifiers)
{
    handleMouseEvent(VelPointer<VelWindow>(window), local, global, buttons, modifiers);
}

void VelWindowSystemInterface::handleMouseEvent(const VelPointer<VelWindow> &window,
                                                const VelPointF &local, const VelPointF &global,
                                                Vel::MouseButtons buttons,
                                                Vel::KeyboardModifiers modifiers)
{
    const bool windowGiven = !window.isNull();
    enqueue(new MouseEvent(window, windowGiven, local, global, buttons, modifiers));
}

bool VelWindowSystemInterface::handleKeyEvent(VelWindow *window, VelEvent::Type type, int key,
                                              Vel::KeyboardModifiers modifiers,
                                              const VelString &text, bool autorep, ushort count)
{
    if (type != VelEvent::KeyPress && type != VelEvent::KeyRelease) {
        velWarning("VelWindowSystemInterface: key event of type %d dropped", int(type));
        return false;
    }
    enqueue(new KeyEvent(window, int(type), key, modifiers, text, autorep, count));
    return true;
}

bool VelWindowSystemInterface::flushWindowSystemEvents(VelEventLoop::ProcessEventsFlags flags)
{
    if (!VelGuiApplication::instance())
        return false;
    if (onGuiThread()) {
        sendWindowSystemEvents(flags);
        return true;
    }
    const bool exclude = (flags & VelEventLoop::ExcludeUserInputEvents) != 0;
    return VelWindowSystemEventQueue::instance().flushFromOtherThread(exclude, flushTimeout());
}

bool VelWindowSystemInterface::sendWindowSystemEvents(VelEventLoop::ProcessEventsFlags flags)
{
    if (!VelGuiApplication::instance())
        return false;
    if (!onGuiThread()) {
        // Handlers run on the GUI thread only; another thread gets a flush instead.
        flushWindowSystemEvents(flags);
        return false;
    }
    VelWindowSystemEventQueue &queue = VelWindowSystemEventQueue::instance();
    const bool exclude = (flags & VelEventLoop::ExcludeUserInputEvents) != 0;
    // Only what is queued now: handlers that queue more cannot keep this call going.
    int budget = queue.count();
    bool delivered = false;
    while (budget-- > 0) {
        std::unique_ptr<VelWindowSystemEvent> event = queue.takeNext(exclude);
        if (!event)
            break;
        event->deliver();
        queue.finishDelivery(*event);
        delivered = true;
    }
    return delivered;
}

int VelWindowSystemInterface::windowSystemEventsQueued()
{
    return VelWindowSystemEventQueue::instance().count();
}

void VelWindowSystemInterface::setFlushTimeout(int msecs)
{
    flushTimeoutMsecs.store(msecs < 0 ? 0 : msecs);
}

int VelWindowSystemInterface::flushTimeout()
{
    return flushTimeoutMsecs.load();
}
