#ifndef MENUTESTSUPPORT_H
#define MENUTESTSUPPORT_H

// The menu bridge through a real Java VM: an event loop on a thread of its
// own stands for the application's GUI thread (where the menu objects live),
// the test's main thread is the Java UI thread that calls the menu natives
// with recorded Android menus.

#include "velandroiddriver.h"
#include "velandroidguithreadcall.h"

#include "velcoreapplication.h"
#include "velmetaobject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

class MenuGuiThread
{
public:
    MenuGuiThread()
    {
        std::promise<void> ready;
        auto started = ready.get_future();
        m_thread = std::thread([this, &ready] {
            int argc = 1;
            char name[] = "menus";
            char *argv[] = {name, nullptr};
            VelCoreApplication app(argc, argv);
            VelAndroidGuiThreadCall::start();
            m_id = std::this_thread::get_id();
            m_app.store(&app);
            ready.set_value();
            VelCoreApplication::exec();
            VelAndroidGuiThreadCall::stop();
            m_app.store(nullptr);
        });
        started.wait();
    }
    ~MenuGuiThread()
    {
        post([] { VelCoreApplication::quit(); });
        m_thread.join();
    }

    void post(std::function<void()> f)
    {
        VelMetaObject::invokeMethod(m_app.load(), std::move(f), Vel::QueuedConnection);
    }

    // Runs f on the GUI thread and waits for it.
    void call(const std::function<void()> &f)
    {
        std::promise<void> done;
        post([&] {
            f();
            done.set_value();
        });
        done.get_future().wait();
    }

    std::thread::id id() const { return m_id; }

private:
    std::atomic<VelCoreApplication *> m_app{nullptr};
    std::thread::id m_id;
    std::thread m_thread;
};

// The Java side of one recorded Android menu (org.vel.android.VelRecordedMenu).
class JavaMenu
{
public:
    explicit JavaMenu(JNIEnv *env) : m_env(env)
    {
        jclass cls = env->FindClass("org/vel/android/VelRecordedMenu");
        jmethodID init = env->GetMethodID(cls, "<init>", "()V");
        jobject local = env->NewObject(cls, init);
        m_menu = env->NewGlobalRef(local);
        env->DeleteLocalRef(local);
        env->DeleteLocalRef(cls);
    }
    ~JavaMenu() { m_env->DeleteGlobalRef(m_menu); }
    JavaMenu(const JavaMenu &) = delete;
    JavaMenu &operator=(const JavaMenu &) = delete;

    jobject object() const { return m_menu; }

    // "id|order|title|checkable|checked|enabled|visible|icon" per item.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        jclass cls = m_env->GetObjectClass(m_menu);
        jmethodID method = m_env->GetMethodID(cls, "itemLines", "()[Ljava/lang/String;");
        auto array = static_cast<jobjectArray>(m_env->CallObjectMethod(m_menu, method));
        for (jsize i = 0; array && i < m_env->GetArrayLength(array); ++i)
            result.push_back(string(m_env->GetObjectArrayElement(array, i)));
        m_env->DeleteLocalRef(array);
        m_env->DeleteLocalRef(cls);
        return result;
    }

    std::string headerTitle() const
    {
        jclass cls = m_env->GetObjectClass(m_menu);
        jmethodID method = m_env->GetMethodID(cls, "headerTitle", "()Ljava/lang/CharSequence;");
        jobject title = m_env->CallObjectMethod(m_menu, method);
        m_env->DeleteLocalRef(cls);
        return title ? string(title) : "(none)";
    }

    // The icon bytes of item `index`; empty without an icon.
    std::vector<uint8_t> iconBytes(int index) const
    {
        jclass cls = m_env->GetObjectClass(m_menu);
        jmethodID getItem =
            m_env->GetMethodID(cls, "getItem", "(I)Lorg/vel/android/VelRecordedMenuItem;");
        jobject item = m_env->CallObjectMethod(m_menu, getItem, jint(index));
        jclass itemClass = m_env->GetObjectClass(item);
        jmethodID bytesMethod = m_env->GetMethodID(itemClass, "iconBytes", "()[B");
        auto bytes = static_cast<jbyteArray>(m_env->CallObjectMethod(item, bytesMethod));
        std::vector<uint8_t> result;
        if (bytes) {
            result.resize(size_t(m_env->GetArrayLength(bytes)));
            m_env->GetByteArrayRegion(bytes, 0, jsize(result.size()),
                                      reinterpret_cast<jbyte *>(result.data()));
            m_env->DeleteLocalRef(bytes);
        }
        m_env->DeleteLocalRef(itemClass);
        m_env->DeleteLocalRef(item);
        m_env->DeleteLocalRef(cls);
        return result;
    }

private:
    std::string string(jobject object) const
    {
        jclass cls = m_env->FindClass("java/lang/Object");
        jmethodID toString = m_env->GetMethodID(cls, "toString", "()Ljava/lang/String;");
        auto text = static_cast<jstring>(m_env->CallObjectMethod(object, toString));
        const char *chars = m_env->GetStringUTFChars(text, nullptr);
        std::string result(chars);
        m_env->ReleaseStringUTFChars(text, chars);
        m_env->DeleteLocalRef(text);
        m_env->DeleteLocalRef(cls);
        m_env->DeleteLocalRef(object);
        return result;
    }

    JNIEnv *m_env;
    jobject m_menu;
};

// The six menu natives, called as Android calls them.
class MenuNatives
{
public:
    explicit MenuNatives(VelAndroidDriver &driver) : m_driver(driver) {}

    bool prepareOptionsMenu(const JavaMenu &menu)
    {
        bool result = false;
        EXPECT_TRUE(m_driver.callStaticBoolean(velNative, "onPrepareOptionsMenu",
                                               "(Landroid/view/Menu;)Z", {object(menu)}, &result))
            << m_driver.lastError();
        return result;
    }
    bool optionsItemSelected(veluint32 id, bool checked)
    {
        return selected("onOptionsItemSelected", id, checked);
    }
    void createContextMenu(const JavaMenu &menu)
    {
        EXPECT_TRUE(m_driver.callStaticVoid(velNative, "onCreateContextMenu",
                                            "(Landroid/view/ContextMenu;)V", {object(menu)}))
            << m_driver.lastError();
    }
    bool contextItemSelected(veluint32 id, bool checked)
    {
        return selected("onContextItemSelected", id, checked);
    }
    void contextMenuClosed()
    {
        EXPECT_TRUE(m_driver.callStaticVoid(velNative, "onContextMenuClosed",
                                            "(Landroid/view/Menu;)V", {jvalue{.l = nullptr}}))
            << m_driver.lastError();
    }

private:
    static constexpr const char *velNative = "org/vel/android/VelNative";

    static jvalue object(const JavaMenu &menu)
    {
        jvalue value;
        value.l = menu.object();
        return value;
    }
    bool selected(const char *name, veluint32 id, bool checked)
    {
        jvalue idValue;
        idValue.i = jint(id);
        jvalue checkedValue;
        checkedValue.z = checked;
        bool result = false;
        EXPECT_TRUE(
            m_driver.callStaticBoolean(velNative, name, "(IZ)Z", {idValue, checkedValue}, &result))
            << m_driver.lastError();
        return result;
    }

    VelAndroidDriver &m_driver;
};

#endif
