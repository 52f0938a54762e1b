// A hostile Java half: the table in HostileCaller.java calls every native of
// the companion classes with null, negative, huge, NaN and stale values, from
// the Java UI thread and two more Java threads at once, before the app
// starts, while it runs, while its surface comes and goes, and after the
// plugin was told to quit and to let go of Java. After each phase the app
// must still draw into a new surface and answer the input method.
//
// The phases follow one another in one process (one VM), in the order of the
// tests below; each test starts from where the one before left off.

#include "inputsession.h"

#include "androidjnimain.h"
#include "velandroidplatformintegration.h"

#include "velandroiddriver.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <gtest/gtest.h>

#include <jni.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int screenWidth = 320;
constexpr int screenHeight = 240;
// The input test app's windows: "back" fills the screen, "front" at
// (100, 50) of 80 x 60.
constexpr uint32_t backColour = 0x202020;
constexpr uint32_t frontColour = 0x2060c0;
constexpr long threadBoundMs = 60000;

enum Phase { BeforeApp = 0, Running = 1, AfterQuit = 2 };

struct Pixel {
    int x;
    int y;
    uint32_t rgb;
};

// The process's VM, the plugin and, from the running phase on, the input
// test app; shared by the tests in order.
class Session
{
public:
    void start()
    {
        char pattern[] = "/tmp/velhostileXXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        const char *display = std::getenv("DISPLAY");
        if (!display || !*display) {
            m_server = std::make_unique<VelXvfbServer>();
            std::string error;
            ASSERT_TRUE(m_server->start(1280, 1024, &error)) << error;
            ::setenv("DISPLAY", m_server->displayName().c_str(), 1);
        }
        VelAndroidDriver::VmOptions options;
        options.extraClassPath.push_back(VEL_TEST_HOSTILE_JAR);
        ASSERT_TRUE(m_driver.startJavaVm(options)) << m_driver.lastError();
        ASSERT_TRUE(m_driver.createActivity(m_dir)) << m_driver.lastError();
        ASSERT_TRUE(m_driver.loadLibrary(VelAndroidDriver::defaultPluginPath()))
            << m_driver.lastError();
        JNIEnv *env = m_driver.env();
        jclass local = env->FindClass("velhostile/HostileCaller");
        ASSERT_NE(local, nullptr) << "no HostileCaller in " << VEL_TEST_HOSTILE_JAR;
        m_caller = static_cast<jclass>(env->NewGlobalRef(local));
        env->DeleteLocalRef(local);
    }

    void startApp()
    {
        bool started = false;
        ASSERT_TRUE(m_driver.startVelAndroidPlugin(&started)) << m_driver.lastError();
        ASSERT_TRUE(started);
        restoreMetrics();
        ASSERT_NO_FATAL_FAILURE(newSurface());
        ASSERT_TRUE(m_driver.startVelApplication({VEL_TEST_INPUT_APP}, {})) << m_driver.lastError();
        ASSERT_TRUE(InputTestApp::waitForPublished(30000)) << "the application did not start";
    }

    // What a well-behaved Java half would send after the hostile one: the
    // activity active and resumed, the real metrics and orientation.
    void restoreState()
    {
        EXPECT_TRUE(m_driver.resumeVelApp());
        EXPECT_TRUE(m_driver.updateApplicationState(4));
        EXPECT_TRUE(m_driver.handleOrientationChanged(0, 1));
        restoreMetrics();
    }

    void restoreMetrics()
    {
        EXPECT_TRUE(m_driver.setDisplayMetrics(screenWidth, screenHeight, screenWidth, screenHeight,
                                               160, 160, 1));
    }

    // A surface over a new X window: what the app draws there afterwards is
    // a frame made after the hostile calls.
    void newSurface()
    {
        auto window = std::make_unique<VelX11Window>();
        std::string error;
        ASSERT_TRUE(window->create(std::getenv("DISPLAY"), screenWidth, screenHeight,
                                   "hostile " + std::to_string(m_windows.size()), &error))
            << error;
        jobject surface = m_driver.newSurface(window->windowId(), screenWidth, screenHeight);
        ASSERT_NE(surface, nullptr) << m_driver.lastError();
        ASSERT_TRUE(m_driver.setSurface(surface)) << m_driver.lastError();
        m_driver.deleteGlobalRef(surface);
        m_windows.push_back(std::move(window));
    }

