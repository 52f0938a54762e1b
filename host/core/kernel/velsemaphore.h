#ifndef VELSEMAPHORE_H
#define VELSEMAPHORE_H

#include "velglobal.h"

#include <condition_variable>
#include <mutex>

// A counting semaphore. Releases made before an acquire are kept in the count.
class VelSemaphore
{
public:
    explicit VelSemaphore(int n = 0) : m_available(n) {}
    VEL_DISABLE_COPY(VelSemaphore)

    void acquire(int n = 1);
    // timeout in milliseconds; negative waits for ever.
    bool tryAcquire(int n = 1, int timeout = 0);
    void release(int n = 1);
    int available() const;

private:
    // Guards m_available; a leaf lock.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_available;
};

#endif
