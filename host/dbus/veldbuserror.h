#ifndef VELDBUSERROR_H
#define VELDBUSERROR_H

#include "velmetatype.h"
#include "velstring.h"

class VelDBusMessage;

// A D-Bus error: its name ("org.freedesktop.DBus.Error.NoReply") and the
// human-readable message that came with it. Invalid when the name is empty.
class VelDBusError
{
public:
    VelDBusError() = default;
    VelDBusError(const VelString &name, const VelString &message);
    // The error carried by an error reply; invalid for any other message.
    explicit VelDBusError(const VelDBusMessage &reply);

    bool isValid() const { return !m_name.isEmpty(); }
    VelString name() const { return m_name; }
    VelString message() const { return m_message; }

    friend bool operator==(const VelDBusError &a, const VelDBusError &b)
    {
        return a.m_name == b.m_name && a.m_message == b.m_message;
    }

private:
    VelString m_name;
    VelString m_message;
};

VEL_DECLARE_METATYPE(VelDBusError)

#endif
