#ifndef VELMOVEEVENT_H
#define VELMOVEEVENT_H

#include "velcoreevent.h"
#include "velpoint.h"

class VelMoveEvent : public VelEvent
{
public:
    VelMoveEvent(const VelPoint &pos, const VelPoint &oldPos);
    ~VelMoveEvent() override;

    const VelPoint &pos() const { return m_pos; }
    const VelPoint &oldPos() const { return m_oldPos; }

private:
    VelPoint m_pos;
    VelPoint m_oldPos;
};

#endif
