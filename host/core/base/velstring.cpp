#include "velstring.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{

char16_t foldUnit(char16_t u)
{
    return char16_t(u_foldCase(UChar32(u), U_FOLD_CASE_DEFAULT));
}

bool unitsEqual(char16_t a, char16_t b, Vel::CaseSensitivity cs)
{
    return a == b || (cs == Vel::CaseInsensitive && foldUnit(a) == foldUnit(b));
}

bool rangeEquals(const std::u16string &s, size_t pos, const std::u16string &needle,
                 Vel::CaseSensitivity cs)
{
    if (pos + needle.size() > s.size())
        return false;
    for (size_t i = 0; i < needle.size(); ++i)
        if (!unitsEqual(s[pos + i], needle[i], cs))
            return false;
    return true;
}

void appendUtf8(std::string &out, uint cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xc0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3f)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xe0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3f)));
        out.push_back(char(0x80 | (cp & 0x3f)));
    } else {
        out.push_back(char(0xf0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3f)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3f)));
        out.push_back(char(0x80 | (cp & 0x3f)));
    }
}

void appendUtf16(std::u16string &out, uint cp)
{
    if (VelChar::requiresSurrogates(cp)) {
        out.push_back(VelChar::highSurrogate(cp));
        out.push_back(VelChar::lowSurrogate(cp));
    } else {
        out.push_back(char16_t(cp));
    }
}

// Decodes one UTF-8 sequence at s[i]; malformed, overlong and surrogate
// encodings yield U+FFFD and consume one byte so decoding resynchronises.
uint decodeUtf8(const unsigned char *s, size_t n, size_t &i)
{
    const unsigned char c = s[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra;
    uint cp;
    uint minimum;
    if ((c & 0xe0) == 0xc0) {
        extra = 1;
        cp = c & 0x1f;
        minimum = 0x80;
    } else if ((c & 0xf0) == 0xe0) {
        extra = 2;
        cp = c & 0x0f;
        minimum = 0x800;
    } else if ((c & 0xf8) == 0xf0) {
        extra = 3;
        cp = c & 0x07;
        minimum = 0x10000;
    } else {
        ++i;
        return 0xfffd;
    }
    if (i + size_t(extra) >= n) {
        ++i;
        return 0xfffd;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = s[i + size_t(k)];
        if ((cc & 0xc0) != 0x80) {
            ++i;
            return 0xfffd;
        }
        cp = (cp << 6) | (cc & 0x3f);
    }
    if (cp < minimum || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) {
        ++i;
        return 0xfffd;
    }
    i += size_t(extra) + 1;
    return cp;
}

size_t cStringLength(const char *str, int size)
{
    return size < 0 ? std::strlen(str) : size_t(size);
}

} // namespace

VelString::VelString(const char16_t *units, int size)
{
    if (!units)
        return;
    if (size < 0)
        m_data.assign(units);
    else
        m_data.assign(units, size_t(size));
}

VelString::VelString(const char16_t *units)
{
    if (units)
        m_data.assign(units);
}

VelString VelString::fromUtf8(const char *str, int size)
{
    VelString result;
    if (!str)
        return result;
    const size_t n = cStringLength(str, size);
    const auto *s = reinterpret_cast<const unsigned char *>(str);
    result.m_data.reserve(n);
    size_t i = 0;
    while (i < n)
        appendUtf16(result.m_data, decodeUtf8(s, n, i));
    return result;
}

VelString VelString::fromLatin1(const char *str, int size)
{
    VelString result;
    if (!str)
        return result;
    const size_t n = cStringLength(str, size);
    result.m_data.resize(n);
    for (size_t i = 0; i < n; ++i)
        result.m_data[i] = char16_t(static_cast<unsigned char>(str[i]));
    return result;
}

// The local 8-bit encoding of every system we run on is UTF-8.
VelString VelString::fromLocal8Bit(const char *str, int size)
{
    return fromUtf8(str, size);
}

