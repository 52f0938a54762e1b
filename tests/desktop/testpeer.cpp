#include "testpeer.h"

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

DBusMessage *TestPeer::call(DBusMessage *message, int timeoutMs)
{
    // libdbus warns about a blocking call on a lost connection.
    DBusMessage *reply =
        m_connection && dbus_connection_get_is_connected(m_connection)
            ? dbus_connection_send_with_reply_and_block(m_connection, message, timeoutMs, nullptr)
            : nullptr;
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
