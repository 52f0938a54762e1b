// A tour of the host core at work: a worker thread with an object of its
// own, queued and blocking queued calls across threads, a zero-interval
// single-shot timer whose repeated starts coalesce, and a nested event loop
// that keeps delivering queued calls. Prints what happened; exits non-zero
// if anything did not happen as it should.

#include "velcoreapplication.h"
#include "veleventloop.h"
#include "velobject.h"
#include "velthread.h"
#include "veltimer.h"

#include <cstdio>
#include <string>

namespace
{

const char *threadName(VelThread *mainThread)
{
    return VelThread::currentThread() == mainThread ? "main" : "worker";
}

VelThread *mainThread = nullptr;
int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("  [%s] %s\n", ok ? "ok" : "FAILED", what);
    if (!ok)
        ++failures;
}

} // namespace

// Lives in the worker thread and keeps a running total.
class VelAccumulator : public VelObject
{
    VEL_OBJECT
public:
    void add(int amount)
    {
        m_total += amount;
        std::printf("  worker: add(%d) ran in the %s thread, total now %d\n", amount,
                    threadName(mainThread), m_total);
        totalChanged(m_total);
    }
    int total() const
    {
        std::printf("  worker: total() ran in the %s thread\n", threadName(mainThread));
        return m_total;
    }

    // signal
    void totalChanged(int total);

private:
    int m_total = 0;
};

VEL_META_BEGIN(VelAccumulator, VelObject)
VEL_META_SIGNAL(totalChanged, int)
VEL_META_SLOT(add, int)
VEL_META_INVOKABLE(total)
VEL_META_END

void VelAccumulator::totalChanged(int total)
{
    VEL_EMIT(totalChanged, total);
}

// Lives in the main thread and runs the steps of the tour.
class VelTour : public VelObject
{
    VEL_OBJECT
public:
    VelTour(VelAccumulator *accumulator, VelThread *worker)
        : m_accumulator(accumulator), m_worker(worker)
    {
    }

    void run()
    {
        std::printf("1. Queued call from main to the worker, reply by an automatic connection\n");
        VelEventLoop waitForReply;
        m_replyLoop = &waitForReply;
        VelMetaObject::invokeMethod(m_accumulator, "add", Vel::QueuedConnection, VEL_ARG(int, 5));
        // A nested loop: the reply from the worker arrives as a queued call
        // to this object and is delivered while the loop runs.
        const int code = waitForReply.exec();
        m_replyLoop = nullptr;
        check(code == 0 && m_lastReply == 5,
              "the reply arrived in a nested event loop of the main thread");

        std::printf("2. Blocking queued call: main waits for the worker's answer\n");
        VelMetaObject::invokeMethod(m_accumulator, "add", Vel::BlockingQueuedConnection,
                                    VEL_ARG(int, 37));
        int total = 0;
        const bool called = VelMetaObject::invokeMethod(
            m_accumulator, "total", Vel::BlockingQueuedConnection, VEL_RETURN_ARG(int, total));
        std::printf("  main: total() returned %d\n", total);
        check(called && total == 42, "the blocking call returned the worker's result");
        std::printf(
            "  (the worker's totalChanged(42) is queued to main and shows up in a later pass)\n");

        std::printf("3. Blocking queued call to an object of the calling thread\n");
        const bool selfCall = VelMetaObject::invokeMethod(
            this, "onReply", Vel::BlockingQueuedConnection, VEL_ARG(int, 0));
        check(!selfCall, "refused with a warning instead of deadlocking");

        std::printf("4. Zero-interval single-shot timer started three times\n");
        m_timer.setSingleShot(true);
        m_timer.setInterval(0);
        VelObject::connect(&m_timer, &VelTimer::timeout, this, &VelTour::onTimeout);
        m_timer.start();
        m_timer.start();
        m_timer.start();
        // Give the loop a few passes; the timer fires in the first.
        VelTimer::singleShot(0, this,
                             [this]() { VelTimer::singleShot(0, this, [this]() { finish(); }); });
    }

    // slots
    void onReply(int total)
    {
        std::printf("  main: reply totalChanged(%d) delivered in the %s thread\n", total,
                    threadName(mainThread));
        m_lastReply = total;
        if (m_replyLoop)
            m_replyLoop->exit(0);
    }
    void onTimeout()
    {
        ++m_timeouts;
        std::printf("  main: timeout #%d\n", m_timeouts);
    }

private:
    void finish()
    {
        check(m_timeouts == 1, "three starts gave exactly one timeout");
        VelCoreApplication::exit(failures == 0 ? 0 : 1);
    }

    VelAccumulator *m_accumulator;
    VelThread *m_worker;
    VelEventLoop *m_replyLoop = nullptr;
    VelTimer m_timer;
    int m_lastReply = -1;
    int m_timeouts = 0;
};

VEL_META_BEGIN(VelTour, VelObject)
VEL_META_SLOT(onReply, int)
VEL_META_SLOT(onTimeout)
VEL_META_END

int main(int argc, char **argv)
{
    // Line-buffered so that the log interleaves with warnings on stderr.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    VelCoreApplication app(argc, argv);
    mainThread = VelThread::currentThread();

    VelThread worker;
    VelAccumulator accumulator;
    accumulator.moveToThread(&worker);
    worker.start();

    VelTour tour(&accumulator, &worker);
    VelObject::connect(&accumulator, SIGNAL(totalChanged(int)), &tour, SLOT(onReply(int)));
    VelMetaObject::invokeMethod(
        &tour, [&tour]() { tour.run(); }, Vel::QueuedConnection);

    const int code = VelCoreApplication::exec();
    worker.quit();
    worker.wait();
    std::printf("%s\n",
                code == 0 ? "core demo: all steps behaved" : "core demo: some steps FAILED");
    return code;
}