VelString VelString::fromUcs4(const uint *codePoints, int size)
{
    VelString result;
    for (int i = 0; i < size; ++i)
        appendUtf16(result.m_data, codePoints[i]);
    return result;
}

VelString VelString::number(long long n, int base)
{
    return fromLatin1(VelByteArray::number(n, base));
}

VelString VelString::number(double n, char format, int precision)
{
    return fromLatin1(VelByteArray::number(n, format, precision));
}

VelByteArray VelString::toUtf8() const
{
    std::string out;
    out.reserve(m_data.size());
    for (size_t i = 0; i < m_data.size(); ++i) {
        const char16_t u = m_data[i];
        if (VelChar::isHighSurrogate(u) && i + 1 < m_data.size() &&
            VelChar::isLowSurrogate(m_data[i + 1])) {
            appendUtf8(out, VelChar::surrogateToUcs4(u, m_data[i + 1]));
            ++i;
        } else if (VelChar(u).isSurrogate()) {
            appendUtf8(out, 0xfffd); // a lone surrogate has no UTF-8 form
        } else {
            appendUtf8(out, u);
        }
    }
    return VelByteArray(std::move(out));
}

VelByteArray VelString::toLatin1() const
{
    std::string out(m_data.size(), '\0');
    for (size_t i = 0; i < m_data.size(); ++i)
        out[i] = m_data[i] > 0xff ? '?' : char(m_data[i]);
    return VelByteArray(std::move(out));
}

VelByteArray VelString::toLocal8Bit() const
{
    return toUtf8();
}

std::vector<uint> VelString::toUcs4() const
{
    std::vector<uint> out;
    for (size_t i = 0; i < m_data.size(); ++i) {
        const char16_t u = m_data[i];
        if (VelChar::isHighSurrogate(u) && i + 1 < m_data.size() &&
            VelChar::isLowSurrogate(m_data[i + 1])) {
            out.push_back(VelChar::surrogateToUcs4(u, m_data[i + 1]));
            ++i;
        } else {
            out.push_back(u);
        }
    }
    return out;
}

void VelString::truncate(int pos)
{
    if (pos >= 0 && pos < length())
        m_data.resize(size_t(pos));
}

void VelString::chop(int n)
{
    if (n > 0)
        m_data.resize(n >= length() ? 0 : size_t(length() - n));
}

VelString &VelString::insert(int pos, const VelString &s)
{
    if (pos < 0)
        return *this;
    if (pos > length())
        m_data.resize(size_t(pos), u' ');
    m_data.insert(size_t(pos), s.m_data);
    return *this;
}

VelString &VelString::remove(int pos, int n)
{
    if (pos < 0 || pos >= length() || n <= 0)
        return *this;
    m_data.erase(size_t(pos), size_t(n));
    return *this;
}

VelString &VelString::replace(int pos, int n, const VelString &after)
{
    if (pos < 0 || pos > length())
        return *this;
    if (n < 0)
        n = 0;
    m_data.replace(size_t(pos), size_t(n), after.m_data);
    return *this;
}

VelString &VelString::replace(const VelString &before, const VelString &after,
                              Vel::CaseSensitivity cs)
{
    if (before.isEmpty())
        return *this;
    int pos = 0;
    while ((pos = indexOf(before, pos, cs)) >= 0) {
        replace(pos, before.length(), after);
        pos += after.length();
    }
    return *this;
}

VelString VelString::left(int n) const
{
    if (n <= 0)
        return VelString();
    return VelString(m_data.substr(0, size_t(n)));
}

VelString VelString::right(int n) const
{
    if (n <= 0)
        return VelString();
    if (n >= length())
        return *this;
    return VelString(m_data.substr(size_t(length() - n)));
}

