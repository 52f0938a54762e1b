#include "veljavastrings.h"

namespace
{

constexpr char32_t replacement = 0xFFFD;

// The code point at utf8[*i], advancing *i past it.
char32_t decode(const std::string &utf8, size_t *i)
{
    const unsigned char lead = static_cast<unsigned char>(utf8[(*i)++]);
    int length = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return lead;
    if ((lead & 0xE0) == 0xC0) {
        length = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 3;
        code = lead & 0x07;
    } else {
        return replacement;
    }
    for (int k = 0; k < length; ++k) {
        if (*i >= utf8.size() || (static_cast<unsigned char>(utf8[*i]) & 0xC0) != 0x80)
            return replacement;
        code = (code << 6) | (static_cast<unsigned char>(utf8[(*i)++]) & 0x3F);
    }
    return code > 0x10FFFF ? replacement : code;
}

void append(std::string *out, char32_t code)
{
    if (code < 0x80) {
        *out += char(code);
    } else if (code < 0x800) {
        *out += char(0xC0 | (code >> 6));
        *out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += char(0xE0 | (code >> 12));
        *out += char(0x80 | ((code >> 6) & 0x3F));
        *out += char(0x80 | (code & 0x3F));
    } else {
        *out += char(0xF0 | (code >> 18));
        *out += char(0x80 | ((code >> 12) & 0x3F));
        *out += char(0x80 | ((code >> 6) & 0x3F));
        *out += char(0x80 | (code & 0x3F));
    }
}

} // namespace

jstring velNewJavaString(JNIEnv *env, const std::string &utf8)
{
    std::u16string units;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t code = decode(utf8, &i);
        if (code >= 0x10000) {
            units.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(char16_t(code));
        }
    }
    return env->NewString(reinterpret_cast<const jchar *>(units.data()), jsize(units.size()));
}

std::string velJavaStringToUtf8(JNIEnv *env, jstring string)
{
    std::string out;
    if (!string)
        return out;
    const jsize length = env->GetStringLength(string);
    std::u16string units(size_t(length), u'\0');
    env->GetStringRegion(string, 0, length, reinterpret_cast<jchar *>(&units[0]));
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = replacement; // an unpaired surrogate has no UTF-8 form
        append(&out, code);
    }
    return out;
}
