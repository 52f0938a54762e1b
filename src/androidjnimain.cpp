#include "androidjnimain.h"

#include "androidjnimodules.h"
#include "velandroidassetsfileenginehandler.h"
#include "velandroidguithreadcall.h"
#include "velandroidinputconnection.h"
#include "velandroidopenglplatformwindow.h"
#include "velandroidplatformintegration.h"
#include "veleglfsscreen.h"

#include "veldir.h"
#include "velguiapplication.h"
#include "velimage.h"
#include "veljnienvironment.h"
#include "veljniobject.h"
#include "vellogging.h"
#include "velmutex.h"
#include "velplatformscreen.h"
#include "velregion.h"
#include "velsemaphore.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <android/asset_manager_jni.h>
#include <android/bitmap.h>
#include <android/log.h>
#include <android/native_window_jni.h>

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>
#include <vector>

// Bridge state. It lives for the whole process and is set up by static
// initialisation before JNI_OnLoad runs.
static JavaVM *m_javaVM = nullptr;
static jclass m_applicationClass = nullptr;
static jobject m_classLoaderObject = nullptr;
static jmethodID m_loadClassMethodID = nullptr;
static jobject m_activityObject = nullptr;
static AAssetManager *m_assetManager = nullptr;
static jobject m_resourcesObj = nullptr;
static jclass m_bitmapClass = nullptr;
static jmethodID m_createBitmapMethodID = nullptr;
static jobject m_ARGB_8888_BitmapConfigValue = nullptr;
static jobject m_RGB_565_BitmapConfigValue = nullptr;
static jclass m_bitmapDrawableClass = nullptr;
static jmethodID m_bitmapDrawableConstructorMethodID = nullptr;
static jmethodID m_setFullScreenMethodID = nullptr;
static jmethodID m_redrawSurfaceMethodID = nullptr;

// Written by startVelApplication (a Java thread) only while no application
// runs; the running application reads its own copy (MainStart).
// m_applicationRunning is set by the start that wins and cleared by the
// application thread once main has returned and the library is closed.
// Like every lock and container of the bridge, never destroyed: the
// application thread may outlive the exit-time destructors.
static VelByteArrayList &m_applicationParams = *new VelByteArrayList;
static void *m_mainLibraryHnd = nullptr;
using MainFunction = int (*)(int, char **);
static MainFunction m_main = nullptr;
static std::atomic<bool> m_applicationRunning{false};

// Written by updateApplicationState (Java), read by the GUI thread.
static std::atomic<bool> m_activityActive{true};
static bool m_statusBarShowing = true;

// Lock order: the renderer's locks (the Android windows' list, then the
// shared surface's lock), then m_surfaceMutex, then m_pauseApplicationMutex
// (taken only by the pause and resume natives) or a window's pendingSizeMutex.
// The windows' surfaces are therefore never changed while m_surfaceMutex is
// held: the natives that change them release it first, and when Java holds
// it through lockSurface the change waits for the last unlockSurface.
//
// m_surfaceMutex guards m_nativeWindow (the bridge holds one reference to
// it), m_windowWaiters, m_javaSurfaceLockDepth, m_deferredSurfaceChange and
// m_androidPlatformIntegration; Java may hold it across several natives
// (lockSurface/unlockSurface), hence recursive.
static VelMutex &m_surfaceMutex = *new VelMutex(VelMutex::Recursive);
static VelMutex &m_pauseApplicationMutex = *new VelMutex;
static ANativeWindow *m_nativeWindow = nullptr;
// Threads blocked in nativeWindow(true); setSurface releases one count of
// the semaphore for each of them, once.
static int m_windowWaiters = 0;
static VelSemaphore &m_waitForWindowSemaphore = *new VelSemaphore(0);
// Atomic as well: topLevelWindowAt reads it without the mutex.
static std::atomic<VelAndroidPlatformIntegration *> m_androidPlatformIntegration{nullptr};
// Levels of m_surfaceMutex that Java holds through lockSurface.
static int m_javaSurfaceLockDepth = 0;
// A surface change or loss that arrived while Java held m_surfaceMutex; the
// last unlockSurface applies it.
static bool m_deferredSurfaceChange = false;

// Written by setDisplayMetrics (Java), read by the GUI and the UI threads.
static std::atomic<int> m_desktopWidthPixels{0};
static std::atomic<int> m_desktopHeightPixels{0};
static std::atomic<double> m_scaledDensity{0};

static AndroidAssetsFileEngineHandler *m_androidAssetsFileEngineHandler = nullptr;

static const char m_velTag[] = "Vel";
static const char m_classErrorMsg[] = "Can't find class \"%s\"";
static const char m_methodErrorMsg[] = "Can't find method \"%s%s\"";

