#ifndef KEYSTROKELISTENER_H
#define KEYSTROKELISTENER_H

// A keystroke listener registered with the accessibility registry: it hears
// every key the registry is told about and consumes those its policy picks.
// While held, it leaves the registry's calls unanswered until the test
// answers them, which stands in for a slow listener without any clock.

#include "testpeer.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct HeardKey {
    unsigned type = 0; // 0 press, 1 release
    int id = 0;        // the virtual key
    unsigned hwCode = 0;
    unsigned modifiers = 0;
    int timestamp = 0;
    std::string text;
    bool isText = false;
};

class KeystrokeListener
{
public:
    explicit KeystrokeListener(const std::string &address);
    ~KeystrokeListener();

    bool isConnected() const { return m_peer.isConnected(); }
    // Registers for every key whose low modifier bits equal mask, presses
    // and releases, synchronous and pre-emptive (so the answer counts).
    bool listen(unsigned mask = 0);
    void setConsumes(std::function<bool(const HeardKey &)> policy);
    void hold(bool held);
    // Answers the held calls by the policy; returns how many.
    int answerHeld();

    std::vector<HeardKey> heard() const;
    // Waits until count keys were heard; the bound only guards a test that
    // would otherwise hang.
    bool waitHeard(size_t count, int boundMs = 10000);

private:
    DBusMessage *onCall(DBusMessage *call);
    DBusMessage *answer(DBusMessage *call, const HeardKey &key);

    TestPeer m_peer;
    std::string m_path;
    std::vector<unsigned> m_masks;
    // Guards everything below; taken alone.
    mutable std::mutex m_mutex;
    std::condition_variable m_heardChanged;
    std::function<bool(const HeardKey &)> m_consumes;
    bool m_held = false;
    std::vector<std::pair<DBusMessage *, HeardKey>> m_heldCalls;
    std::vector<HeardKey> m_heard;
};

#endif
