#ifndef VELGUIEVENTDISPATCHER_H
#define VELGUIEVENTDISPATCHER_H

#include "veleventdispatcher_unix.h"

// The GUI thread's dispatcher when the platform integration supplies none: the poll-based
// dispatcher plus the window-system event queue.
class VelGuiEventDispatcher : public VelEventDispatcherUNIX
{
    VEL_OBJECT
public:
    explicit VelGuiEventDispatcher(VelObject *parent = nullptr);
    ~VelGuiEventDispatcher() override;

    bool processEvents(VelEventLoop::ProcessEventsFlags flags) override;
    bool hasPendingEvents() override;
};

#endif
