#include "velthread.h"

#include "velabstracteventdispatcher.h"
#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "veleventdispatcher_unix.h"
#include "veleventloop.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velthread_p.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

bool isMainThreadOfProcess()
{
    return ::getpid() == pid_t(::syscall(SYS_gettid));
}

// The calling thread's data, behind a trivially destructible pointer so that
// it stays readable while thread-local and static destructors run. A
// thread's reaper releases it when the thread exits; the main thread never
// arms its reaper: its data, thread object and dispatcher are left to the
// process exit, when other libraries' statics may still use them.
thread_local std::shared_ptr<VelThreadData> *currentData = nullptr;

struct Reaper {
    ~Reaper()
    {
        std::shared_ptr<VelThreadData> *holder = currentData;
        if (!holder)
            return;
        const std::shared_ptr<VelThreadData> data = *holder;
        if (data && data->adopted) {
            data->destroyDispatcher();
            delete data->thread.exchange(nullptr);
        }
        currentData = nullptr;
        delete holder;
    }
};
thread_local Reaper reaper;

void armReaper()
{
    if (!isMainThreadOfProcess())
        static_cast<void>(&reaper);
}

} // namespace

// ---- VelThreadData ----------------------------------------------------------------

VelThreadData::VelThreadData() = default;

VelThreadData::~VelThreadData()
{
    std::deque<VelPostedEvent> left;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        left.swap(m_posted);
    }
    for (const VelPostedEvent &pe : left)
        delete pe.event;
    delete m_dispatcher.exchange(nullptr);
}

VelThreadData *VelThreadData::current()
{
    return currentShared().get();
}

std::shared_ptr<VelThreadData> VelThreadData::currentShared()
{
    if (!currentData) {
        auto data = std::make_shared<VelThreadData>();
        data->threadId = std::this_thread::get_id();
        data->adopted = true;
        currentData = new std::shared_ptr<VelThreadData>(data);
        armReaper();
        // The thread object is itself an object of this thread, so the data
        // must be in place before it is constructed.
        data->thread.store(new VelThread(VelThread::AdoptTag(), data));
    }
    return *currentData;
}

void VelThreadData::setCurrent(const std::shared_ptr<VelThreadData> &data)
{
    if (!currentData) {
        currentData = new std::shared_ptr<VelThreadData>(data);
        armReaper();
    } else {
        *currentData = data;
    }
}

void VelThreadData::post(VelObject *receiver, VelEvent *event, int priority)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    VelPostedEvent pe{receiver, event, priority, m_sequence++};
    // Higher priorities first; equal priorities keep their posting order.
    auto it = m_posted.end();
    while (it != m_posted.begin() && std::prev(it)->priority < priority)
        --it;
    m_posted.insert(it, pe);
    if (VelAbstractEventDispatcher *dispatcher = m_dispatcher.load())
        dispatcher->wakeUp();
}

void VelThreadData::removePostedEvents(VelObject *receiver, int type)
{
    std::vector<VelEvent *> removed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_posted.begin(); it != m_posted.end();) {
            if (it->receiver == receiver && (type == 0 || it->event->type() == type)) {
                removed.push_back(it->event);
                it = m_posted.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Outside the lock: a blocking call's event wakes its caller here.
    for (VelEvent *e : removed)
        delete e;
}

void VelThreadData::releaseBlockingCalls()
{
    std::vector<VelEvent *> removed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_posted.begin(); it != m_posted.end();) {
            if (it->event->type() == VelEvent::MetaCall &&
                static_cast<VelMetaCallEvent *>(it->event)->isBlocking()) {
                removed.push_back(it->event);
                it = m_posted.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (VelEvent *e : removed)
        delete e;
}

void VelThreadData::movePostedEvents(VelObject *receiver, VelThreadData *target)
{
    std::vector<VelPostedEvent> moved;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_posted.begin(); it != m_posted.end();) {
            if (it->receiver == receiver) {
                moved.push_back(*it);
                it = m_posted.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const VelPostedEvent &pe : moved)
        target->post(pe.receiver, pe.event, pe.priority);
}

bool VelThreadData::deliverable(const VelPostedEvent &pe, VelObject *receiver, int type,
                                veluint64 limit) const
{
    if (pe.sequence >= limit)
        return false;
    if (receiver && pe.receiver != receiver)
        return false;
    if (type != 0 && pe.event->type() != type)
        return false;
    if (pe.event->type() == VelEvent::DeferredDelete && type != VelEvent::DeferredDelete) {
        // Deleted only once control is back in a loop shallower than the one
        // (or the event handler) that asked; a request made outside any loop
        // waits for a loop to run.
        const int eventLevel = static_cast<const VelDeferredDeleteEvent *>(pe.event)->loopLevel();
        const int level = m_loopLevel.load() + scopeLevel;
        return eventLevel > level || (eventLevel == 0 && level > 0);
    }
    return true;
}

int VelThreadData::sendPostedEvents(VelObject *receiver, int type)
{
    veluint64 limit;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        limit = m_sequence;
    }
    int delivered = 0;
    for (;;) {
        VelPostedEvent pe{};
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto it =
                std::find_if(m_posted.begin(), m_posted.end(), [&](const VelPostedEvent &p) {
                    return deliverable(p, receiver, type, limit);
                });
            if (it == m_posted.end())
                break;
            pe = *it;
            m_posted.erase(it);
        }
        // The event is owned here from now on, whatever the receiver does.
        std::unique_ptr<VelEvent> event(pe.event);
        VelCoreApplication::sendEvent(pe.receiver, event.get());
        ++delivered;
    }
    return delivered;
}

