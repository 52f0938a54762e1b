#include "velandroiddriver.h"

#include "veljavastrings.h"
#include "veljavavm.h"
#include "velx11window.h"

namespace
{

const char velNativeClass[] = "org/vel/android/VelNative";
const char callLogClass[] = "org/vel/android/VelCallLog";

std::string joinWithTabs(const std::vector<std::string> &parts)
{
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += '\t';
        out += parts[i];
    }
    return out;
}

std::string javaString(JNIEnv *env, jstring text)
{
    if (!text)
        return std::string();
    const char *chars = env->GetStringUTFChars(text, nullptr);
    std::string out = chars ? chars : "";
    if (chars)
        env->ReleaseStringUTFChars(text, chars);
    return out;
}

jvalue intValue(jint v)
{
    jvalue value;
    value.i = v;
    return value;
}

jvalue doubleValue(jdouble v)
{
    jvalue value;
    value.d = v;
    return value;
}

jvalue objectValue(jobject v)
{
    jvalue value;
    value.l = v;
    return value;
}

jvalue longValue(jlong v)
{
    jvalue value;
    value.j = v;
    return value;
}

// Deletes a local reference when the scope ends.
class LocalRef
{
public:
    LocalRef(JNIEnv *env, jobject ref) : m_env(env), m_ref(ref) {}
    ~LocalRef()
    {
        if (m_ref)
            m_env->DeleteLocalRef(m_ref);
    }
    LocalRef(const LocalRef &) = delete;
    LocalRef &operator=(const LocalRef &) = delete;
    jobject get() const { return m_ref; }

private:
    JNIEnv *m_env;
    jobject m_ref;
};

} // namespace

std::string VelAndroidDriver::defaultJarPath()
{
    return VEL_DEFAULT_JAR;
}

std::string VelAndroidDriver::defaultLibraryDir()
{
    return VEL_DEFAULT_LIBRARY_DIR;
}

std::string VelAndroidDriver::defaultPluginPath()
{
    return VEL_DEFAULT_PLUGIN;
}

bool VelAndroidDriver::startJavaVm(const VmOptions &options)
{
    // First of all, before any thread: the application's GUI thread (Mesa's
    // EGL) and the stand-ins' X windows use Xlib on separate threads.
    VelX11Window::prepareThreadedProcess();
    VelJavaVm::Options vmOptions;
    vmOptions.classPath = options.classPathFirst;
    vmOptions.classPath.push_back(options.jarPath);
    for (const std::string &entry : options.extraClassPath)
        vmOptions.classPath.push_back(entry);
    vmOptions.libraryPath = options.libraryDir;
    vmOptions.extraOptions = options.jvmOptions;
    return VelJavaVm::create(vmOptions, &m_lastError);
}

JNIEnv *VelAndroidDriver::env() const
{
    return VelJavaVm::env();
}

bool VelAndroidDriver::failed(JNIEnv *env, const std::string &what)
{
    m_lastError = what;
    if (env && env->ExceptionCheck()) {
        jthrowable error = env->ExceptionOccurred();
        env->ExceptionClear();
        jclass throwableClass = env->FindClass("java/lang/Throwable");
        jmethodID toString = env->GetMethodID(throwableClass, "toString", "()Ljava/lang/String;");
        jstring text = static_cast<jstring>(env->CallObjectMethod(error, toString));
        if (env->ExceptionCheck())
            env->ExceptionClear();
        m_lastError += ": " + javaString(env, text);
        env->DeleteLocalRef(text);
        env->DeleteLocalRef(throwableClass);
        env->DeleteLocalRef(error);
    }
    return false;
}

jclass VelAndroidDriver::findClass(JNIEnv *env, const char *className)
{
    jclass cls = env->FindClass(className);
    if (!cls)
        failed(env, std::string("no class ") + className);
    return cls;
}

template <typename Call>
bool VelAndroidDriver::callStaticWith(const char *className, const char *name,
                                      const char *signature, Call call)
{
    JNIEnv *env = this->env();
    if (!env)
        return failed(nullptr, "no Java VM");
    const LocalRef cls(env, findClass(env, className));
    if (!cls.get())
        return false;
    const auto clazz = static_cast<jclass>(cls.get());
    jmethodID method = env->GetStaticMethodID(clazz, name, signature);
    if (!method)
        return failed(env, std::string("no method ") + name + signature);
    call(env, clazz, method);
    if (env->ExceptionCheck())
        return failed(env, std::string(name) + " raised");
    return true;
}

