#include "velwaitcondition.h"

#include <chrono>

namespace
{
// Gives a readers-writer lock held for writing the lock()/unlock() shape
// that condition_variable_any needs.
class RelockableReadWrite
{
public:
    explicit RelockableReadWrite(VelReadWriteLock *lock) : m_lock(lock) {}
    void lock() { m_lock->lockForWrite(); }
    void unlock() { m_lock->unlock(); }

private:
    VelReadWriteLock *m_lock;
};
} // namespace

bool VelWaitCondition::wait(VelMutex *mutex, int timeout)
{
    if (timeout < 0) {
        m_condition.wait(*mutex);
        return true;
    }
    return m_condition.wait_for(*mutex, std::chrono::milliseconds(timeout)) ==
           std::cv_status::no_timeout;
}

bool VelWaitCondition::wait(VelReadWriteLock *lock, int timeout)
{
    RelockableReadWrite adaptor(lock);
    if (timeout < 0) {
        m_condition.wait(adaptor);
        return true;
    }
    return m_condition.wait_for(adaptor, std::chrono::milliseconds(timeout)) ==
           std::cv_status::no_timeout;
}

void VelWaitCondition::wakeOne()
{
    m_condition.notify_one();
}

void VelWaitCondition::wakeAll()
{
    m_condition.notify_all();
}
