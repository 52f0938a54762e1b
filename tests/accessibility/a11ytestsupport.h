#ifndef A11YTESTSUPPORT_H
#define A11YTESTSUPPORT_H

// What the accessibility tests share: the natives of VelNativeAccessibility
// called from a Java thread as an accessibility service calls them, and a run
// of the accessible form example inside the plugin, in this process.

#include "a11yform.h"
#include "velandroiddriver.h"
#include "velx11window.h"

#include "velaccessible.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

class VelWindow;

constexpr int a11yScreenWidth = 480;
constexpr int a11yScreenHeight = 800;

struct JRect {
    int left, top, right, bottom;
    bool operator==(const JRect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

inline std::ostream &operator<<(std::ostream &out, const JRect &r)
{
    return out << "Rect(" << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom << ")";
}

// The natives, called from this (Java) thread as the service would.
class Natives
{
public:
    explicit Natives(JNIEnv *env) : m_env(env)
    {
        m_class = static_cast<jclass>(env->NewGlobalRef(
            env->FindClass("org/vel/android/accessibility/VelNativeAccessibility")));
    }

    void setActive(bool active)
    {
        call<void>("setActive", "(Z)V",
                   [&](jmethodID m) { m_env->CallStaticVoidMethod(m_class, m, jboolean(active)); });
    }
    std::vector<int> childIds(int id)
    {
        std::vector<int> out;
        call<void>("childIdListForAccessibleObject", "(I)[I", [&](jmethodID m) {
            auto array = static_cast<jintArray>(m_env->CallStaticObjectMethod(m_class, m, id));
            if (!array)
                return;
            out.resize(size_t(m_env->GetArrayLength(array)));
            if (!out.empty())
                m_env->GetIntArrayRegion(array, 0, jsize(out.size()), out.data());
            m_env->DeleteLocalRef(array);
        });
        return out;
    }
    int parentId(int id)
    {
        return call<int>("parentId", "(I)I",
                         [&](jmethodID m) { return m_env->CallStaticIntMethod(m_class, m, id); });
    }
    std::string description(int id)
    {
        return call<std::string>(
            "descriptionForAccessibleObject", "(I)Ljava/lang/String;",
            [&](jmethodID m) { return text(m_env->CallStaticObjectMethod(m_class, m, id)); });
    }
    JRect screenRect(int id)
    {
        return call<JRect>("screenRect", "(I)Landroid/graphics/Rect;", [&](jmethodID m) {
            jobject rect = m_env->CallStaticObjectMethod(m_class, m, id);
            JRect r{};
            if (!rect)
                return JRect{-99, -99, -99, -99};
            jclass cls = m_env->GetObjectClass(rect);
            r.left = m_env->GetIntField(rect, m_env->GetFieldID(cls, "left", "I"));
            r.top = m_env->GetIntField(rect, m_env->GetFieldID(cls, "top", "I"));
            r.right = m_env->GetIntField(rect, m_env->GetFieldID(cls, "right", "I"));
            r.bottom = m_env->GetIntField(rect, m_env->GetFieldID(cls, "bottom", "I"));
            m_env->DeleteLocalRef(cls);
            m_env->DeleteLocalRef(rect);
            return r;
        });
    }
    int hitTest(float x, float y)
    {
        return call<int>("hitTest", "(FF)I", [&](jmethodID m) {
            return m_env->CallStaticIntMethod(m_class, m, jfloat(x), jfloat(y));
        });
    }
    // The calls populateNode made on a fresh node, as "name(args)".
    std::vector<std::string>
    populate(int id, const char *nodeClassName = "android/view/accessibility/AccessibilityNodeInfo")
    {
        std::vector<std::string> calls;
        jclass nodeClass = m_env->FindClass(nodeClassName);
        if (!nodeClass) {
            m_env->ExceptionClear();
            ADD_FAILURE() << "no class " << nodeClassName;
            return calls;
        }
        jobject node = m_env->NewObject(nodeClass, m_env->GetMethodID(nodeClass, "<init>", "()V"));
        call<void>("populateNode", "(ILandroid/view/accessibility/AccessibilityNodeInfo;)V",
                   [&](jmethodID m) { m_env->CallStaticVoidMethod(m_class, m, id, node); });
        jclass baseClass = m_env->FindClass("android/view/accessibility/AccessibilityNodeInfo");
        jobject list = m_env->CallObjectMethod(
            node, m_env->GetMethodID(baseClass, "calls", "()Ljava/util/List;"));
        m_env->DeleteLocalRef(baseClass);
        jclass listClass = m_env->FindClass("java/util/List");
        const jint size = m_env->CallIntMethod(list, m_env->GetMethodID(listClass, "size", "()I"));
        const jmethodID get = m_env->GetMethodID(listClass, "get", "(I)Ljava/lang/Object;");
        for (jint i = 0; i < size; ++i)
            calls.push_back(text(m_env->CallObjectMethod(list, get, i)));
        m_env->DeleteLocalRef(listClass);
        m_env->DeleteLocalRef(list);
        m_env->DeleteLocalRef(node);
        m_env->DeleteLocalRef(nodeClass);
        return calls;
    }
    bool populateWithNullNode(int id)
    {
        call<void>("populateNode", "(ILandroid/view/accessibility/AccessibilityNodeInfo;)V",
                   [&](jmethodID m) { m_env->CallStaticVoidMethod(m_class, m, id, nullptr); });
        return !m_env->ExceptionCheck();
    }
    bool clickAction(int id)
    {
        return call<bool>("clickAction", "(I)Z", [&](jmethodID m) {
            return m_env->CallStaticBooleanMethod(m_class, m, id) == JNI_TRUE;
        });
    }

private:
    template <typename R, typename F> R call(const char *name, const char *signature, F body)
    {
        const jmethodID method = m_env->GetStaticMethodID(m_class, name, signature);
        EXPECT_NE(method, nullptr) << name;
        if constexpr (std::is_void_v<R>) {
            if (method)
                body(method);
            EXPECT_FALSE(m_env->ExceptionCheck()) << name << " left an exception";
            m_env->ExceptionClear();
        } else {
            R result = method ? body(method) : R();
            EXPECT_FALSE(m_env->ExceptionCheck()) << name << " left an exception";
            m_env->ExceptionClear();
            return result;
        }
    }
    std::string text(jobject string)
    {
        if (!string)
            return "(null)";
        const char *chars = m_env->GetStringUTFChars(static_cast<jstring>(string), nullptr);
        std::string out = chars ? chars : "";
        m_env->ReleaseStringUTFChars(static_cast<jstring>(string), chars);
        m_env->DeleteLocalRef(string);
        return out;
    }

    JNIEnv *m_env;
    jclass m_class = nullptr;
};

// The device font directory /system/fonts, which a desktop lacks, lent from
// the desktop's fonts in a mount namespace of this process alone (the app
// draws text). A bind mount needs an existing target: directories made for it
// are removed again by returnSystemFonts().

// The device font directory /system/fonts, which a desktop lacks, lent from
// the desktop's fonts in a mount namespace of this process alone (the app
// draws text). A bind mount needs an existing target: directories made for it
// are removed again by returnSystemFonts().
class SystemFonts
{
public:
    bool lend(std::string *error);
    void giveBack();

private:
    std::vector<std::string> m_created; // innermost first
    bool m_mounted = false;
};

// The plugin loaded into this process's Java VM with the form example running
// as its app on a surface of its own. start() makes the steps in order and
// fails at the first that does not work.
class A11yFormRun
{
public:
    // Steps before the app starts, e.g. calls that find no GUI thread yet.
    using BeforeApp = std::function<void(Natives &natives)>;
    bool start(const VelAndroidDriver::VmOptions &vmOptions, const BeforeApp &beforeApp,
               std::string *error);
    void stop();

    VelAndroidDriver &driver() { return m_driver; }
    Natives &natives() { return *m_natives; }

private:
    SystemFonts m_fonts;
    VelAndroidDriver m_driver;
    VelX11Window m_window;
    jobject m_surface = nullptr;
    std::string m_dir;
    std::unique_ptr<Natives> m_natives;
};

// Runs work on the app's GUI thread and waits for it.
void onGui(const std::function<void()> &work);
// The form's window (GUI thread only).
VelWindow *formWindow();
std::string roleName(VelAccessible::Role role);

#endif
