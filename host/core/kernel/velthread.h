#ifndef VELTHREAD_H
#define VELTHREAD_H

#include "velobject.h"

#include <climits>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class VelAbstractEventDispatcher;
class VelThreadData;

// A thread with its own event dispatcher and loop. run() (by default
// exec()) runs in the new thread; the VelThread object itself lives in the
// thread that created it. Threads not started here (the main thread among
// them) get a VelThread object of their own on first use.
class VelThread : public VelObject
{
    VEL_OBJECT
public:
    explicit VelThread(VelObject *parent = nullptr);
    // Waits for a running thread to finish (after warning): destroying a
    // running thread would leave it with a dangling object.
    ~VelThread() override;

    static VelThread *currentThread();
    static void msleep(unsigned long msecs);
    static void usleep(unsigned long usecs);
    static void yieldCurrentThread();

    void start();
    // Waits for run() to return; msecs bounds the wait. False on time-out.
    bool wait(unsigned long msecs = ULONG_MAX);
    // Makes the thread's loops return (code 0 / returnCode); any thread.
    void quit() { exit(0); }
    void exit(int returnCode = 0);
    bool isRunning() const;
    bool isFinished() const;
    int loopLevel() const;

    // The thread's dispatcher (null until the thread needs one).
    VelAbstractEventDispatcher *eventDispatcher() const;
    // Installs a dispatcher before the thread's loop runs; the thread takes
    // ownership. Timers and notifiers of a dispatcher it replaces move over.
    void setEventDispatcher(VelAbstractEventDispatcher *dispatcher);

    // Runs the thread's event loop until quit()/exit(); call from run().
    int exec();

    // signals
    void started();
    void finished();

protected:
    // The thread's work; by default exec().
    virtual void run();

private:
    friend class VelThreadData;
    friend class VelObject;
    struct AdoptTag {
    };
    VelThread(AdoptTag, const std::shared_ptr<VelThreadData> &data);
    void threadMain();
    std::shared_ptr<VelThreadData> data() const { return m_data; }
    static std::shared_ptr<VelThreadData> dataOf(const VelThread *thread);

    std::shared_ptr<VelThreadData> m_data;
    // Guards m_running, m_finished and m_thread. Lock order: a leaf lock.
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    std::thread m_thread;
    bool m_running = false;
    bool m_finished = false;
};

#endif
