// The bridge spine through a real Java VM: the library load, display metrics,
// orientation, the native window hand-over, JNI environments on native
// threads and bitmaps. The VM exists once per process, so the cases share it
// and run in the order given.

#include "androidjnimain.h"
#include "velandroidplatformintegration.h"
#include "veleglfshooks.h"

#include "velandroiddriver.h"
#include "vellogcapture.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include "velimage.h"

#include <android/bitmap.h>
#include <android/log.h>
#include <velstandin.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace
{

VelLogCapture *logCapture = nullptr;

class SurfaceBridgeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            server = new VelXvfbServer;
            std::string error;
            ASSERT_TRUE(server->start(640, 480, &error)) << error;
            ::setenv("DISPLAY", server->displayName().c_str(), 1);
        }
        logCapture = new VelLogCapture;
        ASSERT_TRUE(driver.startJavaVm(VelAndroidDriver::VmOptions())) << driver.lastError();
        char pattern[] = "/tmp/velbridgeXXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        ASSERT_TRUE(driver.createActivity(pattern)) << driver.lastError();
        loaded = driver.loadLibrary(VEL_TEST_PLUGIN);
        ASSERT_TRUE(loaded) << driver.lastError();
    }

    jobject surfaceOn(VelX11Window &window, int width, int height)
    {
        std::string error;
        if (!window.windowId()) {
            EXPECT_TRUE(window.create(std::getenv("DISPLAY"), width, height, "bridge", &error))
                << error;
        }
        return driver.newSurface(window.windowId(), width, height);
    }

    static VelAndroidDriver driver;
    static VelXvfbServer *server;
    static bool loaded;
};

VelAndroidDriver SurfaceBridgeTest::driver;
VelXvfbServer *SurfaceBridgeTest::server = nullptr;
bool SurfaceBridgeTest::loaded = false;

TEST_F(SurfaceBridgeTest, LoadLogsStartAndPublishesTheVm)
{
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(logCapture->contains(ANDROID_LOG_INFO, "Vel", "vel start"));
    EXPECT_NE(VelAndroid::javaVM(), nullptr);
    EXPECT_NE(VelAndroid::applicationClass(), nullptr);
}

TEST_F(SurfaceBridgeTest, DisplayMetricsRoundMillimetresAndRefuseBadDensities)
{
    ASSERT_TRUE(driver.setDisplayMetrics(720, 1184, 720, 1184, 320, 320, 2.0));
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryWidth, 720);
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryHeight, 1184);
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth, 57);
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight, 94);
    EXPECT_EQ(platformHooks->logicalDpi(), VelDpi(144, 144));

    // A density of zero or less keeps the last physical size; the pixel size
    // still follows.
    ASSERT_TRUE(driver.setDisplayMetrics(480, 800, 480, 800, 0, 160, 1.0));
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultGeometryWidth, 480);
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultPhysicalSizeWidth, 57);
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight, 94);
    ASSERT_TRUE(driver.setDisplayMetrics(480, 800, 480, 800, 160, -3, 1.0));
    EXPECT_EQ(VelAndroidPlatformIntegration::m_defaultPhysicalSizeHeight, 94);
}

TEST_F(SurfaceBridgeTest, OrientationTableStaysInsideItsBounds)
{
    const struct {
        int rotation, natural;
        Vel::ScreenOrientation current, native;
    } cases[] = {
        {0, 1, Vel::PortraitOrientation, Vel::PortraitOrientation},
        {1, 1, Vel::LandscapeOrientation, Vel::PortraitOrientation},
        {2, 1, Vel::InvertedPortraitOrientation, Vel::PortraitOrientation},
        {3, 1, Vel::InvertedLandscapeOrientation, Vel::PortraitOrientation},
        {0, 2, Vel::LandscapeOrientation, Vel::LandscapeOrientation},
        {3, 2, Vel::PortraitOrientation, Vel::LandscapeOrientation},
        // Rotations outside 0-3 wrap around instead of reading past the table.
        {5, 1, Vel::LandscapeOrientation, Vel::PortraitOrientation},
        {-1, 1, Vel::InvertedLandscapeOrientation, Vel::PortraitOrientation},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(driver.handleOrientationChanged(c.rotation, c.natural));
        EXPECT_EQ(VelAndroidPlatformIntegration::m_orientation, c.current)
            << c.rotation << "," << c.natural;
        EXPECT_EQ(VelAndroidPlatformIntegration::m_nativeOrientation, c.native)
            << c.rotation << "," << c.natural;
    }
    // A natural orientation that is neither portrait nor landscape changes nothing.
    ASSERT_TRUE(driver.handleOrientationChanged(1, 3));
    ASSERT_TRUE(driver.handleOrientationChanged(1, 0));
    EXPECT_EQ(VelAndroidPlatformIntegration::m_orientation, Vel::InvertedLandscapeOrientation);
}

