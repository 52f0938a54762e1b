#ifndef INPUTSESSION_H
#define INPUTSESSION_H

// The input test application running through the Java VM and the plugin, and
// the Java calls a test makes as the Android UI thread would: the input
// natives of VelNative and the input connection's natives.

#include "androidjnimain.h"
#include "inputtestkit.h"

#include "velandroiddriver.h"
#include "velcoreapplication.h"
#include "velwindowsysteminterface.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <gtest/gtest.h>

#include <jni.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// Java strings as UTF-8 for comparing; a null string is "<null>".
inline std::string utf8(JNIEnv *env, jstring string)
{
    if (!string)
        return "<null>";
    const char *chars = env->GetStringUTFChars(string, nullptr);
    std::string result(chars ? chars : "");
    env->ReleaseStringUTFChars(string, chars);
    env->DeleteLocalRef(string);
    return result;
}

// Thread.join on the live Java thread of that name; true when none is left.
inline bool joinJavaThread(JNIEnv *env, const std::string &name)
{
    jclass threadClass = env->FindClass("java/lang/Thread");
    jobject map = env->CallStaticObjectMethod(
        threadClass, env->GetStaticMethodID(threadClass, "getAllStackTraces", "()Ljava/util/Map;"));
    jclass mapClass = env->FindClass("java/util/Map");
    jobject keys =
        env->CallObjectMethod(map, env->GetMethodID(mapClass, "keySet", "()Ljava/util/Set;"));
    jclass setClass = env->FindClass("java/util/Set");
    auto threads = static_cast<jobjectArray>(env->CallObjectMethod(
        keys, env->GetMethodID(setClass, "toArray", "()[Ljava/lang/Object;")));
    const jmethodID getName = env->GetMethodID(threadClass, "getName", "()Ljava/lang/String;");
    const jmethodID join = env->GetMethodID(threadClass, "join", "(J)V");
    const jmethodID isAlive = env->GetMethodID(threadClass, "isAlive", "()Z");
    bool ended = true;
    for (jsize i = 0; i < env->GetArrayLength(threads); ++i) {
        jobject thread = env->GetObjectArrayElement(threads, i);
        if (utf8(env, static_cast<jstring>(env->CallObjectMethod(thread, getName))) == name) {
            env->CallVoidMethod(thread, join, jlong(30000));
            ended = ended && !env->CallBooleanMethod(thread, isAlive);
        }
        env->DeleteLocalRef(thread);
    }
    const bool failed = env->ExceptionCheck();
    env->ExceptionClear();
    return ended && !failed;
}

