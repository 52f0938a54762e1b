#include "veltouchevent.h"

VelTouchEvent::VelTouchEvent(Type type, VelTouchDevice *device, Vel::KeyboardModifiers modifiers,
                             Vel::TouchPointStates touchPointStates,
                             const std::vector<TouchPoint> &points)
    : VelInputEvent(type, modifiers), m_device(device), m_states(touchPointStates), m_points(points)
{
}

VelTouchEvent::~VelTouchEvent() = default;
