#include "velandroidplatformdialoghelpers.h"

#include "androidjnimain.h"

#include "velcoreapplication.h"
#include "vellogging.h"
#include "velmetaobject.h"

#include <android/log.h>

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace VelAndroidDialogHelpers
{

namespace
{

// The class loader wants the dotted name; FindClass the slashed one.
const char messageDialogHelperClassName[] = "org.vel.android.VelMessageDialogHelper";
const char nativeDialogHelperClassName[] = "org/vel/android/VelNativeDialogHelper";
const char translationContext[] = "VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper";

jclass g_messageDialogHelperClass = nullptr;

struct ButtonLabel {
    uint bit;
    const char *label;
};

// In the order the buttons are offered to Java.
constexpr ButtonLabel buttonLabels[] = {
    {0x00000400, "OK"},     {0x00000800, "Save"},      {0x00001000, "Save All"},
    {0x00002000, "Open"},   {0x00004000, "Yes"},       {0x00008000, "Yes to All"},
    {0x00010000, "No"},     {0x00020000, "No to All"}, {0x00040000, "Abort"},
    {0x00080000, "Retry"},  {0x00100000, "Ignore"},    {0x00200000, "Close"},
    {0x00400000, "Cancel"}, {0x00800000, "Discard"},   {0x01000000, "Help"},
    {0x02000000, "Apply"},  {0x04000000, "Reset"},
};

// The live helpers by handle. Handles count up from 1 and are never reused,
// so a handle Java kept from a deleted helper can never reach a newer one.
struct Registry {
    std::mutex mutex; // guards helpers; taken alone
    std::unordered_map<jlong, VelAndroidPlatformMessageDialogHelper *> helpers;
    std::atomic<jlong> lastHandle{0};
};

Registry &registry()
{
    // Never destroyed: a Java thread may report a result while the process ends.
    static Registry *r = new Registry;
    return *r;
}

jlong registerHelper(VelAndroidPlatformMessageDialogHelper *helper)
{
    Registry &r = registry();
    const jlong handle = ++r.lastHandle;
    std::lock_guard<std::mutex> lock(r.mutex);
    r.helpers.emplace(handle, helper);
    return handle;
}

void unregisterHelper(jlong handle)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.helpers.erase(handle);
}

// Java thread. Posting under the registry mutex keeps the helper from being
// deleted between the lookup and the post.
void dialogResult(JNIEnv *, jobject, jlong handle, jint buttonID)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.helpers.find(handle);
    if (it == r.helpers.end()) {
        velWarning("dialogResult: no message dialog with handle %lld",
                   static_cast<long long>(handle));
        return;
    }
    const int button = buttonID;
    VelMetaObject::invokeMethod(it->second, "dialogResult", Vel::QueuedConnection,
                                VEL_ARG(int, button));
}

JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod methods[] = {
    nativeMethod("dialogResult", "(JI)V", reinterpret_cast<void *>(dialogResult)),
};

void logMissingClass(const char *name)
{
    __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(), VelAndroid::classErrorMsgFmt(),
                        name);
}

VelJNIObjectPrivate javaString(const VelString &text)
{
    return VelJNIObjectPrivate::fromString(text);
}

} // namespace

bool registerNatives(JNIEnv *env)
{
    jclass helperClass = VelAndroid::findClass(VelString(messageDialogHelperClassName), env);
    if (!helperClass) {
        logMissingClass(messageDialogHelperClassName);
        return false;
    }
    g_messageDialogHelperClass = static_cast<jclass>(env->NewGlobalRef(helperClass));
    env->DeleteLocalRef(helperClass);

    jclass nativeClass = env->FindClass(nativeDialogHelperClassName);
    if (!nativeClass) {
        if (env->ExceptionCheck())
            env->ExceptionClear();
        logMissingClass(nativeDialogHelperClassName);
        return false;
    }
    const bool registered =
        env->RegisterNatives(nativeClass, methods, sizeof(methods) / sizeof(methods[0])) >= 0;
    if (env->ExceptionCheck())
        env->ExceptionClear();
    env->DeleteLocalRef(nativeClass);
    if (!registered)
        __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(), "RegisterNatives failed");
    return registered;
}

int liveHelperCount()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return int(r.helpers.size());
}

VEL_META_BEGIN_NAMED(VelAndroidPlatformMessageDialogHelper, VelPlatformMessageDialogHelper,
                     "VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper")
VEL_META_INVOKABLE(dialogResult, int)
VEL_META_END

VelAndroidPlatformMessageDialogHelper::VelAndroidPlatformMessageDialogHelper()
    : m_handle(registerHelper(this))
{
    // Without an activity or the class there is no dialog to show; show()
    // then fails instead of reaching Java.
    if (g_messageDialogHelperClass && VelAndroid::activity()) {
        m_javaMessageDialog = VelJNIObjectPrivate(
            g_messageDialogHelperClass, "(Landroid/app/Activity;)V", VelAndroid::activity());
    }
}

VelAndroidPlatformMessageDialogHelper::~VelAndroidPlatformMessageDialogHelper()
{
    // First out of the registry: no result is posted for this helper after
    // this; those already posted go with the object.
    unregisterHelper(m_handle);
}

void VelAndroidPlatformMessageDialogHelper::exec()
{
    if (!m_shown && !show(Vel::Dialog, Vel::ApplicationModal, nullptr))
        return;
    if (m_answered)
        return;
    m_loop.exec(VelEventLoop::DialogExec);
}

bool VelAndroidPlatformMessageDialogHelper::show(Vel::WindowFlags, Vel::WindowModality, VelWindow *)
{
    const std::shared_ptr<VelMessageDialogOptions> &opts = options();
    if (!opts || !m_javaMessageDialog.isValid())
        return false;

    m_javaMessageDialog.callMethod<void>("setIcon", "(I)V", jint(opts->icon()));
    const auto setText = [this](const char *method, const VelString &text) {
        if (!text.isEmpty())
            m_javaMessageDialog.callMethod<void>(method, "(Ljava/lang/String;)V",
                                                 javaString(text).object());
    };
    // The Java method is named setTile.
    setText("setTile", opts->windowTitle());
    setText("setText", opts->text());
    setText("setInformativeText", opts->informativeText());
    setText("setDetailedText", opts->detailedText());
    const uint buttons = opts->standardButtons();
    for (const ButtonLabel &button : buttonLabels) {
        if (!(buttons & button.bit))
            continue;
        const VelString label = VelCoreApplication::translate(translationContext, button.label);
        m_javaMessageDialog.callMethod<void>("addButton", "(ILjava/lang/String;)V",
                                             jint(button.bit), javaString(label).object());
    }
    m_answered = false;
    m_javaMessageDialog.callMethod<void>("show", "(J)V", m_handle);
    m_shown = true;
    return true;
}

void VelAndroidPlatformMessageDialogHelper::hide()
{
    if (m_javaMessageDialog.isValid())
        m_javaMessageDialog.callMethod<void>("hide", "()V");
    m_shown = false;
    if (m_loop.isRunning())
        m_loop.exit(0);
}

void VelAndroidPlatformMessageDialogHelper::dialogResult(int buttonID)
{
    m_buttonID = buttonID;
    m_answered = true;
    if (m_loop.isRunning())
        m_loop.exit(0);
    if (buttonID < 0)
        reject();
    else
        clicked(buttonID, buttonRole(uint(buttonID)));
}

} // namespace VelAndroidDialogHelpers
