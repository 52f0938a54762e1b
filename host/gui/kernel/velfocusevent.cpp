#include "velfocusevent.h"

VelFocusEvent::VelFocusEvent(Type type, Vel::FocusReason reason) : VelEvent(type), m_reason(reason)
{
}

VelFocusEvent::~VelFocusEvent() = default;
