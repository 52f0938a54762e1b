#ifndef VELPLATFORMSCREEN_H
#define VELPLATFORMSCREEN_H

#include "velguinamespace.h"
#include "velpoint.h"
#include "velpointer.h"
#include "velrect.h"
#include "velsizef.h"
#include "velstring.h"

#include <utility>
#include <vector>

class VelPlatformCursor;
class VelScreen;
class VelWindow;

// A top-level window found by a thread other than the GUI thread: a guarded pointer and
// the geometry it had, both read under the window lock, so that neither can come from a
// window destroyed meanwhile. Empty when no window was found.
struct VelWindowHit {
    VelPointer<VelWindow> window;
    VelRect geometry;
};

using VelDpi = std::pair<double, double>;

// One output of the platform. The integration creates and owns it and announces it with
// screenAdded(); the application wraps it in a VelScreen.
class VelPlatformScreen
{
public:
    VelPlatformScreen();
    virtual ~VelPlatformScreen();
    VEL_DISABLE_COPY(VelPlatformScreen)

    virtual VelRect geometry() const = 0;
    // Default: geometry().
    virtual VelRect availableGeometry() const;
    virtual int depth() const = 0;
    // An image format number (VelImage::Format).
    virtual int format() const = 0;
    // Default: geometry() at 100 dots per inch, in millimetres.
    virtual VelSizeF physicalSize() const;
    // Default: derived from geometry() and physicalSize().
    virtual VelDpi logicalDpi() const;
    virtual Vel::ScreenOrientation nativeOrientation() const;
    virtual Vel::ScreenOrientation orientation() const;
    // Default: null, the screen has no pointer of its own.
    virtual VelPlatformCursor *cursor() const;
    virtual double refreshRate() const;
    virtual VelString name() const;
    // The top-most visible top-level window on this screen that contains the point (in
    // desktop coordinates), or null. Stacking comes from windowStack() when the platform
    // keeps one, else from the application's own order (creation, raise and lower).
    // Safe to call from any thread.
    virtual VelWindow *topLevelAt(const VelPoint &point) const;
    // The host's hit test of topLevelAt, answered as a hit that stays safe to hold on any
    // thread.
    VelWindowHit topLevelHitAt(const VelPoint &point) const;
    // The top-level windows of this screen from bottom to top, when the platform keeps a
    // stacking order; default: empty (the platform keeps none).
    virtual std::vector<VelWindow *> windowStack() const;
    virtual std::vector<VelPlatformScreen *> virtualSiblings() const;

    // The VelScreen that represents this screen (null before it was announced).
    VelScreen *screen() const;

    static VelPlatformScreen *platformScreenForWindow(const VelWindow *window);

private:
    friend class VelGuiApplicationPrivate;
    VelScreen *m_screen = nullptr;
};

#endif
