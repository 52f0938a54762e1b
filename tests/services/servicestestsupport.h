#ifndef SERVICESTESTSUPPORT_H
#define SERVICESTESTSUPPORT_H

// The Java half for the services tests: one VM per test executable, an
// activity, and the plugin loaded through System.load so that its
// JNI_OnLoad runs for real. Plus small JNI helpers to look at and change what
// the Java side holds.

#include "velandroiddriver.h"
#include "veljavavm.h"

#include <gtest/gtest.h>

#include <jni.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ServicesTest
{

inline VelAndroidDriver &driver()
{
    static VelAndroidDriver d;
    return d;
}

// The VM checks every reference and call the plugin makes: a stale local
// reference ends the process instead of reading some other object.
inline VelAndroidDriver::VmOptions checkedVmOptions()
{
    VelAndroidDriver::VmOptions options;
    options.jvmOptions.push_back("-Xcheck:jni");
    return options;
}

// Starts the VM and loads the plugin once; later calls only report.
inline ::testing::AssertionResult loadPlugin()
{
    static bool tried = false;
    static std::string error;
    if (!tried) {
        tried = true;
        char pattern[] = "/tmp/velservicesXXXXXX";
        if (!::mkdtemp(pattern))
            error = "mkdtemp failed";
        else if (!driver().startJavaVm(checkedVmOptions()) || !driver().createActivity(pattern) ||
                 !driver().loadLibrary(VEL_TEST_PLUGIN))
            error = driver().lastError();
    }
    if (!error.empty())
        return ::testing::AssertionFailure() << error;
    return ::testing::AssertionSuccess();
}

// A local reference to a Java string with these UTF-16 units; null for null.
inline jstring javaString(JNIEnv *env, const std::u16string *text)
{
    if (!text)
        return nullptr;
    return env->NewString(reinterpret_cast<const jchar *>(text->data()), jsize(text->size()));
}

inline std::u16string fromJava(JNIEnv *env, jstring string)
{
    if (!string)
        return std::u16string();
    const jsize length = env->GetStringLength(string);
    std::u16string out(size_t(length), u'\0');
    env->GetStringRegion(string, 0, length, reinterpret_cast<jchar *>(&out[0]));
    return out;
}

inline bool clearException(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionDescribe();
    env->ExceptionClear();
    return true;
}

// VelNative.putClipboardTextFromOutside: the user copying in another app.
inline void putClipboardFromOutside(const std::u16string *text)
{
    JNIEnv *env = VelJavaVm::env();
    jclass velNative = env->FindClass("org/vel/android/VelNative");
    jmethodID put =
        env->GetStaticMethodID(velNative, "putClipboardTextFromOutside", "(Ljava/lang/String;)V");
    jstring string = javaString(env, text);
    env->CallStaticVoidMethod(velNative, put, string);
    clearException(env);
    if (string)
        env->DeleteLocalRef(string);
    env->DeleteLocalRef(velNative);
}

inline std::vector<std::string> callsNamed(const std::string &prefix)
{
    std::vector<std::string> out;
    for (const std::string &call : driver().javaCalls()) {
        if (call.compare(0, prefix.size(), prefix) == 0)
            out.push_back(call);
    }
    return out;
}

} // namespace ServicesTest

#endif
