#ifndef VELQUEUE_H
#define VELQUEUE_H

#include "vellist.h"

// First in, first out; the list operations (removeOne, removeAll) stay available.
template <typename T> class VelQueue : public VelList<T>
{
public:
    using VelList<T>::VelList;
    VelQueue() = default;

    void enqueue(const T &value) { this->append(value); }
    T dequeue() { return this->takeFirst(); }
    T &head() { return this->first(); }
    const T &head() const { return this->first(); }
};

#endif
