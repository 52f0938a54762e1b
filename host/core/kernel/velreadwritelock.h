#ifndef VELREADWRITELOCK_H
#define VELREADWRITELOCK_H

#include "velglobal.h"

#include <condition_variable>
#include <mutex>

// A non-recursive readers-writer lock. It holds no resources beyond its
// members, so a static one can be used from any library's static
// initialisers.
class VelReadWriteLock
{
public:
    VelReadWriteLock() = default;
    VEL_DISABLE_COPY(VelReadWriteLock)

    void lockForRead();
    void lockForWrite();
    bool tryLockForRead();
    bool tryLockForWrite();
    // Releases whichever kind of lock the caller holds.
    void unlock();

private:
    // Guards the counters; a leaf lock.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_readers = 0;
    int m_waitingWriters = 0;
    bool m_writer = false;
};

class VelReadLocker
{
public:
    explicit VelReadLocker(VelReadWriteLock *lock) : m_lock(lock) { m_lock->lockForRead(); }
    ~VelReadLocker() { unlock(); }
    VEL_DISABLE_COPY(VelReadLocker)
    void unlock()
    {
        if (m_locked) {
            m_locked = false;
            m_lock->unlock();
        }
    }

private:
    VelReadWriteLock *m_lock;
    bool m_locked = true;
};

class VelWriteLocker
{
public:
    explicit VelWriteLocker(VelReadWriteLock *lock) : m_lock(lock) { m_lock->lockForWrite(); }
    ~VelWriteLocker() { unlock(); }
    VEL_DISABLE_COPY(VelWriteLocker)
    void unlock()
    {
        if (m_locked) {
            m_locked = false;
            m_lock->unlock();
        }
    }

private:
    VelReadWriteLock *m_lock;
    bool m_locked = true;
};

#endif
