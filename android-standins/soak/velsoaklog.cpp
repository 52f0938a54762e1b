#include "velsoaklog.h"

#include "vellogging.h"

#include <velstandin.h>

#include <atomic>
#include <cstdio>

namespace
{

constexpr int warningPriority = 5;
constexpr int errorPriority = 6;

// The host's handler takes no user data.
std::atomic<VelSoakLog *> hostLogReceiver{nullptr};

void onMessage(int priority, const char *tag, const char *text, void *self)
{
    static_cast<VelSoakLog *>(self)->add(priority, tag, text);
}

int androidPriority(VelMsgType type)
{
    switch (type) {
    case VelWarningMsg:
        return warningPriority;
    case VelCriticalMsg:
    case VelFatalMsg:
        return errorPriority;
    default:
        return 3; // debug and info: shown only when echoed
    }
}

void onHostMessage(VelMsgType type, const VelMessageLogContext &context, const VelString &message)
{
    VelSoakLog *log = hostLogReceiver.load();
    if (!log)
        return;
    std::string text = message.toStdString();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    log->add(androidPriority(type), context.function ? context.function : "host", text);
}

} // namespace

VelSoakLog::VelSoakLog(bool echo) : m_echo(echo)
{
    // Echoed here, if at all, with the host's messages in the same form.
    velStandinSetLogEcho(0);
    velStandinSetLogCapture(&onMessage, this);
    hostLogReceiver.store(this);
    velInstallMessageHandler(&onHostMessage);
}

VelSoakLog::~VelSoakLog()
{
    velInstallMessageHandler(nullptr);
    hostLogReceiver.store(nullptr);
    velStandinSetLogCapture(nullptr, nullptr);
    velStandinSetLogEcho(1);
}

VelSoakLog::Counts VelSoakLog::counts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_counts;
}

std::string VelSoakLog::summary() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string lines;
    for (const auto &entry : m_seen)
        lines += std::to_string(entry.second) + " x " + entry.first + "\n";
    return lines;
}

void VelSoakLog::add(int priority, const std::string &tag, const std::string &text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (priority < warningPriority) {
        if (m_echo)
            std::fprintf(stderr, "%s: %s\n", tag.c_str(), text.c_str());
        return;
    }
    if (priority >= errorPriority)
        ++m_counts.errors;
    else
        ++m_counts.warnings;
    if (m_echo) {
        std::fprintf(stderr, "%s: %s\n", tag.c_str(), text.c_str());
        return;
    }
    const std::string line = tag + ": " + text;
    auto seen = m_seen.find(line);
    if (seen != m_seen.end()) {
        ++seen->second;
        return;
    }
    if (m_seen.size() >= maxDistinct)
        return;
    m_seen.emplace(line, 1);
    std::fprintf(stderr, "vel-soak: logged (first time, priority %d) %s\n", priority, line.c_str());
}
