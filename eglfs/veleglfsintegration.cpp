#include "veleglfsintegration.h"

#include "veleglfsbackingstore.h"
#include "veleglfscompositor.h"
#include "veleglfscontext.h"
#include "veleglfshooks.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "velbasicfontdatabase.h"
#include "veleglconvenience.h"
#include "veleglpbuffer.h"
#include "velgenericunixeventdispatcher.h"
#include "velgenericunixservices.h"
#include "vellogging.h"
#include "veloffscreensurface.h"
#include "velopenglcontext.h"
#include "velplatforminputcontextfactory.h"
#include "velscreen.h"
#include "velvariant.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

int velInitResources_cursor();

namespace
{

constexpr int ToolTipType = 13;

// The config chooser with the device hooks' last word on each config.
class Chooser : public VelEglConfigChooser
{
public:
    explicit Chooser(EGLDisplay display) : VelEglConfigChooser(display) {}
    bool filterConfig(EGLConfig config) const override
    {
        return platformHooks->filterConfig(display(), config) &&
               VelEglConfigChooser::filterConfig(config);
    }
};

void failEgl(const char *warning)
{
    velWarning("%s", warning);
    velFatal("EGL error");
}

} // namespace

VelEglFSIntegration::VelEglFSIntegration()
    : m_fontDatabase(new VelBasicFontDatabase), m_services(new VelGenericUnixServices)
{
    velInitResources_cursor();
}

VelEglFSIntegration::~VelEglFSIntegration()
{
    VelEglFSCompositor::destroy();
    delete m_screen;
    m_screen = nullptr;
    if (m_display != EGL_NO_DISPLAY)
        eglTerminate(m_display);
    platformHooks->platformDestroy();
    delete m_services;
    delete m_fontDatabase;
}

void VelEglFSIntegration::initialize()
{
    platformHooks->platformInit();
    if (!eglBindAPI(EGL_OPENGL_ES_API))
        failEgl("Could not bind GL_ES API\n");
    m_display = eglGetDisplay(platformHooks->platformDisplay());
    if (m_display == EGL_NO_DISPLAY)
        failEgl("Could not open egl display\n");
    EGLint major = 0;
    EGLint minor = 0;
    if (!eglInitialize(m_display, &major, &minor))
        failEgl("Could not initialize egl display\n");

    m_screen = createScreen();
    screenAdded(m_screen);
    m_inputContext = VelPlatformInputContextFactory::create();
}

bool VelEglFSIntegration::hasCapability(Capability capability) const
{
    if (platformHooks->hasCapability(capability))
        return true;
    switch (capability) {
    case ThreadedPixmaps:
    case OpenGL:
    case ThreadedOpenGL:
        return true;
    case WindowManagement:
        return false;
    default:
        return VelPlatformIntegration::hasCapability(capability);
    }
}

VelPlatformWindow *VelEglFSIntegration::createPlatformWindow(VelWindow *window) const
{
    VelWindowSystemInterface::flushWindowSystemEvents();
    auto *platformWindow = new VelEglFSWindow(window);
    platformWindow->create();
    if (int(window->type()) != ToolTipType)
        platformWindow->requestActivateWindow();
    return platformWindow;
}

VelPlatformBackingStore *VelEglFSIntegration::createPlatformBackingStore(VelWindow *window) const
{
    return new VelEglFSBackingStore(window);
}

VelPlatformOpenGLContext *
VelEglFSIntegration::createPlatformOpenGLContext(VelOpenGLContext *context) const
{
    return new VelEglFSContext(platformHooks->surfaceFormatFor(context->requestedFormat()),
                               context->shareHandle(), m_display, EGL_OPENGL_ES_API);
}

VelPlatformOffscreenSurface *
VelEglFSIntegration::createPlatformOffscreenSurface(VelOffscreenSurface *surface) const
{
    auto *eglScreen = static_cast<VelEglFSScreen *>(surface->screen()->handle());
    return new VelEGLPbuffer(eglScreen->display(),
                             platformHooks->surfaceFormatFor(surface->requestedFormat()), surface);
}

VelAbstractEventDispatcher *VelEglFSIntegration::createEventDispatcher() const
{
    return createUnixEventDispatcher();
}

VelPlatformFontDatabase *VelEglFSIntegration::fontDatabase() const
{
    return m_fontDatabase;
}

VelPlatformServices *VelEglFSIntegration::services() const
{
    return m_services;
}

VelPlatformInputContext *VelEglFSIntegration::inputContext() const
{
    return m_inputContext;
}

VelPlatformNativeInterface *VelEglFSIntegration::nativeInterface() const
{
    return const_cast<VelEglFSIntegration *>(this);
}

VelVariant VelEglFSIntegration::styleHint(StyleHint hint) const
{
    if (hint == ShowIsFullScreen)
        return VelVariant(m_screen && !m_screen->rootWindow());
    return VelPlatformIntegration::styleHint(hint);
}

void *VelEglFSIntegration::nativeResourceForIntegration(const VelByteArray &resource)
{
    if (resource == "egldisplay" || resource.toLower() == "egldisplay")
        return m_display;
    return nullptr;
}

VelEglFSScreen *VelEglFSIntegration::createScreen() const
{
    return new VelEglFSScreen(m_display);
}

EGLConfig VelEglFSIntegration::chooseConfig(EGLDisplay display, const VelSurfaceFormat &format)
{
    Chooser chooser(display);
    chooser.setSurfaceFormat(format);
    return chooser.chooseConfig();
}
