#include "velplatformfontdatabase.h"

#include "velfontdatabase.h"

#include <cstdlib>

VelPlatformFontDatabase::~VelPlatformFontDatabase() = default;

void VelPlatformFontDatabase::populateFontDatabase() {}

VelFontEngine *VelPlatformFontDatabase::fontEngineMulti(VelFontEngine *fontEngine, int script)
{
    VEL_UNUSED(script);
    return fontEngine;
}

VelFontEngine *VelPlatformFontDatabase::fontEngine(const VelFontDef &fontDef, int script,
                                                   void *handle)
{
    VEL_UNUSED(fontDef);
    VEL_UNUSED(script);
    VEL_UNUSED(handle);
    return nullptr;
}

VelStringList VelPlatformFontDatabase::fallbacksForFamily(const VelString &family,
                                                          VelFontDef::Style style,
                                                          VelFontDef::StyleHint styleHint,
                                                          int script) const
{
    VEL_UNUSED(family);
    VEL_UNUSED(style);
    VEL_UNUSED(styleHint);
    VEL_UNUSED(script);
    return VelStringList();
}

VelStringList VelPlatformFontDatabase::addApplicationFont(const VelByteArray &fontData,
                                                          const VelString &fileName)
{
    VEL_UNUSED(fontData);
    VEL_UNUSED(fileName);
    return VelStringList();
}

void VelPlatformFontDatabase::releaseHandle(void *handle)
{
    VEL_UNUSED(handle);
}

VelFontEngine *VelPlatformFontDatabase::fontEngine(const VelByteArray &fontData, double pixelSize,
                                                   VelFontDef::HintingPreference hintingPreference)
{
    VEL_UNUSED(fontData);
    VEL_UNUSED(pixelSize);
    VEL_UNUSED(hintingPreference);
    return nullptr;
}

VelString VelPlatformFontDatabase::fontDir() const
{
    const char *env = std::getenv("VEL_FONTDIR");
    if (env && *env)
        return VelString::fromLocal8Bit(env);
    return VelString("/usr/share/fonts/truetype/dejavu");
}

VelFont VelPlatformFontDatabase::defaultFont() const
{
    return VelFont(VelString("Sans Serif"));
}

VelString VelPlatformFontDatabase::resolveFontFamilyAlias(const VelString &family) const
{
    return family;
}

bool VelPlatformFontDatabase::fontsAlwaysScalable() const
{
    return false;
}

std::vector<int> VelPlatformFontDatabase::standardSizes() const
{
    return {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
}

void VelPlatformFontDatabase::registerFont(const VelString &familyName, const VelString &styleName,
                                           const VelString &foundryName, int weight,
                                           VelFontDef::Style style, int stretch, bool antialiased,
                                           bool scalable, int pixelSize, bool fixedPitch,
                                           const VelSupportedWritingSystems &writingSystems,
                                           void *handle)
{
    VelFontDatabase::Face face;
    face.family = familyName;
    face.styleName = styleName;
    face.foundry = foundryName;
    face.weight = weight;
    face.style = style;
    face.stretch = stretch;
    face.antialiased = antialiased;
    face.scalable = scalable;
    face.pixelSize = pixelSize;
    face.fixedPitch = fixedPitch;
    face.writingSystems = writingSystems;
    face.handle = handle;
    VelFontDatabase::registerFace(face);
}
