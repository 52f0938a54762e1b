#include "veljsonobject.h"

VelStringList VelJsonObject::keys() const
{
    VelStringList out;
    for (const auto &member : m_members)
        out.append(member.first);
    return out;
}

VelJsonValue VelJsonObject::value(const VelString &key) const
{
    const auto it = m_members.find(key);
    return it == m_members.end() ? VelJsonValue(VelJsonValue::Undefined) : it->second;
}

VelJsonValue VelJsonObject::take(const VelString &key)
{
    const auto it = m_members.find(key);
    if (it == m_members.end())
        return VelJsonValue(VelJsonValue::Undefined);
    const VelJsonValue v = it->second;
    m_members.erase(it);
    return v;
}
