#include "velthreadstorage.h"

#include <atomic>
#include <vector>

namespace
{

// Slot numbers are never reused: a thread may still hold a value under the
// slot of a storage object that is gone, and must not hand it out as the
// value of a newer one.
std::atomic<int> nextSlot{0};

struct Entry {
    void *value = nullptr;
    VelThreadStorageData::Destructor destructor = nullptr;
};

struct ThreadValues {
    std::vector<Entry> entries;
};

// Trivially destructible, so still readable while other thread-local and
// static destructors run at exit; the reaper below empties it.
thread_local ThreadValues *threadValues = nullptr;
thread_local bool threadExiting = false;

void destroyValues(ThreadValues *values)
{
    // A destructor may touch another storage of the same thread, so each
    // entry is detached before it is destroyed.
    for (size_t i = 0; i < values->entries.size(); ++i) {
        Entry e = values->entries[i];
        values->entries[i] = Entry();
        if (e.value && e.destructor)
            e.destructor(e.value);
    }
}

// Destroys the thread's values when the thread exits.
struct Reaper {
    ~Reaper()
    {
        threadExiting = true;
        if (ThreadValues *values = threadValues) {
            destroyValues(values);
            threadValues = nullptr;
            delete values;
        }
    }
};
thread_local Reaper reaper;

ThreadValues *valuesOfThread(bool create)
{
    if (!threadValues && create && !threadExiting) {
        threadValues = new ThreadValues;
        // Odr-using the reaper registers its destructor for this thread.
        static_cast<void>(&reaper);
    }
    return threadValues;
}

} // namespace

VelThreadStorageData::VelThreadStorageData(Destructor destructor)
    : m_slot(nextSlot.fetch_add(1)), m_destructor(destructor)
{
}

VelThreadStorageData::~VelThreadStorageData()
{
    set(nullptr);
}

void *VelThreadStorageData::get() const
{
    const ThreadValues *values = valuesOfThread(false);
    if (!values || size_t(m_slot) >= values->entries.size())
        return nullptr;
    return values->entries[size_t(m_slot)].value;
}

void VelThreadStorageData::set(void *value)
{
    ThreadValues *values = valuesOfThread(value != nullptr);
    if (!values) {
        // The thread is past its exit clean-up: nothing can hold the value.
        if (value && m_destructor)
            m_destructor(value);
        return;
    }
    std::vector<Entry> &entries = values->entries;
    if (size_t(m_slot) >= entries.size()) {
        if (!value)
            return;
        entries.resize(size_t(m_slot) + 1);
    }
    Entry old = entries[size_t(m_slot)];
    entries[size_t(m_slot)] = Entry{value, m_destructor};
    if (old.value && old.value != value && old.destructor)
        old.destructor(old.value);
}
