#include "veljniobject.h"

#include "vellogging.h"

#include <string>

struct VelJNIObjectPrivate::GlobalRef {
    explicit GlobalRef(jobject ref) : ref(ref) {}
    ~GlobalRef()
    {
        VelJNIEnvironmentPrivate env;
        if (env)
            env->DeleteGlobalRef(ref);
    }
    VEL_DISABLE_COPY(GlobalRef)

    const jobject ref;
};

namespace
{

std::string context(const char *name, const char *signature)
{
    return std::string(name ? name : "?") + (signature ? signature : "");
}

// Looks a method up; a missing one is logged and its exception cleared.
jmethodID methodId(JNIEnv *env, jclass clazz, const char *name, const char *signature,
                   bool isStatic)
{
    if (!clazz)
        return nullptr;
    jmethodID id = isStatic ? env->GetStaticMethodID(clazz, name, signature)
                            : env->GetMethodID(clazz, name, signature);
    if (VelJNIEnvironmentPrivate::clearException(env, context(name, signature).c_str()))
        return nullptr;
    return id;
}

template <typename T> struct Caller;

#define VEL_JNI_CALLER(Type, Name)                                                                 \
    template <> struct Caller<Type> {                                                              \
        static Type call(JNIEnv *env, jobject obj, jmethodID id, va_list args)                     \
        {                                                                                          \
            return env->Call##Name##MethodV(obj, id, args);                                        \
        }                                                                                          \
        static Type callStatic(JNIEnv *env, jclass cls, jmethodID id, va_list args)                \
        {                                                                                          \
            return env->CallStatic##Name##MethodV(cls, id, args);                                  \
        }                                                                                          \
        static Type field(JNIEnv *env, jobject obj, jfieldID id)                                   \
        {                                                                                          \
            return env->Get##Name##Field(obj, id);                                                 \
        }                                                                                          \
    };

VEL_JNI_CALLER(jboolean, Boolean)
VEL_JNI_CALLER(jbyte, Byte)
VEL_JNI_CALLER(jchar, Char)
VEL_JNI_CALLER(jshort, Short)
VEL_JNI_CALLER(jint, Int)
VEL_JNI_CALLER(jlong, Long)
VEL_JNI_CALLER(jfloat, Float)
VEL_JNI_CALLER(jdouble, Double)
VEL_JNI_CALLER(jobject, Object)

template <> struct Caller<void> {
    static void call(JNIEnv *env, jobject obj, jmethodID id, va_list args)
    {
        env->CallVoidMethodV(obj, id, args);
    }
    static void callStatic(JNIEnv *env, jclass cls, jmethodID id, va_list args)
    {
        env->CallStaticVoidMethodV(cls, id, args);
    }
};

template <typename T>
T callInstance(jobject obj, const char *name, const char *signature, va_list args)
{
    VelJNIEnvironmentPrivate env;
    if (!env || !obj)
        return T();
    jclass clazz = env->GetObjectClass(obj);
    const jmethodID id = methodId(env.jniEnv(), clazz, name, signature, false);
    env->DeleteLocalRef(clazz);
    if (!id)
        return T();
    if constexpr (std::is_void_v<T>) {
        Caller<T>::call(env.jniEnv(), obj, id, args);
        VelJNIEnvironmentPrivate::clearException(env.jniEnv(), context(name, signature).c_str());
    } else {
        const T result = Caller<T>::call(env.jniEnv(), obj, id, args);
        if (VelJNIEnvironmentPrivate::clearException(env.jniEnv(),
                                                     context(name, signature).c_str()))
            return T();
        return result;
    }
}

template <typename T>
T callStatic(const char *className, const char *name, const char *signature, va_list args)
{
    VelJNIEnvironmentPrivate env;
    if (!env)
        return T();
    jclass clazz = VelJNIEnvironmentPrivate::findClass(className, env.jniEnv());
    if (!clazz)
        return T();
    const jmethodID id = methodId(env.jniEnv(), clazz, name, signature, true);
    if (!id) {
        env->DeleteLocalRef(clazz);
        return T();
    }
    if constexpr (std::is_void_v<T>) {
        Caller<T>::callStatic(env.jniEnv(), clazz, id, args);
        VelJNIEnvironmentPrivate::clearException(env.jniEnv(), context(name, signature).c_str());
        env->DeleteLocalRef(clazz);
    } else {
        T result = Caller<T>::callStatic(env.jniEnv(), clazz, id, args);
        if (VelJNIEnvironmentPrivate::clearException(env.jniEnv(),
                                                     context(name, signature).c_str()))
            result = T();
        env->DeleteLocalRef(clazz);
        return result;
    }
}

} // namespace

VelJNIObjectPrivate::VelJNIObjectPrivate() = default;

VelJNIObjectPrivate::VelJNIObjectPrivate(const char *className)
{
    VelJNIEnvironmentPrivate env;
    if (!env)
        return;
    jclass clazz = VelJNIEnvironmentPrivate::findClass(className, env.jniEnv());
    if (!clazz)
        return;
    constructDefault(env.jniEnv(), clazz);
    env->DeleteLocalRef(clazz);
}

