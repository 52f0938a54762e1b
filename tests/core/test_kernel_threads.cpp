#include "velabstracteventdispatcher.h"
#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "veleventloop.h"
#include "vellogging.h"
#include "velobject.h"
#include "velpointer.h"
#include "velsemaphore.h"
#include "velthread.h"
#include "velthread_p.h"
#include "veltimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Waits are bounded only to turn a deadlock into a failure, never to time
// anything: the machine may be slow.
constexpr int DeadlockGuardMs = 60000;

struct VelThreadTestEvent;
VEL_DECLARE_METATYPE(VelThreadTestEvent *)

class VelWorker : public VelObject
{
    VEL_OBJECT
public:
    std::atomic<int> calls{0};
    std::atomic<VelThread *> ranIn{nullptr};
    VelSemaphore called;

    int compute(int x)
    {
        ranIn = VelThread::currentThread();
        ++calls;
        called.release();
        return x * 10;
    }
    void note(const VelString &text, VelThreadTestEvent *event)
    {
        ranIn = VelThread::currentThread();
        std::lock_guard<std::mutex> lock(mutex);
        notes.push_back(text.toStdString() + (event ? " event" : " null"));
        called.release();
    }
    void ping(int n)
    {
        ranIn = VelThread::currentThread();
        last = n;
        ++calls;
        called.release();
    }
    std::mutex mutex;
    std::vector<std::string> notes;
    std::atomic<int> last{0};
};

VEL_META_BEGIN(VelWorker, VelObject)
VEL_META_INVOKABLE(compute, int)
VEL_META_SLOT(note, const VelString &, VelThreadTestEvent *)
VEL_META_SLOT(ping, int)
VEL_META_END

class VelPinger : public VelObject
{
    VEL_OBJECT
public:
    void pinged(int n);
};

VEL_META_BEGIN(VelPinger, VelObject)
VEL_META_SIGNAL(pinged, int)
VEL_META_END

void VelPinger::pinged(int n)
{
    VEL_EMIT(pinged, n);
}

namespace
{

// A worker thread running its event loop, with an object living in it.
class RunningThread
{
public:
    RunningThread()
    {
        worker.moveToThread(&thread);
        VelObject::connect(
            &thread, &VelThread::started, &thread, [this]() { startedSignal.release(); },
            Vel::DirectConnection);
        thread.start();
        EXPECT_TRUE(startedSignal.tryAcquire(1, DeadlockGuardMs));
    }
    ~RunningThread()
    {
        thread.quit();
        EXPECT_TRUE(thread.wait(DeadlockGuardMs));
    }
    VelThread thread;
    VelWorker worker;
    VelSemaphore startedSignal;
};

std::vector<std::string> &warnings()
{
    static std::vector<std::string> list;
    return list;
}
std::mutex warningMutex;

void captureWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &text)
{
    if (type == VelWarningMsg) {
        std::lock_guard<std::mutex> lock(warningMutex);
        warnings().push_back(text.toStdString());
    }
}

} // namespace

