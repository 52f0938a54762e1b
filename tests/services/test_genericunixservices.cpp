#include "velgenericunixservices.h"
#include "vellogging.h"
#include "velurl.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

std::mutex warningsMutex; // guards warnings; taken alone
std::vector<std::string> warnings;

void captureWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type == VelWarningMsg) {
        std::lock_guard<std::mutex> lock(warningsMutex);
        warnings.push_back(message.toStdString());
    }
}

std::vector<std::string> takeWarnings()
{
    std::lock_guard<std::mutex> lock(warningsMutex);
    std::vector<std::string> result;
    result.swap(warnings);
    return result;
}

const char *const desktopVariables[] = {"XDG_CURRENT_DESKTOP",      "KDE_FULL_SESSION",
                                        "GNOME_DESKTOP_SESSION_ID", "DESKTOP_SESSION",
                                        "DEFAULT_BROWSER",          "BROWSER"};

// A folder that becomes the whole PATH, holding scripts that record how they
// were started: one line per argument, the program's own path first.
class FakeDesktop
{
public:
    explicit FakeDesktop(const std::string &folderName = "bin")
    {
        char pattern[] = "/tmp/vel_services_XXXXXX";
        m_root = ::mkdtemp(pattern);
        m_bin = m_root + "/" + folderName;
        ::mkdir(m_bin.c_str(), 0755);
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", m_bin.c_str(), 1);
        for (const char *name : desktopVariables)
            ::unsetenv(name);
    }
    ~FakeDesktop()
    {
        ::setenv("PATH", m_oldPath.c_str(), 1);
        std::system(("rm -rf '" + m_root + "'").c_str());
    }

    std::string program(const std::string &name) const { return m_bin + "/" + name; }

    void install(const std::string &name) const
    {
        const std::string path = program(name);
        std::ofstream(path) << "#!/bin/sh\n"
                            << "PATH=/usr/bin:/bin\n"
                            << "out='" << m_root << "/record'\n"
                            << "printf '%s\\n' \"$0\" \"$@\" > \"$out.tmp\"\n"
                            << "mv \"$out.tmp\" \"$out\"\n";
        ::chmod(path.c_str(), 0755);
    }
    void uninstall(const std::string &name) const { std::remove(program(name).c_str()); }

    // The recorded command of the last started script; empty on timeout.
    std::vector<std::string> waitForRecord() const
    {
        const std::string record = m_root + "/record";
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(record);
            if (in) {
                std::vector<std::string> lines;
                std::string line;
                while (std::getline(in, line))
                    lines.push_back(line);
                std::remove(record.c_str());
                return lines;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }
    bool recordAppears() const
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::ifstream in(m_root + "/record");
        return bool(in);
    }

private:
    std::string m_root;
    std::string m_bin;
    std::string m_oldPath;
};

using Lines = std::vector<std::string>;

class GenericUnixServices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        velInstallMessageHandler(captureWarnings);
        takeWarnings();
    }
    void TearDown() override { velInstallMessageHandler(nullptr); }
};

TEST_F(GenericUnixServices, XdgOpenComesFirstAndGetsTheEncodedUrlAsOneArgument)
{
    FakeDesktop desktop;
    desktop.install("xdg-open");
    desktop.install("firefox");
    ::setenv("BROWSER", "firefox", 1);
    VelGenericUnixServices services;
    ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://example.com/a b/c d?q=x y"))));
    EXPECT_EQ(desktop.waitForRecord(),
              (Lines{desktop.program("xdg-open"), "http://example.com/a%20b/c%20d?q=x%20y"}));
    EXPECT_TRUE(takeWarnings().empty());
}

TEST_F(GenericUnixServices, BrowserVariablesComeAfterXdgOpenAndBeforeTheKnownBrowsers)
{
    FakeDesktop desktop;
    desktop.install("mybrowser");
    desktop.install("otherbrowser");
    desktop.install("firefox");
    ::setenv("BROWSER", "otherbrowser", 1);
    {
        VelGenericUnixServices services;
        ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://a.example/"))));
        EXPECT_EQ(desktop.waitForRecord(),
                  (Lines{desktop.program("otherbrowser"), "http://a.example/"}));
    }
    ::setenv("DEFAULT_BROWSER", "mybrowser", 1);
    {
        VelGenericUnixServices services;
        ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://b.example/"))));
        EXPECT_EQ(desktop.waitForRecord(),
                  (Lines{desktop.program("mybrowser"), "http://b.example/"}));
    }
    ::setenv("DEFAULT_BROWSER", "not-installed", 1);
    ::unsetenv("BROWSER");
    {
        VelGenericUnixServices services;
        ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://c.example/"))));
        EXPECT_EQ(desktop.waitForRecord(),
                  (Lines{desktop.program("firefox"), "http://c.example/"}));
    }
}

