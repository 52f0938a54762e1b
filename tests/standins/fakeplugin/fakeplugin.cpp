// A stand-in for the platform plugin with just enough of its Java contract to
// prove the companion classes and the launcher path: JNI_OnLoad registers the
// core natives on VelNative with their exact signatures, every native call is
// recorded, startVelApplication runs the app's main on a thread of its own and
// tells Java through VelNative.quitApp when main returned, and setSurface
// paints the surface's X window in the colour VEL_FAKEPLUGIN_PAINT (RRGGBB)
// so that screenshots have something to show.

#include "fakeplugin.h"

#include "fakeanswer.h"
#include "fakeinput.h"

#include <android/asset_manager_jni.h>
#include <android/log.h>
#include <android/native_window_jni.h>
#include <velstandin.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <dlfcn.h>
#include <jni.h>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

const char tag[] = "VelFake";

// Guards calls (entries are never removed, so pointers into them stay valid),
// nativeWindow and appParameters. Taken alone.
std::mutex stateMutex;
std::deque<std::string> calls;
ANativeWindow *nativeWindow = nullptr;
std::vector<std::string> appParameters;

JavaVM *javaVm = nullptr;
jclass velNativeClass = nullptr;
jobject activityObject = nullptr;
AAssetManager *assetManager = nullptr;

void record(const std::string &call)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    calls.push_back(call);
}

std::string utf(JNIEnv *env, jstring text)
{
    if (!text)
        return "(null)";
    const char *chars = env->GetStringUTFChars(text, nullptr);
    std::string out = chars ? chars : "";
    if (chars)
        env->ReleaseStringUTFChars(text, chars);
    return out;
}

std::vector<std::string> splitTabs(const std::string &text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t tab = text.find('\t', start);
        parts.push_back(
            text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return parts;
        start = tab + 1;
    }
}

void paint(unsigned long window, unsigned long rgb)
{
    // The host process may use Xlib on other threads too.
    XInitThreads();
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, rgb);
    XFillRectangle(display, window, gc, 0, 0, 16384, 16384);
    XFreeGC(display, gc);
    XSync(display, False);
    XCloseDisplay(display);
}

void runMain(void *library, int (*mainFunction)(int, char **), std::vector<std::string> args)
{
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    const int result = mainFunction(static_cast<int>(args.size()), argv.data());
    record("main returned " + std::to_string(result));
    if (library)
        dlclose(library);
    JNIEnv *env = nullptr;
    if (javaVm->AttachCurrentThread(reinterpret_cast<void **>(&env), nullptr) != JNI_OK) {
        __android_log_print(ANDROID_LOG_ERROR, tag, "AttachCurrentThread failed");
        return;
    }
    jmethodID quitApp = env->GetStaticMethodID(velNativeClass, "quitApp", "()V");
    if (quitApp)
        env->CallStaticVoidMethod(velNativeClass, quitApp);
    if (env->ExceptionCheck())
        env->ExceptionClear();
    javaVm->DetachCurrentThread();
}

jboolean startVelAndroidPlugin(JNIEnv *, jclass)
{
    record("startVelAndroidPlugin()");
    return JNI_TRUE;
}

void startVelApplication(JNIEnv *env, jclass, jstring parameters, jstring environment)
{
    const std::string params = utf(env, parameters);
    const std::string envText = utf(env, environment);
    record("startVelApplication(" + params + "|" + envText + ")");
    for (const std::string &entry : splitTabs(envText)) {
        if (!entry.empty())
            ::putenv(::strdup(entry.c_str())); // the environment keeps the string
    }
    std::vector<std::string> args = params.empty() ? std::vector<std::string>() : splitTabs(params);
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        appParameters = args;
    }
    void *library = nullptr;
    if (!args.empty()) {
        library = dlopen(args[0].c_str(), RTLD_NOW);
        if (!library) {
            __android_log_print(ANDROID_LOG_ERROR, tag, "dlopen failed: %s", dlerror());
            return;
        }
    }
    auto mainFunction =
        reinterpret_cast<int (*)(int, char **)>(dlsym(library ? library : RTLD_DEFAULT, "main"));
    if (!mainFunction) {
        __android_log_print(ANDROID_LOG_ERROR, tag, "no main");
        if (library)
            dlclose(library);
        return;
    }
    std::thread(runMain, library, mainFunction, args).detach();
}

void recordOnly(const char *name)
{
    record(std::string(name) + "()");
}

void pauseVelApp(JNIEnv *, jclass)
{
    recordOnly("pauseVelApp");
}

void resumeVelApp(JNIEnv *, jclass)
{
    recordOnly("resumeVelApp");
}

void quitVelAndroidPlugin(JNIEnv *, jclass)
{
    recordOnly("quitVelAndroidPlugin");
}

void terminateVel(JNIEnv *env, jclass)
{
    recordOnly("terminateVel");
    if (activityObject)
        env->DeleteGlobalRef(activityObject);
    activityObject = nullptr;
}

