#include "velscreen.h"

#include "velplatformscreen.h"

VEL_META_BEGIN(VelScreen, VelObject)
VEL_META_SIGNAL(geometryChanged)
VEL_META_SIGNAL(availableGeometryChanged)
VEL_META_SIGNAL(orientationChanged, int)
VEL_META_END

VelScreen::VelScreen(VelPlatformScreen *platformScreen)
    : m_platformScreen(platformScreen), m_geometry(platformScreen->geometry()),
      m_availableGeometry(platformScreen->availableGeometry()),
      m_orientation(platformScreen->orientation())
{
}

VelScreen::~VelScreen() = default;

VelString VelScreen::name() const
{
    return m_platformScreen->name();
}

VelSizeF VelScreen::physicalSize() const
{
    return m_platformScreen->physicalSize();
}

double VelScreen::logicalDotsPerInchX() const
{
    return m_platformScreen->logicalDpi().first;
}

double VelScreen::logicalDotsPerInchY() const
{
    return m_platformScreen->logicalDpi().second;
}

double VelScreen::logicalDotsPerInch() const
{
    const VelDpi dpi = m_platformScreen->logicalDpi();
    return (dpi.first + dpi.second) / 2;
}

int VelScreen::depth() const
{
    return m_platformScreen->depth();
}

Vel::ScreenOrientation VelScreen::nativeOrientation() const
{
    return m_platformScreen->nativeOrientation();
}

Vel::ScreenOrientation VelScreen::primaryOrientation() const
{
    const Vel::ScreenOrientation native = nativeOrientation();
    if (native != Vel::PrimaryOrientation)
        return native;
    return m_geometry.width() >= m_geometry.height() ? Vel::LandscapeOrientation
                                                     : Vel::PortraitOrientation;
}

void VelScreen::geometryChanged()
{
    VEL_EMIT(geometryChanged);
}

void VelScreen::availableGeometryChanged()
{
    VEL_EMIT(availableGeometryChanged);
}

void VelScreen::orientationChanged(int orientation)
{
    VEL_EMIT(orientationChanged, orientation);
}
