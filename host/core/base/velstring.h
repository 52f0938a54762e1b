#ifndef VELSTRING_H
#define VELSTRING_H

#include "velbytearray.h"
#include "velchar.h"
#include "velglobal.h"

#include <functional>
#include <string>
#include <vector>

class VelStringList;

// A UTF-16 string. Lengths and offsets count UTF-16 code units, so input-method
// offsets and Java strings map unit for unit (surrogates are never touched).
class VelString
{
public:
    VelString() = default;
    VelString(const char *utf8)
    {
        if (utf8)
            *this = fromUtf8(utf8);
    }
    VelString(const char16_t *units, int size);
    VelString(const char16_t *units);
    VelString(VelChar ch) : m_data(1, ch.unicode()) {}
    VelString(int size, VelChar ch) : m_data(size_t(size < 0 ? 0 : size), ch.unicode()) {}
    explicit VelString(const std::u16string &s) : m_data(s) {}
    explicit VelString(std::u16string &&s) : m_data(std::move(s)) {}

    static VelString fromUtf8(const char *str, int size = -1);
    static VelString fromUtf8(const VelByteArray &ba)
    {
        return fromUtf8(ba.constData(), ba.size());
    }
    static VelString fromLatin1(const char *str, int size = -1);
    static VelString fromLatin1(const VelByteArray &ba)
    {
        return fromLatin1(ba.constData(), ba.size());
    }
    static VelString fromLocal8Bit(const char *str, int size = -1);
    static VelString fromLocal8Bit(const VelByteArray &ba)
    {
        return fromLocal8Bit(ba.constData(), ba.size());
    }
    static VelString fromUtf16(const char16_t *units, int size = -1)
    {
        return VelString(units, size);
    }
    static VelString fromUcs4(const uint *codePoints, int size);
    static VelString fromStdString(const std::string &utf8)
    {
        return fromUtf8(utf8.c_str(), int(utf8.size()));
    }
    static VelString number(long long n, int base = 10);
    static VelString number(double n, char format = 'g', int precision = 6);

    VelByteArray toUtf8() const;
    VelByteArray toLatin1() const; // units above U+00FF become '?'
    VelByteArray toLocal8Bit() const;
    std::string toStdString() const { return toUtf8().toStdString(); }
    std::vector<uint> toUcs4() const;
    const std::u16string &toStdU16String() const { return m_data; }

    const char16_t *utf16() const { return m_data.c_str(); }
    const VelChar *unicode() const { return reinterpret_cast<const VelChar *>(m_data.c_str()); }
    const VelChar *constData() const { return unicode(); }
    VelChar *data() { return reinterpret_cast<VelChar *>(&m_data[0]); }

    int length() const { return int(m_data.size()); }
    int size() const { return length(); }
    int count() const { return length(); }
    bool isEmpty() const { return m_data.empty(); }
    bool isNull() const { return m_data.empty(); }
    VelChar at(int i) const { return VelChar(m_data[size_t(i)]); }
    VelChar operator[](int i) const { return at(i); }
    char16_t &operator[](int i) { return m_data[size_t(i)]; }

    void clear() { m_data.clear(); }
    void resize(int size) { m_data.resize(size_t(size < 0 ? 0 : size)); }
    void truncate(int pos);
    void chop(int n);
    VelString &append(const VelString &s)
    {
        m_data += s.m_data;
        return *this;
    }
    VelString &append(VelChar c)
    {
        m_data.push_back(c.unicode());
        return *this;
    }
    VelString &prepend(const VelString &s)
    {
        m_data.insert(0, s.m_data);
        return *this;
    }
    VelString &insert(int pos, const VelString &s);
    VelString &remove(int pos, int n);
    VelString &replace(int pos, int n, const VelString &after);
    VelString &replace(const VelString &before, const VelString &after,
                       Vel::CaseSensitivity cs = Vel::CaseSensitive);
    VelString &operator+=(const VelString &s) { return append(s); }
    VelString &operator+=(VelChar c) { return append(c); }

    VelString left(int n) const;
    VelString right(int n) const;
    VelString mid(int pos, int n = -1) const; // clipped to the string

