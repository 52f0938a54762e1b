#include "velbinaryjson.h"

#include "veljsondocument.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{

using Json = nlohmann::ordered_json;

void putU32(std::string &out, veluint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

void putString(std::string &out, const std::string &s)
{
    putU32(out, veluint32(s.size()));
    out += s;
}

void encode(const Json &value, std::string &out)
{
    switch (value.type()) {
    case Json::value_t::null:
        out.push_back(char(VelBinaryJson::Null));
        break;
    case Json::value_t::boolean:
        out.push_back(char(value.get<bool>() ? VelBinaryJson::True : VelBinaryJson::False));
        break;
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: {
        const double d = value.get<double>();
        bool fitsInt32 = false;
        if (value.is_number_unsigned()) {
            fitsInt32 = value.get<veluint64>() <= veluint64(std::numeric_limits<velint32>::max());
        } else if (value.is_number_integer()) {
            const velint64 v = value.get<velint64>();
            fitsInt32 = v >= std::numeric_limits<velint32>::min() &&
                        v <= std::numeric_limits<velint32>::max();
        }
        if (fitsInt32) {
            out.push_back(char(VelBinaryJson::Integer));
            putU32(out, veluint32(velint32(value.get<velint64>())));
        } else {
            out.push_back(char(VelBinaryJson::Double));
            veluint64 bits;
            std::memcpy(&bits, &d, sizeof bits);
            putU32(out, veluint32(bits & 0xFFFFFFFFu));
            putU32(out, veluint32(bits >> 32));
        }
        break;
    }
    case Json::value_t::string:
        out.push_back(char(VelBinaryJson::String));
        putString(out, value.get<std::string>());
        break;
    case Json::value_t::array:
        out.push_back(char(VelBinaryJson::Array));
        putU32(out, veluint32(value.size()));
        for (const Json &element : value)
            encode(element, out);
        break;
    case Json::value_t::object:
        out.push_back(char(VelBinaryJson::Object));
        putU32(out, veluint32(value.size()));
        for (auto it = value.begin(); it != value.end(); ++it) {
            putString(out, it.key());
            encode(it.value(), out);
        }
        break;
    default:
        throw std::runtime_error("value cannot be encoded");
    }
}

class Decoder
{
public:
    Decoder(const unsigned char *data, size_t size) : m_data(data), m_size(size) {}

    bool value(Json *out, int depth)
    {
        if (depth > VelBinaryJson::MaxDepth || m_pos >= m_size)
            return false;
        switch (m_data[m_pos++]) {
        case VelBinaryJson::Null:
            *out = nullptr;
            return true;
        case VelBinaryJson::False:
            *out = false;
            return true;
        case VelBinaryJson::True:
            *out = true;
            return true;
        case VelBinaryJson::Integer: {
            veluint32 v;
            if (!u32(&v))
                return false;
            *out = velint32(v);
            return true;
        }
        case VelBinaryJson::Double: {
            veluint32 lo, hi;
            if (!u32(&lo) || !u32(&hi))
                return false;
            const veluint64 bits = (veluint64(hi) << 32) | lo;
            double d;
            std::memcpy(&d, &bits, sizeof d);
            if (!std::isfinite(d))
                return false; // JSON has no text for these
            *out = d;
            return true;
        }
        case VelBinaryJson::String: {
            std::string s;
            if (!string(&s))
                return false;
            *out = std::move(s);
            return true;
        }
        case VelBinaryJson::Array: {
            veluint32 count;
            // Every element takes at least one byte.
            if (!u32(&count) || count > m_size - m_pos)
                return false;
            *out = Json::array();
            for (veluint32 i = 0; i < count; ++i) {
                Json element;
                if (!value(&element, depth + 1))
                    return false;
                out->push_back(std::move(element));
            }
            return true;
        }
        case VelBinaryJson::Object: {
            veluint32 count;
            // Every member takes at least five bytes.
            if (!u32(&count) || count > (m_size - m_pos) / 5)
                return false;
            *out = Json::object();
            for (veluint32 i = 0; i < count; ++i) {
                std::string key;
                Json member;
                if (!string(&key) || !value(&member, depth + 1))
                    return false;
                (*out)[key] = std::move(member);
            }
            return true;
        }
        default:
            return false;
        }
    }

    bool onlyPaddingLeft() const
    {
        for (size_t i = m_pos; i < m_size; ++i) {
            if (m_data[i] != 0)
                return false;
        }
        return true;
    }

private:
    bool u32(veluint32 *v)
    {
        if (m_size - m_pos < 4)
            return false;
        *v = veluint32(m_data[m_pos]) | (veluint32(m_data[m_pos + 1]) << 8) |
             (veluint32(m_data[m_pos + 2]) << 16) | (veluint32(m_data[m_pos + 3]) << 24);
        m_pos += 4;
        return true;
    }

    bool string(std::string *s)
    {
        veluint32 length;
        if (!u32(&length) || length > m_size - m_pos)
            return false;
        s->assign(reinterpret_cast<const char *>(m_data + m_pos), length);
        m_pos += length;
        return true;
    }

    const unsigned char *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace

VelByteArray VelBinaryJson::fromJsonText(const VelByteArray &json, int paddedSize, bool *ok)
{
    if (ok)
        *ok = false;
    std::string out;
    try {
        encode(Json::parse(json.toStdString()), out);
    } catch (const std::exception &) {
        return VelByteArray();
    }
    if (paddedSize >= 0) {
        if (out.size() > size_t(paddedSize))
            return VelByteArray();
        out.resize(size_t(paddedSize), '\0');
    }
    if (ok)
        *ok = true;
    return VelByteArray(std::move(out));
}

VelByteArray VelBinaryJson::toJsonText(const char *data, int size, bool requirePadding, bool *ok)
{
    if (ok)
        *ok = false;
    if (!data || size <= 0)
        return VelByteArray();
    Decoder decoder(reinterpret_cast<const unsigned char *>(data), size_t(size));
    Json value;
    if (!decoder.value(&value, 0) || (requirePadding && !decoder.onlyPaddingLeft()))
        return VelByteArray();
    try {
        VelByteArray text(value.dump());
        if (ok)
            *ok = true;
        return text;
    } catch (const std::exception &) { // strings that are not UTF-8
        return VelByteArray();
    }
}

VelByteArray VelBinaryJson::fromJsonObject(const VelJsonObject &object, int paddedSize, bool *ok)
{
    return fromJsonText(VelJsonDocument(object).toJson(VelJsonDocument::Compact), paddedSize, ok);
}

VelJsonObject VelBinaryJson::toJsonObject(const char *data, int size, bool requirePadding, bool *ok)
{
    if (ok)
        *ok = false;
    if (!data || size <= 0 || static_cast<unsigned char>(data[0]) != Object)
        return VelJsonObject();
    bool decoded = false;
    const VelByteArray text = toJsonText(data, size, requirePadding, &decoded);
    if (!decoded)
        return VelJsonObject();
    VelJsonParseError error;
    const VelJsonDocument document = VelJsonDocument::fromJson(text, &error);
    if (error.error != VelJsonParseError::NoError || !document.isObject())
        return VelJsonObject();
    if (ok)
        *ok = true;
    return document.object();
}
