#ifndef VELWAITCONDITION_H
#define VELWAITCONDITION_H

#include "velglobal.h"
#include "velmutex.h"
#include "velreadwritelock.h"

#include <condition_variable>

// Waits release the given mutex (locked once by the caller) or the
// readers-writer lock (held for writing) and take it again before returning.
class VelWaitCondition
{
public:
    VelWaitCondition() = default;
    VEL_DISABLE_COPY(VelWaitCondition)

    // timeout in milliseconds, negative = for ever; false when it timed out.
    bool wait(VelMutex *mutex, int timeout = -1);
    bool wait(VelReadWriteLock *lock, int timeout = -1);
    void wakeOne();
    void wakeAll();

private:
    std::condition_variable_any m_condition;
};

#endif
