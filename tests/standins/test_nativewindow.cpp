#include "standinstestsupport.h"
#include "vellogcapture.h"

#include <android/log.h>

#include <android/native_window_jni.h>
#include <velstandin.h>

#include <thread>

namespace
{

class NativeWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_env = sharedDriver().env();
        ASSERT_NE(m_env, nullptr);
        m_baseline = velStandinLiveNativeWindowCount();
    }
    void TearDown() override
    {
        for (jobject s : m_surfaces)
            sharedDriver().deleteGlobalRef(s);
        EXPECT_EQ(velStandinLiveNativeWindowCount(), m_baseline) << "a native window leaked";
    }
    jobject surface(unsigned long xid, int width, int height)
    {
        jobject s = sharedDriver().newSurface(xid, width, height);
        EXPECT_NE(s, nullptr) << sharedDriver().lastError();
        m_surfaces.push_back(s);
        return s;
    }

    JNIEnv *m_env = nullptr;
    int m_baseline = 0;
    std::vector<jobject> m_surfaces;
};

} // namespace

TEST_F(NativeWindowTest, ASurfaceYieldsItsXWindowAndSize)
{
    ANativeWindow *window = ANativeWindow_fromSurface(m_env, surface(0x1234, 10, 20));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(velStandinNativeWindowHandle(window), 0x1234ul);
    // The pointer doubles as a pointer to the X11 window id.
    EXPECT_EQ(*reinterpret_cast<unsigned long *>(window), 0x1234ul);
    EXPECT_EQ(ANativeWindow_getWidth(window), 10);
    EXPECT_EQ(ANativeWindow_getHeight(window), 20);
    EXPECT_EQ(velStandinNativeWindowRefCount(window), 1);
    ANativeWindow_release(window);
}

TEST_F(NativeWindowTest, TheSameXWindowIsTheSameNativeWindowUntilTheLastRelease)
{
    jobject s = surface(0x2000, 10, 20);
    ANativeWindow *first = ANativeWindow_fromSurface(m_env, s);
    ANativeWindow *again = ANativeWindow_fromSurface(m_env, s);
    // A new Surface object over the same X window, now larger.
    ANativeWindow *resized = ANativeWindow_fromSurface(m_env, surface(0x2000, 30, 40));
    ANativeWindow *other = ANativeWindow_fromSurface(m_env, surface(0x3000, 10, 20));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(again, first);
    EXPECT_EQ(resized, first);
    EXPECT_NE(other, first);
    EXPECT_EQ(ANativeWindow_getWidth(first), 30);
    EXPECT_EQ(ANativeWindow_getHeight(first), 40);
    EXPECT_EQ(velStandinLiveNativeWindowCount(), m_baseline + 2);
    EXPECT_EQ(velStandinNativeWindowRefCount(first), 3);

    ANativeWindow_acquire(first);
    EXPECT_EQ(velStandinNativeWindowRefCount(first), 4);
    for (int i = 0; i < 3; ++i)
        ANativeWindow_release(first);
    EXPECT_EQ(velStandinNativeWindowRefCount(first), 1);
    EXPECT_EQ(velStandinLiveNativeWindowCount(), m_baseline + 2);
    ANativeWindow_release(first);
    EXPECT_EQ(velStandinLiveNativeWindowCount(), m_baseline + 1);
    ANativeWindow_release(other);
}

TEST_F(NativeWindowTest, NoWindowForNullReleasedOrForeignObjects)
{
    EXPECT_EQ(ANativeWindow_fromSurface(m_env, nullptr), nullptr);
    EXPECT_EQ(ANativeWindow_fromSurface(nullptr, surface(0x4000, 1, 1)), nullptr);

    jobject released = surface(0x5000, 1, 1);
    ASSERT_TRUE(sharedDriver().releaseSurface(released));
    EXPECT_EQ(ANativeWindow_fromSurface(m_env, released), nullptr);

    EXPECT_EQ(ANativeWindow_fromSurface(m_env, surface(0, 1, 1)), nullptr);

    jstring foreign = m_env->NewStringUTF("not a surface");
    EXPECT_EQ(ANativeWindow_fromSurface(m_env, foreign), nullptr);
    EXPECT_FALSE(m_env->ExceptionCheck());
    m_env->DeleteLocalRef(foreign);
}

TEST_F(NativeWindowTest, ReleasingAFreedWindowIsReportedAndIgnored)
{
    VelLogCapture log;
    ANativeWindow *window = ANativeWindow_fromSurface(m_env, surface(0x7000, 1, 1));
    ASSERT_NE(window, nullptr);
    ANativeWindow_release(window);
    EXPECT_EQ(velStandinNativeWindowRefCount(window), 0);
    EXPECT_EQ(ANativeWindow_getWidth(window), -1);
    ANativeWindow_release(window);
    ANativeWindow_acquire(window);
    EXPECT_TRUE(log.contains(ANDROID_LOG_ERROR, "ANativeWindow",
                             "ANativeWindow_release on a window that is not alive"));
    EXPECT_TRUE(log.contains(ANDROID_LOG_ERROR, "ANativeWindow",
                             "ANativeWindow_acquire on a window that is not alive"));
    // A new window over the same X window starts from one reference again.
    ANativeWindow *again = ANativeWindow_fromSurface(m_env, surface(0x7000, 1, 1));
    EXPECT_EQ(velStandinNativeWindowRefCount(again), 1);
    ANativeWindow_release(again);
}

TEST_F(NativeWindowTest, NullWindowsAreIgnored)
{
    ANativeWindow_acquire(nullptr);
    ANativeWindow_release(nullptr);
    EXPECT_EQ(ANativeWindow_getWidth(nullptr), -1);
    EXPECT_EQ(ANativeWindow_getHeight(nullptr), -1);
    EXPECT_EQ(velStandinNativeWindowHandle(nullptr), 0ul);
    EXPECT_EQ(velStandinNativeWindowRefCount(nullptr), 0);
}

TEST_F(NativeWindowTest, ReferencesFromManyThreadsBalance)
{
    ANativeWindow *window = ANativeWindow_fromSurface(m_env, surface(0x6000, 1, 1));
    ASSERT_NE(window, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([window] {
            for (int i = 0; i < 1000; ++i) {
                ANativeWindow_acquire(window);
                ANativeWindow_release(window);
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(velStandinNativeWindowRefCount(window), 1);
    ANativeWindow_release(window);
}
