#include "veljnienvironment.h"

#include "vellogging.h"
#include "velstring.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>
#include <string>

namespace
{

using GetCreatedJavaVMs = jint (*)(JavaVM **, jsize, jsize *);

std::atomic<JavaVM *> explicitVM{nullptr};

// Guards classLoader and loadClassMethod; taken alone (leaf lock).
std::mutex classLoaderMutex;
jobject classLoader = nullptr;
jmethodID loadClassMethod = nullptr;

JavaVM *discoverVM()
{
    static std::atomic<JavaVM *> discovered{nullptr};
    if (JavaVM *vm = discovered.load())
        return vm;
    const auto getVMs =
        reinterpret_cast<GetCreatedJavaVMs>(::dlsym(RTLD_DEFAULT, "JNI_GetCreatedJavaVMs"));
    if (!getVMs)
        return nullptr;
    JavaVM *vm = nullptr;
    jsize count = 0;
    if (getVMs(&vm, 1, &count) != JNI_OK || count < 1)
        return nullptr;
    discovered.store(vm);
    return vm;
}

std::string javaClassName(const char *className)
{
    std::string name(className);
    for (char &c : name) {
        if (c == '/')
            c = '.';
    }
    return name;
}

std::string slashedClassName(const char *className)
{
    std::string name(className);
    for (char &c : name) {
        if (c == '.')
            c = '/';
    }
    return name;
}

} // namespace

void velJniSetJavaVM(JavaVM *vm)
{
    explicitVM.store(vm);
}

JavaVM *velJniJavaVM()
{
    if (JavaVM *vm = explicitVM.load())
        return vm;
    return discoverVM();
}

void velJniSetClassLoader(JNIEnv *env, jobject loader)
{
    std::lock_guard<std::mutex> lock(classLoaderMutex);
    if (classLoader) {
        env->DeleteGlobalRef(classLoader);
        classLoader = nullptr;
        loadClassMethod = nullptr;
    }
    if (!loader)
        return;
    jclass loaderClass = env->GetObjectClass(loader);
    loadClassMethod =
        env->GetMethodID(loaderClass, "loadClass", "(Ljava/lang/String;)Ljava/lang/Class;");
    env->DeleteLocalRef(loaderClass);
    if (VelJNIEnvironmentPrivate::clearException(env, "velJniSetClassLoader") || !loadClassMethod) {
        loadClassMethod = nullptr;
        return;
    }
    classLoader = env->NewGlobalRef(loader);
}

VelJNIEnvironmentPrivate::VelJNIEnvironmentPrivate()
{
    JavaVM *vm = velJniJavaVM();
    if (!vm)
        return;
    void *env = nullptr;
    const jint rc = vm->GetEnv(&env, JNI_VERSION_1_6);
    if (rc == JNI_OK) {
        m_env = static_cast<JNIEnv *>(env);
        return;
    }
    if (rc != JNI_EDETACHED)
        return;
    JNIEnv *attachedEnv = nullptr;
    if (vm->AttachCurrentThread(reinterpret_cast<void **>(&attachedEnv), nullptr) != JNI_OK) {
        velWarning("AttachCurrentThread failed");
        return;
    }
    m_env = attachedEnv;
    m_attached = true;
}

VelJNIEnvironmentPrivate::~VelJNIEnvironmentPrivate()
{
    if (m_attached) {
        if (JavaVM *vm = velJniJavaVM())
            vm->DetachCurrentThread();
    }
}

jclass VelJNIEnvironmentPrivate::findClass(const char *className, JNIEnv *env)
{
    if (!env || !className)
        return nullptr;
    jobject loader = nullptr;
    jmethodID loadClass = nullptr;
    {
        // Java runs without the lock held: it may call back into native code.
        std::lock_guard<std::mutex> lock(classLoaderMutex);
        if (classLoader) {
            loader = env->NewLocalRef(classLoader);
            loadClass = loadClassMethod;
        }
    }
    if (loader) {
        jstring name = env->NewStringUTF(javaClassName(className).c_str());
        jobject cls = env->CallObjectMethod(loader, loadClass, name);
        env->DeleteLocalRef(name);
        env->DeleteLocalRef(loader);
        if (clearException(env, className))
            return nullptr;
        return static_cast<jclass>(cls);
    }
    jclass cls = env->FindClass(slashedClassName(className).c_str());
    if (clearException(env, className))
        return nullptr;
    return cls;
}

bool VelJNIEnvironmentPrivate::clearException(JNIEnv *env, const char *context)
{
    if (!env || !env->ExceptionCheck())
        return false;
    jthrowable exception = env->ExceptionOccurred();
    env->ExceptionClear();
    VelString text;
    jclass throwable = env->FindClass("java/lang/Throwable");
    jmethodID toString =
        throwable ? env->GetMethodID(throwable, "toString", "()Ljava/lang/String;") : nullptr;
    if (toString) {
        jstring description = static_cast<jstring>(env->CallObjectMethod(exception, toString));
        if (!env->ExceptionCheck() && description) {
            const jsize length = env->GetStringLength(description);
            std::u16string units(size_t(length), u'\0');
            env->GetStringRegion(description, 0, length, reinterpret_cast<jchar *>(&units[0]));
            text = VelString(std::move(units));
        }
        if (description)
            env->DeleteLocalRef(description);
    }
    // Describing the exception must not leave another one pending.
    if (env->ExceptionCheck())
        env->ExceptionClear();
    if (throwable)
        env->DeleteLocalRef(throwable);
    env->DeleteLocalRef(exception);
    velWarning("Java exception in %s: %s", context ? context : "JNI call",
               text.toLocal8Bit().constData());
    return true;
}
