#ifndef VELWINDOW_P_H
#define VELWINDOW_P_H

#include "velplatformwindow.h"
#include "velpointer.h"
#include "velscreen.h"
#include "velsurfaceformat.h"
#include "velwindow.h"

#include <memory>

class VelWindowPrivate
{
public:
    explicit VelWindowPrivate(VelWindow *window) : q(window) {}

    // Stores the geometry and tells the window what changed (resize before move, as the
    // window system reports them).
    void applyGeometry(const VelRect &rect);
    void setExposed(bool exposed);
    VelPoint globalOffset() const;

    VelWindow *q;
    VelWindow *parentWindow = nullptr;
    std::unique_ptr<VelPlatformWindow> platformWindow;
    VelSurface::SurfaceType surfaceType = VelSurface::RasterSurface;
    VelSurfaceFormat requestedFormat;
    VelString title;
    Vel::WindowState windowState = Vel::WindowNoState;
    bool exposed = false;

    // Read from any thread (hit tests, coordinate mapping); guarded by
    // VelGuiApplicationPrivate::windowMutex().
    VelRect geometry;
    bool visible = false;
    Vel::WindowFlags flags = Vel::Window;
    VelScreen *screen = nullptr;
};

#endif
