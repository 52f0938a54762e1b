#ifndef VELABSTRACTEVENTDISPATCHER_H
#define VELABSTRACTEVENTDISPATCHER_H

#include "veleventloop.h"
#include "velobject.h"

#include <vector>

class VelSocketNotifier;
class VelThread;

// The source of a thread's events: posted events, timers and file
// descriptors. Each thread has at most one; it is created when the thread
// first needs it, or installed with VelThread::setEventDispatcher (or
// VelCoreApplication::setEventDispatcher for the main thread) before the
// thread's loop runs. The thread owns it.
//
// wakeUp() and interrupt() may be called from any thread; everything else
// runs on the dispatcher's thread.
class VelAbstractEventDispatcher : public VelObject
{
    VEL_OBJECT
public:
    struct TimerInfo {
        int timerId;
        int interval;
        Vel::TimerType timerType;
    };

    explicit VelAbstractEventDispatcher(VelObject *parent = nullptr);
    ~VelAbstractEventDispatcher() override;

    // The dispatcher of thread (the calling thread when null); may be null.
    static VelAbstractEventDispatcher *instance(VelThread *thread = nullptr);

    // One pass: true if an event was delivered.
    virtual bool processEvents(VelEventLoop::ProcessEventsFlags flags) = 0;
    virtual bool hasPendingEvents() = 0;

    virtual void registerSocketNotifier(VelSocketNotifier *notifier) = 0;
    virtual void unregisterSocketNotifier(VelSocketNotifier *notifier) = 0;

    // Allocates a timer id and registers it.
    int registerTimer(int interval, Vel::TimerType timerType, VelObject *object);
    virtual void registerTimer(int timerId, int interval, Vel::TimerType timerType,
                               VelObject *object) = 0;
    virtual bool unregisterTimer(int timerId) = 0;
    virtual bool unregisterTimers(VelObject *object) = 0;
    virtual std::vector<TimerInfo> registeredTimers(VelObject *object) const = 0;
    // Milliseconds until the timer fires, -1 if unknown.
    virtual int remainingTime(int timerId) = 0;

    // Makes a sleeping processEvents return; any thread.
    virtual void wakeUp() = 0;
    // Makes the running processEvents return as soon as possible; any thread.
    virtual void interrupt() = 0;
    virtual void flush() = 0;

    // Everything registered, so that a replacing dispatcher can take it over.
    struct RegisteredTimer {
        VelObject *object;
        TimerInfo info;
    };
    virtual std::vector<RegisteredTimer> allTimers() const;
    virtual std::vector<VelSocketNotifier *> socketNotifiers() const;

    virtual void startingUp();
    virtual void closingDown();

    // signals
    void aboutToBlock();
    void awake();

    // A fresh timer id (never 0) and its release.
    static int allocateTimerId();
    static void releaseTimerId(int timerId);
};

#endif
