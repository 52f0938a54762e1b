#ifndef VELEGLFSANDROIDHOOKS_H
#define VELEGLFSANDROIDHOOKS_H

#include "veleglfshooks.h"

// The device hooks on Android: the sizes, density and orientation the Java
// bridge stored, the bridge's native window, 8-bit channels and no cursor.
class VelEglFSAndroidHooks : public VelEglFSHooks
{
public:
    void platformInit() override;
    void platformDestroy() override;
    EGLNativeDisplayType platformDisplay() const override;
    VelSizeF physicalScreenSize() const override;
    VelSize screenSize() const override;
    VelDpi logicalDpi() const override;
    Vel::ScreenOrientation nativeOrientation() const override;
    Vel::ScreenOrientation orientation() const override;
    int screenDepth() const override;
    VelSurfaceFormat surfaceFormatFor(const VelSurfaceFormat &inputFormat) const override;
    void *createNativeWindow(VelPlatformWindow *platformWindow, const VelSize &size,
                             const VelSurfaceFormat &format) override;
    void destroyNativeWindow(void *window) override;
    bool hasCapability(int capability) const override;
    VelPlatformCursor *createCursor(VelEglFSScreen *screen) const override;
};

#endif
