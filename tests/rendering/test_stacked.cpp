#include "renderingsession.h"

#include <velstandin.h>

namespace
{

// Two raster windows: a full-screen red one with a small blue one above it
// at the top-left corner. The compositor draws bottom to top.
TEST(StackedRendering, UpperWindowCoversLowerOne)
{
    RenderingSession session;
    session.start(VEL_TEST_RENDERING_APP, {"stacked"}, 200, 160);
    const auto composed = [](const Frame &frame) {
        return frame.is(10, 10, RenderingSession::Blue) &&
               frame.is(100, 100, RenderingSession::Red) && frame.is(60, 10, RenderingSession::Red);
    };
    const Frame frame = session.waitForFrame(composed);
    EXPECT_TRUE(frame.is(10, 10, RenderingSession::Blue)) << describe(frame.at(10, 10));
    EXPECT_TRUE(frame.is(38, 28, RenderingSession::Blue)) << describe(frame.at(38, 28));
    EXPECT_TRUE(frame.is(100, 100, RenderingSession::Red)) << describe(frame.at(100, 100));
    EXPECT_TRUE(frame.is(60, 10, RenderingSession::Red)) << describe(frame.at(60, 10));
    EXPECT_TRUE(frame.is(10, 50, RenderingSession::Red)) << describe(frame.at(10, 50));

    // The Android surface goes away: both windows give up the shared surface,
    // which is destroyed with the reference it held on the native window.
    ASSERT_TRUE(session.driver().destroySurface()) << session.driver().lastError();
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 0);

    // A different surface: the shared surface is made again and both windows
    // are composited onto it.
    session.announceNewWindow(200, 160);
    const Frame again = session.waitForFrame(composed);
    EXPECT_TRUE(again.is(10, 10, RenderingSession::Blue)) << describe(again.at(10, 10));
    EXPECT_TRUE(again.is(100, 100, RenderingSession::Red)) << describe(again.at(100, 100));
    // The bridge's reference and the shared surface's.
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 1);

    ASSERT_TRUE(session.driver().destroySurface());
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 0);
}

} // namespace
