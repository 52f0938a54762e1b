// The hand-over from Java threads to the GUI thread, with a real event loop on
// a thread of its own standing for the application thread.
#include "velandroidguithreadcall.h"

#include "velcoreapplication.h"
#include "velmetaobject.h"
#include "velthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
namespace Call = VelAndroidGuiThreadCall;

namespace
{

// Runs an application's event loop on its own thread with the hand-over open.
class GuiThread
{
public:
    explicit GuiThread(bool openHandOver = true)
    {
        std::promise<void> ready;
        auto started = ready.get_future();
        m_thread = std::thread([this, openHandOver, &ready] {
            int argc = 1;
            char name[] = "guithreadcall";
            char *argv[] = {name, nullptr};
            VelCoreApplication app(argc, argv);
            if (openHandOver)
                Call::start();
            m_app.store(&app);
            ready.set_value();
            VelCoreApplication::exec();
            Call::stop();
            m_app.store(nullptr);
        });
        started.wait();
    }
    ~GuiThread()
    {
        post([] { VelCoreApplication::quit(); });
        m_thread.join();
    }

    // Runs f on the GUI thread without waiting for it.
    template <typename F> void post(F f)
    {
        VelMetaObject::invokeMethod(m_app.load(), std::move(f), Vel::QueuedConnection);
    }

private:
    std::atomic<VelCoreApplication *> m_app{nullptr};
    std::thread m_thread;
};

// Holds the GUI thread inside a posted call until released.
class Gate
{
public:
    void holdGuiThread(GuiThread &gui)
    {
        gui.post([this] {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_entered = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_open; });
        });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_entered; });
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_entered = false;
    bool m_open = false;
};

// Counts works queued by run(), so that a test knows its caller is waiting.
std::atomic<int> queuedCount{0};
void countQueued()
{
    queuedCount.fetch_add(1);
}

// Starts run() on another thread and returns once its work is queued.
std::future<Call::Result> runQueued(std::atomic<bool> &ran)
{
    Call::setQueuedHook(countQueued);
    const int before = queuedCount.load();
    auto caller =
        std::async(std::launch::async, [&ran] { return Call::run([&ran] { ran = true; }, 60s); });
    while (queuedCount.load() == before)
        std::this_thread::sleep_for(1ms);
    Call::setQueuedHook(nullptr);
    return caller;
}

} // namespace

TEST(GuiThreadCall, RunsTheWorkOnTheGuiThreadAndWaitsForIt)
{
    GuiThread gui;
    std::thread::id ranOn;
    int answer = 0;
    const Call::Result result = Call::run([&] {
        ranOn = std::this_thread::get_id();
        answer = 42;
    });
    EXPECT_EQ(result, Call::Result::Ran);
    EXPECT_EQ(answer, 42);
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(GuiThreadCall, WorkFromTheGuiThreadRunsDirectly)
{
    GuiThread gui;
    std::promise<Call::Result> nested;
    gui.post([&] {
        bool ran = false;
        const Call::Result r = Call::run([&] { ran = true; });
        nested.set_value(ran ? r : Call::Result::Dropped);
    });
    EXPECT_EQ(nested.get_future().get(), Call::Result::RanHere);
}

TEST(GuiThreadCall, NothingRunsWithoutAnOpenHandOver)
{
    bool ran = false;
    EXPECT_EQ(Call::run([&] { ran = true; }), Call::Result::NotStarted);
    GuiThread guiWithoutHandOver(false);
    EXPECT_EQ(Call::run([&] { ran = true; }), Call::Result::NotStarted);
    EXPECT_FALSE(ran);
}

TEST(GuiThreadCall, ABusyGuiThreadTimesOutAndTheWorkNeverRunsLater)
{
    GuiThread gui;
    Gate gate;
    gate.holdGuiThread(gui);
    std::atomic<bool> ran{false};
    EXPECT_EQ(Call::run([&] { ran = true; }, 50ms), Call::Result::TimedOut);
    gate.open();
    // A call queued after the abandoned one proves the loop has passed it.
    EXPECT_EQ(Call::run([] {}), Call::Result::Ran);
    EXPECT_FALSE(ran.load());
}

// Holds the GUI thread in a posted call that, once told, marks itself blocked
// on Java until released. Each step is waited for, so no test depends on
// timing.
class JavaWait
{
public:
    explicit JavaWait(GuiThread &gui)
    {
        gui.post([this] {
            m_entered = true;
            spinUntil(m_markNow);
            {
                const Call::BlockedInJava blocked;
                m_marked = true;
                spinUntil(m_release);
            }
            m_unmarked = true;
        });
        spinUntil(m_entered);
    }
    void mark()
    {
        m_markNow = true;
        spinUntil(m_marked);
    }
    void release()
    {
        m_markNow = true;
        m_release = true;
        spinUntil(m_unmarked);
    }

private:
    static void spinUntil(const std::atomic<bool> &flag)
    {
        while (!flag.load())
            std::this_thread::yield();
    }
    std::atomic<bool> m_entered{false}, m_markNow{false}, m_marked{false}, m_release{false},
        m_unmarked{false};
};

TEST(GuiThreadCall, AGuiThreadBlockedInJavaAnswersAtOnce)
{
    GuiThread gui;
    JavaWait wait(gui);
    wait.mark();
    bool ran = false;
    // The timeout is a minute: only the mark can end this call before it.
    EXPECT_EQ(Call::run([&] { ran = true; }, 60s), Call::Result::GuiThreadBlocked);
    wait.release();
    EXPECT_EQ(Call::run([] {}), Call::Result::Ran);
    EXPECT_FALSE(ran);
}

TEST(GuiThreadCall, AMarkSetWhileTheWorkIsQueuedReleasesTheCaller)
{
    GuiThread gui;
    JavaWait wait(gui);
    std::atomic<bool> ran{false};
    // Queued behind the held call, which then blocks on Java before the loop
    // gets to the work.
    auto caller = runQueued(ran);
    wait.mark();
    EXPECT_EQ(caller.get(), Call::Result::GuiThreadBlocked);
    wait.release();
    EXPECT_EQ(Call::run([] {}), Call::Result::Ran);
    EXPECT_FALSE(ran.load());
}

TEST(GuiThreadCall, BegunWorkIsWaitedForPastTheTimeout)
{
    GuiThread gui;
    int written = 0;
    const Call::Result result = Call::run(
        [&] {
            std::this_thread::sleep_for(100ms);
            written = 1;
        },
        10ms);
    // The work writes to this stack frame: the caller may not leave first.
    EXPECT_EQ(result, Call::Result::Ran);
    EXPECT_EQ(written, 1);
}

TEST(GuiThreadCall, ClosingTheHandOverReleasesQueuedCallers)
{
    std::atomic<bool> ran{false};
    std::future<Call::Result> caller;
    {
        GuiThread gui;
        std::promise<void> entered;
        std::atomic<bool> closeNow{false};
        // Holds the GUI thread, then closes the hand-over before the loop
        // reaches the work queued meanwhile.
        gui.post([&] {
            entered.set_value();
            while (!closeNow.load())
                std::this_thread::sleep_for(1ms);
            Call::stop();
        });
        entered.get_future().wait();
        caller = runQueued(ran);
        closeNow = true;
        EXPECT_EQ(caller.wait_for(30s), std::future_status::ready);
    }
    EXPECT_EQ(caller.get(), Call::Result::Dropped);
    EXPECT_FALSE(ran.load());
}