bool VelThreadData::hasDeliverablePostedEvents()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const veluint64 limit = std::numeric_limits<veluint64>::max();
    return std::any_of(m_posted.begin(), m_posted.end(),
                       [&](const VelPostedEvent &p) { return deliverable(p, nullptr, 0, limit); });
}

int VelThreadData::postedEventCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_posted.size());
}

namespace
{
std::atomic<VelThreadData::DispatcherCreatedHook> dispatcherCreatedHook{nullptr};
}

VelAbstractEventDispatcher *VelThreadData::ensureDispatcher()
{
    if (VelAbstractEventDispatcher *existing = m_dispatcher.load())
        return existing;
    auto *created = new VelEventDispatcherUNIX;
    // Made by whichever thread needed it first; it belongs to this thread.
    {
        std::lock_guard<std::mutex> affinity(velAffinityMutex());
        VelObjectPrivate::setThreadDataRecursive(created, selfShared());
    }
    if (DispatcherCreatedHook hook = dispatcherCreatedHook.load())
        hook(this);
    VelAbstractEventDispatcher *expected = nullptr;
    bool installed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        installed = m_dispatcher.compare_exchange_strong(expected, created);
    }
    if (!installed) {
        // Another thread made one first (an object moved here while this
        // thread started its loop). Deleted outside the lock: the object's
        // destructor removes its posted events under that same lock.
        delete created;
        return expected;
    }
    created->startingUp();
    return created;
}

void VelThreadData::setDispatcherCreatedHook(DispatcherCreatedHook hook)
{
    dispatcherCreatedHook.store(hook);
}

bool VelThreadData::setDispatcher(VelAbstractEventDispatcher *dispatcher)
{
    if (m_loopLevel.load() > 0) {
        velWarning("VelThread::setEventDispatcher: cannot replace the dispatcher while an event "
                   "loop runs");
        return false;
    }
    if (!dispatcher || dispatcher == m_dispatcher.load())
        return dispatcher != nullptr;
    {
        std::lock_guard<std::mutex> affinity(velAffinityMutex());
        VelObjectPrivate::setThreadDataRecursive(dispatcher, selfShared());
    }
    VelAbstractEventDispatcher *old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old = m_dispatcher.exchange(dispatcher);
    }
    if (old) {
        // Timers and notifiers registered so far keep working.
        for (const auto &t : old->allTimers()) {
            old->unregisterTimer(t.info.timerId);
            dispatcher->registerTimer(t.info.timerId, t.info.interval, t.info.timerType, t.object);
        }
        for (VelSocketNotifier *n : old->socketNotifiers()) {
            old->unregisterSocketNotifier(n);
            dispatcher->registerSocketNotifier(n);
        }
        old->closingDown();
        delete old;
    }
    dispatcher->startingUp();
    dispatcher->wakeUp();
    return true;
}

void VelThreadData::destroyDispatcher()
{
    VelAbstractEventDispatcher *old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old = m_dispatcher.exchange(nullptr);
    }
    if (old) {
        old->closingDown();
        delete old;
    }
}

void VelThreadData::wakeUp()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (VelAbstractEventDispatcher *dispatcher = m_dispatcher.load())
        dispatcher->wakeUp();
}

