#include "velabstracteventdispatcher.h"
#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "veleventdispatcher_unix.h"
#include "veleventloop.h"
#include "velobject.h"
#include "velpointer.h"
#include "velsocketnotifier.h"
#include "velthread.h"
#include "veltimer.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

class VelLoopTarget : public VelObject
{
    VEL_OBJECT
public:
    std::vector<std::string> log;
    std::vector<bool> spontaneous;
    VelEventLoop *loopToExit = nullptr;

    void queuedStep(int n) { log.push_back("step " + std::to_string(n)); }
    void leaveLoop()
    {
        log.push_back("leave");
        if (loopToExit)
            loopToExit->exit(7);
    }

    bool event(VelEvent *e) override
    {
        if (e->type() >= VelEvent::User) {
            log.push_back("event " + std::to_string(int(e->type())));
            spontaneous.push_back(e->spontaneous());
            return true;
        }
        return VelObject::event(e);
    }
};

VEL_META_BEGIN(VelLoopTarget, VelObject)
VEL_META_SLOT(queuedStep, int)
VEL_META_SLOT(leaveLoop)
VEL_META_END

class VelFilter : public VelObject
{
public:
    explicit VelFilter(bool take) : m_take(take) {}
    bool eventFilter(VelObject *watched, VelEvent *event) override
    {
        seen.push_back(int(event->type()));
        lastWatched = watched;
        return m_take && event->type() == VelEvent::KeyPress;
    }
    std::vector<int> seen;
    VelObject *lastWatched = nullptr;

private:
    bool m_take;
};

namespace
{

class KernelLoop : public ::testing::Test
{
protected:
    void SetUp() override { app = new VelCoreApplication(argc, argv); }
    void TearDown() override { delete app; }

    // Passes until nothing more happens (bounded as a guard against loops).
    static void drain()
    {
        for (int i = 0; i < 100 && VelEventLoop().processEvents(VelEventLoop::AllEvents); ++i) {
        }
    }

    int argc = 1;
    char arg0[16] = "kernel-test";
    char *argv[2] = {arg0, nullptr};
    VelCoreApplication *app = nullptr;
};

} // namespace

TEST_F(KernelLoop, ZeroIntervalSingleShotCoalescesRepeatedStarts)
{
    VelTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(0);
    int timeouts = 0;
    VelObject::connect(&timer, &VelTimer::timeout, &timer, [&]() { ++timeouts; });
    timer.start();
    timer.start();
    timer.start();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timeouts, 0) << "a zero-interval timer fires from the loop, not from start()";
    VelCoreApplication::processEvents();
    EXPECT_EQ(timeouts, 1) << "fires on the next pass";
    EXPECT_FALSE(timer.isActive());
    drain();
    EXPECT_EQ(timeouts, 1);

    // Started again from its own timeout: one more firing, in a later pass.
    VelObject::connect(&timer, &VelTimer::timeout, &timer, [&]() {
        if (timeouts == 2)
            timer.start();
    });
    timer.start();
    VelCoreApplication::processEvents();
    EXPECT_EQ(timeouts, 2);
    VelCoreApplication::processEvents();
    EXPECT_EQ(timeouts, 3);
    drain();
    EXPECT_EQ(timeouts, 3);
}

TEST_F(KernelLoop, StoppedTimerDoesNotFireAndRepeatingTimerKeepsFiring)
{
    VelTimer once;
    once.setSingleShot(true);
    int onceCount = 0;
    VelObject::connect(&once, &VelTimer::timeout, &once, [&]() { ++onceCount; });
    once.start(0);
    once.stop();
    drain();
    EXPECT_EQ(onceCount, 0);

    VelTimer repeating;
    int repeats = 0;
    VelEventLoop loop;
    VelObject::connect(&repeating, &VelTimer::timeout, &repeating, [&]() {
        if (++repeats == 3)
            loop.exit(0);
    });
    repeating.start(0);
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_EQ(repeats, 3);
    EXPECT_TRUE(repeating.isActive());
}

TEST_F(KernelLoop, NestedLoopRunsQueuedCallsAndDefersDeletion)
{
    VelLoopTarget target;
    VelEventLoop nested;
    target.loopToExit = &nested;
    auto *doomed = new VelObject;
    VelPointer<VelObject> doomedGuard(doomed);
    int nestedResult = -1;
    bool doomedAliveAfterNested = false;

    // The outer step runs inside exec(); it starts a nested loop, which must
    // still deliver the queued calls posted before it.
    VelMetaObject::invokeMethod(
        &target,
        [&]() {
            doomed->deleteLater();
            VelMetaObject::invokeMethod(&target, "queuedStep", Vel::QueuedConnection,
                                        VEL_ARG(int, 1));
            VelMetaObject::invokeMethod(&target, "leaveLoop", Vel::QueuedConnection);
            EXPECT_FALSE(nested.isRunning());
            nestedResult = nested.exec();
            // The nested loop does not delete what its caller may still use.
            doomedAliveAfterNested = !doomedGuard.isNull();
            VelCoreApplication::quit();
        },
        Vel::QueuedConnection);
    EXPECT_EQ(VelCoreApplication::exec(), 0);
    EXPECT_EQ(nestedResult, 7);
    EXPECT_EQ(target.log, (std::vector<std::string>{"step 1", "leave"}));
    EXPECT_TRUE(doomedAliveAfterNested);
    drain();
    // Back in the outer loop level or below, the deferred delete is due.
    VelCoreApplication::sendPostedEvents(nullptr, VelEvent::DeferredDelete);
    EXPECT_TRUE(doomedGuard.isNull());
}

