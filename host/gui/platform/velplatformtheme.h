#ifndef VELPLATFORMTHEME_H
#define VELPLATFORMTHEME_H

#include "velglobal.h"
#include "velkeysequence.h"
#include "velpixmap.h"
#include "velsize.h"
#include "velstring.h"
#include "velvariant.h"

#include <vector>

class VelFont;
class VelIconEngine;
class VelPalette;
class VelPlatformDialogHelper;
class VelPlatformMenu;
class VelPlatformMenuBar;
class VelPlatformMenuItem;
class VelPlatformSystemTrayIcon;

// The look and the native user-interface pieces a platform offers. A platform
// integration creates one theme by name (createPlatformTheme); the GUI
// application owns it.
//
// Ownership: every object handed out by a create* operation belongs to the
// caller, which deletes it. palette() and font() hand out pointers into the
// theme's own tables; they stay valid while the theme lives and must not be
// deleted. A null palette or font means "use the framework's own".
//
// The virtual operations keep this order: platform themes built elsewhere
// override them by slot.
class VelPlatformTheme
{
public:
    enum ThemeHint {
        CursorFlashTime = 0,
        KeyboardInputInterval = 1,
        MouseDoubleClickInterval = 2,
        StartDragDistance = 3,
        StartDragTime = 4,
        KeyboardAutoRepeatRate = 5,
        PasswordMaskDelay = 6,
        StartDragVelocity = 7,
        TextCursorWidth = 8,
        DropShadow = 9,
        MaximumScrollBarDragDistance = 10,
        ToolButtonStyle = 11,
        ToolBarIconSize = 12,
        ItemViewActivateItemOnSingleClick = 13,
        SystemIconThemeName = 14,
        SystemIconFallbackThemeName = 15,
        IconThemeSearchPaths = 16,
        StyleNames = 17,
        WindowAutoPlacement = 18,
        DialogButtonBoxLayout = 19,
        DialogButtonBoxButtonsHaveIcons = 20,
        UseFullScreenForPopupMenu = 21,
        KeyboardScheme = 22,
        UiEffects = 23,
        SpellCheckUnderlineStyle = 24,
        TabFocusBehavior = 25,
        IconPixmapSizes = 26,
        PasswordMaskCharacter = 27,
        DialogSnapToDefaultButton = 28,
        ContextMenuOnMouseRelease = 29,
        MousePressAndHoldInterval = 30,
        NThemeHints = 31
    };

    // Palette and font kinds the framework asks for. Values are exchanged by
    // number with platform themes.
    enum Palette {
        SystemPalette = 0,
        ToolTipPalette = 1,
        ToolButtonPalette = 2,
        ButtonPalette = 3,
        CheckBoxPalette = 4,
        RadioButtonPalette = 5,
        HeaderPalette = 6,
        ComboBoxPalette = 7,
        ItemViewPalette = 8,
        MessageBoxLabelPalette = 9,
        TabBarPalette = 10,
        LabelPalette = 11,
        GroupBoxPalette = 12,
        MenuPalette = 13,
        MenuBarPalette = 14,
        TextEditPalette = 15,
        TextLineEditPalette = 16,
        NPalettes = 17
    };

    enum Font {
        SystemFont = 0,
        MenuFont = 1,
        MenuBarFont = 2,
        MenuItemFont = 3,
        MessageBoxFont = 4,
        LabelFont = 5,
        TipLabelFont = 6,
        StatusBarFont = 7,
        TitleBarFont = 8,
        MdiSubWindowTitleFont = 9,
        DockWidgetTitleFont = 10,
        PushButtonFont = 11,
        CheckBoxFont = 12,
        RadioButtonFont = 13,
        ToolButtonFont = 14,
        ItemViewFont = 15,
        ListViewFont = 16,
        HeaderViewFont = 17,
        ListBoxFont = 18,
        ComboMenuItemFont = 19,
        ComboLineEditFont = 20,
        SmallFont = 21,
        MiniFont = 22,
        FixedFont = 23,
        NFonts = 24
    };

    enum DialogType { FileDialog = 0, ColorDialog = 1, FontDialog = 2, MessageDialog = 3 };

    enum StandardPixmap {
        TitleBarMenuButton = 0,
        TitleBarMinButton,
        TitleBarMaxButton,
        TitleBarCloseButton,
        MessageBoxInformation,
        MessageBoxWarning,
        MessageBoxCritical,
        MessageBoxQuestion,
        DesktopIcon,
        TrashIcon,
        DirClosedIcon,
        DirOpenIcon,
        FileIcon,
        DialogOkButton,
        DialogCancelButton,
        CustomBase = 0xf0000000
    };

    enum DialogButtonBoxLayoutValue {
        WinLayout = 0,
        MacLayout = 1,
        KdeLayout = 2,
        GnomeLayout = 3
    };
    enum KeyboardSchemeValue {
        WindowsKeyboardScheme = 0,
        MacKeyboardScheme = 1,
        X11KeyboardScheme = 2
    };

    VelPlatformTheme();
    virtual ~VelPlatformTheme();

    virtual VelPlatformMenuItem *createPlatformMenuItem() const;
    virtual VelPlatformMenu *createPlatformMenu() const;
    virtual VelPlatformMenuBar *createPlatformMenuBar() const;

    virtual bool usePlatformNativeDialog(DialogType type) const;
    virtual VelPlatformDialogHelper *createPlatformDialogHelper(DialogType type) const;
    virtual VelPlatformSystemTrayIcon *createPlatformSystemTrayIcon() const;

    virtual const VelPalette *palette(Palette type = SystemPalette) const;
    virtual const VelFont *font(Font type = SystemFont) const;
    virtual VelVariant themeHint(ThemeHint hint) const;

    virtual VelPixmap standardPixmap(StandardPixmap sp, const VelSize &size) const;
    virtual VelPixmap fileIconPixmap(const VelString &filePath, const VelSize &size) const;
    virtual VelIconEngine *createIconEngine(const VelString &iconName) const;
    virtual std::vector<VelKeySequence> keyBindings(int standardKey) const;

    // The answer of the base class for a hint; themes that answer only some
    // hints return this for the rest. The table:
    //   CursorFlashTime 1000, KeyboardInputInterval 400, MouseDoubleClickInterval
    //   400, StartDragDistance 10, StartDragTime 500, KeyboardAutoRepeatRate 30,
    //   PasswordMaskDelay 0, StartDragVelocity 0, TextCursorWidth 1, DropShadow
    //   false, MaximumScrollBarDragDistance -1, ToolButtonStyle 0 (icon only),
    //   ToolBarIconSize 0 (style decides), ItemViewActivateItemOnSingleClick false,
    //   SystemIconThemeName "", SystemIconFallbackThemeName "hicolor",
    //   IconThemeSearchPaths [], StyleNames [], WindowAutoPlacement false,
    //   DialogButtonBoxLayout WinLayout, DialogButtonBoxButtonsHaveIcons false,
    //   UseFullScreenForPopupMenu false, KeyboardScheme WindowsKeyboardScheme,
    //   UiEffects 0, SpellCheckUnderlineStyle 0, TabFocusBehavior 0,
    //   IconPixmapSizes [], PasswordMaskCharacter U+25CF, DialogSnapToDefaultButton
    //   false, ContextMenuOnMouseRelease false, MousePressAndHoldInterval 800;
    //   any other value: an invalid variant.
    static VelVariant defaultThemeHint(ThemeHint hint);

private:
    VEL_DISABLE_COPY(VelPlatformTheme)
};

#endif
