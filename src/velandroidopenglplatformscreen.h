#ifndef VELANDROIDOPENGLPLATFORMSCREEN_H
#define VELANDROIDOPENGLPLATFORMSCREEN_H

#include "veleglfsscreen.h"

// The screen on Android: the window on top decides the status bar.
class VelAndroidOpenGLPlatformScreen : public VelEglFSScreen
{
public:
    explicit VelAndroidOpenGLPlatformScreen(EGLDisplay display);

protected:
    void topWindowChanged(VelEglFSWindow *window) override;
};

#endif
