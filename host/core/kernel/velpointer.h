#ifndef VELPOINTER_H
#define VELPOINTER_H

#include "velobject.h"

#include <atomic>
#include <memory>

// Shared by an object and every guarded pointer to it; the object clears it
// when its destruction begins.
struct VelObjectGuard {
    std::atomic<VelObject *> object{nullptr};
};

std::shared_ptr<VelObjectGuard> velObjectGuard(const VelObject *object);

// A guarded pointer: reads null once its object has been destroyed. Any
// thread may read it; reading a live object from another thread is still
// subject to that object's own lifetime rules.
template <typename T> class VelPointer
{
public:
    VelPointer() = default;
    VelPointer(T *object) { assign(object); }
    VelPointer(const VelPointer &) = default;
    VelPointer(VelPointer &&) noexcept = default;
    VelPointer &operator=(const VelPointer &) = default;
    VelPointer &operator=(VelPointer &&) noexcept = default;
    VelPointer &operator=(T *object)
    {
        assign(object);
        return *this;
    }

    T *data() const
    {
        return (m_guard && m_guard->object.load(std::memory_order_acquire)) ? m_object : nullptr;
    }
    T *operator->() const { return data(); }
    T &operator*() const { return *data(); }
    operator T *() const { return data(); }
    bool isNull() const { return data() == nullptr; }
    void clear()
    {
        m_guard.reset();
        m_object = nullptr;
    }

private:
    void assign(T *object)
    {
        m_object = object;
        m_guard = object ? velObjectGuard(static_cast<const VelObject *>(object)) : nullptr;
    }

    std::shared_ptr<VelObjectGuard> m_guard;
    T *m_object = nullptr;
};

template <typename T> bool operator==(const VelPointer<T> &p, const T *o)
{
    return p.data() == o;
}
template <typename T> bool operator!=(const VelPointer<T> &p, const T *o)
{
    return p.data() != o;
}

#endif
