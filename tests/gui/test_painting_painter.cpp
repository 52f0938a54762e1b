#include "test_text_freetypeengine.h"

#include "velfontdatabase.h"
#include "velpainter.h"
#include "velpixmap.h"
#include "velplatformfontdatabase.h"

#include <gtest/gtest.h>

namespace
{

const VelColor halfRed(255, 0, 0, 128);

VelImage blueImage(VelImage::Format format)
{
    VelImage image(4, 4, format);
    VelPainter p(&image);
    p.setCompositionMode(VelPainter::CompositionMode_Source);
    p.fillRect(image.rect(), VelColor(0, 0, 255));
    return image;
}

// Serves one FreeType-backed face for every request.
class OneFaceDatabase : public VelPlatformFontDatabase
{
public:
    std::vector<FreetypeTestEngine *> made;
    void populateFontDatabase() override
    {
        registerFont("DejaVu Sans", VelString(), VelString(), 50, VelFontDef::StyleNormal, 100,
                     true, true, 0, false, VelSupportedWritingSystems(), nullptr);
    }
    VelFontEngine *fontEngine(const VelFontDef &def, int, void *) override
    {
        auto *engine = new FreetypeTestEngine(dejaVuSansPath(), int(def.pixelSize));
        made.push_back(engine);
        return engine;
    }
};

} // namespace

TEST(PainterBlending, HalfRedOverBlueIsExactInEveryFormat)
{
    // Source over: red 255 * 128/255 = 128; blue 255 * (255 - 128)/255 = 127.
    for (VelImage::Format format :
         {VelImage::Format_RGB32, VelImage::Format_ARGB32_Premultiplied, VelImage::Format_ARGB32}) {
        VelImage image = blueImage(format);
        VelPainter p(&image);
        p.fillRect(VelRect(1, 1, 2, 2), halfRed);
        p.end();
        SCOPED_TRACE(int(format));
        EXPECT_EQ(image.pixel(1, 1), velRgba(128, 0, 127, 255));
        EXPECT_EQ(image.pixel(2, 2), velRgba(128, 0, 127, 255));
        EXPECT_EQ(image.pixel(0, 0), velRgba(0, 0, 255, 255)) << "outside the rectangle untouched";
        EXPECT_EQ(image.pixel(3, 1), velRgba(0, 0, 255, 255));
    }
    VelImage rgb16 = blueImage(VelImage::Format_RGB16);
    VelPainter p(&rgb16);
    p.fillRect(VelRect(0, 0, 1, 1), halfRed);
    p.end();
    EXPECT_EQ(reinterpret_cast<const ushort *>(rgb16.constScanLine(0))[0],
              velConvertRgb32To16(velRgb(128, 0, 127)));
}

TEST(PainterBlending, TransparentTargetsKeepCorrectAlpha)
{
    VelImage image(1, 1, VelImage::Format_ARGB32);
    image.fill(0);
    VelPainter p(&image);
    p.fillRect(VelRect(0, 0, 1, 1), halfRed);
    EXPECT_EQ(image.pixel(0, 0), velRgba(255, 0, 0, 128))
        << "over nothing, the colour is unchanged";
    p.fillRect(VelRect(0, 0, 1, 1), halfRed);
    // Alpha: 128 + 128 * 127/255 = 192; red stays pure.
    EXPECT_EQ(velAlpha(image.pixel(0, 0)), 192);
    EXPECT_EQ(velRed(image.pixel(0, 0)), 255);
    p.setCompositionMode(VelPainter::CompositionMode_Source);
    p.fillRect(VelRect(0, 0, 1, 1), VelColor(0, 255, 0, 10));
    EXPECT_EQ(image.pixel(0, 0), velRgba(0, 255, 0, 10)) << "source mode replaces, alpha and all";
}

