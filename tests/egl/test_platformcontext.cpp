#include "fakeegl.h"
#include "logcapture.h"
#include "veleglconvenience.h"
#include "veleglplatformcontext.h"
#include "velplatformsurface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace
{

// A platform surface that simply carries the EGL surface it stands for.
class EglBackedSurface : public VelPlatformSurface
{
public:
    explicit EglBackedSurface(EGLSurface surface) : VelPlatformSurface(nullptr), m_surface(surface)
    {
    }
    VelSurfaceFormat format() const override { return VelSurfaceFormat(); }
    EGLSurface eglSurface() const { return m_surface; }

private:
    EGLSurface m_surface;
};

class TestContext : public VelEGLPlatformContext
{
public:
    using VelEGLPlatformContext::VelEGLPlatformContext;

protected:
    EGLSurface eglSurfaceForPlatformSurface(VelPlatformSurface *surface) override
    {
        return static_cast<EglBackedSurface *>(surface)->eglSurface();
    }
};

FakeEgl::ConfigAttributes esConfig(EGLint r, EGLint g, EGLint b, EGLint a)
{
    return {{EGL_RED_SIZE, r},
            {EGL_GREEN_SIZE, g},
            {EGL_BLUE_SIZE, b},
            {EGL_ALPHA_SIZE, a},
            {EGL_DEPTH_SIZE, 24},
            {EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PBUFFER_BIT},
            {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT | EGL_OPENGL_BIT}};
}

std::string pointerText(const void *p)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%p", p);
    return buffer;
}

class PlatformContextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeEgl::reset();
        FakeEgl::setConfigs({esConfig(8, 8, 8, 8), esConfig(5, 6, 5, 0)});
    }

    EGLSurface makeSurface()
    {
        const EGLint attributes[] = {EGL_WIDTH, 4, EGL_HEIGHT, 4, EGL_NONE};
        return eglCreatePbufferSurface(FakeEgl::display(), FakeEgl::config(0), attributes);
    }

    std::unique_ptr<TestContext> makeContext(const VelSurfaceFormat &format = VelSurfaceFormat(),
                                             VelPlatformOpenGLContext *share = nullptr)
    {
        return std::make_unique<TestContext>(format, share, FakeEgl::display(), EGL_OPENGL_ES_API);
    }

    LogCapture log;
};

TEST_F(PlatformContextTest, ConfigIsChosenForWindowsAndFormatReadBackFromIt)
{
    VelSurfaceFormat requested;
    requested.setRedBufferSize(5);
    requested.setGreenBufferSize(6);
    requested.setBlueBufferSize(5);
    requested.setRenderableType(VelSurfaceFormat::OpenGL);
    const auto context = makeContext(requested);
    EXPECT_TRUE(context->isValid());
    EXPECT_EQ(context->eglConfig(), FakeEgl::config(1));
    EXPECT_EQ(context->eglDisplay(), FakeEgl::display());
    const auto lists = FakeEgl::chooseConfigLists();
    ASSERT_FALSE(lists.empty());
    // The surface type follows the eight pairs made from the format.
    EXPECT_EQ(lists.front()[16], EGL_SURFACE_TYPE);
    EXPECT_EQ(lists.front()[17], EGL_WINDOW_BIT);

    // The obtained format comes from the config; the renderable type of the
    // request is not carried over, so OpenGL ES is what gets bound.
    const VelSurfaceFormat obtained = context->format();
    EXPECT_EQ(obtained.redBufferSize(), 5);
    EXPECT_EQ(obtained.alphaBufferSize(), 0);
    EXPECT_EQ(obtained.depthBufferSize(), 24);
    EXPECT_EQ(obtained.renderableType(), VelSurfaceFormat::OpenGLES);
    const auto calls = FakeEgl::createContextCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].boundApi, EGLenum(EGL_OPENGL_ES_API));
}

