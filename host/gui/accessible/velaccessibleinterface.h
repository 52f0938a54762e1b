#ifndef VELACCESSIBLEINTERFACE_H
#define VELACCESSIBLEINTERFACE_H

#include "velaccessible.h"
#include "velrect.h"
#include "velstring.h"

class VelAccessibleActionInterface;
class VelAccessibleTextInterface;
class VelObject;
class VelWindow;

// One node of the accessible tree. Interfaces are owned by the registry of
// VelAccessible once they have an id (or were made by a factory); others
// must not delete registered interfaces, and use
// VelAccessible::deleteAccessibleInterface() instead.
class VelAccessibleInterface
{
public:
    virtual ~VelAccessibleInterface();

    // False once the object behind the interface is gone.
    virtual bool isValid() const = 0;
    virtual VelObject *object() const = 0;
    // The top-level window the object is shown in; default: the parent's.
    virtual VelWindow *window() const;

    virtual VelAccessibleInterface *parent() const = 0;
    // May be null for an index without an accessible child.
    virtual VelAccessibleInterface *child(int index) const = 0;
    virtual int childCount() const = 0;
    // -1 when not a child of this interface.
    virtual int indexOfChild(const VelAccessibleInterface *child) const;
    // The direct child containing the screen point, or null. Default: the
    // last child (the top-most) whose rect contains the point.
    virtual VelAccessibleInterface *childAt(int x, int y) const;
    // Default: the focused child, searched depth-first; null when none.
    virtual VelAccessibleInterface *focusChild() const;

    virtual VelString text(VelAccessible::Text t) const = 0;
    // Default: ignored.
    virtual void setText(VelAccessible::Text t, const VelString &text);
    // In screen pixels.
    virtual VelRect rect() const = 0;
    virtual VelAccessible::Role role() const = 0;
    virtual VelAccessible::State state() const = 0;

    // The interface of a kind, or null. Default: null for every kind.
    virtual void *interface_cast(VelAccessible::InterfaceType type);

    VelAccessibleTextInterface *textInterface();
    VelAccessibleActionInterface *actionInterface();

protected:
    VelAccessibleInterface();

private:
    VEL_DISABLE_COPY(VelAccessibleInterface)
};

#endif
