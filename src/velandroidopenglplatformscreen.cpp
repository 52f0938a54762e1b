#include "velandroidopenglplatformscreen.h"

#include "velandroidopenglplatformwindow.h"

VelAndroidOpenGLPlatformScreen::VelAndroidOpenGLPlatformScreen(EGLDisplay display)
    : VelEglFSScreen(display)
{
}

void VelAndroidOpenGLPlatformScreen::topWindowChanged(VelEglFSWindow *window)
{
    if (window)
        static_cast<VelAndroidOpenGLPlatformWindow *>(window)->updateStatusBarVisibility();
}
