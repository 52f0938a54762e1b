#ifndef RENDERINGSESSION_H
#define RENDERINGSESSION_H

// One application running through the Java VM, the plugin and Mesa's EGL on
// an X window; pixels are read back from that window.

#include "velandroiddriver.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

struct Rgb {
    int r, g, b;
};

class Frame
{
public:
    Frame(std::vector<uint8_t> rgba, int width, int height)
        : m_rgba(std::move(rgba)), m_width(width), m_height(height)
    {
    }
    Rgb at(int x, int y) const
    {
        const size_t i = (size_t(y) * m_width + x) * 4;
        return Rgb{m_rgba[i], m_rgba[i + 1], m_rgba[i + 2]};
    }
    bool is(int x, int y, Rgb expected, int tolerance = 8) const
    {
        const Rgb c = at(x, y);
        return std::abs(c.r - expected.r) <= tolerance && std::abs(c.g - expected.g) <= tolerance &&
               std::abs(c.b - expected.b) <= tolerance;
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    std::vector<uint8_t> m_rgba;
    int m_width;
    int m_height;
};

inline std::string describe(Rgb c)
{
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

class RenderingSession
{
public:
    static constexpr Rgb Red{255, 0, 0};
    static constexpr Rgb Green{0, 255, 0};
    static constexpr Rgb Blue{0, 0, 255};

    RenderingSession()
    {
        char pattern[] = "/tmp/velrenderingXXXXXX";
        m_dir = ::mkdtemp(pattern);
        m_paintLog = m_dir + "/paints.log";
    }
    ~RenderingSession() { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    VelAndroidDriver &driver() { return m_driver; }
    const std::string &paintLog() const { return m_paintLog; }

    // Starts the VM, the plugin and the application, and hands it a surface
    // of the given size.
    void start(const std::string &appLibrary, const std::vector<std::string> &arguments, int width,
               int height)
    {
        ensureDisplay();
        ASSERT_TRUE(m_driver.startJavaVm(VelAndroidDriver::VmOptions())) << m_driver.lastError();
        ASSERT_TRUE(m_driver.createActivity(m_dir)) << m_driver.lastError();
        ASSERT_TRUE(m_driver.loadLibrary(VelAndroidDriver::defaultPluginPath()))
            << m_driver.lastError();
        bool started = false;
        ASSERT_TRUE(m_driver.startVelAndroidPlugin(&started)) << m_driver.lastError();
        ASSERT_TRUE(started);
        ASSERT_TRUE(m_driver.setDisplayMetrics(width, height, width, height, 160, 160, 1));
        std::vector<std::string> appArguments{appLibrary};
        appArguments.insert(appArguments.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(
            m_driver.startVelApplication(appArguments, {"VEL_TEST_PAINT_LOG=" + m_paintLog}))
            << m_driver.lastError();
        announceNewWindow(width, height);
    }

    // A new X window and a Surface on it, handed to the plugin.
    void announceNewWindow(int width, int height)
    {
        auto window = std::make_unique<VelX11Window>();
        std::string error;
        ASSERT_TRUE(window->create(std::getenv("DISPLAY"), width, height, "rendering test", &error))
            << error;
        m_windows.push_back(std::move(window));
        announceSurface(width, height);
    }

    // The current X window announced again (a size change on Android).
    void announceSurface(int width, int height)
    {
        jobject surface = m_driver.newSurface(window().windowId(), width, height);
        ASSERT_NE(surface, nullptr) << m_driver.lastError();
        ASSERT_TRUE(m_driver.setSurface(surface)) << m_driver.lastError();
        m_driver.deleteGlobalRef(surface);
    }

    VelX11Window &window() { return *m_windows.back(); }

    Frame grab()
    {
        std::vector<uint8_t> rgba;
        std::string error;
        EXPECT_TRUE(window().grabPixels(&rgba, &error)) << error;
        rgba.resize(size_t(window().width()) * window().height() * 4);
        return Frame(std::move(rgba), window().width(), window().height());
    }

    // Polls the window until the frame satisfies the condition; the last
    // frame grabbed either way.
    Frame waitForFrame(const std::function<bool(const Frame &)> &condition, int timeoutMs = 20000,
                       int pollMs = 50)
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            Frame frame = grab();
            if (condition(frame) || std::chrono::steady_clock::now() > deadline)
                return frame;
            std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
        }
    }

    std::vector<std::string> paints() const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_paintLog);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    bool waitForPaint(const std::string &line, int timeoutMs = 20000) const
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const std::string &painted : paints()) {
                if (painted == line)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    static void ensureDisplay()
    {
        static std::unique_ptr<VelXvfbServer> server;
        const char *display = std::getenv("DISPLAY");
        if (display && *display)
            return;
        server = std::make_unique<VelXvfbServer>();
        std::string error;
        ASSERT_TRUE(server->start(1280, 1024, &error)) << error;
        ::setenv("DISPLAY", server->displayName().c_str(), 1);
    }

    VelAndroidDriver m_driver;
    std::string m_dir;
    std::string m_paintLog;
    std::vector<std::unique_ptr<VelX11Window>> m_windows;
};

#endif