// The Java VM, the plugin and the input test application on an X window. The
// surface is handed over before the application starts, as a resumed
// activity does, so that no surface arrives while the GUI thread is still
// bringing the integration up.
class InputSession
{
public:
    InputSession()
    {
        char pattern[] = "/tmp/velinputXXXXXX";
        m_dir = ::mkdtemp(pattern);
    }
    ~InputSession() { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    VelAndroidDriver &driver() { return m_driver; }

    void start(int width, int height)
    {
        m_width = width;
        m_height = height;
        const char *display = std::getenv("DISPLAY");
        if (!display || !*display) {
            m_server = std::make_unique<VelXvfbServer>();
            std::string error;
            ASSERT_TRUE(m_server->start(1280, 1024, &error)) << error;
            ::setenv("DISPLAY", m_server->displayName().c_str(), 1);
        }
        ASSERT_TRUE(m_driver.startJavaVm(VelAndroidDriver::VmOptions())) << m_driver.lastError();
        ASSERT_TRUE(m_driver.createActivity(m_dir)) << m_driver.lastError();
        ASSERT_TRUE(m_driver.loadLibrary(VelAndroidDriver::defaultPluginPath()))
            << m_driver.lastError();
        bool started = false;
        ASSERT_TRUE(m_driver.startVelAndroidPlugin(&started)) << m_driver.lastError();
        ASSERT_TRUE(started);
        ASSERT_TRUE(m_driver.setDisplayMetrics(width, height, width, height, 160, 160, 1));
        std::string error;
        ASSERT_TRUE(m_window.create(std::getenv("DISPLAY"), width, height, "input test", &error))
            << error;
        announceSurface();
        ASSERT_TRUE(m_driver.startVelApplication({VEL_TEST_INPUT_APP}, {})) << m_driver.lastError();
        ASSERT_TRUE(InputTestApp::waitForPublished(30000)) << "the application did not start";
    }

    // Quits the application and waits until its thread has left the VM, so
    // that the process does not exit under a thread still detaching.
    void quitApplication()
    {
        InputTestApp::onGuiThread([] { VelCoreApplication::quit(); });
        ASSERT_TRUE(m_driver.waitForQuit(30000));
        const std::string name = m_driver.javaCallThread("quitApp");
        ASSERT_FALSE(name.empty());
        ASSERT_TRUE(joinJavaThread(m_driver.env(), name)) << name << " still runs";
        // The application thread stopped counting as running before its
        // call to quitApp: this read orders all it did before this
        // process's exit, as the Java join cannot for ThreadSanitizer.
        ASSERT_FALSE(VelAndroid::applicationRunning());
    }

    void announceSurface()
    {
        jobject surface = m_driver.newSurface(m_window.windowId(), m_width, m_height);
        ASSERT_NE(surface, nullptr) << m_driver.lastError();
        ASSERT_TRUE(m_driver.setSurface(surface)) << m_driver.lastError();
        m_driver.deleteGlobalRef(surface);
    }

private:
    std::unique_ptr<VelXvfbServer> m_server;
    VelAndroidDriver m_driver;
    VelX11Window m_window;
    std::string m_dir;
    int m_width = 0;
    int m_height = 0;
};

struct Extracted {
    bool isNull = true;
    int partialStartOffset = 0;
    int partialEndOffset = 0;
    int selectionStart = 0;
    int selectionEnd = 0;
    int startOffset = 0;
    std::string text;
};

// The static natives of VelNativeInputConnection, called on this thread.
class InputConnection
{
public:
    explicit InputConnection(JNIEnv *env) : m_env(env)
    {
        jclass local = env->FindClass("org/vel/android/VelNativeInputConnection");
        EXPECT_NE(local, nullptr);
        m_class = static_cast<jclass>(env->NewGlobalRef(local));
        env->DeleteLocalRef(local);
    }

    bool commitText(const char *text, int position = 1)
    {
        return callBoolean("commitText", "(Ljava/lang/String;I)Z", str(text), position);
    }
    bool setComposingText(const char *text, int position = 1)
    {
        return callBoolean("setComposingText", "(Ljava/lang/String;I)Z", str(text), position);
    }
    bool deleteSurroundingText(int left, int right)
    {
        return callBoolean("deleteSurroundingText", "(II)Z", left, right);
    }
    bool finishComposingText() { return callBoolean("finishComposingText", "()Z"); }
    bool setComposingRegion(int start, int end)
    {
        return callBoolean("setComposingRegion", "(II)Z", start, end);
    }
    bool setSelection(int start, int end)
    {
        return callBoolean("setSelection", "(II)Z", start, end);
    }
    bool selectAll() { return callBoolean("selectAll", "()Z"); }
    bool cut() { return callBoolean("cut", "()Z"); }
    bool copy() { return callBoolean("copy", "()Z"); }
    bool copyURL() { return callBoolean("copyURL", "()Z"); }
    bool paste() { return callBoolean("paste", "()Z"); }

    int getCursorCapsMode(int modes = 0)
    {
        const jmethodID method = m_env->GetStaticMethodID(m_class, "getCursorCapsMode", "(I)I");
        const jint result = m_env->CallStaticIntMethod(m_class, method, jint(modes));
        checkNoException();
        return result;
    }
    std::string getTextBeforeCursor(int length)
    {
        return callString("getTextBeforeCursor", "(II)Ljava/lang/String;", length, 0);
    }
    std::string getTextAfterCursor(int length)
    {
        return callString("getTextAfterCursor", "(II)Ljava/lang/String;", length, 0);
    }
    std::string getSelectedText()
    {
        return callString("getSelectedText", "(I)Ljava/lang/String;", 0);
    }

