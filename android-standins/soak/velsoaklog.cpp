#include "velsoaklog.h"

#include <velstandin.h>

#include <cstdio>

namespace
{

constexpr int warningPriority = 5;
constexpr int errorPriority = 6;

void onMessage(int priority, const char *tag, const char *text, void *self)
{
    static_cast<VelSoakLog *>(self)->add(priority, tag, text);
}

} // namespace

VelSoakLog::VelSoakLog(bool echo) : m_echo(echo)
{
    velStandinSetLogEcho(echo ? 1 : 0);
    velStandinSetLogCapture(&onMessage, this);
}

VelSoakLog::~VelSoakLog()
{
    velStandinSetLogCapture(nullptr, nullptr);
    velStandinSetLogEcho(1);
}

VelSoakLog::Counts VelSoakLog::counts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_counts;
}

void VelSoakLog::add(int priority, const std::string &tag, const std::string &text)
{
    if (priority < warningPriority)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (priority >= errorPriority)
        ++m_counts.errors;
    else
        ++m_counts.warnings;
    if (m_echo)
        return;
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