VelJNIObjectPrivate::VelJNIObjectPrivate(const char *className, const char *signature, ...)
{
    VelJNIEnvironmentPrivate env;
    if (!env)
        return;
    jclass clazz = VelJNIEnvironmentPrivate::findClass(className, env.jniEnv());
    if (!clazz)
        return;
    va_list args;
    va_start(args, signature);
    construct(env.jniEnv(), clazz, signature, args);
    va_end(args);
    env->DeleteLocalRef(clazz);
}

VelJNIObjectPrivate::VelJNIObjectPrivate(jclass clazz)
{
    VelJNIEnvironmentPrivate env;
    if (!env || !clazz)
        return;
    constructDefault(env.jniEnv(), clazz);
}

VelJNIObjectPrivate::VelJNIObjectPrivate(jclass clazz, const char *signature, ...)
{
    VelJNIEnvironmentPrivate env;
    if (!env || !clazz)
        return;
    va_list args;
    va_start(args, signature);
    construct(env.jniEnv(), clazz, signature, args);
    va_end(args);
}

VelJNIObjectPrivate::VelJNIObjectPrivate(jobject object)
{
    VelJNIEnvironmentPrivate env;
    if (!env || !object)
        return;
    m_ref = std::make_shared<GlobalRef>(env->NewGlobalRef(object));
}

VelJNIObjectPrivate::~VelJNIObjectPrivate() = default;

void VelJNIObjectPrivate::construct(JNIEnv *env, jclass clazz, const char *signature, va_list args)
{
    const jmethodID ctor = methodId(env, clazz, "<init>", signature, false);
    if (!ctor)
        return;
    jobject obj = env->NewObjectV(clazz, ctor, args);
    if (VelJNIEnvironmentPrivate::clearException(env, context("<init>", signature).c_str()))
        return;
    adopt(env, obj);
}

void VelJNIObjectPrivate::constructDefault(JNIEnv *env, jclass clazz, ...)
{
    va_list none;
    va_start(none, clazz);
    construct(env, clazz, "()V", none);
    va_end(none);
}

void VelJNIObjectPrivate::adopt(JNIEnv *env, jobject localRef)
{
    if (!localRef)
        return;
    m_ref = std::make_shared<GlobalRef>(env->NewGlobalRef(localRef));
    env->DeleteLocalRef(localRef);
}

jobject VelJNIObjectPrivate::object() const
{
    return m_ref ? m_ref->ref : nullptr;
}

#define VEL_JNI_INSTANTIATE(Type)                                                                  \
    template <>                                                                                    \
    Type VelJNIObjectPrivate::callMethod<Type>(const char *name, const char *signature, ...) const \
    {                                                                                              \
        va_list args;                                                                              \
        va_start(args, signature);                                                                 \
        const Type result = callInstance<Type>(object(), name, signature, args);                   \
        va_end(args);                                                                              \
        return result;                                                                             \
    }                                                                                              \
    template <>                                                                                    \
    Type VelJNIObjectPrivate::callStaticMethod<Type>(const char *className, const char *name,      \
                                                     const char *signature, ...)                   \
    {                                                                                              \
        va_list args;                                                                              \
        va_start(args, signature);                                                                 \
        const Type result = callStatic<Type>(className, name, signature, args);                    \
        va_end(args);                                                                              \
        return result;                                                                             \
    }

template <>
void VelJNIObjectPrivate::callMethod<void>(const char *name, const char *signature, ...) const
{
    va_list args;
    va_start(args, signature);
    callInstance<void>(object(), name, signature, args);
    va_end(args);
}

template <>
void VelJNIObjectPrivate::callStaticMethod<void>(const char *className, const char *name,
                                                 const char *signature, ...)
{
    va_list args;
    va_start(args, signature);
    callStatic<void>(className, name, signature, args);
    va_end(args);
}

VEL_JNI_INSTANTIATE(jboolean)
VEL_JNI_INSTANTIATE(jbyte)
VEL_JNI_INSTANTIATE(jchar)
VEL_JNI_INSTANTIATE(jshort)
VEL_JNI_INSTANTIATE(jint)
VEL_JNI_INSTANTIATE(jlong)
VEL_JNI_INSTANTIATE(jfloat)
VEL_JNI_INSTANTIATE(jdouble)

VelJNIObjectPrivate VelJNIObjectPrivate::callObjectMethod(const char *name, const char *signature,
                                                          ...) const
{
    // Held across the call: the result is a local reference, which a thread
    // that the call attached and detached again would already have lost.
    VelJNIEnvironmentPrivate env;
    va_list args;
    va_start(args, signature);
    const jobject result = callInstance<jobject>(object(), name, signature, args);
    va_end(args);
    VelJNIObjectPrivate wrapper;
    if (env)
        wrapper.adopt(env.jniEnv(), result);
    return wrapper;
}

template <typename T> T VelJNIObjectPrivate::getField(const char *name, const char *signature) const
{
    VelJNIEnvironmentPrivate env;
    if (!env || !object())
        return T();
    jclass clazz = env->GetObjectClass(object());
    const jfieldID id = env->GetFieldID(clazz, name, signature);
    env->DeleteLocalRef(clazz);
    if (VelJNIEnvironmentPrivate::clearException(env.jniEnv(), context(name, signature).c_str()) ||
        !id)
        return T();
    return Caller<T>::field(env.jniEnv(), object(), id);
}