namespace
{

constexpr int ApplicationActive = 4;

// Portrait, landscape, inverted portrait, inverted landscape.
constexpr Vel::ScreenOrientation orientationTable[4] = {
    Vel::PortraitOrientation, Vel::LandscapeOrientation, Vel::InvertedPortraitOrientation,
    Vel::InvertedLandscapeOrientation};

// putenv keeps the pointer it is given: the entries live as long as the
// process, through its exit too (never destroyed: a thread still running at
// exit may read the environment after static destructors ran).
std::list<std::string> &environmentStorage()
{
    static auto *storage = new std::list<std::string>;
    return *storage;
}

void logFatal(const char *text)
{
    __android_log_print(ANDROID_LOG_FATAL, m_velTag, "%s", text);
}

// A failed lookup leaves a Java exception pending; the next JNI call must not
// run into it.
void clearPendingException(JNIEnv *env)
{
    if (env->ExceptionCheck())
        env->ExceptionClear();
}

jclass findGlobalClass(JNIEnv *env, const char *name)
{
    jclass local = env->FindClass(name);
    if (!local) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_classErrorMsg, name);
        return nullptr;
    }
    auto global = static_cast<jclass>(env->NewGlobalRef(local));
    env->DeleteLocalRef(local);
    return global;
}

jmethodID findMethod(JNIEnv *env, jclass clazz, const char *name, const char *signature,
                     bool isStatic)
{
    jmethodID id = isStatic ? env->GetStaticMethodID(clazz, name, signature)
                            : env->GetMethodID(clazz, name, signature);
    if (!id) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_methodErrorMsg, name, signature);
    }
    return id;
}

jobject staticFieldValue(JNIEnv *env, jclass clazz, const char *name, const char *signature)
{
    jfieldID id = env->GetStaticFieldID(clazz, name, signature);
    if (!id) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_methodErrorMsg, name, signature);
        return nullptr;
    }
    jobject local = env->GetStaticObjectField(clazz, id);
    jobject global = local ? env->NewGlobalRef(local) : nullptr;
    if (local)
        env->DeleteLocalRef(local);
    return global;
}

void deleteGlobalRef(JNIEnv *env, jobject &ref)
{
    if (ref)
        env->DeleteGlobalRef(ref);
    ref = nullptr;
}

template <typename T> void deleteGlobalClassRef(JNIEnv *env, T &ref)
{
    jobject object = ref;
    deleteGlobalRef(env, object);
    ref = nullptr;
}

void callSetFullScreen(bool fullScreen)
{
    ScopedJniEnv env;
    if (!env || !m_applicationClass || !m_setFullScreenMethodID) {
        velWarning("Failed to get JNI Environment.");
        return;
    }
    env->CallStaticVoidMethod(m_applicationClass, m_setFullScreenMethodID, jboolean(fullScreen));
    clearPendingException(env.jniEnv());
    m_statusBarShowing = !fullScreen;
}

VelRect desktopRect()
{
    return VelRect(0, 0, VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                   VelAndroidPlatformIntegration::m_defaultGeometryHeight);
}

// Replaces the bridge's window (taking over the caller's reference) and wakes
// the threads waiting for one. Called with m_surfaceMutex held.
void storeNativeWindowLocked(ANativeWindow *window)
{
    if (m_nativeWindow)
        ANativeWindow_release(m_nativeWindow);
    m_nativeWindow = window;
    if (window && m_windowWaiters > 0) {
        // Each waiter gets one count, once: a second surface before they
        // run must not leave a count for a later wait.
        m_waitForWindowSemaphore.release(m_windowWaiters);
        m_windowWaiters = 0;
    }
}

// The host's 32-bit pixels are words 0xAARRGGBB (bytes B, G, R, A on this
// little-endian machine); an ARGB_8888 bitmap holds the bytes R, G, B, A.
// Copied as they lie, a red icon would arrive blue.
void copyArgbAsRgba(const VelImage &image, uchar *destination, int width, int height, int stride)
{
    const int rows = velMin(height, image.height());
    const int columns = velMin(width, image.width());
    for (int y = 0; y < rows; ++y, destination += stride) {
        const auto *source = reinterpret_cast<const veluint32 *>(image.constScanLine(y));
        uchar *out = destination;
        for (int x = 0; x < columns; ++x, out += 4) {
            const veluint32 pixel = source[x];
            out[0] = uchar(pixel >> 16);
            out[1] = uchar(pixel >> 8);
            out[2] = uchar(pixel);
            out[3] = uchar(pixel >> 24);
        }
    }
}

// Locks m_surfaceMutex. Java may hold it across natives (lockSurface): the
// GUI thread waiting for it waits for Java, and says so.
class SurfaceLocker
{
public:
    SurfaceLocker() { relock(); }
    ~SurfaceLocker() { unlock(); }
    SurfaceLocker(const SurfaceLocker &) = delete;
    SurfaceLocker &operator=(const SurfaceLocker &) = delete;

    void unlock()
    {
        if (m_locked)
            m_surfaceMutex.unlock();
        m_locked = false;
    }
    void relock()
    {
        if (m_locked)
            return;
        if (!m_surfaceMutex.tryLock()) {
            const VelAndroidGuiThreadCall::BlockedInJava blocked;
            m_surfaceMutex.lock();
        }
        m_locked = true;
    }

private:
    bool m_locked = false;
};

// -- Application start and lifecycle --------------------------------------

