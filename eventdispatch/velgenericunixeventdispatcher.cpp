#include "velgenericunixeventdispatcher.h"

#include "velunixeventdispatcher_velpa.h"

VelAbstractEventDispatcher *createUnixEventDispatcher()
{
    return new VelUnixEventDispatcherVelPA;
}
