#include "velaccessibleactioninterface.h"

namespace
{

struct StandardAction {
    const VelString &(*name)();
    const char *description;
};

const StandardAction kStandardActions[] = {
    {&VelAccessibleActionInterface::pressAction, "Triggers the action"},
    {&VelAccessibleActionInterface::toggleAction, "Toggles the state"},
    {&VelAccessibleActionInterface::increaseAction, "Increase the value"},
    {&VelAccessibleActionInterface::decreaseAction, "Decrease the value"},
    {&VelAccessibleActionInterface::showMenuAction, "Shows the menu"},
    {&VelAccessibleActionInterface::setFocusAction, "Sets the focus"},
    {&VelAccessibleActionInterface::scrollLeftAction, "Scrolls to the left"},
    {&VelAccessibleActionInterface::scrollRightAction, "Scrolls to the right"},
    {&VelAccessibleActionInterface::scrollUpAction, "Scrolls up"},
    {&VelAccessibleActionInterface::scrollDownAction, "Scrolls down"},
    {&VelAccessibleActionInterface::previousPageAction, "Goes back a page"},
    {&VelAccessibleActionInterface::nextPageAction, "Goes to the next page"},
};

const StandardAction *findStandard(const VelString &name)
{
    for (const StandardAction &action : kStandardActions) {
        if (action.name() == name)
            return &action;
    }
    return nullptr;
}

} // namespace

VelAccessibleActionInterface::~VelAccessibleActionInterface() = default;

VelString VelAccessibleActionInterface::localizedActionName(const VelString &actionName) const
{
    return actionName;
}

VelString
VelAccessibleActionInterface::localizedActionDescription(const VelString &actionName) const
{
    const StandardAction *action = findStandard(actionName);
    return action ? VelString(action->description) : VelString();
}

VelStringList VelAccessibleActionInterface::keyBindingsForAction(const VelString &) const
{
    return VelStringList();
}

#define VEL_STANDARD_ACTION(function, text)                                                        \
    const VelString &VelAccessibleActionInterface::function()                                      \
    {                                                                                              \
        static const VelString name(text);                                                         \
        return name;                                                                               \
    }

VEL_STANDARD_ACTION(pressAction, "Press")
VEL_STANDARD_ACTION(toggleAction, "Toggle")
VEL_STANDARD_ACTION(increaseAction, "Increase")
VEL_STANDARD_ACTION(decreaseAction, "Decrease")
VEL_STANDARD_ACTION(showMenuAction, "ShowMenu")
VEL_STANDARD_ACTION(setFocusAction, "SetFocus")
VEL_STANDARD_ACTION(scrollLeftAction, "ScrollLeft")
VEL_STANDARD_ACTION(scrollRightAction, "ScrollRight")
VEL_STANDARD_ACTION(scrollUpAction, "ScrollUp")
VEL_STANDARD_ACTION(scrollDownAction, "ScrollDown")
VEL_STANDARD_ACTION(previousPageAction, "PreviousPage")
VEL_STANDARD_ACTION(nextPageAction, "NextPage")
