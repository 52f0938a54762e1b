#ifndef VELUUID_H
#define VELUUID_H

#include "velmetatype.h"
#include "velstring.h"

#include <array>

// A 128-bit universally unique identifier. createUuid() makes a random
// (version 4) one from the kernel's random source; the default is the null UUID.
class VelUuid
{
public:
    VelUuid() = default;
    // Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", with or without the
    // braces; anything else gives the null UUID.
    explicit VelUuid(const VelString &text);
    explicit VelUuid(const VelByteArray &text);

    static VelUuid createUuid();
    // From the 16 bytes of the RFC 4122 binary form; null if not 16 bytes.
    static VelUuid fromRfc4122(const VelByteArray &bytes);

    bool isNull() const;
    int version() const { return m_bytes[6] >> 4; }
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", lower case.
    VelString toString() const;
    // The same text as bytes.
    VelByteArray toByteArray() const;
    VelByteArray toRfc4122() const;

    friend bool operator==(const VelUuid &a, const VelUuid &b) { return a.m_bytes == b.m_bytes; }
    friend bool operator!=(const VelUuid &a, const VelUuid &b) { return a.m_bytes != b.m_bytes; }
    friend bool operator<(const VelUuid &a, const VelUuid &b) { return a.m_bytes < b.m_bytes; }

private:
    std::array<uchar, 16> m_bytes{};
};

uint velHash(const VelUuid &uuid, uint seed = 0);

VEL_DECLARE_METATYPE(VelUuid)

#endif
