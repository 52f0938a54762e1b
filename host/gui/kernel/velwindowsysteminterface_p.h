#ifndef VELWINDOWSYSTEMINTERFACE_P_H
#define VELWINDOWSYSTEMINTERFACE_P_H

#include "velpointer.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class VelAbstractEventDispatcher;
class VelCoreApplication;
class VelThread;

// One queued window-system event. Windows and screens are held through guarded
// pointers: the GUI thread may destroy them before the event is delivered.
struct VelWindowSystemEvent {
    enum Kind {
        Expose,
        GeometryChange,
        WindowStateChange,
        WindowActivated,
        ApplicationState,
        ScreenGeometry,
        ScreenAvailableGeometry,
        ScreenOrientation,
        Mouse,
        Key,
        Touch,
    };

    explicit VelWindowSystemEvent(Kind kind, VelWindow *target = nullptr)
        : kind(kind), window(target), windowGiven(target != nullptr)
    {
    }
    // A window named by a thread that found it under the window lock: it counts as given
    // even when it is destroyed before the event is built.
    VelWindowSystemEvent(Kind kind, const VelPointer<VelWindow> &target, bool given)
        : kind(kind), window(target), windowGiven(given)
    {
    }
    virtual ~VelWindowSystemEvent() = default;

    bool isUserInput() const { return kind == Mouse || kind == Key || kind == Touch; }
    // Delivers the event on the GUI thread.
    virtual void deliver() = 0;

    Kind kind;
    VelPointer<VelWindow> window;
    bool windowGiven;
    veluint64 sequence = 0;
};

// The queue shared by the injecting threads and the GUI thread.
class VelWindowSystemEventQueue
{
public:
    static VelWindowSystemEventQueue &instance();

    void enqueue(std::unique_ptr<VelWindowSystemEvent> event);
    // Removes and returns the oldest event that the flags allow, marking it as being
    // delivered; null when there is none.
    std::unique_ptr<VelWindowSystemEvent> takeNext(bool excludeUserInput);
    void finishDelivery(const VelWindowSystemEvent &event);
    int count();
    void clear();

    // The dispatcher to wake and the application to hand flushes to; both null while
    // no application runs.
    void attachApplication(VelCoreApplication *application, VelAbstractEventDispatcher *dispatcher);
    // Installs the dispatcher on the GUI thread (which takes ownership) and wakes it from
    // now on; the replaced dispatcher is deleted while no other thread can be waking it.
    void installDispatcher(VelThread *guiThread, VelAbstractEventDispatcher *dispatcher);
    void detachApplication();

    // Another thread's flush: hands delivery to the GUI thread and waits for it, bounded.
    bool flushFromOtherThread(bool excludeUserInput, int timeoutMsecs);

private:
    bool pendingUpTo(veluint64 ticket, bool excludeUserInput) const;

    // Guards everything below. Lock order: taken before the dispatcher's and the posted-
    // event machinery's own locks (wakeUp and postEvent are called while it is held, so
    // that the application cannot go away in between); never held during delivery.
    std::mutex m_mutex;
    std::condition_variable m_progress; // signalled after each delivery and on detach
    std::deque<std::unique_ptr<VelWindowSystemEvent>> m_queue;
    // Sequence numbers of the events being delivered right now (deliveries nest when a
    // handler flushes), with whether each is user input.
    std::vector<std::pair<veluint64, bool>> m_inDelivery;
    veluint64 m_nextSequence = 1;
    VelCoreApplication *m_application = nullptr;
    VelAbstractEventDispatcher *m_dispatcher = nullptr;
};

// The application's event() hands its flush requests here; false for other events.
bool velHandleWindowSystemFlushRequest(VelEvent *event);

#endif
