// One paragraph, four ways: the engine's warm glyph lookup and advances, its
// warm cached alpha maps, both together (the cached text path), and FreeType
// loading and rendering the same glyphs from scratch (the baseline).
#include "velfontengine_ft.h"

#include <benchmark/benchmark.h>

#include FT_FREETYPE_H

#include <vector>

namespace
{

const char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const double kPixelSize = 16;

const char16_t kParagraph[] =
    u"The quick brown fox jumps over the lazy dog while the five boxing wizards jump "
    u"quickly. Pack my box with five dozen liquor jugs; how vexingly quick daft zebras "
    u"jump! Sphinx of black quartz, judge my vow. Jackdaws love my big sphinx of quartz, "
    u"and a wizard's job is to vex chumps quickly in fog. Amazingly few discotheques "
    u"provide jukeboxes.";

std::vector<VelChar> paragraph()
{
    std::vector<VelChar> text;
    for (const char16_t *p = kParagraph; *p; ++p)
        text.push_back(VelChar(*p));
    return text;
}

std::unique_ptr<VelFontEngineFT> makeEngine()
{
    VelFontDef def;
    def.pixelSize = kPixelSize;
    std::unique_ptr<VelFontEngineFT> engine(new VelFontEngineFT(def));
    if (!engine->init(FaceId(VelByteArray(kFont)), true, VelFontEngine::Format_A8))
        return nullptr;
    return engine;
}

VelGlyphLayout shape(const VelFontEngineFT &engine, const std::vector<VelChar> &text)
{
    VelGlyphLayout layout(int(text.size()));
    int n = int(text.size());
    engine.stringToCMap(text.data(), int(text.size()), &layout, &n, 0);
    return layout;
}

void BM_GlyphLookupAndAdvances(benchmark::State &state)
{
    auto engine = makeEngine();
    if (!engine) {
        state.SkipWithError("font missing");
        return;
    }
    const std::vector<VelChar> text = paragraph();
    shape(*engine, text); // warm the character and glyph caches
    VelGlyphLayout layout(int(text.size()));
    for (auto _ : state) {
        int n = int(text.size());
        engine->stringToCMap(text.data(), int(text.size()), &layout, &n, 0);
        benchmark::DoNotOptimize(layout.advances_x[n - 1]);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}

void BM_LockedAlphaMapWarm(benchmark::State &state)
{
    auto engine = makeEngine();
    if (!engine) {
        state.SkipWithError("font missing");
        return;
    }
    const VelGlyphLayout layout = shape(*engine, paragraph());
    auto drawAll = [&] {
        for (int i = 0; i < layout.numGlyphs; ++i) {
            VelImage *image = engine->lockedAlphaMapForGlyph(layout.glyphs[i], VelFixed(),
                                                             VelFontEngine::Format_A8);
            if (image) {
                benchmark::DoNotOptimize(image->constBits());
                engine->unlockAlphaMapForGlyph();
            }
        }
    };
    drawAll();
    for (auto _ : state)
        drawAll();
    state.SetItemsProcessed(state.iterations() * layout.numGlyphs);
}

// What drawing a line of text asks of the engine, warm: glyphs and advances
// for the characters, then each glyph's locked alpha map.
void BM_CachedGlyphPath(benchmark::State &state)
{
    auto engine = makeEngine();
    if (!engine) {
        state.SkipWithError("font missing");
        return;
    }
    const std::vector<VelChar> text = paragraph();
    VelGlyphLayout layout(int(text.size()));
    auto drawLine = [&] {
        int n = int(text.size());
        engine->stringToCMap(text.data(), int(text.size()), &layout, &n, 0);
        for (int i = 0; i < n; ++i) {
            VelImage *image = engine->lockedAlphaMapForGlyph(layout.glyphs[i], VelFixed(),
                                                             VelFontEngine::Format_A8);
            if (image) {
                benchmark::DoNotOptimize(image->constBits());
                engine->unlockAlphaMapForGlyph();
            }
        }
        benchmark::DoNotOptimize(layout.advances_x[n - 1]);
    };
    drawLine();
    for (auto _ : state)
        drawLine();
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}

void BM_FreetypeLoadAndRender(benchmark::State &state)
{
    auto engine = makeEngine();
    if (!engine) {
        state.SkipWithError("font missing");
        return;
    }
    const VelGlyphLayout layout = shape(*engine, paragraph());
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, kFont, 0, &face)) {
        state.SkipWithError("FreeType failed");
        return;
    }
    FT_Set_Char_Size(face, int(kPixelSize * 64), int(kPixelSize * 64), 0, 0);
    for (auto _ : state) {
        for (int i = 0; i < layout.numGlyphs; ++i) {
            FT_Load_Glyph(face, layout.glyphs[i], FT_LOAD_NO_HINTING);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * layout.numGlyphs);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

BENCHMARK(BM_GlyphLookupAndAdvances);
BENCHMARK(BM_LockedAlphaMapWarm);
BENCHMARK(BM_CachedGlyphPath);
BENCHMARK(BM_FreetypeLoadAndRender);

} // namespace

BENCHMARK_MAIN();
