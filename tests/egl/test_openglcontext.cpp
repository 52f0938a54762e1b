// The host context over a real EGL platform context (Mesa, surfaceless):
// creation through the integration, current context per thread, sharing, and
// rendering into an offscreen surface backed by a pbuffer.
#include "logcapture.h"
#include "veleglconvenience.h"
#include "veleglpbuffer.h"
#include "veleglplatformcontext.h"
#include "velguiapplication.h"
#include "veloffscreensurface.h"
#include "velopenglcontext.h"
#include "velopenglcontext_p.h"
#include "velplatformintegration.h"
#include "velplatformintegrationplugin.h"
#include "velplatformscreen.h"
#include "velplugin.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <thread>

namespace
{

class OffscreenContext : public VelEGLPlatformContext
{
public:
    using VelEGLPlatformContext::VelEGLPlatformContext;

protected:
    EGLSurface eglSurfaceForPlatformSurface(VelPlatformSurface *surface) override
    {
        auto *pbuffer = dynamic_cast<VelEGLPbuffer *>(surface);
        return pbuffer ? pbuffer->pbuffer() : EGL_NO_SURFACE;
    }
};

class PbufferScreen : public VelPlatformScreen
{
public:
    VelRect geometry() const override { return VelRect(0, 0, 64, 64); }
    int depth() const override { return 32; }
    int format() const override { return 4; }
};

// Offscreen-only platform: contexts and offscreen surfaces, no windows.
class PbufferIntegration : public VelPlatformIntegration
{
public:
    ~PbufferIntegration() override
    {
        delete screen;
        if (display != EGL_NO_DISPLAY)
            eglTerminate(display);
    }
    void initialize() override
    {
        display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (display != EGL_NO_DISPLAY && !eglInitialize(display, nullptr, nullptr))
            display = EGL_NO_DISPLAY;
        screen = new PbufferScreen;
        screenAdded(screen);
    }
    VelPlatformWindow *createPlatformWindow(VelWindow *) const override { return nullptr; }
    VelPlatformBackingStore *createPlatformBackingStore(VelWindow *) const override
    {
        return nullptr;
    }
    VelPlatformOpenGLContext *createPlatformOpenGLContext(VelOpenGLContext *context) const override
    {
        const VelSurfaceFormat format = context->requestedFormat();
        const EGLConfig config = vel_configFromGLFormat(display, format, false, EGL_PBUFFER_BIT);
        return new OffscreenContext(format, context->shareHandle(), display, config,
                                    EGL_OPENGL_ES_API);
    }
    VelPlatformOffscreenSurface *
    createPlatformOffscreenSurface(VelOffscreenSurface *surface) const override
    {
        return new VelEGLPbuffer(display, surface->requestedFormat(), surface);
    }

    EGLDisplay display = EGL_NO_DISPLAY;
    PbufferScreen *screen = nullptr;
};

class PbufferPlugin : public VelPlatformIntegrationPlugin
{
public:
    VelPlatformIntegration *create(const VelString &key, const VelStringList &) override
    {
        return key == VelString("pbuffertest") ? new PbufferIntegration : nullptr;
    }
};

VelObject *pluginInstance()
{
    static PbufferPlugin *plugin = new PbufferPlugin;
    return plugin;
}

const char *pluginMetaData()
{
    static constexpr VelPluginMetaDataBlock block =
        velPluginMetaData("PbufferPlugin", {"pbuffertest"});
    return block.bytes;
}

// Context and surface must share a config for EGL to bind them together.
VelSurfaceFormat rgb888()
{
    VelSurfaceFormat format;
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    return format;
}

std::array<GLubyte, 4> pixelAt(int x, int y)
{
    std::array<GLubyte, 4> pixel{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

class OpenGLContextTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("EGL_PLATFORM", "surfaceless", 0);
        velRegisterStaticPluginFunction(VelStaticPlugin{pluginInstance, pluginMetaData});
        static int argc = 1;
        static char name[] = "egl_test_openglcontext";
        static char *argv[] = {name, nullptr};
        app = new VelGuiApplication(argc, argv, VelString("pbuffertest"));
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
    }
    void SetUp() override
    {
        auto *integration =
            dynamic_cast<PbufferIntegration *>(VelGuiApplication::platformIntegration());
        ASSERT_NE(integration, nullptr);
        ASSERT_NE(integration->display, EGL_NO_DISPLAY);
        offscreen.setSize(VelSize(16, 16));
        offscreen.setFormat(rgb888());
        offscreen.create();
        ASSERT_TRUE(offscreen.isValid());
    }

    static VelGuiApplication *app;
    VelOffscreenSurface offscreen;
    LogCapture log;
};

VelGuiApplication *OpenGLContextTest::app = nullptr;

TEST_F(OpenGLContextTest, CreatedContextRendersIntoAnOffscreenSurface)
{
    VelOpenGLContext context;
    const VelSurfaceFormat requested = rgb888();
    context.setFormat(requested);
    EXPECT_FALSE(context.isValid());
    EXPECT_EQ(context.format(), requested) << "the request until created";

    ASSERT_TRUE(context.create());
    ASSERT_NE(context.handle(), nullptr);
    EXPECT_EQ(context.handle()->context(), &context);
    EXPECT_EQ(context.requestedFormat(), requested);
    EXPECT_EQ(context.format().redBufferSize(), 8);
    EXPECT_EQ(context.format().renderableType(), VelSurfaceFormat::OpenGLES);

    EXPECT_EQ(VelOpenGLContext::currentContext(), nullptr);
    ASSERT_TRUE(context.makeCurrent(&offscreen));
    EXPECT_EQ(VelOpenGLContext::currentContext(), &context);
    EXPECT_EQ(context.surface(), &offscreen);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(8, 8), (std::array<GLubyte, 4>{0, 0, 255, 255}));
    context.swapBuffers(&offscreen);

