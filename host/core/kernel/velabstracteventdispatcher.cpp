#include "velabstracteventdispatcher.h"

#include "velthread.h"
#include "velthread_p.h"

#include <atomic>

VEL_META_BEGIN(VelAbstractEventDispatcher, VelObject)
VEL_META_SIGNAL(aboutToBlock)
VEL_META_SIGNAL(awake)
VEL_META_END

namespace
{
std::atomic<int> nextTimerId{1};
}

VelAbstractEventDispatcher::VelAbstractEventDispatcher(VelObject *parent) : VelObject(parent) {}

VelAbstractEventDispatcher::~VelAbstractEventDispatcher() = default;

VelAbstractEventDispatcher *VelAbstractEventDispatcher::instance(VelThread *thread)
{
    VelThread *t = thread ? thread : VelThread::currentThread();
    return t ? t->eventDispatcher() : nullptr;
}

int VelAbstractEventDispatcher::registerTimer(int interval, Vel::TimerType timerType,
                                              VelObject *object)
{
    const int id = allocateTimerId();
    registerTimer(id, interval, timerType, object);
    return id;
}

std::vector<VelAbstractEventDispatcher::RegisteredTimer>
VelAbstractEventDispatcher::allTimers() const
{
    return {};
}

std::vector<VelSocketNotifier *> VelAbstractEventDispatcher::socketNotifiers() const
{
    return {};
}

void VelAbstractEventDispatcher::startingUp() {}

void VelAbstractEventDispatcher::closingDown() {}

void VelAbstractEventDispatcher::aboutToBlock()
{
    VEL_EMIT(aboutToBlock);
}

void VelAbstractEventDispatcher::awake()
{
    VEL_EMIT(awake);
}

int VelAbstractEventDispatcher::allocateTimerId()
{
    // Ids are not reused (until the counter wraps), so a stale id cannot
    // stop somebody else's timer.
    const int id = nextTimerId.fetch_add(1);
    if (id > 0)
        return id;
    nextTimerId.store(2);
    return 1;
}

void VelAbstractEventDispatcher::releaseTimerId(int) {}
