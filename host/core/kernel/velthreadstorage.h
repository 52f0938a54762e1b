#ifndef VELTHREADSTORAGE_H
#define VELTHREADSTORAGE_H

#include "velglobal.h"

#include <type_traits>
#include <utility>

// The untyped side: one process-wide slot number per storage object; each
// thread keeps its own value per slot and destroys its values when it exits.
class VelThreadStorageData
{
public:
    using Destructor = void (*)(void *);
    explicit VelThreadStorageData(Destructor destructor);
    ~VelThreadStorageData();
    VEL_DISABLE_COPY(VelThreadStorageData)

    // The calling thread's value (null if none yet).
    void *get() const;
    // Replaces the calling thread's value, destroying the old one.
    void set(void *value);

private:
    int m_slot;
    Destructor m_destructor;
};

// A value per thread, made (default-constructed) on first use in each thread
// and destroyed when that thread exits. For a pointer type T the pointer is
// per thread and the object it points to is deleted at thread exit.
template <typename T> class VelThreadStorage
{
public:
    VelThreadStorage() : m_data(&destroyValue) {}
    VEL_DISABLE_COPY(VelThreadStorage)

    bool hasLocalData() const { return m_data.get() != nullptr; }
    T &localData() { return holder()->value; }
    T localData() const
    {
        Holder *h = static_cast<Holder *>(m_data.get());
        return h ? h->value : T();
    }
    void setLocalData(T value)
    {
        Holder *h = holder();
        if constexpr (std::is_pointer_v<T>) {
            if (h->value != value)
                delete h->value;
        }
        h->value = std::move(value);
    }

private:
    struct Holder {
        T value{};
        ~Holder()
        {
            if constexpr (std::is_pointer_v<T>)
                delete value;
        }
    };

    Holder *holder()
    {
        Holder *h = static_cast<Holder *>(m_data.get());
        if (!h) {
            h = new Holder;
            m_data.set(h);
        }
        return h;
    }
    static void destroyValue(void *p) { delete static_cast<Holder *>(p); }

    VelThreadStorageData m_data;
};

#endif
