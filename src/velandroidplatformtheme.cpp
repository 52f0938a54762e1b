#include "velandroidplatformtheme.h"

#include "velandroidplatformdialoghelpers.h"
#include "velandroidplatformmenu.h"
#include "velandroidplatformmenubar.h"
#include "velandroidplatformmenuitem.h"
#include "velandroidplatformnativeinterface.h"

#include "velenvironment.h"
#include "velfileinfo.h"
#include "velfont.h"
#include "velpalette.h"

#include <atomic>
#include <cstdlib>

namespace
{

const char defaultStyleDir[] = "/data/data/org.kestrin.styles/files/vel/android/style/";
std::atomic<const char *> styleDirectoryOverride{nullptr};

// Decimal digits from the start of the value, as atoi reads them: unset,
// empty and non-numeric values are 0.
long leadingInteger(const char *name)
{
    const VelByteArray value = velgetenv(name);
    return value.isEmpty() ? 0 : std::strtol(value.constData(), nullptr, 10);
}

// Up to the first NUL byte, as Latin-1.
VelString latin1Value(const char *name)
{
    return VelString::fromLatin1(velgetenv(name).constData());
}

const VelFont &fallbackSystemFont()
{
    static const VelFont font(VelString("Roboto"), 19);
    return font;
}

template <typename Table> const typename Table::mapped_type *entry(const Table &table, int key)
{
    const auto it = table.find(key);
    return it == table.end() ? nullptr : &it->second;
}

} // namespace

VelAndroidPlatformTheme::VelAndroidPlatformTheme(VelAndroidPlatformNativeInterface *nativeInterface)
    : m_androidPlatformNativeInterface(nativeInterface)
{
}

VelAndroidPlatformTheme::~VelAndroidPlatformTheme() = default;

VelPlatformMenuItem *VelAndroidPlatformTheme::createPlatformMenuItem() const
{
    return new VelAndroidPlatformMenuItem;
}

VelPlatformMenu *VelAndroidPlatformTheme::createPlatformMenu() const
{
    return new VelAndroidPlatformMenu;
}

VelPlatformMenuBar *VelAndroidPlatformTheme::createPlatformMenuBar() const
{
    return new VelAndroidPlatformMenuBar;
}

bool VelAndroidPlatformTheme::usePlatformNativeDialog(DialogType type) const
{
    return type == MessageDialog && leadingInteger("VEL_USE_ANDROID_NATIVE_DIALOGS") == 1;
}

VelPlatformDialogHelper *VelAndroidPlatformTheme::createPlatformDialogHelper(DialogType type) const
{
    if (type != MessageDialog)
        return nullptr;
    return new VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper;
}

const VelPalette *VelAndroidPlatformTheme::palette(Palette type) const
{
    if (!m_androidPlatformNativeInterface)
        return nullptr;
    return entry(m_androidPlatformNativeInterface->m_palettes, paletteKey(type));
}

const VelFont *VelAndroidPlatformTheme::font(Font type) const
{
    if (m_androidPlatformNativeInterface) {
        if (const VelFont *found = entry(m_androidPlatformNativeInterface->m_fonts, fontKey(type)))
            return found;
    }
    return type == SystemFont ? &fallbackSystemFont() : nullptr;
}

VelVariant VelAndroidPlatformTheme::themeHint(ThemeHint hint) const
{
    if (hint == StyleNames)
        return VelVariant(VelStringList() << styleName());
    return VelPlatformTheme::themeHint(hint);
}

const char *VelAndroidPlatformTheme::defaultStyleDirectory()
{
    return defaultStyleDir;
}

void VelAndroidPlatformTheme::setStyleDirectoryForTesting(const char *directory)
{
    styleDirectoryOverride = directory;
}

int VelAndroidPlatformTheme::paletteKey(Palette type)
{
    switch (type) {
    case ToolButtonPalette:
    case ButtonPalette:
        return ButtonPalette;
    case CheckBoxPalette:
    case RadioButtonPalette:
    case ComboBoxPalette:
    case ItemViewPalette:
        return type;
    case TextEditPalette:
    case TextLineEditPalette:
        return TextLineEditPalette;
    default:
        return SystemPalette;
    }
}

int VelAndroidPlatformTheme::fontKey(Font type)
{
    switch (type) {
    case LabelFont:
        return SystemFont;
    case ToolButtonFont:
        return PushButtonFont;
    default:
        return type;
    }
}

VelString VelAndroidPlatformTheme::styleName() const
{
    const VelString native("android");
    const VelString fusion("fusion");
    if (leadingInteger("VEL_USE_ANDROID_NATIVE_STYLE") == 0)
        return fusion;
    if (!velEnvironmentVariableIsEmpty("KESTRIN_ANDROID_STYLE_PATH"))
        return native;
    const char *directory = styleDirectoryOverride.load();
    const VelString path = VelString(directory ? directory : defaultStyleDir) +
                           latin1Value("VEL_ANDROID_THEME_DISPLAY_DPI") + VelString("/style.json");
    return VelFileInfo(path).exists() ? native : fusion;
}