// What the application thread runs, owned by that thread: argv points into
// params for as long as main runs, whatever Java calls meanwhile.
struct MainStart {
    VelByteArrayList params;
    MainFunction main = nullptr;
    void *library = nullptr;
};

void *startMainMethod(void *argument)
{
    std::unique_ptr<MainStart> start(static_cast<MainStart *>(argument));
    std::vector<char *> argv;
    argv.reserve(start->params.size() + 1);
    for (VelByteArray &param : start->params)
        argv.push_back(param.data());
    argv.push_back(nullptr);

    start->main(int(start->params.size()), argv.data());

    if (start->library && dlclose(start->library) != 0)
        velWarning() << "dlclose failed:" << dlerror();
    // The class is held locally while the application still counts as
    // running, so that a terminateVel that hears of the end first cannot
    // delete it under this thread.
    ScopedJniEnv env;
    jclass application = env && m_applicationClass
                             ? static_cast<jclass>(env->NewLocalRef(m_applicationClass))
                             : nullptr;
    // Before quitApp: Java may start the next application as soon as it hears.
    m_applicationRunning.store(false);

    if (application) {
        jmethodID quitApp = env->GetStaticMethodID(application, "quitApp", "()V");
        clearPendingException(env.jniEnv());
        if (quitApp)
            env->CallStaticVoidMethod(application, quitApp);
        clearPendingException(env.jniEnv());
        env->DeleteLocalRef(application);
    }
    return nullptr;
}

void setEnvironmentEntries(const VelByteArray &environment)
{
    for (const VelByteArray &entry : environment.split('\t')) {
        if (entry.isEmpty())
            continue;
        std::string &stored = environmentStorage().emplace_back(entry.toStdString());
        if (putenv(&stored[0]) != 0) {
            velWarning() << "Can't set environment" << entry;
            environmentStorage().pop_back();
        }
    }
}

MainFunction findMain()
{
    m_mainLibraryHnd = nullptr;
    void *symbol = nullptr;
    if (m_applicationParams.empty()) {
        velWarning("No main library was specified; searching entire process (this is slow!)");
        symbol = dlsym(RTLD_DEFAULT, "main");
    } else {
        // The Java side has normally loaded the library already; this takes a
        // further handle to it. glibc refuses a mode of 0, so ask for lazy binding.
        m_mainLibraryHnd = dlopen(m_applicationParams.front().constData(), RTLD_LAZY);
        if (!m_mainLibraryHnd) {
            velCritical() << "dlopen failed:" << dlerror();
            return nullptr;
        }
        symbol = dlsym(m_mainLibraryHnd, "main");
    }
    if (!symbol) {
        velCritical() << "dlsym failed:" << dlerror();
        velCritical() << "Could not find main method";
    }
    return reinterpret_cast<MainFunction>(symbol);
}

jboolean startVelAndroidPlugin(JNIEnv *, jobject)
{
    {
        VelMutexLocker lock(&m_surfaceMutex);
        storeNativeWindowLocked(nullptr);
        m_androidPlatformIntegration = nullptr;
    }
    if (!m_androidAssetsFileEngineHandler)
        m_androidAssetsFileEngineHandler = new AndroidAssetsFileEngineHandler();
    return JNI_TRUE;
}

void startVelApplication(JNIEnv *env, jobject, jstring paramsString, jstring environmentString)
{
    // One application per process: a second start would rewrite the state
    // the running one reads.
    if (m_applicationRunning.exchange(true)) {
        velWarning("startVelApplication: an application is already running; ignored");
        return;
    }
    m_mainLibraryHnd = nullptr;
    setEnvironmentEntries(VelJNIObjectPrivate::fromJString(env, environmentString).toUtf8());
    const VelByteArray params = VelJNIObjectPrivate::fromJString(env, paramsString).toUtf8();
    // An empty parameter string holds no library: search the whole process.
    m_applicationParams = params.isEmpty() ? VelByteArrayList() : params.split('\t');

    if (!VelDir::setCurrent(VelDir::homePath()))
        velWarning() << "Can't change to the home directory" << VelDir::homePath();

    m_main = findMain();
    if (!m_main) {
        m_applicationRunning.store(false);
        return;
    }

    auto *start = new MainStart{m_applicationParams, m_main, m_mainLibraryHnd};
    pthread_t appThread;
    if (pthread_create(&appThread, nullptr, startMainMethod, start) == 0) {
        pthread_detach(appThread);
    } else {
        velWarning("startVelApplication: cannot start the application thread");
        delete start;
        m_applicationRunning.store(false);
    }
}

void pauseVelApp(JNIEnv *, jobject)
{
    VelMutexLocker surfaceLock(&m_surfaceMutex);
    VelMutexLocker pauseLock(&m_pauseApplicationMutex);
    if (VelAndroidPlatformIntegration *integration = m_androidPlatformIntegration.load())
        integration->pauseApp();
}

void resumeVelApp(JNIEnv *, jobject)
{
    VelMutexLocker surfaceLock(&m_surfaceMutex);
    VelMutexLocker pauseLock(&m_pauseApplicationMutex);
    if (VelAndroidPlatformIntegration *integration = m_androidPlatformIntegration.load())
        integration->resumeApp();
}

