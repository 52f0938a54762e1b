#ifndef VELEGLFSINTEGRATION_H
#define VELEGLFSINTEGRATION_H

#include "velplatformintegration.h"
#include "velplatformnativeinterface.h"
#include "velsurfaceformat.h"

#include <EGL/egl.h>

class VelBasicFontDatabase;
class VelEglFSScreen;
class VelGenericUnixServices;

// The full-screen EGL integration: one EGL display, one screen covering the
// device, one native window surface shared by every top-level window.
class VelEglFSIntegration : public VelPlatformIntegration, public VelPlatformNativeInterface
{
public:
    VelEglFSIntegration();
    ~VelEglFSIntegration() override;

    void initialize() override;
    bool hasCapability(Capability capability) const override;
    VelPlatformWindow *createPlatformWindow(VelWindow *window) const override;
    VelPlatformBackingStore *createPlatformBackingStore(VelWindow *window) const override;
    VelPlatformOpenGLContext *createPlatformOpenGLContext(VelOpenGLContext *context) const override;
    VelPlatformOffscreenSurface *
    createPlatformOffscreenSurface(VelOffscreenSurface *surface) const override;
    VelAbstractEventDispatcher *createEventDispatcher() const override;
    VelPlatformFontDatabase *fontDatabase() const override;
    VelPlatformServices *services() const override;
    VelPlatformInputContext *inputContext() const override;
    VelPlatformNativeInterface *nativeInterface() const override;
    VelVariant styleHint(StyleHint hint) const override;

    void *nativeResourceForIntegration(const VelByteArray &resource) override;

    EGLDisplay display() const { return m_display; }
    VelEglFSScreen *screen() const { return m_screen; }

    static EGLConfig chooseConfig(EGLDisplay display, const VelSurfaceFormat &format);

protected:
    virtual VelEglFSScreen *createScreen() const;

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    VelBasicFontDatabase *m_fontDatabase;              // owned
    VelGenericUnixServices *m_services;                // owned
    VelEglFSScreen *m_screen = nullptr;                // owned
    VelPlatformInputContext *m_inputContext = nullptr; // not owned
};

#endif
