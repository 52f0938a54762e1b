#include "velplatformnativeinterface.h"

VEL_META_BEGIN(VelPlatformNativeInterface, VelObject)
VEL_META_END

VelPlatformNativeInterface::VelPlatformNativeInterface(VelObject *parent) : VelObject(parent) {}

VelPlatformNativeInterface::~VelPlatformNativeInterface() = default;

void *VelPlatformNativeInterface::nativeResourceForIntegration(const VelByteArray &resource)
{
    return nullptr;
}

void *VelPlatformNativeInterface::nativeResourceForWindow(const VelByteArray &resource,
                                                          VelWindow *window)
{
    return nullptr;
}

void *VelPlatformNativeInterface::nativeResourceForContext(const VelByteArray &resource,
                                                           VelOpenGLContext *context)
{
    return nullptr;
}

VelPlatformNativeInterface::NativeResourceForContextFunction
VelPlatformNativeInterface::nativeResourceFunctionForContext(const VelByteArray &resource)
{
    return nullptr;
}
