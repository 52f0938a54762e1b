#include "velinputevent.h"

VelInputEvent::VelInputEvent(Type type, Vel::KeyboardModifiers modifiers)
    : VelEvent(type), m_modifiers(modifiers)
{
}

VelInputEvent::~VelInputEvent() = default;
