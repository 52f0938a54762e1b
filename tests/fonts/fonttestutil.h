#ifndef FONTTESTUTIL_H
#define FONTTESTUTIL_H

#include "velbytearray.h"
#include "velfile.h"
#include "velfontdef.h"
#include "velfontengine_ft.h"
#include "velstring.h"

#include <memory>
#include <string>

// Fonts generated into the build tree by make_test_fonts.py.
inline std::string testFontPath(const char *name)
{
    return std::string(VEL_TEST_FONTS_DIR) + "/" + name;
}

inline std::string dejaVuPath()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

inline VelByteArray readFontFile(const std::string &path)
{
    VelFile file(VelString::fromUtf8(path.c_str()));
    if (!file.open(VelIODevice::ReadOnly))
        return VelByteArray();
    return file.readAll();
}

inline VelFontDef fontDefWithPixelSize(double pixelSize, int weight = VelFontDef::Normal)
{
    VelFontDef def;
    def.pixelSize = pixelSize;
    def.weight = weight;
    return def;
}

// An initialised engine for a font file, or null.
inline std::unique_ptr<VelFontEngineFT>
makeEngine(const std::string &path, double pixelSize, int index = 0,
           VelFontEngine::GlyphFormat format = VelFontEngine::Format_A8,
           int weight = VelFontDef::Normal)
{
    std::unique_ptr<VelFontEngineFT> engine(
        new VelFontEngineFT(fontDefWithPixelSize(pixelSize, weight)));
    FaceId id(VelByteArray(path.c_str()), index);
    if (!engine->init(id, format != VelFontEngine::Format_Mono, format))
        return nullptr;
    return engine;
}

inline glyph_t glyphFor(const VelFontEngineFT &engine, char16_t ch)
{
    const VelChar c(ch);
    VelGlyphLayout layout(1);
    int n = 1;
    if (!engine.stringToCMap(&c, 1, &layout, &n, VelFontEngine::GlyphIndicesOnly))
        return 0;
    return layout.glyphs[0];
}

#endif
