// Classes placed before the jar replace the jar's own, which is how a test
// gives the plugin a variant of a companion or platform class.

#include "standinstestsupport.h"

TEST(ClassPathOrder, AVariantBeforeTheJarReplacesItsClass)
{
    static VelAndroidDriver driver;
    VelAndroidDriver::VmOptions options;
    options.classPathFirst.push_back(VEL_TEST_VARIANT_JAR);
    ASSERT_TRUE(driver.startJavaVm(options)) << driver.lastError();
    JNIEnv *env = driver.env();
    jclass version = env->FindClass("android/os/Build$VERSION");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(env->GetStaticIntField(version, env->GetStaticFieldID(version, "SDK_INT", "I")), 7);
    // Everything else still comes from the jar.
    jclass velNative = env->FindClass("org/vel/android/VelNative");
    EXPECT_NE(velNative, nullptr);
    env->ExceptionClear();
}
