#ifndef VELSEQUENCE_H
#define VELSEQUENCE_H

#include "velglobal.h"

#include <algorithm>
#include <cassert>
#include <initializer_list>
#include <utility>
#include <vector>

// The shared body of VelList and VelVector: a std::vector with the host's
// int-indexed method names. Derived is the concrete container, so that slicing
// operations return it.
template <typename T, typename Derived> class VelSequence : public std::vector<T>
{
    using Base = std::vector<T>;

public:
    using Base::Base;
    VelSequence() = default;
    VelSequence(const Base &v) : Base(v) {}
    VelSequence(Base &&v) : Base(std::move(v)) {}

    // Sizes are int, like every index of the host API.
    int size() const { return int(Base::size()); }
    int count() const { return size(); }
    int length() const { return size(); }
    int count(const T &value) const { return int(std::count(this->begin(), this->end(), value)); }
    bool isEmpty() const { return Base::empty(); }

    const T &at(int i) const { return checked(i); }
    const T &operator[](int i) const { return checked(i); }
    T &operator[](int i) { return checkedMutable(i); }
    T value(int i, const T &fallback = T()) const
    {
        return i >= 0 && i < size() ? Base::operator[](size_t(i)) : fallback;
    }
    T &first() { return checkedMutable(0); }
    const T &first() const { return checked(0); }
    T &last() { return checkedMutable(size() - 1); }
    const T &last() const { return checked(size() - 1); }
    const T &constFirst() const { return first(); }
    const T &constLast() const { return last(); }

    void append(const T &value) { this->push_back(value); }
    void append(T &&value) { this->push_back(std::move(value)); }
    void append(const Derived &other) { this->insert(this->end(), other.begin(), other.end()); }
    void prepend(const T &value) { this->insert(this->begin(), value); }
    // Inserts before position i; i == size() appends.
    void insert(int i, const T &value) { Base::insert(this->begin() + clampIndex(i), value); }
    using Base::insert;
    void replace(int i, const T &value) { checkedMutable(i) = value; }

    void removeAt(int i) { Base::erase(this->begin() + checkedIndex(i)); }
    void removeFirst() { removeAt(0); }
    void removeLast() { removeAt(size() - 1); }
    T takeAt(int i)
    {
        T out = std::move(checkedMutable(i));
        removeAt(i);
        return out;
    }
    T takeFirst() { return takeAt(0); }
    T takeLast() { return takeAt(size() - 1); }
    int removeAll(const T &value)
    {
        const auto it = std::remove(this->begin(), this->end(), value);
        const int removed = int(this->end() - it);
        Base::erase(it, this->end());
        return removed;
    }
    void move(int from, int to)
    {
        T item = takeAt(from);
        insert(to, std::move(item));
    }
    void swapItemsAt(int i, int j) { std::swap(checkedMutable(i), checkedMutable(j)); }

    int indexOf(const T &value, int from = 0) const
    {
        if (from < 0)
            from = std::max(from + size(), 0);
        for (int i = from; i < size(); ++i) {
            if (Base::operator[](size_t(i)) == value)
                return i;
        }
        return -1;
    }
    int lastIndexOf(const T &value, int from = -1) const
    {
        if (from < 0)
            from += size();
        else if (from >= size())
            from = size() - 1;
        for (int i = from; i >= 0; --i) {
            if (Base::operator[](size_t(i)) == value)
                return i;
        }
        return -1;
    }
    bool contains(const T &value) const { return indexOf(value) >= 0; }
    bool startsWith(const T &value) const { return !isEmpty() && first() == value; }
    bool endsWith(const T &value) const { return !isEmpty() && last() == value; }

    // Clipped to the container, like VelString::mid.
    Derived mid(int pos, int n = -1) const
    {
        const int start = std::clamp(pos, 0, size());
        const int end = n < 0 ? size() : int(std::min<velint64>(velint64(pos) + n, size()));
        Derived out;
        for (int i = start; i < end; ++i)
            out.push_back(Base::operator[](size_t(i)));
        return out;
    }

    Derived &operator<<(const T &value)
    {
        append(value);
        return static_cast<Derived &>(*this);
    }
    Derived &operator<<(const Derived &other)
    {
        append(other);
        return static_cast<Derived &>(*this);
    }
    Derived &operator+=(const T &value) { return *this << value; }
    Derived &operator+=(const Derived &other) { return *this << other; }
    friend Derived operator+(const Derived &a, const Derived &b)
    {
        Derived out = a;
        out.append(b);
        return out;
    }

protected:
    // Out-of-range access is a programming error; fail loudly in debug builds
    // instead of reading past the storage.
    const T &checked(int i) const { return Base::operator[](size_t(checkedIndex(i))); }
    T &checkedMutable(int i) { return Base::operator[](size_t(checkedIndex(i))); }
    int checkedIndex(int i) const
    {
        assert(i >= 0 && i < size() && "index out of range");
        return i;
    }
    int clampIndex(int i) const { return std::clamp(i, 0, size()); }
};

#endif
