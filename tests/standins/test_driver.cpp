// The launcher's path driven in-process: the Java VM, System.load of a plugin
// (a fake one, with the real core native signatures), the start-up natives,
// the app's main on its own thread, and an X11 window as the surface.

#include "fakeplugin.h"
#include "standinstestsupport.h"
#include "velframewatcher.h"
#include "veljavavm.h"
#include "vellogcapture.h"
#include "velpngwriter.h"
#include "velx11window.h"

#include <android/asset_manager.h>
#include <android/log.h>
#include <velstandin.h>

#include <dlfcn.h>
#include <thread>

namespace
{

struct FakePlugin {
    int (*callCount)() = nullptr;
    const char *(*call)(int) = nullptr;
    AAssetManager *(*assetManager)() = nullptr;
    ANativeWindow *(*nativeWindow)() = nullptr;

    std::vector<std::string> calls() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < callCount(); ++i)
            out.push_back(call(i));
        return out;
    }
    std::string last() const { return call(callCount() - 1); }
};

class DriverPath : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_assets.reset(new TempDir);
        s_assets->write("greeting.txt", "hi from assets");
        s_capture.reset(new VelLogCapture);
        VelAndroidDriver &driver = sharedDriver();
        ASSERT_TRUE(driver.createActivity(s_assets->path())) << driver.lastError();
        bool ignored = false;
        s_nativeBeforeLoadFailed = !driver.startVelAndroidPlugin(&ignored);
        s_errorBeforeLoad = driver.lastError();
        s_loaded = driver.loadLibrary(VEL_TEST_FAKEPLUGIN);
        s_loadError = driver.lastError();
        void *handle = dlopen(VEL_TEST_FAKEPLUGIN, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(handle, nullptr) << "the VM did not load the plugin";
        s_fake.callCount = reinterpret_cast<int (*)()>(dlsym(handle, "velFakePluginCallCount"));
        s_fake.call = reinterpret_cast<const char *(*)(int)>(dlsym(handle, "velFakePluginCall"));
        s_fake.assetManager =
            reinterpret_cast<AAssetManager *(*)()>(dlsym(handle, "velFakePluginAssetManager"));
        s_fake.nativeWindow =
            reinterpret_cast<ANativeWindow *(*)()>(dlsym(handle, "velFakePluginNativeWindow"));
    }
    static void TearDownTestSuite()
    {
        s_capture.reset();
        s_assets.reset();
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_loaded) << s_loadError;
        ASSERT_NE(s_fake.callCount, nullptr);
    }

    static std::unique_ptr<TempDir> s_assets;
    static std::unique_ptr<VelLogCapture> s_capture;
    static bool s_nativeBeforeLoadFailed;
    static std::string s_errorBeforeLoad;
    static bool s_loaded;
    static std::string s_loadError;
    static FakePlugin s_fake;
};

std::unique_ptr<TempDir> DriverPath::s_assets;
std::unique_ptr<VelLogCapture> DriverPath::s_capture;
bool DriverPath::s_nativeBeforeLoadFailed = false;
std::string DriverPath::s_errorBeforeLoad;
bool DriverPath::s_loaded = false;
std::string DriverPath::s_loadError;
FakePlugin DriverPath::s_fake;

} // namespace

TEST_F(DriverPath, NativesFailCleanlyBeforeThePluginRegistersThem)
{
    EXPECT_TRUE(s_nativeBeforeLoadFailed);
    EXPECT_NE(s_errorBeforeLoad.find("UnsatisfiedLinkError"), std::string::npos)
        << s_errorBeforeLoad;
    // The fake registers only the core natives: an input native still fails,
    // and leaves no exception behind for the next call.
    VelAndroidDriver &driver = sharedDriver();
    EXPECT_FALSE(driver.mouseDown(1, 2));
    EXPECT_NE(driver.lastError().find("UnsatisfiedLinkError"), std::string::npos);
    EXPECT_FALSE(driver.env()->ExceptionCheck());
    EXPECT_TRUE(driver.updateWindow()) << driver.lastError();
    EXPECT_EQ(s_fake.last(), "updateWindow()");
}

