#include "veleventloop.h"

#include "velabstracteventdispatcher.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velthread_p.h"

VEL_META_BEGIN(VelEventLoop, VelObject)
VEL_META_SLOT(quit)
VEL_META_END

VelEventLoop::VelEventLoop(VelObject *parent) : VelObject(parent) {}

VelEventLoop::~VelEventLoop() = default;

bool VelEventLoop::processEvents(ProcessEventsFlags flags)
{
    return VelThreadData::current()->ensureDispatcher()->processEvents(flags);
}

int VelEventLoop::exec(ProcessEventsFlags flags)
{
    VelThreadData *data = VelThreadData::current();
    if (VelObjectPrivate::threadDataOf(this).get() != data) {
        velWarning("VelEventLoop::exec: the loop belongs to another thread");
        return -1;
    }
    if (m_running.load()) {
        velWarning("VelEventLoop::exec: instance %p has already called exec()",
                   static_cast<void *>(this));
        return -1;
    }
    if (data->quitNow.load())
        return -1;
    m_exit.store(false);
    m_running.store(true);
    data->pushLoop(this);
    while (!m_exit.load())
        data->ensureDispatcher()->processEvents(flags | WaitForMoreEvents | EventLoopExec);
    data->popLoop(this);
    m_running.store(false);
    return m_returnCode.load();
}

void VelEventLoop::markExit(int returnCode)
{
    m_returnCode.store(returnCode);
    m_exit.store(true);
}

void VelEventLoop::exit(int returnCode)
{
    markExit(returnCode);
    // Interrupt rather than just wake: the pass in progress (maybe deep in
    // timers) should come back to the loop's condition at once.
    VelObjectPrivate::threadDataOf(this)->interrupt();
}

void VelEventLoop::wakeUp()
{
    VelObjectPrivate::threadDataOf(this)->wakeUp();
}
