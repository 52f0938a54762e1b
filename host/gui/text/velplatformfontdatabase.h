#ifndef VELPLATFORMFONTDATABASE_H
#define VELPLATFORMFONTDATABASE_H

#include "velfont.h"
#include "velfontdef.h"
#include "velsupportedwritingsystems.h"
#include "velunicodescript.h"

#include <vector>

class VelFontEngine;

// What a platform integration provides to enumerate and open fonts. The host
// registry calls populateFontDatabase() once before its first lookup; the
// database registers each face with registerFont() and an opaque handle the
// registry owns until it gives it back through releaseHandle().
class VelPlatformFontDatabase
{
public:
    VelPlatformFontDatabase() = default;
    virtual ~VelPlatformFontDatabase();
    VEL_DISABLE_COPY(VelPlatformFontDatabase)

    // Registers nothing by default.
    virtual void populateFontDatabase();
    // The engine that also covers other scripts; by default the engine itself
    // (the registry then does the family fallback per request).
    virtual VelFontEngine *fontEngineMulti(VelFontEngine *fontEngine, int script);
    // An engine for a registered face, or null; owned by the registry's cache.
    virtual VelFontEngine *fontEngine(const VelFontDef &fontDef, int script, void *handle);
    // Families to try when the requested one cannot render; none by default.
    virtual VelStringList fallbacksForFamily(const VelString &family, VelFontDef::Style style,
                                             VelFontDef::StyleHint styleHint, int script) const;
    // Registers the faces of font data (or a file) and returns their families.
    virtual VelStringList addApplicationFont(const VelByteArray &fontData,
                                             const VelString &fileName);
    virtual void releaseHandle(void *handle);
    // An engine straight from font data, not registered; null when unsupported.
    virtual VelFontEngine *fontEngine(const VelByteArray &fontData, double pixelSize,
                                      VelFontDef::HintingPreference hintingPreference);
    // $VEL_FONTDIR, else the host's font folder.
    virtual VelString fontDir() const;
    virtual VelFont defaultFont() const;
    virtual VelString resolveFontFamilyAlias(const VelString &family) const;
    virtual bool fontsAlwaysScalable() const;
    virtual std::vector<int> standardSizes() const;

    // Adds a face to the host's font registry, which takes over handle.
    static void registerFont(const VelString &familyName, const VelString &styleName,
                             const VelString &foundryName, int weight, VelFontDef::Style style,
                             int stretch, bool antialiased, bool scalable, int pixelSize,
                             bool fixedPitch, const VelSupportedWritingSystems &writingSystems,
                             void *handle);
    static VelSupportedWritingSystems
    writingSystemsFromTrueTypeBits(const veluint32 unicodeRange[4],
                                   const veluint32 codePageRange[2])
    {
        return ::writingSystemsFromTrueTypeBits(unicodeRange, codePageRange);
    }
};

#endif