TEST_F(KernelLoop, DeleteLaterInsideTheLoopHappensOnTheNextPass)
{
    auto *doomed = new VelObject;
    VelPointer<VelObject> guard(doomed);
    bool aliveRightAfter = false;
    VelMetaObject::invokeMethod(
        doomed,
        [&]() {
            doomed->deleteLater();
            aliveRightAfter = !guard.isNull();
            // Posted after the deletion request, so delivered after it.
            VelMetaObject::invokeMethod(
                app, []() { VelCoreApplication::quit(); }, Vel::QueuedConnection);
        },
        Vel::QueuedConnection);
    VelCoreApplication::exec();
    EXPECT_TRUE(aliveRightAfter);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(KernelLoop, EventFiltersTakeEventsAndSeeThemFirst)
{
    VelLoopTarget target;
    VelFilter observer(false);
    VelFilter taker(true);
    VelFilter appWide(false);
    target.installEventFilter(&observer);
    target.installEventFilter(&taker);
    app->installEventFilter(&appWide);

    VelEvent key(VelEvent::KeyPress);
    EXPECT_TRUE(VelCoreApplication::sendEvent(&target, &key));
    // The most recent filter took it: the older one never saw it.
    EXPECT_EQ(taker.seen, (std::vector<int>{VelEvent::KeyPress}));
    EXPECT_TRUE(observer.seen.empty());
    EXPECT_EQ(appWide.seen, (std::vector<int>{VelEvent::KeyPress}))
        << "application filters come first";
    EXPECT_EQ(appWide.lastWatched, &target);

    VelEvent user(VelEvent::Type(VelEvent::User + 1));
    VelCoreApplication::sendEvent(&target, &user);
    EXPECT_EQ(observer.seen, (std::vector<int>{VelEvent::User + 1}));
    EXPECT_EQ(target.log, (std::vector<std::string>{"event 1001"}));

    target.removeEventFilter(&taker);
    VelEvent key2(VelEvent::KeyPress);
    VelCoreApplication::sendEvent(&target, &key2);
    EXPECT_EQ(taker.seen.size(), 2u) << "saw KeyPress and User+1, then was removed";
    app->removeEventFilter(&appWide);
    {
        // A destroyed filter is skipped, not called.
        auto *temporary = new VelFilter(true);
        target.installEventFilter(temporary);
        delete temporary;
    }
    VelEvent user2(VelEvent::Type(VelEvent::User + 2));
    VelCoreApplication::sendEvent(&target, &user2);
    EXPECT_EQ(target.log.back(), "event 1002");
}

TEST_F(KernelLoop, SpontaneousOnlyForWindowSystemInput)
{
    VelLoopTarget target;
    VelEvent sent(VelEvent::Type(VelEvent::User + 1));
    VelCoreApplication::sendEvent(&target, &sent);
    VelEvent input(VelEvent::Type(VelEvent::User + 2));
    VelCoreApplication::sendSpontaneousEvent(&target, &input);
    // The same event object sent again by the program is no longer spontaneous.
    VelCoreApplication::sendEvent(&target, &input);
    VelCoreApplication::postEvent(&target, new VelEvent(VelEvent::Type(VelEvent::User + 3)));
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(target.spontaneous, (std::vector<bool>{false, true, false, false}));
}

TEST_F(KernelLoop, PostedEventsCountPriorityAndRemoval)
{
    VelLoopTarget target;
    VelLoopTarget other;
    EXPECT_EQ(velGlobalPostedEventsCount(), 0);
    VelCoreApplication::postEvent(&target, new VelEvent(VelEvent::Type(VelEvent::User + 1)));
    VelCoreApplication::postEvent(&target, new VelEvent(VelEvent::Type(VelEvent::User + 2)),
                                  Vel::LowEventPriority);
    VelCoreApplication::postEvent(&target, new VelEvent(VelEvent::Type(VelEvent::User + 3)),
                                  Vel::HighEventPriority);
    VelCoreApplication::postEvent(&target, new VelEvent(VelEvent::Type(VelEvent::User + 4)));
    VelCoreApplication::postEvent(&other, new VelEvent(VelEvent::Type(VelEvent::User + 5)));
    EXPECT_EQ(velGlobalPostedEventsCount(), 5);
    EXPECT_TRUE(app->eventDispatcher() == nullptr || app->eventDispatcher()->hasPendingEvents());

    VelCoreApplication::sendPostedEvents(&other);
    EXPECT_EQ(other.log, (std::vector<std::string>{"event 1005"}));
    EXPECT_EQ(velGlobalPostedEventsCount(), 4);

    VelCoreApplication::removePostedEvents(&target, VelEvent::User + 4);
    EXPECT_EQ(velGlobalPostedEventsCount(), 3);
    VelCoreApplication::sendPostedEvents(nullptr, 0);
    EXPECT_EQ(target.log, (std::vector<std::string>{"event 1003", "event 1001", "event 1002"}));
    EXPECT_EQ(velGlobalPostedEventsCount(), 0);

    // Events for an object that dies are dropped with it.
    auto *shortLived = new VelLoopTarget;
    VelCoreApplication::postEvent(shortLived, new VelEvent(VelEvent::Type(VelEvent::User + 6)));
    delete shortLived;
    EXPECT_EQ(velGlobalPostedEventsCount(), 0);
}

TEST_F(KernelLoop, EventsPostedWhileDeliveringWaitForTheNextPass)
{
    VelLoopTarget target;
    int delivered = 0;
    VelObject::connect(&target, &VelObject::objectNameChanged, &target, [&]() {});
    std::function<void()> repost = [&]() {
        ++delivered;
        VelMetaObject::invokeMethod(&target, repost, Vel::QueuedConnection);
    };
    VelMetaObject::invokeMethod(&target, repost, Vel::QueuedConnection);
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(delivered, 1) << "a handler that posts again must not keep sendPostedEvents running";
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(delivered, 2);
    VelCoreApplication::removePostedEvents(&target);
}

TEST_F(KernelLoop, SocketNotifierReportsReadableDescriptor)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    VelSocketNotifier notifier(fds[0], VelSocketNotifier::Read);
    int activations = 0;
    int seenFd = -1;
    VelObject::connect(&notifier, &VelSocketNotifier::activated, &notifier, [&](int fd) {
        ++activations;
        seenFd = fd;
        char c;
        ASSERT_EQ(::read(fd, &c, 1), 1);
    });
    VelCoreApplication::processEvents();
    EXPECT_EQ(activations, 0);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    VelCoreApplication::processEvents(VelEventLoop::WaitForMoreEvents);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(seenFd, fds[0]);
    notifier.setEnabled(false);
    ASSERT_EQ(::write(fds[1], "y", 1), 1);
    VelCoreApplication::processEvents();
    EXPECT_EQ(activations, 1);
    ::close(fds[0]);
    ::close(fds[1]);
}

