#include "velaccessibleinterface.h"

#include "velaccessibleactioninterface.h"
#include "velaccessibletextinterface.h"

VelAccessibleInterface::VelAccessibleInterface() = default;

VelAccessibleInterface::~VelAccessibleInterface() = default;

VelWindow *VelAccessibleInterface::window() const
{
    const VelAccessibleInterface *p = parent();
    return p ? p->window() : nullptr;
}

int VelAccessibleInterface::indexOfChild(const VelAccessibleInterface *child) const
{
    if (!child)
        return -1;
    const int count = childCount();
    for (int i = 0; i < count; ++i) {
        if (this->child(i) == child)
            return i;
    }
    return -1;
}

VelAccessibleInterface *VelAccessibleInterface::childAt(int x, int y) const
{
    // Later children are drawn over earlier ones: search from the last.
    for (int i = childCount() - 1; i >= 0; --i) {
        VelAccessibleInterface *c = child(i);
        if (c && c->isValid() && !c->state().invisible && c->rect().contains(x, y))
            return c;
    }
    return nullptr;
}

VelAccessibleInterface *VelAccessibleInterface::focusChild() const
{
    const int count = childCount();
    for (int i = 0; i < count; ++i) {
        VelAccessibleInterface *c = child(i);
        if (!c)
            continue;
        if (c->state().focused)
            return c;
        if (VelAccessibleInterface *inner = c->focusChild())
            return inner;
    }
    return nullptr;
}

void VelAccessibleInterface::setText(VelAccessible::Text, const VelString &) {}

void *VelAccessibleInterface::interface_cast(VelAccessible::InterfaceType)
{
    return nullptr;
}

VelAccessibleTextInterface *VelAccessibleInterface::textInterface()
{
    return static_cast<VelAccessibleTextInterface *>(interface_cast(VelAccessible::TextInterface));
}

VelAccessibleActionInterface *VelAccessibleInterface::actionInterface()
{
    return static_cast<VelAccessibleActionInterface *>(
        interface_cast(VelAccessible::ActionInterface));
}