TEST_F(PlatformContextTest, ClientVersionComesFromTheRequestedMajorVersion)
{
    VelSurfaceFormat requested;
    requested.setMajorVersion(3);
    const auto context = std::make_unique<TestContext>(requested, nullptr, FakeEgl::display(),
                                                       FakeEgl::config(0), EGL_OPENGL_ES_API);
    const auto calls = FakeEgl::createContextCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].config, FakeEgl::config(0));
    EXPECT_EQ(calls[0].attributes, (std::vector<EGLint>{EGL_CONTEXT_CLIENT_VERSION, 3}));
    EXPECT_EQ(context->format().majorVersion(), VelSurfaceFormat().majorVersion());
    EXPECT_TRUE(FakeEgl::chooseConfigLists().empty()) << "a given config is used as it is";
}

TEST_F(PlatformContextTest, RefusedSharingFallsBackToAnUnsharedContext)
{
    const auto first = makeContext();
    ASSERT_TRUE(first->isValid());

    const auto shared = makeContext(VelSurfaceFormat(), first.get());
    EXPECT_TRUE(shared->isSharing());
    EXPECT_TRUE(shared->isValid());

    FakeEgl::setRefuseSharedContexts(true);
    const auto refused = makeContext(VelSurfaceFormat(), first.get());
    EXPECT_TRUE(refused->isValid());
    EXPECT_FALSE(refused->isSharing());
    const auto calls = FakeEgl::createContextCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].share, first->eglContext());
    EXPECT_EQ(calls[2].result, EGL_NO_CONTEXT);
    EXPECT_EQ(calls[3].share, EGL_NO_CONTEXT);
    EXPECT_EQ(calls[3].result, refused->eglContext());
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(PlatformContextTest, FailedCreationLeavesAnInvalidContextWithoutRetryOrLog)
{
    const auto first = makeContext();
    FakeEgl::setRefuseAllContexts(true);
    const auto unshared = makeContext();
    EXPECT_FALSE(unshared->isValid());
    EXPECT_EQ(FakeEgl::createContextCalls().size(), 2u);

    const auto shared = makeContext(VelSurfaceFormat(), first.get());
    EXPECT_FALSE(shared->isValid());
    EXPECT_FALSE(shared->isSharing());
    EXPECT_EQ(FakeEgl::createContextCalls().size(), 4u) << "one retry without sharing";
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(PlatformContextTest, MakeCurrentTwiceOnTheSameSurfaceCallsEglOnce)
{
    const auto context = makeContext();
    EglBackedSurface a(makeSurface());
    EglBackedSurface b(makeSurface());

    EXPECT_TRUE(context->makeCurrent(&a));
    EXPECT_TRUE(context->makeCurrent(&a));
    EXPECT_EQ(FakeEgl::makeCurrentCalls().size(), 1u);

    EXPECT_TRUE(context->makeCurrent(&b));
    const auto calls = FakeEgl::makeCurrentCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].draw, b.eglSurface());
    EXPECT_EQ(calls[1].read, b.eglSurface());
    EXPECT_EQ(calls[1].context, context->eglContext());

    // Another context current on the same surface forces a real switch back.
    const auto other = makeContext();
    EXPECT_TRUE(other->makeCurrent(&b));
    EXPECT_TRUE(context->makeCurrent(&b));
    EXPECT_EQ(FakeEgl::makeCurrentCalls().size(), 4u);

    context->doneCurrent();
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    const auto last = FakeEgl::makeCurrentCalls().back();
    EXPECT_EQ(last.draw, EGL_NO_SURFACE);
    EXPECT_EQ(last.read, EGL_NO_SURFACE);
    EXPECT_EQ(last.context, EGL_NO_CONTEXT);
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(PlatformContextTest, EveryOperationBindsTheApiFirst)
{
    const auto context = makeContext();
    EglBackedSurface surface(makeSurface());
    const size_t atStart = FakeEgl::boundApis().size();
    ASSERT_EQ(atStart, 1u) << "bound once before the context was created";

    context->makeCurrent(&surface);
    context->swapBuffers(&surface);
    context->getProcAddress("glGetString");
    context->doneCurrent();
    const auto apis = FakeEgl::boundApis();
    ASSERT_EQ(apis.size(), 5u);
    for (EGLenum api : apis)
        EXPECT_EQ(api, EGLenum(EGL_OPENGL_ES_API));

    const auto calls = FakeEgl::calls();
    const std::vector<std::string> expectedOrder = {
        "eglBindAPI", "eglMakeCurrent",    "eglBindAPI", "eglSwapBuffers",
        "eglBindAPI", "eglGetProcAddress", "eglBindAPI", "eglMakeCurrent"};
    std::vector<std::string> relevant;
    for (const std::string &c : calls) {
        if (c == "eglBindAPI" || c == "eglMakeCurrent" || c == "eglSwapBuffers" ||
            c == "eglGetProcAddress")
            relevant.push_back(c);
    }
    // Drop the bind that preceded creation.
    relevant.erase(relevant.begin());
    EXPECT_EQ(relevant, expectedOrder);
    EXPECT_EQ(FakeEgl::swappedSurfaces(), (std::vector<EGLSurface>{surface.eglSurface()}));
}

