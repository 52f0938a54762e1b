#include "standinstestsupport.h"
#include "vellogcapture.h"

#include <android/log.h>
#include <velstandin.h>

#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace
{

// Sends standard error to a file for the life of the object; text() reads
// what was written so far.
class StderrToFile
{
public:
    StderrToFile()
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int fd = ::open(m_dir.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    ~StderrToFile()
    {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    std::string text() const { return readFile(m_dir.file("stderr")); }

private:
    TempDir m_dir;
    int m_saved = -1;
};

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

} // namespace

TEST(AndroidLog, WritesOneLineWithPriorityLetterAndTag)
{
    StderrToFile capture;
    __android_log_print(ANDROID_LOG_INFO, "Vel", "vel start");
    __android_log_print(ANDROID_LOG_FATAL, "Vel", "Can't find class \"%s\"", "a/B");
    __android_log_write(ANDROID_LOG_ERROR, "Vel A11y", "registerNatives failed");
    EXPECT_EQ(capture.text(), "I/Vel: vel start\n"
                              "F/Vel: Can't find class \"a/B\"\n"
                              "E/Vel A11y: registerNatives failed\n");
}

TEST(AndroidLog, PriorityLettersCoverVerboseToFatalOnly)
{
    EXPECT_EQ(velStandinLogPriorityLetter(2), 'V');
    EXPECT_EQ(velStandinLogPriorityLetter(3), 'D');
    EXPECT_EQ(velStandinLogPriorityLetter(4), 'I');
    EXPECT_EQ(velStandinLogPriorityLetter(5), 'W');
    EXPECT_EQ(velStandinLogPriorityLetter(6), 'E');
    EXPECT_EQ(velStandinLogPriorityLetter(7), 'F');
    EXPECT_EQ(velStandinLogPriorityLetter(0), '?');
    EXPECT_EQ(velStandinLogPriorityLetter(1), '?');
    EXPECT_EQ(velStandinLogPriorityLetter(8), '?');
    EXPECT_EQ(velStandinLogPriorityLetter(-3), '?');
}

TEST(AndroidLog, EveryLineOfAMultiLineMessageCarriesThePrefix)
{
    StderrToFile capture;
    __android_log_print(ANDROID_LOG_WARN, "T", "first\nsecond\n\n");
    __android_log_write(ANDROID_LOG_DEBUG, "T", "");
    EXPECT_EQ(capture.text(), "W/T: first\nW/T: second\nD/T: \n");
}

TEST(AndroidLog, NullTagAndTextDoNotCrash)
{
    StderrToFile capture;
    __android_log_write(ANDROID_LOG_ERROR, nullptr, nullptr);
    EXPECT_EQ(capture.text(), "E/: (null)\n");
}

TEST(AndroidLog, CaptureSeesPriorityTagAndUntrimmedText)
{
    StderrToFile quiet;
    VelLogCapture capture;
    __android_log_print(ANDROID_LOG_WARN, "VelA11y", "%s %d\n", "value", 42);
    const std::vector<VelLogCapture::Entry> entries = capture.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].priority, ANDROID_LOG_WARN);
    EXPECT_EQ(entries[0].tag, "VelA11y");
    EXPECT_EQ(entries[0].text, "value 42\n");
    EXPECT_TRUE(capture.contains(5, "VelA11y", "value 42\n"));
    EXPECT_FALSE(capture.contains(6, "VelA11y", "value 42\n"));
}

TEST(AndroidLog, CaptureEndsWithItsObject)
{
    StderrToFile quiet;
    std::vector<VelLogCapture::Entry> seen;
    {
        VelLogCapture capture;
        __android_log_write(ANDROID_LOG_INFO, "A", "inside");
        seen = capture.entries();
    }
    __android_log_write(ANDROID_LOG_INFO, "A", "outside");
    VelLogCapture later;
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_TRUE(later.entries().empty());
}

TEST(AndroidLog, EchoCanBeSwitchedOffWhileCaptureGoesOn)
{
    StderrToFile out;
    VelLogCapture capture;
    velStandinSetLogEcho(0);
    __android_log_write(ANDROID_LOG_INFO, "A", "silent");
    velStandinSetLogEcho(1);
    __android_log_write(ANDROID_LOG_INFO, "A", "loud");
    EXPECT_EQ(out.text(), "I/A: loud\n");
    EXPECT_EQ(capture.entries().size(), 2u);
}

TEST(AndroidLog, ConcurrentMessagesNeverInterleave)
{
    StderrToFile out;
    const std::string payload(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &payload] {
            for (int i = 0; i < 200; ++i)
                __android_log_print(ANDROID_LOG_DEBUG, "T", "%d:%s", t, payload.c_str());
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    const std::vector<std::string> written = lines(out.text());
    ASSERT_EQ(written.size(), 800u);
    for (const std::string &line : written) {
        ASSERT_EQ(line.size(), std::string("D/T: 0:").size() + payload.size())
            << line.substr(0, 20);
        ASSERT_EQ(line.compare(0, 5, "D/T: "), 0);
    }
}

TEST(AndroidLog, WaitForSeesAMessageFromAnotherThread)
{
    StderrToFile quiet;
    VelLogCapture capture;
    std::thread later([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        __android_log_write(ANDROID_LOG_INFO, "Vel", "vel start");
    });
    EXPECT_TRUE(capture.waitFor(ANDROID_LOG_INFO, "Vel", "vel start", 5000));
    later.join();
    EXPECT_FALSE(capture.waitFor(ANDROID_LOG_INFO, "Vel", "never", 20));
}
