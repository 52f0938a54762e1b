#ifndef VELJNIOBJECT_H
#define VELJNIOBJECT_H

#include "veljnienvironment.h"
#include "velstring.h"

#include <jni.h>

#include <cstdarg>
#include <memory>

// A Java object held through a global reference (released when the last copy
// goes). Every call takes a VelJNIEnvironmentPrivate, so it works from any
// thread; a Java exception raised by a call is cleared and logged, and the
// call answers a zero value or an invalid wrapper. Signatures are JNI
// signatures; variadic arguments follow the signature (C promotions apply).
class VelJNIObjectPrivate
{
public:
    VelJNIObjectPrivate();
    // New object of the named class ("java/lang/StringBuilder") through the
    // constructor of the given signature.
    explicit VelJNIObjectPrivate(const char *className);
    VelJNIObjectPrivate(const char *className, const char *signature, ...);
    explicit VelJNIObjectPrivate(jclass clazz);
    VelJNIObjectPrivate(jclass clazz, const char *signature, ...);
    // Wraps an existing object (a new global reference; the caller keeps its own).
    VelJNIObjectPrivate(jobject object);
    VelJNIObjectPrivate(const VelJNIObjectPrivate &other) = default;
    VelJNIObjectPrivate &operator=(const VelJNIObjectPrivate &other) = default;
    ~VelJNIObjectPrivate();

    bool isValid() const { return object() != nullptr; }
    jobject object() const;

    template <typename T> T callMethod(const char *name, const char *signature, ...) const;
    VelJNIObjectPrivate callObjectMethod(const char *name, const char *signature, ...) const;
    VelJNIObjectPrivate getObjectField(const char *name, const char *signature) const;
    template <typename T> T getField(const char *name, const char *signature) const;

    static VelJNIObjectPrivate callStaticObjectMethod(const char *className, const char *name,
                                                      const char *signature, ...);
    static VelJNIObjectPrivate callStaticObjectMethod(jclass clazz, const char *name,
                                                      const char *signature, ...);
    template <typename T>
    static T callStaticMethod(const char *className, const char *name, const char *signature, ...);
    static VelJNIObjectPrivate getStaticObjectField(const char *className, const char *name,
                                                    const char *signature);

    // A java.lang.String with the string's UTF-16 units, unit for unit.
    static VelJNIObjectPrivate fromString(const VelString &string);
    // The object's toString(); for a java.lang.String its units unit for unit.
    VelString toString() const;

    static jstring toJString(JNIEnv *env, const VelString &string); // local reference
    static VelString fromJString(JNIEnv *env, jstring string);

private:
    struct GlobalRef;
    void construct(JNIEnv *env, jclass clazz, const char *signature, va_list args);
    void constructDefault(JNIEnv *env, jclass clazz, ...);
    void adopt(JNIEnv *env, jobject localRef); // takes a global ref, drops the local one

    std::shared_ptr<GlobalRef> m_ref;
};

// Defined in the library for the JNI result types.
template <> void VelJNIObjectPrivate::callMethod<void>(const char *, const char *, ...) const;
template <>
void VelJNIObjectPrivate::callStaticMethod<void>(const char *, const char *, const char *, ...);
template <>
jboolean VelJNIObjectPrivate::callMethod<jboolean>(const char *, const char *, ...) const;
template <>
jboolean VelJNIObjectPrivate::callStaticMethod<jboolean>(const char *, const char *, const char *,
                                                         ...);
template <> jbyte VelJNIObjectPrivate::callMethod<jbyte>(const char *, const char *, ...) const;
template <>
jbyte VelJNIObjectPrivate::callStaticMethod<jbyte>(const char *, const char *, const char *, ...);
template <> jchar VelJNIObjectPrivate::callMethod<jchar>(const char *, const char *, ...) const;
template <>
jchar VelJNIObjectPrivate::callStaticMethod<jchar>(const char *, const char *, const char *, ...);
template <> jshort VelJNIObjectPrivate::callMethod<jshort>(const char *, const char *, ...) const;
template <>
jshort VelJNIObjectPrivate::callStaticMethod<jshort>(const char *, const char *, const char *, ...);
template <> jint VelJNIObjectPrivate::callMethod<jint>(const char *, const char *, ...) const;
template <>
jint VelJNIObjectPrivate::callStaticMethod<jint>(const char *, const char *, const char *, ...);
template <> jlong VelJNIObjectPrivate::callMethod<jlong>(const char *, const char *, ...) const;
template <>
jlong VelJNIObjectPrivate::callStaticMethod<jlong>(const char *, const char *, const char *, ...);
template <> jfloat VelJNIObjectPrivate::callMethod<jfloat>(const char *, const char *, ...) const;
template <>
jfloat VelJNIObjectPrivate::callStaticMethod<jfloat>(const char *, const char *, const char *, ...);
template <> jdouble VelJNIObjectPrivate::callMethod<jdouble>(const char *, const char *, ...) const;
template <>
jdouble VelJNIObjectPrivate::callStaticMethod<jdouble>(const char *, const char *, const char *,
                                                       ...);

#endif
