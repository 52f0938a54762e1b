// vel-android-run as a user runs it, with the fake plugin and the test app.

#include "standinstestsupport.h"
#include "velpngwriter.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace
{

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

// Runs the launcher with the given arguments, without DISPLAY in its
// environment (so --headless starts a private server), optionally in another
// working directory.
RunResult runLauncher(const std::vector<std::string> &args, const std::string &workDir = "")
{
    TempDir io;
    std::vector<std::string> envEntries;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "DISPLAY=", 8) != 0)
            envEntries.push_back(*e);
    }
    std::vector<std::string> argStorage = {VEL_TEST_LAUNCHER};
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : argStorage)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (std::string &e : envEntries)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);

    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(io.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(io.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    RunResult result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(io.file("out"));
    result.err = readFile(io.file("err"));
    return result;
}

std::string directoryOf(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

std::string fileOf(const std::string &path)
{
    return path.substr(path.rfind('/') + 1);
}

} // namespace

TEST(Launcher, RunsTheAppToItsEndAndEndsCleanly)
{
    TempDir out;
    // A relative app path still reaches main as an absolute argv[0].
    const RunResult run = runLauncher({"--headless", "--timeout", "60", "--plugin",
                                       VEL_TEST_FAKEPLUGIN, "--env", "VEL_TESTAPP_MARK=launch",
                                       "--env", "VEL_TESTAPP_OUTPUT=" + out.file("seen.txt"),
                                       "./" + fileOf(VEL_TEST_APP), "alpha", "beta gamma"},
                                      directoryOf(VEL_TEST_APP));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(out.file("seen.txt")), std::string("argc=3\n") +
                                                  "argv[0]=" + directoryOf(VEL_TEST_APP) + "/./" +
                                                  fileOf(VEL_TEST_APP) + "\n" +
                                                  "argv[1]=alpha\n"
                                                  "argv[2]=beta gamma\n"
                                                  "argv[argc]=null\n"
                                                  "VEL_TESTAPP_MARK=launch\n");
    EXPECT_NE(run.out.find("argv[1]=alpha"), std::string::npos) << "main prints to stdout";
    EXPECT_NE(run.err.find("I/VelFake: fake plugin loaded"), std::string::npos) << run.err;
}

TEST(Launcher, ServesTheAssetsDirectoryGivenRelativeToTheWorkingDirectory)
{
    TempDir work;
    work.write("pkg/assets/fakeplugin.txt", "packaged text");
    const RunResult run = runLauncher({"--headless", "--timeout", "60", "--assets", "pkg/assets",
                                       "--plugin", VEL_TEST_FAKEPLUGIN, VEL_TEST_APP},
                                      work.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("I/VelFake: asset: packaged text\n"), std::string::npos) << run.err;
}

TEST(Launcher, WritesTheSurfaceAsPngAfterTheFirstFrameWithoutWaitingForTheApp)
{
    TempDir out;
    const RunResult run = runLauncher(
        {"--headless", "--size", "64x48", "--timeout", "60", "--plugin", VEL_TEST_FAKEPLUGIN,
         "--env", "VEL_FAKEPLUGIN_PAINT=00c020", "--env", "VEL_TESTAPP_SLEEP_MS=600000",
         "--screenshot", out.file("shot.png"), VEL_TEST_APP});
    // An app that outlives the time limit: a launcher that waited for it
    // instead of the frame would end with the time-out's exit code.
    EXPECT_EQ(run.exitCode, 0) << "the launcher waited for the app instead of the frame\n"
                               << run.err;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::string error;
    ASSERT_TRUE(velReadPng(out.file("shot.png"), &width, &height, &pixels, &error)) << error;
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i], 0x00) << "pixel " << i / 4;
        ASSERT_EQ(pixels[i + 1], 0xc0) << "pixel " << i / 4;
        ASSERT_EQ(pixels[i + 2], 0x20) << "pixel " << i / 4;
    }
}

TEST(Launcher, EndsWithATimeoutStatusWhenTheAppOutlivesTheLimit)
{
    const RunResult run =
        runLauncher({"--headless", "--timeout", "1", "--plugin", VEL_TEST_FAKEPLUGIN, "--env",
                     "VEL_TESTAPP_SLEEP_MS=20000", VEL_TEST_APP});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find("timed out"), std::string::npos) << run.err;
}

TEST(Launcher, RefusesToRunWithoutADisplayUnlessHeadless)
{
    const RunResult run = runLauncher({"--plugin", VEL_TEST_FAKEPLUGIN, VEL_TEST_APP});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("DISPLAY is not set"), std::string::npos) << run.err;
}

TEST(Launcher, AMalformedCommandLineShowsTheUsage)
{
    const RunResult run = runLauncher({"--size", "0x0", VEL_TEST_APP});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage: vel-android-run"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--size"), std::string::npos) << run.err;
}

TEST(Launcher, APluginThatCannotBeLoadedIsReported)
{
    const RunResult run = runLauncher(
        {"--headless", "--plugin", "/nonexistent/libandroidplatformplugin.so", VEL_TEST_APP});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("loading /nonexistent/libandroidplatformplugin.so failed"),
              std::string::npos)
        << run.err;
}