namespace
{
// A GUI-style dispatcher: the base pass plus a source of its own.
class VelCountingDispatcher : public VelEventDispatcherUNIX
{
public:
    bool processEvents(VelEventLoop::ProcessEventsFlags flags) override
    {
        const bool base = VelEventDispatcherUNIX::processEvents(flags);
        ++passes;
        return base || extraWork > 0 ? (extraWork = 0, true) : false;
    }
    int passes = 0;
    int extraWork = 0;
};
} // namespace

TEST_F(KernelLoop, InstalledDispatcherTakesOverTimersAndRunsTheLoop)
{
    VelTimer timer;
    int timeouts = 0;
    VelObject::connect(&timer, &VelTimer::timeout, &timer, [&]() { ++timeouts; });
    timer.setSingleShot(true);
    timer.start(0);
    // The timer above made the thread's default dispatcher; the installed one
    // must carry its timer over.
    ASSERT_NE(VelCoreApplication::eventDispatcher(), nullptr);
    auto *custom = new VelCountingDispatcher;
    VelCoreApplication::setEventDispatcher(custom);
    EXPECT_EQ(VelCoreApplication::eventDispatcher(), custom);
    EXPECT_EQ(VelAbstractEventDispatcher::instance(), custom);
    EXPECT_EQ(custom->thread(), VelThread::currentThread());
    VelCoreApplication::processEvents();
    EXPECT_EQ(timeouts, 1);
    EXPECT_EQ(custom->passes, 1);
    custom->extraWork = 1;
    EXPECT_TRUE(custom->processEvents(VelEventLoop::AllEvents));
}

TEST_F(KernelLoop, TranslateFallsBackToTheSourceText)
{
    EXPECT_EQ(VelCoreApplication::translate("Ctx", "Cancel"), VelString("Cancel"));
    VelCoreApplication::installTranslator(
        [](const char *context, const char *source, const char *, int) {
            if (std::string(context) == "Ctx" && std::string(source) == "Cancel")
                return VelString("Abbrechen");
            return VelString();
        });
    EXPECT_EQ(VelCoreApplication::translate("Ctx", "Cancel"), VelString("Abbrechen"));
    EXPECT_EQ(VelCoreApplication::translate("Other", "Cancel"), VelString("Cancel"));
    VelCoreApplication::removeTranslators();
    EXPECT_EQ(VelCoreApplication::translate("Ctx", "Cancel"), VelString("Cancel"));
    EXPECT_EQ(VelCoreApplication::arguments(), VelStringList(VelString("kernel-test")));
    EXPECT_FALSE(VelCoreApplication::applicationDirPath().isEmpty());
}
