// The Android theme and the integration's theme, clipboard and dialog
// answers, before any Java VM exists: style choice from the environment,
// palette and font key folding over the native interface's tables, and the
// message dialog that cannot be shown without Java.

#include "velandroidplatformdialoghelpers.h"
#include "velandroidplatformintegration.h"
#include "velandroidplatformnativeinterface.h"
#include "velandroidplatformtheme.h"

#include "velcolor.h"
#include "velenvironment.h"
#include "velfont.h"
#include "velpalette.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace
{

using Theme = VelAndroidPlatformTheme;

const char *const themeVariables[] = {"VEL_USE_ANDROID_NATIVE_STYLE", "KESTRIN_ANDROID_STYLE_PATH",
                                      "VEL_ANDROID_THEME_DISPLAY_DPI",
                                      "VEL_USE_ANDROID_NATIVE_DIALOGS"};

class ThemeTest : public ::testing::Test
{
protected:
    ThemeTest()
        : nativeInterface(new VelAndroidPlatformNativeInterface), theme(nativeInterface.get())
    {
        clearEnvironment();
    }
    ~ThemeTest() override
    {
        clearEnvironment();
        Theme::setStyleDirectoryForTesting(nullptr);
    }

    static void clearEnvironment()
    {
        for (const char *name : themeVariables)
            velunsetenv(name);
    }

    VelStringList styleNames() const
    {
        return theme.themeHint(VelPlatformTheme::StyleNames).toStringList();
    }

    // A style directory of the test's own, with style.json under `dpi`.
    std::string makeStyleDirectory(const std::string &dpi)
    {
        char pattern[] = "/tmp/velthemeXXXXXX";
        EXPECT_NE(::mkdtemp(pattern), nullptr);
        const std::string root = std::string(pattern) + "/";
        ::mkdir((root + dpi).c_str(), 0700);
        std::ofstream(root + dpi + "/style.json") << "{}";
        return root;
    }

    std::unique_ptr<VelAndroidPlatformNativeInterface> nativeInterface;
    Theme theme;
};

TEST_F(ThemeTest, WithoutEnvironmentTheStyleIsFusionAndDialogsAreNotNative)
{
    EXPECT_EQ(styleNames(), VelStringList() << VelString("fusion"));
    EXPECT_FALSE(theme.usePlatformNativeDialog(VelPlatformTheme::MessageDialog));
    // Other hints keep the host's answers.
    EXPECT_EQ(theme.themeHint(VelPlatformTheme::CursorFlashTime).toInt(), 1000);
}

TEST_F(ThemeTest, DefaultStyleDirectoryIsAbsoluteAndEndsWithASlash)
{
    const std::string directory = Theme::defaultStyleDirectory();
    EXPECT_EQ(directory.size(), 54u);
    EXPECT_EQ(directory.front(), '/');
    EXPECT_EQ(directory.back(), '/');
}

TEST_F(ThemeTest, AStylePathChoosesTheNativeStyleWithoutAnyFile)
{
    velputenv("VEL_USE_ANDROID_NATIVE_STYLE", "1");
    velputenv("KESTRIN_ANDROID_STYLE_PATH", "/nowhere/at/all");
    Theme::setStyleDirectoryForTesting("/nonexistent-vel-style/");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("android"));

    // Without the preference the path does not matter.
    velputenv("VEL_USE_ANDROID_NATIVE_STYLE", "0");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("fusion"));
}

TEST_F(ThemeTest, TheStyleFileUnderTheDensityDirectoryDecides)
{
    const std::string root = makeStyleDirectory("xhdpi");
    Theme::setStyleDirectoryForTesting(root.c_str());
    velputenv("VEL_USE_ANDROID_NATIVE_STYLE", "1");
    velputenv("KESTRIN_ANDROID_STYLE_PATH", ""); // set but empty counts as unset

    velputenv("VEL_ANDROID_THEME_DISPLAY_DPI", "xhdpi");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("android"));
    velputenv("VEL_ANDROID_THEME_DISPLAY_DPI", "mdpi");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("fusion"));
    velunsetenv("VEL_ANDROID_THEME_DISPLAY_DPI");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("fusion"));
}

