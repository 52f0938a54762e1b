#include "veleventdispatcher_unix.h"

#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velsocketnotifier.h"
#include "velthread_p.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

VEL_META_BEGIN(VelEventDispatcherUNIX, VelAbstractEventDispatcher)
VEL_META_END

namespace
{
short pollEventsFor(VelSocketNotifier::Type type)
{
    switch (type) {
    case VelSocketNotifier::Read:
        return POLLIN;
    case VelSocketNotifier::Write:
        return POLLOUT;
    case VelSocketNotifier::Exception:
        return POLLPRI;
    }
    return 0;
}

// Which returned events count as "ready" for a notifier: a hang-up or an
// error must reach readers and writers too, or they would never learn of it.
short readyEventsFor(VelSocketNotifier::Type type)
{
    switch (type) {
    case VelSocketNotifier::Read:
        return POLLIN | POLLHUP | POLLERR;
    case VelSocketNotifier::Write:
        return POLLOUT | POLLHUP | POLLERR;
    case VelSocketNotifier::Exception:
        return POLLPRI;
    }
    return 0;
}

const char *typeName(VelSocketNotifier::Type type)
{
    switch (type) {
    case VelSocketNotifier::Read:
        return "Read";
    case VelSocketNotifier::Write:
        return "Write";
    case VelSocketNotifier::Exception:
        return "Exception";
    }
    return "?";
}
} // namespace

VelEventDispatcherUNIX::VelEventDispatcherUNIX(VelObject *parent)
    : VelAbstractEventDispatcher(parent)
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0)
        velCritical("VelEventDispatcherUNIX: cannot create the wake-up descriptor: %s",
                    std::strerror(errno));
}

VelEventDispatcherUNIX::~VelEventDispatcherUNIX()
{
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool VelEventDispatcherUNIX::processEvents(VelEventLoop::ProcessEventsFlags flags)
{
    m_interrupt.store(false);
    VelThreadData *data = VelThreadData::current();

    bool didWork = data->sendPostedEvents(nullptr, 0) > 0;
    if (m_interrupt.load())
        return didWork;

    // Sleep only when asked to and when nothing is ready: work already done
    // in this pass is a result the caller should see first.
    const bool canWait = (flags & VelEventLoop::WaitForMoreEvents) && !didWork &&
                         !m_interrupt.load() && !data->hasDeliverablePostedEvents();
    const int timeout = canWait ? timeToNextTimer() : 0;
    if (canWait)
        aboutToBlock();
    didWork = doSelect(flags, timeout) > 0 || didWork;
    if (canWait)
        awake();
    if (m_interrupt.load())
        return didWork;

    didWork = activateTimers() > 0 || didWork;
    if (m_interrupt.load())
        return didWork;

    // A wake-up usually means something was posted while this pass slept.
    if (canWait)
        didWork = data->sendPostedEvents(nullptr, 0) > 0 || didWork;
    return didWork;
}

bool VelEventDispatcherUNIX::hasPendingEvents()
{
    return velGlobalPostedEventsCount() != 0;
}

int VelEventDispatcherUNIX::doSelect(VelEventLoop::ProcessEventsFlags flags, int timeout)
{
    std::vector<pollfd> fds;
    std::vector<VelSocketNotifier *> watched;
    fds.push_back({m_wakeFd, POLLIN, 0});
    if (!(flags & VelEventLoop::ExcludeSocketNotifiers)) {
        std::lock_guard<std::mutex> lock(m_notifierMutex);
        for (VelSocketNotifier *n : m_notifiers) {
            fds.push_back({n->socket(), pollEventsFor(n->type()), 0});
            watched.push_back(n);
        }
    }
    const int ready = ::poll(fds.data(), nfds_t(fds.size()), timeout);
    if (ready < 0) {
        if (errno != EINTR)
            velWarning("VelEventDispatcherUNIX: poll failed: %s", std::strerror(errno));
        return 0;
    }
    if (ready == 0)
        return 0;
    if (fds[0].revents & POLLIN)
        drainWakeUp();

    int activated = 0;
    for (size_t i = 1; i < fds.size(); ++i) {
        VelSocketNotifier *n = watched[i - 1];
        // An earlier notifier's slot may have disabled or deleted this one.
        if (!isRegistered(n))
            continue;
        if (fds[i].revents & POLLNVAL) {
            // A closed descriptor would make every poll return at once.
            velWarning("VelSocketNotifier: invalid socket %d and type '%s', disabling...",
                       n->socket(), typeName(n->type()));
            n->setEnabled(false);
            continue;
        }
        if (fds[i].revents & readyEventsFor(n->type())) {
            VelEvent event(VelEvent::SockAct);
            VelCoreApplication::sendEvent(n, &event);
            ++activated;
        }
    }
    return activated;
}

void VelEventDispatcherUNIX::drainWakeUp()
{
    // Read before clearing. Cleared first, a wake-up arriving in between
    // wrote again, the read loop swallowed that write too, and the flag stayed
    // set with nothing to read: every later wakeUp() saw it and wrote nothing,
    // and the thread slept with work posted. A wake-up skipped between the read
    // and the clear is harmless: this pass delivers posted and window-system
    // events after draining, before it can sleep again.
    eventfd_t value;
    while (::eventfd_read(m_wakeFd, &value) == 0) {
    }
    m_wakeUpPending.store(false);
}

void VelEventDispatcherUNIX::wakeUp()
{
    if (m_wakeUpPending.exchange(true))
        return;
    if (::eventfd_write(m_wakeFd, 1) != 0)
        velWarning("VelEventDispatcherUNIX::wakeUp: %s", std::strerror(errno));
}

void VelEventDispatcherUNIX::interrupt()
{
    m_interrupt.store(true);
    wakeUp();
}

void VelEventDispatcherUNIX::flush() {}

bool VelEventDispatcherUNIX::isRegistered(VelSocketNotifier *notifier) const
{
    std::lock_guard<std::mutex> lock(m_notifierMutex);
    return std::find(m_notifiers.begin(), m_notifiers.end(), notifier) != m_notifiers.end();
}

void VelEventDispatcherUNIX::registerSocketNotifier(VelSocketNotifier *notifier)
{
    if (!notifier || notifier->socket() < 0)
        return;
    {
        std::lock_guard<std::mutex> lock(m_notifierMutex);
        if (std::find(m_notifiers.begin(), m_notifiers.end(), notifier) != m_notifiers.end())
            return;
        m_notifiers.push_back(notifier);
    }
    // The descriptor joins the next poll; a poll already sleeping must restart.
    wakeUp();
}

void VelEventDispatcherUNIX::unregisterSocketNotifier(VelSocketNotifier *notifier)
{
    std::lock_guard<std::mutex> lock(m_notifierMutex);
    m_notifiers.erase(std::remove(m_notifiers.begin(), m_notifiers.end(), notifier),
                      m_notifiers.end());
}

std::vector<VelSocketNotifier *> VelEventDispatcherUNIX::socketNotifiers() const
{
    std::lock_guard<std::mutex> lock(m_notifierMutex);
    return m_notifiers;
}

void VelEventDispatcherUNIX::registerTimer(int timerId, int interval, Vel::TimerType timerType,
                                           VelObject *object)
{
    {
        std::lock_guard<std::mutex> lock(m_timerMutex);
        m_timers.push_back(Timer{timerId, interval, timerType, object,
                                 Clock::now() + std::chrono::milliseconds(interval),
                                 ++m_timerSerial});
    }
    // Registered from another thread (an object moved here): the sleeping
    // poll must learn about the new deadline.
    if (VelThreadData::current() != VelObjectPrivate::threadDataOf(this).get())
        wakeUp();
}

bool VelEventDispatcherUNIX::unregisterTimer(int timerId)
{
    std::lock_guard<std::mutex> lock(m_timerMutex);
    const auto it = std::find_if(m_timers.begin(), m_timers.end(),
                                 [timerId](const Timer &t) { return t.id == timerId; });
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    return true;
}

bool VelEventDispatcherUNIX::unregisterTimers(VelObject *object)
{
    std::lock_guard<std::mutex> lock(m_timerMutex);
    const auto end = std::remove_if(m_timers.begin(), m_timers.end(),
                                    [object](const Timer &t) { return t.object == object; });
    const bool found = end != m_timers.end();
    m_timers.erase(end, m_timers.end());
    return found;
}

std::vector<VelAbstractEventDispatcher::TimerInfo>
VelEventDispatcherUNIX::registeredTimers(VelObject *object) const
{
    std::lock_guard<std::mutex> lock(m_timerMutex);
    std::vector<TimerInfo> result;
    for (const Timer &t : m_timers) {
        if (t.object == object)
            result.push_back({t.id, t.interval, t.type});
    }
    return result;
}

std::vector<VelAbstractEventDispatcher::RegisteredTimer> VelEventDispatcherUNIX::allTimers() const
{
    std::lock_guard<std::mutex> lock(m_timerMutex);
    std::vector<RegisteredTimer> result;
    for (const Timer &t : m_timers)
        result.push_back({t.object, {t.id, t.interval, t.type}});
    return result;
}

int VelEventDispatcherUNIX::remainingTime(int timerId)
{
    std::lock_guard<std::mutex> lock(m_timerMutex);
    for (const Timer &t : m_timers) {
        if (t.id == timerId) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(t.due - Clock::now()).count();
            return left > 0 ? int(left) : 0;
        }
    }
    return -1;
}

