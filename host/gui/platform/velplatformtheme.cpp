#include "velplatformtheme.h"

namespace
{

// U+25CF BLACK CIRCLE, the usual mask of password fields.
constexpr int kPasswordMaskCharacter = 0x25CF;

VelVariant emptyStringList()
{
    return VelVariant(VelStringList());
}

} // namespace

VelPlatformTheme::VelPlatformTheme() = default;

VelPlatformTheme::~VelPlatformTheme() = default;

VelPlatformMenuItem *VelPlatformTheme::createPlatformMenuItem() const
{
    return nullptr;
}

VelPlatformMenu *VelPlatformTheme::createPlatformMenu() const
{
    return nullptr;
}

VelPlatformMenuBar *VelPlatformTheme::createPlatformMenuBar() const
{
    return nullptr;
}

bool VelPlatformTheme::usePlatformNativeDialog(DialogType) const
{
    return false;
}

VelPlatformDialogHelper *VelPlatformTheme::createPlatformDialogHelper(DialogType) const
{
    return nullptr;
}

VelPlatformSystemTrayIcon *VelPlatformTheme::createPlatformSystemTrayIcon() const
{
    return nullptr;
}

const VelPalette *VelPlatformTheme::palette(Palette) const
{
    return nullptr;
}

const VelFont *VelPlatformTheme::font(Font) const
{
    return nullptr;
}

VelVariant VelPlatformTheme::themeHint(ThemeHint hint) const
{
    return defaultThemeHint(hint);
}

VelPixmap VelPlatformTheme::standardPixmap(StandardPixmap, const VelSize &) const
{
    return VelPixmap();
}

VelPixmap VelPlatformTheme::fileIconPixmap(const VelString &, const VelSize &) const
{
    return VelPixmap();
}

VelIconEngine *VelPlatformTheme::createIconEngine(const VelString &) const
{
    return nullptr;
}

std::vector<VelKeySequence> VelPlatformTheme::keyBindings(int) const
{
    return {};
}

VelVariant VelPlatformTheme::defaultThemeHint(ThemeHint hint)
{
    switch (hint) {
    case CursorFlashTime:
        return VelVariant(1000);
    case KeyboardInputInterval:
    case MouseDoubleClickInterval:
        return VelVariant(400);
    case StartDragDistance:
        return VelVariant(10);
    case StartDragTime:
        return VelVariant(500);
    case KeyboardAutoRepeatRate:
        return VelVariant(30);
    case PasswordMaskDelay:
    case StartDragVelocity:
    case ToolButtonStyle:
    case ToolBarIconSize:
    case UiEffects:
    case SpellCheckUnderlineStyle:
    case TabFocusBehavior:
        return VelVariant(0);
    case TextCursorWidth:
        return VelVariant(1);
    case MaximumScrollBarDragDistance:
        return VelVariant(-1);
    case DropShadow:
    case ItemViewActivateItemOnSingleClick:
    case WindowAutoPlacement:
    case DialogButtonBoxButtonsHaveIcons:
    case UseFullScreenForPopupMenu:
    case DialogSnapToDefaultButton:
    case ContextMenuOnMouseRelease:
        return VelVariant(false);
    case SystemIconThemeName:
        return VelVariant(VelString());
    case SystemIconFallbackThemeName:
        return VelVariant(VelString("hicolor"));
    case IconThemeSearchPaths:
    case StyleNames:
        return emptyStringList();
    case DialogButtonBoxLayout:
        return VelVariant(int(WinLayout));
    case KeyboardScheme:
        return VelVariant(int(WindowsKeyboardScheme));
    case IconPixmapSizes:
        return emptyStringList();
    case PasswordMaskCharacter:
        return VelVariant(kPasswordMaskCharacter);
    case MousePressAndHoldInterval:
        return VelVariant(800);
    case NThemeHints:
        break;
    }
    return VelVariant();
}
