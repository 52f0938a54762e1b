#ifndef VELSHAREDPOINTER_H
#define VELSHAREDPOINTER_H

#include <memory>
#include <utility>

// Shared ownership with the host's names, over std::shared_ptr (thread-safe
// reference counting; the last owner deletes the object).
template <typename T> class VelSharedPointer
{
public:
    VelSharedPointer() = default;
    VelSharedPointer(std::nullptr_t) {}
    explicit VelSharedPointer(T *ptr) : m_ptr(ptr) {}
    template <typename Deleter> VelSharedPointer(T *ptr, Deleter d) : m_ptr(ptr, std::move(d)) {}
    VelSharedPointer(std::shared_ptr<T> ptr) : m_ptr(std::move(ptr)) {}
    template <typename U>
    VelSharedPointer(const VelSharedPointer<U> &other) : m_ptr(other.toStdSharedPtr())
    {
    }

    template <typename... Args> static VelSharedPointer create(Args &&...args)
    {
        return VelSharedPointer(std::make_shared<T>(std::forward<Args>(args)...));
    }

    bool isNull() const { return !m_ptr; }
    T *data() const { return m_ptr.get(); }
    T *get() const { return m_ptr.get(); }
    void clear() { m_ptr.reset(); }
    void reset() { m_ptr.reset(); }
    void reset(T *ptr) { m_ptr.reset(ptr); }
    long useCount() const { return m_ptr.use_count(); }
    const std::shared_ptr<T> &toStdSharedPtr() const { return m_ptr; }

    T &operator*() const { return *m_ptr; }
    T *operator->() const { return m_ptr.get(); }
    explicit operator bool() const { return bool(m_ptr); }
    bool operator!() const { return !m_ptr; }

    template <typename U> VelSharedPointer<U> staticCast() const
    {
        return VelSharedPointer<U>(std::static_pointer_cast<U>(m_ptr));
    }
    template <typename U> VelSharedPointer<U> dynamicCast() const
    {
        return VelSharedPointer<U>(std::dynamic_pointer_cast<U>(m_ptr));
    }

    template <typename U>
    friend bool operator==(const VelSharedPointer &a, const VelSharedPointer<U> &b)
    {
        return a.data() == b.data();
    }
    template <typename U>
    friend bool operator!=(const VelSharedPointer &a, const VelSharedPointer<U> &b)
    {
        return a.data() != b.data();
    }
    friend bool operator==(const VelSharedPointer &a, std::nullptr_t) { return a.isNull(); }
    friend bool operator!=(const VelSharedPointer &a, std::nullptr_t) { return !a.isNull(); }

private:
    std::shared_ptr<T> m_ptr;
};

#endif
