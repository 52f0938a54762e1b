// Every pixel of the surface, read back from the X window: a full-screen
// one-pixel checkerboard must arrive texel for texel (no blur, no shift, the
// last column and row included), and windows at odd offsets that meet edge to
// edge must leave neither a gap nor an overlap; rectangles flushed on their
// own, narrower than half the window, land exactly where they were painted.
#include "renderingsession.h"

#include <sstream>

namespace
{

// Odd sizes: no edge of the screen or of a window falls on a power of two.
constexpr int Width = 201;
constexpr int Height = 161;

constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Magenta{255, 0, 255};

struct Placed {
    int x, y, width, height;
    Rgb colour;
    bool contains(int px, int py) const
    {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// The scene "pixels" of the test application, top window first.
const Placed kWindows[] = {
    {13, 7, 37, 23, RenderingSession::Red},
    {50, 7, 41, 23, RenderingSession::Green},
    {13, 30, 37, 19, Magenta},
};

// Flushed on their own into the checkerboard, narrower than half of it.
const Placed kPatches[] = {
    {2, 60, 11, 9, {0, 255, 255}},
    {190, 150, 11, 11, {255, 255, 255}},
};

Rgb expectedAt(int x, int y)
{
    for (const Placed &window : kWindows) {
        if (window.contains(x, y))
            return window.colour;
    }
    for (const Placed &patch : kPatches) {
        if (patch.contains(x, y))
            return patch.colour;
    }
    return (x + y) % 2 ? RenderingSession::Blue : Yellow;
}

struct Mismatches {
    int count = 0;
    std::string first;
};

// Exact colours: a blurred or shifted texel is off by far more than rounding.
Mismatches compareAll(const Frame &frame)
{
    Mismatches result;
    std::ostringstream shown;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (frame.is(x, y, expectedAt(x, y), 2))
                continue;
            if (++result.count <= 8)
                shown << " (" << x << "," << y << ") is " << describe(frame.at(x, y)) << " not "
                      << describe(expectedAt(x, y)) << ";";
        }
    }
    result.first = shown.str();
    return result;
}

TEST(PixelExactCompositing, EveryPixelIsTheApplicationsOwn)
{
    RenderingSession session;
    session.start(VEL_TEST_RENDERING_APP, {"pixels"}, Width, Height);
    const Frame frame =
        session.waitForFrame([](const Frame &f) { return compareAll(f).count == 0; });
    ASSERT_EQ(frame.width(), Width);
    ASSERT_EQ(frame.height(), Height);
    const Mismatches mismatches = compareAll(frame);
    EXPECT_EQ(mismatches.count, 0) << "first mismatches:" << mismatches.first;

    // The edges spelled out, so that a failure says which edge it was.
    for (int y = 0; y < Height; ++y)
        EXPECT_TRUE(frame.is(Width - 1, y, expectedAt(Width - 1, y), 2))
            << "last column, row " << y << ": " << describe(frame.at(Width - 1, y));
    for (int x = 0; x < Width; ++x)
        EXPECT_TRUE(frame.is(x, Height - 1, expectedAt(x, Height - 1), 2))
            << "last row, column " << x << ": " << describe(frame.at(x, Height - 1));
    // Where the windows meet: red's last column, green's first; red's last
    // row, magenta's first; the checkerboard right after each window.
    EXPECT_TRUE(frame.is(49, 20, RenderingSession::Red)) << describe(frame.at(49, 20));
    EXPECT_TRUE(frame.is(50, 20, RenderingSession::Green)) << describe(frame.at(50, 20));
    EXPECT_TRUE(frame.is(30, 29, RenderingSession::Red)) << describe(frame.at(30, 29));
    EXPECT_TRUE(frame.is(30, 30, Magenta)) << describe(frame.at(30, 30));
    EXPECT_TRUE(frame.is(91, 20, expectedAt(91, 20))) << describe(frame.at(91, 20));
    EXPECT_TRUE(frame.is(30, 49, expectedAt(30, 49))) << describe(frame.at(30, 49));
    // The narrow patches' corners and the texels just outside them.
    EXPECT_TRUE(frame.is(2, 60, kPatches[0].colour)) << describe(frame.at(2, 60));
    EXPECT_TRUE(frame.is(12, 68, kPatches[0].colour)) << describe(frame.at(12, 68));
    EXPECT_TRUE(frame.is(13, 68, expectedAt(13, 68))) << describe(frame.at(13, 68));
    EXPECT_TRUE(frame.is(2, 69, expectedAt(2, 69))) << describe(frame.at(2, 69));
    EXPECT_TRUE(frame.is(Width - 1, Height - 1, kPatches[1].colour))
        << describe(frame.at(Width - 1, Height - 1));
    EXPECT_TRUE(frame.is(189, 150, expectedAt(189, 150))) << describe(frame.at(189, 150));
}

} // namespace
