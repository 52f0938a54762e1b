#ifndef VELSURFACEFORMAT_H
#define VELSURFACEFORMAT_H

#include "velmetatype.h"

// The buffer layout and API version a window surface or GL context asks for
// or got. A size of -1 means "not specified, any will do".
class VelSurfaceFormat
{
public:
    enum RenderableType { DefaultRenderableType = 0x0, OpenGL = 0x1, OpenGLES = 0x2, OpenVG = 0x4 };
    enum SwapBehavior {
        DefaultSwapBehavior = 0,
        SingleBuffer = 1,
        DoubleBuffer = 2,
        TripleBuffer = 3
    };
    enum OpenGLContextProfile { NoProfile = 0, CoreProfile = 1, CompatibilityProfile = 2 };
    enum FormatOption {
        StereoBuffers = 0x0001,
        DebugContext = 0x0002,
        DeprecatedFunctions = 0x0004,
        ResetNotification = 0x0008
    };

    VelSurfaceFormat() = default;

    int redBufferSize() const { return m_red; }
    int greenBufferSize() const { return m_green; }
    int blueBufferSize() const { return m_blue; }
    int alphaBufferSize() const { return m_alpha; }
    int depthBufferSize() const { return m_depth; }
    int stencilBufferSize() const { return m_stencil; }
    int samples() const { return m_samples; }
    void setRedBufferSize(int size) { m_red = size; }
    void setGreenBufferSize(int size) { m_green = size; }
    void setBlueBufferSize(int size) { m_blue = size; }
    void setAlphaBufferSize(int size) { m_alpha = size; }
    void setDepthBufferSize(int size) { m_depth = size; }
    void setStencilBufferSize(int size) { m_stencil = size; }
    void setSamples(int count) { m_samples = count; }
    bool hasAlpha() const { return m_alpha > 0; }

    RenderableType renderableType() const { return m_renderableType; }
    void setRenderableType(RenderableType type) { m_renderableType = type; }
    int majorVersion() const { return m_major; }
    int minorVersion() const { return m_minor; }
    void setMajorVersion(int major) { m_major = major; }
    void setMinorVersion(int minor) { m_minor = minor; }
    void setVersion(int major, int minor);
    OpenGLContextProfile profile() const { return m_profile; }
    void setProfile(OpenGLContextProfile profile) { m_profile = profile; }
    SwapBehavior swapBehavior() const { return m_swapBehavior; }
    void setSwapBehavior(SwapBehavior behavior) { m_swapBehavior = behavior; }
    bool stereo() const { return testOption(StereoBuffers); }
    void setStereo(bool enable) { setOption(StereoBuffers, enable); }
    int swapInterval() const { return m_swapInterval; }
    void setSwapInterval(int interval) { m_swapInterval = interval; }
    int options() const { return m_options; }
    bool testOption(FormatOption option) const { return (m_options & option) != 0; }
    void setOption(FormatOption option, bool on = true);

    friend bool operator==(const VelSurfaceFormat &a, const VelSurfaceFormat &b);
    friend bool operator!=(const VelSurfaceFormat &a, const VelSurfaceFormat &b)
    {
        return !(a == b);
    }

private:
    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;
    int m_alpha = -1;
    int m_depth = -1;
    int m_stencil = -1;
    int m_samples = -1;
    RenderableType m_renderableType = DefaultRenderableType;
    int m_major = 2;
    int m_minor = 0;
    OpenGLContextProfile m_profile = NoProfile;
    SwapBehavior m_swapBehavior = DefaultSwapBehavior;
    int m_swapInterval = 1;
    int m_options = 0;
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelSurfaceFormat &f);
VelDebug &&operator<<(VelDebug &&d, const VelSurfaceFormat &f);

VEL_DECLARE_METATYPE(VelSurfaceFormat)

#endif
