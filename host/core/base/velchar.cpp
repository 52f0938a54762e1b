#include "velchar.h"

#include <unicode/uchar.h>

bool VelChar::isSpace() const
{
    return isSpace(m_unit);
}
bool VelChar::isDigit() const
{
    return u_isdigit(UChar32(m_unit));
}
bool VelChar::isLetter() const
{
    return u_isalpha(UChar32(m_unit));
}
bool VelChar::isLetterOrNumber() const
{
    return u_isalnum(UChar32(m_unit));
}
bool VelChar::isUpper() const
{
    return u_isupper(UChar32(m_unit));
}
bool VelChar::isLower() const
{
    return u_islower(UChar32(m_unit));
}
bool VelChar::isPrint() const
{
    return isPrint(m_unit);
}
VelChar VelChar::toUpper() const
{
    return VelChar(char16_t(u_toupper(UChar32(m_unit))));
}
VelChar VelChar::toLower() const
{
    return VelChar(char16_t(u_tolower(UChar32(m_unit))));
}

uint VelChar::mirroredChar(uint ucs4)
{
    return uint(u_charMirror(UChar32(ucs4)));
}

bool VelChar::isSpace(uint ucs4)
{
    // Tab to carriage return and the ICU white-space set.
    return (ucs4 >= 0x09 && ucs4 <= 0x0d) || u_isUWhiteSpace(UChar32(ucs4));
}

bool VelChar::isPrint(uint ucs4)
{
    return u_isprint(UChar32(ucs4));
}
