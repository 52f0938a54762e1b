#ifndef VELACCESSIBLEWINDOW_H
#define VELACCESSIBLEWINDOW_H

#include "velaccessibleobject.h"

class VelWindow;

// The interface a window gets unless a factory supplies another: role
// Window, the title as name, the window's screen rectangle and visibility,
// and the accessible objects among its children as children.
class VelAccessibleWindow : public VelAccessibleObject
{
public:
    explicit VelAccessibleWindow(VelWindow *window);

    VelWindow *window() const override;
    VelString text(VelAccessible::Text t) const override;
    VelRect rect() const override;
    VelAccessible::State state() const override;
};

#endif
