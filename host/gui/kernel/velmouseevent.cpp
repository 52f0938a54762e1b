#include "velmouseevent.h"

VelMouseEvent::VelMouseEvent(Type type, const VelPointF &localPos, Vel::MouseButton button,
                             Vel::MouseButtons buttons, Vel::KeyboardModifiers modifiers)
    : VelMouseEvent(type, localPos, localPos, localPos, button, buttons, modifiers)
{
}

VelMouseEvent::VelMouseEvent(Type type, const VelPointF &localPos, const VelPointF &screenPos,
                             Vel::MouseButton button, Vel::MouseButtons buttons,
                             Vel::KeyboardModifiers modifiers)
    : VelMouseEvent(type, localPos, localPos, screenPos, button, buttons, modifiers)
{
}

VelMouseEvent::VelMouseEvent(Type type, const VelPointF &localPos, const VelPointF &windowPos,
                             const VelPointF &screenPos, Vel::MouseButton button,
                             Vel::MouseButtons buttons, Vel::KeyboardModifiers modifiers)
    : VelInputEvent(type, modifiers), m_localPos(localPos), m_windowPos(windowPos),
      m_screenPos(screenPos), m_button(button), m_buttons(buttons)
{
}

VelMouseEvent::~VelMouseEvent() = default;
