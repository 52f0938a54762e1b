#include "veldbusmessage.h"

#include "veldbusargument_p.h"
#include "veldbusmessage_p.h"
#include "veldbusmetatype.h"
#include "vellogging.h"

namespace
{

VelString fromNullable(const char *text)
{
    return text ? VelString::fromUtf8(text) : VelString();
}

bool writeArguments(DBusMessage *message, const VelList<VelVariant> &arguments)
{
    VelDBusArgument arg = VelDBusArgumentPrivate::forWriting(message);
    for (const VelVariant &value : arguments) {
        if (!arg.appendVariant(value)) {
            velWarning("VelDBusMessage: argument of type %s has no D-Bus form", value.typeName());
            return false;
        }
    }
    return true;
}

} // namespace

VelDBusMessagePrivate::~VelDBusMessagePrivate()
{
    if (message)
        dbus_message_unref(message);
}

VelDBusMessage VelDBusMessagePrivate::adopt(DBusMessage *message)
{
    VelDBusMessage out;
    out.d->message = message;
    return out;
}

DBusMessage *VelDBusMessagePrivate::prepareForSending(const VelDBusMessage &message)
{
    VelDBusMessagePrivate *d = message.d.get();
    if (!d->message)
        return nullptr;
    if (!d->argumentsWritten) {
        DBusMessage *filled = dbus_message_copy(d->message);
        if (!filled)
            return nullptr;
        if (!writeArguments(filled, d->arguments)) {
            dbus_message_unref(filled);
            return nullptr;
        }
        dbus_message_unref(d->message);
        d->message = filled;
        d->argumentsWritten = true;
    } else if (dbus_message_get_serial(d->message) != 0) {
        DBusMessage *again = dbus_message_copy(d->message);
        if (!again)
            return nullptr;
        dbus_message_unref(d->message);
        d->message = again;
    }
    return dbus_message_ref(d->message);
}

VelDBusMessage::VelDBusMessage() : d(std::make_shared<VelDBusMessagePrivate>()) {}

VelDBusMessage VelDBusMessage::createMethodCall(const VelString &service, const VelString &path,
                                                const VelString &interface, const VelString &method)
{
    const VelByteArray s = service.toUtf8();
    const VelByteArray p = path.toUtf8();
    const VelByteArray i = interface.toUtf8();
    const VelByteArray m = method.toUtf8();
    // libdbus asserts on invalid names; they are refused here instead.
    if ((!s.isEmpty() && !dbus_validate_bus_name(s.constData(), nullptr)) ||
        !dbus_validate_path(p.constData(), nullptr) ||
        (!i.isEmpty() && !dbus_validate_interface(i.constData(), nullptr)) ||
        !dbus_validate_member(m.constData(), nullptr)) {
        velWarning("VelDBusMessage::createMethodCall: invalid name in %s %s %s %s", s.constData(),
                   p.constData(), i.constData(), m.constData());
        return VelDBusMessage();
    }
    VelDBusMessage out;
    out.d->message =
        dbus_message_new_method_call(s.isEmpty() ? nullptr : s.constData(), p.constData(),
                                     i.isEmpty() ? nullptr : i.constData(), m.constData());
    return out;
}

VelDBusMessage::MessageType VelDBusMessage::type() const
{
    if (!d->message)
        return InvalidMessage;
    switch (dbus_message_get_type(d->message)) {
    case DBUS_MESSAGE_TYPE_METHOD_CALL:
        return MethodCallMessage;
    case DBUS_MESSAGE_TYPE_METHOD_RETURN:
        return ReplyMessage;
    case DBUS_MESSAGE_TYPE_ERROR:
        return ErrorMessage;
    case DBUS_MESSAGE_TYPE_SIGNAL:
        return SignalMessage;
    default:
        return InvalidMessage;
    }
}

VelString VelDBusMessage::service() const
{
    if (!d->message)
        return VelString();
    const char *sender = dbus_message_get_sender(d->message);
    return fromNullable(sender ? sender : dbus_message_get_destination(d->message));
}

VelString VelDBusMessage::path() const
{
    return d->message ? fromNullable(dbus_message_get_path(d->message)) : VelString();
}

VelString VelDBusMessage::interface() const
{
    return d->message ? fromNullable(dbus_message_get_interface(d->message)) : VelString();
}

VelString VelDBusMessage::member() const
{
    return d->message ? fromNullable(dbus_message_get_member(d->message)) : VelString();
}

VelString VelDBusMessage::errorName() const
{
    return d->message ? fromNullable(dbus_message_get_error_name(d->message)) : VelString();
}

VelString VelDBusMessage::errorMessage() const
{
    if (type() != ErrorMessage)
        return VelString();
    const VelList<VelVariant> args = arguments();
    if (args.isEmpty() || args.first().userType() != VelMetaType::VelStringType)
        return VelString();
    return args.first().toString();
}

VelString VelDBusMessage::signature() const
{
    if (!d->message)
        return VelString();
    if (!d->argumentsWritten) {
        VelString out;
        for (const VelVariant &v : d->arguments)
            out += VelString::fromUtf8(VelDBusMetaType::typeToSignature(v.userType()));
        return out;
    }
    return fromNullable(dbus_message_get_signature(d->message));
}

uint VelDBusMessage::serial() const
{
    return d->message ? dbus_message_get_serial(d->message) : 0;
}

uint VelDBusMessage::replySerial() const
{
    return d->message ? dbus_message_get_reply_serial(d->message) : 0;
}

void VelDBusMessage::setArguments(const VelList<VelVariant> &arguments)
{
    if (!d->message)
        return;
    if (d->argumentsWritten) {
        // Start again from the bare header: a message that was sent keeps
        // what it carried.
        DBusMessage *bare = dbus_message_copy(d->message);
        if (!bare)
            return;
        DBusMessage *fresh = dbus_message_new_method_call(
            dbus_message_get_destination(bare), dbus_message_get_path(bare),
            dbus_message_get_interface(bare), dbus_message_get_member(bare));
        dbus_message_unref(bare);
        if (!fresh)
            return;
        dbus_message_unref(d->message);
        d->message = fresh;
    }
    d->arguments = arguments;
    d->argumentsWritten = false;
}

VelList<VelVariant> VelDBusMessage::arguments() const
{
    if (!d->argumentsWritten)
        return d->arguments;
    VelList<VelVariant> out;
    if (!d->message)
        return out;
    VelDBusArgument arg = VelDBusArgumentPrivate::forReading(d->message);
    while (!arg.atEnd()) {
        out.append(arg.readVariant());
        if (arg.hasFailed())
            break;
    }
    return out;
}
