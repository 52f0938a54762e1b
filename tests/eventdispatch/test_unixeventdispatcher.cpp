// The GUI thread's dispatcher: window-system events count as pending work, are delivered
// by processEvents, and wake a dispatcher that sleeps for more events.

#include "test_kernel_integration.h"

#include "velgenericunixeventdispatcher.h"
#include "velguiapplication.h"
#include "velunixeventdispatcher_velpa.h"
#include "velwindowsysteminterface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{

class CountingObject : public VelObject
{
public:
    bool event(VelEvent *event) override
    {
        if (event->type() == VelEvent::User)
            ++userEvents;
        return VelObject::event(event);
    }
    int userEvents = 0;
};

// Runs before any application exists in this process.
TEST(UnixEventDispatcherWithoutApplication, FlushDoesNothing)
{
    ASSERT_EQ(VelCoreApplication::instance(), nullptr);
    std::unique_ptr<VelAbstractEventDispatcher> dispatcher(createUnixEventDispatcher());
    ASSERT_NE(dispatcher, nullptr);
    EXPECT_EQ(dispatcher->parent(), nullptr);
    EXPECT_STREQ(dispatcher->metaObject()->className(), "VelUnixEventDispatcherVelPA");

    CountingObject receiver;
    VelCoreApplication::postEvent(&receiver, new VelEvent(VelEvent::User));
    dispatcher->flush();
    EXPECT_EQ(receiver.userEvents, 0);
    VelCoreApplication::removePostedEvents(&receiver);
}

// Counts its timer's firings; a long timer bounds a wait that a lost wake-up
// would make endless, so the fault fails the test instead of hanging it.
class TimerCounter : public VelObject
{
public:
    void timerEvent(VelTimerEvent *) override { ++fired; }
    int fired = 0;
};

VelAbstractEventDispatcher *racedDispatcher = nullptr;

// Runs on the GUI thread between the dispatcher's two steps of taking in a
// wake-up; the wake-up of another thread lands exactly there, once.
void wakeUpFromAnotherThreadOnce()
{
    VelEventDispatcherUNIX::setWakeUpDrainHook(nullptr);
    std::thread waker([] { racedDispatcher->wakeUp(); });
    waker.join();
}

int argc = 1;
char arg0[] = "test_unixeventdispatcher";
char *argv[] = {arg0, nullptr};

class UnixEventDispatcherTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        registerKernelTestPlugin();
        TestPlatformLog::instance().makeDispatcher = [] { return createUnixEventDispatcher(); };
        app = new VelGuiApplication(argc, argv, VelString("kerneltest"));
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
    }
    void SetUp() override
    {
        dispatcher = VelCoreApplication::eventDispatcher();
        ASSERT_NE(dispatcher, nullptr);
        ASSERT_TRUE(dispatcher->inherits("VelUnixEventDispatcherVelPA"))
            << "the integration's dispatcher was not installed";
        while (dispatcher->processEvents(VelEventLoop::AllEvents)) {
        }
    }

    static VelGuiApplication *app;
    VelAbstractEventDispatcher *dispatcher = nullptr;
};

VelGuiApplication *UnixEventDispatcherTest::app = nullptr;

TEST_F(UnixEventDispatcherTest, AQueuedWindowSystemEventIsPendingWorkAndIsDelivered)
{
    RecordingWindow window;
    EXPECT_FALSE(dispatcher->hasPendingEvents());

    std::thread injector(
        [&] { VelWindowSystemInterface::handleExposeEvent(&window, VelRegion(0, 0, 10, 10)); });
    injector.join();
    EXPECT_TRUE(dispatcher->hasPendingEvents());

    EXPECT_TRUE(dispatcher->processEvents(VelEventLoop::AllEvents));
    EXPECT_EQ(window.recordsOf(VelEvent::Expose).size(), 1u);
    EXPECT_FALSE(dispatcher->hasPendingEvents());
    EXPECT_FALSE(dispatcher->processEvents(VelEventLoop::AllEvents));
}

TEST_F(UnixEventDispatcherTest, FlushSendsPostedEventsOnceTheApplicationExists)
{
    CountingObject receiver;
    VelCoreApplication::postEvent(&receiver, new VelEvent(VelEvent::User));
    EXPECT_TRUE(dispatcher->hasPendingEvents());
    dispatcher->flush();
    EXPECT_EQ(receiver.userEvents, 1);
}

TEST_F(UnixEventDispatcherTest, ASleepingDispatcherWakesForAnEventFromAnotherThread)
{
    RecordingWindow window;
    std::thread injector([&] {
        // Give the GUI thread time to fall asleep; the test does not depend on it.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        VelWindowSystemInterface::handleKeyEvent(&window, VelEvent::KeyPress, Vel::Key_Space,
                                                 Vel::NoModifier);
    });
    // Without the wake-up this would sleep for ever (the test's time limit catches it).
    while (window.recordsOf(VelEvent::KeyPress).empty())
        dispatcher->processEvents(VelEventLoop::WaitForMoreEvents);
    injector.join();
    EXPECT_EQ(window.recordsOf(VelEvent::KeyPress).size(), 1u);
}

TEST_F(UnixEventDispatcherTest, AWakeUpArrivingWhileOneIsTakenInLeavesTheNextOneWorking)
{
    racedDispatcher = dispatcher;
    VelEventDispatcherUNIX::setWakeUpDrainHook(wakeUpFromAnotherThreadOnce);
    dispatcher->wakeUp();
    dispatcher->processEvents(VelEventLoop::AllEvents);
    VelEventDispatcherUNIX::setWakeUpDrainHook(nullptr);

    // The raced wake-up asked for nothing the pass did not do; what matters is
    // that the next one still reaches a sleeping dispatcher.
    RecordingWindow window;
    std::thread injector([&] {
        VelWindowSystemInterface::handleKeyEvent(&window, VelEvent::KeyPress, Vel::Key_Space,
                                                 Vel::NoModifier);
    });
    injector.join();
    TimerCounter bound;
    const int timerId = bound.startTimer(20000);
    dispatcher->processEvents(VelEventLoop::WaitForMoreEvents);
    bound.killTimer(timerId);

    EXPECT_EQ(bound.fired, 0) << "the dispatcher slept through a wake-up";
    EXPECT_EQ(window.recordsOf(VelEvent::KeyPress).size(), 1u);
}

} // namespace
