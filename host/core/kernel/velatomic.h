#ifndef VELATOMIC_H
#define VELATOMIC_H

#include <atomic>

// An atomic int. ref()/deref() return whether the new value is non-zero
// (the usual reference-count test); fetchAndAdd returns the old value.
class VelAtomicInt
{
public:
    constexpr VelAtomicInt(int value = 0) noexcept : m_value(value) {}
    VelAtomicInt(const VelAtomicInt &other) noexcept : m_value(other.load()) {}
    VelAtomicInt &operator=(const VelAtomicInt &other) noexcept
    {
        store(other.load());
        return *this;
    }
    VelAtomicInt &operator=(int value) noexcept
    {
        store(value);
        return *this;
    }

    int load() const noexcept { return m_value.load(std::memory_order_relaxed); }
    int loadAcquire() const noexcept { return m_value.load(std::memory_order_acquire); }
    void store(int value) noexcept { m_value.store(value, std::memory_order_relaxed); }
    void storeRelease(int value) noexcept { m_value.store(value, std::memory_order_release); }
    operator int() const noexcept { return loadAcquire(); }

    bool ref() noexcept { return m_value.fetch_add(1, std::memory_order_acq_rel) + 1 != 0; }
    bool deref() noexcept { return m_value.fetch_sub(1, std::memory_order_acq_rel) - 1 != 0; }
    int fetchAndAddOrdered(int delta) noexcept
    {
        return m_value.fetch_add(delta, std::memory_order_acq_rel);
    }
    int fetchAndAdd(int delta) noexcept { return fetchAndAddOrdered(delta); }
    int fetchAndStoreOrdered(int value) noexcept
    {
        return m_value.exchange(value, std::memory_order_acq_rel);
    }
    bool testAndSetOrdered(int expected, int newValue) noexcept
    {
        return m_value.compare_exchange_strong(expected, newValue, std::memory_order_acq_rel);
    }
    int incrementAndGet() noexcept { return m_value.fetch_add(1, std::memory_order_acq_rel) + 1; }
    int decrementAndGet() noexcept { return m_value.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<int> m_value;
};

template <typename T> class VelAtomicPointer
{
public:
    constexpr VelAtomicPointer(T *value = nullptr) noexcept : m_value(value) {}
    T *load() const noexcept { return m_value.load(std::memory_order_relaxed); }
    T *loadAcquire() const noexcept { return m_value.load(std::memory_order_acquire); }
    void store(T *value) noexcept { m_value.store(value, std::memory_order_relaxed); }
    void storeRelease(T *value) noexcept { m_value.store(value, std::memory_order_release); }
    bool testAndSetOrdered(T *expected, T *newValue) noexcept
    {
        return m_value.compare_exchange_strong(expected, newValue, std::memory_order_acq_rel);
    }
    T *fetchAndStoreOrdered(T *value) noexcept
    {
        return m_value.exchange(value, std::memory_order_acq_rel);
    }

private:
    std::atomic<T *> m_value;
};

#endif
