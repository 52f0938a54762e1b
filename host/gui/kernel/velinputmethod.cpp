#include "velinputmethod.h"

#include "velguiapplication.h"
#include "velinputmethodqueryevent.h"
#include "velplatforminputcontext.h"
#include "velplatformintegration.h"

VEL_META_BEGIN(VelInputMethod, VelObject)
VEL_META_SIGNAL(cursorRectangleChanged)
VEL_META_SIGNAL(keyboardRectangleChanged)
VEL_META_SIGNAL(visibleChanged)
VEL_META_SIGNAL(animatingChanged)
VEL_META_SIGNAL(localeChanged)
VEL_META_SIGNAL(inputDirectionChanged, int)
VEL_META_SLOT(show)
VEL_META_SLOT(hide)
VEL_META_SLOT(reset)
VEL_META_SLOT(commit)
VEL_META_END

namespace
{
VelPlatformInputContext *platformContext()
{
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    return integration ? integration->inputContext() : nullptr;
}
} // namespace

VelInputMethod::VelInputMethod() = default;

VelInputMethod::~VelInputMethod() = default;

void VelInputMethod::setInputItemRectangle(const VelRectF &rect)
{
    m_inputItemRectangle = rect;
}

void VelInputMethod::setInputItemTransform(const VelTransform &transform)
{
    if (m_inputItemTransform == transform)
        return;
    m_inputItemTransform = transform;
    cursorRectangleChanged();
}

VelRectF VelInputMethod::cursorRectangle() const
{
    VelObject *focus = VelGuiApplication::focusObject();
    if (!focus)
        return VelRectF();
    VelInputMethodQueryEvent query(Vel::ImCursorRectangle);
    VelCoreApplication::sendEvent(focus, &query);
    const VelVariant answer = query.value(Vel::ImCursorRectangle);
    if (!answer.isValid())
        return VelRectF();
    return m_inputItemTransform.mapRect(answer.value<VelRectF>());
}

VelRectF VelInputMethod::keyboardRectangle() const
{
    VelPlatformInputContext *context = platformContext();
    return context ? context->keyboardRect() : VelRectF();
}

bool VelInputMethod::isVisible() const
{
    VelPlatformInputContext *context = platformContext();
    return context && context->isInputPanelVisible();
}

void VelInputMethod::setVisible(bool visible)
{
    if (visible)
        show();
    else
        hide();
}

bool VelInputMethod::isAnimating() const
{
    VelPlatformInputContext *context = platformContext();
    return context && context->isAnimating();
}

VelLocale VelInputMethod::locale() const
{
    VelPlatformInputContext *context = platformContext();
    return context ? context->locale() : VelLocale::system();
}

Vel::LayoutDirection VelInputMethod::inputDirection() const
{
    VelPlatformInputContext *context = platformContext();
    return context ? context->inputDirection() : Vel::LeftToRight;
}

void VelInputMethod::show()
{
    if (VelPlatformInputContext *context = platformContext())
        context->showInputPanel();
}

void VelInputMethod::hide()
{
    if (VelPlatformInputContext *context = platformContext())
        context->hideInputPanel();
}

void VelInputMethod::update(Vel::InputMethodQueries queries)
{
    if (VelPlatformInputContext *context = platformContext())
        context->update(queries);
    if (queries & Vel::ImCursorRectangle)
        cursorRectangleChanged();
}

void VelInputMethod::reset()
{
    if (VelPlatformInputContext *context = platformContext())
        context->reset();
}

void VelInputMethod::commit()
{
    if (VelPlatformInputContext *context = platformContext())
        context->commit();
}

void VelInputMethod::invokeAction(Action action, int cursorPosition)
{
    if (VelPlatformInputContext *context = platformContext())
        context->invokeAction(VelPlatformInputContext::Action(action), cursorPosition);
}

void VelInputMethod::cursorRectangleChanged()
{
    VEL_EMIT(cursorRectangleChanged);
}

void VelInputMethod::keyboardRectangleChanged()
{
    VEL_EMIT(keyboardRectangleChanged);
}

void VelInputMethod::visibleChanged()
{
    VEL_EMIT(visibleChanged);
}

void VelInputMethod::animatingChanged()
{
    VEL_EMIT(animatingChanged);
}

void VelInputMethod::localeChanged()
{
    VEL_EMIT(localeChanged);
}

void VelInputMethod::inputDirectionChanged(int direction)
{
    VEL_EMIT(inputDirectionChanged, direction);
}
