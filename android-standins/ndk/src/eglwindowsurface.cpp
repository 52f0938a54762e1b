// On a device, EGL takes an ANativeWindow pointer as the native window of a
// window surface. Mesa's EGL on X11 takes the X window id instead, so the
// stand-in library puts its own eglCreateWindowSurface in front of EGL's: a
// live stand-in native window is replaced by its X window id, anything else
// (an X window id given directly) goes through unchanged. The plugin's
// sources thus pass native windows to EGL exactly as they do on a device.

#include "standinegl.h"
#include "standinwindows.h"

#include <EGL/egl.h>

namespace
{

using CreateWindowSurface = EGLSurface (*)(EGLDisplay, EGLConfig, EGLNativeWindowType,
                                           const EGLint *);

EGLSurface EGLAPIENTRY standinCreateWindowSurface(EGLDisplay, EGLConfig, EGLNativeWindowType,
                                                  const EGLint *);

CreateWindowSurface eglsCreateWindowSurface()
{
    return reinterpret_cast<CreateWindowSurface>(velStandinEglFunction(
        "eglCreateWindowSurface", reinterpret_cast<const void *>(&standinCreateWindowSurface)));
}

EGLSurface EGLAPIENTRY standinCreateWindowSurface(EGLDisplay display, EGLConfig config,
                                                  EGLNativeWindowType window,
                                                  const EGLint *attributes)
{
    static const CreateWindowSurface egl = eglsCreateWindowSurface();
    if (!egl)
        return EGL_NO_SURFACE;
    if (const unsigned long x11Window = velStandinLiveWindowId(reinterpret_cast<void *>(window)))
        window = EGLNativeWindowType(x11Window);
    const EGLSurface surface = egl(display, config, window, attributes);
    velStandinEglSurfaceMade(display, surface);
    return surface;
}

} // namespace

extern "C" EGLAPI EGLSurface EGLAPIENTRY eglCreateWindowSurface(EGLDisplay display,
                                                                EGLConfig config,
                                                                EGLNativeWindowType window,
                                                                const EGLint *attributes)
{
    return standinCreateWindowSurface(display, config, window, attributes);
}
