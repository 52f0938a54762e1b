#ifndef VELCHAR_H
#define VELCHAR_H

#include "velglobal.h"

// One UTF-16 code unit with the Unicode helpers the host needs.
class VelChar
{
public:
    constexpr VelChar() = default;
    constexpr VelChar(char16_t unit) : m_unit(unit) {}
    constexpr VelChar(char ch) : m_unit(char16_t(uchar(ch))) {}
    constexpr VelChar(int code) : m_unit(char16_t(code)) {}
    constexpr VelChar(ushort code) : m_unit(char16_t(code)) {}

    constexpr char16_t unicode() const { return m_unit; }
    constexpr char toLatin1() const { return m_unit > 0xff ? '\0' : char(m_unit); }
    constexpr bool isNull() const { return m_unit == 0; }
    constexpr bool isHighSurrogate() const { return isHighSurrogate(m_unit); }
    constexpr bool isLowSurrogate() const { return isLowSurrogate(m_unit); }
    constexpr bool isSurrogate() const { return m_unit >= 0xd800 && m_unit <= 0xdfff; }
    bool isSpace() const;
    bool isDigit() const;
    bool isLetter() const;
    bool isLetterOrNumber() const;
    bool isUpper() const;
    bool isLower() const;
    bool isPrint() const;
    VelChar toUpper() const;
    VelChar toLower() const;

    static constexpr bool isHighSurrogate(uint ucs4) { return (ucs4 & 0xfffffc00) == 0xd800; }
    static constexpr bool isLowSurrogate(uint ucs4) { return (ucs4 & 0xfffffc00) == 0xdc00; }
    static constexpr bool requiresSurrogates(uint ucs4) { return ucs4 >= 0x10000; }
    static constexpr uint surrogateToUcs4(char16_t high, char16_t low)
    {
        return (uint(high) << 10) + low - ((0xd800u << 10) + 0xdc00u - 0x10000u);
    }
    static constexpr char16_t highSurrogate(uint ucs4) { return char16_t((ucs4 >> 10) + 0xd7c0); }
    static constexpr char16_t lowSurrogate(uint ucs4) { return char16_t(ucs4 % 0x400 + 0xdc00); }
    // Bidi mirror of a code point ("(" ↔ ")"); the code point itself when it has none.
    static uint mirroredChar(uint ucs4);
    static bool isSpace(uint ucs4);
    static bool isPrint(uint ucs4);

    friend constexpr bool operator==(VelChar a, VelChar b) { return a.m_unit == b.m_unit; }
    friend constexpr bool operator!=(VelChar a, VelChar b) { return a.m_unit != b.m_unit; }
    friend constexpr bool operator<(VelChar a, VelChar b) { return a.m_unit < b.m_unit; }

private:
    char16_t m_unit = 0;
};

#endif