TEST_F(GenericUnixServices, KnownBrowsersAreTriedInOrder)
{
    FakeDesktop desktop;
    desktop.install("opera");
    desktop.install("mozilla");
    VelGenericUnixServices services;
    ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://x.example/"))));
    EXPECT_EQ(desktop.waitForRecord(), (Lines{desktop.program("mozilla"), "http://x.example/"}));
    desktop.install("google-chrome");
    VelGenericUnixServices fresh;
    ASSERT_TRUE(fresh.openUrl(VelUrl(VelString("http://x.example/"))));
    EXPECT_EQ(desktop.waitForRecord(),
              (Lines{desktop.program("google-chrome"), "http://x.example/"}));
}

TEST_F(GenericUnixServices, MailtoNeverConsultsTheBrowserVariables)
{
    FakeDesktop desktop;
    desktop.install("mybrowser");
    ::setenv("BROWSER", "mybrowser", 1);
    ::setenv("DEFAULT_BROWSER", "mybrowser", 1);
    VelGenericUnixServices services;
    EXPECT_FALSE(services.openUrl(VelUrl(VelString("mailto:someone@example.com"))));
    EXPECT_FALSE(desktop.recordAppears()) << "BROWSER must not be started for mailto";
    EXPECT_EQ(takeWarnings(),
              Lines{"virtual bool VelGenericUnixServices::openDocument(const VelUrl&): Unable "
                    "to detect a launcher for 'mailto:someone@example.com'"});

    desktop.install("firefox");
    ASSERT_TRUE(services.openUrl(VelUrl(VelString("mailto:someone@example.com"))));
    EXPECT_EQ(desktop.waitForRecord(),
              (Lines{desktop.program("firefox"), "mailto:someone@example.com"}));
}

TEST_F(GenericUnixServices, FailedDetectionWarnsAndIsRetriedSuccessIsKept)
{
    FakeDesktop desktop;
    VelGenericUnixServices services;
    EXPECT_FALSE(services.openUrl(VelUrl(VelString("http://example.com/"))));
    EXPECT_EQ(takeWarnings(), Lines{"virtual bool VelGenericUnixServices::openUrl(const VelUrl&): "
                                    "Unable to detect a web browser to launch "
                                    "'http://example.com/'"});
    EXPECT_FALSE(services.openDocument(VelUrl(VelString("file:///tmp/x.txt"))));
    EXPECT_EQ(takeWarnings().size(), 1u);

    desktop.install("firefox");
    ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://example.com/"))));
    EXPECT_EQ(desktop.waitForRecord(), (Lines{desktop.program("firefox"), "http://example.com/"}));

    // The detected command is kept even when a better one appears or it vanishes.
    desktop.install("xdg-open");
    ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://example.com/2"))));
    EXPECT_EQ(desktop.waitForRecord(), (Lines{desktop.program("firefox"), "http://example.com/2"}));
    desktop.uninstall("firefox");
    EXPECT_FALSE(services.openUrl(VelUrl(VelString("http://example.com/3"))));
    EXPECT_EQ(takeWarnings(),
              Lines{"Launch failed (" + desktop.program("firefox") + " http://example.com/3)"});
}

// A search path with a blank in it must not split the program's path apart.
TEST_F(GenericUnixServices, ProgramPathWithBlanksStaysOneProgram)
{
    FakeDesktop desktop("my apps");
    desktop.install("xdg-open");
    VelGenericUnixServices services;
    ASSERT_TRUE(services.openUrl(VelUrl(VelString("http://example.com/"))));
    EXPECT_EQ(desktop.waitForRecord(), (Lines{desktop.program("xdg-open"), "http://example.com/"}));
}

// Runs in a child process (the desktop name is computed once per process):
// sets the environment, asks for the desktop name twice with a change in
// between, and prints what it got.
void printDesktop(const std::vector<std::pair<const char *, const char *>> &environment)
{
    for (const char *name : desktopVariables)
        ::unsetenv(name);
    for (const auto &variable : environment)
        ::setenv(variable.first, variable.second, 1);
    VelGenericUnixServices services;
    std::vector<std::thread> threads;
    std::vector<VelByteArray> answers(4);
    for (size_t i = 0; i < answers.size(); ++i)
        threads.emplace_back([&, i] { answers[i] = services.desktopEnvironment(); });
    for (std::thread &thread : threads)
        thread.join();
    for (const VelByteArray &answer : answers) {
        if (answer != answers.front())
            std::exit(2);
    }
    ::setenv("XDG_CURRENT_DESKTOP", "changed-later", 1);
    const VelByteArray again = VelGenericUnixServices().desktopEnvironment();
    std::fprintf(stderr, "[%s][%s]", answers.front().constData(), again.constData());
    std::exit(0);
}

