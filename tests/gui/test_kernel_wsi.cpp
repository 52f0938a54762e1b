// The window-system queue: order and thread of delivery, flushes from other threads
// (also while the GUI thread is blocked), and the delivery rules of each event kind.

#include "test_kernel_integration.h"

#include "velguiapplication.h"
#include "vellogging.h"
#include "velscreen.h"
#include "veltouchdevice.h"
#include "velwindowsysteminterface.h"

#include <gtest/gtest.h>

#include <future>

namespace
{

int argc = 1;
char arg0[] = "test_kernel_wsi";
char *argv[] = {arg0, nullptr};

using WSI = VelWindowSystemInterface;

class WindowSystemQueueTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        registerKernelTestPlugin();
        app = new VelGuiApplication(argc, argv, VelString("kerneltest"));
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(VelGuiApplication::platformIntegration(), nullptr);
        WSI::setFlushTimeout(3000);
        WSI::sendWindowSystemEvents(VelEventLoop::AllEvents);
    }
    void TearDown() override { WSI::sendWindowSystemEvents(VelEventLoop::AllEvents); }

    static VelGuiApplication *app;
};

VelGuiApplication *WindowSystemQueueTest::app = nullptr;

TEST_F(WindowSystemQueueTest, EventsFromAnotherThreadWaitForTheGuiThreadAndArriveInOrder)
{
    RecordingWindow window;
    window.setGeometry(10, 20, 100, 50);
    window.clear();

    std::thread injector([&] {
        WSI::handleExposeEvent(&window, VelRegion(0, 0, 100, 50));
        WSI::handleGeometryChange(&window, VelRect(10, 20, 200, 50));
        WSI::handleKeyEvent(&window, VelEvent::KeyPress, Vel::Key_A, Vel::NoModifier,
                            VelString("a"));
        WSI::handleMouseEvent(&window, VelPointF(5, 5), VelPointF(15, 25), Vel::LeftButton);
    });
    injector.join();

    EXPECT_TRUE(window.records().empty()) << "delivered before the GUI thread asked";
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 4);

    EXPECT_TRUE(WSI::sendWindowSystemEvents(VelEventLoop::AllEvents));
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 0);
    const std::vector<int> expected = {VelEvent::Expose, VelEvent::Resize, VelEvent::KeyPress,
                                       VelEvent::MouseButtonPress};
    EXPECT_EQ(window.types(), expected);
    for (const auto &record : window.records()) {
        EXPECT_EQ(record.thread, std::this_thread::get_id());
        // Resize follows from the geometry the window system reported; the rest is input
        // or exposure that came from the window system itself.
        if (record.type != VelEvent::Resize) {
            EXPECT_TRUE(record.spontaneous) << "event type " << record.type;
        }
    }
    EXPECT_EQ(window.geometry(), VelRect(10, 20, 200, 50));
    EXPECT_FALSE(WSI::sendWindowSystemEvents(VelEventLoop::AllEvents)) << "nothing left";
}

TEST_F(WindowSystemQueueTest, FlushFromTheGuiThreadDeliversAtOnce)
{
    RecordingWindow window;
    WSI::handleExposeEvent(&window, VelRegion(0, 0, 10, 10));
    EXPECT_TRUE(WSI::flushWindowSystemEvents());
    ASSERT_EQ(window.recordsOf(VelEvent::Expose).size(), 1u);
    EXPECT_TRUE(window.isExposed());

    WSI::handleExposeEvent(&window, VelRegion());
    WSI::flushWindowSystemEvents();
    EXPECT_FALSE(window.isExposed()) << "an empty region means not visible";
}

TEST_F(WindowSystemQueueTest, FlushFromAnotherThreadReturnsAfterDelivery)
{
    RecordingWindow window;
    VelEventLoop loop;
    std::atomic<size_t> exposesSeenByFlusher{0};
    std::atomic<bool> flushResult{false};

    std::thread flusher([&] {
        WSI::handleExposeEvent(&window, VelRegion(0, 0, 10, 10));
        WSI::handleExposeEvent(&window, VelRegion(0, 0, 20, 20));
        flushResult = WSI::flushWindowSystemEvents();
        exposesSeenByFlusher = window.recordsOf(VelEvent::Expose).size();
        VelMetaObject::invokeMethod(
            &loop, [&loop] { loop.exit(0); }, Vel::QueuedConnection);
    });
    loop.exec();
    flusher.join();

    EXPECT_TRUE(flushResult.load());
    EXPECT_EQ(exposesSeenByFlusher.load(), 2u) << "flush returned before the delivery";
}

