#include "velxvfbserver.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

// Reads the display number Xvfb writes once it is ready; -1 on time-out or
// when the server ended first.
int readDisplayNumber(int fd, pid_t pid, int timeoutMs)
{
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready > 0) {
            char buffer[32];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return -1;
            text.append(buffer, static_cast<size_t>(n));
            if (text.find('\n') != std::string::npos)
                return std::atoi(text.c_str());
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return -1;
    }
    return -1;
}

} // namespace

VelXvfbServer::~VelXvfbServer()
{
    stop();
}

bool VelXvfbServer::start(int width, int height, std::string *error)
{
    stop();
    int fds[2];
    if (::pipe(fds) != 0) {
        if (error)
            *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    // The child's end must survive exec; ours must not leak into it.
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string geometry = std::to_string(std::max(width, 1280)) + "x" +
                                 std::to_string(std::max(height, 1024)) + "x24";
    const std::string fdText = std::to_string(fds[1]);
    std::vector<std::string> args = {"Xvfb",   "-displayfd", fdText, "-screen", "0",
                                     geometry, "-nolisten",  "tcp",  "-noreset"};
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);

    // fork rather than posix_spawn: the server must die with the thread that
    // started it even when this process ends without stopping it.
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
        }
        ::execvp("Xvfb", argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        if (error)
            *error = std::string("cannot start Xvfb: ") + std::strerror(errno);
        return false;
    }
    m_pid = pid;
    // Readiness is Xvfb's own word on the pipe; the bound only stops a server
    // that never comes up from holding the launcher. Starting compiles its
    // keymap in a child process, which takes seconds on a busy machine.
    const int number = readDisplayNumber(fds[0], pid, 60000);
    ::close(fds[0]);
    if (number < 0) {
        if (error)
            *error = "Xvfb did not come up";
        stop();
        return false;
    }
    m_display = ":" + std::to_string(number);
    return true;
}

void VelXvfbServer::stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            ::usleep(10000);
        }
    }
    m_pid = -1;
    m_display.clear();
}
