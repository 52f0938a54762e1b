#include "renderingsession.h"

#include <algorithm>

namespace
{

constexpr int Width = 240;
constexpr int Height = 320;

bool showsBands(const Frame &frame)
{
    return frame.is(Width / 2, 0, RenderingSession::Green) &&
           frame.is(Width / 2, Height / 4, RenderingSession::Red) &&
           frame.is(Width / 2, 3 * Height / 4, RenderingSession::Blue);
}

Rgb bandAt(int y, int height)
{
    if (y == 0)
        return RenderingSession::Green;
    return y < height / 2 ? RenderingSession::Red : RenderingSession::Blue;
}

// The first pixel that is not the application's, or an empty string.
std::string firstForeignPixel(const Frame &frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (!frame.is(x, y, bandAt(y, frame.height())))
                return "(" + std::to_string(x) + "," + std::to_string(y) + ") is " +
                       describe(frame.at(x, y));
        }
    }
    return std::string();
}

// One application for the whole sequence: a Java VM (and so the plugin and
// its application) exists once per process.
TEST(RasterRendering, SurvivesSurfaceLossResizeAndPause)
{
    RenderingSession session;
    session.start(VEL_TEST_RENDERING_APP, {"bands"}, Width, Height);

    // First frame: the image's first row at the top, red painted shows red.
    Frame first = session.waitForFrame(showsBands);
    ASSERT_TRUE(showsBands(first)) << "top " << describe(first.at(Width / 2, 0)) << " upper "
                                   << describe(first.at(Width / 2, Height / 4)) << " lower "
                                   << describe(first.at(Width / 2, 3 * Height / 4));
    EXPECT_TRUE(first.is(Width / 2, 1, RenderingSession::Red));
    EXPECT_TRUE(first.is(Width / 2, Height - 2, RenderingSession::Blue));
    // The full-screen window covers the surface to its last column and row.
    Frame whole = session.waitForFrame([](const Frame &f) { return firstForeignPixel(f).empty(); });
    EXPECT_EQ(firstForeignPixel(whole), "");
    EXPECT_TRUE(whole.is(Width - 1, Height - 1, RenderingSession::Blue))
        << describe(whole.at(Width - 1, Height - 1));
    EXPECT_TRUE(whole.is(Width - 1, 0, RenderingSession::Green))
        << describe(whole.at(Width - 1, 0));
    // A plain window shown full screen hides the status bar, once.
    EXPECT_EQ(session.driver().javaCallCount("setFullScreen"), 1);
    const std::vector<std::string> calls = session.driver().javaCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "setFullScreen(true)"), calls.end());

    // The surface goes away and a different one arrives: the application
    // draws on the new window.
    ASSERT_TRUE(session.driver().destroySurface()) << session.driver().lastError();
    session.announceNewWindow(Width, Height);
    Frame onNewWindow = session.waitForFrame(showsBands);
    EXPECT_TRUE(showsBands(onNewWindow))
        << "new window top " << describe(onNewWindow.at(Width / 2, 0));

    // The same surface announced with a new desktop size: the window keeps
    // its size for the next frame and takes the new one after that swap.
    const int taller = Height + 40;
    const size_t paintsBefore = session.paints().size();
    ASSERT_TRUE(session.driver().setDisplayMetrics(Width, taller, Width, taller, 160, 160, 1));
    session.announceSurface(Width, taller);
    ASSERT_TRUE(
        session.waitForPaint("bands " + std::to_string(Width) + "x" + std::to_string(taller)));
    const std::vector<std::string> paints = session.paints();
    const std::string oldSize = "bands " + std::to_string(Width) + "x" + std::to_string(Height);
    bool oldSizeFirst = false;
    for (size_t i = paintsBefore; i < paints.size(); ++i) {
        if (paints[i] == oldSize) {
            oldSizeFirst = true;
            break;
        }
        if (paints[i] != oldSize)
            break;
    }
    EXPECT_TRUE(oldSizeFirst) << "the first frame after the announcement was " << paints.back();

    // Pause and resume: the application is still there and draws again.
    ASSERT_TRUE(session.driver().pauseVelApp()) << session.driver().lastError();
    ASSERT_TRUE(session.driver().resumeVelApp()) << session.driver().lastError();
    ASSERT_TRUE(session.driver().destroySurface());
    session.announceNewWindow(Width, taller);
    Frame afterResume = session.waitForFrame([&](const Frame &frame) {
        return frame.is(Width / 2, 0, RenderingSession::Green) &&
               frame.is(Width / 2, 3 * taller / 4, RenderingSession::Blue);
    });
    EXPECT_TRUE(afterResume.is(Width / 2, 3 * taller / 4, RenderingSession::Blue))
        << describe(afterResume.at(Width / 2, 3 * taller / 4));
}

} // namespace