TEST(PainterGeometry, ClippingTranslationAndLines)
{
    VelImage image(8, 8, VelImage::Format_RGB32);
    image.fill(0xffffffff);
    VelPainter p(&image);
    p.fillRect(VelRect(-5, -5, 7, 7), VelColor(0, 0, 0)); // hangs over the top-left corner
    EXPECT_EQ(image.pixel(1, 1), 0xff000000u);
    EXPECT_EQ(image.pixel(2, 2), 0xffffffffu);
    p.translate(4, 4);
    p.setClipRect(VelRect(0, -4, 2, 8)); // in translated coordinates: device columns 4-5
    p.fillRect(VelRect(-4, -4, 8, 8), VelColor(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 0), 0xffff0000u);
    EXPECT_EQ(image.pixel(5, 7), 0xffff0000u);
    EXPECT_EQ(image.pixel(3, 3), 0xffffffffu);
    EXPECT_EQ(image.pixel(6, 6), 0xffffffffu);
    p.setClipping(false);
    p.translate(-4, -4);
    p.setPen(VelColor(0, 0, 255));
    p.drawLine(0, 7, 7, 0); // anti-diagonal, both ends included
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(image.pixel(i, 7 - i), 0xff0000ffu) << i;
    p.drawLine(-10, 6, 20, 6); // clipped to the image
    EXPECT_EQ(image.pixel(0, 6), 0xff0000ffu);
    EXPECT_EQ(image.pixel(7, 6), 0xff0000ffu);
    EXPECT_FALSE(p.begin(nullptr));
    VelImage mono(4, 4, VelImage::Format_Mono);
    EXPECT_FALSE(p.begin(&mono)) << "formats the painter cannot write are refused";
}

TEST(PainterImages, ScaledImageWithAlphaIsBlended)
{
    VelImage source(2, 1, VelImage::Format_ARGB32);
    source.setPixel(0, 0, velRgba(255, 0, 0, 255));
    source.setPixel(1, 0, velRgba(255, 0, 0, 128));
    VelImage target = blueImage(VelImage::Format_RGB32);
    VelPainter p(&target);
    p.drawImage(VelRect(0, 0, 4, 2), source); // each source pixel covers 2x2
    EXPECT_EQ(target.pixel(0, 0), 0xffff0000u);
    EXPECT_EQ(target.pixel(1, 1), 0xffff0000u);
    EXPECT_EQ(target.pixel(2, 0), velRgba(128, 0, 127, 255));
    EXPECT_EQ(target.pixel(3, 1), velRgba(128, 0, 127, 255));
    EXPECT_EQ(target.pixel(3, 2), 0xff0000ffu);
    // A pixmap paints into its own image.
    VelPixmap pixmap(3, 3);
    pixmap.fill(0xff00ff00);
    VelPainter onPixmap(&pixmap);
    onPixmap.fillRect(VelRect(0, 0, 1, 1), VelColor(0, 0, 0));
    onPixmap.end();
    EXPECT_EQ(pixmap.toImage().pixel(0, 0), 0xff000000u);
    EXPECT_EQ(pixmap.toImage().pixel(1, 1), 0xff00ff00u);
}

TEST(PainterText, GlyphCoverageIsBlendedAtTheBaseline)
{
    OneFaceDatabase database;
    VelFontDatabase::setPlatformFontDatabase(&database);
    VelImage image(40, 30, VelImage::Format_RGB32);
    image.fill(0xffffffff);
    VelPainter p(&image);
    VelFont font("DejaVu Sans");
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(VelColor(0, 0, 0));
    p.drawText(VelPointF(5, 22), VelString("l"));
    p.end();
    ASSERT_EQ(database.made.size(), 1u);
    FreetypeTestEngine *engine = database.made.front();
    const glyph_t glyph = engine->glyphFor('l');
    VelPoint offset;
    const VelImage *mask = engine->lockedAlphaMapForGlyph(
        glyph, VelFixed(), VelFontEngine::Format_A8, VelTransform(), &offset);
    ASSERT_NE(mask, nullptr);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int mx = x - 5 - offset.x(), my = y - 22 - offset.y();
            const int coverage = mask->valid(mx, my) ? mask->constScanLine(my)[mx] : 0;
            // Black over white: each channel is 255 minus the coverage.
            ASSERT_EQ(image.pixel(x, y), velRgb(255 - coverage, 255 - coverage, 255 - coverage))
                << x << "," << y;
            inked += coverage > 0;
        }
    }
    engine->unlockAlphaMapForGlyph();
    EXPECT_GT(inked, 20);
    VelFontDatabase::setPlatformFontDatabase(nullptr);
}
