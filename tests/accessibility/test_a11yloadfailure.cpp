// A VelNativeAccessibility without one of the natives the bridge registers:
// the VM refuses the registration, so the library load fails, logs why and
// publishes no Java VM.

#include "androidjnimain.h"

#include "velandroiddriver.h"
#include "vellogcapture.h"

#include <android/log.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

TEST(A11yLoadFailure, RefusedNativesFailTheLoad)
{
    VelLogCapture log;
    VelAndroidDriver driver;
    VelAndroidDriver::VmOptions options;
    options.classPathFirst.push_back(VEL_TEST_VARIANT_JAR);
    ASSERT_TRUE(driver.startJavaVm(options)) << driver.lastError();
    char pattern[] = "/tmp/vela11yloadXXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    ASSERT_TRUE(driver.createActivity(pattern)) << driver.lastError();

    EXPECT_FALSE(driver.loadLibrary(VEL_TEST_PLUGIN)) << "the load must fail";
    EXPECT_TRUE(log.contains(ANDROID_LOG_FATAL, "Vel", "RegisterNatives failed"));
    EXPECT_TRUE(log.contains(ANDROID_LOG_FATAL, "Vel", "registerNatives failed"));
    EXPECT_EQ(VelAndroid::javaVM(), nullptr);
    std::system((std::string("rm -rf '") + pattern + "'").c_str());
}

} // namespace