void quitVelAndroidPlugin(JNIEnv *, jobject)
{
    {
        VelMutexLocker lock(&m_surfaceMutex);
        m_androidPlatformIntegration = nullptr;
    }
    delete m_androidAssetsFileEngineHandler;
    m_androidAssetsFileEngineHandler = nullptr;
}

void terminateVel(JNIEnv *env, jobject)
{
    // The application's threads still reach Java through these references
    // (and a later activity may carry on with it): they go with the
    // application, not before it.
    if (m_applicationRunning.load()) {
        velWarning("terminateVel: the application is still running; its Java references are kept");
        return;
    }
    deleteGlobalClassRef(env, m_applicationClass);
    deleteGlobalRef(env, m_classLoaderObject);
    deleteGlobalRef(env, m_resourcesObj);
    deleteGlobalRef(env, m_activityObject);
    deleteGlobalClassRef(env, m_bitmapClass);
    deleteGlobalRef(env, m_ARGB_8888_BitmapConfigValue);
    deleteGlobalRef(env, m_RGB_565_BitmapConfigValue);
    deleteGlobalClassRef(env, m_bitmapDrawableClass);
}

void updateApplicationState(JNIEnv *, jobject, jint state)
{
    m_activityActive = (state == ApplicationActive);
    if (!VelAndroid::androidPlatformIntegration() || !VelGuiApplication::platformIntegration())
        return;
    VelWindowSystemInterface::handleApplicationStateChanged(Vel::ApplicationState(state));
}

// -- Surface, display metrics and orientation -----------------------------

// What the renderer must do after a change of m_nativeWindow, given the
// integration read with it; called with m_surfaceMutex released.
void applySurfaceChange(VelAndroidPlatformIntegration *integration, bool haveWindow)
{
    if (!integration)
        return;
    if (haveWindow)
        integration->surfaceChanged();
    else
        integration->invalidateNativeSurface();
}

// True when the renderer's part of a change must wait for Java's last
// unlockSurface (m_surfaceMutex held, by this thread then).
bool deferWhileJavaHoldsTheSurfaceLock()
{
    if (m_javaSurfaceLockDepth == 0)
        return false;
    m_deferredSurfaceChange = true;
    return true;
}

void setSurface(JNIEnv *env, jobject, jobject jSurface)
{
    VelMutexLocker lock(&m_surfaceMutex);
    ANativeWindow *window = jSurface ? ANativeWindow_fromSurface(env, jSurface) : nullptr;
    clearPendingException(env);
    const bool hadWindow = m_nativeWindow != nullptr;
    const bool sameWindow = window && window == m_nativeWindow;
    // The bridge keeps exactly one reference to the current window; renderers
    // take their own. The reference fromSurface added is the one kept.
    storeNativeWindowLocked(window);

    VelAndroidPlatformIntegration *integration = m_androidPlatformIntegration;
    if (!integration)
        return;

    if (VelPlatformScreen *screen = integration->screenForJava()) {
        VelWindowSystemInterface::handleScreenAvailableGeometryChange(screen, desktopRect());
        VelWindowSystemInterface::handleScreenGeometryChange(screen, desktopRect());
    }

    if (!window) {
        // A surface without a window is no surface: the windows give theirs up
        // as after destroySurface, and nobody waits here for a new one.
        if (!hadWindow || deferWhileJavaHoldsTheSurfaceLock())
            return;
        lock.unlock();
        integration->invalidateNativeSurface();
        return;
    }

    if (!sameWindow) {
        if (deferWhileJavaHoldsTheSurfaceLock())
            return;
        lock.unlock();
        integration->surfaceChanged();
        return;
    }

    // The same window again (a resize): every window takes the desktop size
    // after its next frame.
    if (deferWhileJavaHoldsTheSurfaceLock())
        return;
    lock.unlock();
    integration->resizeAllWindows(VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                                  VelAndroidPlatformIntegration::m_defaultGeometryHeight);
}

void destroySurface(JNIEnv *, jobject)
{
    VelMutexLocker lock(&m_surfaceMutex);
    storeNativeWindowLocked(nullptr);
    VelAndroidPlatformIntegration *integration = m_androidPlatformIntegration;
    if (!integration || deferWhileJavaHoldsTheSurfaceLock())
        return;
    lock.unlock();
    integration->invalidateNativeSurface();
}

void lockSurface(JNIEnv *, jobject)
{
    m_surfaceMutex.lock();
    ++m_javaSurfaceLockDepth;
}

void unlockSurface(JNIEnv *, jobject)
{
    bool haveWindow = false;
    bool apply = false;
    VelAndroidPlatformIntegration *integration = nullptr;
    {
        VelMutexLocker lock(&m_surfaceMutex);
        if (m_javaSurfaceLockDepth == 0) {
            velWarning("unlockSurface: the surface is not locked");
            return;
        }
        if (--m_javaSurfaceLockDepth == 0 && m_deferredSurfaceChange) {
            m_deferredSurfaceChange = false;
            apply = true;
            haveWindow = m_nativeWindow != nullptr;
            integration = m_androidPlatformIntegration;
        }
    }
    m_surfaceMutex.unlock();
    if (apply)
        applySurfaceChange(integration, haveWindow);
}

