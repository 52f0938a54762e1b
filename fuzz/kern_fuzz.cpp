// Feeds arbitrary bytes to the 'kern' table reader, as the table of an engine
// that has no other tables, then kerns a run made of the glyphs it read.
//
// Input: a 32-bit little-endian 26.6 scaling factor, then the table.
#include "velfontengine.h"

#include "vellogging.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{

class TableEngine : public VelFontEngine
{
public:
    TableEngine(const uint8_t *table, size_t size) : m_table(table), m_size(uint(size)) {}

    bool getSfntTableData(uint tag, uchar *buffer, uint *length) const override
    {
        if (tag != (uint('k') << 24 | uint('e') << 16 | uint('r') << 8 | uint('n')))
            return false;
        if (buffer)
            std::memcpy(buffer, m_table, std::min(*length, m_size));
        *length = m_size;
        return true;
    }
    bool stringToCMap(const VelChar *, int, VelGlyphLayout *, int *, ShaperFlags) const override
    {
        return false;
    }
    glyph_metrics_t boundingBox(const VelGlyphLayout &) override { return glyph_metrics_t(); }
    glyph_metrics_t boundingBox(glyph_t) override { return glyph_metrics_t(); }
    VelFixed ascent() const override { return VelFixed(); }
    VelFixed descent() const override { return VelFixed(); }
    VelFixed leading() const override { return VelFixed(); }
    double maxCharWidth() const override { return 0; }
    const char *name() const override { return "kern-fuzz"; }
    bool canRender(const VelChar *, int) const override { return false; }
    Type type() const override { return TestFontEngine; }

private:
    const uint8_t *m_table;
    uint m_size;
};

} // namespace

static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const int raw =
        int(uint(data[0]) | uint(data[1]) << 8 | uint(data[2]) << 16 | uint(data[3]) << 24);
    TableEngine engine(data + 4, size - 4);
    engine.loadKerningPairs(VelFixed::fromFixed(raw));
    const std::vector<VelFontEngine::KernPair> &pairs = engine.kerningPairs();
    // Lookups are binary searches: the pairs must come sorted and unique.
    for (size_t i = 1; i < pairs.size(); ++i) {
        if (!(pairs[i - 1].left_right < pairs[i].left_right))
            __builtin_trap();
    }
    const int count = int(std::min<size_t>(pairs.size(), 64)) * 2;
    VelGlyphLayout layout(count);
    for (int i = 0; i < count; i += 2) {
        layout.glyphs[i] = pairs[size_t(i / 2)].left_right >> 16;
        layout.glyphs[i + 1] = pairs[size_t(i / 2)].left_right & 0xffff;
    }
    engine.doKerning(&layout, 0);
    engine.doKerning(&layout, VelFontEngine::DesignMetrics);
    return 0;
}
