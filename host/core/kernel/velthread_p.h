#ifndef VELTHREAD_P_H
#define VELTHREAD_P_H

// Kernel-internal: the per-thread state behind VelThread. Not for use
// outside host/core/kernel.

#include "velglobal.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class VelObject;
class VelEvent;
class VelThread;
class VelEventLoop;
class VelAbstractEventDispatcher;

struct VelPostedEvent {
    VelObject *receiver;
    VelEvent *event;
    int priority;
    veluint64 sequence;
};

class VelThreadData : public std::enable_shared_from_this<VelThreadData>
{
public:
    VelThreadData();
    ~VelThreadData();
    VEL_DISABLE_COPY(VelThreadData)

    // The calling thread's data; threads not started by VelThread (the main
    // thread included) are adopted on first use.
    static VelThreadData *current();
    static std::shared_ptr<VelThreadData> currentShared();
    // Installs data as the calling thread's (VelThread's start routine).
    static void setCurrent(const std::shared_ptr<VelThreadData> &data);

    // Adds an event (taking ownership) and wakes the thread's dispatcher.
    void post(VelObject *receiver, VelEvent *event, int priority);
    // Removes (and deletes) the posted events for receiver, or of that type
    // for receiver when type != 0.
    void removePostedEvents(VelObject *receiver, int type = 0);
    // Drops the blocking calls still queued, releasing their callers
    // (the thread is finishing and will not run them).
    void releaseBlockingCalls();
    // Moves receiver's posted events to another thread's queue.
    void movePostedEvents(VelObject *receiver, VelThreadData *target);
    // Delivers this thread's posted events (called on this thread only).
    // Only events posted before the call are delivered, so a handler that
    // posts again cannot keep the call running. Returns the number delivered.
    int sendPostedEvents(VelObject *receiver, int type);
    // Posted events that sendPostedEvents could deliver now.
    bool hasDeliverablePostedEvents();
    int postedEventCount();

    VelAbstractEventDispatcher *dispatcher() const { return m_dispatcher.load(); }
    // The dispatcher, created on first need; any thread may ask (an object moved
    // here with timers), and the first one made wins.
    VelAbstractEventDispatcher *ensureDispatcher();
    // Test seam: runs after ensureDispatcher made a dispatcher and before it
    // is installed, so that a test can make another caller win the race.
    using DispatcherCreatedHook = void (*)(VelThreadData *);
    static void setDispatcherCreatedHook(DispatcherCreatedHook hook);
    // Installs a dispatcher (taking ownership); the old one's timers and
    // socket notifiers move to it. Returns false if a loop is running.
    bool setDispatcher(VelAbstractEventDispatcher *dispatcher);
    // Deletes the dispatcher (thread exit).
    void destroyDispatcher();
    void wakeUp();
    void interrupt();
    std::shared_ptr<VelThreadData> selfShared() { return shared_from_this(); }

    // Loops of this thread, innermost last.
    void pushLoop(VelEventLoop *loop);
    void popLoop(VelEventLoop *loop);
    // Makes every running loop return code (any thread).
    void exitAllLoops(int code);
    int loopLevel() const { return m_loopLevel.load(); }

    std::atomic<VelThread *> thread{nullptr};
    std::atomic<bool> quitNow{false};
    std::atomic<int> quitCode{0};
    std::thread::id threadId;
    bool adopted = false;
    // Depth of sendEvent/notify calls running on this thread; deferred
    // deletes wait until control is back in the loop that asked for them.
    int scopeLevel = 0;

private:
    // Guards m_posted, m_sequence and m_loops, and the dispatcher pointer
    // while it is replaced. Lock order: after the connection lock and the
    // thread-affinity lock; before the dispatcher's own locks.
    std::mutex m_mutex;
    std::deque<VelPostedEvent> m_posted;
    veluint64 m_sequence = 0;
    std::vector<VelEventLoop *> m_loops;
    std::atomic<int> m_loopLevel{0};
    std::atomic<VelAbstractEventDispatcher *> m_dispatcher{nullptr};

    bool deliverable(const VelPostedEvent &pe, VelObject *receiver, int type,
                     veluint64 limit) const;
};

#endif
