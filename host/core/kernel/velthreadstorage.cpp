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

// The calling thread's values; destroyed (with the values) at thread exit.
struct ThreadValues {
    std::vector<Entry> entries;
    ~ThreadValues()
    {
        // A destructor may touch another storage of the same thread, so
        // each entry is detached before it is destroyed.
        for (size_t i = 0; i < entries.size(); ++i) {
            Entry e = entries[i];
            entries[i] = Entry();
            if (e.value && e.destructor)
                e.destructor(e.value);
        }
    }
};

thread_local ThreadValues threadValues;

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
    const std::vector<Entry> &entries = threadValues.entries;
    return size_t(m_slot) < entries.size() ? entries[size_t(m_slot)].value : nullptr;
}

void VelThreadStorageData::set(void *value)
{
    std::vector<Entry> &entries = threadValues.entries;
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