    // Waits for the app's two windows on the newest surface, corners included.
    void expectRendered()
    {
        const std::vector<Pixel> expected = {
            {0, 0, backColour},
            {screenWidth - 1, 0, backColour},
            {0, screenHeight - 1, backColour},
            {screenWidth - 1, screenHeight - 1, backColour},
            {100, 50, frontColour},
            {179, 109, frontColour},
        };
        std::string seen;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            std::vector<uint8_t> rgba;
            std::string error;
            ASSERT_TRUE(m_windows.back()->grabPixels(&rgba, &error)) << error;
            seen.clear();
            for (const Pixel &p : expected) {
                const uint8_t *px = &rgba[size_t(p.y * screenWidth + p.x) * 4];
                const uint32_t rgb = uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | px[2];
                if (rgb != p.rgb) {
                    char line[96];
                    std::snprintf(line, sizeof line, " (%d, %d) is %06x, not %06x", p.x, p.y, rgb,
                                  p.rgb);
                    seen += line;
                }
            }
            if (seen.empty())
                return;
            // Polled: an X window says nothing when another client draws into it.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << "no frame on the new surface:" << seen;
    }

    // An input round trip: text committed through the input connection is
    // what the editor then reports before its cursor.
    void expectInputAnswers(const std::string &text)
    {
        InputTestApp::onGuiThread([] { InputTestApp::editor()->setState(VelString(), 0); });
        InputConnection connection(m_driver.env());
        EXPECT_TRUE(connection.commitText(text.c_str(), 1));
        EXPECT_EQ(connection.getTextBeforeCursor(100), text);
        VelString editorText;
        InputTestApp::onGuiThread([&] { editorText = InputTestApp::editor()->text(); });
        EXPECT_EQ(editorText.toStdString(), text);
    }

    std::string call(const char *name, const char *signature, int phase, const char *skip)
    {
        JNIEnv *env = m_driver.env();
        const jmethodID method = env->GetStaticMethodID(m_caller, name, signature);
        EXPECT_NE(method, nullptr) << name;
        if (!method) {
            env->ExceptionClear();
            return "no method";
        }
        jstring jskip = env->NewStringUTF(skip);
        auto result = static_cast<jstring>(env->CallStaticObjectMethod(
            m_caller, method, jint(phase), jskip, jlong(threadBoundMs)));
        env->DeleteLocalRef(jskip);
        return takeString(env, result, name);
    }

    std::string passOnThreeThreads(Phase phase, const char *skip = "")
    {
        return call("passOnThreeThreads", "(ILjava/lang/String;J)Ljava/lang/String;", phase, skip);
    }

    std::string passDuringSurfaceChanges()
    {
        JNIEnv *env = m_driver.env();
        std::vector<jlong> ids;
        for (int i = 0; i < 2; ++i) {
            newSurface();
            ids.push_back(jlong(m_windows.back()->windowId()));
        }
        jlongArray array = env->NewLongArray(jsize(ids.size()));
        env->SetLongArrayRegion(array, 0, jsize(ids.size()), ids.data());
        const jmethodID method = env->GetStaticMethodID(m_caller, "passDuringSurfaceChanges",
                                                        "([JIIJ)Ljava/lang/String;");
        EXPECT_NE(method, nullptr);
        auto result = static_cast<jstring>(env->CallStaticObjectMethod(
            m_caller, method, array, jint(screenWidth), jint(screenHeight), jlong(threadBoundMs)));
        env->DeleteLocalRef(array);
        return takeString(env, result, "passDuringSurfaceChanges");
    }

    std::string uncovered()
    {
        JNIEnv *env = m_driver.env();
        const jmethodID method =
            env->GetStaticMethodID(m_caller, "uncovered", "()Ljava/lang/String;");
        return takeString(env, static_cast<jstring>(env->CallStaticObjectMethod(m_caller, method)),
                          "uncovered");
    }

    VelAndroidDriver &driver() { return m_driver; }

    void stop()
    {
        // main keeps running; the process ends with the test program.
        if (!m_dir.empty())
            std::system(("rm -rf '" + m_dir + "'").c_str());
    }

private:
    static std::string takeString(JNIEnv *env, jstring result, const char *what)
    {
        if (env->ExceptionCheck()) {
            env->ExceptionDescribe();
            env->ExceptionClear();
            return std::string(what) + " threw";
        }
        return utf8(env, result);
    }

    std::unique_ptr<VelXvfbServer> m_server;
    VelAndroidDriver m_driver;
    std::vector<std::unique_ptr<VelX11Window>> m_windows;
    jclass m_caller = nullptr;
    std::string m_dir;
};

Session *session = nullptr;

class HostileCaller : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        session = new Session;
        session->start();
    }
    static void TearDownTestSuite() { session->stop(); }
    void SetUp() override
    {
        if (HasFatalFailure())
            GTEST_SKIP();
    }
};

TEST_F(HostileCaller, TheTableCoversEveryNative)
{
    EXPECT_EQ(session->uncovered(), "");
}

