// The stand-in's native window is something Mesa's EGL can render into: the
// native window itself and the X11 window id it carries both serve as
// EGLNativeWindowType, and the pointer serves the platform-surface entry
// point for X11.

#include "standinstestsupport.h"
#include "velx11window.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>
#include <android/native_window_jni.h>
#include <velstandin.h>

#include <chrono>
#include <thread>

namespace
{

class EglWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureDisplay();
        std::string error;
        ASSERT_TRUE(m_window.create(nullptr, 40, 30, "egl test", &error)) << error;
        m_surface = sharedDriver().newSurface(m_window.windowId(), 40, 30);
        ASSERT_NE(m_surface, nullptr);
        m_nativeWindow = ANativeWindow_fromSurface(sharedDriver().env(), m_surface);
        ASSERT_NE(m_nativeWindow, nullptr);
    }
    void TearDown() override
    {
        if (m_display != EGL_NO_DISPLAY) {
            eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            if (m_eglSurface != EGL_NO_SURFACE)
                eglDestroySurface(m_display, m_eglSurface);
            if (m_context != EGL_NO_CONTEXT)
                eglDestroyContext(m_display, m_context);
            eglTerminate(m_display);
        }
        if (m_nativeWindow)
            ANativeWindow_release(m_nativeWindow);
        sharedDriver().deleteGlobalRef(m_surface);
    }

    // The default display, initialised, and a window surface over the native
    // window passed as a device's EGL takes it.
    void openDefaultDisplayOnTheNativeWindow(EGLConfig *config)
    {
        m_display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        ASSERT_NE(m_display, EGL_NO_DISPLAY);
        ASSERT_TRUE(eglInitialize(m_display, nullptr, nullptr));
        *config = chooseConfig();
        m_eglSurface = eglCreateWindowSurface(
            m_display, *config, reinterpret_cast<EGLNativeWindowType>(m_nativeWindow), nullptr);
    }

    EGLConfig chooseConfig()
    {
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_WINDOW_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_ES2_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        EXPECT_TRUE(eglChooseConfig(m_display, attributes, &config, 1, &count));
        EXPECT_GT(count, 0);
        return config;
    }

    // Clears the surface to a colour, swaps, and reads the window back.
    void clearSwapAndCheck(EGLConfig config, uint8_t r, uint8_t g, uint8_t b)
    {
        ASSERT_NE(m_eglSurface, EGL_NO_SURFACE) << "eglError " << std::hex << eglGetError();
        const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
        ASSERT_TRUE(eglBindAPI(EGL_OPENGL_ES_API));
        m_context = eglCreateContext(m_display, config, EGL_NO_CONTEXT, contextAttributes);
        ASSERT_NE(m_context, EGL_NO_CONTEXT);
        ASSERT_TRUE(eglMakeCurrent(m_display, m_eglSurface, m_eglSurface, m_context));
        glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_TRUE(eglSwapBuffers(m_display, m_eglSurface));
        glFinish();
        std::vector<uint8_t> pixels;
        std::string error;
        // The X server shows the swapped buffer shortly after the swap.
        for (int attempt = 0; attempt < 1000; ++attempt) {
            ASSERT_TRUE(m_window.grabPixels(&pixels, &error)) << error;
            if (pixels[0] == r && pixels[1] == g && pixels[2] == b)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const size_t centre = (15 * 40 + 20) * 4;
        EXPECT_EQ(pixels[centre], r);
        EXPECT_EQ(pixels[centre + 1], g);
        EXPECT_EQ(pixels[centre + 2], b);
    }

    VelX11Window m_window;
    jobject m_surface = nullptr;
    ANativeWindow *m_nativeWindow = nullptr;
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLSurface m_eglSurface = EGL_NO_SURFACE;
    EGLContext m_context = EGL_NO_CONTEXT;
};

} // namespace

TEST_F(EglWindowTest, TheWindowHandleIsAnEglNativeWindowOnTheDefaultDisplay)
{
    m_display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    ASSERT_NE(m_display, EGL_NO_DISPLAY);
    ASSERT_TRUE(eglInitialize(m_display, nullptr, nullptr));
    const EGLConfig config = chooseConfig();
    m_eglSurface = eglCreateWindowSurface(
        m_display, config,
        static_cast<EGLNativeWindowType>(velStandinNativeWindowHandle(m_nativeWindow)), nullptr);
    clearSwapAndCheck(config, 255, 0, 0);
}

// What a device's EGL takes, and what the plugin passes: the native window
// itself as EGLNativeWindowType.
TEST_F(EglWindowTest, TheNativeWindowItselfServesTheWindowSurfaceCall)
{
    EGLConfig config = nullptr;
    ASSERT_NO_FATAL_FAILURE(openDefaultDisplayOnTheNativeWindow(&config));
    clearSwapAndCheck(config, 0, 255, 0);
}

TEST_F(EglWindowTest, TheNativeWindowPointerServesThePlatformSurfaceCall)
{
    m_display = eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, m_window.display(), nullptr);
    ASSERT_NE(m_display, EGL_NO_DISPLAY);
    ASSERT_TRUE(eglInitialize(m_display, nullptr, nullptr));
    const EGLConfig config = chooseConfig();
    m_eglSurface = eglCreatePlatformWindowSurface(m_display, config, m_nativeWindow, nullptr);
    clearSwapAndCheck(config, 0, 0, 255);
}

// The launcher waits for the app's answer by counting the frames presented:
// every successful swap counts once, a swap that fails does not.
TEST_F(EglWindowTest, EverySuccessfulSwapIsCountedAsAPresentedFrame)
{
    EGLConfig config = nullptr;
    ASSERT_NO_FATAL_FAILURE(openDefaultDisplayOnTheNativeWindow(&config));
    const long before = velStandinEglSwapCount();
    clearSwapAndCheck(config, 255, 255, 0);
    EXPECT_EQ(velStandinEglSwapCount(), before + 1);
    ASSERT_TRUE(eglSwapBuffers(m_display, m_eglSurface));
    EXPECT_EQ(velStandinEglSwapCount(), before + 2);

    EXPECT_FALSE(eglSwapBuffers(m_display, EGL_NO_SURFACE));
    EXPECT_EQ(eglGetError(), EGL_BAD_SURFACE);
    EXPECT_EQ(velStandinEglSwapCount(), before + 2);
}
