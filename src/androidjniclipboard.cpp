#include "androidjniclipboard.h"

#include "androidjnimain.h"

#include "veljniobject.h"

#include <android/log.h>

namespace VelAndroidClipboard
{

namespace
{

jmethodID m_registerClipboardManagerMethodID = nullptr;
jmethodID m_setClipboardTextMethodID = nullptr;
jmethodID m_hasClipboardTextMethodID = nullptr;
jmethodID m_getClipboardTextMethodID = nullptr;

// A Java exception must not be left for the next JNI call to run into.
bool clearException(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionClear();
    return true;
}

bool lookUp(JNIEnv *env, jmethodID *id, const char *name, const char *signature)
{
    *id = env->GetStaticMethodID(VelAndroid::applicationClass(), name, signature);
    clearException(env);
    if (!*id) {
        __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(),
                            VelAndroid::methodErrorMsgFmt(), name, signature);
    }
    return *id != nullptr;
}

// The environment, when the bridge is loaded and the method was found.
bool canCall(const ScopedJniEnv &env, jmethodID method)
{
    return env && method && VelAndroid::applicationClass();
}

} // namespace

bool registerNatives(JNIEnv *env)
{
    return lookUp(env, &m_registerClipboardManagerMethodID, "registerClipboardManager", "()V") &&
           lookUp(env, &m_setClipboardTextMethodID, "setClipboardText", "(Ljava/lang/String;)V") &&
           lookUp(env, &m_hasClipboardTextMethodID, "hasClipboardText", "()Z") &&
           lookUp(env, &m_getClipboardTextMethodID, "getClipboardText", "()Ljava/lang/String;");
}

void setClipboardListener(VelAndroidPlatformClipboard *)
{
    ScopedJniEnv env;
    if (!canCall(env, m_registerClipboardManagerMethodID))
        return;
    env->CallStaticVoidMethod(VelAndroid::applicationClass(), m_registerClipboardManagerMethodID);
    clearException(env.jniEnv());
}

void setClipboardText(const VelString &text)
{
    ScopedJniEnv env;
    if (!canCall(env, m_setClipboardTextMethodID))
        return;
    jstring string = VelJNIObjectPrivate::toJString(env.jniEnv(), text);
    if (!string) {
        clearException(env.jniEnv());
        return;
    }
    env->CallStaticVoidMethod(VelAndroid::applicationClass(), m_setClipboardTextMethodID, string);
    clearException(env.jniEnv());
    env->DeleteLocalRef(string);
}

bool hasClipboardText()
{
    ScopedJniEnv env;
    if (!canCall(env, m_hasClipboardTextMethodID))
        return false;
    const jboolean has =
        env->CallStaticBooleanMethod(VelAndroid::applicationClass(), m_hasClipboardTextMethodID);
    return !clearException(env.jniEnv()) && has;
}

VelString clipboardText()
{
    ScopedJniEnv env;
    if (!canCall(env, m_getClipboardTextMethodID))
        return VelString();
    auto string = static_cast<jstring>(
        env->CallStaticObjectMethod(VelAndroid::applicationClass(), m_getClipboardTextMethodID));
    if (clearException(env.jniEnv()) || !string) {
        if (string)
            env->DeleteLocalRef(string);
        return VelString();
    }
    const VelString text = VelJNIObjectPrivate::fromJString(env.jniEnv(), string);
    env->DeleteLocalRef(string);
    return text;
}

} // namespace VelAndroidClipboard
