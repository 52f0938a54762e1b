#include "velsemaphore.h"

#include <chrono>

void VelSemaphore::acquire(int n)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this, n] { return m_available >= n; });
    m_available -= n;
}

bool VelSemaphore::tryAcquire(int n, int timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto enough = [this, n] { return m_available >= n; };
    if (timeout < 0)
        m_changed.wait(lock, enough);
    else if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeout), enough))
        return false;
    m_available -= n;
    return true;
}

void VelSemaphore::release(int n)
{
    // Notified under the lock: the waiter may destroy the semaphore as soon
    // as it sees the count (a blocking call's semaphore lives on its stack).
    std::lock_guard<std::mutex> lock(m_mutex);
    m_available += n;
    m_changed.notify_all();
}

int VelSemaphore::available() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_available;
}
