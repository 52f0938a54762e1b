#ifndef SWALLOWINGLISTENER_H
#define SWALLOWINGLISTENER_H

#include <dbus/dbus.h>

#include <atomic>
#include <string>

// A keystroke listener, the part an assistive technology plays: registered
// with the accessibility registry on the bus at address, it prints every key
// press it is told about and consumes the keys whose text is one of swallow.
// Written on libdbus directly: it answers the registry's calls, which the
// host's D-Bus library does not serve.
class SwallowingListener
{
public:
    // Connects and registers; isListening() says whether both worked.
    SwallowingListener(const std::string &address, const std::string &swallow);
    ~SwallowingListener();
    SwallowingListener(const SwallowingListener &) = delete;
    SwallowingListener &operator=(const SwallowingListener &) = delete;

    bool isListening() const { return m_listening; }
    // Answers the registry until stop() (any thread) or the bus goes.
    void run();
    void stop() { m_stop = true; }

private:
    static DBusHandlerResult onMessage(DBusConnection *connection, DBusMessage *message,
                                       void *data);
    bool registerListener();

    DBusConnection *m_connection = nullptr;
    std::string m_swallow;
    bool m_listening = false;
    std::atomic<bool> m_stop{false};
};

#endif
