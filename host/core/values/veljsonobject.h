#ifndef VELJSONOBJECT_H
#define VELJSONOBJECT_H

#include "veljsonvalue.h"

#include <initializer_list>
#include <map>
#include <utility>

// A JSON object: keys are unique and iterate in sorted order (not insertion order).
class VelJsonObject
{
    using Map = std::map<VelString, VelJsonValue>;

public:
    using const_iterator = Map::const_iterator;

    VelJsonObject() = default;
    VelJsonObject(std::initializer_list<std::pair<const VelString, VelJsonValue>> members)
        : m_members(members)
    {
    }

    int size() const { return int(m_members.size()); }
    int count() const { return size(); }
    int length() const { return size(); }
    bool isEmpty() const { return m_members.empty(); }
    VelStringList keys() const;
    bool contains(const VelString &key) const { return m_members.count(key) != 0; }
    // Undefined when the key is absent.
    VelJsonValue value(const VelString &key) const;
    VelJsonValue operator[](const VelString &key) const { return value(key); }
    // Replaces an existing member.
    void insert(const VelString &key, const VelJsonValue &value) { m_members[key] = value; }
    void remove(const VelString &key) { m_members.erase(key); }
    VelJsonValue take(const VelString &key);

    // Iterators point at (key, value) pairs.
    const_iterator begin() const { return m_members.begin(); }
    const_iterator end() const { return m_members.end(); }
    const_iterator find(const VelString &key) const { return m_members.find(key); }

    friend bool operator==(const VelJsonObject &a, const VelJsonObject &b)
    {
        return a.m_members == b.m_members;
    }
    friend bool operator!=(const VelJsonObject &a, const VelJsonObject &b) { return !(a == b); }

private:
    Map m_members;
};

#endif
