#ifndef VELSOAKLOG_H
#define VELSOAKLOG_H

#include <map>
#include <mutex>
#include <string>

// Counts what the plugin and the stand-ins log at warning priority and above,
// and prints each distinct message once (a soak run repeats them by the
// thousand). Holds the stand-in's capture hook while it exists; one at a time.
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

    // Called for every message (the stand-in's callback lands here).
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
