#include "velguieventdispatcher.h"

#include "velcoreapplication.h"
#include "velwindowsysteminterface.h"

VEL_META_BEGIN(VelGuiEventDispatcher, VelEventDispatcherUNIX)
VEL_META_END

VelGuiEventDispatcher::VelGuiEventDispatcher(VelObject *parent) : VelEventDispatcherUNIX(parent) {}

VelGuiEventDispatcher::~VelGuiEventDispatcher() = default;

bool VelGuiEventDispatcher::processEvents(VelEventLoop::ProcessEventsFlags flags)
{
    const bool didWork = VelEventDispatcherUNIX::processEvents(flags);
    return VelWindowSystemInterface::sendWindowSystemEvents(flags) || didWork;
}

bool VelGuiEventDispatcher::hasPendingEvents()
{
    return velGlobalPostedEventsCount() > 0 ||
           VelWindowSystemInterface::windowSystemEventsQueued() > 0;
}
