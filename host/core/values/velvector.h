#ifndef VELVECTOR_H
#define VELVECTOR_H

#include "velsequence.h"

// A contiguous array; data() can be handed to C APIs (attribute lists).
template <typename T> class VelVector : public VelSequence<T, VelVector<T>>
{
    using Base = VelSequence<T, VelVector<T>>;

public:
    using Base::Base;
    VelVector() = default;

    // Removes n elements from position i, clipped to the end of the vector.
    void remove(int i, int n = 1)
    {
        if (i < 0 || i >= this->size() || n <= 0)
            return;
        const int end = int(std::min<velint64>(velint64(i) + n, this->size()));
        this->erase(this->begin() + i, this->begin() + end);
    }
    VelVector &fill(const T &value, int size = -1)
    {
        if (size >= 0)
            this->resize(size_t(size));
        std::fill(this->begin(), this->end(), value);
        return *this;
    }
};

#endif
