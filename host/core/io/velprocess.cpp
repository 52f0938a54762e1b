#include "velprocess.h"

#include "velstandardpaths.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace
{

// What the intermediate child and the grandchild tell the caller through the
// close-on-exec pipe; an exec that succeeds closes the pipe without a word.
struct StartReport {
    enum Kind : int { Started = 1, ForkFailed = 2, ExecFailed = 3 };
    int kind;
    int value; // pid for Started, errno otherwise
};

void writeReport(int fd, StartReport::Kind kind, int value)
{
    const StartReport report{kind, value};
    ssize_t n;
    do {
        n = ::write(fd, &report, sizeof report);
    } while (n < 0 && errno == EINTR);
}

[[noreturn]] void runGrandchild(int reportFd, const char *path, char *const argv[])
{
    // Signal state is inherited through exec; give the program a clean one.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::execv(path, argv);
    writeReport(reportFd, StartReport::ExecFailed, errno);
    ::_exit(127);
}

} // namespace

bool VelProcess::startDetached(const VelString &program, const VelStringList &arguments,
                               velint64 *pid)
{
    if (program.isEmpty())
        return false;
    const VelString path = VelStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;

    // Everything the children need is prepared before fork: only
    // async-signal-safe calls may follow it in a threaded process.
    const VelByteArray nativePath = path.toLocal8Bit();
    std::vector<VelByteArray> nativeArgs;
    nativeArgs.push_back(program.toLocal8Bit());
    for (const VelString &arg : arguments)
        nativeArgs.push_back(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (VelByteArray &arg : nativeArgs)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0) {
        ::close(fds[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            runGrandchild(fds[1], nativePath.constData(), argv.data());
        if (grandchild < 0)
            writeReport(fds[1], StartReport::ForkFailed, errno);
        else
            writeReport(fds[1], StartReport::Started, int(grandchild));
        ::_exit(0);
    }

    ::close(fds[1]);
    bool started = false;
    bool failed = false;
    StartReport report;
    for (;;) {
        const ssize_t n = ::read(fds[0], &report, sizeof report);
        if (n < 0 && errno == EINTR)
            continue;
        if (n != ssize_t(sizeof report))
            break;
        if (report.kind == StartReport::Started) {
            started = true;
            if (pid)
                *pid = report.value;
        } else {
            failed = true;
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return started && !failed;
}

bool VelProcess::startDetached(const VelString &commandLine)
{
    VelStringList parts = splitCommand(commandLine);
    if (parts.empty())
        return false;
    const VelString program = parts.front();
    parts.erase(parts.begin());
    return startDetached(program, parts);
}

VelStringList VelProcess::splitCommand(const VelString &commandLine)
{
    VelStringList parts;
    VelString current;
    bool inQuotes = false;
    bool hasToken = false;
    const std::u16string &text = commandLine.toStdU16String();
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'"') {
            if (inQuotes && i + 1 < text.size() && text[i + 1] == u'"') {
                current += VelChar(u'"');
                ++i;
                continue;
            }
            inQuotes = !inQuotes;
            hasToken = true;
            continue;
        }
        if (!inQuotes && (c == u' ' || c == u'\t')) {
            if (hasToken)
                parts.push_back(current);
            current.clear();
            hasToken = false;
            continue;
        }
        current += VelChar(c);
        hasToken = true;
    }
    if (hasToken)
        parts.push_back(current);
    return parts;
}
