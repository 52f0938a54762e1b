// On a device, EGL takes an ANativeWindow pointer as the native window of a
// window surface. Mesa's EGL on X11 takes the X window id instead, so the
// stand-in library puts its own eglCreateWindowSurface in front of EGL's: a
// live stand-in native window is replaced by its X window id, anything else
// (an X window id given directly) goes through unchanged. The plugin's
// sources thus pass native windows to EGL exactly as they do on a device.
//
// eglSwapBuffers stands in front of EGL's too, only to count the frames
// presented: X11 tells no other client about another client's swaps, and the
// launcher needs to know that the app has shown a frame since its last input.

#include "standinwindows.h"

#include <EGL/egl.h>

#include <velstandin.h>

#include <atomic>
#include <dlfcn.h>

namespace
{

using CreateWindowSurface = EGLSurface (*)(EGLDisplay, EGLConfig, EGLNativeWindowType,
                                           const EGLint *);
using SwapBuffers = EGLBoolean (*)(EGLDisplay, EGLSurface);

std::atomic<long> presentedFrames{0};

EGLSurface EGLAPIENTRY standinCreateWindowSurface(EGLDisplay, EGLConfig, EGLNativeWindowType,
                                                  const EGLint *);

EGLBoolean EGLAPIENTRY standinSwapBuffers(EGLDisplay, EGLSurface);

// EGL's own function: the next definition after this library, or, when EGL
// was loaded before it, the one of the EGL library itself.
template <typename Function> Function eglsOwn(const char *name, Function ours)
{
    auto next = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    if (next && next != ours)
        return next;
    void *egl = dlopen("libEGL.so.1", RTLD_LAZY | RTLD_LOCAL);
    return egl ? reinterpret_cast<Function>(dlsym(egl, name)) : nullptr;
}

EGLSurface EGLAPIENTRY standinCreateWindowSurface(EGLDisplay display, EGLConfig config,
                                                  EGLNativeWindowType window,
                                                  const EGLint *attributes)
{
    static const CreateWindowSurface egl =
        eglsOwn<CreateWindowSurface>("eglCreateWindowSurface", &standinCreateWindowSurface);
    if (!egl)
        return EGL_NO_SURFACE;
    if (const unsigned long x11Window = velStandinLiveWindowId(reinterpret_cast<void *>(window)))
        window = EGLNativeWindowType(x11Window);
    return egl(display, config, window, attributes);
}

EGLBoolean EGLAPIENTRY standinSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    static const SwapBuffers egl = eglsOwn<SwapBuffers>("eglSwapBuffers", &standinSwapBuffers);
    if (!egl)
        return EGL_FALSE;
    const EGLBoolean swapped = egl(display, surface);
    if (swapped)
        presentedFrames.fetch_add(1);
    return swapped;
}

} // namespace

extern "C" EGLAPI EGLSurface EGLAPIENTRY eglCreateWindowSurface(EGLDisplay display,
                                                                EGLConfig config,
                                                                EGLNativeWindowType window,
                                                                const EGLint *attributes)
{
    return standinCreateWindowSurface(display, config, window, attributes);
}

extern "C" EGLAPI EGLBoolean EGLAPIENTRY eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    return standinSwapBuffers(display, surface);
}

long velStandinPresentedFrameCount(void)
{
    return presentedFrames.load();
}