    Extracted getExtractedText(int maxChars)
    {
        const jmethodID method = m_env->GetStaticMethodID(
            m_class, "getExtractedText", "(III)Lorg/vel/android/VelExtractedText;");
        jobject object = m_env->CallStaticObjectMethod(m_class, method, jint(maxChars), 0, 0);
        checkNoException();
        Extracted extracted;
        if (!object)
            return extracted;
        jclass clazz = m_env->GetObjectClass(object);
        const auto field = [&](const char *name) {
            return m_env->GetIntField(object, m_env->GetFieldID(clazz, name, "I"));
        };
        extracted.isNull = false;
        extracted.partialStartOffset = field("partialStartOffset");
        extracted.partialEndOffset = field("partialEndOffset");
        extracted.selectionStart = field("selectionStart");
        extracted.selectionEnd = field("selectionEnd");
        extracted.startOffset = field("startOffset");
        extracted.text =
            utf8(m_env, static_cast<jstring>(m_env->GetObjectField(
                            object, m_env->GetFieldID(clazz, "text", "Ljava/lang/String;"))));
        m_env->DeleteLocalRef(clazz);
        m_env->DeleteLocalRef(object);
        return extracted;
    }

private:
    jstring str(const char *text) { return text ? m_env->NewStringUTF(text) : nullptr; }

    template <typename... Args>
    bool callBoolean(const char *name, const char *signature, Args... args)
    {
        const jmethodID method = m_env->GetStaticMethodID(m_class, name, signature);
        const jboolean result = m_env->CallStaticBooleanMethod(m_class, method, args...);
        checkNoException();
        return result;
    }

    template <typename... Args>
    std::string callString(const char *name, const char *signature, Args... args)
    {
        const jmethodID method = m_env->GetStaticMethodID(m_class, name, signature);
        jobject result = m_env->CallStaticObjectMethod(m_class, method, jint(args)...);
        checkNoException();
        return utf8(m_env, static_cast<jstring>(result));
    }

    void checkNoException()
    {
        if (m_env->ExceptionCheck()) {
            m_env->ExceptionDescribe();
            m_env->ExceptionClear();
            ADD_FAILURE() << "a Java exception was raised";
        }
    }

    JNIEnv *m_env;
    jclass m_class = nullptr;
};

// Touch and long press through VelNative, as the view's dispatcher sends them.
class TouchInput
{
public:
    explicit TouchInput(VelAndroidDriver &driver) : m_driver(driver) {}

    void begin() { call("touchBegin", "(I)V", {jv(0)}); }
    void add(int id, int action, int x, int y, float size = 0.1f, float pressure = 0.5f)
    {
        jvalue primary;
        primary.z = JNI_TRUE;
        jvalue fsize;
        fsize.f = size;
        jvalue fpressure;
        fpressure.f = pressure;
        call("touchAdd", "(IIIZIIFF)V",
             {jv(0), jv(id), jv(action), primary, jv(x), jv(y), fsize, fpressure});
    }
    void end() { call("touchEnd", "(II)V", {jv(0), jv(0)}); }
    void longPress(int x, int y) { call("longPress", "(III)V", {jv(0), jv(x), jv(y)}); }
    void keyboardVisibilityChanged(bool visible)
    {
        jvalue value;
        value.z = visible ? JNI_TRUE : JNI_FALSE;
        call("keyboardVisibilityChanged", "(Z)V", {value});
    }

private:
    static jvalue jv(int value)
    {
        jvalue v;
        v.i = value;
        return v;
    }
    void call(const char *name, const char *signature, const std::vector<jvalue> &args)
    {
        EXPECT_TRUE(m_driver.callStaticVoid("org/vel/android/VelNative", name, signature, args))
            << m_driver.lastError();
    }
    VelAndroidDriver &m_driver;
};

// What the application received since the last call, once everything injected
// so far has been delivered.
inline std::vector<std::string> deliveredSinceLast()
{
    EXPECT_TRUE(VelWindowSystemInterface::flushWindowSystemEvents());
    std::vector<std::string> lines = InputTestLog::lines();
    InputTestLog::clear();
    return lines;
}

inline std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

#endif
