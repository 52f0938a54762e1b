#include "veloffscreensurface.h"

#include "velguiapplication.h"
#include "vellogging.h"
#include "velplatformintegration.h"
#include "velplatformoffscreensurface.h"
#include "velsurfaceformat.h"

VEL_META_BEGIN(VelOffscreenSurface, VelObject)
VEL_META_END

VelOffscreenSurface::VelOffscreenSurface(VelScreen *screen)
    : VelObject(nullptr), VelSurface(VelSurface::Offscreen),
      m_screen(screen ? screen : VelGuiApplication::primaryScreen())
{
}

VelOffscreenSurface::~VelOffscreenSurface()
{
    destroy();
}

VelSurfaceFormat VelOffscreenSurface::format() const
{
    return m_platformSurface ? m_platformSurface->format() : m_format;
}

VelPlatformSurface *VelOffscreenSurface::surfaceHandle() const
{
    return m_platformSurface.get();
}

void VelOffscreenSurface::setFormat(const VelSurfaceFormat &format)
{
    m_format = format;
}

VelSurfaceFormat VelOffscreenSurface::requestedFormat() const
{
    return m_format;
}

void VelOffscreenSurface::setScreen(VelScreen *screen)
{
    m_screen = screen ? screen : VelGuiApplication::primaryScreen();
}

void VelOffscreenSurface::create()
{
    if (m_platformSurface)
        return;
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    if (!integration) {
        velWarning("VelOffscreenSurface: no platform integration");
        return;
    }
    m_platformSurface.reset(integration->createPlatformOffscreenSurface(this));
}

void VelOffscreenSurface::destroy()
{
    m_platformSurface.reset();
}

bool VelOffscreenSurface::isValid() const
{
    return m_platformSurface && m_platformSurface->isValid();
}
