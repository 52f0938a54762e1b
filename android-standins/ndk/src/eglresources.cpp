// The EGL objects an app makes, counted where they are made and destroyed, so
// that a long run can show whether surfaces or contexts pile up: EGL itself
// has no query for the objects alive on a display. The stand-in library puts
// its own definitions in front of EGL's (as it does for
// eglCreateWindowSurface) and passes every call through unchanged.

#include "standinegl.h"
#include "velstandin.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>
#include <set>
#include <utility>

namespace
{

using Handle = std::pair<EGLDisplay, void *>;

// Guards surfaces and contexts. Taken alone, never across a call into EGL.
// The sets are never destroyed: an application thread may still render
// while the process runs its exit-time destructors.
std::mutex registryMutex;
std::set<Handle> &surfaces = *new std::set<Handle>;
std::set<Handle> &contexts = *new std::set<Handle>;
std::atomic<long> swaps{0};

void remember(std::set<Handle> *live, EGLDisplay display, void *object)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    live->insert(Handle(display, object));
}

// Only objects this library saw made are forgotten, so a destroy of a stale
// or foreign handle cannot drive the count below what is really alive.
void forget(std::set<Handle> *live, EGLDisplay display, void *object)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    live->erase(Handle(display, object));
}

// eglTerminate marks everything of the display for deletion; what the app
// did not destroy itself is gone with it (and a later handle of the same
// value is a new object).
void forgetDisplay(EGLDisplay display)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    for (std::set<Handle> *live : {&surfaces, &contexts}) {
        for (auto it = live->begin(); it != live->end();)
            it = it->first == display ? live->erase(it) : std::next(it);
    }
}

template <typename Function> Function egl(const char *name, Function self)
{
    return reinterpret_cast<Function>(
        velStandinEglFunction(name, reinterpret_cast<const void *>(self)));
}

} // namespace

void *velStandinEglFunction(const char *name, const void *self)
{
    void *next = dlsym(RTLD_NEXT, name);
    if (next && next != self)
        return next;
    void *library = dlopen("libEGL.so.1", RTLD_LAZY | RTLD_LOCAL);
    next = library ? dlsym(library, name) : nullptr;
    return next != self ? next : nullptr;
}

void velStandinEglSurfaceMade(EGLDisplay display, EGLSurface surface)
{
    if (surface != EGL_NO_SURFACE)
        remember(&surfaces, display, surface);
}

extern "C" {

EGLAPI EGLSurface EGLAPIENTRY eglCreatePbufferSurface(EGLDisplay display, EGLConfig config,
                                                      const EGLint *attributes)
{
    static const auto next = egl("eglCreatePbufferSurface", &eglCreatePbufferSurface);
    if (!next)
        return EGL_NO_SURFACE;
    const EGLSurface surface = next(display, config, attributes);
    velStandinEglSurfaceMade(display, surface);
    return surface;
}

EGLAPI EGLBoolean EGLAPIENTRY eglDestroySurface(EGLDisplay display, EGLSurface surface)
{
    static const auto next = egl("eglDestroySurface", &eglDestroySurface);
    if (!next)
        return EGL_FALSE;
    const EGLBoolean destroyed = next(display, surface);
    if (destroyed)
        forget(&surfaces, display, surface);
    return destroyed;
}

EGLAPI EGLContext EGLAPIENTRY eglCreateContext(EGLDisplay display, EGLConfig config,
                                               EGLContext share, const EGLint *attributes)
{
    static const auto next = egl("eglCreateContext", &eglCreateContext);
    if (!next)
        return EGL_NO_CONTEXT;
    const EGLContext context = next(display, config, share, attributes);
    if (context != EGL_NO_CONTEXT)
        remember(&contexts, display, context);
    return context;
}

EGLAPI EGLBoolean EGLAPIENTRY eglDestroyContext(EGLDisplay display, EGLContext context)
{
    static const auto next = egl("eglDestroyContext", &eglDestroyContext);
    if (!next)
        return EGL_FALSE;
    const EGLBoolean destroyed = next(display, context);
    if (destroyed)
        forget(&contexts, display, context);
    return destroyed;
}

EGLAPI EGLBoolean EGLAPIENTRY eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    static const auto next = egl("eglSwapBuffers", &eglSwapBuffers);
    if (!next)
        return EGL_FALSE;
    const EGLBoolean swapped = next(display, surface);
    if (swapped)
        swaps.fetch_add(1, std::memory_order_relaxed);
    return swapped;
}

EGLAPI EGLBoolean EGLAPIENTRY eglTerminate(EGLDisplay display)
{
    static const auto next = egl("eglTerminate", &eglTerminate);
    if (!next)
        return EGL_FALSE;
    const EGLBoolean terminated = next(display);
    if (terminated)
        forgetDisplay(display);
    return terminated;
}

int velStandinLiveEglSurfaceCount(void)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    return static_cast<int>(surfaces.size());
}

int velStandinLiveEglContextCount(void)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    return static_cast<int>(contexts.size());
}

long velStandinEglSwapCount(void)
{
    return swaps.load(std::memory_order_relaxed);
}
}
