#include "veleglplatformcontext.h"

#include "veleglconvenience.h"
#include "vellogging.h"

namespace
{

EGLenum apiForFormat(const VelSurfaceFormat &format)
{
    switch (format.renderableType()) {
    case VelSurfaceFormat::OpenVG:
        return EGL_OPENVG_API;
    case VelSurfaceFormat::OpenGL:
        return EGL_OPENGL_API;
    default:
        return EGL_OPENGL_ES_API;
    }
}

// What this thread last made current through a platform context. Asking EGL
// instead costs a system call a query here (the dispatch library checks for
// a fork on every entry), which made a make-current that changes nothing the
// bulk of a small flush. Only platform contexts make contexts current in this
// process, so the record stays true; each context clears it when it is done
// or destroyed.
struct CurrentBinding {
    const VelEGLPlatformContext *owner = nullptr;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
};
thread_local CurrentBinding currentBinding;

} // namespace

VelEGLPlatformContext::VelEGLPlatformContext(const VelSurfaceFormat &format,
                                             VelPlatformOpenGLContext *share, EGLDisplay display,
                                             EGLenum eglApi)
    : m_eglDisplay(display),
      m_eglConfig(vel_configFromGLFormat(display, format, false, EGL_WINDOW_BIT))
{
    VEL_UNUSED(eglApi);
    init(format, share);
}

VelEGLPlatformContext::VelEGLPlatformContext(const VelSurfaceFormat &format,
                                             VelPlatformOpenGLContext *share, EGLDisplay display,
                                             EGLConfig config, EGLenum eglApi)
    : m_eglDisplay(display), m_eglConfig(config)
{
    // The API bound follows the config's format, not the creator's wish.
    VEL_UNUSED(eglApi);
    init(format, share);
}

void VelEGLPlatformContext::init(const VelSurfaceFormat &requested, VelPlatformOpenGLContext *share)
{
    m_format = vel_glFormatFromConfig(m_eglDisplay, m_eglConfig, VelSurfaceFormat());
    // Only another EGL context can be shared with; anything else shares nothing.
    const auto *eglShare = dynamic_cast<VelEGLPlatformContext *>(share);
    m_shareContext = eglShare ? eglShare->m_eglContext : EGL_NO_CONTEXT;

    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, requested.majorVersion(),
                                        EGL_NONE};
    bindApi();
    m_eglContext = eglCreateContext(m_eglDisplay, m_eglConfig, m_shareContext, contextAttributes);
    if (m_eglContext == EGL_NO_CONTEXT && m_shareContext != EGL_NO_CONTEXT) {
        // Some drivers refuse to share between these configs; an unshared
        // context still renders, it just cannot see the other's objects.
        m_shareContext = EGL_NO_CONTEXT;
        m_eglContext =
            eglCreateContext(m_eglDisplay, m_eglConfig, EGL_NO_CONTEXT, contextAttributes);
    }
}

VelEGLPlatformContext::~VelEGLPlatformContext()
{
    if (currentBinding.owner == this)
        currentBinding = CurrentBinding();
    if (m_eglContext != EGL_NO_CONTEXT) {
        eglDestroyContext(m_eglDisplay, m_eglContext);
        m_eglContext = EGL_NO_CONTEXT;
    }
}

void VelEGLPlatformContext::bindApi() const
{
    eglBindAPI(apiForFormat(m_format));
}

bool VelEGLPlatformContext::makeCurrent(VelPlatformSurface *surface)
{
    const EGLSurface eglSurface = eglSurfaceForPlatformSurface(surface);

    // Rebinding what is already current would flush the pipeline for nothing.
    if (currentBinding.owner == this && currentBinding.context == m_eglContext &&
        currentBinding.display == m_eglDisplay && currentBinding.surface == eglSurface &&
        eglSurface != EGL_NO_SURFACE)
        return true;

    bindApi();
    if (eglMakeCurrent(m_eglDisplay, eglSurface, eglSurface, m_eglContext)) {
        currentBinding = CurrentBinding{this, m_eglDisplay, m_eglContext, eglSurface};
        return true;
    }
    currentBinding = CurrentBinding();
    velWarning("VelEGLPlatformContext::makeCurrent: eglError: %x, this: %p \n", eglGetError(),
               static_cast<void *>(this));
    return false;
}

EGLSurface VelEGLPlatformContext::boundSurface() const
{
    if (currentBinding.owner != this || currentBinding.context != m_eglContext)
        return EGL_NO_SURFACE;
    return currentBinding.surface;
}

void VelEGLPlatformContext::doneCurrent()
{
    currentBinding = CurrentBinding();
    bindApi();
    if (!eglMakeCurrent(m_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT))
        velWarning("VelEGLPlatformContext::doneCurrent(): eglError: %d, this: %p \n", eglGetError(),
                   static_cast<void *>(this));
}

void VelEGLPlatformContext::swapBuffers(VelPlatformSurface *surface)
{
    bindApi();
    const EGLSurface eglSurface = eglSurfaceForPlatformSurface(surface);
    if (!eglSwapBuffers(m_eglDisplay, eglSurface))
        velWarning("VelEGLPlatformContext::swapBuffers(): eglError: %d, this: %p \n", eglGetError(),
                   static_cast<void *>(this));
}

VelFunctionPointer VelEGLPlatformContext::getProcAddress(const VelByteArray &procName)
{
    bindApi();
    return eglGetProcAddress(procName.constData());
}
