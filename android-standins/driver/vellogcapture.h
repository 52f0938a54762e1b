#ifndef VELLOGCAPTURE_H
#define VELLOGCAPTURE_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// Collects the messages logged through __android_log_print while it exists.
// One capture at a time per process (it owns the stand-in's capture hook).
class VelLogCapture
{
public:
    struct Entry {
        int priority;
        std::string tag;
        std::string text;
    };

    VelLogCapture();
    ~VelLogCapture();
    VelLogCapture(const VelLogCapture &) = delete;
    VelLogCapture &operator=(const VelLogCapture &) = delete;

    std::vector<Entry> entries() const;
    bool contains(int priority, const std::string &tag, const std::string &text) const;
    // Waits until a matching message was logged.
    bool waitFor(int priority, const std::string &tag, const std::string &text, long timeoutMs);
    void clear();

private:
    static void onMessage(int prio, const char *tag, const char *text, void *self);

    // Guards m_entries; m_changed waits on it. Taken inside the stand-in's
    // capture lock (the callback runs under it), never the other way round.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Entry> m_entries;
};

#endif
