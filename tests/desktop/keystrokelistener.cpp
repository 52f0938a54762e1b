#include "keystrokelistener.h"

#include <chrono>
#include <cstring>

namespace
{

const char registryService[] = "org.a11y.atspi.Registry";
const char controllerPath[] = "/org/a11y/atspi/registry/deviceeventcontroller";
const char controllerInterface[] = "org.a11y.atspi.DeviceEventController";

bool readKey(DBusMessage *call, HeardKey &key)
{
    DBusMessageIter args, record;
    if (!dbus_message_iter_init(call, &args) ||
        dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_STRUCT)
        return false;
    dbus_message_iter_recurse(&args, &record);
    dbus_uint32_t u = 0;
    dbus_int32_t i = 0;
    const char *s = "";
    dbus_bool_t b = FALSE;
    const int expected[] = {DBUS_TYPE_UINT32, DBUS_TYPE_INT32,  DBUS_TYPE_UINT32, DBUS_TYPE_UINT32,
                            DBUS_TYPE_INT32,  DBUS_TYPE_STRING, DBUS_TYPE_BOOLEAN};
    for (int field = 0; field < 7; ++field) {
        if (dbus_message_iter_get_arg_type(&record) != expected[field])
            return false;
        switch (field) {
        case 0:
            dbus_message_iter_get_basic(&record, &u);
            key.type = u;
            break;
        case 1:
            dbus_message_iter_get_basic(&record, &i);
            key.id = i;
            break;
        case 2:
            dbus_message_iter_get_basic(&record, &u);
            key.hwCode = u;
            break;
        case 3:
            dbus_message_iter_get_basic(&record, &u);
            key.modifiers = u;
            break;
        case 4:
            dbus_message_iter_get_basic(&record, &i);
            key.timestamp = i;
            break;
        case 5:
            dbus_message_iter_get_basic(&record, &s);
            key.text = s;
            break;
        case 6:
            dbus_message_iter_get_basic(&record, &b);
            key.isText = b;
            break;
        }
        dbus_message_iter_next(&record);
    }
    return true;
}

DBusMessage *keystrokeCall(const char *method, const char *path, unsigned mask, bool withMode)
{
    DBusMessage *m =
        dbus_message_new_method_call(registryService, controllerPath, controllerInterface, method);
    DBusMessageIter it, keys, mode;
    dbus_message_iter_init_append(m, &it);
    dbus_message_iter_append_basic(&it, DBUS_TYPE_OBJECT_PATH, &path);
    // No key definitions: every key.
    dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "(iisi)", &keys);
    dbus_message_iter_close_container(&it, &keys);
    const dbus_uint32_t m32 = mask;
    const dbus_uint32_t bothTypes = 0;
    dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &m32);
    dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &bothTypes);
    if (withMode) {
        const dbus_bool_t synchronous = TRUE, preemptive = TRUE, global = FALSE;
        dbus_message_iter_open_container(&it, DBUS_TYPE_STRUCT, nullptr, &mode);
        dbus_message_iter_append_basic(&mode, DBUS_TYPE_BOOLEAN, &synchronous);
        dbus_message_iter_append_basic(&mode, DBUS_TYPE_BOOLEAN, &preemptive);
        dbus_message_iter_append_basic(&mode, DBUS_TYPE_BOOLEAN, &global);
        dbus_message_iter_close_container(&it, &mode);
    }
    return m;
}

DBusMessage *booleanReply(DBusMessage *call, bool consumed)
{
    DBusMessage *reply = dbus_message_new_method_return(call);
    const dbus_bool_t b = consumed;
    dbus_message_append_args(reply, DBUS_TYPE_BOOLEAN, &b, DBUS_TYPE_INVALID);
    return reply;
}

} // namespace

KeystrokeListener::KeystrokeListener(const std::string &address) : m_peer(address)
{
    static std::atomic<int> serial{0};
    m_path = "/org/vel/test/keystrokelistener" + std::to_string(++serial);
    m_peer.setHandler([this](DBusMessage *call) { return onCall(call); });
    m_peer.start();
}

KeystrokeListener::~KeystrokeListener()
{
    // The registry waits for held calls; answering them leaves it free for
    // the next test.
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = false;
    }
    answerHeld();
    // Closing the connection would remove the listener as well; leaving
    // explicitly spares the registry a call to a listener that is gone.
    for (unsigned mask : m_masks) {
        if (DBusMessage *r = m_peer.call(
                keystrokeCall("DeregisterKeystrokeListener", m_path.c_str(), mask, false)))
            dbus_message_unref(r);
    }
}

bool KeystrokeListener::listen(unsigned mask)
{
    // The registry answers false even when it registered the listener: only
    // an error reply means failure.
    DBusMessage *reply =
        m_peer.call(keystrokeCall("RegisterKeystrokeListener", m_path.c_str(), mask, true));
    if (!reply)
        return false;
    const bool ok = dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_METHOD_RETURN;
    dbus_message_unref(reply);
    if (ok)
        m_masks.push_back(mask);
    return ok;
}

void KeystrokeListener::setConsumes(std::function<bool(const HeardKey &)> policy)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_consumes = std::move(policy);
}

void KeystrokeListener::hold(bool held)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_held = held;
}

int KeystrokeListener::answerHeld()
{
    std::vector<std::pair<DBusMessage *, HeardKey>> calls;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        calls.swap(m_heldCalls);
    }
    for (auto &entry : calls) {
        m_peer.reply(answer(entry.first, entry.second));
        dbus_message_unref(entry.first);
    }
    return int(calls.size());
}

std::vector<HeardKey> KeystrokeListener::heard() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_heard;
}

bool KeystrokeListener::waitHeard(size_t count, int boundMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_heardChanged.wait_for(lock, std::chrono::milliseconds(boundMs),
                                   [&] { return m_heard.size() >= count; });
}

DBusMessage *KeystrokeListener::onCall(DBusMessage *call)
{
    if (!dbus_message_is_method_call(call, "org.a11y.atspi.DeviceEventListener", "NotifyEvent"))
        return dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, "not a listener call");
    HeardKey key;
    if (!readKey(call, key))
        return dbus_message_new_error(call, DBUS_ERROR_INVALID_ARGS, "unexpected record");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_heard.push_back(key);
    m_heardChanged.notify_all();
    if (m_held) {
        m_heldCalls.emplace_back(dbus_message_ref(call), key);
        return nullptr;
    }
    return booleanReply(call, m_consumes && m_consumes(key));
}

DBusMessage *KeystrokeListener::answer(DBusMessage *call, const HeardKey &key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return booleanReply(call, m_consumes && m_consumes(key));
}
