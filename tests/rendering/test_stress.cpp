// Surface replacements, one after another, while the application renders in
// two raster windows and an OpenGL window and a Java thread keeps asking for
// repaints: after every replacement the application's pixels come back, and
// at the end no native-window reference is left (the shared EGL surface holds
// one while it exists, so none left means that surface is gone too).

#include "renderingsession.h"

#include "veljavavm.h"
#include "vellogging.h"

#include <velstandin.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace
{

constexpr int Width = 120;
constexpr int Height = 90;
constexpr int Replacements = 500;
constexpr int ApplicationSuspended = 0; // the host's application state value

bool isRaster(Rgb c)
{
    const auto near = [](Rgb a, Rgb b) {
        return std::abs(a.r - b.r) <= 8 && std::abs(a.g - b.g) <= 8 && std::abs(a.b - b.b) <= 8;
    };
    return near(c, RenderingSession::Red) || near(c, RenderingSession::Blue);
}

// The raster windows' colours where the OpenGL strip never draws: a black
// window is what a lost surface change leaves.
bool showsTheApplication(const Frame &frame)
{
    return isRaster(frame.at(frame.width() / 2, frame.height() / 2)) &&
           isRaster(frame.at(frame.width() / 4, frame.height() / 3));
}

// The bridge warns on every updateWindow; thousands of them say nothing.
void dropUpdateWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    const std::string text = message.toStdString();
    if (text.find("updateWindow") == std::string::npos)
        std::fprintf(stderr, "%d: %s\n", int(type), text.c_str());
}

TEST(SurfaceStress, EveryReplacementShowsTheApplicationAgainAndNothingLeaks)
{
    velInstallMessageHandler(dropUpdateWarnings);
    RenderingSession session;
    session.start(VEL_TEST_RENDERING_APP, {"stress"}, Width, Height);
    Frame first = session.waitForFrame(showsTheApplication);
    ASSERT_TRUE(showsTheApplication(first)) << describe(first.at(Width / 2, Height / 2));

    // A Java thread of its own asks for repaints all along.
    std::atomic<bool> stop{false};
    std::atomic<int> updates{0};
    // Stopped on every way out of the test, failed assertions included.
    struct Stopper {
        std::atomic<bool> &stop;
        std::thread &thread;
        ~Stopper()
        {
            stop = true;
            if (thread.joinable())
                thread.join();
        }
    };
    std::thread updater([&] {
        VelAndroidDriver java;
        while (!stop.load()) {
            if (java.updateWindow())
                ++updates;
            // Pacing only (each call is independent of the others): about as
            // often as a device asks, so that repaints do not pile up faster
            // than a slow (instrumented) build can paint them.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        VelJavaVm::detachCurrentThread();
    });
    Stopper stopper{stop, updater};

    VelAndroidDriver &driver = session.driver();
    int height = Height;
    for (int i = 0; i < Replacements; ++i) {
        switch (i % 4) {
        case 0: // the same window with new display metrics
            height = height == Height ? Height + 16 : Height;
            ASSERT_TRUE(driver.setDisplayMetrics(Width, height, Width, height, 160, 160, 1));
            session.announceSurface(Width, height);
            break;
        case 1: // lost, then a different window
            ASSERT_TRUE(driver.destroySurface());
            session.announceNewWindow(Width, Height);
            break;
        case 2: // paused and resumed on the same window
            ASSERT_TRUE(driver.pauseVelApp());
            ASSERT_TRUE(driver.resumeVelApp());
            session.announceSurface(Width, height);
            break;
        case 3: // a different window straight away
            session.announceNewWindow(Width, Height);
            break;
        }
        const Frame frame = session.waitForFrame(showsTheApplication, 15000, 5);
        ASSERT_TRUE(showsTheApplication(frame))
            << "replacement " << i << " (kind " << i % 4 << ") left "
            << describe(frame.at(frame.width() / 2, frame.height() / 2));
    }

    stop = true;
    updater.join();
    EXPECT_GT(updates.load(), 0);

    // The bridge's reference and the shared surface's, then none.
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 1);
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 0);

    // The application is still there and ends when told: no thread is stuck.
    ASSERT_TRUE(driver.updateApplicationState(ApplicationSuspended));
    EXPECT_TRUE(driver.waitForQuit(60000)) << "the application did not end";
    // With the application gone the bridge still answers, and changes nothing.
    // (Its surface mutex, which the ending application took last, also shows
    // a race detector that the application's work is over: the end itself
    // travels through Java, which the detector does not see.)
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 0);
    velInstallMessageHandler(nullptr);
}

} // namespace
