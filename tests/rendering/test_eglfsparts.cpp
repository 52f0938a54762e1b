// Pieces of the full-screen backend whose results are plain values: upload
// rectangles, quad coordinates, the cursor atlas, the device-hook defaults and
// the screen's cursor creation.

#include "veleglfsbackingstore.h"
#include "veleglfscompositor.h"
#include "veleglfscursor.h"
#include "veleglfshooks.h"
#include "veleglfsscreen.h"

#include "velcursor.h"
#include "vellogging.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

int velInitResources_cursor();

namespace
{

// Default hooks that count the cursors they are asked for.
class CountingHooks : public VelEglFSHooks
{
public:
    VelPlatformCursor *createCursor(VelEglFSScreen *screen) const override
    {
        ++cursorRequests;
        return VelEglFSHooks::createCursor(screen);
    }
    mutable int cursorRequests = 0;
};

CountingHooks countingHooks;

std::vector<std::string> &warnings()
{
    static std::vector<std::string> messages;
    return messages;
}

void captureWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type == VelWarningMsg)
        warnings().push_back(message.toStdString());
}

std::vector<VelRect> rectsOf(const VelRegion &region)
{
    return std::vector<VelRect>(region.begin(), region.end());
}

} // namespace

VelEglFSHooks *platformHooks = &countingHooks;

TEST(BackingStoreUpload, RectanglesHalfTheWidthOrMoreBecomeWholeRows)
{
    const VelRect image(0, 0, 100, 100);
    EXPECT_EQ(rectsOf(VelEglFSBackingStore::uploadRegion(VelRegion(VelRect(20, 10, 60, 5)), image)),
              std::vector<VelRect>{VelRect(0, 10, 100, 5)});
    EXPECT_EQ(rectsOf(VelEglFSBackingStore::uploadRegion(VelRegion(VelRect(20, 10, 40, 5)), image)),
              std::vector<VelRect>{VelRect(20, 10, 40, 5)});
    // Exactly half of an odd width counts by integer halving.
    EXPECT_EQ(rectsOf(VelEglFSBackingStore::uploadRegion(VelRegion(VelRect(3, 0, 50, 1)),
                                                         VelRect(0, 0, 101, 10))),
              std::vector<VelRect>{VelRect(0, 0, 101, 1)});
}

TEST(BackingStoreUpload, OnlyThePartInsideTheImageIsSent)
{
    const VelRect image(0, 0, 100, 100);
    EXPECT_EQ(
        rectsOf(VelEglFSBackingStore::uploadRegion(VelRegion(VelRect(90, 95, 30, 30)), image)),
        std::vector<VelRect>{VelRect(90, 95, 10, 5)});
    EXPECT_TRUE(
        VelEglFSBackingStore::uploadRegion(VelRegion(VelRect(200, 200, 5, 5)), image).isEmpty());
    EXPECT_TRUE(VelEglFSBackingStore::uploadRegion(VelRegion(), image).isEmpty());
}

// The quad's edges are the window's outer pixel edges: a full-screen window
// spans the whole of normalised device space, its last column and row
// included.
TEST(CompositorQuad, FullScreenRasterWindowOn320x455)
{
    const VelRect screen(0, 0, 320, 455);
    const VelEglFSCompositor::Quad raster = VelEglFSCompositor::quadFor(screen, screen, true);
    // (xL, yT), (xR, yT), (xR, yB), (xL, yB): the first image row at the top.
    const std::vector<float> expected{-1, 1, 1, 1, 1, -1, -1, -1};
    EXPECT_EQ(std::vector<float>(raster.vertices, raster.vertices + 8), expected);

    const VelEglFSCompositor::Quad gl = VelEglFSCompositor::quadFor(screen, screen, false);
    const std::vector<float> upright{-1, -1, 1, -1, 1, 1, -1, 1};
    EXPECT_EQ(std::vector<float>(gl.vertices, gl.vertices + 8), upright);
}

// Back in pixels, each edge lands on a whole pixel: W x H windows cover W x H
// pixels wherever they are, and neighbours share an edge.
TEST(CompositorQuad, OddOffsetsMapBackToWholePixelEdges)
{
    const VelRect screen(0, 0, 201, 161);
    const auto toPixelX = [](float ndc) { return (double(ndc) + 1) * 201 / 2; };
    const auto toPixelY = [](float ndc) { return (1 - double(ndc)) * 161 / 2; };
    const VelEglFSCompositor::Quad left =
        VelEglFSCompositor::quadFor(screen, VelRect(13, 7, 37, 23), true);
    const VelEglFSCompositor::Quad right =
        VelEglFSCompositor::quadFor(screen, VelRect(50, 7, 41, 23), true);
    EXPECT_NEAR(toPixelX(left.vertices[0]), 13, 1e-4);
    EXPECT_NEAR(toPixelX(left.vertices[2]), 50, 1e-4);
    EXPECT_NEAR(toPixelX(right.vertices[0]), 50, 1e-4);
    EXPECT_NEAR(toPixelX(right.vertices[2]), 91, 1e-4);
    // Raster: the first vertex is the top-left corner, the third the
    // bottom-right one.
    EXPECT_NEAR(toPixelY(left.vertices[1]), 7, 1e-4);
    EXPECT_NEAR(toPixelY(left.vertices[5]), 30, 1e-4);
    EXPECT_EQ(left.vertices[2], right.vertices[0]);
}

