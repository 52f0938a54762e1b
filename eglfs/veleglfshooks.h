#ifndef VELEGLFSHOOKS_H
#define VELEGLFSHOOKS_H

#include "velplatformscreen.h"
#include "velsize.h"
#include "velsizef.h"
#include "velsurfaceformat.h"

#include <EGL/egl.h>

class VelEglFSScreen;
class VelPlatformCursor;
class VelPlatformWindow;

// Everything device-specific the full-screen EGL backend asks. The defaults
// describe a Linux framebuffer device; a platform replaces what it knows better.
class VelEglFSHooks
{
public:
    virtual ~VelEglFSHooks();
    virtual void platformInit();
    virtual void platformDestroy();
    virtual EGLNativeDisplayType platformDisplay() const;
    virtual VelSizeF physicalScreenSize() const;
    virtual VelSize screenSize() const;
    virtual VelDpi logicalDpi() const;
    virtual Vel::ScreenOrientation nativeOrientation() const;
    virtual Vel::ScreenOrientation orientation() const;
    virtual int screenDepth() const;
    virtual int screenFormat() const;
    virtual VelSurfaceFormat surfaceFormatFor(const VelSurfaceFormat &inputFormat) const;
    // Native windows are opaque handles here; eglNativeWindowFor turns one into
    // what eglCreateWindowSurface takes on this device.
    virtual void *createNativeWindow(VelPlatformWindow *platformWindow, const VelSize &size,
                                     const VelSurfaceFormat &format);
    virtual void destroyNativeWindow(void *window);
    virtual bool hasCapability(int capability) const;
    virtual VelPlatformCursor *createCursor(VelEglFSScreen *screen) const;
    virtual bool filterConfig(EGLDisplay display, EGLConfig config) const;
    virtual void waitForVSync() const;
    virtual const char *fbDeviceName() const;
    virtual EGLNativeWindowType eglNativeWindowFor(void *nativeWindow) const;
};

// The hooks object in force for the whole process; valid before any code runs.
extern VelEglFSHooks *platformHooks;

#endif