TEST_F(DriverPath, JniOnLoadRanWithTheActivitysAssets)
{
    EXPECT_TRUE(s_capture->contains(ANDROID_LOG_INFO, "VelFake", "fake plugin loaded"));
    AAsset *asset = AAssetManager_open(s_fake.assetManager(), "greeting.txt", AASSET_MODE_BUFFER);
    ASSERT_NE(asset, nullptr);
    char text[32] = {0};
    EXPECT_EQ(AAsset_read(asset, text, sizeof text - 1), 14);
    EXPECT_STREQ(text, "hi from assets");
    AAsset_close(asset);
}

TEST_F(DriverPath, LoadingAMissingLibraryReportsWhy)
{
    VelAndroidDriver &driver = sharedDriver();
    EXPECT_FALSE(driver.loadLibrary("/nonexistent/libnothing.so"));
    EXPECT_NE(driver.lastError().find("UnsatisfiedLinkError"), std::string::npos)
        << driver.lastError();
    EXPECT_FALSE(driver.env()->ExceptionCheck());
}

TEST_F(DriverPath, StartUpNativesReachThePluginWithTheirArguments)
{
    VelAndroidDriver &driver = sharedDriver();
    bool prepared = false;
    ASSERT_TRUE(driver.startVelAndroidPlugin(&prepared)) << driver.lastError();
    EXPECT_TRUE(prepared);
    EXPECT_EQ(s_fake.last(), "startVelAndroidPlugin()");
    ASSERT_TRUE(driver.setDisplayMetrics(720, 1184, 720, 1100, 320.0, 320.0, 2.0));
    EXPECT_EQ(s_fake.last(), "setDisplayMetrics(720, 1184, 720, 1100, 320, 320, 2)");
}

TEST_F(DriverPath, MainRunsWithTheArgumentsAndEnvironmentAndQuitAppReachesJava)
{
    VelAndroidDriver &driver = sharedDriver();
    TempDir out;
    ASSERT_TRUE(driver.callStaticVoid("org/vel/android/VelNative", "resetQuit", "()V", {}));
    ASSERT_TRUE(driver.clearJavaCalls());
    ASSERT_TRUE(driver.startVelApplication(
        {VEL_TEST_APP, "one", "two words"},
        {"VEL_TESTAPP_MARK=m1", "", "VEL_TESTAPP_OUTPUT=" + out.file("seen.txt")}))
        << driver.lastError();
    const std::vector<std::string> calls = s_fake.calls();
    const std::string expected =
        std::string("startVelApplication(") + VEL_TEST_APP +
        "\tone\ttwo words|VEL_TESTAPP_MARK=m1\t\tVEL_TESTAPP_OUTPUT=" + out.file("seen.txt") + ")";
    EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end());
    ASSERT_TRUE(driver.waitForQuit(20000)) << "quitApp never reached Java";
    EXPECT_EQ(readFile(out.file("seen.txt")), std::string("argc=3\n") + "argv[0]=" + VEL_TEST_APP +
                                                  "\n" +
                                                  "argv[1]=one\n"
                                                  "argv[2]=two words\n"
                                                  "argv[argc]=null\n"
                                                  "VEL_TESTAPP_MARK=m1\n");
    EXPECT_EQ(driver.javaCallCount("quitApp"), 1);
    const std::string quitThread = driver.javaCallThread("quitApp");
    EXPECT_FALSE(quitThread.empty());
    EXPECT_NE(quitThread, "main") << "quitApp came from the app's own thread";
    EXPECT_EQ(driver.javaCallThread("never called"), "");
}

