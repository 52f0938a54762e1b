#include "velandroidplatformintegration.h"

#include "androidjnimain.h"
#include "velandroidguithreadcall.h"
#include "velandroidopenglcontext.h"
#include "velandroidopenglplatformscreen.h"
#include "velandroidopenglplatformwindow.h"
#include "velandroidplatformfontdatabase.h"
#include "velandroidplatformnativeinterface.h"
#include "velandroidplatformservices.h"
#include "veleglfshooks.h"

#include "velabstracteventdispatcher.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velthread.h"
#include "velvariant.h"
#include "velwindow.h"

std::atomic<int> VelAndroidPlatformIntegration::m_defaultGeometryWidth{320};
std::atomic<int> VelAndroidPlatformIntegration::m_defaultGeometryHeight{455};
std::atomic<int> VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth{50};
std::atomic<int> VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight{71};
std::atomic<Vel::ScreenOrientation> VelAndroidPlatformIntegration::m_orientation{
    Vel::PrimaryOrientation};
std::atomic<Vel::ScreenOrientation> VelAndroidPlatformIntegration::m_nativeOrientation{
    Vel::PrimaryOrientation};

namespace
{

constexpr unsigned DialogBit = 0x2;

} // namespace

VelAndroidPlatformIntegration::VelAndroidPlatformIntegration(const VelStringList &)
    : m_mainThread(VelThread::currentThread())
{
    m_androidNativeInterface = new VelAndroidPlatformNativeInterface;
    VelAndroid::setAndroidPlatformIntegration(this);
    m_androidFontDatabase = new VelAndroidPlatformFontDatabase;
    m_androidServices = new VelAndroidPlatformServices;
    VelAndroidGuiThreadCall::start();
}

VelAndroidPlatformIntegration::~VelAndroidPlatformIntegration()
{
    VelAndroidGuiThreadCall::stop();
    delete m_androidNativeInterface;
    delete m_androidFontDatabase;
    VelAndroid::setAndroidPlatformIntegration(nullptr);
    delete m_androidServices;
}

void VelAndroidPlatformIntegration::initialize()
{
    VelEglFSIntegration::initialize();
    m_screenForJava.store(screen());
}

bool VelAndroidPlatformIntegration::hasCapability(Capability capability) const
{
    switch (capability) {
    case ThreadedPixmaps:
    case ApplicationState:
        return true;
    case NativeWidgets:
        return false;
    default:
        return VelEglFSIntegration::hasCapability(capability);
    }
}

VelPlatformWindow *VelAndroidPlatformIntegration::createPlatformWindow(VelWindow *window) const
{
    auto *platformWindow = new VelAndroidOpenGLPlatformWindow(window);
    platformWindow->create();
    platformWindow->attachToSharedSurface();
    platformWindow->requestActivateWindow();
    platformWindow->setWindowState(window->windowState());
    return platformWindow;
}

VelPlatformOpenGLContext *
VelAndroidPlatformIntegration::createPlatformOpenGLContext(VelOpenGLContext *context) const
{
    return new VelAndroidOpenGLContext(this,
                                       platformHooks->surfaceFormatFor(context->requestedFormat()),
                                       context->shareHandle(), display(), EGL_OPENGL_ES_API);
}

VelPlatformFontDatabase *VelAndroidPlatformIntegration::fontDatabase() const
{
    return m_androidFontDatabase;
}

VelPlatformNativeInterface *VelAndroidPlatformIntegration::nativeInterface() const
{
    return m_androidNativeInterface;
}

VelPlatformServices *VelAndroidPlatformIntegration::services() const
{
    return m_androidServices;
}

VelVariant VelAndroidPlatformIntegration::styleHint(StyleHint hint) const
{
    if (hint == ShowIsMaximized)
        return VelVariant(true);
    return VelPlatformIntegration::styleHint(hint);
}

Vel::WindowState VelAndroidPlatformIntegration::defaultWindowState(Vel::WindowFlags flags) const
{
    if (unsigned(flags) & DialogBit)
        return Vel::WindowNoState;
    return VelPlatformIntegration::defaultWindowState(flags);
}

VelEglFSScreen *VelAndroidPlatformIntegration::createScreen() const
{
    return new VelAndroidOpenGLPlatformScreen(display());
}

void VelAndroidPlatformIntegration::setDesktopSize(int width, int height)
{
    m_defaultGeometryWidth = width;
    m_defaultGeometryHeight = height;
}

void VelAndroidPlatformIntegration::setDisplayMetrics(int widthMillimetres, int heightMillimetres)
{
    m_defaultPhysicalSizeWidth = widthMillimetres;
    m_defaultPhysicalSizeHeight = heightMillimetres;
}

void VelAndroidPlatformIntegration::setDefaultDisplayMetrics(int geometryWidth, int geometryHeight,
                                                             int physicalWidth, int physicalHeight)
{
    m_defaultGeometryWidth = geometryWidth;
    m_defaultGeometryHeight = geometryHeight;
    m_defaultPhysicalSizeWidth = physicalWidth;
    m_defaultPhysicalSizeHeight = physicalHeight;
}

void VelAndroidPlatformIntegration::setScreenOrientation(Vel::ScreenOrientation currentOrientation,
                                                         Vel::ScreenOrientation nativeOrientation)
{
    m_orientation = currentOrientation;
    m_nativeOrientation = nativeOrientation;
}

void VelAndroidPlatformIntegration::pauseApp()
{
    if (VelAbstractEventDispatcher *dispatcher = VelAbstractEventDispatcher::instance(m_mainThread))
        dispatcher->interrupt();
}

void VelAndroidPlatformIntegration::resumeApp()
{
    if (VelAbstractEventDispatcher *dispatcher = VelAbstractEventDispatcher::instance(m_mainThread))
        dispatcher->wakeUp();
}

void VelAndroidPlatformIntegration::invalidateNativeSurface()
{
    VelAndroidOpenGLPlatformWindow::invalidateAll();
}

void VelAndroidPlatformIntegration::surfaceChanged()
{
    VelAndroidOpenGLPlatformWindow::resetAll();
}

void VelAndroidPlatformIntegration::exposeAllWindows()
{
    VelAndroidOpenGLPlatformWindow::exposeAll();
}

void VelAndroidPlatformIntegration::resizeAllWindows(int width, int height)
{
    VelAndroidOpenGLPlatformWindow::resizeAll(width, height);
}
