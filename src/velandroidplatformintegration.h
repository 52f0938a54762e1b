#ifndef VELANDROIDPLATFORMINTEGRATION_H
#define VELANDROIDPLATFORMINTEGRATION_H

#include "velandroidinputcontext.h"
#include "veleglfsintegration.h"

class VelAndroidPlatformClipboard;
#include <memory>
#include <mutex>

class VelAndroidPlatformAccessibility;
class VelAndroidPlatformFontDatabase;
class VelAndroidPlatformNativeInterface;
class VelAndroidPlatformServices;
class VelAndroidSystemLocale;
class VelThread;
class VelTouchDevice;

// The integration the host asks for everything platform-specific on Android:
// the full-screen EGL integration with Android windows, contexts and screen,
// and the target of the bridge's surface, pause and resume notifications.
class VelAndroidPlatformIntegration : public VelEglFSIntegration
{
public:
    explicit VelAndroidPlatformIntegration(const VelStringList &parameters);
    ~VelAndroidPlatformIntegration() override;

    bool hasCapability(Capability capability) const override;
    VelPlatformWindow *createPlatformWindow(VelWindow *window) const override;
    VelPlatformOpenGLContext *createPlatformOpenGLContext(VelOpenGLContext *context) const override;
    VelPlatformFontDatabase *fontDatabase() const override;
    VelPlatformClipboard *clipboard() const override;
    VelPlatformNativeInterface *nativeInterface() const override;
    VelPlatformServices *services() const override;
    VelPlatformInputContext *inputContext() const override;
    // Made on the first request, from whichever thread asks first.
    VelPlatformAccessibility *accessibility() const override;
    VelVariant styleHint(StyleHint hint) const override;
    Vel::WindowState defaultWindowState(Vel::WindowFlags flags) const override;
    VelStringList themeNames() const override;
    VelPlatformTheme *createPlatformTheme(const VelString &name) const override;

    virtual void setDesktopSize(int width, int height);
    virtual void setDisplayMetrics(int widthMillimetres, int heightMillimetres);

    static void setDefaultDisplayMetrics(int geometryWidth, int geometryHeight, int physicalWidth,
                                         int physicalHeight);
    static void setScreenOrientation(Vel::ScreenOrientation currentOrientation,
                                     Vel::ScreenOrientation nativeOrientation);

    void pauseApp();
    void resumeApp();
    void invalidateNativeSurface();
    void surfaceChanged();

    // Only under the bridge's surface mutex (VelAndroid::withAndroidPlatformIntegration):
    // the touch bridge creates the device on the Java UI thread.
    VelTouchDevice *touchDevice() const { return m_touchDevice; }
    void setTouchDevice(VelTouchDevice *device) { m_touchDevice = device; }

    // Written by Java threads, read by the GUI thread; single 32-bit values.
    static int m_defaultGeometryWidth;
    static int m_defaultGeometryHeight;
    static int m_defaultPhysicalSizeWidth;
    static int m_defaultPhysicalSizeHeight;
    static Vel::ScreenOrientation m_orientation;
    static Vel::ScreenOrientation m_nativeOrientation;

protected:
    VelEglFSScreen *createScreen() const override;

private:
    VelTouchDevice *m_touchDevice = nullptr; // never freed: the host keeps touch devices
    VelThread *m_mainThread;
    VelAndroidPlatformFontDatabase *m_androidFontDatabase = nullptr; // owned
    VelAndroidPlatformNativeInterface *m_androidNativeInterface;     // owned
    VelAndroidPlatformServices *m_androidServices = nullptr;         // owned
    // Registers the clipboard manager with Java; the host is handed the
    // process-wide clipboard() instead.
    VelAndroidPlatformClipboard *m_androidClipboard = nullptr; // owned
    VelAndroidSystemLocale *m_androidSystemLocale = nullptr;   // owned; installed while it lives
    // Destroyed after the destructor closed the GUI-thread hand-over, so no
    // Java-thread operation can still be waiting for this thread then.
    mutable VelAndroidInputContext m_androidInputContext;
    mutable std::once_flag m_accessibilityCreated;
    mutable std::unique_ptr<VelAndroidPlatformAccessibility> m_accessibility;
};

#endif
