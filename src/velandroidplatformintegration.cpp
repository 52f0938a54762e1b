#include "velandroidplatformintegration.h"

#include "androidjnimain.h"
#include "androidjnimenu.h"
#include "velandroidguithreadcall.h"
#include "velandroidopenglcontext.h"
#include "velandroidopenglplatformscreen.h"
#include "velandroidopenglplatformwindow.h"
#include "velandroidplatformaccessibility.h"
#include "velandroidplatformclipboard.h"
#include "velandroidplatformfontdatabase.h"
#include "velandroidplatformnativeinterface.h"
#include "velandroidplatformservices.h"
#include "velandroidplatformtheme.h"
#include "velandroidsystemlocale.h"
#include "veleglfshooks.h"

#include "velabstracteventdispatcher.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velthread.h"
#include "velvariant.h"
#include "velwindow.h"

int VelAndroidPlatformIntegration::m_defaultGeometryWidth = 320;
int VelAndroidPlatformIntegration::m_defaultGeometryHeight = 455;
int VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth = 50;
int VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight = 71;
Vel::ScreenOrientation VelAndroidPlatformIntegration::m_orientation = Vel::PrimaryOrientation;
Vel::ScreenOrientation VelAndroidPlatformIntegration::m_nativeOrientation = Vel::PrimaryOrientation;

namespace
{

constexpr unsigned DialogBit = 0x2;

template <typename Function> void forEachPlatformWindow(Function function)
{
    for (VelWindow *window : VelGuiApplication::topLevelWindows()) {
        if (auto *platformWindow = static_cast<VelAndroidOpenGLPlatformWindow *>(window->handle()))
            function(platformWindow);
    }
}

} // namespace

VelAndroidPlatformIntegration::VelAndroidPlatformIntegration(const VelStringList &)
    : m_mainThread(VelThread::currentThread())
{
    m_androidNativeInterface = new VelAndroidPlatformNativeInterface;
    VelAndroid::setAndroidPlatformIntegration(this);
    m_androidFontDatabase = new VelAndroidPlatformFontDatabase;
    m_androidServices = new VelAndroidPlatformServices;
    m_androidClipboard = new VelAndroidPlatformClipboard;
    m_androidSystemLocale = new VelAndroidSystemLocale;
    VelAndroidGuiThreadCall::start();
}

VelAndroidPlatformIntegration::~VelAndroidPlatformIntegration()
{
    VelAndroidGuiThreadCall::stop();
    delete m_androidNativeInterface;
    delete m_androidFontDatabase;
    delete m_androidSystemLocale;
    VelAndroid::setAndroidPlatformIntegration(nullptr);
    delete m_androidServices;
    delete m_androidClipboard;
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
    VelAndroidMenu::setActiveTopLevelWindow(window);
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

VelPlatformClipboard *VelAndroidPlatformIntegration::clipboard() const
{
    // One for the process: the host's clipboards of a later integration keep
    // pointing at a live object.
    static VelAndroidPlatformClipboard *const processClipboard = new VelAndroidPlatformClipboard;
    return processClipboard;
}

VelPlatformNativeInterface *VelAndroidPlatformIntegration::nativeInterface() const
{
    return m_androidNativeInterface;
}

VelPlatformServices *VelAndroidPlatformIntegration::services() const
{
    return m_androidServices;
}

VelPlatformInputContext *VelAndroidPlatformIntegration::inputContext() const
{
    return &m_androidInputContext;
}

VelPlatformAccessibility *VelAndroidPlatformIntegration::accessibility() const
{
    std::call_once(m_accessibilityCreated,
                   [this] { m_accessibility.reset(new VelAndroidPlatformAccessibility); });
    return m_accessibility.get();
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

VelStringList VelAndroidPlatformIntegration::themeNames() const
{
    return VelStringList() << VelString("android");
}

VelPlatformTheme *VelAndroidPlatformIntegration::createPlatformTheme(const VelString &name) const
{
    if (name != VelString("android"))
        return nullptr;
    return new VelAndroidPlatformTheme(m_androidNativeInterface);
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
    forEachPlatformWindow(
        [](VelAndroidOpenGLPlatformWindow *window) { window->invalidateSurface(); });
}

void VelAndroidPlatformIntegration::surfaceChanged()
{
    VelAndroidOpenGLPlatformWindow::updateStaticNativeWindow();
    forEachPlatformWindow([](VelAndroidOpenGLPlatformWindow *window) { window->resetSurface(); });
}
