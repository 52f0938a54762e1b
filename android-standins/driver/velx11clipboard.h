#ifndef VELX11CLIPBOARD_H
#define VELX11CLIPBOARD_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

// The desktop's CLIPBOARD selection joined to the launcher's Android
// clipboard: text the app copies is offered to every other X program, and
// text another program copied is what the app pastes.
//
// A connection and a thread of its own serve the selection, so that other
// programs get their answer while the app's threads are busy, and no other
// code of the process ever touches that connection. Callers hand requests to
// the thread and wait a bounded time for the answer.
class VelX11Clipboard
{
public:
    enum class Fetch {
        Text,      // another program's text
        OwnedHere, // the text offered by publish() is still the desktop's
        NoText,    // nobody holds the clipboard, or the holder has no text
        Failed     // the holder did not answer in time, or answered wrongly
    };

    // Another selection than the desktop's clipboard keeps tests that share
    // an X server apart.
    explicit VelX11Clipboard(std::string selection = "CLIPBOARD")
        : m_selection(std::move(selection))
    {
    }
    ~VelX11Clipboard();
    VelX11Clipboard(const VelX11Clipboard &) = delete;
    VelX11Clipboard &operator=(const VelX11Clipboard &) = delete;

    // Opens its connection (null: $DISPLAY) and starts serving.
    bool start(const char *displayName, std::string *error);
    void stop();
    bool running() const { return m_thread.joinable(); }

    // Offers UTF-8 text to the desktop; returns at once.
    void publish(const std::string &utf8);
    // The desktop clipboard's text, waiting at most timeoutMs for its holder.
    Fetch fetch(std::string *utf8, int timeoutMs);

private:
    struct Atoms;
    struct Conversion;

    void run();
    void takeRequests(Conversion *conversion);
    void beginFetch(Conversion *conversion, std::uint64_t serial);
    void handleEvents(Conversion *conversion);
    void finishFetch(Conversion *conversion, Fetch result, std::string text);
    int msUntil(const Conversion &conversion) const;
    void wakeThread();
    // The part of fetch() that holds the slot; lock holds m_mutex.
    Fetch fetchInSlot(std::unique_lock<std::mutex> *lock,
                      std::chrono::steady_clock::time_point deadline, std::string *utf8);

    const std::string m_selection;
    // Owned by the thread once it runs (set up before it starts).
    void *m_display = nullptr; // Display *
    unsigned long m_window = 0;
    Atoms *m_atoms = nullptr;
    std::string m_offered; // what SelectionRequests are answered with
    bool m_owned = false;
    int m_wakeFd = -1;
    std::thread m_thread;

    // Guards the requests and answers below; the thread never holds it while
    // it talks to the X server.
    std::mutex m_mutex;
    std::condition_variable m_answered;
    // One fetch() caller at a time has a conversion in flight; the others
    // wait for m_fetchSlotFree, at most until their own deadlines. (A flag
    // and not a timed mutex: the timed lock's clock-based call is one that
    // ThreadSanitizer cannot follow.)
    bool m_fetchInFlight = false;
    std::condition_variable m_fetchSlotFree;
    bool m_stopping = false;
    bool m_publishPending = false;
    std::string m_publishText;
    std::uint64_t m_fetchWanted = 0; // serial of the newest fetch asked for
    std::uint64_t m_fetchDone = 0;   // serial of the newest fetch answered
    Fetch m_fetchResult = Fetch::NoText;
    std::string m_fetchText;
};

#endif
