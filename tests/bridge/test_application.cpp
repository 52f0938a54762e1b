// Starting the application's main through the bridge: arguments, environment
// entries, its own thread, quitApp once it returns, and a library that cannot
// be opened.

#include "velandroiddriver.h"
#include "vellogging.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> &criticals()
{
    static std::vector<std::string> messages;
    return messages;
}

void captureCriticals(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type == VelCriticalMsg)
        criticals().push_back(message.toStdString());
}

std::vector<std::string> &warnings()
{
    static std::vector<std::string> messages;
    return messages;
}

void captureWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type == VelWarningMsg)
        warnings().push_back(message.toStdString());
}

class ApplicationTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(driver.startJavaVm(VelAndroidDriver::VmOptions())) << driver.lastError();
        char pattern[] = "/tmp/velbridgeappXXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_TRUE(driver.createActivity(dir)) << driver.lastError();
        ASSERT_TRUE(driver.loadLibrary(VEL_TEST_PLUGIN)) << driver.lastError();
        ASSERT_TRUE(driver.startVelAndroidPlugin());
    }
    static void TearDownTestSuite() { std::system(("rm -rf '" + dir + "'").c_str()); }

    // Runs main to its end; the lines it reported.
    std::vector<std::string> readLog() const
    {
        std::vector<std::string> lines;
        std::ifstream in(dir + "/main.log");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::vector<std::string> run(const std::string &parameters, const std::string &environment)
    {
        const std::string logPath = dir + "/main.log";
        std::remove(logPath.c_str());
        EXPECT_TRUE(driver.clearJavaCalls());
        EXPECT_TRUE(driver.startVelApplicationRaw(parameters, "VEL_BRIDGE_APP_LOG=" + logPath +
                                                                  "\t" + environment))
            << driver.lastError();
        EXPECT_TRUE(driver.waitForJavaCall("quitApp", 10000)) << "quitApp never reached Java";
        std::vector<std::string> lines;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    static VelAndroidDriver driver;
    static std::string dir;
};

VelAndroidDriver ApplicationTest::driver;
std::string ApplicationTest::dir;

TEST_F(ApplicationTest, LibraryAloneIsTheOnlyArgumentAndMainHasItsOwnThread)
{
    const std::vector<std::string> lines = run(VEL_TEST_APP, "");
    const std::vector<std::string> expected{"argc=1", std::string("argv=") + VEL_TEST_APP,
                                            "thread=own", "extra=(unset)"};
    EXPECT_EQ(lines, expected);
}

TEST_F(ApplicationTest, ArgumentsAndEnvironmentEntriesSplitAtTabs)
{
    const std::vector<std::string> lines =
        run(std::string(VEL_TEST_APP) + "\tfirst\tsecond argument", "\t\tVEL_BRIDGE_EXTRA=set\t");
    const std::vector<std::string> expected{"argc=3",     std::string("argv=") + VEL_TEST_APP,
                                            "argv=first", "argv=second argument",
                                            "thread=own", "extra=set"};
    EXPECT_EQ(lines, expected);
    ::unsetenv("VEL_BRIDGE_EXTRA");
}

TEST_F(ApplicationTest, LibraryThatCannotBeOpenedStartsNothing)
{
    velInstallMessageHandler(captureCriticals);
    ASSERT_TRUE(driver.clearJavaCalls());
    ASSERT_TRUE(driver.startVelApplicationRaw("/nonexistent/libnothing.so", ""))
        << driver.lastError();
    EXPECT_FALSE(driver.waitForJavaCall("quitApp", 500));
    bool logged = false;
    for (const std::string &message : criticals())
        logged = logged || message.find("dlopen failed:") == 0;
    EXPECT_TRUE(logged);
    velInstallMessageHandler(nullptr);
}

TEST_F(ApplicationTest, ASecondStartWhileMainRunsIsRefusedAndTheArgumentsStay)
{
    const std::string gate = dir + "/gate";
    ASSERT_EQ(::mkfifo(gate.c_str(), 0600), 0);
    const std::string logPath = dir + "/main.log";
    std::remove(logPath.c_str());
    ASSERT_TRUE(driver.clearJavaCalls());
    ASSERT_TRUE(driver.startVelApplicationRaw(std::string(VEL_TEST_APP) + "\tfirst",
                                              "VEL_BRIDGE_APP_LOG=" + logPath +
                                                  "\tVEL_BRIDGE_APP_GATE=" + gate))
        << driver.lastError();

    warnings().clear();
    velInstallMessageHandler(captureWarnings);
    ASSERT_TRUE(driver.startVelApplicationRaw(std::string(VEL_TEST_APP) + "\tsecond", ""))
        << driver.lastError();
    velInstallMessageHandler(nullptr);
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_NE(warnings().front().find("already running"), std::string::npos) << warnings().front();

    // Opening the FIFO waits for main to open it: main is running now.
    {
        std::ofstream release(gate);
        release << "go\n";
    }
    EXPECT_TRUE(driver.waitForJavaCall("quitApp", 10000));
    ::unsetenv("VEL_BRIDGE_APP_GATE");
    const std::vector<std::string> lines = readLog();
    const std::vector<std::string> tail(lines.end() - std::min<size_t>(lines.size(), 2),
                                        lines.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{std::string("still=") + VEL_TEST_APP, "still=first"}));
    EXPECT_EQ(driver.javaCallCount("quitApp"), 1);

    // Once main has returned, the next start is taken.
    EXPECT_EQ(run(VEL_TEST_APP, "").front(), "argc=1");
}

} // namespace
