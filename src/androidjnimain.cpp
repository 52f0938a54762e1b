#include "androidjnimain.h"

#include "androidjnimodules.h"
#include "velandroidguithreadcall.h"
#if __has_include("velandroidassetsfileenginehandler.h")
#include "velandroidassetsfileenginehandler.h"
#define VEL_ANDROID_ASSETS_HANDLER 1
#endif
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

// Written by startVelApplication before the application thread starts; only
// read while main runs.
static VelByteArrayList m_applicationParams;
static void *m_mainLibraryHnd = nullptr;
using MainFunction = int (*)(int, char **);
static MainFunction m_main = nullptr;

static bool m_activityActive = true;
static bool m_statusBarShowing = true;

// Lock order: m_surfaceMutex, then m_pauseApplicationMutex (taken only by the
// pause and resume natives), then a window's pendingSizeMutex.
// m_surfaceMutex guards m_nativeWindow, m_waitForWindow and
// m_androidPlatformIntegration; Java may hold it across several natives
// (lockSurface/unlockSurface), hence recursive.
static VelMutex m_surfaceMutex(VelMutex::Recursive);
static VelMutex m_pauseApplicationMutex;
static ANativeWindow *m_nativeWindow = nullptr;
static bool m_waitForWindow = false;
static VelSemaphore m_waitForWindowSemaphore(0);
static VelAndroidPlatformIntegration *m_androidPlatformIntegration = nullptr;

static int m_desktopWidthPixels = 0;
static int m_desktopHeightPixels = 0;
static double m_scaledDensity = 0;

#ifdef VEL_ANDROID_ASSETS_HANDLER
static AndroidAssetsFileEngineHandler *m_androidAssetsFileEngineHandler = nullptr;
#endif

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

