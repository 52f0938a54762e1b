#ifndef VELACCESSIBLEACTIONINTERFACE_H
#define VELACCESSIBLEACTIONINTERFACE_H

#include "velstring.h"

// The actions an accessible object offers, by name. The standard names below
// are compared case-sensitively by bridges.
class VelAccessibleActionInterface
{
public:
    virtual ~VelAccessibleActionInterface();

    virtual VelStringList actionNames() const = 0;
    // Performs the named action; unknown names do nothing.
    virtual void doAction(const VelString &actionName) = 0;
    // Default: the name itself.
    virtual VelString localizedActionName(const VelString &actionName) const;
    // Default: a short sentence for standard actions, else empty.
    virtual VelString localizedActionDescription(const VelString &actionName) const;
    // Default: none.
    virtual VelStringList keyBindingsForAction(const VelString &actionName) const;

    static const VelString &pressAction();
    static const VelString &toggleAction();
    static const VelString &increaseAction();
    static const VelString &decreaseAction();
    static const VelString &showMenuAction();
    static const VelString &setFocusAction();
    static const VelString &scrollLeftAction();
    static const VelString &scrollRightAction();
    static const VelString &scrollUpAction();
    static const VelString &scrollDownAction();
    static const VelString &previousPageAction();
    static const VelString &nextPageAction();
};

#endif