template jboolean VelJNIObjectPrivate::getField<jboolean>(const char *, const char *) const;
template jbyte VelJNIObjectPrivate::getField<jbyte>(const char *, const char *) const;
template jchar VelJNIObjectPrivate::getField<jchar>(const char *, const char *) const;
template jshort VelJNIObjectPrivate::getField<jshort>(const char *, const char *) const;
template jint VelJNIObjectPrivate::getField<jint>(const char *, const char *) const;
template jlong VelJNIObjectPrivate::getField<jlong>(const char *, const char *) const;
template jfloat VelJNIObjectPrivate::getField<jfloat>(const char *, const char *) const;
template jdouble VelJNIObjectPrivate::getField<jdouble>(const char *, const char *) const;

VelJNIObjectPrivate VelJNIObjectPrivate::getObjectField(const char *name,
                                                        const char *signature) const
{
    VelJNIObjectPrivate wrapper;
    VelJNIEnvironmentPrivate env;
    if (env)
        wrapper.adopt(env.jniEnv(), getField<jobject>(name, signature));
    return wrapper;
}

VelJNIObjectPrivate VelJNIObjectPrivate::callStaticObjectMethod(const char *className,
                                                                const char *name,
                                                                const char *signature, ...)
{
    // Held across the call, as in callObjectMethod.
    VelJNIEnvironmentPrivate env;
    va_list args;
    va_start(args, signature);
    const jobject result = callStatic<jobject>(className, name, signature, args);
    va_end(args);
    VelJNIObjectPrivate wrapper;
    if (env)
        wrapper.adopt(env.jniEnv(), result);
    return wrapper;
}

VelJNIObjectPrivate VelJNIObjectPrivate::callStaticObjectMethod(jclass clazz, const char *name,
                                                                const char *signature, ...)
{
    VelJNIObjectPrivate wrapper;
    VelJNIEnvironmentPrivate env;
    if (!env || !clazz)
        return wrapper;
    const jmethodID id = methodId(env.jniEnv(), clazz, name, signature, true);
    if (!id)
        return wrapper;
    va_list args;
    va_start(args, signature);
    jobject result = env->CallStaticObjectMethodV(clazz, id, args);
    va_end(args);
    if (VelJNIEnvironmentPrivate::clearException(env.jniEnv(), context(name, signature).c_str()))
        return wrapper;
    wrapper.adopt(env.jniEnv(), result);
    return wrapper;
}

VelJNIObjectPrivate VelJNIObjectPrivate::getStaticObjectField(const char *className,
                                                              const char *name,
                                                              const char *signature)
{
    VelJNIObjectPrivate wrapper;
    VelJNIEnvironmentPrivate env;
    if (!env)
        return wrapper;
    jclass clazz = VelJNIEnvironmentPrivate::findClass(className, env.jniEnv());
    if (!clazz)
        return wrapper;
    const jfieldID id = env->GetStaticFieldID(clazz, name, signature);
    if (!VelJNIEnvironmentPrivate::clearException(env.jniEnv(), context(name, signature).c_str()) &&
        id)
        wrapper.adopt(env.jniEnv(), env->GetStaticObjectField(clazz, id));
    env->DeleteLocalRef(clazz);
    return wrapper;
}

VelJNIObjectPrivate VelJNIObjectPrivate::fromString(const VelString &string)
{
    VelJNIObjectPrivate wrapper;
    VelJNIEnvironmentPrivate env;
    if (env)
        wrapper.adopt(env.jniEnv(), toJString(env.jniEnv(), string));
    return wrapper;
}

VelString VelJNIObjectPrivate::toString() const
{
    VelJNIEnvironmentPrivate env;
    if (!env || !object())
        return VelString();
    jclass stringClass = env->FindClass("java/lang/String");
    const bool isString = stringClass && env->IsInstanceOf(object(), stringClass);
    if (stringClass)
        env->DeleteLocalRef(stringClass);
    if (isString)
        return fromJString(env.jniEnv(), static_cast<jstring>(object()));
    const VelJNIObjectPrivate text = callObjectMethod("toString", "()Ljava/lang/String;");
    return text.isValid() ? fromJString(env.jniEnv(), static_cast<jstring>(text.object()))
                          : VelString();
}

jstring VelJNIObjectPrivate::toJString(JNIEnv *env, const VelString &string)
{
    if (!env)
        return nullptr;
    return env->NewString(reinterpret_cast<const jchar *>(string.utf16()), jsize(string.length()));
}

VelString VelJNIObjectPrivate::fromJString(JNIEnv *env, jstring string)
{
    if (!env || !string)
        return VelString();
    const jsize length = env->GetStringLength(string);
    std::u16string units(size_t(length), u'\0');
    if (length > 0)
        env->GetStringRegion(string, 0, length, reinterpret_cast<jchar *>(&units[0]));
    return VelString(std::move(units));
}