TEST_F(ThemeTest, NumbersAreReadFromTheStartOfTheValue)
{
    Theme::setStyleDirectoryForTesting("/nonexistent-vel-style/");
    velputenv("KESTRIN_ANDROID_STYLE_PATH", "/x");
    velputenv("VEL_USE_ANDROID_NATIVE_STYLE", "2 please");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("android"));
    velputenv("VEL_USE_ANDROID_NATIVE_STYLE", "yes");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("fusion"));
    velputenv("VEL_USE_ANDROID_NATIVE_STYLE", "");
    EXPECT_EQ(styleNames(), VelStringList() << VelString("fusion"));
}

TEST_F(ThemeTest, NativeDialogsOnlyForMessageBoxesAndOnlyWithOne)
{
    velputenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "1");
    EXPECT_TRUE(theme.usePlatformNativeDialog(VelPlatformTheme::MessageDialog));
    EXPECT_FALSE(theme.usePlatformNativeDialog(VelPlatformTheme::FileDialog));
    EXPECT_FALSE(theme.usePlatformNativeDialog(VelPlatformTheme::ColorDialog));
    EXPECT_FALSE(theme.usePlatformNativeDialog(VelPlatformTheme::FontDialog));
    velputenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "2");
    EXPECT_FALSE(theme.usePlatformNativeDialog(VelPlatformTheme::MessageDialog));
    velputenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "0");
    EXPECT_FALSE(theme.usePlatformNativeDialog(VelPlatformTheme::MessageDialog));
}

TEST_F(ThemeTest, OnlyMessageDialogHelpersAreMadeWhateverTheEnvironment)
{
    EXPECT_EQ(theme.createPlatformDialogHelper(VelPlatformTheme::FileDialog), nullptr);
    EXPECT_EQ(theme.createPlatformDialogHelper(VelPlatformTheme::FontDialog), nullptr);
    std::unique_ptr<VelPlatformDialogHelper> helper(
        theme.createPlatformDialogHelper(VelPlatformTheme::MessageDialog));
    EXPECT_NE(dynamic_cast<VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper *>(
                  helper.get()),
              nullptr);
}

TEST_F(ThemeTest, PaletteTypesFoldOntoSevenKeys)
{
    const int expected[] = {0, 0, 3, 3, 4, 5, 0, 7, 8, 0, 0, 0, 0, 0, 0, 16, 16};
    for (int type = 0; type < 17; ++type)
        EXPECT_EQ(Theme::paletteKey(VelPlatformTheme::Palette(type)), expected[type]) << type;
    EXPECT_EQ(Theme::paletteKey(VelPlatformTheme::Palette(40)), 0);
}

TEST_F(ThemeTest, FontTypesFoldLabelToSystemAndToolButtonToPushButton)
{
    EXPECT_EQ(Theme::fontKey(VelPlatformTheme::LabelFont), 0);
    EXPECT_EQ(Theme::fontKey(VelPlatformTheme::ToolButtonFont), 11);
    EXPECT_EQ(Theme::fontKey(VelPlatformTheme::MenuFont), 1);
    EXPECT_EQ(Theme::fontKey(VelPlatformTheme::FixedFont), 23);
}

TEST_F(ThemeTest, EmptyTablesGiveTheRobotoFallbackForTheSystemFontOnly)
{
    const VelFont *system = theme.font(VelPlatformTheme::SystemFont);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->family(), VelString("Roboto"));
    EXPECT_EQ(system->pointSize(), 19);
    // One font for the process, shared by every theme.
    Theme other(nativeInterface.get());
    EXPECT_EQ(other.font(VelPlatformTheme::SystemFont), system);
    EXPECT_EQ(theme.font(VelPlatformTheme::LabelFont), nullptr);
    EXPECT_EQ(theme.palette(VelPlatformTheme::SystemPalette), nullptr);
}

