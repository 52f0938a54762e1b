#ifndef VELANDROIDPLATFORMFONTDATABASE_H
#define VELANDROIDPLATFORMFONTDATABASE_H

#include "velbasicfontdatabase.h"

// The device's font database: the system font directory, TrueType files only,
// and fallback families named by whoever starts the process.
class VelAndroidPlatformFontDatabase : public VelBasicFontDatabase
{
public:
    VelString fontDir() const override;
    void populateFontDatabase() override;
    VelStringList fallbacksForFamily(const VelString &family, VelFontDef::Style style,
                                     VelFontDef::StyleHint styleHint, int script) const override;
};

#endif
