#ifndef VELUNIXEVENTDISPATCHER_VELPA_H
#define VELUNIXEVENTDISPATCHER_VELPA_H

#include "veleventdispatcher_unix.h"

// The GUI thread's dispatcher: each pass runs the poll-based dispatcher (posted events,
// timers, file descriptors), then delivers the queued window-system events.
class VelUnixEventDispatcherVelPA : public VelEventDispatcherUNIX
{
    VEL_OBJECT
public:
    explicit VelUnixEventDispatcherVelPA(VelObject *parent = nullptr);
    ~VelUnixEventDispatcherVelPA() override;

    bool processEvents(VelEventLoop::ProcessEventsFlags flags) override;
    bool hasPendingEvents() override;
    void flush() override;
};

#endif
