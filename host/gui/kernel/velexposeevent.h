#ifndef VELEXPOSEEVENT_H
#define VELEXPOSEEVENT_H

#include "velcoreevent.h"
#include "velregion.h"

// The exposed part of a window changed; an empty region means the window is not visible.
class VelExposeEvent : public VelEvent
{
public:
    explicit VelExposeEvent(const VelRegion &region);
    ~VelExposeEvent() override;

    const VelRegion &region() const { return m_region; }

private:
    VelRegion m_region;
};

#endif
