#ifndef STANDINEGL_H
#define STANDINEGL_H

// Inside the stand-in library only: the EGL entry points it stands in front
// of, and the record of the EGL objects made through them.

#include <EGL/egl.h>

// EGL's own definition of `name`: the next one after this library, or, when
// EGL was loaded before it, the one of the EGL library itself. Null when
// there is none. `self` is the stand-in's own function, which is never
// answered.
__attribute__((visibility("hidden"))) void *velStandinEglFunction(const char *name,
                                                                  const void *self);

// A surface EGL made (EGL_NO_SURFACE is ignored), counted until it is
// destroyed.
__attribute__((visibility("hidden"))) void velStandinEglSurfaceMade(EGLDisplay display,
                                                                    EGLSurface surface);

#endif
