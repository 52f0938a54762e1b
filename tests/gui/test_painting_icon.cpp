#include "velfont.h"
#include "velicon.h"
#include "velpalette.h"

#include <gtest/gtest.h>

#include <unordered_map>

TEST(Icons, NullPixmapsAndDisabledMode)
{
    EXPECT_TRUE(VelIcon().isNull());
    EXPECT_TRUE(VelIcon().pixmap(16).isNull());
    EXPECT_TRUE(VelIcon(VelPixmap()).isNull()) << "a null pixmap adds nothing";

    VelImage red(8, 4, VelImage::Format_ARGB32);
    red.fill(0xffff0000);
    VelIcon icon;
    icon.addImage(red);
    ASSERT_FALSE(icon.isNull());
    const VelImage normal = icon.pixmap(16, VelIcon::Normal, VelIcon::Off).toImage();
    ASSERT_EQ(normal.size(), VelSize(16, 16));
    // Aspect ratio kept: 16x8 picture centred vertically.
    EXPECT_EQ(normal.pixel(0, 4), 0xffff0000u);
    EXPECT_EQ(normal.pixel(15, 11), 0xffff0000u);
    EXPECT_EQ(velAlpha(normal.pixel(0, 3)), 0);
    EXPECT_EQ(velAlpha(normal.pixel(0, 12)), 0);

    const VelImage disabled = icon.pixmap(16, VelIcon::Disabled, VelIcon::Off).toImage();
    const VelRgb grey = disabled.pixel(8, 8);
    EXPECT_EQ(velRed(grey), velGreen(grey));
    EXPECT_EQ(velGreen(grey), velBlue(grey)) << "disabled icons lose their colour";
    EXPECT_LT(velAlpha(grey), 255);
    EXPECT_EQ(velAlpha(disabled.pixel(0, 0)), 0);
}

TEST(Icons, BestSizeAndState)
{
    VelImage small(8, 8, VelImage::Format_ARGB32), large(32, 32, VelImage::Format_ARGB32);
    small.fill(0xff00ff00);
    large.fill(0xff0000ff);
    VelIcon icon;
    icon.addImage(small);
    icon.addImage(large);
    EXPECT_EQ(icon.pixmap(8).toImage().pixel(4, 4), 0xff00ff00u);
    EXPECT_EQ(icon.pixmap(24).toImage().pixel(4, 4), 0xff0000ffu)
        << "scaling down beats scaling up";
    VelImage on(8, 8, VelImage::Format_ARGB32);
    on.fill(0xffffff00);
    icon.addImage(on, VelIcon::Normal, VelIcon::On);
    EXPECT_EQ(icon.pixmap(8, VelIcon::Normal, VelIcon::On).toImage().pixel(1, 1), 0xffffff00u);
    EXPECT_EQ(icon.availableSizes().size(), 2u);
}

TEST(PaletteAndFont, ValueTypesUsableAsHashValues)
{
    std::unordered_map<int, VelPalette> palettes;
    VelPalette p;
    p.setColor(VelPalette::Window, VelColor(1, 2, 3));
    palettes[3] = p;
    EXPECT_EQ(palettes[3].color(VelPalette::Disabled, VelPalette::Window), VelColor(1, 2, 3));
    EXPECT_NE(palettes[3], VelPalette());
    EXPECT_EQ(velHash(palettes[3]), velHash(p));
    p.setColor(VelPalette::Active, VelPalette::Text, VelColor(9, 9, 9));
    EXPECT_EQ(p.color(VelPalette::Active, VelPalette::Text), VelColor(9, 9, 9));
    EXPECT_NE(p.color(VelPalette::Inactive, VelPalette::Text), VelColor(9, 9, 9));

    const VelFont font("Roboto", 19);
    EXPECT_EQ(font.family(), VelString("Roboto"));
    EXPECT_EQ(font.pointSize(), 19);
    EXPECT_EQ(font.pixelSize(), -1);
    std::unordered_map<int, VelFont> fonts;
    fonts.emplace(5, font);
    EXPECT_EQ(fonts.at(5), font);
    const VelFontDef def = font.fontDef(96);
    EXPECT_NEAR(def.pixelSize, 19 * 96 / 72.0, 1e-9);
    VelFont pixels = font;
    pixels.setPixelSize(30);
    EXPECT_EQ(pixels.pointSize(), -1);
    EXPECT_NE(pixels, font);
    pixels.setBold(true);
    EXPECT_EQ(pixels.weight(), VelFontDef::Bold);
}
