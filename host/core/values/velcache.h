#ifndef VELCACHE_H
#define VELCACHE_H

#include "velhashfunctions.h"
#include "vellist.h"

#include <list>
#include <memory>
#include <unordered_map>

// A cache that owns its objects. Each entry has a cost (1 by default); when
// the total exceeds maxCost the least recently used entries are deleted.
// object() and operator[] count as use; contains() does not.
template <typename K, typename T> class VelCache
{
    struct Entry {
        K key;
        std::unique_ptr<T> object;
        int cost;
    };
    using Order = std::list<Entry>; // front = most recently used

public:
    explicit VelCache(int maxCost = 100) : m_maxCost(maxCost) {}
    VEL_DISABLE_COPY(VelCache)

    int maxCost() const { return m_maxCost; }
    void setMaxCost(int cost)
    {
        m_maxCost = cost;
        trim(m_maxCost);
    }
    int totalCost() const { return m_totalCost; }
    int size() const { return int(m_order.size()); }
    int count() const { return size(); }
    bool isEmpty() const { return m_order.empty(); }
    bool contains(const K &key) const { return m_index.count(key) != 0; }

    // Takes ownership of object in every case. Replaces an entry with the same
    // key. An object that costs more than maxCost is deleted at once and false
    // is returned.
    bool insert(const K &key, T *object, int cost = 1)
    {
        // Re-inserting the object already stored under key must not delete it.
        const auto existing = m_index.find(key);
        if (existing != m_index.end() && object && existing->second->object.get() == object)
            (void)existing->second->object.release();
        std::unique_ptr<T> owned(object);
        remove(key);
        if (cost > m_maxCost)
            return false;
        trim(m_maxCost - cost);
        m_order.push_front(Entry{key, std::move(owned), cost});
        m_index[key] = m_order.begin();
        m_totalCost += cost;
        return true;
    }
    // The object, or null; a hit makes the entry the most recently used.
    T *object(const K &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->object.get();
    }
    T *operator[](const K &key) { return object(key); }
    bool remove(const K &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return false;
        erase(it);
        return true;
    }
    // Removes the entry without deleting its object; the caller owns it.
    T *take(const K &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        T *object = it->second->object.release();
        erase(it);
        return object;
    }
    void clear()
    {
        m_index.clear();
        m_order.clear();
        m_totalCost = 0;
    }
    // Most recently used first.
    VelList<K> keys() const
    {
        VelList<K> out;
        for (const Entry &e : m_order)
            out.append(e.key);
        return out;
    }

private:
    using Index = std::unordered_map<K, typename Order::iterator, VelHasher<K>>;

    void erase(typename Index::iterator it)
    {
        m_totalCost -= it->second->cost;
        m_order.erase(it->second);
        m_index.erase(it);
    }
    void trim(int limit)
    {
        while (m_totalCost > limit && !m_order.empty()) {
            m_totalCost -= m_order.back().cost;
            m_index.erase(m_order.back().key);
            m_order.pop_back();
        }
    }

    Order m_order;
    Index m_index;
    int m_maxCost;
    int m_totalCost = 0;
};

#endif
