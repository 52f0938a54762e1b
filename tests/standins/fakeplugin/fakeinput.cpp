#include "fakeinput.h"

#include "fakeanswer.h"

#include <android/log.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace
{

const char tag[] = "VelFake";

bool enabled(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && std::strcmp(value, "1") == 0;
}

std::string javaText(JNIEnv *env, jstring text)
{
    if (!text)
        return "null";
    const jsize length = env->GetStringLength(text);
    const jchar *chars = env->GetStringChars(text, nullptr);
    std::ostringstream out;
    out << '"';
    for (jsize i = 0; chars && i < length; ++i) {
        if (chars[i] >= 0x20 && chars[i] < 0x7f)
            out << static_cast<char>(chars[i]);
        else
            out << "\\u" << std::hex << chars[i] << std::dec;
    }
    out << '"';
    if (chars)
        env->ReleaseStringChars(text, chars);
    return out.str();
}

std::string threadName(JNIEnv *env)
{
    jclass threadClass = env->FindClass("java/lang/Thread");
    jmethodID current =
        env->GetStaticMethodID(threadClass, "currentThread", "()Ljava/lang/Thread;");
    jobject thread = env->CallStaticObjectMethod(threadClass, current);
    jmethodID getName = env->GetMethodID(threadClass, "getName", "()Ljava/lang/String;");
    jstring name = static_cast<jstring>(env->CallObjectMethod(thread, getName));
    std::string out = javaText(env, name);
    env->DeleteLocalRef(name);
    env->DeleteLocalRef(thread);
    env->DeleteLocalRef(threadClass);
    return out;
}

template <typename... Args> void logCall(JNIEnv *env, const char *name, Args... args)
{
    std::ostringstream text;
    text << "input " << name << "(";
    const char *separator = "";
    ((text << separator << args, separator = ", "), ...);
    (void)separator; // unread for calls without arguments
    text << ") on " << threadName(env);
    __android_log_print(ANDROID_LOG_INFO, tag, "%s", text.str().c_str());
}

void touchBegin(JNIEnv *env, jclass, jint winId)
{
    logCall(env, "touchBegin", winId);
}

void touchAdd(JNIEnv *env, jclass, jint winId, jint id, jint action, jboolean primary, jint x,
              jint y, jfloat size, jfloat pressure)
{
    logCall(env, "touchAdd", winId, id, action, primary ? "true" : "false", x, y, size, pressure);
}

void touchEnd(JNIEnv *env, jclass, jint winId, jint action)
{
    logCall(env, "touchEnd", winId, action);
    const jint lastFingerUp = 1;
    if (action == lastFingerUp)
        velFakeAnswerTouch();
}

void mouseDown(JNIEnv *env, jclass, jint winId, jint x, jint y)
{
    logCall(env, "mouseDown", winId, x, y);
}

void mouseUp(JNIEnv *env, jclass, jint winId, jint x, jint y)
{
    logCall(env, "mouseUp", winId, x, y);
}

void mouseMove(JNIEnv *env, jclass, jint winId, jint x, jint y)
{
    logCall(env, "mouseMove", winId, x, y);
}

void longPress(JNIEnv *env, jclass, jint winId, jint x, jint y)
{
    logCall(env, "longPress", winId, x, y);
}

void keyDown(JNIEnv *env, jclass, jint key, jint unicode, jint meta)
{
    logCall(env, "keyDown", key, unicode, meta);
}

void keyUp(JNIEnv *env, jclass, jint key, jint unicode, jint meta)
{
    logCall(env, "keyUp", key, unicode, meta);
}

void keyboardVisibilityChanged(JNIEnv *env, jclass, jboolean visible)
{
    logCall(env, "keyboardVisibilityChanged", visible ? "true" : "false");
}

jboolean commitText(JNIEnv *env, jclass, jstring text, jint position)
{
    logCall(env, "commitText", javaText(env, text), position);
    return JNI_TRUE;
}

jboolean deleteSurroundingText(JNIEnv *env, jclass, jint before, jint after)
{
    logCall(env, "deleteSurroundingText", before, after);
    return JNI_TRUE;
}

jboolean finishComposingText(JNIEnv *env, jclass)
{
    logCall(env, "finishComposingText");
    return JNI_TRUE;
}

jint getCursorCapsMode(JNIEnv *env, jclass, jint modes)
{
    logCall(env, "getCursorCapsMode", modes);
    return 0;
}

jobject getExtractedText(JNIEnv *env, jclass, jint chars, jint lines, jint flags)
{
    logCall(env, "getExtractedText", chars, lines, flags);
    return nullptr;
}

jstring getSelectedText(JNIEnv *env, jclass, jint flags)
{
    logCall(env, "getSelectedText", flags);
    return nullptr;
}

jstring getTextAfterCursor(JNIEnv *env, jclass, jint length, jint flags)
{
    logCall(env, "getTextAfterCursor", length, flags);
    return nullptr;
}

jstring getTextBeforeCursor(JNIEnv *env, jclass, jint length, jint flags)
{
    logCall(env, "getTextBeforeCursor", length, flags);
    return nullptr;
}

jboolean setComposingText(JNIEnv *env, jclass, jstring text, jint position)
{
    logCall(env, "setComposingText", javaText(env, text), position);
    return JNI_TRUE;
}

jboolean setComposingRegion(JNIEnv *env, jclass, jint start, jint end)
{
    logCall(env, "setComposingRegion", start, end);
    return JNI_TRUE;
}

jboolean setSelection(JNIEnv *env, jclass, jint start, jint end)
{
    logCall(env, "setSelection", start, end);
    return JNI_TRUE;
}

jboolean noAction(JNIEnv *env, jclass)
{
    logCall(env, "contextAction");
    return JNI_FALSE;
}

JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod inputMethods[] = {
    nativeMethod("touchBegin", "(I)V", reinterpret_cast<void *>(touchBegin)),
    nativeMethod("touchAdd", "(IIIZIIFF)V", reinterpret_cast<void *>(touchAdd)),
    nativeMethod("touchEnd", "(II)V", reinterpret_cast<void *>(touchEnd)),
    nativeMethod("mouseDown", "(III)V", reinterpret_cast<void *>(mouseDown)),
    nativeMethod("mouseUp", "(III)V", reinterpret_cast<void *>(mouseUp)),
    nativeMethod("mouseMove", "(III)V", reinterpret_cast<void *>(mouseMove)),
    nativeMethod("longPress", "(III)V", reinterpret_cast<void *>(longPress)),
    nativeMethod("keyDown", "(III)V", reinterpret_cast<void *>(keyDown)),
    nativeMethod("keyUp", "(III)V", reinterpret_cast<void *>(keyUp)),
    nativeMethod("keyboardVisibilityChanged", "(Z)V",
                 reinterpret_cast<void *>(keyboardVisibilityChanged)),
};

const JNINativeMethod connectionMethods[] = {
    nativeMethod("commitText", "(Ljava/lang/String;I)Z", reinterpret_cast<void *>(commitText)),
    nativeMethod("deleteSurroundingText", "(II)Z", reinterpret_cast<void *>(deleteSurroundingText)),
    nativeMethod("finishComposingText", "()Z", reinterpret_cast<void *>(finishComposingText)),
    nativeMethod("getCursorCapsMode", "(I)I", reinterpret_cast<void *>(getCursorCapsMode)),
    nativeMethod("getExtractedText", "(III)Lorg/vel/android/VelExtractedText;",
                 reinterpret_cast<void *>(getExtractedText)),
    nativeMethod("getSelectedText", "(I)Ljava/lang/String;",
                 reinterpret_cast<void *>(getSelectedText)),
    nativeMethod("getTextAfterCursor", "(II)Ljava/lang/String;",
                 reinterpret_cast<void *>(getTextAfterCursor)),
    nativeMethod("getTextBeforeCursor", "(II)Ljava/lang/String;",
                 reinterpret_cast<void *>(getTextBeforeCursor)),
    nativeMethod("setComposingText", "(Ljava/lang/String;I)Z",
                 reinterpret_cast<void *>(setComposingText)),
    nativeMethod("setComposingRegion", "(II)Z", reinterpret_cast<void *>(setComposingRegion)),
    nativeMethod("setSelection", "(II)Z", reinterpret_cast<void *>(setSelection)),
    nativeMethod("selectAll", "()Z", reinterpret_cast<void *>(noAction)),
    nativeMethod("cut", "()Z", reinterpret_cast<void *>(noAction)),
    nativeMethod("copy", "()Z", reinterpret_cast<void *>(noAction)),
    nativeMethod("copyURL", "()Z", reinterpret_cast<void *>(noAction)),
    nativeMethod("paste", "()Z", reinterpret_cast<void *>(noAction)),
};

} // namespace

bool velFakeInputRegister(JNIEnv *env, jclass velNative)
{
    if (!enabled("VEL_FAKEPLUGIN_INPUT"))
        return true;
    if (env->RegisterNatives(velNative, inputMethods,
                             sizeof inputMethods / sizeof inputMethods[0]) < 0) {
        env->ExceptionClear();
        return false;
    }
    jclass connection = env->FindClass("org/vel/android/VelNativeInputConnection");
    if (!connection) {
        env->ExceptionClear();
        return false;
    }
    const bool registered =
        env->RegisterNatives(connection, connectionMethods,
                             sizeof connectionMethods / sizeof connectionMethods[0]) == 0;
    env->ExceptionClear();
    env->DeleteLocalRef(connection);
    return registered;
}

void velFakeInputSurfaceArrived(JNIEnv *env, jclass velNative)
{
    if (!enabled("VEL_FAKEPLUGIN_KEYBOARD"))
        return;
    jmethodID show = env->GetStaticMethodID(velNative, "showSoftwareKeyboard", "(IIIII)V");
    if (show)
        env->CallStaticVoidMethod(velNative, show, 1, 2, 3, 4, 5);
    env->ExceptionClear();
}
