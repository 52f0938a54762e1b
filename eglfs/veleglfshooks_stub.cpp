#include "veleglfscursor.h"
#include "veleglfshooks.h"

#include "velenvironment.h"
#include "vellogging.h"

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace
{

// The framebuffer device, opened by platformInit; -1 while closed.
int framebuffer = -1;

constexpr int DefaultWidth = 800;
constexpr int DefaultHeight = 600;
constexpr int DefaultDpi = 100;
constexpr int DefaultDepth = 32;

bool queryScreenInfo(fb_var_screeninfo *info)
{
    if (framebuffer == -1)
        return false;
    if (ioctl(framebuffer, FBIOGET_VSCREENINFO, info) == -1) {
        velWarning("EGLFS: Could not query variable screen info.");
        return false;
    }
    return true;
}

double millimetresAt100Dpi(int pixels)
{
    return pixels * 25.4 / DefaultDpi;
}

} // namespace

VelEglFSHooks::~VelEglFSHooks() = default;

void VelEglFSHooks::platformInit()
{
    int fd;
    do {
        fd = open(fbDeviceName(), O_RDONLY | O_CLOEXEC, 0777);
    } while (fd == -1 && errno == EINTR);
    if (fd == -1) {
        velWarning("EGLFS: Failed to open %s", fbDeviceName());
        framebuffer = -1;
        return;
    }
    // Older kernels ignore O_CLOEXEC; the descriptor must not reach children.
    fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
    framebuffer = fd;
}

void VelEglFSHooks::platformDestroy()
{
    if (framebuffer != -1)
        close(framebuffer);
    framebuffer = -1;
}

EGLNativeDisplayType VelEglFSHooks::platformDisplay() const
{
    return EGL_DEFAULT_DISPLAY;
}

VelSizeF VelEglFSHooks::physicalScreenSize() const
{
    static VelSizeF size;
    if (size.width() > 0 && size.height() > 0)
        return size;

    const int widthVariable = velEnvironmentVariableIntValue("VEL_VELPA_EGLFS_PHYSICAL_WIDTH");
    const int heightVariable = velEnvironmentVariableIntValue("VEL_VELPA_EGLFS_PHYSICAL_HEIGHT");
    if (widthVariable && heightVariable) {
        size = VelSizeF(widthVariable, heightVariable);
        return size;
    }

    fb_var_screeninfo info{};
    bool fromDevice = false;
    if (framebuffer == -1) {
        const VelSize pixels = screenSize();
        size = VelSizeF(millimetresAt100Dpi(pixels.width()), millimetresAt100Dpi(pixels.height()));
    } else if (queryScreenInfo(&info)) {
        const double width =
            int(info.width) > 0 ? double(info.width) : millimetresAt100Dpi(int(info.xres));
        const double height =
            int(info.height) > 0 ? double(info.height) : millimetresAt100Dpi(int(info.yres));
        fromDevice = int(info.width) > 0 && int(info.height) > 0;
        size = VelSizeF(width, height);
    } else {
        // No answer from the device: fall back to the pixel size at 100 dpi.
        const VelSize pixels = screenSize();
        size = VelSizeF(millimetresAt100Dpi(pixels.width()), millimetresAt100Dpi(pixels.height()));
    }
    if (!fromDevice) {
        velWarning("EGLFS: Unable to query physical screen size, defaulting to %d dpi.\n"
                   "EGLFS: To override, set VEL_VELPA_EGLFS_PHYSICAL_WIDTH "
                   "and VEL_VELPA_EGLFS_PHYSICAL_HEIGHT (in millimeters).",
                   DefaultDpi);
    }
    if (widthVariable)
        size.setWidth(widthVariable);
    if (heightVariable)
        size.setHeight(heightVariable);
    return size;
}

VelSize VelEglFSHooks::screenSize() const
{
    static VelSize size;
    if (size.width() >= 1 && size.height() >= 1)
        return size;

    const int widthVariable = velEnvironmentVariableIntValue("VEL_VELPA_EGLFS_WIDTH");
    const int heightVariable = velEnvironmentVariableIntValue("VEL_VELPA_EGLFS_HEIGHT");
    if (widthVariable && heightVariable) {
        size = VelSize(widthVariable, heightVariable);
        return size;
    }

    fb_var_screeninfo info{};
    const bool queried = queryScreenInfo(&info);
    const int reportedWidth = queried ? int(info.xres) : 0;
    const int reportedHeight = queried ? int(info.yres) : 0;
    size = VelSize(reportedWidth < 1 ? DefaultWidth : reportedWidth,
                   reportedHeight < 1 ? DefaultHeight : reportedHeight);
    if (reportedWidth < 1 || reportedHeight < 1) {
        velWarning("EGLFS: Unable to query screen resolution, defaulting to %dx%d.\n"
                   "EGLFS: To override, set VEL_VELPA_EGLFS_WIDTH and VEL_VELPA_EGLFS_HEIGHT.",
                   DefaultWidth, DefaultHeight);
    }
    if (widthVariable)
        size.setWidth(widthVariable);
    if (heightVariable)
        size.setHeight(heightVariable);
    return size;
}

VelDpi VelEglFSHooks::logicalDpi() const
{
    const VelSizeF millimetres = physicalScreenSize();
    const VelSize pixels = screenSize();
    return VelDpi(25.4 * pixels.width() / millimetres.width(),
                  25.4 * pixels.height() / millimetres.height());
}

Vel::ScreenOrientation VelEglFSHooks::nativeOrientation() const
{
    return Vel::PrimaryOrientation;
}

Vel::ScreenOrientation VelEglFSHooks::orientation() const
{
    return Vel::PrimaryOrientation;
}

int VelEglFSHooks::screenDepth() const
{
    static const int variable = velEnvironmentVariableIntValue("VEL_VELPA_EGLFS_DEPTH");
    if (variable)
        return variable;
    static int depth = 0;
    if (depth > 0)
        return depth;
    fb_var_screeninfo info{};
    if (queryScreenInfo(&info))
        depth = int(info.bits_per_pixel);
    if (depth <= 0) {
        depth = DefaultDepth;
        velWarning("EGLFS: Unable to query screen depth, defaulting to %d.\n"
                   "EGLFS: To override, set VEL_VELPA_EGLFS_DEPTH.",
                   DefaultDepth);
    }
    return depth;
}

int VelEglFSHooks::screenFormat() const
{
    return screenDepth() == 16 ? 7 /* RGB16 */ : 4 /* RGB32 */;
}

VelSurfaceFormat VelEglFSHooks::surfaceFormatFor(const VelSurfaceFormat &inputFormat) const
{
    return inputFormat;
}

void *VelEglFSHooks::createNativeWindow(VelPlatformWindow *, const VelSize &,
                                        const VelSurfaceFormat &)
{
    return nullptr;
}

void VelEglFSHooks::destroyNativeWindow(void *) {}

bool VelEglFSHooks::hasCapability(int) const
{
    return false;
}

VelPlatformCursor *VelEglFSHooks::createCursor(VelEglFSScreen *screen) const
{
    return new VelEglFSCursor(screen);
}

bool VelEglFSHooks::filterConfig(EGLDisplay, EGLConfig) const
{
    return true;
}

void VelEglFSHooks::waitForVSync() const {}

const char *VelEglFSHooks::fbDeviceName() const
{
    return "/dev/fb0";
}

EGLNativeWindowType VelEglFSHooks::eglNativeWindowFor(void *nativeWindow) const
{
    return (EGLNativeWindowType)(reinterpret_cast<std::uintptr_t>(nativeWindow));
}