TEST(GenericUnixDesktop, NamesFromTheEnvironmentComputedOncePerProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(printDesktop({{"XDG_CURRENT_DESKTOP", "kde-plasma"}, {"KDE_FULL_SESSION", "1"}}),
                ::testing::ExitedWithCode(0), "^\\[KDE-PLASMA\\]\\[KDE-PLASMA\\]$");
    EXPECT_EXIT(printDesktop({{"KDE_FULL_SESSION", "true"}, {"DESKTOP_SESSION", "gnome"}}),
                ::testing::ExitedWithCode(0), "^\\[KDE\\]\\[KDE\\]$");
    EXPECT_EXIT(printDesktop({{"GNOME_DESKTOP_SESSION_ID", "this-is-deprecated"}}),
                ::testing::ExitedWithCode(0), "^\\[GNOME\\]\\[GNOME\\]$");
    EXPECT_EXIT(printDesktop({{"DESKTOP_SESSION", "gnome"}}), ::testing::ExitedWithCode(0),
                "^\\[GNOME\\]\\[GNOME\\]$");
    EXPECT_EXIT(printDesktop({{"DESKTOP_SESSION", "xfce"}}), ::testing::ExitedWithCode(0),
                "^\\[XFCE\\]\\[XFCE\\]$");
    EXPECT_EXIT(printDesktop({{"DESKTOP_SESSION", "Gnome"}}), ::testing::ExitedWithCode(0),
                "^\\[UNKNOWN\\]\\[UNKNOWN\\]$");
    EXPECT_EXIT(printDesktop({{"XDG_CURRENT_DESKTOP", ""}, {"DESKTOP_SESSION", "xfce4"}}),
                ::testing::ExitedWithCode(0), "^\\[UNKNOWN\\]\\[UNKNOWN\\]$");
    EXPECT_EXIT(printDesktop({}), ::testing::ExitedWithCode(0), "^\\[UNKNOWN\\]\\[UNKNOWN\\]$");
}

// Runs in a child process with the given desktop and prints the recorded
// command of the program openUrl started.
void printLaunch(const char *desktopVariable, const char *value,
                 const std::vector<std::string> &programs)
{
    FakeDesktop desktop;
    ::setenv(desktopVariable, value, 1);
    for (const std::string &program : programs)
        desktop.install(program);
    VelGenericUnixServices services;
    if (!services.openUrl(VelUrl(VelString("http://example.com/a b"))))
        std::exit(3);
    std::string text;
    for (const std::string &line : desktop.waitForRecord()) {
        const size_t slash =
            line.rfind('/', line.find(' ') == std::string::npos ? line.size() : line.find(' '));
        text += "[" + (line.compare(0, 1, "/") == 0 ? line.substr(slash + 1) : line) + "]";
    }
    std::fprintf(stderr, "%s", text.c_str());
    std::exit(0);
}

TEST(GenericUnixDesktop, KdeRunsKfmclientExecAndGnomeRunsGnomeOpen)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(printLaunch("KDE_FULL_SESSION", "true", {"kfmclient", "firefox", "gnome-open"}),
                ::testing::ExitedWithCode(0),
                "^\\[kfmclient\\]\\[exec\\]\\[http://example.com/a%20b\\]$");
    EXPECT_EXIT(printLaunch("XDG_CURRENT_DESKTOP", "gnome", {"kfmclient", "firefox", "gnome-open"}),
                ::testing::ExitedWithCode(0), "^\\[gnome-open\\]\\[http://example.com/a%20b\\]$");
    EXPECT_EXIT(printLaunch("XDG_CURRENT_DESKTOP", "xfce", {"kfmclient", "firefox", "gnome-open"}),
                ::testing::ExitedWithCode(0), "^\\[firefox\\]\\[http://example.com/a%20b\\]$");
    EXPECT_EXIT(printLaunch("KDE_FULL_SESSION", "true", {"kfmclient", "xdg-open"}),
                ::testing::ExitedWithCode(0), "^\\[xdg-open\\]\\[http://example.com/a%20b\\]$");
}

} // namespace
