#include "velplatformcursor.h"

#include "velmouseevent.h"

VEL_META_BEGIN(VelPlatformCursor, VelObject)
VEL_META_END

VelPlatformCursor::VelPlatformCursor(VelObject *parent) : VelObject(parent) {}

VelPlatformCursor::~VelPlatformCursor() = default;

void VelPlatformCursor::pointerEvent(const VelMouseEvent &event)
{
    m_pos = event.screenPos().toPoint();
}

VelPoint VelPlatformCursor::pos() const
{
    return m_pos;
}

void VelPlatformCursor::setPos(const VelPoint &pos)
{
    m_pos = pos;
}