TEST(CompositorQuad, WindowOffsetInsideTheScreen)
{
    const VelEglFSCompositor::Quad quad =
        VelEglFSCompositor::quadFor(VelRect(0, 0, 200, 100), VelRect(100, 50, 50, 25), false);
    EXPECT_FLOAT_EQ(quad.vertices[0], 0.0f);                              // left edge 100
    EXPECT_FLOAT_EQ(quad.vertices[2], float(2.0 * 150 / 200 - 1));        // right edge 150
    EXPECT_FLOAT_EQ(quad.vertices[1], float(2.0 * (100 - 75) / 100 - 1)); // bottom edge 75
    EXPECT_FLOAT_EQ(quad.vertices[5], 0.0f);                              // top edge 50
}

class CursorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { velInitResources_cursor(); }
};

TEST_F(CursorTest, EmbeddedAtlasGivesCellsAndHotSpots)
{
    ::unsetenv("VEL_VELPA_EGLFS_HIDECURSOR");
    VelEglFSScreen screen(EGL_NO_DISPLAY);
    auto *cursor = static_cast<VelEglFSCursor *>(screen.cursor());
    ASSERT_NE(cursor, nullptr);
    // The arrow at first.
    EXPECT_EQ(cursor->hotSpot(), VelPoint(7, 2));
    EXPECT_EQ(cursor->cursorRect().size(), VelSize(25, 25));

    VelCursor ibeam(Vel::IBeamCursor);
    cursor->changeCursor(&ibeam, nullptr);
    const VelEglFSCursor::TextureRect rect = cursor->textureRect();
    EXPECT_DOUBLE_EQ(rect.x, 0.5);
    EXPECT_DOUBLE_EQ(rect.y, 0.0);
    EXPECT_DOUBLE_EQ(rect.width, 0.125);
    EXPECT_NEAR(rect.height, 1.0 / 3, 1e-6);
    EXPECT_EQ(cursor->hotSpot(), VelPoint(14, 15));
    cursor->setPos(VelPoint(100, 100));
    EXPECT_EQ(cursor->cursorRect(), VelRect(86, 85, 25, 25));

    // Second row: shape 15 (help pointer) at column 7, row 1.
    VelCursor help(Vel::WhatsThisCursor);
    cursor->changeCursor(&help, nullptr);
    EXPECT_DOUBLE_EQ(cursor->textureRect().x, 7 * 0.125);
    EXPECT_NEAR(cursor->textureRect().y, 1.0 / 3, 1e-6);
    EXPECT_EQ(cursor->hotSpot(), VelPoint(10, 1));
}

TEST_F(CursorTest, HideCursorVariableDecidesWhetherHooksAreAsked)
{
    const struct {
        const char *value;
        bool asked;
    } cases[] = {{"1", false}, {"0", true}, {"abc", true}, {"7", false}};
    for (const auto &c : cases) {
        ::setenv("VEL_VELPA_EGLFS_HIDECURSOR", c.value, 1);
        const int before = countingHooks.cursorRequests;
        VelEglFSScreen screen(EGL_NO_DISPLAY);
        EXPECT_EQ(countingHooks.cursorRequests - before, c.asked ? 1 : 0) << c.value;
        EXPECT_EQ(screen.cursor() != nullptr, c.asked) << c.value;
    }
    ::unsetenv("VEL_VELPA_EGLFS_HIDECURSOR");
}

// The default hooks cache what they compute for the process: each case runs
// in a child process of its own.
TEST(DefaultHooksDeathTest, WidthVariableAloneWithoutFramebuffer)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            ::setenv("VEL_VELPA_EGLFS_WIDTH", "1024", 1);
            ::unsetenv("VEL_VELPA_EGLFS_HEIGHT");
            velInstallMessageHandler(captureWarnings);
            const VelSize size = VelEglFSHooks().screenSize();
            const bool warned = warnings().size() == 1 &&
                                warnings()[0] ==
                                    "EGLFS: Unable to query screen resolution, defaulting to "
                                    "800x600.\nEGLFS: To override, set VEL_VELPA_EGLFS_WIDTH and "
                                    "VEL_VELPA_EGLFS_HEIGHT.";
            std::exit(size == VelSize(1024, 600) && warned ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DefaultHooksDeathTest, PhysicalHeightVariableReplacesOnlyTheHeight)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            ::setenv("VEL_VELPA_EGLFS_WIDTH", "254", 1);
            ::setenv("VEL_VELPA_EGLFS_HEIGHT", "100", 1);
            ::setenv("VEL_VELPA_EGLFS_PHYSICAL_HEIGHT", "50", 1);
            ::unsetenv("VEL_VELPA_EGLFS_PHYSICAL_WIDTH");
            velInstallMessageHandler(captureWarnings);
            const VelSizeF size = VelEglFSHooks().physicalScreenSize();
            // 254 pixels at 100 dpi are 64.516 mm.
            const bool warned = warnings().size() == 1 &&
                                warnings()[0].find("defaulting to 100 dpi") != std::string::npos;
            std::exit(std::abs(size.width() - 64.516) < 1e-9 && size.height() == 50 && warned ? 0
                                                                                              : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DefaultHooksDeathTest, DepthDefaultsTo32WithAWarning)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            ::unsetenv("VEL_VELPA_EGLFS_DEPTH");
            velInstallMessageHandler(captureWarnings);
            VelEglFSHooks hooks;
            const bool ok = hooks.screenDepth() == 32 && hooks.screenFormat() == 4 &&
                            warnings().size() == 1 &&
                            warnings()[0] == "EGLFS: Unable to query screen depth, defaulting to "
                                             "32.\nEGLFS: To override, set VEL_VELPA_EGLFS_DEPTH.";
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DefaultHooksDeathTest, SixteenBitDepthGivesTheRgb16Format)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            ::setenv("VEL_VELPA_EGLFS_DEPTH", "16", 1);
            VelEglFSHooks hooks;
            std::exit(hooks.screenDepth() == 16 && hooks.screenFormat() == 7 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