VelString VelString::mid(int pos, int n) const
{
    if (pos < 0) {
        if (n >= 0)
            n += pos;
        pos = 0;
    }
    if (pos >= length() || n == 0 || n < -1)
        return VelString();
    if (n < 0 || n > length() - pos)
        n = length() - pos;
    return VelString(m_data.substr(size_t(pos), size_t(n)));
}

int VelString::indexOf(const VelString &s, int from, Vel::CaseSensitivity cs) const
{
    if (from < 0)
        from = velMax(0, from + length());
    if (from > length())
        return -1;
    for (size_t i = size_t(from); i + s.m_data.size() <= m_data.size(); ++i)
        if (rangeEquals(m_data, i, s.m_data, cs))
            return int(i);
    return -1;
}

int VelString::indexOf(VelChar c, int from, Vel::CaseSensitivity cs) const
{
    return indexOf(VelString(c), from, cs);
}

int VelString::lastIndexOf(const VelString &s, int from, Vel::CaseSensitivity cs) const
{
    const int last = length() - s.length();
    if (last < 0)
        return -1;
    if (from < 0)
        from += length();
    if (from < 0)
        return -1;
    for (int i = velMin(from, last); i >= 0; --i)
        if (rangeEquals(m_data, size_t(i), s.m_data, cs))
            return i;
    return -1;
}

int VelString::lastIndexOf(VelChar c, int from, Vel::CaseSensitivity cs) const
{
    return lastIndexOf(VelString(c), from, cs);
}

int VelString::count(const VelString &s, Vel::CaseSensitivity cs) const
{
    if (s.isEmpty())
        return length() + 1;
    int n = 0;
    for (int pos = indexOf(s, 0, cs); pos >= 0; pos = indexOf(s, pos + 1, cs))
        ++n;
    return n;
}

bool VelString::startsWith(const VelString &s, Vel::CaseSensitivity cs) const
{
    return rangeEquals(m_data, 0, s.m_data, cs);
}

bool VelString::endsWith(const VelString &s, Vel::CaseSensitivity cs) const
{
    return s.m_data.size() <= m_data.size() &&
           rangeEquals(m_data, m_data.size() - s.m_data.size(), s.m_data, cs);
}

