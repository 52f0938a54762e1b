#ifndef VELDBUSCONNECTION_P_H
#define VELDBUSCONNECTION_P_H

#include "veldbuserror.h"
#include "velobject.h"

#include <dbus/dbus.h>

#include <map>
#include <memory>
#include <vector>

class VelSocketNotifier;
class VelTimer;
struct VelDBusPendingCallback;

// Joins one libdbus connection to the event loop of the thread it was made
// in: a socket notifier per watched direction, a timer per libdbus timeout,
// and a queued dispatch whenever libdbus has incoming messages to hand out.
// libdbus calls the watch, timeout and dispatch-status functions from
// whatever thread uses the connection; only the owning thread does, so no
// lock is needed here.
//
// libdbus leaves the calls of a connection that was closed or lost without
// an answer; this class answers each of them with a Disconnected error, in
// the order they were sent, so that every call gets exactly one answer.
class VelDBusConnectionPrivate : public VelObject
{
public:
    VelDBusConnectionPrivate();
    ~VelDBusConnectionPrivate() override;

    // Takes over a connected private connection.
    void attach(DBusConnection *connection);
    void close();
    // Queues a dispatch when libdbus holds incoming messages.
    void scheduleDispatch();
    // Takes over a call sent with a reply expected (and its reference); its
    // answer goes to the callback. False when libdbus cannot watch it.
    bool track(DBusPendingCall *call, std::unique_ptr<VelDBusPendingCallback> callback);

    DBusConnection *connection = nullptr;
    VelDBusError lastError;

private:
    struct Watch {
        VelSocketNotifier *read = nullptr;
        VelSocketNotifier *write = nullptr;
    };

    static dbus_bool_t addWatch(DBusWatch *watch, void *data);
    static void removeWatch(DBusWatch *watch, void *data);
    static void toggleWatch(DBusWatch *watch, void *data);
    static dbus_bool_t addTimeout(DBusTimeout *timeout, void *data);
    static void removeTimeout(DBusTimeout *timeout, void *data);
    static void toggleTimeout(DBusTimeout *timeout, void *data);
    static void dispatchStatusChanged(DBusConnection *connection, DBusDispatchStatus status,
                                      void *data);
    static void wakeUpMain(void *data);

    void handleWatch(DBusWatch *watch, unsigned int flags);
    void handleTimeout(DBusTimeout *timeout);
    void dispatch();
    void updateWatch(DBusWatch *watch);
    void updateTimeout(DBusTimeout *timeout);
    static void pendingCallDone(DBusPendingCall *call, void *data);
    void failPendingCallsIfDisconnected();

    struct Pending {
        DBusPendingCall *call;
        std::unique_ptr<VelDBusPendingCallback> callback;
    };

    std::map<DBusWatch *, Watch> m_watches;
    std::map<DBusTimeout *, VelTimer *> m_timeouts;
    // Calls waiting for their answer, in the order they were sent.
    std::vector<Pending> m_pending;
    bool m_dispatchQueued = false;
};

#endif
