#ifndef VELHASH_H
#define VELHASH_H

#include "velhashfunctions.h"
#include "vellist.h"

#include <unordered_map>

// An unordered key -> value map. Iteration yields values; iterators also
// answer key() and value(). Pointers returned by find() stay valid until the
// entry is removed (node-based storage).
template <typename K, typename V> class VelHash
{
    using Map = std::unordered_map<K, V, VelHasher<K>>;

public:
    template <typename It, typename Ref> class Iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = V;
        using difference_type = std::ptrdiff_t;
        using pointer = std::remove_reference_t<Ref> *;
        using reference = Ref;

        Iterator() = default;
        explicit Iterator(It it) : m_it(it) {}
        const K &key() const { return m_it->first; }
        Ref value() const { return m_it->second; }
        Ref operator*() const { return m_it->second; }
        pointer operator->() const { return &m_it->second; }
        Iterator &operator++()
        {
            ++m_it;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator old = *this;
            ++m_it;
            return old;
        }
        bool operator==(const Iterator &o) const { return m_it == o.m_it; }
        bool operator!=(const Iterator &o) const { return m_it != o.m_it; }
        It base() const { return m_it; }

    private:
        It m_it{};
    };
    using iterator = Iterator<typename Map::iterator, V &>;
    using const_iterator = Iterator<typename Map::const_iterator, const V &>;

    VelHash() = default;
    VelHash(std::initializer_list<std::pair<const K, V>> init) : m_map(init) {}

    int size() const { return int(m_map.size()); }
    int count() const { return size(); }
    int count(const K &key) const { return int(m_map.count(key)); }
    bool isEmpty() const { return m_map.empty(); }
    void clear() { m_map.clear(); }
    void reserve(int n) { m_map.reserve(size_t(n < 0 ? 0 : n)); }

    // Replaces the value of an existing key.
    iterator insert(const K &key, const V &value)
    {
        auto result = m_map.insert_or_assign(key, value);
        return iterator(result.first);
    }
    bool contains(const K &key) const { return m_map.find(key) != m_map.end(); }
    V value(const K &key, const V &fallback = V()) const
    {
        const auto it = m_map.find(key);
        return it == m_map.end() ? fallback : it->second;
    }
    K key(const V &value, const K &fallback = K()) const
    {
        for (const auto &entry : m_map) {
            if (entry.second == value)
                return entry.first;
        }
        return fallback;
    }
    // The stored value, or null when the key is absent.
    V *find(const K &key)
    {
        const auto it = m_map.find(key);
        return it == m_map.end() ? nullptr : &it->second;
    }
    const V *find(const K &key) const
    {
        const auto it = m_map.find(key);
        return it == m_map.end() ? nullptr : &it->second;
    }
    // Inserts a default value when the key is absent.
    V &operator[](const K &key) { return m_map[key]; }
    const V operator[](const K &key) const { return value(key); }
    int remove(const K &key) { return int(m_map.erase(key)); }
    V take(const K &key)
    {
        const auto it = m_map.find(key);
        if (it == m_map.end())
            return V();
        V out = std::move(it->second);
        m_map.erase(it);
        return out;
    }
    iterator erase(iterator it) { return iterator(m_map.erase(it.base())); }

    VelList<K> keys() const
    {
        VelList<K> out;
        for (const auto &entry : m_map)
            out.append(entry.first);
        return out;
    }
    VelList<V> values() const
    {
        VelList<V> out;
        for (const auto &entry : m_map)
            out.append(entry.second);
        return out;
    }

    iterator begin() { return iterator(m_map.begin()); }
    iterator end() { return iterator(m_map.end()); }
    const_iterator begin() const { return const_iterator(m_map.begin()); }
    const_iterator end() const { return const_iterator(m_map.end()); }
    const_iterator constBegin() const { return begin(); }
    const_iterator constEnd() const { return end(); }

    friend bool operator==(const VelHash &a, const VelHash &b) { return a.m_map == b.m_map; }
    friend bool operator!=(const VelHash &a, const VelHash &b) { return !(a == b); }

private:
    Map m_map;
};

#endif
