#ifndef STANDINSTESTSUPPORT_H
#define STANDINSTESTSUPPORT_H

#include "velandroiddriver.h"
#include "velxvfbserver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A directory under /tmp removed with everything in it at the end.
class TempDir
{
public:
    TempDir()
    {
        char pattern[] = "/tmp/velstandinsXXXXXX";
        const char *made = ::mkdtemp(pattern);
        m_path = made ? made : "";
    }
    ~TempDir()
    {
        if (!m_path.empty())
            std::system(("rm -rf '" + m_path + "'").c_str());
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }

    void write(const std::string &name, const std::string &content) const
    {
        const std::string full = file(name);
        const size_t slash = full.rfind('/');
        std::system(("mkdir -p '" + full.substr(0, slash) + "'").c_str());
        std::ofstream(full, std::ios::binary) << content;
    }
    void mkdir(const std::string &name) const
    {
        std::system(("mkdir -p '" + file(name) + "'").c_str());
    }

private:
    std::string m_path;
};

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes sure an X server is reachable: a private Xvfb for the whole process
// when DISPLAY is not set.
inline void ensureDisplay()
{
    static std::unique_ptr<VelXvfbServer> server;
    const char *display = std::getenv("DISPLAY");
    if (display && *display)
        return;
    server.reset(new VelXvfbServer);
    std::string error;
    ASSERT_TRUE(server->start(640, 480, &error)) << error;
    ::setenv("DISPLAY", server->displayName().c_str(), 1);
}

// The process's driver with its Java VM, started on first use.
inline VelAndroidDriver &sharedDriver(const std::vector<std::string> &jvmOptions = {})
{
    static VelAndroidDriver driver;
    static bool started = false;
    if (!started) {
        VelAndroidDriver::VmOptions options;
        options.jvmOptions = jvmOptions;
        started = driver.startJavaVm(options);
        EXPECT_TRUE(started) << driver.lastError();
    }
    return driver;
}

#endif
