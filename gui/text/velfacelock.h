#ifndef VELFACELOCK_H
#define VELFACELOCK_H

#include <atomic>
#include <mutex>
#include <thread>

// A recursive mutex for a shared FreeType face. Drawing text takes and
// releases the face once per glyph, so the first acquisition goes straight to
// a plain mutex and a nested one only counts, inline, where the C library's
// recursive mutex walks its type dispatch on every call.
//
// owner is written only by the thread that holds mutex; a thread reading its
// own id there can only have written it itself and not yet cleared it, so the
// relaxed load decides "already mine" correctly. depth is touched only by the
// holder.
class VelFaceLock
{
public:
    void lock()
    {
        const std::thread::id self = std::this_thread::get_id();
        if (m_owner.load(std::memory_order_relaxed) == self) {
            ++m_depth;
            return;
        }
        m_mutex.lock();
        m_owner.store(self, std::memory_order_relaxed);
        m_depth = 1;
    }

    bool try_lock()
    {
        const std::thread::id self = std::this_thread::get_id();
        if (m_owner.load(std::memory_order_relaxed) == self) {
            ++m_depth;
            return true;
        }
        if (!m_mutex.try_lock())
            return false;
        m_owner.store(self, std::memory_order_relaxed);
        m_depth = 1;
        return true;
    }

    // Only by the holder.
    void unlock()
    {
        if (--m_depth)
            return;
        m_owner.store(std::thread::id(), std::memory_order_relaxed);
        m_mutex.unlock();
    }

private:
    std::mutex m_mutex;
    std::atomic<std::thread::id> m_owner{std::thread::id()};
    int m_depth = 0;
};

#endif
