#ifndef VELEVENTLOOP_H
#define VELEVENTLOOP_H

#include "velobject.h"

#include <atomic>

// A loop over the current thread's dispatcher. Loops nest: exec() inside a
// slot runs a new loop that keeps delivering posted events and queued calls
// until exit() is called.
class VelEventLoop : public VelObject
{
    VEL_OBJECT
public:
    enum ProcessEventsFlag {
        AllEvents = 0x00,
        ExcludeUserInputEvents = 0x01,
        ExcludeSocketNotifiers = 0x02,
        WaitForMoreEvents = 0x04,
        EventLoopExec = 0x20,
        DialogExec = 0x40
    };
    using ProcessEventsFlags = int;

    explicit VelEventLoop(VelObject *parent = nullptr);
    ~VelEventLoop() override;

    // One pass of the current thread's dispatcher; true if it did any work.
    bool processEvents(ProcessEventsFlags flags = AllEvents);
    // Runs until exit(); returns exit()'s code. Must be called on the loop's thread.
    int exec(ProcessEventsFlags flags = AllEvents);
    // Makes exec() return code; callable from any thread.
    void exit(int returnCode = 0);
    bool isRunning() const { return m_running.load(); }
    // Wakes the loop's dispatcher.
    void wakeUp();

    // slot
    void quit() { exit(0); }

private:
    friend class VelThreadData;
    void markExit(int returnCode);

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_exit{false};
    std::atomic<int> m_returnCode{0};
};

#endif