TEST_F(WindowSystemQueueTest, FlushWhileTheGuiThreadIsBlockedGivesUpAndKeepsTheEvents)
{
    // The GUI thread waits for the flushing thread (as it waits for a surface that only
    // that thread can deliver); a flush that waited for ever would deadlock both.
    RecordingWindow window;
    WSI::setFlushTimeout(50);
    std::promise<void> flushReturned;
    std::atomic<bool> flushResult{true};
    std::atomic<int> queuedAfterFlush{-1};

    std::thread flusher([&] {
        WSI::handleExposeEvent(&window, VelRegion(0, 0, 10, 10));
        flushResult = WSI::flushWindowSystemEvents();
        queuedAfterFlush = WSI::windowSystemEventsQueued();
        flushReturned.set_value();
    });
    flushReturned.get_future().wait(); // the GUI thread is blocked on the flusher here
    flusher.join();

    EXPECT_FALSE(flushResult.load());
    EXPECT_EQ(queuedAfterFlush.load(), 1);
    EXPECT_TRUE(window.records().empty());

    // Once the GUI thread runs again nothing is lost.
    VelCoreApplication::processEvents();
    EXPECT_EQ(window.recordsOf(VelEvent::Expose).size(), 1u);
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 0);
}

TEST_F(WindowSystemQueueTest, FlushWithoutPendingEventsReturnsAtOnceFromAnyThread)
{
    std::atomic<bool> result{false};
    std::thread flusher([&] { result = WSI::flushWindowSystemEvents(); });
    flusher.join(); // the GUI thread is not running a loop: only an empty queue returns true
    EXPECT_TRUE(result.load());
}

TEST_F(WindowSystemQueueTest, EventsQueuedDuringDeliveryWaitForTheNextRound)
{
    class RequeueingWindow : public RecordingWindow
    {
    public:
        void exposeEvent(VelExposeEvent *) override
        {
            if (++exposes < 100)
                WSI::handleExposeEvent(this, VelRegion(0, 0, 1, 1));
        }
        int exposes = 0;
    };
    RequeueingWindow window;
    WSI::handleExposeEvent(&window, VelRegion(0, 0, 1, 1));
    EXPECT_TRUE(WSI::sendWindowSystemEvents(VelEventLoop::AllEvents));
    EXPECT_EQ(window.exposes, 1) << "a handler that keeps queueing must not starve the loop";
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 1);
    WSI::sendWindowSystemEvents(VelEventLoop::AllEvents);
    EXPECT_EQ(window.exposes, 2);
    window.exposes = 100;
    WSI::sendWindowSystemEvents(VelEventLoop::AllEvents);
}

TEST_F(WindowSystemQueueTest, ExcludingUserInputKeepsInputQueuedInOrder)
{
    RecordingWindow window;
    WSI::handleKeyEvent(&window, VelEvent::KeyPress, Vel::Key_1, Vel::NoModifier);
    WSI::handleExposeEvent(&window, VelRegion(0, 0, 5, 5));
    WSI::handleKeyEvent(&window, VelEvent::KeyRelease, Vel::Key_1, Vel::NoModifier);

    WSI::sendWindowSystemEvents(VelEventLoop::ExcludeUserInputEvents);
    EXPECT_EQ(window.types(), std::vector<int>{VelEvent::Expose});
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 2);

    WSI::sendWindowSystemEvents(VelEventLoop::AllEvents);
    const std::vector<int> expected = {VelEvent::Expose, VelEvent::KeyPress, VelEvent::KeyRelease};
    EXPECT_EQ(window.types(), expected);
}

TEST_F(WindowSystemQueueTest, EventsForADestroyedWindowAreDropped)
{
    auto *window = new RecordingWindow;
    WSI::handleExposeEvent(window, VelRegion(0, 0, 5, 5));
    WSI::handleGeometryChange(window, VelRect(0, 0, 5, 5));
    WSI::handleMouseEvent(window, VelPointF(1, 1), VelPointF(1, 1), Vel::LeftButton);
    WSI::handleKeyEvent(window, VelEvent::KeyPress, Vel::Key_A, Vel::NoModifier);
    delete window;
    WSI::sendWindowSystemEvents(VelEventLoop::AllEvents);
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 0);
    // The button is held even though its window is gone: the next change is its release.
    EXPECT_EQ(VelGuiApplication::mouseButtons(), Vel::MouseButtons(Vel::LeftButton));
    RecordingWindow other;
    WSI::handleMouseEvent(&other, VelPointF(1, 1), VelPointF(1, 1), Vel::NoButton);
    WSI::sendWindowSystemEvents(VelEventLoop::AllEvents);
    EXPECT_EQ(other.types(), std::vector<int>{VelEvent::MouseButtonRelease});
    EXPECT_EQ(VelGuiApplication::mouseButtons(), Vel::MouseButtons(Vel::NoButton));
}

