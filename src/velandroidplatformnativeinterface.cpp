#include "velandroidplatformnativeinterface.h"

#include "androidjnimain.h"

void *VelAndroidPlatformNativeInterface::nativeResourceForIntegration(const VelByteArray &resource)
{
    if (resource == "JavaVM")
        return VelAndroid::javaVM();
    if (resource == "VelActivity")
        return VelAndroid::activity();
    if (resource == "AndroidStylePalettes")
        return &m_palettes;
    if (resource == "AndroidStyleFonts")
        return &m_fonts;
    return nullptr;
}
