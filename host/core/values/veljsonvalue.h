#ifndef VELJSONVALUE_H
#define VELJSONVALUE_H

#include "velstring.h"

#include <memory>

class VelJsonArray;
class VelJsonObject;

// One JSON value. Arrays and objects inside a value are shared and
// immutable; toArray()/toObject() hand out copies to modify and store back.
// Numbers are doubles, as in JSON itself (integers above 2^53 lose precision).
class VelJsonValue
{
public:
    enum Type {
        Null = 0x0,
        Bool = 0x1,
        Double = 0x2,
        String = 0x3,
        Array = 0x4,
        Object = 0x5,
        Undefined = 0x80
    };

    VelJsonValue(Type type = Null);
    VelJsonValue(bool b);
    VelJsonValue(double d);
    VelJsonValue(int i);
    VelJsonValue(long long i);
    VelJsonValue(const VelString &s);
    VelJsonValue(const char *utf8);
    VelJsonValue(const VelJsonArray &a);
    VelJsonValue(const VelJsonObject &o);

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Null; }
    bool isBool() const { return m_type == Bool; }
    bool isDouble() const { return m_type == Double; }
    bool isString() const { return m_type == String; }
    bool isArray() const { return m_type == Array; }
    bool isObject() const { return m_type == Object; }
    bool isUndefined() const { return m_type == Undefined; }

    // Each returns the fallback when the value is of another type; toInt()
    // also when the number is not a whole number within int's range.
    bool toBool(bool fallback = false) const;
    int toInt(int fallback = 0) const;
    long long toLongLong(long long fallback = 0) const;
    double toDouble(double fallback = 0) const;
    VelString toString(const VelString &fallback = VelString()) const;
    VelJsonArray toArray() const;
    VelJsonObject toObject() const;

    // Undefined when this is not an object with that key / an array with that index.
    VelJsonValue operator[](const VelString &key) const;
    VelJsonValue operator[](int index) const;

    friend bool operator==(const VelJsonValue &a, const VelJsonValue &b);
    friend bool operator!=(const VelJsonValue &a, const VelJsonValue &b) { return !(a == b); }

private:
    Type m_type = Null;
    bool m_bool = false;
    double m_double = 0;
    VelString m_string;
    std::shared_ptr<const VelJsonArray> m_array;
    std::shared_ptr<const VelJsonObject> m_object;
};

#include "veljsonarray.h"
#include "veljsonobject.h"

#endif
