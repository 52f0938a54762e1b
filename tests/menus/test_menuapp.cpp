// The menus example through the launcher, headless, as a user scripts it:
// the real Java VM, the plugin with its theme and menu bridge, the Java menu
// presenter and the app, which reports every action it was given.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace
{

struct RunResult {
    int exitCode = -1;
    std::vector<std::string> out;
    std::string err;
};

std::vector<std::string> readLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The launcher with a private X server (DISPLAY left out of its
// environment) running the script steps on the menus example.
RunResult runScript(const std::vector<std::string> &steps,
                    const std::vector<std::string> &options = {})
{
    char pattern[] = "/tmp/velmenuappXXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    std::vector<std::string> args = {VEL_TEST_LAUNCHER, "--headless", "--timeout", "90"};
    args.insert(args.end(), options.begin(), options.end());
    for (const std::string &step : steps) {
        args.push_back("--step");
        args.push_back(step);
    }
    args.push_back(VEL_TEST_MENUS_APP);
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "DISPLAY=", 8) != 0)
            env.push_back(*e);
    }
    std::vector<char *> argv, envp;
    for (std::string &a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    for (std::string &e : env)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);

    const std::string outPath = dir + "/out";
    const std::string errPath = dir + "/err";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readLines(outPath);
    std::ifstream err(errPath);
    std::stringstream text;
    text << err.rdbuf();
    result.err = text.str();
    std::system(("rm -rf '" + dir + "'").c_str());
    return result;
}

// The lines that begin with the prefix, in order.
std::vector<std::string> linesStartingWith(const RunResult &run, const std::string &prefix)
{
    std::vector<std::string> found;
    for (const std::string &line : run.out) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    }
    return found;
}

std::string describe(const RunResult &run)
{
    std::string text = "exit " + std::to_string(run.exitCode) + "\nstdout:\n";
    for (const std::string &line : run.out)
        text += line + "\n";
    return text + "stderr:\n" + run.err;
}

TEST(MenuApp, ASubmenuItemChosenThroughTheOptionsMenuReachesTheApp)
{
    const RunResult run = runScript({"menu", "choose File", "choose Recent", "choose todo.txt",
                                     "menu", "choose Edit", "choose Paste"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(linesStartingWith(run, "menus: chose"),
              (std::vector<std::string>{"menus: chose File > Recent > todo.txt",
                                        "menus: chose Edit > Paste"}))
        << describe(run);

    // What the launcher showed: the bar as one item per menu, File's items
    // without the separator, the submenu titled with its item.
    const std::vector<std::string> shown = linesStartingWith(run, "vel-android-run: ");
    const std::vector<std::string> expectedStart{
        "vel-android-run: options menu",
        "vel-android-run:   File",
        "vel-android-run:   Edit",
        "vel-android-run: chose \"File\" in the options menu",
        "vel-android-run: context menu \"File\"",
        "vel-android-run:   Open",
        "vel-android-run:   Word wrap [ ]",
        "vel-android-run:   Recent",
        "vel-android-run: chose \"Recent\" in the context menu",
        "vel-android-run: context menu \"Recent\"",
        "vel-android-run:   notes.txt",
        "vel-android-run:   todo.txt",
    };
    ASSERT_GE(shown.size(), expectedStart.size()) << describe(run);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + long(expectedStart.size())),
              expectedStart)
        << describe(run);
}

TEST(MenuApp, ACheckableItemTogglesAndTheMenuShowsItsState)
{
    const RunResult run = runScript(
        {"menu", "choose File", "choose Word wrap", "menu", "choose File", "choose Word wrap"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(linesStartingWith(run, "menus: chose"),
              (std::vector<std::string>{"menus: chose File > Word wrap (checked)",
                                        "menus: chose File > Word wrap (unchecked)"}))
        << describe(run);
    EXPECT_EQ(linesStartingWith(run, "vel-android-run:   Word wrap"),
              (std::vector<std::string>{"vel-android-run:   Word wrap [ ]",
                                        "vel-android-run:   Word wrap [x]"}))
        << describe(run);
}

TEST(MenuApp, ALongPressPopsUpTheAppsMenuAsAContextMenu)
{
    // A long press arrives as a right click, which the app answers at once.
    const RunResult run = runScript({"longpress 200 300", "choose Select all"},
                                    {"--env", "VEL_MORVANE_COMPATIBILITY_LONG_PRESS=1"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(linesStartingWith(run, "menus: chose"),
              std::vector<std::string>{"menus: chose Text > Select all"})
        << describe(run);
    const std::vector<std::string> shown = linesStartingWith(run, "vel-android-run: ");
    const std::vector<std::string> expected{
        "vel-android-run: context menu \"Text\"", "vel-android-run:   Cut",
        "vel-android-run:   Copy", "vel-android-run:   Select all",
        "vel-android-run: chose \"Select all\" in the context menu"};
    EXPECT_EQ(shown, expected) << describe(run);
}

} // namespace