TEST_F(ThemeTest, TableEntriesAreServedUnderTheirFoldedKeys)
{
    nativeInterface->m_palettes[3] = VelPalette(VelColor(10, 20, 30));
    nativeInterface->m_fonts[0] = VelFont(VelString("Serif"), 12);
    nativeInterface->m_fonts[11] = VelFont(VelString("Buttons"), 14);

    ASSERT_NE(theme.palette(VelPlatformTheme::ButtonPalette), nullptr);
    EXPECT_EQ(theme.palette(VelPlatformTheme::ToolButtonPalette),
              theme.palette(VelPlatformTheme::ButtonPalette));
    EXPECT_EQ(theme.palette(VelPlatformTheme::CheckBoxPalette), nullptr);
    EXPECT_EQ(theme.font(VelPlatformTheme::LabelFont)->family(), VelString("Serif"));
    EXPECT_EQ(theme.font(VelPlatformTheme::SystemFont)->family(), VelString("Serif"));
    EXPECT_EQ(theme.font(VelPlatformTheme::ToolButtonFont)->family(), VelString("Buttons"));
}

TEST_F(ThemeTest, HandedOutPointersSurviveTheTablesGrowingAndChanging)
{
    nativeInterface->m_palettes[3] = VelPalette(VelColor(10, 20, 30));
    nativeInterface->m_fonts[0] = VelFont(VelString("Serif"), 12);
    const VelPalette *palette = theme.palette(VelPlatformTheme::ButtonPalette);
    const VelFont *font = theme.font(VelPlatformTheme::SystemFont);

    // Enough entries to make the tables grow several times over.
    for (int key = 100; key < 2100; ++key) {
        nativeInterface->m_palettes[key] = VelPalette(VelColor(key % 256, 0, 0));
        nativeInterface->m_fonts[key] = VelFont(VelString("Filler"), key % 50 + 1);
    }
    EXPECT_EQ(theme.palette(VelPlatformTheme::ButtonPalette), palette);
    EXPECT_EQ(theme.font(VelPlatformTheme::SystemFont), font);
    EXPECT_EQ(*palette, VelPalette(VelColor(10, 20, 30)));
    EXPECT_EQ(font->family(), VelString("Serif"));

    // A changed entry shows through the pointer handed out before.
    nativeInterface->m_fonts[0] = VelFont(VelString("Sans"), 9);
    EXPECT_EQ(font->family(), VelString("Sans"));
}

TEST_F(ThemeTest, AfterTheNativeInterfaceIsGoneTheTablesCountAsEmpty)
{
    nativeInterface->m_palettes[0] = VelPalette(VelColor(1, 2, 3));
    nativeInterface->m_fonts[0] = VelFont(VelString("Serif"), 12);
    nativeInterface.reset();
    EXPECT_EQ(theme.palette(VelPlatformTheme::SystemPalette), nullptr);
    ASSERT_NE(theme.font(VelPlatformTheme::SystemFont), nullptr);
    EXPECT_EQ(theme.font(VelPlatformTheme::SystemFont)->family(), VelString("Roboto"));
}

TEST(AndroidMessageDialogWithoutJava, ExecReturnsAtOnceWhenTheBoxCannotBeShown)
{
    VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper helper;
    // No options.
    EXPECT_FALSE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    helper.exec();
    // Options, but no Java dialog behind the helper.
    auto options = std::make_shared<VelMessageDialogOptions>();
    options->setText(VelString("Quit?"));
    options->setStandardButtons(VelPlatformDialogHelper::Ok);
    helper.setOptions(options);
    EXPECT_FALSE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    helper.exec();
    EXPECT_FALSE(helper.isShown());
}

TEST(AndroidIntegrationServices, ThemeNamesThemesAndTheProcessClipboard)
{
    std::unique_ptr<VelAndroidPlatformIntegration> first(
        new VelAndroidPlatformIntegration(VelStringList()));
    EXPECT_EQ(first->themeNames(), VelStringList() << VelString("android"));
    EXPECT_EQ(first->createPlatformTheme(VelString("Android")), nullptr);
    EXPECT_EQ(first->createPlatformTheme(VelString("fusion")), nullptr);
    std::unique_ptr<VelPlatformTheme> theme(first->createPlatformTheme(VelString("android")));
    EXPECT_NE(dynamic_cast<VelAndroidPlatformTheme *>(theme.get()), nullptr);

    VelPlatformClipboard *clipboard = first->clipboard();
    ASSERT_NE(clipboard, nullptr);
    EXPECT_EQ(first->clipboard(), clipboard);
    theme.reset();
    first.reset();
    std::unique_ptr<VelAndroidPlatformIntegration> second(
        new VelAndroidPlatformIntegration(VelStringList()));
    EXPECT_EQ(second->clipboard(), clipboard);
}

} // namespace
