// Registers arbitrary font data from memory, then opens it as an engine and
// renders a few glyphs, so that the loader and the caches see hostile fonts.
#include "velbasicfontdatabase.h"
#include "velfontdatabase.h"
#include "velfontengine_ft.h"

#include "vellogging.h"

#include <cstdint>
#include <memory>

namespace
{
class FuzzDatabase : public VelBasicFontDatabase
{
public:
    void populateFontDatabase() override {}
};
} // namespace

// Hostile fonts make the code under test log on most inputs; the messages
// would cost more than the parsing.
static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzDatabase database;
    static const bool installed = (VelFontDatabase::setPlatformFontDatabase(&database), true);
    (void)installed;
    const VelByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    VelBasicFontDatabase::addTTFile(bytes, VelByteArray("fuzz.ttf"));
    VelFontDatabase::clear();

    std::unique_ptr<VelFontEngine> engine(
        database.fontEngine(bytes, 17, VelFontDef::PreferDefaultHinting));
    if (!engine)
        return 0;
    const VelChar text[] = {VelChar(u'A'), VelChar(u'g'), VelChar(u'\t'), VelChar(char16_t(0x416))};
    VelGlyphLayout layout(4);
    int n = 4;
    if (!engine->stringToCMap(text, 4, &layout, &n, 0))
        return 0;
    engine->doKerning(&layout, 0);
    engine->boundingBox(layout);
    for (int i = 0; i < n; ++i) {
        if (engine->lockedAlphaMapForGlyph(layout.glyphs[i], VelFixed(), VelFontEngine::Format_A8))
            engine->unlockAlphaMapForGlyph();
        VelTransform rotated;
        rotated.rotate(30);
        if (engine->lockedAlphaMapForGlyph(layout.glyphs[i], VelFixed(), VelFontEngine::Format_A8,
                                           rotated))
            engine->unlockAlphaMapForGlyph();
        VelPainterPath path;
        glyph_metrics_t metrics;
        engine->getUnscaledGlyph(layout.glyphs[i], &path, &metrics);
    }
    return 0;
}
