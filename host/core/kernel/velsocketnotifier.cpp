#include "velsocketnotifier.h"

#include "velabstracteventdispatcher.h"
#include "velcoreevent.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velthread_p.h"

VEL_META_BEGIN(VelSocketNotifier, VelObject)
VEL_META_SIGNAL(activated, int)
VEL_META_SLOT(setEnabled, bool)
VEL_META_END

VelSocketNotifier::VelSocketNotifier(int socket, Type type, VelObject *parent)
    : VelObject(parent), m_socket(socket), m_type(type)
{
    if (socket < 0)
        velWarning("VelSocketNotifier: invalid socket specified");
    else
        setEnabled(true);
}

VelSocketNotifier::~VelSocketNotifier()
{
    if (!m_enabled)
        return;
    // Unregistered even when destroyed from another thread: the dispatcher
    // must not keep a pointer to a dead notifier.
    m_enabled = false;
    const std::shared_ptr<VelThreadData> data = VelObjectPrivate::threadDataOf(this);
    if (data.get() != VelThreadData::current())
        velWarning("VelSocketNotifier: destroyed outside its thread");
    if (VelAbstractEventDispatcher *dispatcher = data->dispatcher())
        dispatcher->unregisterSocketNotifier(this);
}

void VelSocketNotifier::setEnabled(bool enable)
{
    if (m_socket < 0 || enable == m_enabled)
        return;
    const std::shared_ptr<VelThreadData> data = VelObjectPrivate::threadDataOf(this);
    if (data.get() != VelThreadData::current()) {
        velWarning("VelSocketNotifier::setEnabled: socket notifiers cannot be enabled or disabled "
                   "from another "
                   "thread");
        return;
    }
    m_enabled = enable;
    if (enable) {
        data->ensureDispatcher()->registerSocketNotifier(this);
    } else if (VelAbstractEventDispatcher *dispatcher = data->dispatcher()) {
        dispatcher->unregisterSocketNotifier(this);
    }
}

void VelSocketNotifier::activated(int socket)
{
    VEL_EMIT(activated, socket);
}

bool VelSocketNotifier::event(VelEvent *e)
{
    if (e->type() == VelEvent::SockAct) {
        if (m_enabled)
            activated(m_socket);
        return true;
    }
    return VelObject::event(e);
}
