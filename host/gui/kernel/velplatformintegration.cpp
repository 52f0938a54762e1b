#include "velplatformintegration.h"

#include "velguiapplication_p.h"
#include "vellogging.h"
#include "velplatformscreen.h"
#include "velvariant.h"

VelPlatformIntegration::VelPlatformIntegration() = default;

VelPlatformIntegration::~VelPlatformIntegration() = default;

bool VelPlatformIntegration::hasCapability(Capability capability) const
{
    return capability == ThreadedPixmaps;
}

VelPlatformPixmap *VelPlatformIntegration::createPlatformPixmap(int pixelType) const
{
    return nullptr;
}

VelPlatformOpenGLContext *
VelPlatformIntegration::createPlatformOpenGLContext(VelOpenGLContext *context) const
{
    velWarning("This platform integration does not support OpenGL contexts");
    return nullptr;
}

VelPlatformSharedGraphicsCache *
VelPlatformIntegration::createPlatformSharedGraphicsCache(const char *cacheId) const
{
    return nullptr;
}

VelPaintEngine *VelPlatformIntegration::createImagePaintEngine(VelPaintDevice *paintDevice) const
{
    return nullptr;
}

VelAbstractEventDispatcher *VelPlatformIntegration::createEventDispatcher() const
{
    return nullptr;
}

void VelPlatformIntegration::initialize() {}

VelPlatformFontDatabase *VelPlatformIntegration::fontDatabase() const
{
    return nullptr;
}

VelPlatformClipboard *VelPlatformIntegration::clipboard() const
{
    return nullptr;
}

VelPlatformDrag *VelPlatformIntegration::drag() const
{
    return nullptr;
}

VelPlatformInputContext *VelPlatformIntegration::inputContext() const
{
    return nullptr;
}

VelPlatformAccessibility *VelPlatformIntegration::accessibility() const
{
    return nullptr;
}

VelPlatformNativeInterface *VelPlatformIntegration::nativeInterface() const
{
    return nullptr;
}

VelPlatformServices *VelPlatformIntegration::services() const
{
    return nullptr;
}

VelVariant VelPlatformIntegration::styleHint(StyleHint hint) const
{
    switch (hint) {
    case CursorFlashTime:
        return VelVariant(1000);
    case KeyboardInputInterval:
        return VelVariant(400);
    case MouseDoubleClickInterval:
        return VelVariant(400);
    case StartDragDistance:
        return VelVariant(10);
    case StartDragTime:
        return VelVariant(500);
    case KeyboardAutoRepeatRate:
        return VelVariant(30);
    case ShowIsFullScreen:
        return VelVariant(false);
    case PasswordMaskDelay:
        return VelVariant(0);
    case FontSmoothingGamma:
        return VelVariant(1.7);
    case StartDragVelocity:
        return VelVariant(0);
    case UseRtlExtensions:
        return VelVariant(false);
    case SynthesizeMouseFromTouchEvents:
        return VelVariant(true);
    case PasswordMaskCharacter:
        return VelVariant(int(0x25CF));
    case SetFocusOnTouchRelease:
        return VelVariant(false);
    case ShowIsMaximized:
        return VelVariant(false);
    case MousePressAndHoldInterval:
        return VelVariant(800);
    }
    return VelVariant(0);
}

Vel::WindowState VelPlatformIntegration::defaultWindowState(Vel::WindowFlags flags) const
{
    // Transient and embedded windows keep the size they ask for.
    const uint type = flags & Vel::WindowType_Mask;
    if (type == Vel::Popup || type == Vel::ToolTip || type == Vel::SubWindow || type == Vel::Widget)
        return Vel::WindowNoState;
    if (styleHint(ShowIsFullScreen).toBool())
        return Vel::WindowFullScreen;
    if (styleHint(ShowIsMaximized).toBool())
        return Vel::WindowMaximized;
    return Vel::WindowNoState;
}

Vel::KeyboardModifiers VelPlatformIntegration::queryKeyboardModifiers() const
{
    return Vel::NoModifier;
}

std::vector<int> VelPlatformIntegration::possibleKeys(const VelKeyEvent *event) const
{
    return std::vector<int>();
}

VelStringList VelPlatformIntegration::themeNames() const
{
    return VelStringList();
}

VelPlatformTheme *VelPlatformIntegration::createPlatformTheme(const VelString &name) const
{
    return nullptr;
}

VelPlatformOffscreenSurface *
VelPlatformIntegration::createPlatformOffscreenSurface(VelOffscreenSurface *surface) const
{
    return nullptr;
}

VelPlatformSessionManager *
VelPlatformIntegration::createPlatformSessionManager(const VelString &id,
                                                     const VelString &key) const
{
    return nullptr;
}

void VelPlatformIntegration::sync() {}

void VelPlatformIntegration::screenAdded(VelPlatformScreen *screen)
{
    VelGuiApplicationPrivate::screenAdded(screen);
}

void VelPlatformIntegration::destroyScreen(VelPlatformScreen *screen)
{
    delete screen;
}
