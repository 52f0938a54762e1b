#include "velplatformaccessibility.h"
#include "velplatformmenu.h"
#include "velplatformtheme.h"

#include <gtest/gtest.h>

using T = VelPlatformTheme;

TEST(PlatformTheme, BaseCreatesNothingAndAnswersNull)
{
    VelPlatformTheme theme;
    EXPECT_EQ(theme.createPlatformMenuItem(), nullptr);
    EXPECT_EQ(theme.createPlatformMenu(), nullptr);
    EXPECT_EQ(theme.createPlatformMenuBar(), nullptr);
    EXPECT_EQ(theme.createPlatformSystemTrayIcon(), nullptr);
    for (int type = T::FileDialog; type <= T::MessageDialog; ++type) {
        EXPECT_FALSE(theme.usePlatformNativeDialog(T::DialogType(type)));
        EXPECT_EQ(theme.createPlatformDialogHelper(T::DialogType(type)), nullptr);
    }
    for (int type = 0; type < T::NPalettes; ++type)
        EXPECT_EQ(theme.palette(T::Palette(type)), nullptr);
    for (int type = 0; type < T::NFonts; ++type)
        EXPECT_EQ(theme.font(T::Font(type)), nullptr);
    EXPECT_TRUE(theme.standardPixmap(T::FileIcon, VelSize(16, 16)).isNull());
    EXPECT_TRUE(theme.keyBindings(0).empty());
}

TEST(PlatformTheme, DefaultHintTable)
{
    VelPlatformTheme theme;
    const VelVariant styles = theme.themeHint(T::StyleNames);
    ASSERT_TRUE(styles.isValid()) << "style names must be a list, even when empty";
    EXPECT_TRUE(styles.toStringList().isEmpty());
    EXPECT_EQ(theme.themeHint(T::CursorFlashTime).toInt(), 1000);
    EXPECT_EQ(theme.themeHint(T::MouseDoubleClickInterval).toInt(), 400);
    EXPECT_EQ(theme.themeHint(T::StartDragDistance).toInt(), 10);
    EXPECT_EQ(theme.themeHint(T::DialogButtonBoxLayout).toInt(), int(T::WinLayout));
    EXPECT_EQ(theme.themeHint(T::PasswordMaskCharacter).toInt(), 0x25CF);
    EXPECT_EQ(theme.themeHint(T::SystemIconFallbackThemeName).toString(), VelString("hicolor"));
    EXPECT_FALSE(theme.themeHint(T::UseFullScreenForPopupMenu).toBool());
    EXPECT_FALSE(theme.themeHint(T::NThemeHints).isValid());
    EXPECT_FALSE(theme.themeHint(T::ThemeHint(-1)).isValid());
    // Every hint below the end has a default.
    for (int hint = 0; hint < T::NThemeHints; ++hint)
        EXPECT_TRUE(theme.themeHint(T::ThemeHint(hint)).isValid()) << "hint " << hint;
}

namespace
{

// A theme that answers one hint and leaves the rest to the base, as
// platform themes do.
class StyleTheme : public VelPlatformTheme
{
public:
    VelVariant themeHint(ThemeHint hint) const override
    {
        if (hint == StyleNames)
            return VelVariant(VelStringList(VelString("plain")));
        return VelPlatformTheme::themeHint(hint);
    }
};

} // namespace

TEST(PlatformTheme, OverridingOneHintKeepsTheOtherDefaults)
{
    StyleTheme theme;
    const VelPlatformTheme &base = theme;
    EXPECT_EQ(base.themeHint(T::StyleNames).toStringList(), VelStringList(VelString("plain")));
    EXPECT_EQ(base.themeHint(T::KeyboardInputInterval).toInt(), 400);
}

TEST(PlatformTheme, NumbersPlatformThemesRelyOn)
{
    EXPECT_EQ(int(T::StyleNames), 17);
    EXPECT_EQ(int(T::ToolButtonPalette), 2);
    EXPECT_EQ(int(T::ButtonPalette), 3);
    EXPECT_EQ(int(T::ComboBoxPalette), 7);
    EXPECT_EQ(int(T::ItemViewPalette), 8);
    EXPECT_EQ(int(T::TextEditPalette), 15);
    EXPECT_EQ(int(T::TextLineEditPalette), 16);
    EXPECT_EQ(int(T::LabelFont), 5);
    EXPECT_EQ(int(T::PushButtonFont), 11);
    EXPECT_EQ(int(T::ToolButtonFont), 14);
    EXPECT_EQ(int(T::MessageDialog), 3);
}

TEST(PlatformAccessibility, ActiveFlagAndDefaults)
{
    VelPlatformAccessibility accessibility;
    EXPECT_FALSE(accessibility.isActive());
    accessibility.setActive(true);
    EXPECT_TRUE(accessibility.isActive());
    accessibility.notifyAccessibilityUpdate(nullptr); // ignored by default
    accessibility.setActive(false);
    EXPECT_FALSE(accessibility.isActive());
}