TEST_F(WindowSystemQueueTest, KeyEventsWithoutWindowGoToTheFocusWindow)
{
    RecordingWindow first;
    RecordingWindow second;
    WSI::handleWindowActivated(&second, Vel::OtherFocusReason);
    WSI::handleKeyEvent(nullptr, VelEvent::KeyPress, Vel::Key_B, Vel::ShiftModifier);
    WSI::flushWindowSystemEvents();
    EXPECT_EQ(VelGuiApplication::focusWindow(), &second);
    ASSERT_EQ(second.recordsOf(VelEvent::KeyPress).size(), 1u);
    EXPECT_EQ(second.recordsOf(VelEvent::KeyPress)[0].key, int(Vel::Key_B));
    EXPECT_TRUE(first.recordsOf(VelEvent::KeyPress).empty());
    EXPECT_EQ(second.recordsOf(VelEvent::FocusIn).size(), 1u);

    WSI::handleWindowActivated(&first, Vel::OtherFocusReason);
    WSI::flushWindowSystemEvents();
    EXPECT_EQ(second.recordsOf(VelEvent::FocusOut).size(), 1u);
    EXPECT_TRUE(first.isActive());
    EXPECT_FALSE(second.isActive());

    WSI::handleWindowActivated(nullptr, Vel::OtherFocusReason);
    WSI::flushWindowSystemEvents();
    EXPECT_EQ(VelGuiApplication::focusWindow(), nullptr);
    // With no focus window the key event has nowhere to go and is dropped.
    WSI::handleKeyEvent(nullptr, VelEvent::KeyPress, Vel::Key_C, Vel::NoModifier);
    WSI::flushWindowSystemEvents();
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 0);
    EXPECT_EQ(first.recordsOf(VelEvent::KeyPress).size(), 0u);
}

TEST_F(WindowSystemQueueTest, MouseButtonChangesBecomePressMoveRelease)
{
    RecordingWindow window;
    window.setGeometry(100, 100, 200, 200);
    window.show();
    window.clear();
    WSI::handleMouseEvent(&window, VelPointF(10, 10), VelPointF(110, 110), Vel::LeftButton);
    WSI::handleMouseEvent(&window, VelPointF(12, 10), VelPointF(112, 110), Vel::LeftButton);
    WSI::handleMouseEvent(&window, VelPointF(12, 10), VelPointF(112, 110),
                          Vel::LeftButton | Vel::RightButton);
    WSI::handleMouseEvent(&window, VelPointF(12, 10), VelPointF(112, 110), Vel::NoButton);
    WSI::flushWindowSystemEvents();

    const auto records = window.records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].type, VelEvent::MouseButtonPress);
    EXPECT_EQ(records[0].button, int(Vel::LeftButton));
    EXPECT_EQ(records[1].type, VelEvent::MouseMove);
    EXPECT_EQ(records[1].local, VelPointF(12, 10));
    EXPECT_EQ(records[2].type, VelEvent::MouseButtonPress);
    EXPECT_EQ(records[2].button, int(Vel::RightButton));
    EXPECT_EQ(records[2].buttons, uint(Vel::LeftButton | Vel::RightButton));
    // Both buttons released at once: one release each.
    EXPECT_EQ(records[3].type, VelEvent::MouseButtonRelease);
    EXPECT_EQ(records[3].button, int(Vel::LeftButton));
    EXPECT_EQ(records[4].type, VelEvent::MouseButtonRelease);
    EXPECT_EQ(records[4].button, int(Vel::RightButton));
    EXPECT_EQ(records[4].buttons, uint(Vel::NoButton));
}

TEST_F(WindowSystemQueueTest, MouseEventsWithoutWindowFindTheWindowUnderThePointer)
{
    RecordingWindow window;
    window.setGeometry(100, 100, 200, 200);
    window.show();
    window.clear();
    WSI::handleMouseEvent(nullptr, VelPointF(150, 160), VelPointF(150, 160), Vel::LeftButton);
    // Dragged outside every window: the press grabbed the pointer.
    WSI::handleMouseEvent(nullptr, VelPointF(700, 500), VelPointF(700, 500), Vel::LeftButton);
    WSI::handleMouseEvent(nullptr, VelPointF(700, 500), VelPointF(700, 500), Vel::NoButton);
    // Not pressed and outside every window: nobody gets it.
    WSI::handleMouseEvent(nullptr, VelPointF(700, 500), VelPointF(700, 500), Vel::NoButton);
    WSI::flushWindowSystemEvents();

    const auto records = window.records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, VelEvent::MouseButtonPress);
    EXPECT_EQ(records[0].local, VelPointF(50, 60)) << "local is relative to the window";
    EXPECT_EQ(records[1].type, VelEvent::MouseMove);
    EXPECT_EQ(records[1].local, VelPointF(600, 400));
    EXPECT_EQ(records[2].type, VelEvent::MouseButtonRelease);
}

