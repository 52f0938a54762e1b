#include "fakeegl.h"
#include "logcapture.h"
#include "veleglpbuffer.h"
#include "veloffscreensurface.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

FakeEgl::ConfigAttributes pbufferConfig(EGLint r, EGLint g, EGLint b, EGLint a)
{
    return {{EGL_RED_SIZE, r},
            {EGL_GREEN_SIZE, g},
            {EGL_BLUE_SIZE, b},
            {EGL_ALPHA_SIZE, a},
            {EGL_DEPTH_SIZE, 16},
            {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT},
            {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT}};
}

VelSurfaceFormat requested565()
{
    VelSurfaceFormat format;
    format.setRedBufferSize(5);
    format.setGreenBufferSize(6);
    format.setBlueBufferSize(5);
    format.setDepthBufferSize(8);
    format.setMajorVersion(3);
    return format;
}

class PbufferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeEgl::reset();
        FakeEgl::setConfigs({pbufferConfig(8, 8, 8, 8), pbufferConfig(5, 6, 5, 0)});
        offscreen.setSize(VelSize(320, 200));
    }

    VelOffscreenSurface offscreen;
    LogCapture log;
};

TEST_F(PbufferTest, PbufferOfTheSurfaceSizeOnAPbufferConfig)
{
    {
        VelEGLPbuffer pbuffer(FakeEgl::display(), requested565(), &offscreen);
        EXPECT_TRUE(pbuffer.isValid());
        EXPECT_EQ(pbuffer.offscreenSurface(), &offscreen);

        const auto lists = FakeEgl::chooseConfigLists();
        ASSERT_FALSE(lists.empty());
        EXPECT_EQ(lists.front()[16], EGL_SURFACE_TYPE);
        EXPECT_EQ(lists.front()[17], EGL_PBUFFER_BIT);

        const auto calls = FakeEgl::pbufferCalls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].config, FakeEgl::config(1));
        EXPECT_EQ(calls[0].attributes,
                  (std::vector<EGLint>{EGL_WIDTH, 320, EGL_HEIGHT, 200, EGL_LARGEST_PBUFFER, 0}));
        EXPECT_EQ(pbuffer.pbuffer(), calls[0].result);

        // The obtained format replaces the request: sizes from the config,
        // version back at the default.
        const VelSurfaceFormat format = pbuffer.format();
        EXPECT_EQ(format.redBufferSize(), 5);
        EXPECT_EQ(format.alphaBufferSize(), 0);
        EXPECT_EQ(format.depthBufferSize(), 16);
        EXPECT_EQ(format.majorVersion(), VelSurfaceFormat().majorVersion());
        EXPECT_EQ(format.renderableType(), VelSurfaceFormat::OpenGLES);
    }
    EXPECT_EQ(FakeEgl::destroyedSurfaces().size(), 1u);
    EXPECT_EQ(FakeEgl::liveSurfaceCount(), 0);
}

TEST_F(PbufferTest, ZeroSizedSurfaceStillAsksForAZeroSizedPbuffer)
{
    offscreen.setSize(VelSize(0, 0));
    VelEGLPbuffer pbuffer(FakeEgl::display(), requested565(), &offscreen);
    const auto calls = FakeEgl::pbufferCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].attributes,
              (std::vector<EGLint>{EGL_WIDTH, 0, EGL_HEIGHT, 0, EGL_LARGEST_PBUFFER, 0}));
    EXPECT_TRUE(pbuffer.isValid()) << "validity is whatever EGL answers";
}

TEST_F(PbufferTest, FailedCreationKeepsTheRequestedFormatAndDestroysNothing)
{
    FakeEgl::setPbufferError(EGL_BAD_ALLOC);
    {
        VelEGLPbuffer pbuffer(FakeEgl::display(), requested565(), &offscreen);
        EXPECT_FALSE(pbuffer.isValid());
        EXPECT_EQ(pbuffer.pbuffer(), EGL_NO_SURFACE);
        EXPECT_EQ(pbuffer.format(), requested565());
    }
    EXPECT_TRUE(FakeEgl::destroyedSurfaces().empty());
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(PbufferTest, NoConfigMeansNoPbufferAndOnlyTheSearchWarns)
{
    FakeEgl::setConfigs({});
    VelEGLPbuffer pbuffer(FakeEgl::display(), requested565(), &offscreen);
    EXPECT_FALSE(pbuffer.isValid());
    EXPECT_TRUE(FakeEgl::pbufferCalls().empty());
    EXPECT_EQ(pbuffer.format(), requested565());
    EXPECT_EQ(LogCapture::warnings(),
              (std::vector<std::string>{"Cant find EGLConfig, returning null config"}));
}

} // namespace
