#include "velreadwritelock.h"

#include "vellogging.h"

// Waiting writers hold back new readers so that a steady stream of readers
// cannot starve a writer.
void VelReadWriteLock::lockForRead()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_writer && m_waitingWriters == 0; });
    ++m_readers;
}

void VelReadWriteLock::lockForWrite()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_waitingWriters;
    m_changed.wait(lock, [this] { return !m_writer && m_readers == 0; });
    --m_waitingWriters;
    m_writer = true;
}

bool VelReadWriteLock::tryLockForRead()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_writer || m_waitingWriters > 0)
        return false;
    ++m_readers;
    return true;
}

bool VelReadWriteLock::tryLockForWrite()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_writer || m_readers > 0)
        return false;
    m_writer = true;
    return true;
}

void VelReadWriteLock::unlock()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_writer) {
        m_writer = false;
    } else if (m_readers > 0) {
        --m_readers;
    } else {
        velWarning("VelReadWriteLock::unlock: the lock is not held");
        return;
    }
    // Under the lock, for the same reason as VelMutex::unlock.
    m_changed.notify_all();
}
