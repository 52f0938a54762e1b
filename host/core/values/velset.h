#ifndef VELSET_H
#define VELSET_H

#include "velhashfunctions.h"
#include "vellist.h"

#include <unordered_set>

// A set that iterates in insertion order, so code walking it (menu bars, for
// example) behaves the same on every run.
template <typename T> class VelSet
{
public:
    using const_iterator = typename std::vector<T>::const_iterator;
    using iterator = const_iterator;

    VelSet() = default;
    VelSet(std::initializer_list<T> init)
    {
        for (const T &v : init)
            insert(v);
    }

    int size() const { return int(m_order.size()); }
    int count() const { return size(); }
    bool isEmpty() const { return m_order.empty(); }
    void clear()
    {
        m_order.clear();
        m_index.clear();
    }
    bool contains(const T &value) const { return m_index.count(value) != 0; }
    bool contains(const VelSet &other) const
    {
        for (const T &v : other)
            if (!contains(v))
                return false;
        return true;
    }
    // True when the value was not yet in the set.
    bool insert(const T &value)
    {
        if (!m_index.insert(value).second)
            return false;
        m_order.push_back(value);
        return true;
    }
    bool remove(const T &value)
    {
        if (m_index.erase(value) == 0)
            return false;
        m_order.erase(std::find(m_order.begin(), m_order.end(), value));
        return true;
    }
    VelSet &unite(const VelSet &other)
    {
        for (const T &v : other)
            insert(v);
        return *this;
    }
    VelSet &intersect(const VelSet &other)
    {
        return keepIf([&](const T &v) { return other.contains(v); });
    }
    VelSet &subtract(const VelSet &other)
    {
        return keepIf([&](const T &v) { return !other.contains(v); });
    }
    bool intersects(const VelSet &other) const
    {
        for (const T &v : m_order)
            if (other.contains(v))
                return true;
        return false;
    }
    VelList<T> values() const { return VelList<T>(m_order.begin(), m_order.end()); }
    VelList<T> toList() const { return values(); }

    const_iterator begin() const { return m_order.begin(); }
    const_iterator end() const { return m_order.end(); }
    const_iterator constBegin() const { return begin(); }
    const_iterator constEnd() const { return end(); }

    VelSet &operator<<(const T &value)
    {
        insert(value);
        return *this;
    }
    VelSet &operator|=(const VelSet &o) { return unite(o); }
    VelSet &operator&=(const VelSet &o) { return intersect(o); }
    VelSet &operator-=(const VelSet &o) { return subtract(o); }
    // Equal when they hold the same values, whatever the insertion order.
    friend bool operator==(const VelSet &a, const VelSet &b) { return a.m_index == b.m_index; }
    friend bool operator!=(const VelSet &a, const VelSet &b) { return !(a == b); }

private:
    template <typename Pred> VelSet &keepIf(Pred keep)
    {
        VelSet out;
        for (const T &v : m_order)
            if (keep(v))
                out.insert(v);
        *this = std::move(out);
        return *this;
    }

    std::vector<T> m_order;
    std::unordered_set<T, VelHasher<T>> m_index;
};

#endif
