#include "velunixeventdispatcher_velpa.h"

#include "velcoreapplication.h"
#include "velwindowsysteminterface.h"

VEL_META_BEGIN(VelUnixEventDispatcherVelPA, VelEventDispatcherUNIX)
VEL_META_END

VelUnixEventDispatcherVelPA::VelUnixEventDispatcherVelPA(VelObject *parent)
    : VelEventDispatcherUNIX(parent)
{
}

VelUnixEventDispatcherVelPA::~VelUnixEventDispatcherVelPA() = default;

bool VelUnixEventDispatcherVelPA::processEvents(VelEventLoop::ProcessEventsFlags flags)
{
    const bool didWork = VelEventDispatcherUNIX::processEvents(flags);
    return VelWindowSystemInterface::sendWindowSystemEvents(flags) || didWork;
}

bool VelUnixEventDispatcherVelPA::hasPendingEvents()
{
    return velGlobalPostedEventsCount() != 0 ||
           VelWindowSystemInterface::windowSystemEventsQueued() != 0;
}

void VelUnixEventDispatcherVelPA::flush()
{
    if (VelCoreApplication::instance())
        VelCoreApplication::sendPostedEvents();
}