TEST_F(DriverPath, AnXWindowBecomesThePluginsNativeWindowAndCanBeCaptured)
{
    ensureDisplay();
    VelAndroidDriver &driver = sharedDriver();
    VelX11Window window;
    std::string error;
    ASSERT_TRUE(window.create(nullptr, 64, 48, "standins test", &error)) << error;
    VelFrameWatcher watcher(&window);
    watcher.sample();
    EXPECT_FALSE(watcher.ready(1, std::chrono::milliseconds(0)));
    // A window that never changes is taken as it is after the idle limit.
    VelFrameWatcher idle(&window);
    idle.sample();
    EXPECT_FALSE(idle.ready(1, std::chrono::hours(1), std::chrono::milliseconds(300)));
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    EXPECT_FALSE(idle.sample());
    EXPECT_TRUE(idle.ready(1, std::chrono::hours(1), std::chrono::milliseconds(300)));
    EXPECT_FALSE(idle.ready(1, std::chrono::hours(1))) << "no limit, no frame: not ready";

    ::setenv("VEL_FAKEPLUGIN_PAINT", "ff8000", 1);
    const int liveBefore = velStandinLiveNativeWindowCount();
    jobject surface = driver.newSurface(window.windowId(), 64, 48);
    ASSERT_NE(surface, nullptr) << driver.lastError();
    ASSERT_TRUE(driver.setSurface(surface)) << driver.lastError();
    EXPECT_EQ(s_fake.last(), "setSurface(window)");
    ASSERT_NE(s_fake.nativeWindow(), nullptr);
    EXPECT_EQ(velStandinNativeWindowHandle(s_fake.nativeWindow()), window.windowId());
    EXPECT_EQ(ANativeWindow_getWidth(s_fake.nativeWindow()), 64);

    EXPECT_TRUE(watcher.sample()) << "the painted surface counts as a frame";
    EXPECT_EQ(watcher.frames(), 1);
    EXPECT_TRUE(watcher.ready(1, std::chrono::hours(1)));
    EXPECT_FALSE(watcher.sample()) << "nothing changed since";

    std::vector<uint8_t> pixels;
    ASSERT_TRUE(window.grabPixels(&pixels, &error)) << error;
    ASSERT_EQ(pixels.size(), 64u * 48u * 4u);
    const size_t centre = (24 * 64 + 32) * 4;
    EXPECT_EQ(pixels[centre], 0xff);
    EXPECT_EQ(pixels[centre + 1], 0x80);
    EXPECT_EQ(pixels[centre + 2], 0x00);

    TempDir dir;
    ASSERT_TRUE(velWritePng(dir.file("shot.png"), 64, 48, pixels, &error)) << error;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> back;
    ASSERT_TRUE(velReadPng(dir.file("shot.png"), &width, &height, &back, &error)) << error;
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    EXPECT_EQ(back, pixels);

    // The same surface again replaces the plugin's reference without leaking.
    ASSERT_TRUE(driver.setSurface(surface));
    EXPECT_EQ(velStandinLiveNativeWindowCount(), liveBefore + 1);
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(s_fake.nativeWindow(), nullptr);
    EXPECT_EQ(velStandinLiveNativeWindowCount(), liveBefore);

    ASSERT_TRUE(driver.releaseSurface(surface));
    ASSERT_TRUE(driver.setSurface(surface));
    EXPECT_EQ(s_fake.last(), "setSurface(null)");
    ASSERT_TRUE(driver.setSurface(nullptr));
    EXPECT_EQ(s_fake.last(), "setSurface(null)");
    driver.deleteGlobalRef(surface);
    ::unsetenv("VEL_FAKEPLUGIN_PAINT");
}

TEST_F(DriverPath, LifecycleNativesArriveInTheOrderTheyWereCalled)
{
    VelAndroidDriver &driver = sharedDriver();
    const int before = s_fake.callCount();
    ASSERT_TRUE(driver.pauseVelApp());
    ASSERT_TRUE(driver.resumeVelApp());
    ASSERT_TRUE(driver.updateApplicationState(4));
    ASSERT_TRUE(driver.handleOrientationChanged(3, 1));
    ASSERT_TRUE(driver.lockSurface());
    ASSERT_TRUE(driver.unlockSurface());
    ASSERT_TRUE(driver.quitVelAndroidPlugin());
    ASSERT_TRUE(driver.terminateVel());
    const std::vector<std::string> all = s_fake.calls();
    EXPECT_EQ(
        std::vector<std::string>(all.begin() + before, all.end()),
        (std::vector<std::string>{"pauseVelApp()", "resumeVelApp()", "updateApplicationState(4)",
                                  "handleOrientationChanged(3, 1)", "lockSurface()",
                                  "unlockSurface()", "quitVelAndroidPlugin()", "terminateVel()"}));
}

TEST_F(DriverPath, ASecondJavaVmIsRefused)
{
    VelAndroidDriver other;
    EXPECT_FALSE(other.startJavaVm(VelAndroidDriver::VmOptions()));
    EXPECT_NE(other.lastError().find("already"), std::string::npos) << other.lastError();
    EXPECT_TRUE(VelJavaVm::exists());
}