TEST_F(PlatformContextTest, FailuresAreLoggedInTheirOwnFormats)
{
    const auto context = makeContext();
    EglBackedSurface surface(makeSurface());
    const std::string self = pointerText(context.get());

    FakeEgl::setMakeCurrentError(EGL_BAD_MATCH);
    EXPECT_FALSE(context->makeCurrent(&surface));
    FakeEgl::setMakeCurrentError(EGL_SUCCESS);

    FakeEgl::setSwapBuffersError(EGL_BAD_SURFACE);
    context->swapBuffers(&surface);

    // Releasing with a bad display is the one way to make the release fail.
    EglBackedSurface unknown(reinterpret_cast<EGLSurface>(0x7));
    const auto stray = std::make_unique<TestContext>(VelSurfaceFormat(), nullptr,
                                                     reinterpret_cast<EGLDisplay>(0x5),
                                                     FakeEgl::config(0), EGL_OPENGL_ES_API);
    const std::string straySelf = pointerText(stray.get());
    stray->doneCurrent();

    EXPECT_EQ(
        LogCapture::warnings(),
        (std::vector<std::string>{
            "VelEGLPlatformContext::makeCurrent: eglError: 3009, this: " + self + " \n",
            "VelEGLPlatformContext::swapBuffers(): eglError: 12301, this: " + self + " \n",
            "VelEGLPlatformContext::doneCurrent(): eglError: 12296, this: " + straySelf + " \n"}));
}

TEST_F(PlatformContextTest, ProcAddressesResolveByName)
{
    const auto context = makeContext();
    EXPECT_NE(context->getProcAddress(VelByteArray("glGetString")), nullptr);
    EXPECT_EQ(context->getProcAddress(VelByteArray("glNoSuchEntry")), nullptr);
    EXPECT_EQ(FakeEgl::procAddressQueries(),
              (std::vector<std::string>{"glGetString", "glNoSuchEntry"}));
}

TEST_F(PlatformContextTest, DestructionDestroysOnlyAnOwnedContext)
{
    EGLContext created = EGL_NO_CONTEXT;
    {
        const auto context = makeContext();
        created = context->eglContext();
        ASSERT_NE(created, EGL_NO_CONTEXT);
    }
    EXPECT_EQ(FakeEgl::destroyedContexts(), (std::vector<EGLContext>{created}));
    EXPECT_EQ(FakeEgl::liveContextCount(), 0);

    FakeEgl::setRefuseAllContexts(true);
    makeContext().reset();
    EXPECT_EQ(FakeEgl::destroyedContexts().size(), 1u);
}

TEST_F(PlatformContextTest, NullConfigStillAttemptsCreationAndStaysInvalid)
{
    FakeEgl::setConfigs({});
    const auto context = makeContext();
    EXPECT_FALSE(context->isValid());
    EXPECT_EQ(context->eglConfig(), nullptr);
    ASSERT_EQ(FakeEgl::createContextCalls().size(), 1u);
    EXPECT_EQ(LogCapture::warnings(),
              (std::vector<std::string>{"Cant find EGLConfig, returning null config"}));
}

} // namespace
