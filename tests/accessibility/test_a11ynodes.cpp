// populateNode on nodes that do not take everything: an
// AccessibilityNodeInfo without setVisibleToUser (the variant class comes
// first on the class path) and one whose setChecked throws. Population stops
// at the failing call with a warning, the calls before it stand, and no Java
// exception is left for the next JNI call.

#include "a11ytestsupport.h"
#include "vellogcapture.h"

#include <android/log.h>
#include <gtest/gtest.h>

namespace
{

class A11yNodesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        VelAndroidDriver::VmOptions options;
        options.classPathFirst = {VEL_TEST_VARIANT_JAR, VEL_TEST_THROWING_JAR};
        std::string error;
        ASSERT_TRUE(run.start(options, nullptr, &error)) << error;
    }
    static void TearDownTestSuite() { run.stop(); }

    static A11yFormRun run;
};

A11yFormRun A11yNodesTest::run;

TEST_F(A11yNodesTest, MissingSetterStopsPopulationWithAWarning)
{
    VelLogCapture log;
    Natives &natives = run.natives();
    const int ok = natives.childIds(-1)[FormOk];
    EXPECT_EQ(natives.populate(ok),
              (std::vector<std::string>{"setEnabled(true)", "setFocusable(true)",
                                        "setCheckable(false)", "setChecked(false)"}));
    EXPECT_TRUE(
        log.contains(ANDROID_LOG_WARN, "VelA11y", "Can't find method \"setVisibleToUser(Z)V\""));
    // The next call finds no exception pending.
    EXPECT_EQ(natives.description(ok), "OK button");
}

TEST_F(A11yNodesTest, ThrowingSetterStopsPopulationWithAWarning)
{
    VelLogCapture log;
    Natives &natives = run.natives();
    const int box = natives.childIds(-1)[FormNotifications];
    EXPECT_EQ(
        natives.populate(box, "vela11ytest/ThrowingNode"),
        (std::vector<std::string>{"setEnabled(true)", "setFocusable(true)", "setCheckable(true)"}));
    EXPECT_TRUE(log.contains(ANDROID_LOG_WARN, "VelA11y", "Accessibility: setChecked(Z)V threw"));
    EXPECT_EQ(natives.description(box), "Notifications check box");
}

} // namespace
