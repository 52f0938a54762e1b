#include "velglyphlayout.h"

#include <algorithm>
#include <utility>

VelGlyphLayout::VelGlyphLayout(const VelGlyphLayout &other)
    : numGlyphs(other.numGlyphs), m_glyphs(other.m_glyphs), m_advancesX(other.m_advancesX),
      m_advancesY(other.m_advancesY), m_offsets(other.m_offsets)
{
    reseat();
}

VelGlyphLayout &VelGlyphLayout::operator=(const VelGlyphLayout &other)
{
    if (this != &other) {
        VelGlyphLayout copy(other);
        *this = std::move(copy);
    }
    return *this;
}

VelGlyphLayout::VelGlyphLayout(VelGlyphLayout &&other) noexcept
    : numGlyphs(other.numGlyphs), m_glyphs(std::move(other.m_glyphs)),
      m_advancesX(std::move(other.m_advancesX)), m_advancesY(std::move(other.m_advancesY)),
      m_offsets(std::move(other.m_offsets))
{
    reseat();
    other.numGlyphs = 0;
    other.reseat();
}

VelGlyphLayout &VelGlyphLayout::operator=(VelGlyphLayout &&other) noexcept
{
    if (this != &other) {
        numGlyphs = other.numGlyphs;
        m_glyphs = std::move(other.m_glyphs);
        m_advancesX = std::move(other.m_advancesX);
        m_advancesY = std::move(other.m_advancesY);
        m_offsets = std::move(other.m_offsets);
        reseat();
        other.m_glyphs.clear();
        other.m_advancesX.clear();
        other.m_advancesY.clear();
        other.m_offsets.clear();
        other.numGlyphs = 0;
        other.reseat();
    }
    return *this;
}

void VelGlyphLayout::resize(int count)
{
    const size_t n = size_t(std::max(count, 0));
    m_glyphs.resize(n, 0);
    m_advancesX.resize(n);
    m_advancesY.resize(n);
    m_offsets.resize(n);
    numGlyphs = int(n);
    reseat();
}

void VelGlyphLayout::clear()
{
    const size_t n = size_t(std::clamp(numGlyphs, 0, capacity()));
    std::fill_n(m_advancesX.begin(), n, VelFixed());
    std::fill_n(m_advancesY.begin(), n, VelFixed());
    std::fill_n(m_offsets.begin(), n, VelFixedPoint());
}

VelGlyphLayout VelGlyphLayout::mid(int from, int count) const
{
    const int used = std::clamp(numGlyphs, 0, capacity());
    const int start = std::clamp(from, 0, used);
    const int end = count < 0 ? used : std::min(used, start + count);
    VelGlyphLayout out(end - start);
    std::copy(m_glyphs.begin() + start, m_glyphs.begin() + end, out.m_glyphs.begin());
    std::copy(m_advancesX.begin() + start, m_advancesX.begin() + end, out.m_advancesX.begin());
    std::copy(m_advancesY.begin() + start, m_advancesY.begin() + end, out.m_advancesY.begin());
    std::copy(m_offsets.begin() + start, m_offsets.begin() + end, out.m_offsets.begin());
    return out;
}

VelFixed VelGlyphLayout::totalAdvanceX() const
{
    VelFixed total;
    const int used = std::clamp(numGlyphs, 0, capacity());
    for (int i = 0; i < used; ++i)
        total += m_advancesX[size_t(i)];
    return total;
}

void VelGlyphLayout::reseat()
{
    glyphs = m_glyphs.empty() ? nullptr : m_glyphs.data();
    advances_x = m_advancesX.empty() ? nullptr : m_advancesX.data();
    advances_y = m_advancesY.empty() ? nullptr : m_advancesY.data();
    offsets = m_offsets.empty() ? nullptr : m_offsets.data();
}
