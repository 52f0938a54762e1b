#ifndef VELBYTEARRAY_H
#define VELBYTEARRAY_H

#include "velglobal.h"

#include <functional>
#include <string>
#include <vector>

class VelByteArray;
using VelByteArrayList = std::vector<VelByteArray>;

// An 8-bit string that is always NUL-terminated (data() can go straight into
// C APIs such as argv or dlopen) and may hold embedded NULs.
class VelByteArray
{
public:
    VelByteArray() = default;
    VelByteArray(const char *str) : m_data(str ? str : "") {}
    VelByteArray(const char *data, int size);
    VelByteArray(int size, char ch) : m_data(size_t(size < 0 ? 0 : size), ch) {}
    explicit VelByteArray(const std::string &s) : m_data(s) {}
    explicit VelByteArray(std::string &&s) : m_data(std::move(s)) {}

    int size() const { return int(m_data.size()); }
    int length() const { return size(); }
    int count() const { return size(); }
    bool isEmpty() const { return m_data.empty(); }
    bool isNull() const { return m_data.empty(); }

    char *data() { return &m_data[0]; }
    const char *data() const { return m_data.c_str(); }
    const char *constData() const { return m_data.c_str(); }
    char at(int i) const { return m_data[size_t(i)]; }
    char operator[](int i) const { return m_data[size_t(i)]; }
    char &operator[](int i) { return m_data[size_t(i)]; }

    void clear() { m_data.clear(); }
    void resize(int size) { m_data.resize(size_t(size < 0 ? 0 : size)); }
    void reserve(int size) { m_data.reserve(size_t(size < 0 ? 0 : size)); }
    void truncate(int pos);
    void chop(int n);

    VelByteArray &append(const VelByteArray &other);
    VelByteArray &append(const char *str);
    VelByteArray &append(const char *data, int size);
    VelByteArray &append(char ch);
    VelByteArray &prepend(const VelByteArray &other);
    VelByteArray &operator+=(const VelByteArray &other) { return append(other); }
    VelByteArray &operator+=(const char *str) { return append(str); }
    VelByteArray &operator+=(char ch) { return append(ch); }

    VelByteArray left(int n) const;
    VelByteArray right(int n) const;
    VelByteArray mid(int pos, int n = -1) const;

    int indexOf(char ch, int from = 0) const;
    int indexOf(const VelByteArray &ba, int from = 0) const;
    int lastIndexOf(char ch, int from = -1) const;
    bool contains(char ch) const { return indexOf(ch) >= 0; }
    bool contains(const VelByteArray &ba) const { return indexOf(ba) >= 0; }
    bool startsWith(const VelByteArray &ba) const;
    bool endsWith(const VelByteArray &ba) const;

    VelByteArray toUpper() const;
    VelByteArray toLower() const;
    VelByteArray trimmed() const;
    VelByteArrayList split(char sep) const; // keeps empty parts

    // Decimal (or given base) integer of the whole text; ok tells whether it parsed.
    int toInt(bool *ok = nullptr, int base = 10) const;
    uint toUInt(bool *ok = nullptr, int base = 10) const;
    long long toLongLong(bool *ok = nullptr, int base = 10) const;
    double toDouble(bool *ok = nullptr) const;
    VelByteArray toHex() const;
    static VelByteArray fromHex(const VelByteArray &hex);
    static VelByteArray number(long long n, int base = 10);
    static VelByteArray number(double n, char format = 'g', int precision = 6);
    static VelByteArray fromRawData(const char *data, int size) { return VelByteArray(data, size); }

    const std::string &toStdString() const { return m_data; }
    std::string::const_iterator begin() const { return m_data.begin(); }
    std::string::const_iterator end() const { return m_data.end(); }

    friend bool operator==(const VelByteArray &a, const VelByteArray &b)
    {
        return a.m_data == b.m_data;
    }
    friend bool operator!=(const VelByteArray &a, const VelByteArray &b)
    {
        return a.m_data != b.m_data;
    }
    friend bool operator<(const VelByteArray &a, const VelByteArray &b)
    {
        return a.m_data < b.m_data;
    }
    friend bool operator==(const VelByteArray &a, const char *b)
    {
        return a.m_data == (b ? b : "");
    }
    friend bool operator!=(const VelByteArray &a, const char *b) { return !(a == b); }
    friend VelByteArray operator+(VelByteArray a, const VelByteArray &b) { return a.append(b); }
    friend VelByteArray operator+(VelByteArray a, const char *b) { return a.append(b); }
    friend VelByteArray operator+(VelByteArray a, char b) { return a.append(b); }

private:
    std::string m_data;
};

inline uint velHash(const VelByteArray &key, uint seed = 0)
{
    return uint(std::hash<std::string>()(key.toStdString())) ^ seed;
}

namespace std
{
template <> struct hash<VelByteArray> {
    size_t operator()(const VelByteArray &b) const noexcept
    {
        return hash<string>()(b.toStdString());
    }
};
} // namespace std

#endif
