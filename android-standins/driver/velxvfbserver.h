#ifndef VELXVFBSERVER_H
#define VELXVFBSERVER_H

#include <string>
#include <sys/types.h>

// A private virtual X server for runs without a display. Xvfb picks a free
// display number itself (-displayfd), so concurrent runs never collide. The
// server is stopped when this object goes away, and dies with the thread that
// started it when the process ends without that.
class VelXvfbServer
{
public:
    VelXvfbServer() = default;
    ~VelXvfbServer();
    VelXvfbServer(const VelXvfbServer &) = delete;
    VelXvfbServer &operator=(const VelXvfbServer &) = delete;

    // Starts Xvfb with one screen of at least width x height at 24 bits and
    // waits until it accepts connections.
    bool start(int width, int height, std::string *error);
    void stop();

    bool running() const { return m_pid > 0; }
    // ":N", empty before start.
    const std::string &displayName() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

#endif