void VelThreadData::interrupt()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (VelAbstractEventDispatcher *dispatcher = m_dispatcher.load())
        dispatcher->interrupt();
}

void VelThreadData::pushLoop(VelEventLoop *loop)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_loops.push_back(loop);
    ++m_loopLevel;
}

void VelThreadData::popLoop(VelEventLoop *loop)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_loops.erase(std::remove(m_loops.begin(), m_loops.end(), loop), m_loops.end());
    --m_loopLevel;
}

void VelThreadData::exitAllLoops(int code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    quitCode.store(code);
    quitNow.store(true);
    for (VelEventLoop *loop : m_loops)
        loop->markExit(code);
    if (VelAbstractEventDispatcher *dispatcher = m_dispatcher.load())
        dispatcher->interrupt();
}

// ---- VelThread ----------------------------------------------------------------------

VEL_META_BEGIN(VelThread, VelObject)
VEL_META_SIGNAL(started)
VEL_META_SIGNAL(finished)
VEL_META_SLOT(quit)
VEL_META_SLOT(start)
VEL_META_END

VelThread::VelThread(VelObject *parent)
    : VelObject(parent), m_data(std::make_shared<VelThreadData>())
{
    m_data->thread.store(this);
}

VelThread::VelThread(AdoptTag, const std::shared_ptr<VelThreadData> &data)
    : VelObject(nullptr), m_data(data)
{
    m_running = true;
}

VelThread::~VelThread()
{
    if (m_data->adopted) {
        m_data->thread.store(nullptr);
        return;
    }
    if (isRunning()) {
        velWarning(
            "VelThread: destroyed while the thread is still running; waiting for it to finish");
        wait();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thread.joinable())
        m_thread.join();
    m_data->thread.store(nullptr);
}

VelThread *VelThread::currentThread()
{
    return VelThreadData::current()->thread.load();
}

void VelThread::msleep(unsigned long msecs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(msecs));
}

void VelThread::usleep(unsigned long usecs)
{
    std::this_thread::sleep_for(std::chrono::microseconds(usecs));
}

void VelThread::yieldCurrentThread()
{
    std::this_thread::yield();
}

std::shared_ptr<VelThreadData> VelThread::dataOf(const VelThread *thread)
{
    return thread ? thread->m_data : nullptr;
}

void VelThread::start()
{
    if (m_data->adopted) {
        velWarning("VelThread::start: the thread was not created by VelThread");
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_running)
        return;
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_finished = false;
    m_data->quitNow.store(false);
    m_thread = std::thread(&VelThread::threadMain, this);
}

void VelThread::threadMain()
{
    VelThreadData::setCurrent(m_data);
    m_data->threadId = std::this_thread::get_id();
    started();
    run();
    finished();
    // Objects handed to deleteLater by the thread's last work go now.
    m_data->sendPostedEvents(nullptr, VelEvent::DeferredDelete);
    m_data->releaseBlockingCalls();
    m_data->destroyDispatcher();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
        m_finished = true;
        m_done.notify_all();
    }
    // Nothing of this object may be touched from here on: a waiter may
    // already be destroying it.
}

void VelThread::run()
{
    exec();
}

int VelThread::exec()
{
    if (m_data->quitNow.exchange(false))
        return m_data->quitCode.load();
    VelEventLoop loop;
    const int code = loop.exec();
    m_data->quitNow.store(false);
    return code;
}

bool VelThread::wait(unsigned long msecs)
{
    if (VelThreadData::current() == m_data.get()) {
        velWarning("VelThread::wait: a thread cannot wait for itself");
        return false;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto stopped = [this] { return !m_running; };
    if (msecs == ULONG_MAX)
        m_done.wait(lock, stopped);
    else if (!m_done.wait_for(lock, std::chrono::milliseconds(msecs), stopped))
        return false;
    if (m_thread.joinable())
        m_thread.join();
    return true;
}

void VelThread::exit(int returnCode)
{
    m_data->exitAllLoops(returnCode);
}

bool VelThread::isRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_running;
}

bool VelThread::isFinished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

int VelThread::loopLevel() const
{
    return m_data->loopLevel();
}

VelAbstractEventDispatcher *VelThread::eventDispatcher() const
{
    return m_data->dispatcher();
}

void VelThread::setEventDispatcher(VelAbstractEventDispatcher *dispatcher)
{
    m_data->setDispatcher(dispatcher);
}

void VelThread::started()
{
    VEL_EMIT(started);
}

void VelThread::finished()
{
    VEL_EMIT(finished);
}
