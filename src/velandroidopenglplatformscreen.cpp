#include "velandroidopenglplatformscreen.h"

#include "androidjnimenu.h"

#include "velandroidopenglplatformwindow.h"

VelAndroidOpenGLPlatformScreen::VelAndroidOpenGLPlatformScreen(EGLDisplay display)
    : VelEglFSScreen(display)
{
}

void VelAndroidOpenGLPlatformScreen::topWindowChanged(VelEglFSWindow *window)
{
    if (!window)
        return;
    static_cast<VelAndroidOpenGLPlatformWindow *>(window)->updateStatusBarVisibility();
    VelAndroidMenu::setActiveTopLevelWindow(window->window());
}
