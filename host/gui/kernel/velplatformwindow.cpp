#include "velplatformwindow.h"

#include "velscreen.h"
#include "velwindow.h"

VelPlatformWindow::VelPlatformWindow(VelWindow *window)
    : VelPlatformSurface(window), m_window(window)
{
    if (window) {
        m_rect = window->geometry();
        m_flags = window->flags();
    }
}

VelPlatformWindow::~VelPlatformWindow() = default;

VelWindow *VelPlatformWindow::window() const
{
    return m_window;
}

VelPlatformWindow *VelPlatformWindow::parent() const
{
    VelWindow *parentWindow = m_window ? m_window->parent() : nullptr;
    return parentWindow ? parentWindow->handle() : nullptr;
}

VelPlatformScreen *VelPlatformWindow::screen() const
{
    VelScreen *screen = m_window ? m_window->screen() : nullptr;
    return screen ? screen->handle() : nullptr;
}

VelSurfaceFormat VelPlatformWindow::format() const
{
    return m_window ? m_window->requestedFormat() : VelSurfaceFormat();
}

void VelPlatformWindow::setGeometry(const VelRect &rect)
{
    m_rect = rect;
}

VelRect VelPlatformWindow::geometry() const
{
    return m_rect;
}

void VelPlatformWindow::setVisible(bool visible) {}

veluintptr VelPlatformWindow::winId() const
{
    return veluintptr(m_window);
}

void VelPlatformWindow::raise() {}

void VelPlatformWindow::lower() {}

void VelPlatformWindow::requestActivateWindow() {}

void VelPlatformWindow::setWindowState(Vel::WindowState state) {}

bool VelPlatformWindow::isExposed() const
{
    return m_window && m_window->isVisible();
}

bool VelPlatformWindow::isActive() const
{
    return false;
}

void VelPlatformWindow::setWindowFlags(Vel::WindowFlags flags)
{
    m_flags = flags;
}

Vel::WindowFlags VelPlatformWindow::windowFlags() const
{
    return m_flags;
}

void VelPlatformWindow::setWindowTitle(const VelString &title) {}

VelPoint VelPlatformWindow::mapToGlobal(const VelPoint &pos) const
{
    return pos + geometry().topLeft();
}

VelPoint VelPlatformWindow::mapFromGlobal(const VelPoint &pos) const
{
    return pos - geometry().topLeft();
}

void VelPlatformWindow::setOpacity(double level) {}

void VelPlatformWindow::propagateSizeHints() {}
