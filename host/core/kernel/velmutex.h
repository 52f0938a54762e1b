#ifndef VELMUTEX_H
#define VELMUTEX_H

#include "velglobal.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A mutex whose lock and unlock may come from separate calls (even from
// separate threads for the non-recursive kind, as when one side locks a
// surface and another side unlocks it). Recursive mutexes may be locked
// again by their owner and need as many unlocks.
class VelMutex
{
public:
    enum RecursionMode { NonRecursive = 0, Recursive = 1 };

    explicit VelMutex(RecursionMode mode = NonRecursive) : m_recursive(mode == Recursive) {}
    ~VelMutex() = default;
    VEL_DISABLE_COPY(VelMutex)

    void lock();
    // timeout in milliseconds; negative waits for ever.
    bool tryLock(int timeout = 0);
    bool try_lock() { return tryLock(0); }
    void unlock();
    bool isRecursive() const { return m_recursive; }

private:
    bool acquireLocked(std::unique_lock<std::mutex> &guard, int timeout);

    const bool m_recursive;
    // Guards m_locked, m_owner and m_depth; a leaf lock held only inside
    // these member functions.
    std::mutex m_state;
    std::condition_variable m_released;
    bool m_locked = false;
    std::thread::id m_owner;
    int m_depth = 0;
};

class VelMutexLocker
{
public:
    explicit VelMutexLocker(VelMutex *mutex) : m_mutex(mutex)
    {
        if (m_mutex)
            m_mutex->lock();
    }
    ~VelMutexLocker() { unlock(); }
    VEL_DISABLE_COPY(VelMutexLocker)

    void unlock()
    {
        if (m_mutex && m_locked) {
            m_locked = false;
            m_mutex->unlock();
        }
    }
    void relock()
    {
        if (m_mutex && !m_locked) {
            m_mutex->lock();
            m_locked = true;
        }
    }
    VelMutex *mutex() const { return m_mutex; }

private:
    VelMutex *m_mutex;
    bool m_locked = true;
};

#endif
