// JNI_OnLoad with Java classes that lack what the bridge needs: the load logs
// why at fatal priority, fails with -1 and publishes no Java VM. The variant
// classes come first on the class path; each variant is its own executable.

#include "androidjnimain.h"

#include "velandroiddriver.h"
#include "vellogcapture.h"

#include <android/log.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

#if defined(VEL_TEST_VARIANT_noredraw)
const char expectedMessage[] = "Can't find method \"redrawSurface(IIII)V\"";
#elif defined(VEL_TEST_VARIANT_noactivity) || defined(VEL_TEST_VARIANT_throwingactivity)
// Without an activity nothing that hangs off it can be cached.
const char expectedMessage[] = "Can't find method \"activity()Landroid/app/Activity;\"";
#else
const char expectedMessage[] = "Can't find method \"RGB_565Landroid/graphics/Bitmap$Config;\"";
#endif

TEST(LoadFailure, LogsTheMissingPieceAndRefusesTheLoad)
{
    VelLogCapture log;
    VelAndroidDriver driver;
    VelAndroidDriver::VmOptions options;
    options.classPathFirst.push_back(VEL_TEST_VARIANT_JAR);
    ASSERT_TRUE(driver.startJavaVm(options)) << driver.lastError();
    char pattern[] = "/tmp/velbridgeXXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    ASSERT_TRUE(driver.createActivity(pattern)) << driver.lastError();

    EXPECT_FALSE(driver.loadLibrary(VEL_TEST_PLUGIN)) << "the load must fail";
    EXPECT_TRUE(log.contains(ANDROID_LOG_INFO, "Vel", "vel start"));
    EXPECT_TRUE(log.contains(ANDROID_LOG_FATAL, "Vel", expectedMessage));
    EXPECT_TRUE(log.contains(ANDROID_LOG_FATAL, "Vel", "registerNatives failed"));
    EXPECT_EQ(VelAndroid::javaVM(), nullptr);
    std::system((std::string("rm -rf '") + pattern + "'").c_str());
}

} // namespace
