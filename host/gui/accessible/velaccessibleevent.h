#ifndef VELACCESSIBLEEVENT_H
#define VELACCESSIBLEEVENT_H

#include "velaccessible.h"

class VelAccessibleInterface;
class VelObject;

// A change of the accessible tree, given to the platform accessibility.
// It names either an object (and optionally one of its children by index,
// -1 = the object itself) or an interface directly.
class VelAccessibleEvent
{
public:
    VelAccessibleEvent(VelObject *object, VelAccessible::Event type);
    VelAccessibleEvent(VelAccessibleInterface *iface, VelAccessible::Event type);
    virtual ~VelAccessibleEvent();

    VelAccessible::Event type() const { return m_type; }
    VelObject *object() const { return m_object; }
    int child() const { return m_child; }
    void setChild(int child) { m_child = child; }

    // The interface the event is about: the given one, or the object's (or
    // its child's); null when there is none.
    VelAccessibleInterface *accessibleInterface() const;
    // The id of that interface; 0 when there is none.
    VelAccessible::Id uniqueId() const;

private:
    VEL_DISABLE_COPY(VelAccessibleEvent)

    VelAccessible::Event m_type;
    VelObject *m_object = nullptr;
    VelAccessibleInterface *m_interface = nullptr;
    int m_child = -1;
};

#endif
