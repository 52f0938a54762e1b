#include "renderingsession.h"

namespace
{

// The GL sample renders a yellow triangle over a dark blue clear colour with
// its own context, straight into the shared surface.
TEST(GLWindowRendering, TriangleReachesTheSurface)
{
    RenderingSession session;
    session.start(VEL_TEST_GLWINDOW_APP, {}, 200, 200);
    const Rgb yellow{255, 204, 0};
    const Rgb background{26, 26, 77};
    const auto drawn = [&](const Frame &frame) {
        return frame.is(100, 110, yellow, 12) && frame.is(5, 5, background, 12);
    };
    const Frame frame = session.waitForFrame(drawn);
    EXPECT_TRUE(frame.is(100, 110, yellow, 12)) << describe(frame.at(100, 110));
    EXPECT_TRUE(frame.is(5, 5, background, 12)) << describe(frame.at(5, 5));
    // The apex points up: the surface is not upside down.
    EXPECT_TRUE(frame.is(100, 40, yellow, 12)) << describe(frame.at(100, 40));
    EXPECT_TRUE(frame.is(100, 185, background, 12)) << describe(frame.at(100, 185));
}

} // namespace