    // EGL's current context is per thread; so is the host's.
    VelOpenGLContext *seenElsewhere = &context;
    std::thread([&] { seenElsewhere = VelOpenGLContext::currentContext(); }).join();
    EXPECT_EQ(seenElsewhere, nullptr);

    context.doneCurrent();
    EXPECT_EQ(VelOpenGLContext::currentContext(), nullptr);
    EXPECT_EQ(context.surface(), nullptr);
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(OpenGLContextTest, ShareHandleIsThePlatformContextSharedWith)
{
    VelOpenGLContext first;
    first.setFormat(rgb888());
    ASSERT_TRUE(first.create());
    VelOpenGLContext second;
    second.setFormat(rgb888());
    second.setShareContext(&first);
    ASSERT_TRUE(second.create());
    EXPECT_EQ(second.shareContext(), &first);
    EXPECT_EQ(second.shareHandle(), first.handle());
    EXPECT_TRUE(second.handle()->isSharing());
    EXPECT_EQ(first.shareHandle(), nullptr);

    ASSERT_TRUE(first.makeCurrent(&offscreen));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    ASSERT_TRUE(second.makeCurrent(&offscreen));
    EXPECT_EQ(VelOpenGLContext::currentContext(), &second);
    EXPECT_EQ(glIsTexture(texture), GL_TRUE);
    glDeleteTextures(1, &texture);
    second.doneCurrent();
}

TEST_F(OpenGLContextTest, DestroyingTheCurrentContextReleasesIt)
{
    {
        VelOpenGLContext context;
        context.setFormat(rgb888());
        ASSERT_TRUE(context.create());
        ASSERT_TRUE(context.makeCurrent(&offscreen));
        ASSERT_NE(eglGetCurrentContext(), EGL_NO_CONTEXT);
    }
    EXPECT_EQ(VelOpenGLContext::currentContext(), nullptr);
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
}

TEST_F(OpenGLContextTest, SurfaceWithoutPlatformSurfaceIsRefused)
{
    VelOpenGLContext context;
    context.setFormat(rgb888());
    ASSERT_TRUE(context.create());
    VelOffscreenSurface notCreated;
    EXPECT_FALSE(context.makeCurrent(&notCreated));
    EXPECT_FALSE(context.makeCurrent(nullptr));
    EXPECT_EQ(VelOpenGLContext::currentContext(), nullptr);
    EXPECT_EQ(LogCapture::warnings().size(), 2u);

    VelOpenGLContext never;
    EXPECT_FALSE(never.makeCurrent(&offscreen)) << "a context that was never created";
}

TEST_F(OpenGLContextTest, WorkaroundFlagIsReachableFromThePlatformContext)
{
    VelOpenGLContext context;
    context.setFormat(rgb888());
    ASSERT_TRUE(context.create());
    VelOpenGLContextPrivate *d = VelOpenGLContextPrivate::get(context.handle()->context());
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->workaround_brokenFBOReadBack);
    d->workaround_brokenFBOReadBack = true;
    EXPECT_TRUE(VelOpenGLContextPrivate::get(&context)->workaround_brokenFBOReadBack);
    // A new platform context starts from a clean slate: the flag belongs to
    // the renderer the old one talked to.
    ASSERT_TRUE(context.create());
    EXPECT_FALSE(VelOpenGLContextPrivate::get(&context)->workaround_brokenFBOReadBack);
}

TEST_F(OpenGLContextTest, ProcAddressesComeFromThePlatformContext)
{
    VelOpenGLContext context;
    EXPECT_EQ(context.getProcAddress("glClear"), nullptr);
    ASSERT_TRUE(context.create());
    EXPECT_NE(context.getProcAddress("glClear"), nullptr);
}

} // namespace
