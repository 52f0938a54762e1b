// The default hit test of platform screens over overlapping top-level windows.

#include "test_kernel_integration.h"

#include "velguiapplication.h"
#include "velscreen.h"

#include <gtest/gtest.h>

namespace
{

int argc = 1;
char arg0[] = "test_kernel_toplevelat";
char *argv[] = {arg0, nullptr};

class TopLevelAtTest : public ::testing::Test
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
        integration = static_cast<TestIntegration *>(VelGuiApplication::platformIntegration());
        ASSERT_NE(integration, nullptr);
        screen = integration->screen;
        screen->stack.clear();
    }

    static std::unique_ptr<VelWindow> shownWindow(const VelRect &geometry)
    {
        auto window = std::make_unique<VelWindow>();
        window->setGeometry(geometry);
        window->show();
        return window;
    }

    static VelGuiApplication *app;
    TestIntegration *integration = nullptr;
    TestScreen *screen = nullptr;
};

VelGuiApplication *TopLevelAtTest::app = nullptr;

TEST_F(TopLevelAtTest, LaterWindowsLieOnTopWhenThePlatformKeepsNoStack)
{
    auto bottom = shownWindow(VelRect(0, 0, 400, 400));
    auto middle = shownWindow(VelRect(100, 100, 400, 400));
    auto top = shownWindow(VelRect(200, 200, 100, 100));

    EXPECT_EQ(screen->topLevelAt(VelPoint(50, 50)), bottom.get());
    EXPECT_EQ(screen->topLevelAt(VelPoint(150, 150)), middle.get());
    EXPECT_EQ(screen->topLevelAt(VelPoint(250, 250)), top.get());
    // Edges are inside, one past the edge is not.
    EXPECT_EQ(screen->topLevelAt(VelPoint(299, 299)), top.get());
    EXPECT_EQ(screen->topLevelAt(VelPoint(300, 300)), middle.get());
    EXPECT_EQ(screen->topLevelAt(VelPoint(750, 550)), nullptr);
    EXPECT_EQ(VelGuiApplication::topLevelAt(VelPoint(250, 250)), top.get());
}

TEST_F(TopLevelAtTest, RaiseLowerAndVisibilityChangeTheAnswer)
{
    auto first = shownWindow(VelRect(0, 0, 300, 300));
    auto second = shownWindow(VelRect(0, 0, 300, 300));
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), second.get());

    first->raise();
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), first.get());
    first->lower();
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), second.get());

    second->hide();
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), first.get());
    first->hide();
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), nullptr);
}

TEST_F(TopLevelAtTest, ThePlatformStackingOrderWins)
{
    auto a = shownWindow(VelRect(0, 0, 300, 300));
    auto b = shownWindow(VelRect(0, 0, 300, 300));
    screen->stack = {b.get(), a.get()}; // a on top, against creation order
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), a.get());

    // A window the platform forgot to take out of its stack is not answered once gone.
    VelWindow *stale = a.get();
    a.reset();
    screen->stack = {b.get(), stale};
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), b.get());
}

TEST_F(TopLevelAtTest, ChildDesktopAndInputTransparentWindowsAreNotTopLevelHits)
{
    auto desktop = std::make_unique<VelWindow>();
    desktop->setFlags(Vel::Desktop);
    desktop->setGeometry(VelRect(0, 0, 800, 600));
    desktop->show();
    auto normal = shownWindow(VelRect(0, 0, 100, 100));
    desktop->raise(); // even raised, the desktop lies under the other windows
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), normal.get());
    EXPECT_EQ(screen->topLevelAt(VelPoint(500, 500)), desktop.get());

    VelWindow child(normal.get());
    child.setGeometry(VelRect(0, 0, 50, 50));
    child.show();
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), normal.get());

    auto glass = shownWindow(VelRect(0, 0, 100, 100));
    glass->setFlags(Vel::Window | Vel::WindowTransparentForInput);
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), normal.get());
}

TEST_F(TopLevelAtTest, WindowsOfAnotherScreenAreNotHitHere)
{
    if (!integration->secondScreen)
        integration->addSecondScreen();
    ASSERT_EQ(VelGuiApplication::screens().size(), 2u);
    VelScreen *second = integration->secondScreen->screen();
    ASSERT_NE(second, nullptr);

    VelWindow window(second);
    window.setGeometry(VelRect(0, 0, 100, 100));
    window.show();
    EXPECT_EQ(screen->topLevelAt(VelPoint(10, 10)), nullptr);
    EXPECT_EQ(integration->secondScreen->topLevelAt(VelPoint(10, 10)), &window);
}

TEST_F(TopLevelAtTest, HitTestFromAnotherThreadWhileWindowsChange)
{
    auto window = shownWindow(VelRect(0, 0, 100, 100));
    std::atomic<bool> stop{false};
    std::atomic<int> answers{0};
    std::atomic<bool> started{false};
    std::thread reader([&] {
        do {
            VelWindow *hit = screen->topLevelAt(VelPoint(10, 10));
            if (hit == window.get() || hit == nullptr)
                ++answers;
            started = true;
        } while (!stop.load());
    });
    // On a loaded machine the reader may not have run at all before the
    // changes below are over; they are only interesting while it runs.
    while (!started.load())
        std::this_thread::yield();
    for (int i = 0; i < 2000; ++i) {
        VelWindow extra;
        extra.setGeometry(VelRect(0, 0, 100 + i % 7, 100));
        extra.show();
        extra.hide();
        window->setGeometry(VelRect(0, 0, 100 + i % 5, 100));
    }
    stop = true;
    reader.join();
    EXPECT_GT(answers.load(), 0);
}

} // namespace
