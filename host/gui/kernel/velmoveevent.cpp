#include "velmoveevent.h"

VelMoveEvent::VelMoveEvent(const VelPoint &pos, const VelPoint &oldPos)
    : VelEvent(Move), m_pos(pos), m_oldPos(oldPos)
{
}

VelMoveEvent::~VelMoveEvent() = default;
