#include "velfontdatabase.h"

#include "velfontengine.h"
#include "velimage.h"
#include "vellogging.h"
#include "velplatformfontdatabase.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>

namespace
{

struct ApplicationFont {
    VelString fileName;
    VelByteArray data;
    VelStringList families;
    bool removed = false;
};

struct EngineKey {
    void *handle;
    VelFontDef def;
    bool operator<(const EngineKey &o) const
    {
        if (handle != o.handle)
            return std::less<void *>()(handle, o.handle);
        return def < o.def;
    }
};

struct RequestKey {
    VelFontDef def;
    int script;
    bool operator<(const RequestKey &o) const
    {
        if (script != o.script)
            return script < o.script;
        return def < o.def;
    }
};

struct Registry {
    // Guards everything below. Recursive because the platform database calls
    // registerFace() from populateFontDatabase()/addApplicationFont() while the
    // registry holds it. It is the innermost lock of the font code: nothing
    // else is locked while it is held except through those calls.
    std::recursive_mutex mutex;
    VelPlatformFontDatabase *database = nullptr;
    bool populated = false;
    std::vector<VelFontDatabase::Face> faces;
    std::map<EngineKey, std::unique_ptr<VelFontEngine>> engines;
    // Engines a platform database built around a cached one (fontEngineMulti).
    std::vector<std::unique_ptr<VelFontEngine>> wrappers;
    std::map<RequestKey, VelFontEngine *> requests;
    std::vector<ApplicationFont> applicationFonts;
    int registeringApplicationFont = -1;
};

// Family names compare by case folding.
bool sameFamily(const VelString &a, const VelString &b)
{
    return a.toCaseFolded() == b.toCaseFolded();
}

bool containsFamily(const VelStringList &list, const VelString &family)
{
    return std::any_of(list.begin(), list.end(),
                       [&family](const VelString &f) { return sameFamily(f, family); });
}

Registry &registry()
{
    static Registry *r = new Registry; // outlives static destructors that may still draw text
    return *r;
}

void dropEngines(Registry &r)
{
    r.requests.clear();
    r.wrappers.clear();
    r.engines.clear();
}

// Engines go before the handles they were made from.
void dropFaces(Registry &r)
{
    dropEngines(r);
    std::vector<VelFontDatabase::Face> faces;
    faces.swap(r.faces);
    if (r.database)
        for (const VelFontDatabase::Face &face : faces)
            r.database->releaseHandle(face.handle);
    r.populated = false;
}

void ensurePopulated(Registry &r)
{
    if (r.populated || !r.database)
        return;
    r.populated = true;
    r.database->populateFontDatabase();
    // Application fonts added before the platform database came are registered now.
    for (size_t i = 0; i < r.applicationFonts.size(); ++i) {
        ApplicationFont &font = r.applicationFonts[i];
        if (font.removed)
            continue;
        r.registeringApplicationFont = int(i);
        font.families = r.database->addApplicationFont(font.data, font.fileName);
        r.registeringApplicationFont = -1;
    }
}

double requestedPixelSize(const VelFontDef &def)
{
    if (def.pixelSize > 0)
        return def.pixelSize;
    const double points = def.pointSize > 0 ? def.pointSize : 12.0;
    return points * 96.0 / 72.0;
}

int styleDistance(int have, int want)
{
    if (have == want)
        return 0;
    // Italic and oblique stand in for each other before upright does.
    return (have == VelFontDef::StyleNormal || want == VelFontDef::StyleNormal) ? 10000 : 1000;
}

long long faceScore(const VelFontDatabase::Face &face, const VelFontDef &request, double pixelSize)
{
    long long score = styleDistance(face.style, request.style);
    score += std::abs(face.weight - request.weight) * 10;
    if (!face.scalable)
        score += (long long)(std::fabs(face.pixelSize - pixelSize) * 50);
    if (!request.ignorePitch && face.fixedPitch != request.fixedPitch)
        score += 5000;
    return score;
}

VelFontEngine *engineForFace(Registry &r, const VelFontDatabase::Face &face,
                             const VelFontDef &request, double pixelSize, int script)
{
    VelFontDef def = request;
    def.family = face.family;
    def.fallBackFamilies.clear();
    def.pixelSize = face.scalable ? pixelSize : face.pixelSize;
    if (def.pointSize <= 0)
        def.pointSize = def.pixelSize * 72.0 / 96.0;
    if (!face.antialiased)
        def.styleStrategy |= VelFontDef::NoAntialias;
    const EngineKey key{face.handle, def};
    const auto cached = r.engines.find(key);
    if (cached != r.engines.end())
        return cached->second.get();
    VelFontEngine *engine = r.database->fontEngine(def, script, face.handle);
    if (!engine)
        return nullptr;
    r.engines.emplace(key, std::unique_ptr<VelFontEngine>(engine));
    VelFontEngine *multi = r.database->fontEngineMulti(engine, script);
    if (multi && multi != engine) {
        r.wrappers.emplace_back(multi);
        return multi;
    }
    return engine;
}

VelStringList candidateFamilies(Registry &r, const VelFontDef &request, int script)
{
    VelStringList candidates;
    auto add = [&candidates](const VelString &family) {
        const VelString trimmed = family.trimmed();
        if (trimmed.isEmpty())
            return;
        if (!containsFamily(candidates, trimmed))
            candidates.append(trimmed);
    };
    const VelStringList requested = request.family.split(VelChar(','));
    for (const VelString &family : requested) {
        add(family);
        add(r.database->resolveFontFamilyAlias(family.trimmed()));
    }
    const VelString first = requested.isEmpty() ? VelString() : requested.first().trimmed();
    for (const VelString &family :
         r.database->fallbacksForFamily(first, VelFontDef::Style(request.style),
                                        VelFontDef::StyleHint(request.styleHint), script))
        add(family);
    for (const VelString &family : request.fallBackFamilies)
        add(family);
    add(r.database->defaultFont().family());
    for (const VelFontDatabase::Face &face : r.faces)
        add(face.family);
    return candidates;
}

} // namespace

