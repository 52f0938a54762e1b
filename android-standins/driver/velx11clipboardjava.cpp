#include "velx11clipboardjava.h"

#include "veljavastrings.h"
#include "velx11clipboard.h"

#include <atomic>

namespace
{

constexpr const char *clipboardClass = "org/vel/android/VelDesktopClipboard";

std::atomic<VelX11Clipboard *> installed{nullptr};

void JNICALL publishText(JNIEnv *env, jclass, jstring text)
{
    VelX11Clipboard *clipboard = installed.load();
    if (!clipboard || !text)
        return;
    clipboard->publish(velJavaStringToUtf8(env, text));
}

jstring JNICALL fetchText(JNIEnv *env, jclass)
{
    VelX11Clipboard *clipboard = installed.load();
    if (!clipboard)
        return nullptr;
    std::string text;
    if (clipboard->fetch(&text, VelX11ClipboardJava::fetchTimeoutMs) !=
        VelX11Clipboard::Fetch::Text)
        return nullptr;
    jstring result = velNewJavaString(env, text);
    if (env->ExceptionCheck()) {
        // Out of memory for a huge text: the paste gets the app's own.
        env->ExceptionClear();
        return nullptr;
    }
    return result;
}

bool setInstalled(JNIEnv *env, jclass cls, bool value)
{
    const jmethodID method = env->GetStaticMethodID(cls, "setInstalled", "(Z)V");
    if (method)
        env->CallStaticVoidMethod(cls, method, jboolean(value));
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        return false;
    }
    return method != nullptr;
}

} // namespace

bool VelX11ClipboardJava::install(JNIEnv *env, VelX11Clipboard *clipboard, std::string *error)
{
    jclass cls = env->FindClass(clipboardClass);
    if (!cls) {
        env->ExceptionClear();
        *error = std::string("no class ") + clipboardClass;
        return false;
    }
    const JNINativeMethod methods[] = {
        {const_cast<char *>("publish"), const_cast<char *>("(Ljava/lang/String;)V"),
         reinterpret_cast<void *>(publishText)},
        {const_cast<char *>("fetch"), const_cast<char *>("()Ljava/lang/String;"),
         reinterpret_cast<void *>(fetchText)},
    };
    installed.store(clipboard);
    const bool registered = env->RegisterNatives(cls, methods, 2) == JNI_OK;
    if (!registered)
        env->ExceptionClear();
    const bool ok = registered && setInstalled(env, cls, true);
    env->DeleteLocalRef(cls);
    if (!ok) {
        installed.store(nullptr);
        *error = "cannot register the desktop clipboard's natives";
    }
    return ok;
}

void VelX11ClipboardJava::uninstall(JNIEnv *env)
{
    jclass cls = env->FindClass(clipboardClass);
    if (cls) {
        setInstalled(env, cls, false);
        env->DeleteLocalRef(cls);
    } else {
        env->ExceptionClear();
    }
    installed.store(nullptr);
}
