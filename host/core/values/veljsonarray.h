#ifndef VELJSONARRAY_H
#define VELJSONARRAY_H

#include "veljsonvalue.h"

#include <initializer_list>
#include <vector>

// A JSON array of values.
class VelJsonArray
{
public:
    using const_iterator = std::vector<VelJsonValue>::const_iterator;

    VelJsonArray() = default;
    VelJsonArray(std::initializer_list<VelJsonValue> values) : m_values(values) {}
    static VelJsonArray fromStringList(const VelStringList &list);

    int size() const { return int(m_values.size()); }
    int count() const { return size(); }
    bool isEmpty() const { return m_values.empty(); }
    // Undefined outside the array.
    VelJsonValue at(int i) const;
    VelJsonValue operator[](int i) const { return at(i); }
    VelJsonValue first() const { return at(0); }
    VelJsonValue last() const { return at(size() - 1); }
    bool contains(const VelJsonValue &value) const;

    void append(const VelJsonValue &value) { m_values.push_back(value); }
    void prepend(const VelJsonValue &value) { insert(0, value); }
    // Clamped to the array.
    void insert(int i, const VelJsonValue &value);
    void replace(int i, const VelJsonValue &value);
    void removeAt(int i);
    VelJsonValue takeAt(int i);
    VelStringList toStringList() const;

    const_iterator begin() const { return m_values.begin(); }
    const_iterator end() const { return m_values.end(); }

    VelJsonArray &operator<<(const VelJsonValue &v)
    {
        append(v);
        return *this;
    }
    friend bool operator==(const VelJsonArray &a, const VelJsonArray &b)
    {
        return a.m_values == b.m_values;
    }
    friend bool operator!=(const VelJsonArray &a, const VelJsonArray &b) { return !(a == b); }

private:
    std::vector<VelJsonValue> m_values;
};

#endif