// No display is larger. Beyond it the windows would take sizes that the
// compositor's viewport and textures cannot have (GL's limit is commonly this
// size, and a software renderer given more overruns its own stack).
constexpr int maxDesktopPixels = 16384;

bool plausibleDesktopSize(int width, int height)
{
    return width >= 0 && height >= 0 && width <= maxDesktopPixels && height <= maxDesktopPixels;
}

int millimetres(int pixels, double dpi)
{
    return int(double(pixels) / dpi * 25.4 + 0.5);
}

void setDisplayMetrics(JNIEnv *, jobject, jint /*screenWidth*/, jint /*screenHeight*/,
                       jint desktopWidth, jint desktopHeight, jdouble xdpi, jdouble ydpi,
                       jdouble scaledDensity)
{
    if (!plausibleDesktopSize(desktopWidth, desktopHeight)) {
        velWarning("setDisplayMetrics: ignoring the desktop size %d x %d", int(desktopWidth),
                   int(desktopHeight));
        return;
    }
    m_desktopWidthPixels = desktopWidth;
    m_desktopHeightPixels = desktopHeight;
    // The logical dpi is made from it: a density that is no number would make
    // every font size one.
    if (std::isfinite(scaledDensity) && scaledDensity >= 0)
        m_scaledDensity = scaledDensity;
    else
        velWarning("setDisplayMetrics: ignoring the scaled density %g", double(scaledDensity));

    // A density of zero or less has no millimetre size: keep the last one.
    int widthMm = VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth;
    int heightMm = VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight;
    if (xdpi > 0 && ydpi > 0 && desktopWidth >= 0 && desktopHeight >= 0) {
        widthMm = millimetres(desktopWidth, xdpi);
        heightMm = millimetres(desktopHeight, ydpi);
    } else {
        velWarning("setDisplayMetrics: ignoring the physical size for density %g x %g", xdpi, ydpi);
    }

    if (VelAndroidPlatformIntegration *integration = VelAndroid::androidPlatformIntegration()) {
        integration->setDisplayMetrics(widthMm, heightMm);
        integration->setDesktopSize(desktopWidth, desktopHeight);
    } else {
        VelAndroidPlatformIntegration::setDefaultDisplayMetrics(desktopWidth, desktopHeight,
                                                                widthMm, heightMm);
    }
}

void updateWindow(JNIEnv *, jobject)
{
    VelAndroidPlatformIntegration *integration = VelAndroid::androidPlatformIntegration();
    if (!integration)
        return;
    if (VelGuiApplication::instance())
        integration->exposeAllWindows();
    velWarning("updateWindow: Dirty screen not implemented yet on OpenGL");
}

void handleOrientationChanged(JNIEnv *, jobject, jint newRotation, jint nativeOrientation)
{
    // The table has four entries; a natural orientation other than portrait or
    // landscape cannot be placed in it at all.
    if (nativeOrientation != 1 && nativeOrientation != 2) {
        velWarning("handleOrientationChanged: unknown natural orientation %d", nativeOrientation);
        return;
    }
    // Reduced first: a rotation near INT_MAX must not overflow the sum.
    const int index = (((newRotation % 4 + nativeOrientation - 1) % 4) + 4) % 4;
    const Vel::ScreenOrientation current = orientationTable[index];
    const Vel::ScreenOrientation native = orientationTable[nativeOrientation - 1];
    VelAndroidPlatformIntegration::setScreenOrientation(current, native);
    if (VelAndroidPlatformIntegration *integration = VelAndroid::androidPlatformIntegration()) {
        if (VelPlatformScreen *screen = integration->screenForJava())
            VelWindowSystemInterface::handleScreenOrientationChange(screen, current);
    }
}

// JNINativeMethod predates const; RegisterNatives only reads the strings.
JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod methods[] = {
    nativeMethod("startVelAndroidPlugin", "()Z", reinterpret_cast<void *>(startVelAndroidPlugin)),
    nativeMethod("startVelApplication", "(Ljava/lang/String;Ljava/lang/String;)V",
                 reinterpret_cast<void *>(startVelApplication)),
    nativeMethod("pauseVelApp", "()V", reinterpret_cast<void *>(pauseVelApp)),
    nativeMethod("resumeVelApp", "()V", reinterpret_cast<void *>(resumeVelApp)),
    nativeMethod("quitVelAndroidPlugin", "()V", reinterpret_cast<void *>(quitVelAndroidPlugin)),
    nativeMethod("terminateVel", "()V", reinterpret_cast<void *>(terminateVel)),
    nativeMethod("setDisplayMetrics", "(IIIIDDD)V", reinterpret_cast<void *>(setDisplayMetrics)),
    nativeMethod("setSurface", "(Ljava/lang/Object;)V", reinterpret_cast<void *>(setSurface)),
    nativeMethod("destroySurface", "()V", reinterpret_cast<void *>(destroySurface)),
    nativeMethod("lockSurface", "()V", reinterpret_cast<void *>(lockSurface)),
    nativeMethod("unlockSurface", "()V", reinterpret_cast<void *>(unlockSurface)),
    nativeMethod("updateWindow", "()V", reinterpret_cast<void *>(updateWindow)),
    nativeMethod("updateApplicationState", "(I)V",
                 reinterpret_cast<void *>(updateApplicationState)),
    nativeMethod("handleOrientationChanged", "(II)V",
                 reinterpret_cast<void *>(handleOrientationChanged)),
};

