#ifndef VELFONTDATABASE_H
#define VELFONTDATABASE_H

#include "velfontdef.h"
#include "velsupportedwritingsystems.h"
#include "velunicodescript.h"

#include <vector>

class VelFontEngine;
class VelPlatformFontDatabase;

// The host's font registry: the faces the platform font database registered,
// request matching and the cache of engines (which it owns).
//
// Everything is static and guarded by one recursive lock, because the platform
// database calls back into registerFace() while the registry asks it to
// populate or to add application fonts.
class VelFontDatabase
{
public:
    struct Face {
        VelString family;
        VelString styleName;
        VelString foundry;
        int weight = VelFontDef::Normal;
        VelFontDef::Style style = VelFontDef::StyleNormal;
        int stretch = VelFontDef::Unstretched;
        bool antialiased = true;
        bool scalable = true;
        int pixelSize = 0;
        bool fixedPitch = false;
        VelSupportedWritingSystems writingSystems;
        void *handle = nullptr;
        int applicationFontId = -1;
    };

    // The database of the platform integration (not owned). Changing it drops
    // every engine and gives every handle back to the previous database.
    static void setPlatformFontDatabase(VelPlatformFontDatabase *database);
    static VelPlatformFontDatabase *platformFontDatabase();
    // Drops engines and faces (handles go back to the platform database); the
    // next lookup populates again.
    static void clear();

    static void registerFace(const Face &face);
    // Registered faces, after populating if that has not happened yet.
    static std::vector<Face> faces();
    static VelStringList families(int writingSystem = VelWritingSystem::Any);
    static bool hasFamily(const VelString &family);

    // The engine for a request: the best face of the first family that can
    // render it (requested family, its alias, the platform's fallbacks, the
    // request's fallbacks, the default font, then any family). Shared and owned
    // by the cache; null only when no face at all can be opened.
    static VelFontEngine *findFont(const VelFontDef &request,
                                   int script = VelUnicodeScript::Common);
    static int cachedEngineCount();
    static void clearEngineCache();

    // Application fonts: -1 when the data registers no face.
    static int addApplicationFont(const VelString &fileName);
    static int addApplicationFontFromData(const VelByteArray &fontData);
    static VelStringList applicationFontFamilies(int id);
    static bool removeApplicationFont(int id);
};

// The bytes of application font n (registered under ":velmemoryfonts/n").
VelByteArray vel_fontdata_from_index(int index);

#endif
