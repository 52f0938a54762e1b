#ifndef VELANDROIDGUITHREADCALL_H
#define VELANDROIDGUITHREADCALL_H

#include <chrono>
#include <functional>

class VelObject;

// The one way a Java thread hands work to the GUI thread and waits for it
// (input-method queries and events, accessibility reads, menu lookups).
//
// The GUI thread opens the hand-over with start() (the integration does, when
// it is constructed) and closes it with stop() before it goes away. Between
// the two, run() from any other thread queues the work as a call to a
// receiver object that lives on the GUI thread and waits for it.
//
// The wait is bounded twice over, because a Java thread must never hang on a
// GUI thread that itself waits for Java:
// - the GUI thread marks every stretch in which it blocks on a Java thread
//   (waiting for a surface, or for a lock a Java thread may hold)
//   with a BlockedInJava guard; a run() that finds the mark, or sees it
//   appear before its work began, gives up at once;
// - otherwise the caller waits at most the timeout for the GUI thread to
//   begin the work.
// Work that was given up is never run later, and work that has begun is always
// waited for to its end: the callable may therefore refer to the caller's
// stack. Work still queued when the hand-over closes is dropped and its caller
// released.
//
// Lock order: the hand-over's own mutex (guarding the receiver) is taken
// alone; each call's state has a mutex of its own, taken after it or alone.
namespace VelAndroidGuiThreadCall
{

enum class Result {
    Ran,              // the work ran on the GUI thread
    RanHere,          // the caller is the GUI thread; the work ran directly
    NotStarted,       // no GUI thread takes hand-overs (before start, after stop)
    GuiThreadBlocked, // the GUI thread waits for a Java thread; the work did not run
    TimedOut,         // the GUI thread did not begin the work in time; it will not run
    Dropped           // the hand-over closed before the GUI thread got to the work
};

inline bool ran(Result result)
{
    return result == Result::Ran || result == Result::RanHere;
}

// On the GUI thread: opens and closes the hand-over. stop() releases every
// caller still waiting; their work does not run.
void start();
void stop();
bool isGuiThread();

Result run(const std::function<void()> &work);
Result run(const std::function<void()> &work, std::chrono::milliseconds timeout);

// How long run() waits for the GUI thread to begin; tests shorten it.
std::chrono::milliseconds defaultTimeout();
void setDefaultTimeout(std::chrono::milliseconds timeout);

// Test seam: called by run() on the caller's thread right after its work was
// queued and before it waits. Null (the default) calls nothing.
using QueuedHook = void (*)();
void setQueuedHook(QueuedHook hook);

// Marks, on the GUI thread, a stretch in which it blocks on a Java thread.
// Nests.
class BlockedInJava
{
public:
    BlockedInJava();
    ~BlockedInJava();
    BlockedInJava(const BlockedInJava &) = delete;
    BlockedInJava &operator=(const BlockedInJava &) = delete;

private:
    bool m_counted = true; // only the GUI thread's stretches count
};

} // namespace VelAndroidGuiThreadCall

#endif
