#include "veluuid.h"

#include "vellogging.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <sys/random.h>

namespace
{

bool parseHexByte(const std::string &s, size_t i, uchar *out)
{
    int value = 0;
    for (size_t k = i; k < i + 2; ++k) {
        const char c = s[k];
        value *= 16;
        if (c >= '0' && c <= '9')
            value += c - '0';
        else if (c >= 'a' && c <= 'f')
            value += c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value += c - 'A' + 10;
        else
            return false;
    }
    *out = uchar(value);
    return true;
}

bool parseText(std::string s, std::array<uchar, 16> *bytes)
{
    if (s.size() == 38 && s.front() == '{' && s.back() == '}')
        s = s.substr(1, 36);
    if (s.size() != 36 || s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-')
        return false;
    size_t pos = 0;
    for (uchar &b : *bytes) {
        if (s[pos] == '-')
            ++pos;
        if (!parseHexByte(s, pos, &b))
            return false;
        pos += 2;
    }
    return true;
}

void fillRandom(uchar *data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = getrandom(data + done, size - done, 0);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && errno != EINTR) {
            // No kernel source (very old kernel or seccomp): fall back to the
            // library's device rather than returning predictable bytes.
            std::random_device device;
            for (; done < size; ++done)
                data[done] = uchar(device());
        }
    }
}

} // namespace

VelUuid::VelUuid(const VelString &text) : VelUuid(text.toLatin1()) {}

VelUuid::VelUuid(const VelByteArray &text)
{
    if (!parseText(text.trimmed().toStdString(), &m_bytes))
        m_bytes.fill(0);
}

VelUuid VelUuid::createUuid()
{
    VelUuid uuid;
    fillRandom(uuid.m_bytes.data(), uuid.m_bytes.size());
    uuid.m_bytes[6] = uchar((uuid.m_bytes[6] & 0x0f) | 0x40); // version 4
    uuid.m_bytes[8] = uchar((uuid.m_bytes[8] & 0x3f) | 0x80); // RFC 4122 variant
    return uuid;
}

VelUuid VelUuid::fromRfc4122(const VelByteArray &bytes)
{
    VelUuid uuid;
    if (bytes.size() == 16)
        std::memcpy(uuid.m_bytes.data(), bytes.constData(), 16);
    return uuid;
}

bool VelUuid::isNull() const
{
    for (const uchar b : m_bytes) {
        if (b)
            return false;
    }
    return true;
}

VelByteArray VelUuid::toByteArray() const
{
    static const char digits[] = "0123456789abcdef";
    std::string out = "{";
    for (size_t i = 0; i < m_bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += digits[m_bytes[i] >> 4];
        out += digits[m_bytes[i] & 15];
    }
    out += '}';
    return VelByteArray(out);
}

VelString VelUuid::toString() const
{
    return VelString::fromLatin1(toByteArray());
}

VelByteArray VelUuid::toRfc4122() const
{
    return VelByteArray(reinterpret_cast<const char *>(m_bytes.data()), 16);
}

uint velHash(const VelUuid &uuid, uint seed)
{
    return velHash(uuid.toRfc4122(), seed);
}
