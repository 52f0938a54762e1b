#ifndef TESTPEER_H
#define TESTPEER_H

// A D-Bus peer of a test's own, on a thread of its own and written straight
// on libdbus, so that it is independent of the library under test: it may
// own names and answers method calls through a handler. A handler that
// returns null keeps the call unanswered; the test answers it later with
// reply(), from its own thread.

#include <dbus/dbus.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class TestPeer
{
public:
    // Returns the reply to send (the peer unrefs it), or null for none yet.
    using Handler = std::function<DBusMessage *(DBusMessage *call)>;

    explicit TestPeer(const std::string &address);
    ~TestPeer();
    TestPeer(const TestPeer &) = delete;
    TestPeer &operator=(const TestPeer &) = delete;

    bool isConnected() const { return m_connection != nullptr; }
    std::string uniqueName() const;
    bool requestName(const char *name);
    // Set before start().
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    void start();
    // Sends a reply (taking it over); any thread.
    void reply(DBusMessage *message);
    // A blocking call from the test's thread; returns the reply (or null).
    DBusMessage *call(DBusMessage *message, int timeoutMs = 5000);

private:
    static DBusHandlerResult filter(DBusConnection *, DBusMessage *message, void *data);
    void run();

    DBusConnection *m_connection = nullptr;
    Handler m_handler;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

#endif
