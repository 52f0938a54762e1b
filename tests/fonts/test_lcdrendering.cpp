// Sub-pixel (LCD) glyphs of the engine against FreeType's own LCD rendering of
// the same outlines, filtered with the same 1-3-8-3-1 weights. This program's
// copy of the engine is built with AddressSanitizer, so a filter that reads
// past its scratch rows fails here even where the bytes it reads happen to be
// blank.
#include "fonttestutil.h"

#include <gtest/gtest.h>

#include FT_LCD_FILTER_H

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Engine = VelFontEngineFT;

// One glyph rendered by FreeType in LCD mode: three sub-pixels a pixel, rows
// from the top; pixel column 0 is bitmapLeft pixels right of the pen.
struct Reference {
    std::vector<uint8_t> subpixels;
    int width = 0; // sub-pixels
    int rows = 0;
    int left = 0; // pixels
    int top = 0;  // pixels above the baseline

    int at(int subpixel, int row) const
    {
        if (subpixel < 0 || subpixel >= width || row < 0 || row >= rows)
            return 0;
        return subpixels[size_t(row) * width + subpixel];
    }
};

class FreeTypeLcd
{
public:
    explicit FreeTypeLcd(const std::string &path, int pixelSize)
    {
        if (FT_Init_FreeType(&m_library) || FT_New_Face(m_library, path.c_str(), 0, &m_face))
            return;
        FT_Set_Char_Size(m_face, pixelSize * 64, pixelSize * 64, 0, 0);
        // The engine's filter, in FreeType's units (weights out of 256).
        unsigned char weights[5] = {16, 48, 128, 48, 16};
        m_ok = FT_Library_SetLcdFilterWeights(m_library, weights) == 0;
    }
    ~FreeTypeLcd()
    {
        if (m_face)
            FT_Done_Face(m_face);
        if (m_library)
            FT_Done_FreeType(m_library);
    }
    bool ok() const { return m_ok; }