void VelFontDatabase::setPlatformFontDatabase(VelPlatformFontDatabase *database)
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (database == r.database)
        return;
    dropFaces(r);
    r.database = database;
}

VelPlatformFontDatabase *VelFontDatabase::platformFontDatabase()
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    return r.database;
}

void VelFontDatabase::clear()
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    dropFaces(r);
}

void VelFontDatabase::registerFace(const Face &face)
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    Face stored = face;
    stored.applicationFontId = r.registeringApplicationFont;
    r.faces.push_back(stored);
    // A new face can be a better match for requests answered before.
    r.requests.clear();
}

std::vector<VelFontDatabase::Face> VelFontDatabase::faces()
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    ensurePopulated(r);
    return r.faces;
}

VelStringList VelFontDatabase::families(int writingSystem)
{
    VelStringList result;
    for (const Face &face : faces()) {
        if (writingSystem != VelWritingSystem::Any && !face.writingSystems.supported(writingSystem))
            continue;
        if (!containsFamily(result, face.family))
            result.append(face.family);
    }
    return result;
}

bool VelFontDatabase::hasFamily(const VelString &family)
{
    return containsFamily(families(), family);
}

VelFontEngine *VelFontDatabase::findFont(const VelFontDef &request, int script)
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (!r.database)
        return nullptr;
    ensurePopulated(r);
    const RequestKey requestKey{request, script};
    const auto known = r.requests.find(requestKey);
    if (known != r.requests.end())
        return known->second;

    const double pixelSize = requestedPixelSize(request);
    VelFontEngine *engine = nullptr;
    for (const VelString &family : candidateFamilies(r, request, script)) {
        std::vector<const Face *> inFamily;
        for (const Face &face : r.faces)
            if (sameFamily(face.family, family))
                inFamily.push_back(&face);
        std::stable_sort(inFamily.begin(), inFamily.end(), [&](const Face *a, const Face *b) {
            return faceScore(*a, request, pixelSize) < faceScore(*b, request, pixelSize);
        });
        // Copies: creating an engine may register faces and move the vector.
        std::vector<Face> ordered;
        for (const Face *face : inFamily)
            ordered.push_back(*face);
        for (const Face &face : ordered) {
            engine = engineForFace(r, face, request, pixelSize, script);
            if (engine)
                break;
        }
        if (engine)
            break;
    }
    if (engine)
        r.requests[requestKey] = engine;
    else
        velWarning("VelFontDatabase: no font can render family \"%s\"",
                   request.family.toUtf8().constData());
    return engine;
}

int VelFontDatabase::cachedEngineCount()
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    return int(r.engines.size() + r.wrappers.size());
}

void VelFontDatabase::clearEngineCache()
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    dropEngines(r);
}

int VelFontDatabase::addApplicationFont(const VelString &fileName)
{
    bool ok = false;
    const VelByteArray data = velReadImageSource(fileName, &ok);
    if (!ok || data.isEmpty())
        return -1;
    return addApplicationFontFromData(data);
}

int VelFontDatabase::addApplicationFontFromData(const VelByteArray &fontData)
{
    if (fontData.isEmpty())
        return -1;
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    const int id = int(r.applicationFonts.size());
    ApplicationFont font;
    font.fileName = VelString(":velmemoryfonts/") + VelString::number((long long)id);
    font.data = fontData;
    r.applicationFonts.push_back(font);
    if (!r.database)
        return id; // registered once a platform database populates
    ensurePopulated(r);
    if (r.applicationFonts[size_t(id)].families.isEmpty()) {
        r.registeringApplicationFont = id;
        r.applicationFonts[size_t(id)].families =
            r.database->addApplicationFont(fontData, font.fileName);
        r.registeringApplicationFont = -1;
    }
    if (r.applicationFonts[size_t(id)].families.isEmpty()) {
        r.applicationFonts[size_t(id)].removed = true;
        r.applicationFonts[size_t(id)].data.clear();
        return -1;
    }
    return id;
}

VelStringList VelFontDatabase::applicationFontFamilies(int id)
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (id < 0 || id >= int(r.applicationFonts.size()) || r.applicationFonts[size_t(id)].removed)
        return VelStringList();
    return r.applicationFonts[size_t(id)].families;
}

bool VelFontDatabase::removeApplicationFont(int id)
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (id < 0 || id >= int(r.applicationFonts.size()) || r.applicationFonts[size_t(id)].removed)
        return false;
    dropEngines(r);
    auto owned = [id](const Face &face) { return face.applicationFontId == id; };
    for (const Face &face : r.faces)
        if (owned(face) && r.database)
            r.database->releaseHandle(face.handle);
    r.faces.erase(std::remove_if(r.faces.begin(), r.faces.end(), owned), r.faces.end());
    // The slot stays so that ids of later fonts keep their meaning.
    r.applicationFonts[size_t(id)].removed = true;
    r.applicationFonts[size_t(id)].families.clear();
    r.applicationFonts[size_t(id)].data.clear();
    return true;
}

VelByteArray vel_fontdata_from_index(int index)
{
    Registry &r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (index < 0 || index >= int(r.applicationFonts.size()))
        return VelByteArray();
    return r.applicationFonts[size_t(index)].data;
}