// -- Library load ----------------------------------------------------------

bool cacheActivityMembers(JNIEnv *env, jobject activity)
{
    jclass contextWrapper = findGlobalClass(env, "android/content/ContextWrapper");
    if (!contextWrapper)
        return false;
    bool ok = false;
    jmethodID getAssets =
        findMethod(env, contextWrapper, "getAssets", "()Landroid/content/res/AssetManager;", false);
    if (getAssets) {
        jobject assets = env->CallObjectMethod(activity, getAssets);
        clearPendingException(env);
        m_assetManager = assets ? AAssetManager_fromJava(env, assets) : nullptr;
        if (assets)
            env->DeleteLocalRef(assets);
        jmethodID getResources = findMethod(env, contextWrapper, "getResources",
                                            "()Landroid/content/res/Resources;", false);
        if (getResources) {
            jobject resources = env->CallObjectMethod(activity, getResources);
            clearPendingException(env);
            m_resourcesObj = resources ? env->NewGlobalRef(resources) : nullptr;
            if (resources)
                env->DeleteLocalRef(resources);
            ok = true;
        }
    }
    env->DeleteGlobalRef(contextWrapper);
    return ok;
}

bool cacheBitmapMembers(JNIEnv *env)
{
    m_bitmapClass = findGlobalClass(env, "android/graphics/Bitmap");
    if (!m_bitmapClass)
        return false;
    m_createBitmapMethodID =
        findMethod(env, m_bitmapClass, "createBitmap",
                   "(IILandroid/graphics/Bitmap$Config;)Landroid/graphics/Bitmap;", true);
    if (!m_createBitmapMethodID)
        return false;

    jclass configClass = findGlobalClass(env, "android/graphics/Bitmap$Config");
    if (!configClass)
        return false;
    m_ARGB_8888_BitmapConfigValue =
        staticFieldValue(env, configClass, "ARGB_8888", "Landroid/graphics/Bitmap$Config;");
    m_RGB_565_BitmapConfigValue =
        m_ARGB_8888_BitmapConfigValue
            ? staticFieldValue(env, configClass, "RGB_565", "Landroid/graphics/Bitmap$Config;")
            : nullptr;
    env->DeleteGlobalRef(configClass);
    if (!m_ARGB_8888_BitmapConfigValue || !m_RGB_565_BitmapConfigValue)
        return false;

    m_bitmapDrawableClass = findGlobalClass(env, "android/graphics/drawable/BitmapDrawable");
    if (!m_bitmapDrawableClass)
        return false;
    m_bitmapDrawableConstructorMethodID =
        findMethod(env, m_bitmapDrawableClass, "<init>",
                   "(Landroid/content/res/Resources;Landroid/graphics/Bitmap;)V", false);
    return m_bitmapDrawableConstructorMethodID != nullptr;
}

// The result of a static method of VelNative without arguments. A method
// that is missing, throws or gives nothing is reported with the method error
// and yields null: what the load needs from it cannot be had.
jobject callStaticObject(JNIEnv *env, const char *name, const char *signature)
{
    jmethodID id = findMethod(env, m_applicationClass, name, signature, true);
    if (!id)
        return nullptr;
    jobject result = env->CallStaticObjectMethod(m_applicationClass, id);
    const bool threw = env->ExceptionCheck();
    clearPendingException(env);
    if (threw || !result) {
        if (result)
            env->DeleteLocalRef(result);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_methodErrorMsg, name, signature);
        return nullptr;
    }
    return result;
}

// Steps 3 to 15 of the load; every failure has already logged its reason.
bool initJavaReferences(JNIEnv *env)
{
    m_applicationClass = findGlobalClass(env, "org/vel/android/VelNative");
    if (!m_applicationClass)
        return false;
    m_setFullScreenMethodID = findMethod(env, m_applicationClass, "setFullScreen", "(Z)V", true);
    if (!m_setFullScreenMethodID)
        return false;
    if (env->RegisterNatives(m_applicationClass, methods, sizeof(methods) / sizeof(methods[0])) <
        0) {
        clearPendingException(env);
        logFatal("RegisterNatives failed");
        return false;
    }
    m_redrawSurfaceMethodID = findMethod(env, m_applicationClass, "redrawSurface", "(IIII)V", true);
    if (!m_redrawSurfaceMethodID)
        return false;

    jobject activity = callStaticObject(env, "activity", "()Landroid/app/Activity;");
    if (!activity)
        return false;
    m_activityObject = env->NewGlobalRef(activity);

    jobject classLoader = callStaticObject(env, "classLoader", "()Ljava/lang/ClassLoader;");
    if (!classLoader) {
        env->DeleteLocalRef(activity);
        return false;
    }
    m_classLoaderObject = env->NewGlobalRef(classLoader);
    // The host's JNI wrapper then finds companion classes the way the bridge does.
    velJniSetClassLoader(env, classLoader);
    jclass loaderClass = env->GetObjectClass(classLoader);
    m_loadClassMethodID =
        findMethod(env, loaderClass, "loadClass", "(Ljava/lang/String;)Ljava/lang/Class;", false);
    env->DeleteLocalRef(loaderClass);
    env->DeleteLocalRef(classLoader);
    if (!m_loadClassMethodID) {
        env->DeleteLocalRef(activity);
        return false;
    }

    const bool activityCached = cacheActivityMembers(env, activity);
    env->DeleteLocalRef(activity);
    if (!activityCached)
        return false;
    if (!cacheBitmapMembers(env))
        return false;
    return VelAndroidBridgeModules::registerAll(env);
}

} // namespace

