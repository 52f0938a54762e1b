#ifndef VELANDROIDPLATFORMTHEME_H
#define VELANDROIDPLATFORMTHEME_H

#include "velplatformtheme.h"
#include "velpointer.h"

class VelAndroidPlatformNativeInterface;

// The theme the integration creates under the name "android": the widget
// style to use, palettes and fonts from the native interface's style tables,
// the native menu objects, and native message dialogs when the environment asks for them. It only
// checks that the native style data is present; it never reads it.
//
// Used on the GUI thread. The host deletes the theme before the integration,
// but the native interface is held through a guarded pointer all the same:
// once it is gone, palette() and font() answer as for empty tables.
class VelAndroidPlatformTheme : public VelPlatformTheme
{
public:
    explicit VelAndroidPlatformTheme(VelAndroidPlatformNativeInterface *nativeInterface);
    ~VelAndroidPlatformTheme() override;

    VelPlatformMenuItem *createPlatformMenuItem() const override;
    VelPlatformMenu *createPlatformMenu() const override;
    VelPlatformMenuBar *createPlatformMenuBar() const override;
    bool usePlatformNativeDialog(DialogType type) const override;
    VelPlatformDialogHelper *createPlatformDialogHelper(DialogType type) const override;
    const VelPalette *palette(Palette type = SystemPalette) const override;
    const VelFont *font(Font type = SystemFont) const override;
    VelVariant themeHint(ThemeHint hint) const override;

    // Where the native style data is looked for when no style path is given:
    // a directory of the service app's data area, ending with '/'.
    static const char *defaultStyleDirectory();
    // Test seam: another directory (ending with '/') in place of the default;
    // null restores the default.
    static void setStyleDirectoryForTesting(const char *directory);

    // The keys the style tables are filed under.
    static int paletteKey(Palette type);
    static int fontKey(Font type);

private:
    VelString styleName() const;

    VelPointer<VelAndroidPlatformNativeInterface> m_androidPlatformNativeInterface; // not owned
};

#endif
