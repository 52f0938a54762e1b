#include "veldbusconnection.h"

#include "velabstracteventdispatcher.h"
#include "veldbusargument.h"
#include "veldbusconnection_p.h"
#include "veldbusmessage_p.h"
#include "velenvironment.h"
#include "vellogging.h"
#include "velmetaobject.h"
#include "velpointer.h"
#include "velsocketnotifier.h"
#include "veltimer.h"

#include <cctype>

namespace
{

const char *const errorDisconnected = "org.freedesktop.DBus.Error.Disconnected";

void registerTypes()
{
    static const bool once = [] {
        velRegisterMetaType<VelDBusMessage>("VelDBusMessage");
        velRegisterMetaType<VelDBusError>("VelDBusError");
        velRegisterMetaType<VelDBusArgument>("VelDBusArgument");
        return true;
    }();
    VEL_UNUSED(once);
}

VelDBusError takeError(DBusError &error)
{
    VelDBusError out(VelString::fromUtf8(error.name ? error.name : errorDisconnected),
                     VelString::fromUtf8(error.message ? error.message : ""));
    dbus_error_free(&error);
    return out;
}

// A member as callWithCallback receives it: SLOT(...) puts a digit before
// the signature.
VelMetaMethod findMember(VelObject *receiver, const char *member)
{
    if (!receiver || !member || !*member)
        return VelMetaMethod();
    if (std::isdigit(static_cast<unsigned char>(*member)))
        ++member;
    const VelMetaObject *meta = receiver->metaObject();
    const int index = meta->indexOfMethod(VelMetaObject::normalizedSignature(member).constData());
    return index < 0 ? VelMetaMethod() : meta->method(index);
}

bool takesReply(const VelMetaMethod &method)
{
    const VelByteArrayList types = method.parameterTypes();
    return types.empty() || (types.size() == 1 && types[0] == "VelDBusMessage");
}

bool takesError(const VelMetaMethod &method)
{
    const VelByteArrayList types = method.parameterTypes();
    if (types.empty())
        return true;
    if (types[0] != "VelDBusError")
        return false;
    return types.size() == 1 || (types.size() == 2 && types[1] == "VelDBusMessage");
}

} // namespace

// What a pending call needs to deliver its answer.
struct VelDBusPendingCallback {
    VelPointer<VelObject> receiver;
    VelMetaMethod returnMethod;
    VelMetaMethod errorMethod;
    VelDBusMessage request;
};

namespace
{

void deliverReply(VelDBusPendingCallback *callback, const VelDBusMessage &reply)
{
    VelObject *receiver = callback->receiver.data();
    if (!receiver)
        return;
    if (reply.type() == VelDBusMessage::ErrorMessage) {
        const VelDBusError error(reply);
        const VelMetaMethod &m = callback->errorMethod;
        if (!m.isValid()) {
            velWarning() << "VelDBusConnection: unhandled error reply" << error.name()
                         << error.message();
            return;
        }
        switch (m.parameterCount()) {
        case 0:
            m.invoke(receiver, Vel::QueuedConnection, VelGenericReturnArgument());
            break;
        case 1:
            m.invoke(receiver, Vel::QueuedConnection, VelGenericReturnArgument(),
                     VEL_ARG(VelDBusError, error));
            break;
        default:
            m.invoke(receiver, Vel::QueuedConnection, VelGenericReturnArgument(),
                     VEL_ARG(VelDBusError, error), VEL_ARG(VelDBusMessage, callback->request));
            break;
        }
        return;
    }
    const VelMetaMethod &m = callback->returnMethod;
    if (m.parameterCount() == 0)
        m.invoke(receiver, Vel::QueuedConnection, VelGenericReturnArgument());
    else
        m.invoke(receiver, Vel::QueuedConnection, VelGenericReturnArgument(),
                 VEL_ARG(VelDBusMessage, reply));
}

} // namespace

// --- VelDBusConnectionPrivate ----------------------------------------------

