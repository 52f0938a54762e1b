#include "velandroidguithreadcall.h"

#include "velmetaobject.h"
#include "velobject.h"
#include "velthread.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace VelAndroidGuiThreadCall
{
namespace
{

// One handed-over piece of work and the state both threads see.
struct Call {
    enum State { Queued, Running, Finished, Abandoned, DroppedUnrun };

    explicit Call(const std::function<void()> &w) : work(w) {}

    std::mutex mutex; // guards state; taken alone or after handOverMutex
    std::condition_variable changed;
    State state = Queued;
    const std::function<void()> &work; // the caller's; valid while it waits
};

// The queued form of a Call: runs it unless the caller gave up, and releases
// the caller when it is destroyed unrun (the receiver died with it queued).
class Job
{
public:
    explicit Job(std::shared_ptr<Call> call) : m_call(std::move(call)) {}
    Job(Job &&other) noexcept : m_call(std::move(other.m_call)) {}
    Job &operator=(Job &&) = delete;
    Job(const Job &) = delete;
    ~Job() { settleUnrun(); }

    void operator()()
    {
        if (!m_call)
            return;
        {
            std::lock_guard<std::mutex> lock(m_call->mutex);
            if (m_call->state != Call::Queued)
                return;
            m_call->state = Call::Running;
        }
        m_call->work();
        std::lock_guard<std::mutex> lock(m_call->mutex);
        m_call->state = Call::Finished;
        m_call->changed.notify_all();
    }

private:
    void settleUnrun()
    {
        if (!m_call)
            return;
        std::lock_guard<std::mutex> lock(m_call->mutex);
        if (m_call->state == Call::Queued) {
            m_call->state = Call::DroppedUnrun;
            m_call->changed.notify_all();
        }
    }

    std::shared_ptr<Call> m_call;
};

std::mutex handOverMutex;      // guards receiver; first in order
VelObject *receiver = nullptr; // lives on the GUI thread; owned there
std::atomic<VelThread *> guiThread{nullptr};
std::atomic<int> blockedInJavaDepth{0}; // written by the GUI thread only
std::atomic<long long> timeoutMsecs{5000};
std::atomic<QueuedHook> queuedHook{nullptr};

// A waiting caller looks at the blocked-in-Java mark this often while its
// work is still queued.
constexpr std::chrono::milliseconds markPollInterval{5};

Result queue(const std::shared_ptr<Call> &call)
{
    std::lock_guard<std::mutex> lock(handOverMutex);
    if (!receiver)
        return Result::NotStarted;
    VelMetaObject::invokeMethod(receiver, Job(call), Vel::QueuedConnection);
    return Result::Ran;
}

Result waitFor(Call &call, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock<std::mutex> lock(call.mutex);
    for (;;) {
        switch (call.state) {
        case Call::Finished:
            return Result::Ran;
        case Call::DroppedUnrun:
            return Result::Dropped;
        case Call::Running:
            // Begun work is waited for to its end: it may write to our stack.
            call.changed.wait(lock);
            continue;
        case Call::Queued:
        case Call::Abandoned:
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (blockedInJavaDepth.load() > 0 || now >= deadline) {
            call.state = Call::Abandoned;
            return now >= deadline ? Result::TimedOut : Result::GuiThreadBlocked;
        }
        call.changed.wait_for(
            lock, std::min<std::chrono::steady_clock::duration>(markPollInterval, deadline - now));
    }
}

} // namespace

void start()
{
    std::lock_guard<std::mutex> lock(handOverMutex);
    if (receiver)
        return;
    receiver = new VelObject;
    guiThread.store(VelThread::currentThread());
}

void stop()
{
    VelObject *closing = nullptr;
    {
        std::lock_guard<std::mutex> lock(handOverMutex);
        closing = receiver;
        receiver = nullptr;
        guiThread.store(nullptr);
    }
    // Deleting the receiver destroys its queued jobs unrun, which releases
    // their callers.
    delete closing;
}

bool isGuiThread()
{
    VelThread *const thread = guiThread.load();
    return thread && thread == VelThread::currentThread();
}

Result run(const std::function<void()> &work)
{
    return run(work, defaultTimeout());
}

Result run(const std::function<void()> &work, std::chrono::milliseconds timeout)
{
    if (isGuiThread()) {
        work();
        return Result::RanHere;
    }
    if (blockedInJavaDepth.load() > 0)
        return Result::GuiThreadBlocked;
    auto call = std::make_shared<Call>(work);
    const Result queued = queue(call);
    if (queued != Result::Ran)
        return queued;
    if (QueuedHook hook = queuedHook.load())
        hook();
    return waitFor(*call, timeout);
}

std::chrono::milliseconds defaultTimeout()
{
    return std::chrono::milliseconds(timeoutMsecs.load());
}

void setDefaultTimeout(std::chrono::milliseconds timeout)
{
    timeoutMsecs.store(std::max<long long>(0, timeout.count()));
}

void setQueuedHook(QueuedHook hook)
{
    queuedHook.store(hook);
}

BlockedInJava::BlockedInJava()
{
    if (isGuiThread())
        blockedInJavaDepth.fetch_add(1);
    else
        m_counted = false;
}

BlockedInJava::~BlockedInJava()
{
    if (m_counted)
        blockedInJavaDepth.fetch_sub(1);
}

} // namespace VelAndroidGuiThreadCall
