#include "veleglfsandroidhooks.h"

#include "androidjnimain.h"
#include "velandroidplatformintegration.h"

#include <android/native_window.h>

void VelEglFSAndroidHooks::platformInit() {}

void VelEglFSAndroidHooks::platformDestroy() {}

EGLNativeDisplayType VelEglFSAndroidHooks::platformDisplay() const
{
    return EGL_DEFAULT_DISPLAY;
}

VelSizeF VelEglFSAndroidHooks::physicalScreenSize() const
{
    return VelSizeF(VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth,
                    VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight);
}

VelSize VelEglFSAndroidHooks::screenSize() const
{
    return VelSize(VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                   VelAndroidPlatformIntegration::m_defaultGeometryHeight);
}

VelDpi VelEglFSAndroidHooks::logicalDpi() const
{
    const double dpi = VelAndroid::scaledDensity() * 72;
    return VelDpi(dpi, dpi);
}

Vel::ScreenOrientation VelEglFSAndroidHooks::nativeOrientation() const
{
    return VelAndroidPlatformIntegration::m_nativeOrientation;
}

Vel::ScreenOrientation VelEglFSAndroidHooks::orientation() const
{
    return VelAndroidPlatformIntegration::m_orientation;
}

int VelEglFSAndroidHooks::screenDepth() const
{
    return 32;
}

VelSurfaceFormat VelEglFSAndroidHooks::surfaceFormatFor(const VelSurfaceFormat &inputFormat) const
{
    VelSurfaceFormat format(inputFormat);
    format.setAlphaBufferSize(8);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    return format;
}

void *VelEglFSAndroidHooks::createNativeWindow(VelPlatformWindow *, const VelSize &,
                                               const VelSurfaceFormat &)
{
    return VelAndroid::acquireNativeWindow(true);
}

void VelEglFSAndroidHooks::destroyNativeWindow(void *window)
{
    if (window)
        ANativeWindow_release(static_cast<ANativeWindow *>(window));
}

bool VelEglFSAndroidHooks::hasCapability(int capability) const
{
    return capability == 2 || capability == 3;
}

VelPlatformCursor *VelEglFSAndroidHooks::createCursor(VelEglFSScreen *) const
{
    return nullptr;
}

namespace
{

// Holds nothing but its virtual table, so it is usable before any code runs.
VelEglFSAndroidHooks androidHooks;

} // namespace

VelEglFSHooks *platformHooks = &androidHooks;