VelDBusConnectionPrivate::VelDBusConnectionPrivate() = default;

VelDBusConnectionPrivate::~VelDBusConnectionPrivate()
{
    // Receivers may outlive the connection; nothing is delivered to them
    // from a connection that is gone.
    for (Pending &p : m_pending) {
        dbus_pending_call_cancel(p.call);
        dbus_pending_call_unref(p.call);
    }
    m_pending.clear();
    close();
    if (!connection)
        return;
    // Clearing the functions runs the old remove functions on what is still
    // watched, so this object must be whole while it happens.
    dbus_connection_set_dispatch_status_function(connection, nullptr, nullptr, nullptr);
    dbus_connection_set_wakeup_main_function(connection, nullptr, nullptr, nullptr);
    dbus_connection_set_watch_functions(connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_set_timeout_functions(connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_unref(connection);
    for (auto &entry : m_watches) {
        delete entry.second.read;
        delete entry.second.write;
    }
    for (auto &entry : m_timeouts)
        delete entry.second;
}

void VelDBusConnectionPrivate::attach(DBusConnection *c)
{
    connection = c;
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    dbus_connection_set_watch_functions(connection, &addWatch, &removeWatch, &toggleWatch, this,
                                        nullptr);
    dbus_connection_set_timeout_functions(connection, &addTimeout, &removeTimeout, &toggleTimeout,
                                          this, nullptr);
    dbus_connection_set_dispatch_status_function(connection, &dispatchStatusChanged, this, nullptr);
    dbus_connection_set_wakeup_main_function(connection, &wakeUpMain, this, nullptr);
    // Messages read while registering with the bus are waiting already.
    scheduleDispatch();
}

void VelDBusConnectionPrivate::close()
{
    if (connection && dbus_connection_get_is_connected(connection))
        dbus_connection_close(connection);
    if (connection)
        scheduleDispatch();
    failPendingCallsIfDisconnected();
}

bool VelDBusConnectionPrivate::track(DBusPendingCall *call,
                                     std::unique_ptr<VelDBusPendingCallback> callback)
{
    if (!dbus_pending_call_set_notify(call, &pendingCallDone, this, nullptr)) {
        dbus_pending_call_cancel(call);
        dbus_pending_call_unref(call);
        return false;
    }
    m_pending.push_back(Pending{call, std::move(callback)});
    return true;
}

void VelDBusConnectionPrivate::pendingCallDone(DBusPendingCall *call, void *data)
{
    auto *self = static_cast<VelDBusConnectionPrivate *>(data);
    for (auto it = self->m_pending.begin(); it != self->m_pending.end(); ++it) {
        if (it->call != call)
            continue;
        Pending done = std::move(*it);
        self->m_pending.erase(it);
        if (DBusMessage *reply = dbus_pending_call_steal_reply(call))
            deliverReply(done.callback.get(), VelDBusMessagePrivate::adopt(reply));
        dbus_pending_call_unref(call);
        return;
    }
}

void VelDBusConnectionPrivate::failPendingCallsIfDisconnected()
{
    if (!connection || dbus_connection_get_is_connected(connection))
        return;
    std::vector<Pending> lost;
    lost.swap(m_pending);
    for (Pending &p : lost) {
        dbus_pending_call_cancel(p.call);
        dbus_pending_call_unref(p.call);
        DBusMessage *request = VelDBusMessagePrivate::native(p.callback->request);
        if (DBusMessage *error = request ? dbus_message_new_error(request, errorDisconnected,
                                                                  "the connection was closed")
                                         : nullptr)
            deliverReply(p.callback.get(), VelDBusMessagePrivate::adopt(error));
    }
}

dbus_bool_t VelDBusConnectionPrivate::addWatch(DBusWatch *watch, void *data)
{
    auto *self = static_cast<VelDBusConnectionPrivate *>(data);
    self->m_watches[watch] = Watch();
    self->updateWatch(watch);
    return TRUE;
}

void VelDBusConnectionPrivate::removeWatch(DBusWatch *watch, void *data)
{
    auto *self = static_cast<VelDBusConnectionPrivate *>(data);
    const auto it = self->m_watches.find(watch);
    if (it == self->m_watches.end())
        return;
    // libdbus may remove a watch from inside its own handler, that is from
    // inside the notifier's signal: the notifier goes later.
    for (VelSocketNotifier *n : {it->second.read, it->second.write}) {
        if (n) {
            n->setEnabled(false);
            n->deleteLater();
        }
    }
    self->m_watches.erase(it);
}

void VelDBusConnectionPrivate::toggleWatch(DBusWatch *watch, void *data)
{
    static_cast<VelDBusConnectionPrivate *>(data)->updateWatch(watch);
}

void VelDBusConnectionPrivate::updateWatch(DBusWatch *watch)
{
    const auto it = m_watches.find(watch);
    if (it == m_watches.end())
        return;
    const int fd = dbus_watch_get_unix_fd(watch);
    const unsigned int flags = dbus_watch_get_flags(watch);
    const bool enabled = dbus_watch_get_enabled(watch);
    Watch &w = it->second;
    if ((flags & DBUS_WATCH_READABLE) && !w.read) {
        w.read = new VelSocketNotifier(fd, VelSocketNotifier::Read, this);
        VelObject::connect(w.read, &VelSocketNotifier::activated, this,
                           [this, watch] { handleWatch(watch, DBUS_WATCH_READABLE); });
    }
    if ((flags & DBUS_WATCH_WRITABLE) && !w.write) {
        w.write = new VelSocketNotifier(fd, VelSocketNotifier::Write, this);
        VelObject::connect(w.write, &VelSocketNotifier::activated, this,
                           [this, watch] { handleWatch(watch, DBUS_WATCH_WRITABLE); });
    }
    if (w.read)
        w.read->setEnabled(enabled);
    if (w.write)
        w.write->setEnabled(enabled);
}

void VelDBusConnectionPrivate::handleWatch(DBusWatch *watch, unsigned int flags)
{
    if (m_watches.find(watch) == m_watches.end() || !connection)
        return;
    // Keeps the connection alive should a handler drop the last copy.
    dbus_connection_ref(connection);
    DBusConnection *c = connection;
    dbus_watch_handle(watch, flags);
    scheduleDispatch();
    failPendingCallsIfDisconnected();
    dbus_connection_unref(c);
}

dbus_bool_t VelDBusConnectionPrivate::addTimeout(DBusTimeout *timeout, void *data)
{
    auto *self = static_cast<VelDBusConnectionPrivate *>(data);
    auto *timer = new VelTimer(self);
    self->m_timeouts[timeout] = timer;
    VelObject::connect(timer, &VelTimer::timeout, self,
                       [self, timeout] { self->handleTimeout(timeout); });
    self->updateTimeout(timeout);
    return TRUE;
}

void VelDBusConnectionPrivate::removeTimeout(DBusTimeout *timeout, void *data)
{
    auto *self = static_cast<VelDBusConnectionPrivate *>(data);
    const auto it = self->m_timeouts.find(timeout);
    if (it == self->m_timeouts.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    self->m_timeouts.erase(it);
}

void VelDBusConnectionPrivate::toggleTimeout(DBusTimeout *timeout, void *data)
{
    static_cast<VelDBusConnectionPrivate *>(data)->updateTimeout(timeout);
}

void VelDBusConnectionPrivate::updateTimeout(DBusTimeout *timeout)
{
    const auto it = m_timeouts.find(timeout);
    if (it == m_timeouts.end())
        return;
    if (dbus_timeout_get_enabled(timeout)) {
        it->second->setTimerType(Vel::PreciseTimer);
        it->second->start(dbus_timeout_get_interval(timeout));
    } else {
        it->second->stop();
    }
}

void VelDBusConnectionPrivate::handleTimeout(DBusTimeout *timeout)
{
    if (m_timeouts.find(timeout) == m_timeouts.end() || !connection)
        return;
    dbus_connection_ref(connection);
    DBusConnection *c = connection;
    // A pending call's timeout queues its error reply for the dispatch.
    dbus_timeout_handle(timeout);
    scheduleDispatch();
    dbus_connection_unref(c);
}

void VelDBusConnectionPrivate::dispatchStatusChanged(DBusConnection *, DBusDispatchStatus status,
                                                     void *data)
{
    if (status == DBUS_DISPATCH_DATA_REMAINS)
        static_cast<VelDBusConnectionPrivate *>(data)->scheduleDispatch();
}

void VelDBusConnectionPrivate::wakeUpMain(void *data)
{
    auto *self = static_cast<VelDBusConnectionPrivate *>(data);
    if (VelAbstractEventDispatcher *dispatcher =
            VelAbstractEventDispatcher::instance(self->thread()))
        dispatcher->wakeUp();
}

void VelDBusConnectionPrivate::scheduleDispatch()
{
    // Dispatching runs handlers, so it never happens inside a libdbus call
    // (the status function is called with the connection in use): it is
    // queued, once.
    if (m_dispatchQueued || !connection)
        return;
    if (dbus_connection_get_dispatch_status(connection) != DBUS_DISPATCH_DATA_REMAINS)
        return;
    m_dispatchQueued = true;
    VelMetaObject::invokeMethod(
        this, [this] { dispatch(); }, Vel::QueuedConnection);
}

void VelDBusConnectionPrivate::dispatch()
{
    m_dispatchQueued = false;
    if (!connection)
        return;
    dbus_connection_ref(connection);
    DBusConnection *c = connection;
    while (dbus_connection_dispatch(c) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    failPendingCallsIfDisconnected();
    dbus_connection_unref(c);
}

// --- VelDBusConnection -----------------------------------------------------

VelDBusConnection::VelDBusConnection() = default;
VelDBusConnection::~VelDBusConnection() = default;
VelDBusConnection::VelDBusConnection(const VelDBusConnection &other) = default;
VelDBusConnection &VelDBusConnection::operator=(const VelDBusConnection &other) = default;

VelDBusConnection VelDBusConnection::connectToBus(const VelString &address)
{
    registerTypes();
    VelDBusConnection out;
    out.d = std::make_shared<VelDBusConnectionPrivate>();
    const VelByteArray utf8 = address.toUtf8();
    if (utf8.isEmpty()) {
        out.d->lastError = VelDBusError("org.freedesktop.DBus.Error.BadAddress",
                                        VelString("no bus address given"));
        return out;
    }
    dbus_threads_init_default();
    DBusError error;
    dbus_error_init(&error);
    DBusConnection *c = dbus_connection_open_private(utf8.constData(), &error);
    if (!c) {
        out.d->lastError = takeError(error);
        return out;
    }
    if (!dbus_bus_register(c, &error)) {
        out.d->lastError = takeError(error);
        dbus_connection_close(c);
        dbus_connection_unref(c);
        return out;
    }
    out.d->attach(c);
    return out;
}

VelDBusConnection VelDBusConnection::connectToSessionBus()
{
    return connectToBus(VelString::fromUtf8(velgetenv("DBUS_SESSION_BUS_ADDRESS")));
}

VelDBusConnection VelDBusConnection::connectToAccessibilityBus()
{
    const VelByteArray direct = velgetenv("AT_SPI_BUS_ADDRESS");
    if (!direct.isEmpty())
        return connectToBus(VelString::fromUtf8(direct));
    const VelDBusConnection session = connectToSessionBus();
    if (!session.isConnected())
        return session;
    const VelDBusMessage ask = VelDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                                "org.a11y.Bus", "GetAddress");
    const VelDBusMessage reply = session.call(ask, 5000);
    const VelList<VelVariant> args = reply.arguments();
    if (reply.type() != VelDBusMessage::ReplyMessage || args.isEmpty() ||
        args.first().userType() != VelMetaType::VelStringType) {
        VelDBusConnection failed;
        failed.d = std::make_shared<VelDBusConnectionPrivate>();
        failed.d->lastError = reply.type() == VelDBusMessage::ErrorMessage
                                  ? VelDBusError(reply)
                                  : VelDBusError("org.freedesktop.DBus.Error.InvalidArgs",
                                                 VelString("no accessibility bus address"));
        return failed;
    }
    return connectToBus(args.first().toString());
}

bool VelDBusConnection::isConnected() const
{
    return d && d->connection && dbus_connection_get_is_connected(d->connection);
}

VelDBusError VelDBusConnection::lastError() const
{
    return d ? d->lastError : VelDBusError();
}

VelString VelDBusConnection::baseService() const
{
    if (!isConnected())
        return VelString();
    const char *name = dbus_bus_get_unique_name(d->connection);
    return name ? VelString::fromUtf8(name) : VelString();
}

bool VelDBusConnection::send(const VelDBusMessage &message) const
{
    if (!isConnected())
        return false;
    DBusMessage *m = VelDBusMessagePrivate::prepareForSending(message);
    if (!m)
        return false;
    const bool sent = dbus_connection_send(d->connection, m, nullptr);
    dbus_message_unref(m);
    return sent;
}

VelDBusMessage VelDBusConnection::call(const VelDBusMessage &message, int timeout) const
{
    if (!isConnected())
        return VelDBusMessage();
    DBusMessage *m = VelDBusMessagePrivate::prepareForSending(message);
    if (!m)
        return VelDBusMessage();
    DBusError error;
    dbus_error_init(&error);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(
        d->connection, m, timeout < 0 ? DBUS_TIMEOUT_USE_DEFAULT : timeout, &error);
    if (!reply) {
        const VelDBusError e = takeError(error);
        reply = dbus_message_new_error(m, e.name().toUtf8().constData(),
                                       e.message().toUtf8().constData());
    }
    dbus_message_unref(m);
    // The blocking wait may have read other messages that now wait for the
    // event loop.
    d->scheduleDispatch();
    return reply ? VelDBusMessagePrivate::adopt(reply) : VelDBusMessage();
}

bool VelDBusConnection::callWithCallback(const VelDBusMessage &message, VelObject *receiver,
                                         const char *returnMethod, const char *errorMethod,
                                         int timeout) const
{
    if (!isConnected() || message.type() != VelDBusMessage::MethodCallMessage || !receiver)
        return false;
    const VelMetaMethod onReply = findMember(receiver, returnMethod);
    const VelMetaMethod onError = errorMethod ? findMember(receiver, errorMethod) : VelMetaMethod();
    if (!onReply.isValid() || !takesReply(onReply) || (errorMethod && !onError.isValid()) ||
        (onError.isValid() && !takesError(onError))) {
        velWarning("VelDBusConnection::callWithCallback: %s has no member %s or %s taking what "
                   "D-Bus delivers",
                   receiver->metaObject()->className(), returnMethod ? returnMethod : "(none)",
                   errorMethod ? errorMethod : "(none)");
        return false;
    }
    DBusMessage *m = VelDBusMessagePrivate::prepareForSending(message);
    if (!m)
        return false;
    DBusPendingCall *pending = nullptr;
    const bool queued = dbus_connection_send_with_reply(
        d->connection, m, &pending, timeout < 0 ? DBUS_TIMEOUT_USE_DEFAULT : timeout);
    dbus_message_unref(m);
    // A connection that dropped since isConnected() hands back no pending call.
    if (!queued || !pending)
        return false;
    return d->track(pending, std::make_unique<VelDBusPendingCallback>(
                                 VelDBusPendingCallback{receiver, onReply, onError, message}));
}

void VelDBusConnection::disconnectFromBus()
{
    if (d)
        d->close();
}
