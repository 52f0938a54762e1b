#include "veleglpbuffer.h"

#include "veleglconvenience.h"
#include "veloffscreensurface.h"

VelEGLPbuffer::VelEGLPbuffer(EGLDisplay display, const VelSurfaceFormat &format,
                             VelOffscreenSurface *offscreenSurface)
    : VelPlatformOffscreenSurface(offscreenSurface), m_format(format), m_display(display)
{
    const EGLConfig config = vel_configFromGLFormat(m_display, m_format, false, EGL_PBUFFER_BIT);
    if (!config)
        return;

    const VelSize size = offscreenSurface ? offscreenSurface->size() : VelSize(0, 0);
    const EGLint attributes[] = {
        EGL_WIDTH, size.width(), EGL_HEIGHT, size.height(), EGL_LARGEST_PBUFFER, 0, EGL_NONE};
    m_pbuffer = eglCreatePbufferSurface(m_display, config, attributes);
    if (m_pbuffer == EGL_NO_SURFACE)
        return;

    m_format = vel_glFormatFromConfig(m_display, config, VelSurfaceFormat());
}

VelEGLPbuffer::~VelEGLPbuffer()
{
    if (m_pbuffer != EGL_NO_SURFACE)
        eglDestroySurface(m_display, m_pbuffer);
}
