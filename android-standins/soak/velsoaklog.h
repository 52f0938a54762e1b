#ifndef VELSOAKLOG_H
#define VELSOAKLOG_H

#include <map>
#include <mutex>
#include <string>

// Counts what the plugin and the stand-ins log at warning priority and above,
// through the Android log and the host's message logger alike, and prints
// each distinct message once (a soak run repeats them by the thousand).
// Holds the stand-in's capture hook and the host's message handler while it
// exists; one at a time.
class VelSoakLog
{
public:
    struct Counts {
        long warnings = 0;
        long errors = 0; // error and fatal
    };

    // echo: the stand-in also writes every message to standard error.
    explicit VelSoakLog(bool echo);
    ~VelSoakLog();
    VelSoakLog(const VelSoakLog &) = delete;
    VelSoakLog &operator=(const VelSoakLog &) = delete;

    Counts counts() const;
    // Each distinct message with the times it was logged, one a line.
    std::string summary() const;

    // Called for every message, with the Android log's priorities (the
    // host's levels are mapped onto them).
    void add(int priority, const std::string &tag, const std::string &text);

private:
    static constexpr size_t maxDistinct = 64;

    // Guards the members below. Taken inside the stand-in's capture lock.
    mutable std::mutex m_mutex;
    Counts m_counts;
    std::map<std::string, long> m_seen; // "tag: text" -> times
    bool m_echo;
};

#endif
