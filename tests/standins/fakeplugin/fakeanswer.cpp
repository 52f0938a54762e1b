#include "fakeanswer.h"

#include "fakeplugin.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <android/log.h>
#include <android/native_window.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace
{

const char tag[] = "VelFake";

// Held while a frame is drawn: a window takes one EGL surface at a time.
// Taken alone.
std::mutex frameMutex;
// The colour of the last answer presented, for redraws; -1 before the first.
std::atomic<long> answered{-1};

// Owns one reference on the surface's native window while a frame is drawn
// into it, so that a surface replaced meanwhile stays valid.
class WindowReference
{
public:
    explicit WindowReference(ANativeWindow *adopted) : m_window(adopted) {}
    ~WindowReference()
    {
        if (m_window)
            ANativeWindow_release(m_window);
    }
    WindowReference(const WindowReference &) = delete;
    WindowReference &operator=(const WindowReference &) = delete;
    ANativeWindow *get() const { return m_window; }

private:
    ANativeWindow *m_window;
};

// The display, config, surface and context of one frame, released together.
class OneFrame
{
public:
    ~OneFrame()
    {
        if (m_display == EGL_NO_DISPLAY)
            return;
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (m_context != EGL_NO_CONTEXT)
            eglDestroyContext(m_display, m_context);
        if (m_surface != EGL_NO_SURFACE)
            eglDestroySurface(m_display, m_surface);
        eglReleaseThread();
    }

    bool present(ANativeWindow *window, unsigned long rgb)
    {
        m_display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (m_display == EGL_NO_DISPLAY || !eglInitialize(m_display, nullptr, nullptr))
            return false;
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_ES2_BIT, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (!eglChooseConfig(m_display, attributes, &config, 1, &count) || count < 1)
            return false;
        m_surface = eglCreateWindowSurface(m_display, config,
                                           reinterpret_cast<EGLNativeWindowType>(window), nullptr);
        const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
        if (m_surface == EGL_NO_SURFACE || !eglBindAPI(EGL_OPENGL_ES_API))
            return false;
        m_context = eglCreateContext(m_display, config, EGL_NO_CONTEXT, contextAttributes);
        if (m_context == EGL_NO_CONTEXT ||
            !eglMakeCurrent(m_display, m_surface, m_surface, m_context))
            return false;
        glClearColor(((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f,
                     (rgb & 0xff) / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        return eglSwapBuffers(m_display, m_surface);
    }

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLSurface m_surface = EGL_NO_SURFACE;
    EGLContext m_context = EGL_NO_CONTEXT;
};

void answer(unsigned long rgb, long delayMs)
{
    // The slowness being played: the app takes this long to draw its answer.
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    const std::lock_guard<std::mutex> lock(frameMutex);
    const WindowReference window(velFakePluginAcquiredNativeWindow());
    OneFrame frame;
    if (!window.get() || !frame.present(window.get(), rgb))
        __android_log_print(ANDROID_LOG_ERROR, tag, "the touch answer could not be presented");
    else
        answered.store(static_cast<long>(rgb));
}

} // namespace

void velFakeAnswerTouch()
{
    const char *colour = std::getenv("VEL_FAKEPLUGIN_TOUCH_PAINT");
    if (!colour || !*colour)
        return;
    const char *delay = std::getenv("VEL_FAKEPLUGIN_ANSWER_DELAY_MS");
    const long delayMs = delay ? std::max(0L, std::strtol(delay, nullptr, 10)) : 0;
    // Detached: the launcher may end the process while the app still "draws".
    std::thread(answer, std::strtoul(colour, nullptr, 16), delayMs).detach();
}

void velFakeAnswerRedraw()
{
    const long rgb = answered.load();
    if (rgb >= 0)
        std::thread(answer, static_cast<unsigned long>(rgb), 0L).detach();
}
