#include "velaccessiblewindow.h"

#include "velwindow.h"

VelAccessibleWindow::VelAccessibleWindow(VelWindow *window)
    : VelAccessibleObject(window, VelAccessible::Window)
{
}

VelWindow *VelAccessibleWindow::window() const
{
    return vel_object_cast<VelWindow *>(object());
}

VelString VelAccessibleWindow::text(VelAccessible::Text t) const
{
    const VelString own = VelAccessibleObject::text(t);
    if (t != VelAccessible::Name || !own.isEmpty())
        return own;
    const VelWindow *w = window();
    return w ? w->title() : VelString();
}

VelRect VelAccessibleWindow::rect() const
{
    const VelWindow *w = window();
    if (!w)
        return VelRect();
    return VelRect(w->mapToGlobal(VelPoint(0, 0)), w->geometry().size());
}

VelAccessible::State VelAccessibleWindow::state() const
{
    VelAccessible::State state = VelAccessibleObject::state();
    const VelWindow *w = window();
    if (!w)
        return state;
    state.invisible = !w->isVisible();
    state.focusable = true;
    state.active = w->isActive();
    state.focused = w->isActive();
    return state;
}
