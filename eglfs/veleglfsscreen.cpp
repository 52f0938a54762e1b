#include "veleglfsscreen.h"

#include "veleglfshooks.h"
#include "veleglfswindow.h"

#include "velenvironment.h"
#include "velplatformcursor.h"

#include <algorithm>

VelEglFSScreen::VelEglFSScreen(EGLDisplay display) : m_display(display)
{
    if (!velEnvironmentVariableIntValue("VEL_VELPA_EGLFS_HIDECURSOR"))
        m_cursor = platformHooks->createCursor(this);
}

VelEglFSScreen::~VelEglFSScreen()
{
    delete m_cursor;
}

VelRect VelEglFSScreen::geometry() const
{
    return VelRect(VelPoint(0, 0), platformHooks->screenSize());
}

int VelEglFSScreen::depth() const
{
    return platformHooks->screenDepth();
}

int VelEglFSScreen::format() const
{
    return platformHooks->screenFormat();
}

VelSizeF VelEglFSScreen::physicalSize() const
{
    return platformHooks->physicalScreenSize();
}

VelDpi VelEglFSScreen::logicalDpi() const
{
    return platformHooks->logicalDpi();
}

Vel::ScreenOrientation VelEglFSScreen::nativeOrientation() const
{
    return platformHooks->nativeOrientation();
}

Vel::ScreenOrientation VelEglFSScreen::orientation() const
{
    return platformHooks->orientation();
}

VelPlatformCursor *VelEglFSScreen::cursor() const
{
    return m_cursor;
}

void VelEglFSScreen::addWindow(VelEglFSWindow *window)
{
    if (std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end())
        return;
    m_windows.push_back(window);
    topWindowChanged(window);
}

void VelEglFSScreen::removeWindow(VelEglFSWindow *window)
{
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
    if (!m_windows.empty())
        topWindowChanged(m_windows.back());
}

void VelEglFSScreen::moveToTop(VelEglFSWindow *window)
{
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
    m_windows.push_back(window);
    topWindowChanged(window);
}

void VelEglFSScreen::changeWindowIndex(VelEglFSWindow *window, int index)
{
    const auto it = std::find(m_windows.begin(), m_windows.end(), window);
    if (it == m_windows.end() || index < 0 || index >= int(m_windows.size()))
        return;
    const int current = int(it - m_windows.begin());
    if (current == index)
        return;
    m_windows.erase(it);
    m_windows.insert(m_windows.begin() + index, window);
    if (index == int(m_windows.size()) - 1)
        topWindowChanged(m_windows.back());
}

VelEglFSWindow *VelEglFSScreen::rootWindow() const
{
    for (VelEglFSWindow *window : m_windows) {
        if (window->hasFlag(VelEglFSWindow::FlagNativeSurface))
            return window;
    }
    return nullptr;
}

void VelEglFSScreen::topWindowChanged(VelEglFSWindow *) {}
