#ifndef VELLIST_H
#define VELLIST_H

#include "velsequence.h"

// An ordered list of values (contiguous storage; indices are int).
template <typename T> class VelList : public VelSequence<T, VelList<T>>
{
    using Base = VelSequence<T, VelList<T>>;

public:
    using Base::Base;
    VelList() = default;

    // Removes the first occurrence only; true when one was found.
    bool removeOne(const T &value)
    {
        const int i = this->indexOf(value);
        if (i < 0)
            return false;
        this->removeAt(i);
        return true;
    }
};

#endif
