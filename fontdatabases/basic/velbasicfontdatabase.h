#ifndef VELBASICFONTDATABASE_H
#define VELBASICFONTDATABASE_H

#include "velbytearray.h"
#include "velplatformfontdatabase.h"
#include "velstring.h"

// What the registry keeps for each registered face, to open it again.
struct FontFileHandle {
    VelString fileName;
    int indexValue = 0;
};

// A font database over the font files of one directory, opened with FreeType.
// All state lives in the host's font registry and the per-thread FreeType data.
class VelBasicFontDatabase : public VelPlatformFontDatabase
{
public:
    VelBasicFontDatabase() = default;
    ~VelBasicFontDatabase() override;

    void populateFontDatabase() override;
    VelFontEngine *fontEngine(const VelFontDef &fontDef, int script, void *handle) override;
    VelStringList fallbacksForFamily(const VelString &family, VelFontDef::Style style,
                                     VelFontDef::StyleHint styleHint, int script) const override;
    VelStringList addApplicationFont(const VelByteArray &fontData,
                                     const VelString &fileName) override;
    void releaseHandle(void *handle) override;
    VelFontEngine *fontEngine(const VelByteArray &fontData, double pixelSize,
                              VelFontDef::HintingPreference hintingPreference) override;

    // Registers every face of the font in fontData (or, when it is empty, of
    // the file) and returns their family names in face order.
    static VelStringList addTTFile(const VelByteArray &fontData, const VelByteArray &file);
    // The family name from a TrueType file's naming table, or "".
    static VelString fontNameFromTTFile(const VelString &filename);

protected:
    // Registers the matching files of fontDir(); ends the process when the
    // directory is missing.
    void populateFromDirectory(const VelStringList &nameFilters, bool refresh);
};

#endif
