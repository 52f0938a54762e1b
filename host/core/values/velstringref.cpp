#include "velstringref.h"

#include <algorithm>

VelStringRef::VelStringRef(const VelString &string, int position, int size) : m_string(string)
{
    const int length = string.length();
    m_position = std::clamp(position, 0, length);
    const int available = length - m_position;
    m_size = size < 0 ? available : std::min(size, available);
}