// putenv keeps the pointer it is given: the entries live as long as the process.
std::list<std::string> &environmentStorage()
{
    static std::list<std::string> storage;
    return storage;
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

void postExposeForTopLevelWindows()
{
    for (VelWindow *window : VelGuiApplication::topLevelWindows())
        VelWindowSystemInterface::handleExposeEvent(window, VelRegion(window->geometry()));
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

// -- Application start and lifecycle --------------------------------------

void *startMainMethod(void *)
{
    std::vector<char *> argv;
    argv.reserve(m_applicationParams.size() + 1);
    for (VelByteArray &param : m_applicationParams)
        argv.push_back(param.data());
    argv.push_back(nullptr);

    m_main(int(m_applicationParams.size()), argv.data());

    if (m_mainLibraryHnd) {
        if (dlclose(m_mainLibraryHnd) != 0)
            velWarning() << "dlclose failed:" << dlerror();
        m_mainLibraryHnd = nullptr;
    }

    ScopedJniEnv env;
    if (env && m_applicationClass) {
        jmethodID quitApp = env->GetStaticMethodID(m_applicationClass, "quitApp", "()V");
        if (quitApp)
            env->CallStaticVoidMethod(m_applicationClass, quitApp);
        clearPendingException(env.jniEnv());
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
        if (m_nativeWindow)
            ANativeWindow_release(m_nativeWindow);
        m_nativeWindow = nullptr;
        m_waitForWindow = false;
        m_androidPlatformIntegration = nullptr;
    }
#ifdef VEL_ANDROID_ASSETS_HANDLER
    if (!m_androidAssetsFileEngineHandler)
        m_androidAssetsFileEngineHandler = new AndroidAssetsFileEngineHandler();
#endif
    return JNI_TRUE;
}

void startVelApplication(JNIEnv *env, jobject, jstring paramsString, jstring environmentString)
{
    m_mainLibraryHnd = nullptr;
    setEnvironmentEntries(VelJNIObjectPrivate::fromJString(env, environmentString).toUtf8());
    const VelByteArray params = VelJNIObjectPrivate::fromJString(env, paramsString).toUtf8();
    // An empty parameter string holds no library: search the whole process.
    m_applicationParams = params.isEmpty() ? VelByteArrayList() : params.split('\t');

    if (!VelDir::setCurrent(VelDir::homePath()))
        velWarning() << "Can't change to the home directory" << VelDir::homePath();

    m_main = findMain();
    if (!m_main)
        return;

    pthread_t appThread;
    if (pthread_create(&appThread, nullptr, startMainMethod, nullptr) == 0)
        pthread_detach(appThread);
}

void pauseVelApp(JNIEnv *, jobject)
{
    VelMutexLocker surfaceLock(&m_surfaceMutex);
    VelMutexLocker pauseLock(&m_pauseApplicationMutex);
    if (m_androidPlatformIntegration)
        m_androidPlatformIntegration->pauseApp();
}

void resumeVelApp(JNIEnv *, jobject)
{
    VelMutexLocker surfaceLock(&m_surfaceMutex);
    VelMutexLocker pauseLock(&m_pauseApplicationMutex);
    if (m_androidPlatformIntegration)
        m_androidPlatformIntegration->resumeApp();
}

void quitVelAndroidPlugin(JNIEnv *, jobject)
{
    {
        VelMutexLocker lock(&m_surfaceMutex);
        m_androidPlatformIntegration = nullptr;
    }
#ifdef VEL_ANDROID_ASSETS_HANDLER
    delete m_androidAssetsFileEngineHandler;
    m_androidAssetsFileEngineHandler = nullptr;
#endif
}

void terminateVel(JNIEnv *env, jobject)
{
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
    if (!m_androidPlatformIntegration || !VelGuiApplication::platformIntegration())
        return;
    VelWindowSystemInterface::handleApplicationStateChanged(Vel::ApplicationState(state));
}

// -- Surface, display metrics and orientation -----------------------------

void setSurface(JNIEnv *env, jobject, jobject jSurface)
{
    VelMutexLocker lock(&m_surfaceMutex);
    ANativeWindow *window = jSurface ? ANativeWindow_fromSurface(env, jSurface) : nullptr;
    const bool sameWindow = window && window == m_nativeWindow;
    // The bridge keeps exactly one reference to the current window; renderers
    // take their own. The reference fromSurface added is the one kept.
    if (m_nativeWindow)
        ANativeWindow_release(m_nativeWindow);
    m_nativeWindow = window;

    if (m_waitForWindow)
        m_waitForWindowSemaphore.release();

    if (!m_androidPlatformIntegration)
        return;

    if (VelPlatformScreen *screen = m_androidPlatformIntegration->screen()) {
        VelWindowSystemInterface::handleScreenAvailableGeometryChange(screen, desktopRect());
        VelWindowSystemInterface::handleScreenGeometryChange(screen, desktopRect());
    }

    if (!sameWindow) {
        VelAndroidPlatformIntegration *integration = m_androidPlatformIntegration;
        lock.unlock();
        integration->surfaceChanged();
        return;
    }

    for (VelWindow *topLevel : VelGuiApplication::topLevelWindows()) {
        auto *platformWindow = static_cast<VelAndroidOpenGLPlatformWindow *>(topLevel->handle());
        if (!platformWindow)
            continue;
        VelMutexLocker sizeLock(&platformWindow->pendingSizeMutex);
        platformWindow->pendingSize =
            VelSize(VelAndroidPlatformIntegration::m_defaultGeometryWidth,
                    VelAndroidPlatformIntegration::m_defaultGeometryHeight);
        VelWindowSystemInterface::handleExposeEvent(topLevel, VelRegion(topLevel->geometry()));
    }
}

void destroySurface(JNIEnv *, jobject)
{
    ANativeWindow *old = m_nativeWindow;
    m_nativeWindow = nullptr;
    if (old)
        ANativeWindow_release(old);
    if (m_androidPlatformIntegration)
        m_androidPlatformIntegration->invalidateNativeSurface();
}

void lockSurface(JNIEnv *, jobject)
{
    m_surfaceMutex.lock();
}
void unlockSurface(JNIEnv *, jobject)
{
    m_surfaceMutex.unlock();
}

int millimetres(int pixels, double dpi)
{
    return int(double(pixels) / dpi * 25.4 + 0.5);
}

void setDisplayMetrics(JNIEnv *, jobject, jint /*screenWidth*/, jint /*screenHeight*/,
                       jint desktopWidth, jint desktopHeight, jdouble xdpi, jdouble ydpi,
                       jdouble scaledDensity)
{
    m_desktopWidthPixels = desktopWidth;
    m_desktopHeightPixels = desktopHeight;
    m_scaledDensity = scaledDensity;

    // A density of zero or less has no millimetre size: keep the last one.
    int widthMm = VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth;
    int heightMm = VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight;
    if (xdpi > 0 && ydpi > 0 && desktopWidth >= 0 && desktopHeight >= 0) {
        widthMm = millimetres(desktopWidth, xdpi);
        heightMm = millimetres(desktopHeight, ydpi);
    } else {
        velWarning("setDisplayMetrics: ignoring the physical size for density %g x %g", xdpi, ydpi);
    }

    if (m_androidPlatformIntegration) {
        m_androidPlatformIntegration->setDisplayMetrics(widthMm, heightMm);
        m_androidPlatformIntegration->setDesktopSize(desktopWidth, desktopHeight);
    } else {
        VelAndroidPlatformIntegration::setDefaultDisplayMetrics(desktopWidth, desktopHeight,
                                                                widthMm, heightMm);
    }
}

void updateWindow(JNIEnv *, jobject)
{
    if (!m_androidPlatformIntegration)
        return;
    if (VelGuiApplication::instance())
        postExposeForTopLevelWindows();
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
    const int index = (((newRotation + nativeOrientation - 1) % 4) + 4) % 4;
    const Vel::ScreenOrientation current = orientationTable[index];
    const Vel::ScreenOrientation native = orientationTable[nativeOrientation - 1];
    VelAndroidPlatformIntegration::setScreenOrientation(current, native);
    if (m_androidPlatformIntegration) {
        if (VelPlatformScreen *screen = m_androidPlatformIntegration->screen())
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

jobject callStaticObject(JNIEnv *env, const char *name, const char *signature)
{
    jmethodID id = findMethod(env, m_applicationClass, name, signature, true);
    if (!id)
        return nullptr;
    jobject result = env->CallStaticObjectMethod(m_applicationClass, id);
    clearPendingException(env);
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
    if (!activity && env->ExceptionCheck())
        return false;
    m_activityObject = activity ? env->NewGlobalRef(activity) : nullptr;

    jobject classLoader = callStaticObject(env, "classLoader", "()Ljava/lang/ClassLoader;");
    if (!classLoader) {
        if (activity)
            env->DeleteLocalRef(activity);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_methodErrorMsg, "classLoader",
                            "()Ljava/lang/ClassLoader;");
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
        if (activity)
            env->DeleteLocalRef(activity);
        return false;
    }

    const bool activityCached = cacheActivityMembers(env, activity);
    if (activity)
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
    VelMutexLocker lock(&m_surfaceMutex);
    m_androidPlatformIntegration = integration;
}

VelAndroidPlatformIntegration *androidPlatformIntegration()
{
    VelMutexLocker lock(&m_surfaceMutex);
    return m_androidPlatformIntegration;
}

VelWindow *topLevelWindowAt(const VelPoint &point)
{
    if (!m_androidPlatformIntegration)
        return nullptr;
    VelPlatformScreen *screen = m_androidPlatformIntegration->screen();
    return screen ? screen->topLevelAt(point) : nullptr;
}

void withAndroidPlatformIntegration(
    const std::function<void(VelAndroidPlatformIntegration *)> &work)
{
    VelMutexLocker lock(&m_surfaceMutex);
    work(m_androidPlatformIntegration);
}

static std::atomic<WindowWaitHook> m_windowWaitHook{nullptr};

void setNativeWindowWaitHook(WindowWaitHook hook)
{
    m_windowWaitHook = hook;
}

ANativeWindow *nativeWindow(bool waitForWindow)
{
    m_surfaceMutex.lock();
    if (!m_nativeWindow && waitForWindow) {
        // m_waitForWindow is set under the mutex, and setSurface tests it under
        // the same mutex: a surface arriving between the unlock and the acquire
        // leaves its count in the semaphore.
        m_waitForWindow = true;
        m_surfaceMutex.unlock();
        if (WindowWaitHook hook = m_windowWaitHook.load())
            hook();
        // Only a Java thread can end this wait: a Java thread handing work to
        // us meanwhile must not wait for us in turn.
        const VelAndroidGuiThreadCall::BlockedInJava blocked;
        m_waitForWindowSemaphore.acquire();
        m_waitForWindow = false;
    } else {
        m_surfaceMutex.unlock();
    }
    return m_nativeWindow;
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

    // The host's JNI wrapper and the rest of the bridge see the VM only once
    // everything above succeeded.
    velJniSetJavaVM(vm);
    m_javaVM = vm;
    return JNI_VERSION_1_4;
}
