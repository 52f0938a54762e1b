#ifndef TEST_TEXT_FREETYPEENGINE_H
#define TEST_TEXT_FREETYPEENGINE_H

// A minimal engine over FreeType for tests: it answers what the generic code
// of the base class needs (character map, boxes, outlines, tables) and leaves
// every image operation to the base class.

#include "velfontengine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

class FreetypeTestEngine : public VelFontEngine
{
public:
    FreetypeTestEngine(const char *path, int pixelSize)
    {
        FT_Init_FreeType(&m_library);
        if (FT_New_Face(m_library, path, 0, &m_face) != 0) {
            m_face = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(pixelSize));
        fontDef.family = VelString(m_face->family_name);
        fontDef.pixelSize = pixelSize;
        glyphFormat = Format_A8;
    }
    ~FreetypeTestEngine() override
    {
        if (m_face)
            FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
    }

    bool isValid() const { return m_face != nullptr; }
    FT_Face face() const { return m_face; }
    // Tables the test substitutes for the font's own.
    std::map<uint, VelByteArray> overriddenTables;

    glyph_t glyphFor(uint ucs4) const { return FT_Get_Char_Index(m_face, ucs4); }

    bool getSfntTableData(uint tag, uchar *buffer, uint *length) const override
    {
        const auto it = overriddenTables.find(tag);
        if (it != overriddenTables.end()) {
            if (buffer)
                std::memcpy(buffer, it->second.constData(),
                            std::min<size_t>(*length, it->second.size()));
            *length = uint(it->second.size());
            return true;
        }
        FT_ULong len = buffer ? *length : 0;
        if (FT_Load_Sfnt_Table(m_face, tag, 0, buffer, &len) != 0)
            return false;
        *length = uint(len);
        return true;
    }

    bool stringToCMap(const VelChar *str, int len, VelGlyphLayout *glyphs, int *nglyphs,
                      ShaperFlags flags) const override
    {
        if (*nglyphs < len) {
            *nglyphs = len;
            return false;
        }
        int n = 0;
        for (int i = 0; i < len; ++i) {
            uint ucs4 = str[i].unicode();
            if (VelChar::isHighSurrogate(ucs4) && i + 1 < len && str[i + 1].isLowSurrogate()) {
                ucs4 = VelChar::surrogateToUcs4(str[i].unicode(), str[i + 1].unicode());
                ++i;
            }
            glyphs->glyphs[n++] = FT_Get_Char_Index(m_face, ucs4);
        }
        *nglyphs = n;
        glyphs->numGlyphs = n;
        if (!(flags & GlyphIndicesOnly))
            recalcAdvances(glyphs, flags);
        return true;
    }

    void recalcAdvances(VelGlyphLayout *glyphs, ShaperFlags flags) const override
    {
        for (int i = 0; i < glyphs->numGlyphs; ++i) {
            FT_Load_Glyph(m_face, glyphs->glyphs[i], FT_LOAD_NO_HINTING);
            glyphs->advances_x[i] =
                (flags & DesignMetrics)
                    ? VelFixed::fromFixed(int(m_face->glyph->linearHoriAdvance >> 10))
                    : VelFixed::fromFixed(int((m_face->glyph->advance.x + 32) & ~63));
            glyphs->offsets[i] = VelFixedPoint();
        }
    }

    void addGlyphsToPath(glyph_t *glyphs, VelFixedPoint *positions, int nglyphs,
                         VelPainterPath *path, RenderFlags) override
    {
        for (int i = 0; i < nglyphs; ++i) {
            if (FT_Load_Glyph(m_face, glyphs[i], FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
                m_face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
                continue;
            Walker walker{path, positions[i].x.toReal(), positions[i].y.toReal(), {}};
            FT_Outline_Funcs funcs = {};
            funcs.move_to = [](const FT_Vector *to, void *user) {
                auto *w = static_cast<Walker *>(user);
                w->path->moveTo(w->map(to));
                return 0;
            };
            funcs.line_to = [](const FT_Vector *to, void *user) {
                auto *w = static_cast<Walker *>(user);
                w->path->lineTo(w->map(to));
                return 0;
            };
            funcs.conic_to = [](const FT_Vector *c, const FT_Vector *to, void *user) {
                auto *w = static_cast<Walker *>(user);
                w->path->quadTo(w->map(c), w->map(to));
                return 0;
            };
            funcs.cubic_to = [](const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *to,
                                void *user) {
                auto *w = static_cast<Walker *>(user);
                w->path->cubicTo(w->map(c1), w->map(c2), w->map(to));
                return 0;
            };
            FT_Outline_Decompose(&m_face->glyph->outline, &funcs, &walker);
            path->closeSubpath();
        }
    }

    glyph_metrics_t boundingBox(const VelGlyphLayout &glyphs) override
    {
        glyph_metrics_t total;
        total.x = VelFixed();
        for (int i = 0; i < glyphs.numGlyphs; ++i)
            total.xoff += glyphs.advances_x[i];
        total.y = -ascent();
        total.height = ascent() + descent();
        total.width = total.xoff;
        return total;
    }

    // The control box rounded outwards to whole pixels, as FreeType's own
    // bitmaps are placed.
    glyph_metrics_t boundingBox(glyph_t glyph) override
    {
        glyph_metrics_t gm{VelFixed(), VelFixed(), VelFixed(), VelFixed(), VelFixed(), VelFixed()};
        if (FT_Load_Glyph(m_face, glyph, FT_LOAD_NO_HINTING) != 0)
            return gm;
        const FT_Glyph_Metrics &m = m_face->glyph->metrics;
        const long left = m.horiBearingX & ~63, right = (m.horiBearingX + m.width + 63) & ~63;
        const long top = (m.horiBearingY + 63) & ~63, bottom = (m.horiBearingY - m.height) & ~63;
        gm.x = VelFixed::fromFixed(int(left));
        gm.y = VelFixed::fromFixed(int(-top));
        gm.width = VelFixed::fromFixed(int(right - left));
        gm.height = VelFixed::fromFixed(int(top - bottom));
        gm.xoff = VelFixed::fromFixed(int((m_face->glyph->advance.x + 32) & ~63));
        return gm;
    }

    VelFixed ascent() const override
    {
        return VelFixed::fromFixed(int(m_face->size->metrics.ascender));
    }
    VelFixed descent() const override
    {
        return VelFixed::fromFixed(int(-m_face->size->metrics.descender));
    }
    VelFixed leading() const override
    {
        const FT_Size_Metrics &m = m_face->size->metrics;
        return VelFixed::fromFixed(int(m.height - m.ascender + m.descender));
    }
    double maxCharWidth() const override { return double(m_face->size->metrics.max_advance >> 6); }
    const char *name() const override { return "freetype-test"; }
    bool canRender(const VelChar *str, int len) const override
    {
        for (int i = 0; i < len; ++i)
            if (!FT_Get_Char_Index(m_face, str[i].unicode()))
                return false;
        return true;
    }
    Type type() const override { return TestFontEngine; }

private:
    struct Walker {
        VelPainterPath *path;
        double x;
        double y;
        VelPointF unused;
        VelPointF map(const FT_Vector *v) const
        {
            return VelPointF(x + v->x / 64.0, y - v->y / 64.0);
        }
    };

    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

inline const char *dejaVuSansPath()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

#endif
