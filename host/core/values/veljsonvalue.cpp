#include "veljsonvalue.h"

#include <cmath>
#include <limits>

VelJsonValue::VelJsonValue(Type type) : m_type(type)
{
    if (type == Array)
        m_array = std::make_shared<const VelJsonArray>();
    else if (type == Object)
        m_object = std::make_shared<const VelJsonObject>();
}

VelJsonValue::VelJsonValue(bool b) : m_type(Bool), m_bool(b) {}
VelJsonValue::VelJsonValue(double d) : m_type(Double), m_double(d) {}
VelJsonValue::VelJsonValue(int i) : m_type(Double), m_double(i) {}
VelJsonValue::VelJsonValue(long long i) : m_type(Double), m_double(double(i)) {}
VelJsonValue::VelJsonValue(const VelString &s) : m_type(String), m_string(s) {}
VelJsonValue::VelJsonValue(const char *utf8) : m_type(String), m_string(utf8) {}

VelJsonValue::VelJsonValue(const VelJsonArray &a)
    : m_type(Array), m_array(std::make_shared<const VelJsonArray>(a))
{
}

VelJsonValue::VelJsonValue(const VelJsonObject &o)
    : m_type(Object), m_object(std::make_shared<const VelJsonObject>(o))
{
}

bool VelJsonValue::toBool(bool fallback) const
{
    return m_type == Bool ? m_bool : fallback;
}

int VelJsonValue::toInt(int fallback) const
{
    if (m_type != Double || std::floor(m_double) != m_double ||
        m_double < double(std::numeric_limits<int>::min()) ||
        m_double > double(std::numeric_limits<int>::max()))
        return fallback;
    return int(m_double);
}

long long VelJsonValue::toLongLong(long long fallback) const
{
    // 2^63 is exactly representable; anything at or above it does not fit.
    if (m_type != Double || std::floor(m_double) != m_double || m_double < -9223372036854775808.0 ||
        m_double >= 9223372036854775808.0)
        return fallback;
    return (long long)m_double;
}

double VelJsonValue::toDouble(double fallback) const
{
    return m_type == Double ? m_double : fallback;
}

VelString VelJsonValue::toString(const VelString &fallback) const
{
    return m_type == String ? m_string : fallback;
}

VelJsonArray VelJsonValue::toArray() const
{
    return m_type == Array && m_array ? *m_array : VelJsonArray();
}

VelJsonObject VelJsonValue::toObject() const
{
    return m_type == Object && m_object ? *m_object : VelJsonObject();
}

VelJsonValue VelJsonValue::operator[](const VelString &key) const
{
    if (m_type != Object || !m_object)
        return VelJsonValue(Undefined);
    return m_object->value(key);
}

VelJsonValue VelJsonValue::operator[](int index) const
{
    if (m_type != Array || !m_array)
        return VelJsonValue(Undefined);
    return m_array->at(index);
}

bool operator==(const VelJsonValue &a, const VelJsonValue &b)
{
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case VelJsonValue::Null:
    case VelJsonValue::Undefined:
        return true;
    case VelJsonValue::Bool:
        return a.m_bool == b.m_bool;
    case VelJsonValue::Double:
        return a.m_double == b.m_double;
    case VelJsonValue::String:
        return a.m_string == b.m_string;
    case VelJsonValue::Array:
        return a.toArray() == b.toArray();
    case VelJsonValue::Object:
        return a.toObject() == b.toObject();
    }
    return false;
}