void setDisplayMetrics(JNIEnv *, jclass, jint screenWidth, jint screenHeight, jint desktopWidth,
                       jint desktopHeight, jdouble xdpi, jdouble ydpi, jdouble scaledDensity)
{
    std::ostringstream text;
    text << "setDisplayMetrics(" << screenWidth << ", " << screenHeight << ", " << desktopWidth
         << ", " << desktopHeight << ", " << xdpi << ", " << ydpi << ", " << scaledDensity << ")";
    record(text.str());
}

void setSurface(JNIEnv *env, jclass, jobject surface)
{
    ANativeWindow *window = ANativeWindow_fromSurface(env, surface);
    const unsigned long xid = velStandinNativeWindowHandle(window);
    std::ostringstream text;
    text << "setSurface(" << (window ? "window" : "null") << ")";
    record(text.str());
    ANativeWindow *previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        previous = nativeWindow;
        nativeWindow = window;
    }
    if (previous)
        ANativeWindow_release(previous);
    if (const char *colour = std::getenv("VEL_FAKEPLUGIN_PAINT")) {
        if (xid)
            paint(xid, std::strtoul(colour, nullptr, 16));
    }
    if (window)
        velFakeInputSurfaceArrived(env, velNativeClass);
}

void destroySurface(JNIEnv *, jclass)
{
    recordOnly("destroySurface");
    ANativeWindow *previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        previous = nativeWindow;
        nativeWindow = nullptr;
    }
    if (previous)
        ANativeWindow_release(previous);
}

void lockSurface(JNIEnv *, jclass)
{
    recordOnly("lockSurface");
}

void unlockSurface(JNIEnv *, jclass)
{
    recordOnly("unlockSurface");
}

void updateWindow(JNIEnv *, jclass)
{
    recordOnly("updateWindow");
    velFakeAnswerRedraw();
}

void updateApplicationState(JNIEnv *, jclass, jint state)
{
    record("updateApplicationState(" + std::to_string(state) + ")");
}

void handleOrientationChanged(JNIEnv *, jclass, jint rotation, jint nativeOrientation)
{
    record("handleOrientationChanged(" + std::to_string(rotation) + ", " +
           std::to_string(nativeOrientation) + ")");
}

// JNINativeMethod's members are not const in this JDK's header.
JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod coreMethods[] = {
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

jint fail(const char *what)
{
    __android_log_print(ANDROID_LOG_FATAL, tag, "%s", what);
    return -1;
}

} // namespace

extern "C" {

JNIEXPORT jint JNI_OnLoad(JavaVM *vm, void *)
{
    JNIEnv *env = nullptr;
    if (vm->GetEnv(reinterpret_cast<void **>(&env), JNI_VERSION_1_4) != JNI_OK)
        return fail("GetEnv failed");
    jclass cls = env->FindClass("org/vel/android/VelNative");
    if (!cls) {
        env->ExceptionClear();
        return fail("no VelNative");
    }
    velNativeClass = static_cast<jclass>(env->NewGlobalRef(cls));
    if (env->RegisterNatives(cls, coreMethods, sizeof coreMethods / sizeof coreMethods[0]) < 0) {
        env->ExceptionClear();
        return fail("RegisterNatives failed");
    }
    if (!velFakeInputRegister(env, cls))
        return fail("RegisterNatives failed for the input natives");
    jmethodID activity = env->GetStaticMethodID(cls, "activity", "()Landroid/app/Activity;");
    jobject activityLocal = activity ? env->CallStaticObjectMethod(cls, activity) : nullptr;
    if (!activityLocal) {
        env->ExceptionClear();
        return fail("no activity");
    }
    activityObject = env->NewGlobalRef(activityLocal);
    jclass wrapper = env->FindClass("android/content/ContextWrapper");
    jmethodID getAssets =
        wrapper ? env->GetMethodID(wrapper, "getAssets", "()Landroid/content/res/AssetManager;")
                : nullptr;
    jobject assets = getAssets ? env->CallObjectMethod(activityLocal, getAssets) : nullptr;
    if (!assets) {
        env->ExceptionClear();
        return fail("no assets");
    }
    assetManager = AAssetManager_fromJava(env, assets);
    if (AAsset *asset = AAssetManager_open(assetManager, "fakeplugin.txt", AASSET_MODE_BUFFER)) {
        std::string text(static_cast<size_t>(AAsset_getLength(asset)), '\0');
        AAsset_read(asset, &text[0], text.size());
        AAsset_close(asset);
        __android_log_print(ANDROID_LOG_INFO, tag, "asset: %s", text.c_str());
    }
    javaVm = vm;
    __android_log_print(ANDROID_LOG_INFO, tag, "fake plugin loaded");
    return JNI_VERSION_1_4;
}

int velFakePluginCallCount(void)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return static_cast<int>(calls.size());
}

const char *velFakePluginCall(int index)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    if (index < 0 || index >= static_cast<int>(calls.size()))
        return nullptr;
    return calls[static_cast<size_t>(index)].c_str();
}

AAssetManager *velFakePluginAssetManager(void)
{
    return assetManager;
}

ANativeWindow *velFakePluginNativeWindow(void)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return nativeWindow;
}

ANativeWindow *velFakePluginAcquiredNativeWindow(void)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    if (nativeWindow)
        ANativeWindow_acquire(nativeWindow);
    return nativeWindow;
}
}
