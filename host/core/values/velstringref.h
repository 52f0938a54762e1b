#ifndef VELSTRINGREF_H
#define VELSTRINGREF_H

#include "velmetatype.h"
#include "velstring.h"

// A part of a string: the string, a start position and a length, all in
// UTF-16 units. The string is held by value (copy on write is not needed for
// the short texts involved), so a reference stored in a variant and read on
// another thread can never dangle.
class VelStringRef
{
public:
    VelStringRef() = default;
    VelStringRef(const VelString &string) : m_string(string), m_size(string.length()) {}
    // Clipped to the string.
    VelStringRef(const VelString &string, int position, int size);

    const VelString &string() const { return m_string; }
    int position() const { return m_position; }
    int size() const { return m_size; }
    int length() const { return m_size; }
    int count() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    bool isNull() const { return m_string.isNull(); }
    VelChar at(int i) const { return m_string.at(m_position + i); }
    const VelChar *unicode() const { return m_string.unicode() + m_position; }
    VelString toString() const { return m_string.mid(m_position, m_size); }

    friend bool operator==(const VelStringRef &a, const VelStringRef &b)
    {
        return a.toString() == b.toString();
    }
    friend bool operator!=(const VelStringRef &a, const VelStringRef &b) { return !(a == b); }
    friend bool operator==(const VelStringRef &a, const VelString &b) { return a.toString() == b; }

private:
    VelString m_string;
    int m_position = 0;
    int m_size = 0;
};

VEL_DECLARE_METATYPE(VelStringRef)

#endif