bool VelAndroidDriver::callStaticVoid(const char *className, const char *name,
                                      const char *signature, const std::vector<jvalue> &args)
{
    return callStaticWith(className, name, signature, [&](JNIEnv *env, jclass cls, jmethodID m) {
        env->CallStaticVoidMethodA(cls, m, args.data());
    });
}

bool VelAndroidDriver::callStaticBoolean(const char *className, const char *name,
                                         const char *signature, const std::vector<jvalue> &args,
                                         bool *result)
{
    jboolean value = JNI_FALSE;
    const bool called =
        callStaticWith(className, name, signature, [&](JNIEnv *env, jclass cls, jmethodID m) {
            value = env->CallStaticBooleanMethodA(cls, m, args.data());
        });
    if (called && result)
        *result = value == JNI_TRUE;
    return called;
}

bool VelAndroidDriver::callStaticString(const char *className, const char *name,
                                        const char *signature, const std::vector<jvalue> &args,
                                        std::string *result, bool *isNull)
{
    JNIEnv *env = this->env();
    jobject returned = nullptr;
    const bool called =
        callStaticWith(className, name, signature, [&](JNIEnv *e, jclass cls, jmethodID m) {
            returned = e->CallStaticObjectMethodA(cls, m, args.data());
        });
    // Null whenever the call raised.
    const LocalRef value(env, returned);
    if (!called)
        return false;
    if (isNull)
        *isNull = value.get() == nullptr;
    if (result)
        *result = javaString(env, static_cast<jstring>(value.get()));
    return true;
}

jstring VelAndroidDriver::newString(const std::string &utf8)
{
    JNIEnv *env = this->env();
    if (!env)
        return nullptr;
    jstring text = env->NewStringUTF(utf8.c_str());
    if (!text)
        failed(env, "NewStringUTF failed");
    return text;
}

bool VelAndroidDriver::callVelNative(const char *name, const char *signature,
                                     const std::vector<jvalue> &args)
{
    return callStaticVoid(velNativeClass, name, signature, args);
}

bool VelAndroidDriver::createActivity(const std::string &assetsDir)
{
    JNIEnv *env = this->env();
    if (!env)
        return failed(nullptr, "no Java VM");
    const LocalRef cls(env, findClass(env, "android/app/Activity"));
    if (!cls.get())
        return false;
    jmethodID ctor =
        env->GetMethodID(static_cast<jclass>(cls.get()), "<init>", "(Ljava/lang/String;)V");
    if (!ctor)
        return failed(env, "no Activity(String)");
    const LocalRef dir(env, env->NewStringUTF(assetsDir.c_str()));
    const LocalRef activity(env, env->NewObject(static_cast<jclass>(cls.get()), ctor, dir.get()));
    if (!activity.get())
        return failed(env, "Activity construction failed");
    return callVelNative("setActivity", "(Landroid/app/Activity;)V", {objectValue(activity.get())});
}

bool VelAndroidDriver::loadLibrary(const std::string &path)
{
    JNIEnv *env = this->env();
    if (!env)
        return failed(nullptr, "no Java VM");
    const LocalRef cls(env, findClass(env, "org/vel/android/VelLauncher"));
    if (!cls.get())
        return false;
    jmethodID load = env->GetStaticMethodID(static_cast<jclass>(cls.get()), "load",
                                            "(Ljava/lang/String;)Ljava/lang/String;");
    if (!load)
        return failed(env, "no VelLauncher.load");
    const LocalRef jpath(env, env->NewStringUTF(path.c_str()));
    const LocalRef reason(
        env, env->CallStaticObjectMethod(static_cast<jclass>(cls.get()), load, jpath.get()));
    if (env->ExceptionCheck())
        return failed(env, "loading " + path + " raised");
    if (reason.get())
        return failed(env, "loading " + path +
                               " failed: " + javaString(env, static_cast<jstring>(reason.get())));
    return true;
}

bool VelAndroidDriver::startVelAndroidPlugin(bool *result)
{
    return callStaticBoolean(velNativeClass, "startVelAndroidPlugin", "()Z", {}, result);
}

bool VelAndroidDriver::startVelApplication(const std::vector<std::string> &arguments,
                                           const std::vector<std::string> &environment)
{
    return startVelApplicationRaw(joinWithTabs(arguments), joinWithTabs(environment));
}

