#include "velplatformscreen.h"

#include "velguiapplication.h"
#include "velguiapplication_p.h"
#include "velscreen.h"
#include "velwindow.h"

VelPlatformScreen::VelPlatformScreen() = default;

VelPlatformScreen::~VelPlatformScreen()
{
    // The application's VelScreen must not outlive the screen it describes.
    if (m_screen)
        VelGuiApplicationPrivate::screenRemoved(this);
}

VelRect VelPlatformScreen::availableGeometry() const
{
    return geometry();
}

VelSizeF VelPlatformScreen::physicalSize() const
{
    const double millimetresPerPixel = 25.4 / 100.0;
    const VelSize pixels = geometry().size();
    return VelSizeF(pixels.width() * millimetresPerPixel, pixels.height() * millimetresPerPixel);
}

VelDpi VelPlatformScreen::logicalDpi() const
{
    const VelSizeF millimetres = physicalSize();
    const VelSize pixels = geometry().size();
    const auto dpi = [](int px, double mm) { return mm > 0 ? 25.4 * px / mm : 100.0; };
    return VelDpi(dpi(pixels.width(), millimetres.width()),
                  dpi(pixels.height(), millimetres.height()));
}

Vel::ScreenOrientation VelPlatformScreen::nativeOrientation() const
{
    return Vel::PrimaryOrientation;
}

Vel::ScreenOrientation VelPlatformScreen::orientation() const
{
    return Vel::PrimaryOrientation;
}

VelPlatformCursor *VelPlatformScreen::cursor() const
{
    return nullptr;
}

double VelPlatformScreen::refreshRate() const
{
    return 60.0;
}

VelString VelPlatformScreen::name() const
{
    return VelString();
}

VelWindow *VelPlatformScreen::topLevelAt(const VelPoint &point) const
{
    const std::vector<VelWindow *> stack = windowStack();
    return VelGuiApplicationPrivate::topLevelAt(this, stack, point);
}

VelWindowHit VelPlatformScreen::topLevelHitAt(const VelPoint &point) const
{
    const std::vector<VelWindow *> stack = windowStack();
    return VelGuiApplicationPrivate::hitTest(this, stack, point);
}

std::vector<VelWindow *> VelPlatformScreen::windowStack() const
{
    return std::vector<VelWindow *>();
}

std::vector<VelPlatformScreen *> VelPlatformScreen::virtualSiblings() const
{
    return std::vector<VelPlatformScreen *>{const_cast<VelPlatformScreen *>(this)};
}

VelScreen *VelPlatformScreen::screen() const
{
    return m_screen;
}

VelPlatformScreen *VelPlatformScreen::platformScreenForWindow(const VelWindow *window)
{
    VelScreen *screen = window ? window->screen() : VelGuiApplication::primaryScreen();
    return screen ? screen->handle() : nullptr;
}
