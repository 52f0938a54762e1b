#ifndef VELJNIENVIRONMENT_H
#define VELJNIENVIRONMENT_H

#include "velglobal.h"

#include <jni.h>

// How the host finds the Java VM: libVel5Core does not link libjvm. The VM
// set with velJniSetJavaVM() (the Android bridge calls it from JNI_OnLoad)
// wins; otherwise the first VM that JNI_GetCreatedJavaVMs reports, looked up
// with dlsym(RTLD_DEFAULT) in whatever the process has loaded. Null when the
// process has no VM.
void velJniSetJavaVM(JavaVM *vm);
JavaVM *velJniJavaVM();
// Class names given to the wrapper ("java/util/Locale") are loaded through
// this class loader when one is set (a global reference is kept; null
// forgets it), else through FindClass.
void velJniSetClassLoader(JNIEnv *env, jobject classLoader);

// A scoped JNI environment for the calling thread. When the VM does not know
// the thread, it is attached for the helper's lifetime and detached again by
// the helper that attached it (nested helpers leave it attached). jniEnv() is
// null when there is no VM or attaching failed.
class VelJNIEnvironmentPrivate
{
public:
    VelJNIEnvironmentPrivate();
    ~VelJNIEnvironmentPrivate();

    JNIEnv *jniEnv() const { return m_env; }
    JNIEnv *operator->() const { return m_env; }
    explicit operator bool() const { return m_env != nullptr; }
    bool attachedThread() const { return m_attached; }

    // Loads a class by name ('/' or '.' separated) as a local reference;
    // null (exception cleared and logged) when it does not exist.
    static jclass findClass(const char *className, JNIEnv *env);
    // Clears a pending exception, logging it with context; true if there was one.
    static bool clearException(JNIEnv *env, const char *context);

private:
    VEL_DISABLE_COPY(VelJNIEnvironmentPrivate)

    JNIEnv *m_env = nullptr;
    bool m_attached = false;
};

#endif
