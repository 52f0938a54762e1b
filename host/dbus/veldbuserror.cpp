#include "veldbuserror.h"

#include "veldbusmessage.h"

VelDBusError::VelDBusError(const VelString &name, const VelString &message)
    : m_name(name), m_message(message)
{
}

VelDBusError::VelDBusError(const VelDBusMessage &reply)
{
    if (reply.type() != VelDBusMessage::ErrorMessage)
        return;
    m_name = reply.errorName();
    m_message = reply.errorMessage();
}
