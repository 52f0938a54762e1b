#include "testpeer.h"

#include <future>

TestPeer::TestPeer(const std::string &address)
{
    dbus_threads_init_default();
    DBusConnection *c = dbus_connection_open_private(address.c_str(), nullptr);
    if (!c)
        return;
    if (!dbus_bus_register(c, nullptr)) {
        dbus_connection_close(c);
        dbus_connection_unref(c);
        return;
    }
    dbus_connection_set_exit_on_disconnect(c, FALSE);
    m_connection = c;
}

TestPeer::~TestPeer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_connection) {
        dbus_connection_close(m_connection);
        dbus_connection_unref(m_connection);
    }
}

std::string TestPeer::uniqueName() const
{
    const char *name = m_connection ? dbus_bus_get_unique_name(m_connection) : nullptr;
    return name ? name : "";
}

bool TestPeer::requestName(const char *name)
{
    return m_connection && dbus_bus_request_name(m_connection, name, DBUS_NAME_FLAG_DO_NOT_QUEUE,
                                                 nullptr) == DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER;
}

void TestPeer::start()
{
    if (!m_connection)
        return;
    dbus_connection_add_filter(m_connection, &TestPeer::filter, this, nullptr);
    m_thread = std::thread([this] { run(); });
}

void TestPeer::reply(DBusMessage *message)
{
    if (!message)
        return;
    if (m_connection) {
        dbus_connection_send(m_connection, message, nullptr);
        dbus_connection_flush(m_connection);
    }
    dbus_message_unref(message);
}

namespace
{
// The answer may come on the peer's thread before the notify function is
// set, or through it afterwards: whichever sees it first hands it over.
struct Answer {
    std::promise<DBusMessage *> promise;
    std::atomic<bool> given{false};
    void give(DBusPendingCall *pending)
    {
        if (!given.exchange(true))
            promise.set_value(dbus_pending_call_steal_reply(pending));
    }
};

void fulfil(DBusPendingCall *pending, void *data)
{
    static_cast<Answer *>(data)->give(pending);
}
} // namespace

DBusMessage *TestPeer::call(DBusMessage *message, int timeoutMs)
{
    DBusMessage *reply = nullptr;
    // libdbus warns about a call on a lost connection.
    if (!m_connection || !dbus_connection_get_is_connected(m_connection)) {
    } else if (!m_thread.joinable()) {
        reply =
            dbus_connection_send_with_reply_and_block(m_connection, message, timeoutMs, nullptr);
    } else {
        // Once the peer's thread runs, it alone reads and dispatches: a
        // blocking call here would read the calls meant for the peer's
        // handler and leave them waiting until it returned.
        DBusPendingCall *pending = nullptr;
        Answer answer;
        std::future<DBusMessage *> result = answer.promise.get_future();
        if (dbus_connection_send_with_reply(m_connection, message, &pending, timeoutMs) &&
            pending) {
            dbus_pending_call_set_notify(pending, &fulfil, &answer, nullptr);
            if (dbus_pending_call_get_completed(pending))
                answer.give(pending);
            // libdbus answers a timed-out call itself, so the wait ends.
            reply = result.get();
            dbus_pending_call_set_notify(pending, nullptr, nullptr, nullptr);
            dbus_pending_call_unref(pending);
        }
    }
    dbus_message_unref(message);
    return reply;
}

DBusHandlerResult TestPeer::filter(DBusConnection *, DBusMessage *message, void *data)
{
    auto *self = static_cast<TestPeer *>(data);
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL || !self->m_handler)
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    self->reply(self->m_handler(message));
    return DBUS_HANDLER_RESULT_HANDLED;
}

void TestPeer::run()
{
    // The bound of each round only limits how long stopping takes.
    while (!m_stop && dbus_connection_read_write_dispatch(m_connection, 20)) {
    }
}