int VelString::compare(const VelString &other, Vel::CaseSensitivity cs) const
{
    if (cs == Vel::CaseSensitive)
        return m_data.compare(other.m_data) < 0 ? -1 : (m_data == other.m_data ? 0 : 1);
    UErrorCode status = U_ZERO_ERROR;
    const int r = u_strCaseCompare(reinterpret_cast<const UChar *>(m_data.c_str()), length(),
                                   reinterpret_cast<const UChar *>(other.m_data.c_str()),
                                   other.length(), U_FOLD_CASE_DEFAULT, &status);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

namespace
{

VelString mapCase(const std::u16string &in, int32_t (*fn)(UChar *, int32_t, const UChar *, int32_t,
                                                          const char *, UErrorCode *))
{
    if (in.empty())
        return VelString();
    std::u16string out(in.size() + 8, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = fn(reinterpret_cast<UChar *>(&out[0]), int32_t(out.size()),
                   reinterpret_cast<const UChar *>(in.c_str()), int32_t(in.size()), "", &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.assign(size_t(n), u'\0');
        status = U_ZERO_ERROR;
        n = fn(reinterpret_cast<UChar *>(&out[0]), int32_t(out.size()),
               reinterpret_cast<const UChar *>(in.c_str()), int32_t(in.size()), "", &status);
    }
    if (U_FAILURE(status))
        return VelString(in);
    out.resize(size_t(n));
    return VelString(std::move(out));
}

} // namespace

VelString VelString::toLower() const
{
    return mapCase(m_data, u_strToLower);
}
VelString VelString::toUpper() const
{
    return mapCase(m_data, u_strToUpper);
}

VelString VelString::toCaseFolded() const
{
    std::u16string out = m_data;
    for (char16_t &u : out)
        u = foldUnit(u);
    return VelString(std::move(out));
}

VelString VelString::trimmed() const
{
    size_t b = 0;
    size_t e = m_data.size();
    while (b < e && VelChar::isSpace(m_data[b]))
        ++b;
    while (e > b && VelChar::isSpace(m_data[e - 1]))
        --e;
    return VelString(m_data.substr(b, e - b));
}

VelString VelString::simplified() const
{
    std::u16string out;
    bool pendingSpace = false;
    for (char16_t u : m_data) {
        if (VelChar::isSpace(u)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace)
            out.push_back(u' ');
        pendingSpace = false;
        out.push_back(u);
    }
    return VelString(std::move(out));
}

VelStringList VelString::split(const VelString &sep, Vel::SplitBehavior behavior,
                               Vel::CaseSensitivity cs) const
{
    VelStringList parts;
    auto add = [&](VelString part) {
        if (behavior == Vel::KeepEmptyParts || !part.isEmpty())
            parts.push_back(std::move(part));
    };
    if (sep.isEmpty()) {
        add(VelString());
        for (char16_t u : m_data)
            add(VelString(VelChar(u)));
        add(VelString());
        return parts;
    }
    int start = 0;
    for (int pos = indexOf(sep, 0, cs); pos >= 0; pos = indexOf(sep, start, cs)) {
        add(mid(start, pos - start));
        start = pos + sep.length();
    }
    add(mid(start));
    return parts;
}

VelStringList VelString::split(VelChar sep, Vel::SplitBehavior behavior,
                               Vel::CaseSensitivity cs) const
{
    return split(VelString(sep), behavior, cs);
}

VelString VelString::arg(const VelString &a) const
{
    int lowest = 100;
    for (int i = 0; i + 1 < length(); ++i) {
        if (m_data[size_t(i)] != u'%')
            continue;
        int n = 0;
        int j = i + 1;
        while (j < length() && j < i + 3 && m_data[size_t(j)] >= u'0' && m_data[size_t(j)] <= u'9')
            n = n * 10 + (m_data[size_t(j++)] - u'0');
        if (j > i + 1 && n > 0 && n < lowest)
            lowest = n;
    }
    if (lowest == 100)
        return *this;
    VelString result;
    for (int i = 0; i < length();) {
        if (m_data[size_t(i)] == u'%') {
            int n = 0;
            int j = i + 1;
            while (j < length() && j < i + 3 && m_data[size_t(j)] >= u'0' &&
                   m_data[size_t(j)] <= u'9')
                n = n * 10 + (m_data[size_t(j++)] - u'0');
            if (n == lowest) {
                result.append(a);
                i = j;
                continue;
            }
        }
        result.m_data.push_back(m_data[size_t(i++)]);
    }
    return result;
}

bool VelStringList::contains(const VelString &s, Vel::CaseSensitivity cs) const
{
    return std::any_of(begin(), end(), [&](const VelString &e) { return e.compare(s, cs) == 0; });
}

int VelStringList::indexOf(const VelString &s, int from) const
{
    for (int i = velMax(0, from); i < count(); ++i)
        if (at(i) == s)
            return i;
    return -1;
}

int VelStringList::removeAll(const VelString &s)
{
    const auto old = size();
    erase(std::remove(begin(), end(), s), end());
    return int(old - size());
}

void VelStringList::removeDuplicates()
{
    VelStringList unique;
    for (const VelString &s : *this)
        if (!unique.contains(s))
            unique.push_back(s);
    swap(unique);
}

VelString VelStringList::join(const VelString &sep) const
{
    VelString result;
    for (size_t i = 0; i < size(); ++i) {
        if (i)
            result.append(sep);
        result.append((*this)[i]);
    }
    return result;
}

VelStringList VelStringList::filter(const VelString &sub, Vel::CaseSensitivity cs) const
{
    VelStringList result;
    for (const VelString &s : *this)
        if (s.contains(sub, cs))
            result.push_back(s);
    return result;
}
