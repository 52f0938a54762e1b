#ifndef VELDBUSCONNECTION_H
#define VELDBUSCONNECTION_H

#include "veldbuserror.h"
#include "veldbusmessage.h"
#include "velstring.h"

#include <memory>

class VelObject;
class VelDBusConnectionPrivate;

// A connection to a message bus, driven by the event loop of the thread
// that opened it: its socket is watched by socket notifiers and libdbus's
// timeouts run as timers of that thread, so replies and errors arrive there
// while the loop runs. Use a connection (and its copies) on that thread only.
//
// Copies share the connection; it is closed when the last copy goes or on
// disconnectFromBus().
class VelDBusConnection
{
public:
    VelDBusConnection();
    ~VelDBusConnection();
    VelDBusConnection(const VelDBusConnection &other);
    VelDBusConnection &operator=(const VelDBusConnection &other);

    // Opens a private connection to the bus at address and registers with
    // it. Not connected (with lastError() saying why) when that fails.
    static VelDBusConnection connectToBus(const VelString &address);
    // The bus of DBUS_SESSION_BUS_ADDRESS.
    static VelDBusConnection connectToSessionBus();
    // The accessibility bus: AT_SPI_BUS_ADDRESS when set, else the address
    // the session bus's org.a11y.Bus service gives.
    static VelDBusConnection connectToAccessibilityBus();

    bool isConnected() const;
    VelDBusError lastError() const;
    // The unique name the bus gave this connection (":1.42").
    VelString baseService() const;

    // Sends without waiting for a reply.
    bool send(const VelDBusMessage &message) const;
    // Sends a method call and blocks (without running the event loop) until
    // the reply, an error or timeout ms (-1: libdbus's default) have passed;
    // returns the reply or an error message.
    VelDBusMessage call(const VelDBusMessage &message, int timeout = -1) const;
    // Sends a method call and returns at once. The reply is delivered later
    // to returnMethod of receiver as a queued call, an error reply (the
    // timeout's and a lost connection's included) to errorMethod. Members are
    // written as SLOT(name(VelDBusMessage)) or plain "name(VelDBusMessage)";
    // returnMethod takes (VelDBusMessage) or nothing, errorMethod
    // (VelDBusError, VelDBusMessage), (VelDBusError) or nothing, the message
    // being the call. Nothing is delivered once receiver is destroyed. False
    // when the call could not be sent: no connection, a member the receiver
    // does not have, or an argument without a D-Bus form. When it returns
    // true, message.serial() is the serial the reply will answer.
    bool callWithCallback(const VelDBusMessage &message, VelObject *receiver,
                          const char *returnMethod, const char *errorMethod,
                          int timeout = -1) const;

    // Closes the connection for every copy. Calls still waiting get their
    // error replies.
    void disconnectFromBus();

private:
    std::shared_ptr<VelDBusConnectionPrivate> d;
};

#endif