TEST(KernelThreads, QueuedCallRunsInTheReceiversThread)
{
    velRegisterMetaType<VelThreadTestEvent *>("VelThreadTestEvent*");
    RunningThread t;
    VelThreadTestEvent *event = reinterpret_cast<VelThreadTestEvent *>(&t);
    EXPECT_TRUE(VelMetaObject::invokeMethod(&t.worker, "note", Vel::QueuedConnection,
                                            VEL_ARG(VelString, VelString("queued")),
                                            VEL_ARG(VelThreadTestEvent *, event)));
    ASSERT_TRUE(t.worker.called.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(t.worker.ranIn.load(), &t.thread);
    std::lock_guard<std::mutex> lock(t.worker.mutex);
    EXPECT_EQ(t.worker.notes, (std::vector<std::string>{"queued event"}));
}

TEST(KernelThreads, AutomaticConnectionQueuesAcrossThreads)
{
    RunningThread t;
    VelPinger pinger;
    ASSERT_TRUE(VelObject::connect(&pinger, SIGNAL(pinged(int)), &t.worker, SLOT(ping(int))));
    pinger.pinged(17);
    ASSERT_TRUE(t.worker.called.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(t.worker.last.load(), 17);
    EXPECT_EQ(t.worker.ranIn.load(), &t.thread);
}

TEST(KernelThreads, BlockingQueuedCallWaitsForTheResult)
{
    RunningThread t;
    int result = 0;
    EXPECT_TRUE(VelMetaObject::invokeMethod(&t.worker, "compute", Vel::BlockingQueuedConnection,
                                            VEL_RETURN_ARG(int, result), VEL_ARG(int, 4)));
    // Only a caller that waited can see the value the other thread returned.
    EXPECT_EQ(result, 40);
    EXPECT_EQ(t.worker.calls.load(), 1);
    EXPECT_EQ(t.worker.ranIn.load(), &t.thread);
}

TEST(KernelThreads, BlockingQueuedSignalWaitsForTheSlot)
{
    RunningThread t;
    VelPinger pinger;
    ASSERT_TRUE(VelObject::connect(&pinger, &VelPinger::pinged, &t.worker, &VelWorker::ping,
                                   Vel::BlockingQueuedConnection));
    for (int i = 1; i <= 5; ++i) {
        pinger.pinged(i);
        // The slot has run by the time the emission returns.
        EXPECT_EQ(t.worker.last.load(), i);
        EXPECT_EQ(t.worker.calls.load(), i);
    }
}

TEST(KernelThreads, BlockingQueuedCallToTheCallingThreadFailsInsteadOfDeadlocking)
{
    VelMessageHandler previous = velInstallMessageHandler(&captureWarnings);
    warnings().clear();
    VelWorker local;
    int result = 0;
    const bool invoked =
        VelMetaObject::invokeMethod(&local, "compute", Vel::BlockingQueuedConnection,
                                    VEL_RETURN_ARG(int, result), VEL_ARG(int, 1));
    VelPinger pinger;
    VelObject::connect(&pinger, &VelPinger::pinged, &local, &VelWorker::ping,
                       Vel::BlockingQueuedConnection);
    pinger.pinged(3);
    const bool functorInvoked = VelMetaObject::invokeMethod(
        &local, [] {}, Vel::BlockingQueuedConnection);
    velInstallMessageHandler(previous);

    EXPECT_FALSE(invoked);
    EXPECT_FALSE(functorInvoked);
    EXPECT_EQ(local.calls.load(), 0);
    std::lock_guard<std::mutex> lock(warningMutex);
    ASSERT_EQ(warnings().size(), 3u);
    for (const std::string &w : warnings())
        EXPECT_NE(w.find("dead lock"), std::string::npos) << w;
}

TEST(KernelThreads, BlockingCallToAReceiverDeletedBeforeItRunsReleasesTheCaller)
{
    // The receiver lives in a thread that has not started its loop; it is
    // deleted (from its own thread) while the call waits.
    VelThread thread;
    auto *worker = new VelWorker;
    worker->moveToThread(&thread);
    std::atomic<bool> returned{false};
    std::atomic<bool> reportedRun{true};
    std::thread caller([&]() {
        reportedRun = VelMetaObject::invokeMethod(worker, "ping", Vel::BlockingQueuedConnection,
                                                  VEL_ARG(int, 1));
        returned = true;
    });
    VelSemaphore queued;
    VelObject::connect(
        &thread, &VelThread::started, &thread,
        [&]() {
            // Runs in the new thread before its loop: the queued call is there
            // once the caller has posted it.
            while (velGlobalPostedEventsCount() == 0)
                std::this_thread::yield();
            delete worker;
            queued.release();
        },
        Vel::DirectConnection);
    thread.start();
    ASSERT_TRUE(queued.tryAcquire(1, DeadlockGuardMs));
    caller.join();
    EXPECT_TRUE(returned.load());
    EXPECT_FALSE(reportedRun.load()) << "a call that never ran is not reported as done";
    thread.quit();
    EXPECT_TRUE(thread.wait(DeadlockGuardMs));
}

namespace
{
// Returns from run() without a loop as soon as a call is waiting for it.
class VelQuittingThread : public VelThread
{
protected:
    void run() override
    {
        while (velGlobalPostedEventsCount() == 0)
            std::this_thread::yield();
    }
};
} // namespace

TEST(KernelThreads, BlockingCallToAThreadThatFinishesWithoutRunningItReturnsFalse)
{
    VelQuittingThread thread;
    VelWorker worker;
    worker.moveToThread(&thread);
    thread.start();
    int result = 0;
    const bool ran = VelMetaObject::invokeMethod(&worker, "compute", Vel::BlockingQueuedConnection,
                                                 VEL_RETURN_ARG(int, result), VEL_ARG(int, 2));
    EXPECT_FALSE(ran);
    EXPECT_EQ(worker.calls.load(), 0);
    EXPECT_TRUE(thread.wait(DeadlockGuardMs));
}

TEST(KernelThreads, GuardedPointerSeesDeletionInAnotherThread)
{
    RunningThread t;
    VelSemaphore created;
    VelSemaphore deleted;
    VelPointer<VelObject> guard;
    VelObject *raw = nullptr;
    VelMetaObject::invokeMethod(
        &t.worker,
        [&]() {
            raw = new VelObject;
            guard = raw;
            created.release();
        },
        Vel::QueuedConnection);
    ASSERT_TRUE(created.tryAcquire(1, DeadlockGuardMs));
    const VelPointer<VelObject> copy = guard;
    EXPECT_EQ(copy.data(), raw);

    // Readers in other threads hammer the guard while its object dies.
    std::atomic<bool> stop{false};
    std::atomic<int> nullReads{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 2; ++i) {
        readers.emplace_back([&]() {
            while (!stop) {
                if (copy.isNull())
                    ++nullReads;
            }
        });
    }
    VelMetaObject::invokeMethod(
        &t.worker,
        [&]() {
            delete raw;
            deleted.release();
        },
        Vel::QueuedConnection);
    ASSERT_TRUE(deleted.tryAcquire(1, DeadlockGuardMs));
    EXPECT_TRUE(copy.isNull());
    EXPECT_TRUE(guard.isNull());
    stop = true;
    for (std::thread &r : readers)
        r.join();
}

TEST(KernelThreads, ObjectsCreatedInAThreadBelongToIt)
{
    RunningThread t;
    VelSemaphore done;
    VelThread *seen = nullptr;
    VelThread *current = nullptr;
    VelMetaObject::invokeMethod(&t.worker, [&]() {
        VelObject o;
        seen = o.thread();
        current = VelThread::currentThread();
        done.release();
    });
    ASSERT_TRUE(done.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(seen, &t.thread);
    EXPECT_EQ(current, &t.thread);
    EXPECT_NE(VelThread::currentThread(), &t.thread);
    EXPECT_EQ(t.worker.thread(), &t.thread);
}

TEST(KernelDispatcher, WakeUpFromAnotherThreadWakesASleepingDispatcher)
{
    VelThread thread;
    VelSemaphore aboutToSleep;
    VelSemaphore returned;
    std::atomic<bool> result{true};
    auto *probe = new VelObject;
    probe->moveToThread(&thread);
    VelObject::connect(
        &thread, &VelThread::started, &thread,
        [&]() {
            VelAbstractEventDispatcher *d = VelAbstractEventDispatcher::instance();
            if (!d) {
                VelEventLoop loop;
                loop.processEvents(VelEventLoop::AllEvents);
                d = VelAbstractEventDispatcher::instance();
            }
            VelObject::connect(
                d, &VelAbstractEventDispatcher::aboutToBlock, d, [&]() { aboutToSleep.release(); },
                Vel::DirectConnection);
            // Nothing pending and no timers: this sleeps until woken.
            result = d->processEvents(VelEventLoop::WaitForMoreEvents);
            returned.release();
            delete probe;
        },
        Vel::DirectConnection);
    thread.start();
    ASSERT_TRUE(aboutToSleep.tryAcquire(1, DeadlockGuardMs));
    VelAbstractEventDispatcher *dispatcher = VelAbstractEventDispatcher::instance(&thread);
    ASSERT_NE(dispatcher, nullptr);
    dispatcher->wakeUp();
    ASSERT_TRUE(returned.tryAcquire(1, DeadlockGuardMs));
    EXPECT_FALSE(result.load()) << "a bare wake-up delivers nothing";
    thread.quit();
    EXPECT_TRUE(thread.wait(DeadlockGuardMs));
}

TEST(KernelDispatcher, InterruptMakesTheCurrentPassReturnDespitePendingTimers)
{
    VelThread thread;
    VelSemaphore aboutToSleep;
    VelSemaphore returned;
    std::atomic<int> timeouts{0};
    VelObject::connect(
        &thread, &VelThread::started, &thread,
        [&]() {
            // A far timer keeps the dispatcher waiting with a deadline.
            VelTimer far;
            VelObject::connect(&far, &VelTimer::timeout, &far, [&]() { ++timeouts; });
            far.start(3600 * 1000);
            VelAbstractEventDispatcher *d = VelAbstractEventDispatcher::instance();
            VelObject::connect(
                d, &VelAbstractEventDispatcher::aboutToBlock, d, [&]() { aboutToSleep.release(); },
                Vel::DirectConnection);
            d->processEvents(VelEventLoop::WaitForMoreEvents);
            returned.release();
        },
        Vel::DirectConnection);
    thread.start();
    ASSERT_TRUE(aboutToSleep.tryAcquire(1, DeadlockGuardMs));
    VelAbstractEventDispatcher::instance(&thread)->interrupt();
    ASSERT_TRUE(returned.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(timeouts.load(), 0);
    thread.quit();
    EXPECT_TRUE(thread.wait(DeadlockGuardMs));
}

TEST(KernelDispatcher, ThreadQuitBeforeItsLoopStartsIsNotLost)
{
    VelThread thread;
    thread.start();
    thread.quit();
    EXPECT_TRUE(thread.wait(DeadlockGuardMs));
    EXPECT_TRUE(thread.isFinished());
    // And the thread can run again.
    thread.start();
    thread.quit();
    EXPECT_TRUE(thread.wait(DeadlockGuardMs));
}

TEST(KernelThreads, MovedObjectTakesItsPostedEventsAndTimersAlong)
{
    RunningThread t;
    auto *mover = new VelWorker;
    VelTimer *timer = new VelTimer(mover);
    timer->setSingleShot(true);
    std::atomic<VelThread *> timerRanIn{nullptr};
    VelSemaphore fired;
    VelObject::connect(timer, &VelTimer::timeout, timer, [&]() {
        timerRanIn = VelThread::currentThread();
        fired.release();
    });
    // Started and posted to while still in the main thread; neither may run
    // here, both must follow the object.
    timer->start(0);
    VelMetaObject::invokeMethod(mover, "ping", Vel::QueuedConnection, VEL_ARG(int, 8));
    mover->moveToThread(&t.thread);
    EXPECT_EQ(timer->thread(), &t.thread) << "children move with their parent";
    ASSERT_TRUE(mover->called.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(mover->ranIn.load(), &t.thread);
    EXPECT_EQ(mover->last.load(), 8);
    ASSERT_TRUE(fired.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(timerRanIn.load(), &t.thread);

    VelPointer<VelWorker> guard(mover);
    VelSemaphore gone;
    VelObject::connect(
        mover, &VelObject::destroyed, mover, [&]() { gone.release(); }, Vel::DirectConnection);
    mover->deleteLater();
    ASSERT_TRUE(gone.tryAcquire(1, DeadlockGuardMs));
    EXPECT_TRUE(guard.isNull());
}

TEST(KernelThreads, DeleteLaterIsHonouredWhenTheThreadFinishes)
{
    VelThread thread;
    auto *worker = new VelWorker;
    VelPointer<VelWorker> guard(worker);
    worker->moveToThread(&thread);
    VelObject::connect(&thread, &VelThread::finished, worker, &VelObject::deleteLater,
                       Vel::DirectConnection);
    thread.start();
    thread.quit();
    ASSERT_TRUE(thread.wait(DeadlockGuardMs));
    EXPECT_TRUE(guard.isNull());
}

// An object with timers moved to a thread that is just starting its loop:
// both ask for the thread's dispatcher at once. The one that loses must drop
// its own dispatcher without deadlocking on the thread's event queue. The
// seam makes a nested caller win, so the race is lost every time.
VelAbstractEventDispatcher *raceWinner = nullptr;

void winTheDispatcherRace(VelThreadData *data)
{
    VelThreadData::setDispatcherCreatedHook(nullptr);
    raceWinner = data->ensureDispatcher();
}

TEST(KernelDispatcher, LosingTheRaceToCreateADispatcherDoesNotDeadlock)
{
    VelThreadData::setDispatcherCreatedHook(winTheDispatcherRace);
    std::promise<VelAbstractEventDispatcher *> result;
    std::future<VelAbstractEventDispatcher *> answer = result.get_future();
    std::atomic<VelAbstractEventDispatcher *> installed{nullptr};
    std::thread caller([&]() {
        VelThreadData *data = VelThreadData::current();
        VelAbstractEventDispatcher *got = data->ensureDispatcher();
        installed = data->dispatcher();
        result.set_value(got);
    });
    if (answer.wait_for(std::chrono::milliseconds(DeadlockGuardMs)) != std::future_status::ready) {
        // The caller holds the thread's queue lock for ever; nothing after
        // this could finish, so the process stops here with the reason.
        std::fprintf(stderr, "ensureDispatcher deadlocked after losing the race\n");
        std::_Exit(1);
    }
    caller.join();
    ASSERT_NE(raceWinner, nullptr);
    EXPECT_EQ(answer.get(), raceWinner);
    EXPECT_EQ(installed.load(), raceWinner);
}

TEST(KernelTimers, SingleShotRunsInTheReceiversThread)
{
    RunningThread t;
    VelSemaphore fired;
    std::atomic<VelThread *> ranIn{nullptr};
    VelTimer::singleShot(0, &t.worker, [&]() {
        ranIn = VelThread::currentThread();
        fired.release();
    });
    ASSERT_TRUE(fired.tryAcquire(1, DeadlockGuardMs));
    EXPECT_EQ(ranIn.load(), &t.thread);
}
