#include "veljsonarray.h"

#include <algorithm>

VelJsonArray VelJsonArray::fromStringList(const VelStringList &list)
{
    VelJsonArray out;
    for (const VelString &s : list)
        out.append(VelJsonValue(s));
    return out;
}

VelJsonValue VelJsonArray::at(int i) const
{
    if (i < 0 || i >= size())
        return VelJsonValue(VelJsonValue::Undefined);
    return m_values[size_t(i)];
}

bool VelJsonArray::contains(const VelJsonValue &value) const
{
    return std::find(m_values.begin(), m_values.end(), value) != m_values.end();
}

void VelJsonArray::insert(int i, const VelJsonValue &value)
{
    m_values.insert(m_values.begin() + std::clamp(i, 0, size()), value);
}

void VelJsonArray::replace(int i, const VelJsonValue &value)
{
    if (i >= 0 && i < size())
        m_values[size_t(i)] = value;
}

void VelJsonArray::removeAt(int i)
{
    if (i >= 0 && i < size())
        m_values.erase(m_values.begin() + i);
}

VelJsonValue VelJsonArray::takeAt(int i)
{
    const VelJsonValue v = at(i);
    removeAt(i);
    return v;
}

VelStringList VelJsonArray::toStringList() const
{
    VelStringList out;
    for (const VelJsonValue &v : m_values)
        out.append(v.toString());
    return out;
}
