#include "velplatforminputcontext.h"

#include "velguiapplication.h"
#include "velinputmethod.h"

VEL_META_BEGIN(VelPlatformInputContext, VelObject)
VEL_META_END

VelPlatformInputContext::VelPlatformInputContext(VelObject *parent) : VelObject(parent) {}

VelPlatformInputContext::~VelPlatformInputContext() = default;

bool VelPlatformInputContext::isValid() const
{
    return false;
}

void VelPlatformInputContext::reset() {}

void VelPlatformInputContext::commit() {}

void VelPlatformInputContext::update(Vel::InputMethodQueries queries) {}

void VelPlatformInputContext::invokeAction(Action action, int cursorPosition)
{
    // A click inside the preedit text is taken as the end of the composition.
    if (action == Click)
        commit();
}

VelRectF VelPlatformInputContext::keyboardRect() const
{
    return VelRectF();
}

bool VelPlatformInputContext::isAnimating() const
{
    return false;
}

void VelPlatformInputContext::showInputPanel() {}

void VelPlatformInputContext::hideInputPanel() {}

bool VelPlatformInputContext::isInputPanelVisible() const
{
    return false;
}

bool VelPlatformInputContext::filterEvent(const VelEvent *event)
{
    return false;
}

VelLocale VelPlatformInputContext::locale() const
{
    return VelLocale::system();
}

Vel::LayoutDirection VelPlatformInputContext::inputDirection() const
{
    return Vel::LeftToRight;
}

void VelPlatformInputContext::setFocusObject(VelObject *object) {}

void VelPlatformInputContext::emitInputPanelVisibleChanged()
{
    if (VelInputMethod *inputMethod = VelGuiApplication::inputMethod())
        inputMethod->visibleChanged();
}

void VelPlatformInputContext::emitKeyboardRectChanged()
{
    if (VelInputMethod *inputMethod = VelGuiApplication::inputMethod())
        inputMethod->keyboardRectangleChanged();
}

void VelPlatformInputContext::emitAnimatingChanged()
{
    if (VelInputMethod *inputMethod = VelGuiApplication::inputMethod())
        inputMethod->animatingChanged();
}
