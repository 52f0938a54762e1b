#ifndef VELANDROIDPLATFORMINTEGRATION_H
#define VELANDROIDPLATFORMINTEGRATION_H

#include "velandroidinputcontext.h"
#include "veleglfsintegration.h"

#include <atomic>
#include <memory>
#include <mutex>

class VelAndroidPlatformAccessibility;
class VelAndroidPlatformClipboard;
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

    void initialize() override;
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
    // Called by the bridge on a Java thread with its surface mutex released.
    void invalidateNativeSurface();
    void surfaceChanged();
    void resizeAllWindows(int width, int height);
    void exposeAllWindows();

    // The screen, for Java threads: published once initialize() has made it
    // (null before), so a Java thread never sees it half made.
    VelPlatformScreen *screenForJava() const { return m_screenForJava.load(); }

    // Only under the bridge's surface mutex (VelAndroid::withAndroidPlatformIntegration):
    // the touch bridge creates the device on the Java UI thread.
    VelTouchDevice *touchDevice() const { return m_touchDevice; }
    void setTouchDevice(VelTouchDevice *device) { m_touchDevice = device; }

    // Written by Java threads, read by the GUI thread: each value on its own
    // (relaxed atomics, no order between them).
    static std::atomic<int> m_defaultGeometryWidth;
    static std::atomic<int> m_defaultGeometryHeight;
    static std::atomic<int> m_defaultPhysicalSizeWidth;
    static std::atomic<int> m_defaultPhysicalSizeHeight;
    static std::atomic<Vel::ScreenOrientation> m_orientation;
    static std::atomic<Vel::ScreenOrientation> m_nativeOrientation;

protected:
    VelEglFSScreen *createScreen() const override;

private:
    std::atomic<VelPlatformScreen *> m_screenForJava{nullptr};
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
