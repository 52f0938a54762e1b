#include "veltimer.h"

#include "velabstracteventdispatcher.h"
#include "velcoreevent.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velpointer.h"
#include "velthread.h"

VEL_META_BEGIN(VelTimer, VelObject)
VEL_META_SIGNAL(timeout)
VEL_META_SLOT(start)
VEL_META_SLOT(start, int)
VEL_META_SLOT(stop)
VEL_META_END

namespace
{

// One call of a static singleShot: lives in the receiver's thread, fires
// once, then goes. The receiver is watched so that a call never reaches a
// destroyed object.
class SingleShotTimer : public VelObject
{
public:
    SingleShotTimer(int msec, const VelObject *receiver, std::unique_ptr<VelSlotObjectBase> slot)
        : m_receiver(const_cast<VelObject *>(receiver)), m_hasReceiver(receiver != nullptr),
          m_slot(std::move(slot))
    {
        m_timerId = startTimer(msec, Vel::PreciseTimer);
        if (receiver && receiver->thread() != thread())
            moveToThread(receiver->thread());
    }

protected:
    void timerEvent(VelTimerEvent *event) override
    {
        if (event->timerId() != m_timerId || m_fired)
            return;
        m_fired = true;
        killTimer(m_timerId);
        VelObject *receiver = m_receiver.data();
        if (!m_hasReceiver || receiver) {
            void *argv[1] = {nullptr};
            m_slot->call(receiver, argv);
        }
        deleteLater();
    }

private:
    VelPointer<VelObject> m_receiver;
    bool m_hasReceiver;
    std::unique_ptr<VelSlotObjectBase> m_slot;
    int m_timerId = 0;
    bool m_fired = false;
};

class MemberCall : public VelSlotObjectBase
{
public:
    explicit MemberCall(VelByteArray name) : m_name(std::move(name)) {}
    void call(VelObject *receiver, void **) override
    {
        VelMetaObject::invokeMethod(receiver, m_name.constData(), Vel::DirectConnection);
    }

private:
    VelByteArray m_name;
};

} // namespace

VelTimer::VelTimer(VelObject *parent) : VelObject(parent) {}

VelTimer::~VelTimer()
{
    if (m_id > 0)
        stop();
}

void VelTimer::setInterval(int msec)
{
    m_interval = msec < 0 ? 0 : msec;
    if (isActive())
        start();
}

int VelTimer::remainingTime() const
{
    if (!isActive())
        return -1;
    VelAbstractEventDispatcher *dispatcher = VelAbstractEventDispatcher::instance(thread());
    return dispatcher ? dispatcher->remainingTime(m_id) : -1;
}

void VelTimer::start()
{
    // A restart replaces the pending firing instead of adding one.
    if (m_id > 0)
        stop();
    m_id = startTimer(m_interval, m_type);
}

void VelTimer::start(int msec)
{
    m_interval = msec < 0 ? 0 : msec;
    start();
}

void VelTimer::stop()
{
    if (m_id > 0) {
        killTimer(m_id);
        m_id = 0;
    }
}

void VelTimer::timeout()
{
    VEL_EMIT(timeout);
}

void VelTimer::timerEvent(VelTimerEvent *event)
{
    if (event->timerId() != m_id)
        return;
    if (m_singleShot)
        stop();
    timeout();
}

void VelTimer::singleShotImpl(int msec, const VelObject *receiver,
                              std::unique_ptr<VelSlotObjectBase> slot)
{
    new SingleShotTimer(msec < 0 ? 0 : msec, receiver, std::move(slot));
}

void VelTimer::singleShot(int msec, const VelObject *receiver, const char *member)
{
    if (!receiver || !member) {
        velWarning("VelTimer::singleShot: no receiver or member");
        return;
    }
    // Accepts SLOT(name()) as well as a bare "name()".
    const char *name = (member[0] >= '0' && member[0] <= '9') ? member + 1 : member;
    VelByteArray methodName(name);
    const int paren = methodName.indexOf('(');
    if (paren >= 0)
        methodName.truncate(paren);
    singleShotImpl(msec, receiver, std::make_unique<MemberCall>(methodName));
}