    Reference render(glyph_t glyph) const
    {
        Reference ref;
        if (FT_Load_Glyph(m_face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ||
            FT_Render_Glyph(m_face->glyph, FT_RENDER_MODE_LCD))
            return ref;
        const FT_Bitmap &bitmap = m_face->glyph->bitmap;
        ref.width = int(bitmap.width);
        ref.rows = int(bitmap.rows);
        ref.left = m_face->glyph->bitmap_left;
        ref.top = m_face->glyph->bitmap_top;
        for (int y = 0; y < ref.rows; ++y) {
            const uint8_t *row = bitmap.buffer + y * bitmap.pitch;
            ref.subpixels.insert(ref.subpixels.end(), row, row + ref.width);
        }
        return ref;
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    bool m_ok = false;
};

struct Channels {
    int r, g, b, a;
};

Channels channelsAt(const VelImage &image, int x, int y)
{
    const uint v = reinterpret_cast<const uint *>(image.constScanLine(y))[x];
    return Channels{int((v >> 16) & 0xff), int((v >> 8) & 0xff), int(v & 0xff), int(v >> 24)};
}

struct Comparison {
    int worst = 0; // largest difference of one sub-pixel
    int inked = 0; // sub-pixels either side covers
    bool alphaIsGreen = true;
    std::string where;
};

// Compares every pixel either rendering covers, in coordinates relative to
// the pen: the engine's pixel at column c (offset x) holds the sub-pixels
// 3(x + c) .. 3(x + c) + 2.
Comparison compare(const VelImage &image, const VelPoint &offset, const Reference &ref, bool bgr)
{
    Comparison result;
    const int firstColumn = std::min(offset.x(), ref.left) - 1;
    const int lastColumn = std::max(offset.x() + image.width(), ref.left + ref.width / 3) + 1;
    const int topRow = std::min(offset.y(), -ref.top) - 1;
    const int bottomRow = std::max(offset.y() + image.height(), -ref.top + ref.rows) + 1;
    for (int y = topRow; y < bottomRow; ++y) {
        for (int px = firstColumn; px < lastColumn; ++px) {
            const int ix = px - offset.x();
            const int iy = y - offset.y();
            const bool inside = ix >= 0 && ix < image.width() && iy >= 0 && iy < image.height();
            const Channels c = inside ? channelsAt(image, ix, iy) : Channels{0, 0, 0, 0};
            if (inside && c.a != c.g)
                result.alphaIsGreen = false;
            const int ours[3] = {bgr ? c.b : c.r, c.g, bgr ? c.r : c.b};
            for (int k = 0; k < 3; ++k) {
                const int theirs = ref.at(3 * (px - ref.left) + k, y + ref.top);
                const int diff = std::abs(ours[k] - theirs);
                if (ours[k] || theirs)
                    ++result.inked;
                if (diff > result.worst) {
                    result.worst = diff;
                    result.where = "pixel (" + std::to_string(px) + "," + std::to_string(y) +
                                   ") sub-pixel " + std::to_string(k) + ": engine " +
                                   std::to_string(ours[k]) + ", FreeType " + std::to_string(theirs);
                }
            }
        }
    }
    return result;
}

class LcdRendering : public ::testing::TestWithParam<int>
{
};

TEST_P(LcdRendering, HorizontalLayoutsMatchFreeType)
{
    const int pixelSize = GetParam();
    FreeTypeLcd freetype(dejaVuPath(), pixelSize);
    ASSERT_TRUE(freetype.ok()) << "FreeType without LCD filtering";
    for (const Engine::SubpixelLayout layout : {Engine::Subpixel_RGB, Engine::Subpixel_BGR}) {
        auto engine = makeEngine(dejaVuPath(), pixelSize);
        ASSERT_TRUE(engine);
        engine->setSubpixelLayout(layout);
        const bool bgr = layout == Engine::Subpixel_BGR;
        // Thin stems, curves, a descender, a wide glyph and one touching the
        // pen position, so that ink reaches every edge of the scratch rows.
        for (const char16_t ch : std::u16string(u"ilWgm@|j")) {
            const glyph_t glyph = glyphFor(*engine, ch);
            ASSERT_NE(glyph, 0u);
            VelPoint offset;
            VelImage *image = engine->lockedAlphaMapForGlyph(
                glyph, VelFixed(), VelFontEngine::Format_A32, VelTransform(), &offset);
            ASSERT_NE(image, nullptr) << char(ch);
            EXPECT_EQ(image->format(), VelImage::Format_ARGB32);
            const VelImage copy = image->copy();
            engine->unlockAlphaMapForGlyph();

            const Reference ref = freetype.render(glyph);
            ASSERT_GT(ref.width, 0) << char(ch);
            const Comparison result = compare(copy, offset, ref, bgr);
            EXPECT_GT(result.inked, 20) << char(ch) << ": nothing was drawn";
            EXPECT_LE(result.worst, 1) << char(ch) << " at " << pixelSize << " px, "
                                       << (bgr ? "BGR" : "RGB") << ": " << result.where;
            EXPECT_TRUE(result.alphaIsGreen) << char(ch);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LcdRendering, ::testing::Values(9, 16, 41));

TEST(LcdRenderingRecords, SubPixelGlyphsAreWiderByTheFilterMargin)
{
    auto plain = makeEngine(dejaVuPath(), 16, 0, VelFontEngine::Format_A32);
    auto lcd = makeEngine(dejaVuPath(), 16, 0, VelFontEngine::Format_A32);
    ASSERT_TRUE(plain && lcd);
    lcd->setSubpixelLayout(Engine::Subpixel_RGB);
    const glyph_t glyph = glyphFor(*plain, u'H');
    std::unique_ptr<Engine::Glyph> gray(
        plain->loadGlyph(nullptr, glyph, VelFixed(), VelFontEngine::Format_A32));
    std::unique_ptr<Engine::Glyph> sub(
        lcd->loadGlyph(nullptr, glyph, VelFixed(), VelFontEngine::Format_A32));
    ASSERT_TRUE(gray && sub);
    // One pixel of filter spill on each side, the pen offset moved along.
    EXPECT_EQ(sub->width, gray->width + 2);
    EXPECT_EQ(sub->height, gray->height);
    EXPECT_EQ(sub->x, gray->x - 1);
    EXPECT_EQ(sub->advance, gray->advance);
}

// The height-weighted centre of one channel of a 32-bit record, in rows.
double channelCentre(const Engine::Glyph &glyph, int shift)
{
    const uint *pixels = reinterpret_cast<const uint *>(glyph.data);
    double sum = 0, weighted = 0;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const double v = (pixels[y * glyph.width + x] >> shift) & 0xff;
            sum += v;
            weighted += v * y;
        }
    }
    return sum > 0 ? weighted / sum : -1;
}

TEST(LcdRenderingRecords, VerticalLayoutsKeepTheGlyphSizeAndOrderTheRows)
{
    auto plain = makeEngine(dejaVuPath(), 16, 0, VelFontEngine::Format_A32);
    ASSERT_TRUE(plain);
    const glyph_t glyph = glyphFor(*plain, u'H');
    std::unique_ptr<Engine::Glyph> gray(
        plain->loadGlyph(nullptr, glyph, VelFixed(), VelFontEngine::Format_A32));
    ASSERT_TRUE(gray);
    for (const Engine::SubpixelLayout layout : {Engine::Subpixel_VRGB, Engine::Subpixel_VBGR}) {
        auto lcd = makeEngine(dejaVuPath(), 16, 0, VelFontEngine::Format_A32);
        ASSERT_TRUE(lcd);
        lcd->setSubpixelLayout(layout);
        std::unique_ptr<Engine::Glyph> sub(
            lcd->loadGlyph(nullptr, glyph, VelFixed(), VelFontEngine::Format_A32));
        ASSERT_TRUE(sub);
        EXPECT_EQ(sub->width, gray->width);
        EXPECT_EQ(sub->height, gray->height);
        // Red stands for the upper third of each pixel, so the red image
        // shows the ink lower down than the blue one; the other way round
        // for a BGR panel.
        const double red = channelCentre(*sub, 16);
        const double blue = channelCentre(*sub, 0);
        ASSERT_GE(red, 0);
        ASSERT_GE(blue, 0);
        if (layout == Engine::Subpixel_VRGB)
            EXPECT_GT(red, blue + 0.1);
        else
            EXPECT_LT(red + 0.1, blue);
    }
}

} // namespace