    int indexOf(const VelString &s, int from = 0,
                Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    int indexOf(VelChar c, int from = 0, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    int lastIndexOf(const VelString &s, int from = -1,
                    Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    int lastIndexOf(VelChar c, int from = -1, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    bool contains(const VelString &s, Vel::CaseSensitivity cs = Vel::CaseSensitive) const
    {
        return indexOf(s, 0, cs) >= 0;
    }
    bool contains(VelChar c, Vel::CaseSensitivity cs = Vel::CaseSensitive) const
    {
        return indexOf(c, 0, cs) >= 0;
    }
    int count(const VelString &s, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    bool startsWith(const VelString &s, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    bool endsWith(const VelString &s, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    int compare(const VelString &other, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;

    VelString toLower() const;
    VelString toUpper() const;
    VelString toCaseFolded() const;
    VelString trimmed() const;
    VelString simplified() const;
    VelStringList split(const VelString &sep, Vel::SplitBehavior behavior = Vel::KeepEmptyParts,
                        Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    VelStringList split(VelChar sep, Vel::SplitBehavior behavior = Vel::KeepEmptyParts,
                        Vel::CaseSensitivity cs = Vel::CaseSensitive) const;

    // Replaces the lowest-numbered %1..%99 marker.
    VelString arg(const VelString &a) const;
    VelString arg(long long n) const { return arg(number(n)); }
    VelString arg(int n) const { return arg(number((long long)n)); }
    VelString arg(double d) const { return arg(number(d)); }

    int toInt(bool *ok = nullptr, int base = 10) const { return toLatin1().toInt(ok, base); }
    uint toUInt(bool *ok = nullptr, int base = 10) const { return toLatin1().toUInt(ok, base); }
    long long toLongLong(bool *ok = nullptr, int base = 10) const
    {
        return toLatin1().toLongLong(ok, base);
    }
    double toDouble(bool *ok = nullptr) const { return toLatin1().toDouble(ok); }

    std::u16string::const_iterator begin() const { return m_data.begin(); }
    std::u16string::const_iterator end() const { return m_data.end(); }

    friend bool operator==(const VelString &a, const VelString &b) { return a.m_data == b.m_data; }
    friend bool operator!=(const VelString &a, const VelString &b) { return a.m_data != b.m_data; }
    friend bool operator<(const VelString &a, const VelString &b) { return a.m_data < b.m_data; }
    friend bool operator>(const VelString &a, const VelString &b) { return b.m_data < a.m_data; }
    friend bool operator==(const VelString &a, const char *b) { return a == VelString(b); }
    friend bool operator!=(const VelString &a, const char *b) { return !(a == VelString(b)); }
    friend VelString operator+(VelString a, const VelString &b) { return a.append(b); }
    friend VelString operator+(VelString a, const char *b) { return a.append(VelString(b)); }
    friend VelString operator+(const char *a, const VelString &b) { return VelString(a).append(b); }
    friend VelString operator+(VelString a, VelChar b) { return a.append(b); }

private:
    std::u16string m_data;
};

class VelStringList : public std::vector<VelString>
{
public:
    using std::vector<VelString>::vector;
    VelStringList() = default;
    VelStringList(const VelString &s) { push_back(s); }

    VelStringList &operator<<(const VelString &s)
    {
        push_back(s);
        return *this;
    }
    VelStringList &operator<<(const VelStringList &l)
    {
        insert(end(), l.begin(), l.end());
        return *this;
    }
    VelStringList &operator+=(const VelString &s)
    {
        push_back(s);
        return *this;
    }
    VelStringList &operator+=(const VelStringList &l) { return *this << l; }
    void append(const VelString &s) { push_back(s); }
    void append(const VelStringList &l) { *this << l; }
    void prepend(const VelString &s) { insert(begin(), s); }
    bool isEmpty() const { return empty(); }
    int count() const { return int(size()); }
    int length() const { return int(size()); }
    const VelString &at(int i) const { return (*this)[size_t(i)]; }
    const VelString &first() const { return front(); }
    const VelString &last() const { return back(); }
    bool contains(const VelString &s, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
    int indexOf(const VelString &s, int from = 0) const;
    int removeAll(const VelString &s);
    void removeDuplicates();
    VelString join(const VelString &sep) const;
    VelStringList filter(const VelString &sub, Vel::CaseSensitivity cs = Vel::CaseSensitive) const;
};

inline uint velHash(const VelString &key, uint seed = 0)
{
    return uint(std::hash<std::u16string>()(key.toStdU16String())) ^ seed;
}

namespace std
{
template <> struct hash<VelString> {
    size_t operator()(const VelString &s) const noexcept
    {
        return hash<u16string>()(s.toStdU16String());
    }
};
} // namespace std

// The host's literal helper; a plain UTF-8 literal converts the same way.
#define VelStringLiteral(str) VelString(u"" str)
#define VelLatin1String(str) VelString::fromLatin1(str)

#endif
