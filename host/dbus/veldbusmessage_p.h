#ifndef VELDBUSMESSAGE_P_H
#define VELDBUSMESSAGE_P_H

#include "veldbusmessage.h"

#include <dbus/dbus.h>

// Owns one reference to the libdbus message. Method calls built here keep
// their arguments as variants until they are sent, so that a failed write
// leaves nothing half-written behind.
struct VelDBusMessagePrivate {
    DBusMessage *message = nullptr;
    VelList<VelVariant> arguments;
    bool argumentsWritten = true;

    ~VelDBusMessagePrivate();

    // Takes over one reference of message.
    static VelDBusMessage adopt(DBusMessage *message);
    // The message with its arguments written, ready for the connection to
    // send (the caller gets a reference of its own), or null when an
    // argument has no D-Bus form. A message sent before is copied, so that
    // it gets a serial of its own.
    static DBusMessage *prepareForSending(const VelDBusMessage &message);
    static DBusMessage *native(const VelDBusMessage &message) { return message.d->message; }
};

#endif
