#ifndef VELKEYSEQUENCE_H
#define VELKEYSEQUENCE_H

#include "velstring.h"

// Up to four key combinations (key code plus modifier bits), as shortcuts are written.
class VelKeySequence
{
public:
    VelKeySequence() = default;
    VelKeySequence(int k1, int k2 = 0, int k3 = 0, int k4 = 0);
    // Parses "Ctrl+Shift+S, Ctrl+Q"; unknown parts make the sequence empty.
    explicit VelKeySequence(const VelString &text);

    int count() const;
    bool isEmpty() const { return count() == 0; }
    int operator[](int index) const;
    VelString toString() const;

    friend bool operator==(const VelKeySequence &a, const VelKeySequence &b);
    friend bool operator!=(const VelKeySequence &a, const VelKeySequence &b) { return !(a == b); }

private:
    int m_keys[4] = {0, 0, 0, 0};
};

#endif
