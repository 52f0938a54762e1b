#include "velservicescontrol.h"

#include "velandroiddriver.h"
#include "veljavastrings.h"
#include "veljavavm.h"

#include <jni.h>

#include <string>

namespace VelServicesControl
{

namespace
{

// Local references made within one call, freed when it ends.
class LocalFrame
{
public:
    explicit LocalFrame(JNIEnv *env) : m_env(env)
    {
        if (m_env && m_env->PushLocalFrame(16) != 0)
            m_env = nullptr;
    }
    ~LocalFrame()
    {
        if (m_env)
            m_env->PopLocalFrame(nullptr);
    }
    LocalFrame(const LocalFrame &) = delete;
    LocalFrame &operator=(const LocalFrame &) = delete;
    JNIEnv *env() const { return m_env; }

private:
    JNIEnv *m_env;
};

bool failed(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionClear();
    return true;
}

jstring toJava(JNIEnv *env, const std::string &utf8)
{
    return velNewJavaString(env, utf8);
}

std::string fromJava(JNIEnv *env, jstring string)
{
    return velJavaStringToUtf8(env, string);
}

jclass findClass(JNIEnv *env, const char *name)
{
    jclass clazz = env->FindClass(name);
    failed(env);
    return clazz;
}

// Static method with one string argument and a boolean or void result.
bool callWithString(const char *className, const char *name, const char *signature,
                    const std::string &argument)
{
    LocalFrame frame(VelJavaVm::env());
    JNIEnv *env = frame.env();
    if (!env)
        return false;
    jclass clazz = findClass(env, className);
    jmethodID method = clazz ? env->GetStaticMethodID(clazz, name, signature) : nullptr;
    if (!method) {
        failed(env);
        return false;
    }
    jstring string = toJava(env, argument);
    if (signature[std::string(signature).size() - 1] == 'Z') {
        const jboolean result = env->CallStaticBooleanMethod(clazz, method, string);
        return !failed(env) && result;
    }
    env->CallStaticVoidMethod(clazz, method, string);
    return !failed(env);
}

jobject showingDialogObject(JNIEnv *env, jclass helperClass)
{
    jmethodID showing = env->GetStaticMethodID(helperClass, "showing",
                                               "()Lorg/vel/android/VelMessageDialogHelper;");
    if (!showing) {
        failed(env);
        return nullptr;
    }
    jobject dialog = env->CallStaticObjectMethod(helperClass, showing);
    return failed(env) ? nullptr : dialog;
}

std::string stringResult(JNIEnv *env, jobject object, jclass clazz, const char *name)
{
    jmethodID method = env->GetMethodID(clazz, name, "()Ljava/lang/String;");
    if (!method) {
        failed(env);
        return std::string();
    }
    auto string = static_cast<jstring>(env->CallObjectMethod(object, method));
    if (failed(env))
        return std::string();
    return fromJava(env, string);
}

} // namespace

bool setLocale(const std::string &tag, std::string *error)
{
    const bool done = callWithString("org/vel/android/VelConfiguration", "setLocale",
                                     "(Ljava/lang/String;)Z", tag);
    if (!done && error)
        *error = "the configuration does not take the locale '" + tag + "'";
    return done;
}

bool changeLocale(VelAndroidDriver &driver, const std::string &tag, std::string *error)
{
    constexpr int inactive = 2;
    constexpr int active = 4;
    return setLocale(tag, error) && driver.updateApplicationState(inactive) &&
           driver.updateApplicationState(active);
}

std::string locale()
{
    LocalFrame frame(VelJavaVm::env());
    JNIEnv *env = frame.env();
    if (!env)
        return std::string();
    jclass clazz = findClass(env, "org/vel/android/VelConfiguration");
    jmethodID method =
        clazz ? env->GetStaticMethodID(clazz, "locale", "()Ljava/lang/String;") : nullptr;
    if (!method) {
        failed(env);
        return std::string();
    }
    auto string = static_cast<jstring>(env->CallStaticObjectMethod(clazz, method));
    return failed(env) ? std::string() : fromJava(env, string);
}

bool setDialogAutoAnswer(const std::string &choice)
{
    return callWithString("org/vel/android/VelMessageDialogHelper", "setAutoAnswer",
                          "(Ljava/lang/String;)V", choice);
}

bool answerShowingDialog(const std::string &choice)
{
    return callWithString("org/vel/android/VelMessageDialogHelper", "answerShowing",
                          "(Ljava/lang/String;)Z", choice);
}

bool showingDialog(Dialog *out)
{
    LocalFrame frame(VelJavaVm::env());
    JNIEnv *env = frame.env();
    if (!env)
        return false;
    jclass helperClass = findClass(env, "org/vel/android/VelMessageDialogHelper");
    jobject dialog = helperClass ? showingDialogObject(env, helperClass) : nullptr;
    if (!dialog)
        return false;
    Dialog d;
    jmethodID handle = env->GetMethodID(helperClass, "handle", "()J");
    if (!handle) {
        failed(env);
        return false;
    }
    d.handle = env->CallLongMethod(dialog, handle);
    d.title = stringResult(env, dialog, helperClass, "title");
    d.text = stringResult(env, dialog, helperClass, "text");
    d.informativeText = stringResult(env, dialog, helperClass, "informativeText");
    d.detailedText = stringResult(env, dialog, helperClass, "detailedText");
    jmethodID ids = env->GetMethodID(helperClass, "buttonIds", "()[I");
    jmethodID labels = env->GetMethodID(helperClass, "buttonLabels", "()[Ljava/lang/String;");
    if (!ids || !labels) {
        failed(env);
        return false;
    }
    auto idArray = static_cast<jintArray>(env->CallObjectMethod(dialog, ids));
    auto labelArray = static_cast<jobjectArray>(env->CallObjectMethod(dialog, labels));
    if (failed(env) || !idArray || !labelArray)
        return false;
    const jsize count = env->GetArrayLength(idArray);
    if (env->GetArrayLength(labelArray) != count)
        return false;
    d.buttonIds.resize(size_t(count));
    env->GetIntArrayRegion(idArray, 0, count, d.buttonIds.data());
    for (jsize i = 0; i < count; ++i) {
        auto label = static_cast<jstring>(env->GetObjectArrayElement(labelArray, i));
        d.buttonLabels.push_back(fromJava(env, label));
        env->DeleteLocalRef(label);
    }
    *out = d;
    return true;
}

bool pressShowingDialogButton(int buttonId)
{
    return answerShowingDialog(std::to_string(buttonId));
}

bool setClipboardText(const std::string &text)
{
    return callWithString("org/vel/android/VelNative", "putClipboardTextFromOutside",
                          "(Ljava/lang/String;)V", text);
}

bool clipboardText(std::string *text)
{
    LocalFrame frame(VelJavaVm::env());
    JNIEnv *env = frame.env();
    if (!env)
        return false;
    jclass clazz = findClass(env, "org/vel/android/VelNative");
    jmethodID method =
        clazz ? env->GetStaticMethodID(clazz, "clipboardTextFromOutside", "()Ljava/lang/String;")
              : nullptr;
    if (!method) {
        failed(env);
        return false;
    }
    auto string = static_cast<jstring>(env->CallStaticObjectMethod(clazz, method));
    if (failed(env) || !string)
        return false;
    *text = fromJava(env, string);
    return true;
}

} // namespace VelServicesControl
