#ifndef VELPLATFORMNATIVEINTERFACE_H
#define VELPLATFORMNATIVEINTERFACE_H

#include "velbytearray.h"
#include "velobject.h"

class VelOpenGLContext;
class VelWindow;

// Hands platform handles to whoever asks for them by name. Every default answers null:
// a name the platform does not know yields nothing.
class VelPlatformNativeInterface : public VelObject
{
    VEL_OBJECT
public:
    using NativeResourceForContextFunction = void *(*)(VelOpenGLContext *context);

    explicit VelPlatformNativeInterface(VelObject *parent = nullptr);
    ~VelPlatformNativeInterface() override;

    virtual void *nativeResourceForIntegration(const VelByteArray &resource);
    virtual void *nativeResourceForWindow(const VelByteArray &resource, VelWindow *window);
    virtual void *nativeResourceForContext(const VelByteArray &resource, VelOpenGLContext *context);
    virtual NativeResourceForContextFunction
    nativeResourceFunctionForContext(const VelByteArray &resource);
};

#endif