TEST_F(SurfaceBridgeTest, WaitingForTheWindowEndsWithSetSurfaceAndReferencesDoNotLeak)
{
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(VelAndroid::nativeWindow(false), nullptr);

    std::atomic<ANativeWindow *> received{nullptr};
    std::atomic<bool> returned{false};
    std::thread waiter([&] {
        received = VelAndroid::nativeWindow(true);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(returned) << "nativeWindow(true) must wait for a surface";

    VelX11Window first;
    jobject surface = surfaceOn(first, 64, 48);
    ASSERT_NE(surface, nullptr) << driver.lastError();
    ASSERT_TRUE(driver.setSurface(surface)) << driver.lastError();
    waiter.join();
    ASSERT_NE(received.load(), nullptr);
    EXPECT_EQ(velStandinNativeWindowHandle(received), first.windowId());
    // The bridge keeps exactly one reference of its own.
    EXPECT_EQ(velStandinNativeWindowRefCount(received), 1);

    // A surface announced before anyone waits is returned at once.
    EXPECT_EQ(VelAndroid::nativeWindow(true), received.load());

    // A different window replaces it: the old one's reference is dropped.
    VelX11Window second;
    jobject other = surfaceOn(second, 64, 48);
    ASSERT_TRUE(driver.setSurface(other));
    ANativeWindow *current = VelAndroid::nativeWindow(false);
    EXPECT_EQ(velStandinNativeWindowHandle(current), second.windowId());
    EXPECT_EQ(velStandinNativeWindowRefCount(received), 0);
    EXPECT_EQ(velStandinNativeWindowRefCount(current), 1);

    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(velStandinNativeWindowRefCount(current), 0);
    EXPECT_EQ(velStandinLiveNativeWindowCount(), 0);
    driver.deleteGlobalRef(surface);
    driver.deleteGlobalRef(other);
}

// The surface that the wait hook below delivers, and how.
jobject lateSurface = nullptr;
bool (*deliverLateSurface)(jobject) = nullptr;

void setSurfaceInsideTheWaitWindow()
{
    // Runs on the waiting thread between its unlock and its wait.
    deliverLateSurface(lateSurface);
}

TEST_F(SurfaceBridgeTest, SurfaceArrivingBetweenUnlockAndWaitStillWakesTheWaiter)
{
    ASSERT_TRUE(driver.destroySurface());
    VelX11Window window;
    lateSurface = surfaceOn(window, 64, 48);
    ASSERT_NE(lateSurface, nullptr) << driver.lastError();
    deliverLateSurface = [](jobject surface) { return driver.setSurface(surface); };
    VelAndroid::setNativeWindowWaitHook(setSurfaceInsideTheWaitWindow);

    std::atomic<ANativeWindow *> received{nullptr};
    std::atomic<bool> returned{false};
    std::thread waiter([&] {
        received = VelAndroid::nativeWindow(true);
        returned = true;
    });
    // Only a lost wake-up keeps the waiter blocked; the bound guards the test
    // against hanging, it does not time anything.
    for (int i = 0; i < 3000 && !returned; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    VelAndroid::setNativeWindowWaitHook(nullptr);
    const bool woke = returned;
    if (!woke) {
        VelX11Window rescue;
        jobject unblock = surfaceOn(rescue, 16, 16);
        driver.setSurface(unblock);
        waiter.join();
        driver.deleteGlobalRef(unblock);
    } else {
        waiter.join();
    }
    EXPECT_TRUE(woke) << "the surface delivered before the wait was lost";
    ASSERT_NE(received.load(), nullptr);
    EXPECT_EQ(velStandinNativeWindowHandle(received), window.windowId());

    ASSERT_TRUE(driver.destroySurface());
    driver.deleteGlobalRef(lateSurface);
    lateSurface = nullptr;
}

TEST_F(SurfaceBridgeTest, ScopedJniEnvAttachesOnlyNativeThreads)
{
    {
        // The test's own thread is known to the VM: nothing to attach.
        ScopedJniEnv env;
        ASSERT_TRUE(env);
        EXPECT_FALSE(env.attached());
    }
    std::thread native([] {
        JavaVM *vm = VelAndroid::javaVM();
        void *probe = nullptr;
        EXPECT_EQ(vm->GetEnv(&probe, JNI_VERSION_1_6), JNI_EDETACHED);
        {
            ScopedJniEnv outer;
            ASSERT_TRUE(outer);
            EXPECT_TRUE(outer.attached());
            {
                // A nested helper finds the thread attached and leaves it so.
                ScopedJniEnv inner;
                EXPECT_FALSE(inner.attached());
                EXPECT_EQ(inner.jniEnv(), outer.jniEnv());
            }
            EXPECT_EQ(vm->GetEnv(&probe, JNI_VERSION_1_6), JNI_OK);
        }
        EXPECT_EQ(vm->GetEnv(&probe, JNI_VERSION_1_6), JNI_EDETACHED);
    });
    native.join();
}

struct BitmapPixels {
    AndroidBitmapInfo info{};
    std::vector<uint8_t> bytes;
};

BitmapPixels readBitmap(JNIEnv *env, jobject bitmap)
{
    BitmapPixels result;
    void *pixels = nullptr;
    EXPECT_EQ(AndroidBitmap_getInfo(env, bitmap, &result.info), 0);
    EXPECT_EQ(AndroidBitmap_lockPixels(env, bitmap, &pixels), 0);
    const auto *begin = static_cast<const uint8_t *>(pixels);
    result.bytes.assign(begin, begin + size_t(result.info.stride) * result.info.height);
    AndroidBitmap_unlockPixels(env, bitmap);
    return result;
}

TEST_F(SurfaceBridgeTest, BitmapsKeepTheirFormatAndEveryRow)
{
    JNIEnv *env = driver.env();

    VelImage rgb16(3, 2, VelImage::Format_RGB16);
    rgb16.fill(0xF800);
    jobject bitmap16 = VelAndroid::createBitmap(rgb16, env);
    ASSERT_NE(bitmap16, nullptr);
    const BitmapPixels pixels16 = readBitmap(env, bitmap16);
    EXPECT_EQ(pixels16.info.format, ANDROID_BITMAP_FORMAT_RGB_565);
    EXPECT_EQ(pixels16.bytes[0] | (pixels16.bytes[1] << 8), 0xF800);

    for (const VelImage::Format format :
         {VelImage::Format_RGB888, VelImage::Format_Indexed8, VelImage::Format_ARGB32}) {
        VelImage image(2, 2, format);
        if (format == VelImage::Format_Indexed8) {
            image.setColorTable({velRgb(10, 20, 30)});
            image.fill(0);
        } else {
            image.fill(velRgb(10, 20, 30));
        }
        jobject bitmap = VelAndroid::createBitmap(image, env);
        ASSERT_NE(bitmap, nullptr) << format;
        const BitmapPixels pixels = readBitmap(env, bitmap);
        EXPECT_EQ(pixels.info.format, ANDROID_BITMAP_FORMAT_RGBA_8888) << format;
        EXPECT_EQ(pixels.info.width, 2u);
        // An ARGB_8888 bitmap holds R, G, B, A in that byte order.
        EXPECT_EQ(std::vector<uint8_t>(pixels.bytes.begin(), pixels.bytes.begin() + 8),
                  (std::vector<uint8_t>{10, 20, 30, 255, 10, 20, 30, 255}))
            << format;
        env->DeleteLocalRef(bitmap);
    }

    // Rows padded wider than the image still receive every row.
    ASSERT_TRUE(driver.callStaticVoid("android/graphics/Bitmap", "setRowAlignment", "(I)V",
                                      {jvalue{.i = 64}}))
        << driver.lastError();
    VelImage tall(3, 4, VelImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            tall.setPixel(x, y, velRgba(y * 50, x * 80, 7, 255));
    jobject padded = VelAndroid::createBitmap(tall, env);
    ASSERT_NE(padded, nullptr);
    const BitmapPixels paddedPixels = readBitmap(env, padded);
    EXPECT_EQ(paddedPixels.info.stride, 64u);
    for (int y = 0; y < 4; ++y) {
        const uint8_t *row = paddedPixels.bytes.data() + size_t(y) * 64;
        const std::vector<uint8_t> expected{
            uint8_t(y * 50), 0, 7, 255, uint8_t(y * 50), 80, 7, 255, uint8_t(y * 50), 160, 7, 255};
        EXPECT_EQ(std::vector<uint8_t>(row, row + 12), expected) << "row " << y;
    }
    driver.callStaticVoid("android/graphics/Bitmap", "setRowAlignment", "(I)V", {jvalue{.i = 1}});
    env->DeleteLocalRef(padded);
    env->DeleteLocalRef(bitmap16);
}

} // namespace