int VelEventDispatcherUNIX::timeToNextTimer() const
{
    std::lock_guard<std::mutex> lock(m_timerMutex);
    if (m_timers.empty())
        return -1;
    const Clock::time_point now = Clock::now();
    Clock::time_point earliest = m_timers.front().due;
    for (const Timer &t : m_timers)
        earliest = std::min(earliest, t.due);
    if (earliest <= now)
        return 0;
    // Rounded up: waking a little early would only spin until the deadline.
    const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(earliest - now).count();
    return int((wait + 999) / 1000);
}

int VelEventDispatcherUNIX::activateTimers()
{
    const Clock::time_point now = Clock::now();
    std::vector<int> due;
    veluint64 serialLimit;
    {
        std::lock_guard<std::mutex> lock(m_timerMutex);
        serialLimit = m_timerSerial;
        for (const Timer &t : m_timers) {
            if (t.due <= now)
                due.push_back(t.id);
        }
    }
    int fired = 0;
    for (const int id : due) {
        if (m_interrupt.load())
            break;
        VelObject *object = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_timerMutex);
            const auto it = std::find_if(m_timers.begin(), m_timers.end(),
                                         [id](const Timer &t) { return t.id == id; });
            // Gone (killed by an earlier timer's handler) or registered anew
            // during this pass: not this pass's business.
            if (it == m_timers.end() || it->serial > serialLimit)
                continue;
            object = it->object;
            // Missed periods are dropped rather than fired in a burst.
            it->due += std::chrono::milliseconds(it->interval);
            if (it->due <= now)
                it->due = now + std::chrono::milliseconds(it->interval);
        }
        VelTimerEvent event(id);
        VelCoreApplication::sendEvent(object, &event);
        ++fired;
    }
    return fired;
}