bool VelAndroidDriver::startVelApplicationRaw(const std::string &parameters,
                                              const std::string &environment)
{
    JNIEnv *env = this->env();
    if (!env)
        return failed(nullptr, "no Java VM");
    // Arguments may hold any character, outside the Basic Multilingual Plane too.
    const LocalRef params(env, velNewJavaString(env, parameters));
    const LocalRef envText(env, velNewJavaString(env, environment));
    return callVelNative("startVelApplication", "(Ljava/lang/String;Ljava/lang/String;)V",
                         {objectValue(params.get()), objectValue(envText.get())});
}

bool VelAndroidDriver::pauseVelApp()
{
    return callVelNative("pauseVelApp", "()V", {});
}

bool VelAndroidDriver::resumeVelApp()
{
    return callVelNative("resumeVelApp", "()V", {});
}

bool VelAndroidDriver::quitVelAndroidPlugin()
{
    return callVelNative("quitVelAndroidPlugin", "()V", {});
}

bool VelAndroidDriver::terminateVel()
{
    return callVelNative("terminateVel", "()V", {});
}

bool VelAndroidDriver::setDisplayMetrics(int screenWidth, int screenHeight, int desktopWidth,
                                         int desktopHeight, double xdpi, double ydpi,
                                         double scaledDensity)
{
    return callVelNative("setDisplayMetrics", "(IIIIDDD)V",
                         {intValue(screenWidth), intValue(screenHeight), intValue(desktopWidth),
                          intValue(desktopHeight), doubleValue(xdpi), doubleValue(ydpi),
                          doubleValue(scaledDensity)});
}

bool VelAndroidDriver::setSurface(jobject surface)
{
    return callVelNative("setSurface", "(Ljava/lang/Object;)V", {objectValue(surface)});
}

bool VelAndroidDriver::destroySurface()
{
    return callVelNative("destroySurface", "()V", {});
}

bool VelAndroidDriver::lockSurface()
{
    return callVelNative("lockSurface", "()V", {});
}

bool VelAndroidDriver::unlockSurface()
{
    return callVelNative("unlockSurface", "()V", {});
}

bool VelAndroidDriver::updateWindow()
{
    return callVelNative("updateWindow", "()V", {});
}

bool VelAndroidDriver::updateApplicationState(int state)
{
    return callVelNative("updateApplicationState", "(I)V", {intValue(state)});
}

bool VelAndroidDriver::handleOrientationChanged(int newRotation, int nativeOrientation)
{
    return callVelNative("handleOrientationChanged", "(II)V",
                         {intValue(newRotation), intValue(nativeOrientation)});
}

bool VelAndroidDriver::mouseDown(int x, int y)
{
    return callVelNative("mouseDown", "(III)V", {intValue(0), intValue(x), intValue(y)});
}

bool VelAndroidDriver::mouseUp(int x, int y)
{
    return callVelNative("mouseUp", "(III)V", {intValue(0), intValue(x), intValue(y)});
}

bool VelAndroidDriver::mouseMove(int x, int y)
{
    return callVelNative("mouseMove", "(III)V", {intValue(0), intValue(x), intValue(y)});
}

bool VelAndroidDriver::keyDown(int androidKey, int unicode, int meta)
{
    return callVelNative("keyDown", "(III)V",
                         {intValue(androidKey), intValue(unicode), intValue(meta)});
}

bool VelAndroidDriver::keyUp(int androidKey, int unicode, int meta)
{
    return callVelNative("keyUp", "(III)V",
                         {intValue(androidKey), intValue(unicode), intValue(meta)});
}

jobject VelAndroidDriver::newSurface(unsigned long x11Window, int width, int height)
{
    JNIEnv *env = this->env();
    if (!env) {
        failed(nullptr, "no Java VM");
        return nullptr;
    }
    const LocalRef cls(env, findClass(env, "android/view/Surface"));
    if (!cls.get())
        return nullptr;
    jmethodID ctor = env->GetMethodID(static_cast<jclass>(cls.get()), "<init>", "(JII)V");
    if (!ctor) {
        failed(env, "no Surface(long, int, int)");
        return nullptr;
    }
    const LocalRef surface(env, env->NewObject(static_cast<jclass>(cls.get()), ctor,
                                               static_cast<jlong>(x11Window), width, height));
    if (!surface.get()) {
        failed(env, "Surface construction failed");
        return nullptr;
    }
    return env->NewGlobalRef(surface.get());
}

bool VelAndroidDriver::releaseSurface(jobject surface)
{
    JNIEnv *env = this->env();
    if (!env || !surface)
        return failed(nullptr, "no Java VM or no surface");
    const LocalRef cls(env, env->GetObjectClass(surface));
    jmethodID release = env->GetMethodID(static_cast<jclass>(cls.get()), "release", "()V");
    if (!release)
        return failed(env, "no Surface.release");
    env->CallVoidMethod(surface, release);
    if (env->ExceptionCheck())
        return failed(env, "Surface.release raised");
    return true;
}

