#ifndef LAUNCHERRUN_H
#define LAUNCHERRUN_H

#include "standinstestsupport.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// vel-android-run started as a user starts it, without DISPLAY (so that
// --headless starts a private server), with extra environment entries.
struct LauncherRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline LauncherRun runLauncherWith(const std::vector<std::string> &args,
                                   const std::vector<std::string> &extraEnvironment = {})
{
    TempDir io;
    std::vector<std::string> envEntries;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "DISPLAY=", 8) != 0)
            envEntries.push_back(*e);
    }
    envEntries.insert(envEntries.end(), extraEnvironment.begin(), extraEnvironment.end());
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
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(io.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(io.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    LauncherRun result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(io.file("out"));
    result.err = readFile(io.file("err"));
    return result;
}

// The lines of text that begin with prefix, with the prefix cut off.
inline std::vector<std::string> linesStartingWith(const std::string &text,
                                                  const std::string &prefix)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line.substr(prefix.size()));
        start = end + 1;
    }
    return lines;
}

#endif
