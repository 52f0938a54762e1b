#ifndef VELANDROIDPLATFORMSERVICES_H
#define VELANDROIDPLATFORMSERVICES_H

#include "velplatformservices.h"

#include <jni.h>

// Opens URLs and documents through the Java side.
class VelAndroidPlatformServices : public VelPlatformServices
{
public:
    VelAndroidPlatformServices();

    bool openUrl(const VelUrl &url) override;
    bool openDocument(const VelUrl &url) override;
    VelByteArray desktopEnvironment() const override;

private:
    jmethodID m_openURIMethodID = nullptr;
};

#endif
