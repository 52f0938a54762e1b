#include "velmutex.h"

#include "vellogging.h"

#include <chrono>

bool VelMutex::acquireLocked(std::unique_lock<std::mutex> &guard, int timeout)
{
    const std::thread::id self = std::this_thread::get_id();
    if (m_locked && m_recursive && m_owner == self) {
        ++m_depth;
        return true;
    }
    const auto isFree = [this] { return !m_locked; };
    if (timeout < 0) {
        m_released.wait(guard, isFree);
    } else if (!m_released.wait_for(guard, std::chrono::milliseconds(timeout), isFree)) {
        return false;
    }
    m_locked = true;
    m_owner = self;
    m_depth = 1;
    return true;
}

void VelMutex::lock()
{
    std::unique_lock<std::mutex> guard(m_state);
    acquireLocked(guard, -1);
}

bool VelMutex::tryLock(int timeout)
{
    std::unique_lock<std::mutex> guard(m_state);
    return acquireLocked(guard, timeout);
}

void VelMutex::unlock()
{
    std::unique_lock<std::mutex> guard(m_state);
    if (!m_locked) {
        velWarning("VelMutex::unlock: the mutex is not locked");
        return;
    }
    if (m_recursive && m_owner != std::this_thread::get_id()) {
        velWarning(
            "VelMutex::unlock: a recursive mutex is unlocked by a thread that does not own it");
        return;
    }
    if (--m_depth > 0)
        return;
    m_locked = false;
    m_owner = std::thread::id();
    // Notified under the lock: the next owner may destroy the mutex as soon
    // as it has it.
    m_released.notify_one();
}