TEST_F(WindowSystemQueueTest, GeometryChangesSendResizeAndMoveOnlyForWhatChanged)
{
    RecordingWindow window;
    window.setGeometry(0, 0, 100, 100);
    window.clear();
    WSI::handleGeometryChange(&window, VelRect(0, 0, 100, 100), VelRect());
    WSI::handleGeometryChange(&window, VelRect(5, 5, 100, 100), VelRect());
    WSI::handleGeometryChange(&window, VelRect(5, 5, 300, 100), VelRect(5, 5, 100, 100));
    WSI::flushWindowSystemEvents();

    const std::vector<int> expected = {VelEvent::Move, VelEvent::Resize};
    EXPECT_EQ(window.types(), expected);
    EXPECT_EQ(window.recordsOf(VelEvent::Move)[0].pos, VelPoint(5, 5));
    EXPECT_EQ(window.recordsOf(VelEvent::Resize)[0].size, VelSize(300, 100));
    EXPECT_EQ(window.mapToGlobal(VelPoint(1, 2)), VelPoint(6, 7));
}

TEST_F(WindowSystemQueueTest, ScreenAndApplicationStateFollowTheirEvents)
{
    VelScreen *screen = VelGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    int orientationSignals = 0;
    int lastState = -1;
    const auto orientationConnection = VelObject::connect(screen, &VelScreen::orientationChanged,
                                                          [&](int) { ++orientationSignals; });
    const auto stateConnection = VelObject::connect(
        app, &VelGuiApplication::applicationStateChanged, [&](int state) { lastState = state; });

    std::thread injector([&] {
        WSI::handleScreenAvailableGeometryChange(screen, VelRect(0, 0, 720, 1184));
        WSI::handleScreenGeometryChange(screen->handle(), VelRect(0, 0, 720, 1280));
        WSI::handleScreenOrientationChange(screen, Vel::InvertedLandscapeOrientation);
        WSI::handleScreenOrientationChange(screen, Vel::InvertedLandscapeOrientation);
        WSI::handleApplicationStateChanged(Vel::ApplicationActive);
    });
    injector.join();
    EXPECT_NE(screen->orientation(), Vel::InvertedLandscapeOrientation);
    WSI::flushWindowSystemEvents();

    EXPECT_EQ(screen->availableGeometry(), VelRect(0, 0, 720, 1184));
    EXPECT_EQ(screen->geometry(), VelRect(0, 0, 720, 1280));
    EXPECT_EQ(screen->orientation(), Vel::InvertedLandscapeOrientation);
    EXPECT_EQ(orientationSignals, 1) << "an unchanged orientation is not a change";
    EXPECT_EQ(VelGuiApplication::applicationState(), Vel::ApplicationActive);
    EXPECT_EQ(lastState, int(Vel::ApplicationActive));
    VelObject::disconnect(orientationConnection);
    VelObject::disconnect(stateConnection);
}

TEST_F(WindowSystemQueueTest, TouchSequencesBeginUpdateAndEnd)
{
    static VelTouchDevice device;
    device.setCapabilities(VelTouchDevice::Position | VelTouchDevice::Area |
                           VelTouchDevice::Pressure | VelTouchDevice::NormalizedPosition);
    RecordingWindow window;
    window.setGeometry(100, 0, 300, 300);
    window.show();
    window.clear();

    WSI::TouchPoint point;
    point.id = 1;
    point.area = VelRectF(145, 45, 10, 10); // centred on (150, 50)
    point.pressure = 0.5;
    point.state = Vel::TouchPointPressed;

    // Unregistered devices are refused.
    WSI::handleTouchEvent(nullptr, &device, {point});
    EXPECT_EQ(WSI::windowSystemEventsQueued(), 0);

    WSI::registerTouchDevice(&device);
    WSI::registerTouchDevice(&device);
    WSI::handleTouchEvent(nullptr, &device, {point});
    point.state = Vel::TouchPointMoved;
    WSI::TouchPoint second = point;
    second.id = 2;
    second.state = Vel::TouchPointPressed;
    WSI::handleTouchEvent(nullptr, &device, {point, second});
    point.state = Vel::TouchPointReleased;
    second.state = Vel::TouchPointReleased;
    WSI::handleTouchEvent(nullptr, &device, {point, second});
    WSI::flushWindowSystemEvents();

    const auto records = window.records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, VelEvent::TouchBegin);
    EXPECT_EQ(records[0].firstPointPos, VelPointF(50, 50));
    EXPECT_EQ(records[1].type, VelEvent::TouchUpdate);
    EXPECT_EQ(records[1].pointCount, 2);
    EXPECT_EQ(records[2].type, VelEvent::TouchEnd);
    EXPECT_EQ(VelTouchDevice::devices().size(), 1u);
}

} // namespace
