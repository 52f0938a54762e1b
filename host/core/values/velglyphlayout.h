#ifndef VELGLYPHLAYOUT_H
#define VELGLYPHLAYOUT_H

#include "velfixedpoint.h"

#include <vector>

using glyph_t = veluint32;

// A run of shaped glyphs. The arrays are owned and hold capacity() entries;
// numGlyphs (at most capacity()) says how many are in use and may be set
// directly, as shaping code does after filling the arrays. The public
// pointers are re-seated by resize() and by copying, so keep the layout, not
// the pointers.
class VelGlyphLayout
{
public:
    VelGlyphLayout() = default;
    explicit VelGlyphLayout(int count) { resize(count); }
    VelGlyphLayout(const VelGlyphLayout &other);
    VelGlyphLayout &operator=(const VelGlyphLayout &other);
    VelGlyphLayout(VelGlyphLayout &&other) noexcept;
    VelGlyphLayout &operator=(VelGlyphLayout &&other) noexcept;

    // Keeps existing entries, zero-fills new ones and sets numGlyphs = count.
    void resize(int count);
    int capacity() const { return int(m_glyphs.size()); }
    // Zeroes advances and offsets of the glyphs in use (glyph indices stay).
    void clear();
    // A copy of the glyphs [from, from + count), clipped to numGlyphs.
    VelGlyphLayout mid(int from, int count = -1) const;
    VelFixed totalAdvanceX() const;

    glyph_t *glyphs = nullptr;
    VelFixed *advances_x = nullptr;
    VelFixed *advances_y = nullptr;
    VelFixedPoint *offsets = nullptr;
    int numGlyphs = 0;

private:
    void reseat();

    std::vector<glyph_t> m_glyphs;
    std::vector<VelFixed> m_advancesX;
    std::vector<VelFixed> m_advancesY;
    std::vector<VelFixedPoint> m_offsets;
};

#endif
