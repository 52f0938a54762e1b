#include "velandroidplatformfontdatabase.h"

#include "veldir.h"
#include "velenvironment.h"
#include "velfile.h"
#include "velfileinfo.h"
#include "vellogging.h"

VelString VelAndroidPlatformFontDatabase::fontDir() const
{
    return VelString("/system/fonts");
}

void VelAndroidPlatformFontDatabase::populateFontDatabase()
{
    const VelString fontpath = fontDir();
    if (!VelDir(fontpath).exists())
        velFatal("VelFontDatabase: Cannot find font directory %s - is Vel installed correctly?",
                 fontpath.toLocal8Bit().constData());

    // No CaseSensitive filter bit: "*.ttf" also matches "X.TTF".
    const VelDir dir(fontpath);
    const std::vector<VelFileInfo> entries = dir.entryInfoList(
        VelStringList(VelString("*.ttf")), VelDir::AllEntries, VelDir::Name | VelDir::IgnoreCase);
    for (const VelFileInfo &entry : entries)
        addTTFile(VelByteArray(), VelFile::encodeName(entry.absoluteFilePath()));
}

VelStringList VelAndroidPlatformFontDatabase::fallbacksForFamily(const VelString &,
                                                                 VelFontDef::Style,
                                                                 VelFontDef::StyleHint styleHint,
                                                                 int) const
{
    const char *variable =
        styleHint == VelFontDef::Monospace ? "VEL_ANDROID_FONTS_MONOSPACE" : "VEL_ANDROID_FONTS";
    const VelByteArray value = velgetenv(variable);
    // Up to the first NUL, as a C string.
    const VelString families =
        value.isEmpty() ? VelString() : VelString::fromLocal8Bit(value.constData());
    return families.split(VelChar(u';'), Vel::KeepEmptyParts, Vel::CaseSensitive);
}
