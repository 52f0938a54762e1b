#ifndef VELEVENTDISPATCHER_UNIX_H
#define VELEVENTDISPATCHER_UNIX_H

#include "velabstracteventdispatcher.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

// The poll()-based dispatcher. A pass delivers the posted events, waits (if
// asked to and nothing is pending) until a timer is due, a notifier's file
// descriptor is ready or wakeUp() is called, then fires the ready socket
// notifiers and the due timers. Timers due when a pass starts firing run in
// that pass; a zero-interval timer started during a pass fires in the next.
//
// Subclasses may extend processEvents (run the base pass, then their own
// sources), hasPendingEvents and flush.
class VelEventDispatcherUNIX : public VelAbstractEventDispatcher
{
    VEL_OBJECT
public:
    explicit VelEventDispatcherUNIX(VelObject *parent = nullptr);
    ~VelEventDispatcherUNIX() override;

    bool processEvents(VelEventLoop::ProcessEventsFlags flags) override;
    bool hasPendingEvents() override;

    void registerSocketNotifier(VelSocketNotifier *notifier) override;
    void unregisterSocketNotifier(VelSocketNotifier *notifier) override;

    using VelAbstractEventDispatcher::registerTimer;
    void registerTimer(int timerId, int interval, Vel::TimerType timerType,
                       VelObject *object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(VelObject *object) override;
    std::vector<TimerInfo> registeredTimers(VelObject *object) const override;
    int remainingTime(int timerId) override;

    std::vector<RegisteredTimer> allTimers() const override;
    std::vector<VelSocketNotifier *> socketNotifiers() const override;

    void wakeUp() override;
    void interrupt() override;
    void flush() override;

    // Test seam: called on the dispatcher's thread while it takes in a
    // wake-up, between its two steps (reading the wake-up descriptor and
    // clearing the pending mark), the moment another thread's wakeUp() may
    // arrive unseen. Null (the default) calls nothing.
    using WakeUpDrainHook = void (*)();
    static void setWakeUpDrainHook(WakeUpDrainHook hook);

protected:
    // Waits at most timeout ms (-1 = for ever, 0 = just look) for the
    // notifiers' descriptors or a wake-up, then activates the ready
    // notifiers; returns how many it activated.
    virtual int doSelect(VelEventLoop::ProcessEventsFlags flags, int timeout);
    // Fires due timers; returns how many.
    int activateTimers();
    // Milliseconds until the next timer, -1 when there is none.
    int timeToNextTimer() const;
    bool isInterrupted() const { return m_interrupt.load(); }

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        int id;
        int interval;
        Vel::TimerType type;
        VelObject *object;
        Clock::time_point due;
        veluint64 serial;
    };

    void drainWakeUp();

    int m_wakeFd = -1;
    std::atomic<bool> m_interrupt{false};
    // Set by the wakeUp() that writes to m_wakeFd, cleared by the
    // dispatcher's thread after it has read m_wakeFd empty (drainWakeUp):
    // while it is set, a write is pending or being taken in.
    std::atomic<bool> m_wakeUpPending{false};
    // Guards m_timers and m_timerSerial; a leaf lock (nothing is called
    // under it).
    mutable std::mutex m_timerMutex;
    std::vector<Timer> m_timers;
    veluint64 m_timerSerial = 0;
    // Guards m_notifiers (a notifier may be destroyed on another thread);
    // a leaf lock, never held while a notifier is activated.
    mutable std::mutex m_notifierMutex;
    std::vector<VelSocketNotifier *> m_notifiers;
    bool isRegistered(VelSocketNotifier *notifier) const;
};

#endif
