#include "velsurfaceformat.h"

#include "vellogging.h"

#include <string>

void VelSurfaceFormat::setVersion(int major, int minor)
{
    m_major = major;
    m_minor = minor;
}

void VelSurfaceFormat::setOption(FormatOption option, bool on)
{
    if (on)
        m_options |= option;
    else
        m_options &= ~int(option);
}

bool operator==(const VelSurfaceFormat &a, const VelSurfaceFormat &b)
{
    return a.m_red == b.m_red && a.m_green == b.m_green && a.m_blue == b.m_blue &&
           a.m_alpha == b.m_alpha && a.m_depth == b.m_depth && a.m_stencil == b.m_stencil &&
           a.m_samples == b.m_samples && a.m_renderableType == b.m_renderableType &&
           a.m_major == b.m_major && a.m_minor == b.m_minor && a.m_profile == b.m_profile &&
           a.m_swapBehavior == b.m_swapBehavior && a.m_swapInterval == b.m_swapInterval &&
           a.m_options == b.m_options;
}

VelDebug &operator<<(VelDebug &d, const VelSurfaceFormat &f)
{
    std::string text =
        "VelSurfaceFormat(version " + std::to_string(f.majorVersion()) + "." +
        std::to_string(f.minorVersion()) + ", options " + std::to_string(f.options()) +
        ", depthBufferSize " + std::to_string(f.depthBufferSize()) + ", redBufferSize " +
        std::to_string(f.redBufferSize()) + ", greenBufferSize " +
        std::to_string(f.greenBufferSize()) + ", blueBufferSize " +
        std::to_string(f.blueBufferSize()) + ", alphaBufferSize " +
        std::to_string(f.alphaBufferSize()) + ", stencilBufferSize " +
        std::to_string(f.stencilBufferSize()) + ", samples " + std::to_string(f.samples()) +
        ", swapBehavior " + std::to_string(int(f.swapBehavior())) + ", swapInterval " +
        std::to_string(f.swapInterval()) + ", profile " + std::to_string(int(f.profile())) +
        ", renderableType " + std::to_string(int(f.renderableType())) + ")";
    d.appendRaw(text);
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelSurfaceFormat &f)
{
    d << f;
    return std::move(d);
}
