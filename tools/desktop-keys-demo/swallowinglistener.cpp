#include "swallowinglistener.h"

#include <dbus/dbus.h>

#include <cstdio>

namespace
{

const char listenerPath[] = "/org/vel/demo/keylistener";

bool readText(DBusMessage *call, std::string &text, unsigned &type)
{
    DBusMessageIter args, record;
    if (!dbus_message_iter_init(call, &args) ||
        dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_STRUCT)
        return false;
    dbus_message_iter_recurse(&args, &record);
    if (dbus_message_iter_get_arg_type(&record) != DBUS_TYPE_UINT32)
        return false;
    dbus_uint32_t kind = 0;
    dbus_message_iter_get_basic(&record, &kind);
    type = kind;
    for (int field = 1; field < 5; ++field)
        dbus_message_iter_next(&record);
    dbus_message_iter_next(&record);
    if (dbus_message_iter_get_arg_type(&record) != DBUS_TYPE_STRING)
        return false;
    const char *s = "";
    dbus_message_iter_get_basic(&record, &s);
    text = s;
    return true;
}

} // namespace

DBusHandlerResult SwallowingListener::onMessage(DBusConnection *connection, DBusMessage *message,
                                                void *data)
{
    if (!dbus_message_is_method_call(message, "org.a11y.atspi.DeviceEventListener", "NotifyEvent"))
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    const auto *listener = static_cast<SwallowingListener *>(data);
    std::string text;
    unsigned type = 0;
    const bool known = readText(message, text, type);
    const bool swallow =
        known && text.size() == 1 && listener->m_swallow.find(text[0]) != std::string::npos;
    if (known && type == 0)
        std::printf("listener: %s \"%s\"\n", swallow ? "swallowed" : "let through", text.c_str());
    std::fflush(stdout);
    DBusMessage *reply = dbus_message_new_method_return(message);
    const dbus_bool_t consumed = swallow;
    dbus_message_append_args(reply, DBUS_TYPE_BOOLEAN, &consumed, DBUS_TYPE_INVALID);
    dbus_connection_send(connection, reply, nullptr);
    dbus_message_unref(reply);
    return DBUS_HANDLER_RESULT_HANDLED;
}

bool SwallowingListener::registerListener()
{
    DBusConnection *connection = m_connection;
    DBusMessage *call = dbus_message_new_method_call(
        "org.a11y.atspi.Registry", "/org/a11y/atspi/registry/deviceeventcontroller",
        "org.a11y.atspi.DeviceEventController", "RegisterKeystrokeListener");
    DBusMessageIter it, keys, mode;
    dbus_message_iter_init_append(call, &it);
    const char *path = listenerPath;
    dbus_message_iter_append_basic(&it, DBUS_TYPE_OBJECT_PATH, &path);
    // No key set: every key; mask 0: keys typed without modifiers; type 0:
    // presses and releases; synchronous and pre-emptive, so that the answer
    // decides.
    dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "(iisi)", &keys);
    dbus_message_iter_close_container(&it, &keys);
    const dbus_uint32_t mask = 0, types = 0;
    dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &mask);
    dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &types);
    const dbus_bool_t synchronous = TRUE, preemptive = TRUE, global = FALSE;
    dbus_message_iter_open_container(&it, DBUS_TYPE_STRUCT, nullptr, &mode);
    dbus_message_iter_append_basic(&mode, DBUS_TYPE_BOOLEAN, &synchronous);
    dbus_message_iter_append_basic(&mode, DBUS_TYPE_BOOLEAN, &preemptive);
    dbus_message_iter_append_basic(&mode, DBUS_TYPE_BOOLEAN, &global);
    dbus_message_iter_close_container(&it, &mode);
    DBusError error;
    dbus_error_init(&error);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(connection, call, 5000, &error);
    dbus_message_unref(call);
    if (!reply) {
        std::fprintf(stderr, "listener: the registry refused the listener: %s\n",
                     error.message ? error.message : "no answer");
        dbus_error_free(&error);
        return false;
    }
    // The registry answers false even when the listener was registered.
    dbus_message_unref(reply);
    return true;
}

SwallowingListener::SwallowingListener(const std::string &address, const std::string &swallow)
    : m_swallow(swallow)
{
    DBusError error;
    dbus_error_init(&error);
    m_connection = dbus_connection_open_private(address.c_str(), &error);
    if (!m_connection || !dbus_bus_register(m_connection, &error)) {
        std::fprintf(stderr, "listener: cannot reach the accessibility bus: %s\n",
                     error.message ? error.message : "");
        dbus_error_free(&error);
        return;
    }
    dbus_connection_set_exit_on_disconnect(m_connection, FALSE);
    dbus_connection_add_filter(m_connection, &SwallowingListener::onMessage, this, nullptr);
    m_listening = registerListener();
    if (m_listening)
        std::printf("listener: swallowing \"%s\"\n", swallow.c_str());
    std::fflush(stdout);
}

SwallowingListener::~SwallowingListener()
{
    if (!m_connection)
        return;
    dbus_connection_close(m_connection);
    dbus_connection_unref(m_connection);
}

void SwallowingListener::run()
{
    // The bound of a round only limits how long stop() takes.
    while (m_listening && !m_stop && dbus_connection_read_write_dispatch(m_connection, 100)) {
    }
}
