#include "velaccessibleevent.h"

#include "velaccessibleinterface.h"

VelAccessibleEvent::VelAccessibleEvent(VelObject *object, VelAccessible::Event type)
    : m_type(type), m_object(object)
{
}

VelAccessibleEvent::VelAccessibleEvent(VelAccessibleInterface *iface, VelAccessible::Event type)
    : m_type(type), m_object(iface ? iface->object() : nullptr), m_interface(iface)
{
}

VelAccessibleEvent::~VelAccessibleEvent() = default;

VelAccessibleInterface *VelAccessibleEvent::accessibleInterface() const
{
    if (m_interface)
        return m_interface;
    VelAccessibleInterface *iface = VelAccessible::queryAccessibleInterface(m_object);
    if (iface && m_child >= 0)
        return iface->child(m_child);
    return iface;
}

VelAccessible::Id VelAccessibleEvent::uniqueId() const
{
    VelAccessibleInterface *iface = accessibleInterface();
    return iface ? VelAccessible::uniqueId(iface) : 0;
}
