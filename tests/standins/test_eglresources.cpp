// The stand-in library counts the EGL objects made through it: what a long
// run reports as live EGL surfaces and contexts is exactly what was made and
// not yet destroyed, and stale or foreign handles cannot move the figures.

#include "standinstestsupport.h"
#include "velx11window.h"

#include <EGL/egl.h>
#include <android/native_window_jni.h>
#include <velstandin.h>

namespace
{

class EglResourcesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureDisplay();
        std::string error;
        ASSERT_TRUE(m_window.create(nullptr, 32, 24, "egl resources test", &error)) << error;
        m_surface = sharedDriver().newSurface(m_window.windowId(), 32, 24);
        ASSERT_NE(m_surface, nullptr);
        m_nativeWindow = ANativeWindow_fromSurface(sharedDriver().env(), m_surface);
        ASSERT_NE(m_nativeWindow, nullptr);
        m_display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        ASSERT_NE(m_display, EGL_NO_DISPLAY);
        ASSERT_TRUE(eglInitialize(m_display, nullptr, nullptr));
        ASSERT_TRUE(eglBindAPI(EGL_OPENGL_ES_API));
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_NONE};
        EGLint count = 0;
        ASSERT_TRUE(eglChooseConfig(m_display, attributes, &m_config, 1, &count));
        ASSERT_GT(count, 0);
        m_surfaces = velStandinLiveEglSurfaceCount();
        m_contexts = velStandinLiveEglContextCount();
    }

    void TearDown() override
    {
        if (m_display != EGL_NO_DISPLAY)
            eglTerminate(m_display);
        if (m_nativeWindow)
            ANativeWindow_release(m_nativeWindow);
        sharedDriver().deleteGlobalRef(m_surface);
    }

    EGLSurface windowSurface()
    {
        return eglCreateWindowSurface(
            m_display, m_config, reinterpret_cast<EGLNativeWindowType>(m_nativeWindow), nullptr);
    }
    EGLSurface pbuffer()
    {
        const EGLint size[] = {EGL_WIDTH, 8, EGL_HEIGHT, 8, EGL_NONE};
        return eglCreatePbufferSurface(m_display, m_config, size);
    }
    EGLContext context()
    {
        const EGLint attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
        return eglCreateContext(m_display, m_config, EGL_NO_CONTEXT, attributes);
    }

    VelX11Window m_window;
    jobject m_surface = nullptr;
    ANativeWindow *m_nativeWindow = nullptr;
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLConfig m_config = nullptr;
    int m_surfaces = 0;
    int m_contexts = 0;
};

} // namespace

TEST_F(EglResourcesTest, SurfacesAndContextsCountFromCreationToDestruction)
{
    const EGLSurface window = windowSurface();
    ASSERT_NE(window, EGL_NO_SURFACE);
    const EGLSurface offscreen = pbuffer();
    ASSERT_NE(offscreen, EGL_NO_SURFACE);
    const EGLContext ctx = context();
    ASSERT_NE(ctx, EGL_NO_CONTEXT);
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), m_surfaces + 2);
    EXPECT_EQ(velStandinLiveEglContextCount(), m_contexts + 1);

    EXPECT_TRUE(eglDestroySurface(m_display, window));
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), m_surfaces + 1);
    EXPECT_TRUE(eglDestroySurface(m_display, offscreen));
    EXPECT_TRUE(eglDestroyContext(m_display, ctx));
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), m_surfaces);
    EXPECT_EQ(velStandinLiveEglContextCount(), m_contexts);
}

// A double destroy, or a destroy of something EGL never made, is refused by
// EGL and must not hide a live surface made elsewhere.
TEST_F(EglResourcesTest, RefusedDestructionsLeaveTheCountsAlone)
{
    const EGLSurface kept = pbuffer();
    ASSERT_NE(kept, EGL_NO_SURFACE);
    const EGLSurface gone = pbuffer();
    ASSERT_NE(gone, EGL_NO_SURFACE);
    ASSERT_TRUE(eglDestroySurface(m_display, gone));
    const int live = velStandinLiveEglSurfaceCount();
    EXPECT_FALSE(eglDestroySurface(m_display, gone));
    EXPECT_FALSE(eglDestroySurface(m_display, reinterpret_cast<EGLSurface>(0x1234)));
    EXPECT_FALSE(eglDestroyContext(m_display, reinterpret_cast<EGLContext>(0x1234)));
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), live);
    EXPECT_EQ(velStandinLiveEglContextCount(), m_contexts);
    EXPECT_TRUE(eglDestroySurface(m_display, kept));
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), m_surfaces);
}

TEST_F(EglResourcesTest, OnlySuccessfulSwapsCountAsFrames)
{
    const EGLSurface window = windowSurface();
    ASSERT_NE(window, EGL_NO_SURFACE);
    const EGLContext ctx = context();
    ASSERT_NE(ctx, EGL_NO_CONTEXT);
    const long before = velStandinEglSwapCount();
    EXPECT_FALSE(eglSwapBuffers(m_display, window)); // not current: refused
    EXPECT_EQ(velStandinEglSwapCount(), before);
    ASSERT_TRUE(eglMakeCurrent(m_display, window, window, ctx));
    EXPECT_TRUE(eglSwapBuffers(m_display, window));
    EXPECT_TRUE(eglSwapBuffers(m_display, window));
    EXPECT_EQ(velStandinEglSwapCount(), before + 2);
    eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(m_display, window);
    eglDestroyContext(m_display, ctx);
}

// What the app left on a display it terminates is gone with the display.
TEST_F(EglResourcesTest, TerminatingTheDisplayForgetsWhatWasLeftOnIt)
{
    ASSERT_NE(pbuffer(), EGL_NO_SURFACE);
    ASSERT_NE(context(), EGL_NO_CONTEXT);
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), m_surfaces + 1);
    ASSERT_TRUE(eglTerminate(m_display));
    EXPECT_EQ(velStandinLiveEglSurfaceCount(), 0);
    EXPECT_EQ(velStandinLiveEglContextCount(), 0);
    m_display = EGL_NO_DISPLAY;
}