// -- Accessors ----------------------------------------------------------------

namespace VelAndroid
{

JavaVM *javaVM()
{
    return m_javaVM;
}
jclass applicationClass()
{
    return m_applicationClass;
}
jobject activity()
{
    return m_activityObject;
}
AAssetManager *assetManager()
{
    return m_assetManager;
}
const char *classErrorMsgFmt()
{
    return m_classErrorMsg;
}
const char *methodErrorMsgFmt()
{
    return m_methodErrorMsg;
}
const char *velTagText()
{
    return m_velTag;
}
int desktopWidthPixels()
{
    return m_desktopWidthPixels;
}
int desktopHeightPixels()
{
    return m_desktopHeightPixels;
}
double scaledDensity()
{
    return m_scaledDensity;
}

jclass findClass(const VelString &className, JNIEnv *env)
{
    if (!m_classLoaderObject || !m_loadClassMethodID)
        return nullptr;
    // Callers name classes as JNI does ("org/vel/android/X"); a class loader
    // knows them only by their binary name ("org.vel.android.X").
    VelString binaryName = className;
    binaryName.replace(VelString("/"), VelString("."));
    jstring name = VelJNIObjectPrivate::toJString(env, binaryName);
    jobject clazz = env->CallObjectMethod(m_classLoaderObject, m_loadClassMethodID, name);
    env->DeleteLocalRef(name);
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        if (clazz)
            env->DeleteLocalRef(clazz);
        return nullptr;
    }
    return static_cast<jclass>(clazz);
}

jobject createBitmap(const VelImage &source, JNIEnv *env)
{
    VelImage image = source;
    if (image.format() != VelImage::Format_ARGB32 && image.format() != VelImage::Format_RGB16)
        image = image.convertToFormat(VelImage::Format_ARGB32);
    const bool argb = image.format() == VelImage::Format_ARGB32;

    jobject bitmap = env->CallStaticObjectMethod(
        m_bitmapClass, m_createBitmapMethodID, jint(image.width()), jint(image.height()),
        argb ? m_ARGB_8888_BitmapConfigValue : m_RGB_565_BitmapConfigValue);
    clearPendingException(env);
    if (!bitmap)
        return nullptr;

    AndroidBitmapInfo info;
    void *pixels = nullptr;
    if (AndroidBitmap_getInfo(env, bitmap, &info) < 0 ||
        AndroidBitmap_lockPixels(env, bitmap, &pixels) < 0) {
        env->DeleteLocalRef(bitmap);
        return nullptr;
    }

    auto *destination = static_cast<uchar *>(pixels);
    if (argb) {
        copyArgbAsRgba(image, destination, int(info.width), int(info.height), int(info.stride));
    } else if (int(info.stride) == image.bytesPerLine() && int(info.width) == image.width() &&
               int(info.height) == image.height()) {
        std::memcpy(destination, image.constBits(), size_t(info.stride) * info.height);
    } else {
        const int rows = velMin(int(info.height), image.height());
        const size_t rowBytes = size_t(velMin(int(info.width), image.width()) * 2);
        for (int y = 0; y < rows; ++y, destination += info.stride)
            std::memcpy(destination, image.constScanLine(y), rowBytes);
    }
    AndroidBitmap_unlockPixels(env, bitmap);
    return bitmap;
}

jobject createBitmapDrawable(jobject bitmap, JNIEnv *env)
{
    if (!bitmap || !m_bitmapDrawableClass)
        return nullptr;
    jobject drawable = env->NewObject(m_bitmapDrawableClass, m_bitmapDrawableConstructorMethodID,
                                      m_resourcesObj, bitmap);
    clearPendingException(env);
    return drawable;
}

void setAndroidPlatformIntegration(VelAndroidPlatformIntegration *integration)
{
    SurfaceLocker lock;
    m_androidPlatformIntegration = integration;
}

VelAndroidPlatformIntegration *androidPlatformIntegration()
{
    SurfaceLocker lock;
    return m_androidPlatformIntegration;
}

VelWindow *topLevelWindowAt(const VelPoint &point)
{
    VelAndroidPlatformIntegration *integration = m_androidPlatformIntegration.load();
    if (!integration)
        return nullptr;
    VelPlatformScreen *screen = integration->screenForJava();
    return screen ? screen->topLevelAt(point) : nullptr;
}

