#include <android/log.h>

#include "velstandin.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

// Guards captureCallback and captureUserData, and is held while the callback
// runs so that it never runs twice at once. Taken alone: the callback must
// not log.
std::mutex captureMutex;
VelStandinLogCallback captureCallback = nullptr;
void *captureUserData = nullptr;

std::atomic<bool> echoEnabled{true};

std::string formatMessage(const char *fmt, va_list ap)
{
    if (!fmt)
        return "(null)";
    va_list measure;
    va_copy(measure, ap);
    const int needed = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    if (needed < 0)
        return fmt;
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), fmt, ap);
    return std::string(buffer.data(), static_cast<size_t>(needed));
}

// One "P/TAG: text" line per line of the message, as logcat shows them;
// trailing newlines are dropped. Written with a single write so that lines
// of concurrent messages never interleave.
std::string renderLines(char letter, const char *tag, const std::string &text)
{
    std::string body = text;
    while (!body.empty() && body.back() == '\n')
        body.pop_back();
    const std::string prefix = std::string(1, letter) + "/" + tag + ": ";
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t end = body.find('\n', start);
        out += prefix;
        out.append(body, start, end == std::string::npos ? std::string::npos : end - start);
        out += '\n';
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return out;
}

void writeAll(int fd, const std::string &data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

int emit(int prio, const char *tag, const std::string &text)
{
    const char *safeTag = tag ? tag : "";
    if (echoEnabled.load())
        writeAll(STDERR_FILENO, renderLines(velStandinLogPriorityLetter(prio), safeTag, text));
    {
        std::lock_guard<std::mutex> lock(captureMutex);
        if (captureCallback)
            captureCallback(prio, safeTag, text.c_str(), captureUserData);
    }
    return static_cast<int>(text.size());
}

} // namespace

extern "C" {

char velStandinLogPriorityLetter(int prio)
{
    static const char letters[] = "VDIWEF";
    if (prio < ANDROID_LOG_VERBOSE || prio > ANDROID_LOG_FATAL)
        return '?';
    return letters[prio - ANDROID_LOG_VERBOSE];
}

void velStandinSetLogCapture(VelStandinLogCallback callback, void *userData)
{
    std::lock_guard<std::mutex> lock(captureMutex);
    captureCallback = callback;
    captureUserData = userData;
}

void velStandinSetLogEcho(int echo)
{
    echoEnabled.store(echo != 0);
}

int __android_log_write(int prio, const char *tag, const char *text)
{
    return emit(prio, tag, text ? text : "(null)");
}

int __android_log_vprint(int prio, const char *tag, const char *fmt, va_list ap)
{
    return emit(prio, tag, formatMessage(fmt, ap));
}

int __android_log_print(int prio, const char *tag, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    const int result = __android_log_vprint(prio, tag, fmt, ap);
    va_end(ap);
    return result;
}
}