void VelAndroidDriver::deleteGlobalRef(jobject ref)
{
    JNIEnv *env = this->env();
    if (env && ref)
        env->DeleteGlobalRef(ref);
}

std::vector<std::string> VelAndroidDriver::javaCalls()
{
    std::vector<std::string> calls;
    JNIEnv *env = this->env();
    if (!env) {
        failed(nullptr, "no Java VM");
        return calls;
    }
    const LocalRef cls(env, findClass(env, callLogClass));
    if (!cls.get())
        return calls;
    jmethodID method = env->GetStaticMethodID(static_cast<jclass>(cls.get()), "callStrings",
                                              "()[Ljava/lang/String;");
    if (!method) {
        failed(env, "no VelCallLog.callStrings");
        return calls;
    }
    const LocalRef array(env, env->CallStaticObjectMethod(static_cast<jclass>(cls.get()), method));
    if (env->ExceptionCheck() || !array.get()) {
        failed(env, "VelCallLog.callStrings raised");
        return calls;
    }
    const jsize n = env->GetArrayLength(static_cast<jobjectArray>(array.get()));
    for (jsize i = 0; i < n; ++i) {
        const LocalRef item(env,
                            env->GetObjectArrayElement(static_cast<jobjectArray>(array.get()), i));
        calls.push_back(javaString(env, static_cast<jstring>(item.get())));
    }
    return calls;
}

bool VelAndroidDriver::clearJavaCalls()
{
    return callStaticVoid(callLogClass, "clear", "()V", {});
}

int VelAndroidDriver::javaCallCount(const std::string &name)
{
    JNIEnv *env = this->env();
    if (!env) {
        failed(nullptr, "no Java VM");
        return -1;
    }
    const LocalRef cls(env, findClass(env, callLogClass));
    if (!cls.get())
        return -1;
    jmethodID method =
        env->GetStaticMethodID(static_cast<jclass>(cls.get()), "count", "(Ljava/lang/String;)I");
    const LocalRef jname(env, env->NewStringUTF(name.c_str()));
    const jint n =
        method ? env->CallStaticIntMethod(static_cast<jclass>(cls.get()), method, jname.get()) : -1;
    if (!method || env->ExceptionCheck()) {
        failed(env, "VelCallLog.count failed");
        return -1;
    }
    return n;
}

std::string VelAndroidDriver::javaCallThread(const std::string &name)
{
    JNIEnv *env = this->env();
    if (!env) {
        failed(nullptr, "no Java VM");
        return std::string();
    }
    const LocalRef cls(env, findClass(env, callLogClass));
    if (!cls.get())
        return std::string();
    jmethodID method = env->GetStaticMethodID(static_cast<jclass>(cls.get()), "lastThreadName",
                                              "(Ljava/lang/String;)Ljava/lang/String;");
    if (!method) {
        failed(env, "no VelCallLog.lastThreadName");
        return std::string();
    }
    const LocalRef jname(env, env->NewStringUTF(name.c_str()));
    const LocalRef thread(
        env, env->CallStaticObjectMethod(static_cast<jclass>(cls.get()), method, jname.get()));
    if (env->ExceptionCheck()) {
        failed(env, "VelCallLog.lastThreadName raised");
        return std::string();
    }
    return javaString(env, static_cast<jstring>(thread.get()));
}

bool VelAndroidDriver::waitForJavaCall(const std::string &name, long timeoutMs)
{
    JNIEnv *env = this->env();
    if (!env)
        return failed(nullptr, "no Java VM");
    const LocalRef jname(env, env->NewStringUTF(name.c_str()));
    bool seen = false;
    if (!callStaticBoolean(callLogClass, "waitFor", "(Ljava/lang/String;J)Z",
                           {objectValue(jname.get()), longValue(timeoutMs)}, &seen))
        return false;
    return seen;
}

bool VelAndroidDriver::waitForQuit(long timeoutMs)
{
    bool quit = false;
    if (!callStaticBoolean(velNativeClass, "waitForQuit", "(J)Z", {longValue(timeoutMs)}, &quit))
        return false;
    return quit;
}

bool VelAndroidDriver::quitRequested()
{
    bool quit = false;
    if (!callStaticBoolean(velNativeClass, "isQuitRequested", "()Z", {}, &quit))
        return false;
    return quit;
}
