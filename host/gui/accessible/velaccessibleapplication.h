#ifndef VELACCESSIBLEAPPLICATION_H
#define VELACCESSIBLEAPPLICATION_H

#include "velaccessibleinterface.h"

// The top of the accessible tree: the GUI application, whose children are
// the top-level windows. It has no parent and no rectangle.
class VelAccessibleApplication : public VelAccessibleInterface
{
public:
    VelAccessibleApplication();

    bool isValid() const override;
    VelObject *object() const override;
    VelWindow *window() const override;
    VelAccessibleInterface *parent() const override;
    VelAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const VelAccessibleInterface *child) const override;
    VelAccessibleInterface *focusChild() const override;
    VelString text(VelAccessible::Text t) const override;
    VelRect rect() const override;
    VelAccessible::Role role() const override;
    VelAccessible::State state() const override;
};

#endif