void withAndroidPlatformIntegration(
    const std::function<void(VelAndroidPlatformIntegration *)> &work)
{
    VelMutexLocker lock(&m_surfaceMutex);
    work(m_androidPlatformIntegration);
}

static std::atomic<WindowWaitHook> m_windowWaitHook{nullptr};
static std::atomic<WindowWaitHook> m_windowWokenHook{nullptr};

bool applicationRunning()
{
    return m_applicationRunning.load();
}

void setNativeWindowWaitHook(WindowWaitHook hook)
{
    m_windowWaitHook = hook;
}

void setNativeWindowWokenHook(WindowWaitHook hook)
{
    m_windowWokenHook = hook;
}

namespace
{

// The current window, with one more reference for the caller when asked;
// waits for one when asked. Every look at m_nativeWindow happens under the
// mutex, and so does the caller's reference: Java may release the window
// the moment the mutex is free.
ANativeWindow *currentNativeWindow(bool waitForWindow, bool addReference)
{
    SurfaceLocker lock;
    while (!m_nativeWindow && waitForWindow) {
        // Counted under the mutex, and setSurface looks under the same mutex:
        // a surface arriving between the unlock and the acquire leaves its
        // count in the semaphore.
        ++m_windowWaiters;
        lock.unlock();
        if (WindowWaitHook hook = m_windowWaitHook.load())
            hook();
        {
            // Only a Java thread can end this wait: a Java thread handing work
            // to us meanwhile must not wait for us in turn.
            const VelAndroidGuiThreadCall::BlockedInJava blocked;
            m_waitForWindowSemaphore.acquire();
        }
        if (WindowWaitHook hook = m_windowWokenHook.load())
            hook();
        // The window that woke us may be gone again: look once more.
        lock.relock();
    }
    if (addReference && m_nativeWindow)
        ANativeWindow_acquire(m_nativeWindow);
    return m_nativeWindow;
}

} // namespace

ANativeWindow *nativeWindow(bool waitForWindow)
{
    return currentNativeWindow(waitForWindow, false);
}

ANativeWindow *acquireNativeWindow(bool waitForWindow)
{
    return currentNativeWindow(waitForWindow, true);
}

void showStatusBar()
{
    if (m_statusBarShowing)
        return;
    callSetFullScreen(false);
}

void hideStatusBar()
{
    if (!m_statusBarShowing)
        return;
    callSetFullScreen(true);
}

void setApplicationActive()
{
    if (m_activityActive)
        VelWindowSystemInterface::handleApplicationStateChanged(Vel::ApplicationActive);
}

int androidApiLevel(JNIEnv *env)
{
    jclass versionClass = env->FindClass("android/os/Build$VERSION");
    if (!versionClass) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_classErrorMsg,
                            "android/os/Build$VERSION");
        return 0;
    }
    jfieldID field = env->GetStaticFieldID(versionClass, "SDK_INT", "I");
    int level = 0;
    if (!field) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_methodErrorMsg, "SDK_INT", "I");
    } else {
        level = env->GetStaticIntField(versionClass, field);
    }
    env->DeleteLocalRef(versionClass);
    return level;
}

} // namespace VelAndroid

ScopedJniEnv::ScopedJniEnv()
{
    JavaVM *vm = m_javaVM;
    if (!vm)
        return;
    void *env = nullptr;
    if (vm->GetEnv(&env, JNI_VERSION_1_6) < 0) {
        if (vm->AttachCurrentThread(reinterpret_cast<void **>(&m_env), nullptr) < 0) {
            __android_log_print(ANDROID_LOG_ERROR, m_velTag, "AttachCurrentThread failed");
            m_env = nullptr;
            return;
        }
        m_attached = true;
        return;
    }
    m_env = static_cast<JNIEnv *>(env);
}

ScopedJniEnv::~ScopedJniEnv()
{
    if (m_attached)
        m_javaVM->DetachCurrentThread();
}

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM *vm, void *)
{
    __android_log_print(ANDROID_LOG_INFO, m_velTag, "vel start");
    m_javaVM = nullptr;

    void *envPointer = nullptr;
    if (vm->GetEnv(&envPointer, JNI_VERSION_1_4) != JNI_OK) {
        logFatal("GetEnv failed");
        return -1;
    }
    auto *env = static_cast<JNIEnv *>(envPointer);

    if (!initJavaReferences(env)) {
        logFatal("registerNatives failed");
        return -1;
    }
    if (VelAndroid::androidApiLevel(env) > 15 &&
        !VelAndroidBridgeModules::registerAccessibilityAgain(env)) {
        __android_log_print(ANDROID_LOG_FATAL, "Vel A11y", "registerNatives failed");
        return -1;
    }

    VelAndroidInputConnection::registerBeforeContext(env);

    // The host's JNI wrapper and the rest of the bridge see the VM only once
    // everything above succeeded.
    velJniSetJavaVM(vm);
    m_javaVM = vm;
    return JNI_VERSION_1_4;
}
