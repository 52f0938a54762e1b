#include "velprocess.h"
#include "velstandardpaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace
{

class ScriptDir
{
public:
    ScriptDir()
    {
        char pattern[] = "/tmp/vel_io_proc_XXXXXX";
        m_path = ::mkdtemp(pattern);
    }
    ~ScriptDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    const std::string &path() const { return m_path; }
    VelString velPath() const { return VelString::fromLocal8Bit(m_path.c_str()); }
    std::string file(const std::string &name) const { return m_path + "/" + name; }
    void script(const std::string &name, const std::string &body, mode_t mode = 0755) const
    {
        std::ofstream(file(name)) << "#!/bin/sh\n" << body;
        ::chmod(file(name).c_str(), mode);
    }
    // Waits for a file the detached program writes; empty after the timeout.
    std::string waitFor(const std::string &name) const
    {
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(file(name));
            std::ostringstream out;
            out << in.rdbuf();
            if (!out.str().empty() && out.str().back() == '\n')
                return out.str();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string();
    }

private:
    std::string m_path;
};

TEST(IoFindExecutable, SearchesGivenPathsInOrderAndNeedsExecutableFiles)
{
    ScriptDir first, second;
    first.script("tool", "exit 0\n", 0644); // not executable: skipped
    second.script("tool", "exit 0\n");
    second.script("other", "exit 0\n");
    ::mkdir(first.file("adir").c_str(), 0755); // a directory is never an executable

    const VelStringList paths{first.velPath(), second.velPath()};
    EXPECT_EQ(VelStandardPaths::findExecutable(VelString("tool"), paths),
              second.velPath() + "/tool");
    EXPECT_EQ(VelStandardPaths::findExecutable(VelString("adir"), paths), VelString());
    EXPECT_EQ(VelStandardPaths::findExecutable(VelString("missing"), paths), VelString());
    EXPECT_EQ(VelStandardPaths::findExecutable(VelString(), paths), VelString());
    EXPECT_EQ(VelStandardPaths::findExecutable(second.velPath() + "/other"),
              second.velPath() + "/other");
}

TEST(IoFindExecutable, DefaultsToPathEnvironment)
{
    ScriptDir dir;
    dir.script("vel-find-me", "exit 0\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", ("/nonexistent::" + dir.path() + ":/usr/bin").c_str(), 1);
    EXPECT_EQ(VelStandardPaths::findExecutable(VelString("vel-find-me")),
              dir.velPath() + "/vel-find-me");
    EXPECT_EQ(VelStandardPaths::findExecutable(VelString("vel-not-there")), VelString());
    ::setenv("PATH", oldPath.c_str(), 1);
}

TEST(IoProcess, SplitsCommandLines)
{
    using L = VelStringList;
    EXPECT_EQ(VelProcess::splitCommand(VelString("a b  c")),
              (L{VelString("a"), VelString("b"), VelString("c")}));
    EXPECT_EQ(VelProcess::splitCommand(VelString("\"/opt/my app/run\" exec x")),
              (L{VelString("/opt/my app/run"), VelString("exec"), VelString("x")}));
    EXPECT_EQ(VelProcess::splitCommand(VelString("a \"\" b")),
              (L{VelString("a"), VelString(), VelString("b")}));
    EXPECT_EQ(VelProcess::splitCommand(VelString("say \"a \"\"quoted\"\" word\"")),
              (L{VelString("say"), VelString("a \"quoted\" word")}));
    EXPECT_EQ(VelProcess::splitCommand(VelString("  \t ")), L{});
}

TEST(IoProcess, StartDetachedRunsTheProgramWithItsArguments)
{
    ScriptDir dir;
    dir.script("record", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.out.tmp\"\n"
                         "echo >> \"$0.out.tmp\"; mv \"$0.out.tmp\" \"$0.out\"\n");
    velint64 pid = 0;
    ASSERT_TRUE(VelProcess::startDetached(
        dir.velPath() + "/record", VelStringList{VelString("one two"), VelString("x%20y")}, &pid));
    EXPECT_GT(pid, 0);
    EXPECT_EQ(dir.waitFor("record.out"), "[one two][x%20y]\n");

    // The first run has ended (its last step made record.out). A second run
    // started before the old output is gone could be read in its place, and
    // two runs at once would share the script's scratch file.
    std::remove(dir.file("record.out").c_str());
    ASSERT_TRUE(VelProcess::startDetached(dir.velPath() + "/record exec http://a/b%20c"));
    EXPECT_EQ(dir.waitFor("record.out"), "[exec][http://a/b%20c]\n");
}

TEST(IoProcess, StartDetachedReportsFailureToStart)
{
    ScriptDir dir;
    EXPECT_FALSE(VelProcess::startDetached(VelString("vel-no-such-program-anywhere")));
    EXPECT_FALSE(VelProcess::startDetached(dir.velPath() + "/missing", VelStringList()));
    EXPECT_FALSE(VelProcess::startDetached(VelString("")));
    // Executable bit set but exec fails (no interpreter): must be false, not true.
    std::ofstream(dir.file("broken")) << "#!/nonexistent/interpreter\n";
    ::chmod(dir.file("broken").c_str(), 0755);
    EXPECT_FALSE(VelProcess::startDetached(dir.velPath() + "/broken", VelStringList()));
}

} // namespace
