#ifndef VELANDROIDPLATFORMNATIVEINTERFACE_H
#define VELANDROIDPLATFORMNATIVEINTERFACE_H

#include "velfont.h"
#include "velpalette.h"
#include "velplatformnativeinterface.h"

#include <unordered_map>

// Hands the Java VM, the activity and the style tables to whoever asks by name.
class VelAndroidPlatformNativeInterface : public VelPlatformNativeInterface
{
public:
    void *nativeResourceForIntegration(const VelByteArray &resource) override;

    std::unordered_map<int, VelPalette> m_palettes;
    std::unordered_map<int, VelFont> m_fonts;
};

#endif
