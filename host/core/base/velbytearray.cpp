#include "velbytearray.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

VelByteArray::VelByteArray(const char *data, int size)
{
    if (!data)
        return;
    if (size < 0)
        m_data.assign(data);
    else
        m_data.assign(data, size_t(size));
}

void VelByteArray::truncate(int pos)
{
    if (pos >= 0 && pos < size())
        m_data.resize(size_t(pos));
}

void VelByteArray::chop(int n)
{
    if (n > 0)
        m_data.resize(n >= size() ? 0 : size_t(size() - n));
}

VelByteArray &VelByteArray::append(const VelByteArray &other)
{
    m_data += other.m_data;
    return *this;
}

VelByteArray &VelByteArray::append(const char *str)
{
    if (str)
        m_data += str;
    return *this;
}

VelByteArray &VelByteArray::append(const char *data, int size)
{
    if (data && size > 0)
        m_data.append(data, size_t(size));
    return *this;
}

VelByteArray &VelByteArray::append(char ch)
{
    m_data.push_back(ch);
    return *this;
}

VelByteArray &VelByteArray::prepend(const VelByteArray &other)
{
    m_data.insert(0, other.m_data);
    return *this;
}

VelByteArray VelByteArray::left(int n) const
{
    if (n <= 0)
        return VelByteArray();
    return VelByteArray(m_data.substr(0, size_t(n)));
}

VelByteArray VelByteArray::right(int n) const
{
    if (n <= 0)
        return VelByteArray();
    if (n >= size())
        return *this;
    return VelByteArray(m_data.substr(size_t(size() - n)));
}

VelByteArray VelByteArray::mid(int pos, int n) const
{
    if (pos < 0) {
        if (n >= 0)
            n += pos;
        pos = 0;
    }
    if (pos >= size() || n == 0)
        return VelByteArray();
    if (n < 0 || pos + n > size())
        n = size() - pos;
    return VelByteArray(m_data.substr(size_t(pos), size_t(n)));
}

int VelByteArray::indexOf(char ch, int from) const
{
    if (from < 0)
        from = velMax(0, from + size());
    const size_t p = m_data.find(ch, size_t(from));
    return p == std::string::npos ? -1 : int(p);
}

int VelByteArray::indexOf(const VelByteArray &ba, int from) const
{
    if (from < 0)
        from = velMax(0, from + size());
    if (from > size())
        return -1;
    const size_t p = m_data.find(ba.m_data, size_t(from));
    return p == std::string::npos ? -1 : int(p);
}

int VelByteArray::lastIndexOf(char ch, int from) const
{
    if (m_data.empty())
        return -1;
    if (from < 0)
        from += size();
    if (from < 0)
        return -1;
    const size_t p = m_data.rfind(ch, size_t(from));
    return p == std::string::npos ? -1 : int(p);
}

bool VelByteArray::startsWith(const VelByteArray &ba) const
{
    return m_data.compare(0, ba.m_data.size(), ba.m_data) == 0 && m_data.size() >= ba.m_data.size();
}

bool VelByteArray::endsWith(const VelByteArray &ba) const
{
    return m_data.size() >= ba.m_data.size() &&
           m_data.compare(m_data.size() - ba.m_data.size(), ba.m_data.size(), ba.m_data) == 0;
}

VelByteArray VelByteArray::toUpper() const
{
    std::string s = m_data;
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return VelByteArray(std::move(s));
}

VelByteArray VelByteArray::toLower() const
{
    std::string s = m_data;
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return VelByteArray(std::move(s));
}

VelByteArray VelByteArray::trimmed() const
{
    size_t b = 0;
    size_t e = m_data.size();
    while (b < e && isBlank(m_data[b]))
        ++b;
    while (e > b && isBlank(m_data[e - 1]))
        --e;
    return VelByteArray(m_data.substr(b, e - b));
}

VelByteArrayList VelByteArray::split(char sep) const
{
    VelByteArrayList parts;
    size_t start = 0;
    for (;;) {
        const size_t p = m_data.find(sep, start);
        if (p == std::string::npos) {
            parts.emplace_back(m_data.substr(start));
            return parts;
        }
        parts.emplace_back(m_data.substr(start, p - start));
        start = p + 1;
    }
}

long long VelByteArray::toLongLong(bool *ok, int base) const
{
    const std::string s = trimmed().m_data;
    if (s.empty()) {
        if (ok)
            *ok = false;
        return 0;
    }
    char *end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, base);
    const bool good = end && *end == '\0' && errno == 0;
    if (ok)
        *ok = good;
    return good ? v : 0;
}

int VelByteArray::toInt(bool *ok, int base) const
{
    bool good = false;
    const long long v = toLongLong(&good, base);
    good = good && v >= INT32_MIN && v <= INT32_MAX;
    if (ok)
        *ok = good;
    return good ? int(v) : 0;
}

uint VelByteArray::toUInt(bool *ok, int base) const
{
    bool good = false;
    const long long v = toLongLong(&good, base);
    good = good && v >= 0 && v <= UINT32_MAX;
    if (ok)
        *ok = good;
    return good ? uint(v) : 0;
}

double VelByteArray::toDouble(bool *ok) const
{
    const std::string s = trimmed().m_data;
    char *end = nullptr;
    const double v = s.empty() ? 0.0 : std::strtod(s.c_str(), &end);
    const bool good = !s.empty() && end && *end == '\0';
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

VelByteArray VelByteArray::toHex() const
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(m_data.size() * 2);
    for (unsigned char c : m_data) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 0xf]);
    }
    return VelByteArray(std::move(out));
}

VelByteArray VelByteArray::fromHex(const VelByteArray &hex)
{
    std::string out;
    int nibble = -1;
    for (char c : hex.m_data) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(char((nibble << 4) | v));
            nibble = -1;
        }
    }
    return VelByteArray(std::move(out));
}

VelByteArray VelByteArray::number(long long n, int base)
{
    if (base == 10)
        return VelByteArray(std::to_string(n));
    const bool negative = n < 0;
    unsigned long long u = negative ? 0ull - (unsigned long long)n : (unsigned long long)n;
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string s;
    do {
        s.insert(s.begin(), digits[u % unsigned(base)]);
        u /= unsigned(base);
    } while (u);
    if (negative)
        s.insert(s.begin(), '-');
    return VelByteArray(std::move(s));
}

VelByteArray VelByteArray::number(double n, char format, int precision)
{
    char fmt[8] = {'%', '.', '*', format, 0};
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, precision, n);
    return VelByteArray(buf);
}
