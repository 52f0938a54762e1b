#include "veljsondocument.h"

#include <nlohmann/json.hpp>

#include <string>

namespace
{

using Json = nlohmann::json;

VelJsonValue fromNative(const Json &j)
{
    switch (j.type()) {
    case Json::value_t::null:
        return VelJsonValue(VelJsonValue::Null);
    case Json::value_t::boolean:
        return VelJsonValue(j.get<bool>());
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
        return VelJsonValue(j.get<double>());
    case Json::value_t::string: {
        const std::string &s = j.get_ref<const std::string &>();
        return VelJsonValue(VelString::fromUtf8(s.data(), int(s.size())));
    }
    case Json::value_t::array: {
        VelJsonArray array;
        for (const Json &item : j)
            array.append(fromNative(item));
        return VelJsonValue(array);
    }
    case Json::value_t::object: {
        VelJsonObject object;
        for (auto it = j.begin(); it != j.end(); ++it)
            object.insert(VelString::fromUtf8(it.key().data(), int(it.key().size())),
                          fromNative(it.value()));
        return VelJsonValue(object);
    }
    default:
        return VelJsonValue(VelJsonValue::Undefined);
    }
}

Json toNative(const VelJsonValue &v)
{
    switch (v.type()) {
    case VelJsonValue::Bool:
        return Json(v.toBool());
    case VelJsonValue::Double: {
        const double d = v.toDouble();
        // Whole numbers are written without a fraction ("3", not "3.0").
        if (d == double((long long)d) && d >= -9007199254740992.0 && d <= 9007199254740992.0)
            return Json((long long)d);
        return Json(d);
    }
    case VelJsonValue::String:
        return Json(v.toString().toStdString());
    case VelJsonValue::Array: {
        Json out = Json::array();
        for (const VelJsonValue &item : v.toArray())
            out.push_back(toNative(item));
        return out;
    }
    case VelJsonValue::Object: {
        Json out = Json::object();
        const VelJsonObject object = v.toObject();
        for (const auto &member : object)
            out[member.first.toStdString()] = toNative(member.second);
        return out;
    }
    default:
        return Json(nullptr);
    }
}

// Finds nesting deeper than the limit before the library recurses into it.
int nestingTooDeepAt(const std::string &text, int limit)
{
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return int(i);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return -1;
}

VelJsonParseError::ParseError classify(const std::string &message, const std::string &text,
                                       size_t at)
{
    const auto says = [&message](const char *part) {
        return message.find(part) != std::string::npos;
    };
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return VelJsonParseError::MissingObject;
    if (says("unexpected end of input") || at >= text.size()) {
        if (says("invalid string") || says("missing closing quote"))
            return VelJsonParseError::UnterminatedString;
        return says("parsing array") ? VelJsonParseError::UnterminatedArray
                                     : VelJsonParseError::UnterminatedObject;
    }
    if (says("expected end of input"))
        return VelJsonParseError::GarbageAtEnd;
    if (says("invalid string")) {
        if (says("escape") || says("\\u"))
            return VelJsonParseError::IllegalEscapeSequence;
        if (says("UTF-8"))
            return VelJsonParseError::IllegalUTF8String;
        return VelJsonParseError::UnterminatedString;
    }
    if (says("invalid number"))
        return VelJsonParseError::IllegalNumber;
    if (says("object separator"))
        return VelJsonParseError::MissingNameSeparator;
    if (says("expected '}'") || says("expected ']'") || says("expected ','"))
        return VelJsonParseError::MissingValueSeparator;
    return VelJsonParseError::IllegalValue;
}

void report(VelJsonParseError *error, VelJsonParseError::ParseError code, size_t offset,
            const std::string &message)
{
    if (!error)
        return;
    error->error = code;
    error->offset = int(offset);
    error->m_message = VelString::fromUtf8(message.data(), int(message.size()));
}

} // namespace

VelJsonDocument VelJsonDocument::fromJson(const VelByteArray &json, VelJsonParseError *error)
{
    report(error, VelJsonParseError::NoError, 0, "no error occurred");
    const std::string &text = json.toStdString();
    const int deepAt = nestingTooDeepAt(text, kMaxDepth);
    if (deepAt >= 0) {
        report(error, VelJsonParseError::DeepNesting, size_t(deepAt), "too deeply nested document");
        return VelJsonDocument();
    }
    Json parsed;
    try {
        parsed = Json::parse(text);
    } catch (const Json::parse_error &e) {
        const size_t at = e.byte > 0 ? e.byte - 1 : 0;
        report(error, classify(e.what(), text, at), at, e.what());
        return VelJsonDocument();
    } catch (const std::exception &e) {
        report(error, VelJsonParseError::IllegalValue, 0, e.what());
        return VelJsonDocument();
    }
    if (!parsed.is_object() && !parsed.is_array()) {
        report(error, VelJsonParseError::MissingObject, 0,
               "the top level is not an object or an array");
        return VelJsonDocument();
    }
    VelJsonDocument doc;
    doc.m_root = fromNative(parsed);
    return doc;
}

VelByteArray VelJsonDocument::toJson(JsonFormat format) const
{
    if (isNull())
        return VelByteArray();
    const Json native = toNative(m_root);
    // Strings come from VelString and are valid UTF-8; replace guards the rest.
    std::string text =
        native.dump(format == Indented ? 4 : -1, ' ', false, Json::error_handler_t::replace);
    if (format == Indented)
        text += '\n';
    return VelByteArray(std::move(text));
}

bool VelJsonDocument::isEmpty() const
{
    if (isObject())
        return object().isEmpty();
    if (isArray())
        return array().isEmpty();
    return true;
}
