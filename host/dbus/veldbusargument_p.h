#ifndef VELDBUSARGUMENT_P_H
#define VELDBUSARGUMENT_P_H

#include "veldbusargument.h"

#include <dbus/dbus.h>

#include <vector>

// The iterator stack of a VelDBusArgument: the bottom entry walks the
// message's top-level arguments, each open container adds one. Holds a
// reference to the message so that a read argument kept in a variant stays
// valid after the message object is gone.
struct VelDBusArgumentPrivate {
    DBusMessage *message = nullptr;
    std::vector<DBusMessageIter> stack;
    bool writing = false;
    bool failed = false;

    ~VelDBusArgumentPrivate();
    DBusMessageIter *top() { return stack.empty() ? nullptr : &stack.back(); }

    static VelDBusArgument forWriting(DBusMessage *message);
    static VelDBusArgument forReading(DBusMessage *message);
};

#endif