// What the table cannot see from Java: the values the bridge keeps after
// hostile metrics and rotations. Before the app, they are the defaults the
// screen will start with.
TEST_F(HostileCaller, ExtremeMetricsAndRotationsAreRefusedOrReduced)
{
    VelAndroidDriver &driver = session->driver();
    ASSERT_TRUE(driver.setDisplayMetrics(0, 0, 640, 480, 160, 160, 2));
    const double nan = std::nan("");
    // Sizes no display has would become window and texture sizes.
    for (const auto &size : {std::pair{INT_MAX, 480}, {640, 1 << 30}, {-1, 480}, {640, INT_MIN}}) {
        ASSERT_TRUE(driver.setDisplayMetrics(0, 0, size.first, size.second, 160, 160, 3));
        EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryWidth, 640) << size.first;
        EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryHeight, 480) << size.second;
        EXPECT_EQ(VelAndroid::desktopWidthPixels(), 640);
        EXPECT_EQ(VelAndroid::scaledDensity(), 2);
    }
    // A scaled density that is no number keeps the last; the sizes still follow.
    for (const double density : {nan, double(INFINITY), -double(INFINITY), -1.0}) {
        ASSERT_TRUE(driver.setDisplayMetrics(0, 0, 800, 600, 160, 160, density));
        EXPECT_EQ(VelAndroid::scaledDensity(), 2) << density;
        EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryWidth, 800);
    }
    ASSERT_TRUE(driver.setDisplayMetrics(0, 0, 16384, 16384, 160, 160, 1.5));
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryWidth, 16384);
    EXPECT_EQ(VelAndroid::scaledDensity(), 1.5);

    // Rotations at the ends of the int range wrap like any other.
    const struct {
        int rotation, natural;
        Vel::ScreenOrientation current;
    } rotations[] = {
        {INT_MAX, 1, Vel::InvertedLandscapeOrientation}, // INT_MAX % 4 == 3
        {INT_MAX, 2, Vel::PortraitOrientation},
        {INT_MIN, 1, Vel::PortraitOrientation},             // INT_MIN % 4 == 0
        {INT_MIN + 1, 2, Vel::InvertedPortraitOrientation}, // 1 + 2 - 1
    };
    for (const auto &r : rotations) {
        ASSERT_TRUE(driver.handleOrientationChanged(r.rotation, r.natural));
        EXPECT_EQ(VelAndroidPlatformIntegration::m_orientation, r.current)
            << r.rotation << ", " << r.natural;
    }
    session->restoreState();
}

TEST_F(HostileCaller, BeforeTheAppStarts)
{
    EXPECT_EQ(session->passOnThreeThreads(BeforeApp), "");
    ASSERT_NO_FATAL_FAILURE(session->startApp());
    session->expectRendered();
    session->expectInputAnswers("first");
}

TEST_F(HostileCaller, WhileTheAppRuns)
{
    // A second start while an app runs is refused, whatever it carries.
    JNIEnv *env = session->driver().env();
    jclass velNative = env->FindClass("org/vel/android/VelNative");
    const jmethodID start = env->GetStaticMethodID(velNative, "startVelApplication",
                                                   "(Ljava/lang/String;Ljava/lang/String;)V");
    env->CallStaticVoidMethod(velNative, start, nullptr, nullptr);
    EXPECT_FALSE(env->ExceptionCheck());
    env->ExceptionClear();
    env->DeleteLocalRef(velNative);

    EXPECT_EQ(session->passOnThreeThreads(Running), "");
    session->restoreState();
    ASSERT_NO_FATAL_FAILURE(session->newSurface());
    session->expectRendered();
    session->expectInputAnswers("running");
}

TEST_F(HostileCaller, WhileTheSurfaceComesAndGoes)
{
    EXPECT_EQ(session->passDuringSurfaceChanges(), "");
    session->restoreState();
    ASSERT_NO_FATAL_FAILURE(session->newSurface());
    session->expectRendered();
    session->expectInputAnswers("surface");
}

TEST_F(HostileCaller, AfterQuitAndTerminate)
{
    ASSERT_TRUE(session->driver().quitVelAndroidPlugin());
    ASSERT_TRUE(session->driver().quitVelAndroidPlugin());
    EXPECT_EQ(session->passOnThreeThreads(AfterQuit), "");
    ASSERT_TRUE(session->driver().terminateVel());
    ASSERT_TRUE(session->driver().terminateVel());
    // The app still runs: its way back into Java must not be cut under it.
    EXPECT_NE(VelAndroid::applicationClass(), nullptr);
    EXPECT_EQ(session->passOnThreeThreads(AfterQuit), "");
    // The app itself lives on, and its GUI thread still serves events.
    bool served = false;
    InputTestApp::onGuiThread([&] { served = InputTestApp::editor() != nullptr; });
    EXPECT_TRUE(served);
}

} // namespace
