#include "velurl.h"

#include <unicode/uidna.h>

#include <cctype>
#include <functional>

namespace
{

enum class Component { User, Password, Path, Query, Fragment };

bool isUnreserved(uchar c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool isSubDelim(uchar c)
{
    switch (c) {
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
        return true;
    default:
        return false;
    }
}

bool isLiteralIn(uchar c, Component component)
{
    if (isUnreserved(c) || isSubDelim(c))
        return true;
    switch (component) {
    case Component::User:
        return false;
    case Component::Password:
        return c == ':';
    case Component::Path:
        return c == ':' || c == '@' || c == '/';
    case Component::Query:
    case Component::Fragment:
        return c == ':' || c == '@' || c == '/' || c == '?';
    }
    return false;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendEncoded(std::string &out, uchar c)
{
    static const char digits[] = "0123456789ABCDEF";
    out += '%';
    out += digits[c >> 4];
    out += digits[c & 15];
}

bool isEscape(const std::string &s, size_t i)
{
    return i + 2 < s.size() + 0 && s[i] == '%' && hexValue(s[i + 1]) >= 0 &&
           hexValue(s[i + 2]) >= 0;
}

// Brings a component to its canonical encoded form. With percentIsLiteral
// the input is decoded text and every '%' is a character of its own.
// *strictError is set when strict parsing meets a character that needed encoding.
std::string normalize(const std::string &in, Component component, bool percentIsLiteral,
                      bool *strictError = nullptr)
{
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        const uchar c = uchar(in[i]);
        if (c == '%' && !percentIsLiteral && isEscape(in, i)) {
            const uchar decoded = uchar(hexValue(in[i + 1]) * 16 + hexValue(in[i + 2]));
            if (isUnreserved(decoded))
                out += char(decoded);
            else
                appendEncoded(out, decoded);
            i += 2;
        } else if (isLiteralIn(c, component)) {
            out += char(c);
        } else {
            if (strictError)
                *strictError = true;
            appendEncoded(out, c);
        }
    }
    return out;
}

std::string percentDecode(const std::string &in)
{
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (isEscape(in, i)) {
            out += char(hexValue(in[i + 1]) * 16 + hexValue(in[i + 2]));
            i += 2;
        } else {
            out += in[i];
        }
    }
    return out;
}

// Length of a valid UTF-8 sequence starting at s[i], 0 if there is none.
size_t utf8SequenceLength(const std::string &s, size_t i)
{
    const uchar c = uchar(s[i]);
    size_t n = c >= 0xf0 && c <= 0xf4 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((uchar(s[i + k]) & 0xc0) != 0x80)
            return 0;
    }
    return n;
}

// The shown form: spaces and valid UTF-8 sequences decoded; delimiters, '%',
// control characters and broken sequences stay encoded.
std::string prettyDecode(const std::string &in)
{
    std::string bytes; // decoded candidate bytes
    std::vector<bool> wasEscaped;
    for (size_t i = 0; i < in.size(); ++i) {
        if (isEscape(in, i)) {
            bytes += char(hexValue(in[i + 1]) * 16 + hexValue(in[i + 2]));
            wasEscaped.push_back(true);
            i += 2;
        } else {
            bytes += in[i];
            wasEscaped.push_back(false);
        }
    }
    std::string out;
    for (size_t i = 0; i < bytes.size();) {
        const uchar c = uchar(bytes[i]);
        if (!wasEscaped[i]) {
            out += char(c);
            ++i;
        } else if (c == ' ') {
            out += ' ';
            ++i;
        } else if (c >= 0x80) {
            const size_t n = utf8SequenceLength(bytes, i);
            if (n > 0) {
                out.append(bytes, i, n);
                i += n;
            } else {
                appendEncoded(out, c);
                ++i;
            }
        } else {
            appendEncoded(out, c);
            ++i;
        }
    }
    return out;
}

std::string lowerAscii(std::string s)
{
    for (char &c : s) {
        if (uchar(c) < 0x80)
            c = char(std::tolower(uchar(c)));
    }
    return s;
}

bool isValidScheme(const std::string &s)
{
    if (s.empty() || !std::isalpha(uchar(s[0])))
        return false;
    for (const char c : s) {
        if (!std::isalnum(uchar(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

bool hostHasForbiddenCharacter(const std::string &host)
{
    for (const char ch : host) {
        const uchar c = uchar(ch);
        if (c <= 0x20 || c == 0x7f ||
            std::string("<>\"{}|\\^`%/?#@").find(char(c)) != std::string::npos)
            return true;
    }
    return false;
}

std::string asciiHost(const std::string &host)
{
    bool ascii = true;
    for (const char c : host)
        ascii = ascii && uchar(c) < 0x80;
    if (ascii)
        return host;
    UErrorCode error = U_ZERO_ERROR;
    UIDNA *idna = uidna_openUTS46(UIDNA_NONTRANSITIONAL_TO_ASCII, &error);
    if (U_FAILURE(error))
        return std::string();
    char buffer[256];
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    const int32_t length = uidna_nameToASCII_UTF8(idna, host.data(), int32_t(host.size()), buffer,
                                                  int32_t(sizeof buffer), &info, &error);
    uidna_close(idna);
    if (U_FAILURE(error) || info.errors != 0 || length <= 0)
        return std::string();
    return std::string(buffer, size_t(length));
}

struct Parsed {
    std::string scheme, user, password, host, path, query, fragment, error;
    int port = -1;
    bool hasAuthority = false, hasPassword = false, hasQuery = false, hasFragment = false;
};

void parseAuthority(const std::string &authority, Parsed &p)
{
    std::string hostPort = authority;
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        hostPort = authority.substr(at + 1);
        const size_t colon = userInfo.find(':');
        p.user = userInfo.substr(0, colon);
        if (colon != std::string::npos) {
            p.hasPassword = true;
            p.password = userInfo.substr(colon + 1);
        }
    }
    std::string portText;
    if (!hostPort.empty() && hostPort[0] == '[') {
        const size_t close = hostPort.find(']');
        if (close == std::string::npos) {
            p.error = "Invalid IPv6 address";
            return;
        }
        p.host = lowerAscii(hostPort.substr(0, close + 1));
        const std::string rest = hostPort.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') {
                p.error = "Invalid characters after the IPv6 address";
                return;
            }
            portText = rest.substr(1);
        }
    } else {
        const size_t colon = hostPort.rfind(':');
        if (colon != std::string::npos) {
            portText = hostPort.substr(colon + 1);
            hostPort.resize(colon);
        }
        p.host = lowerAscii(percentDecode(hostPort));
        if (hostHasForbiddenCharacter(p.host))
            p.error = "Invalid hostname";
    }
    if (!portText.empty()) {
        for (const char c : portText) {
            if (!std::isdigit(uchar(c))) {
                p.error = "Invalid port";
                return;
            }
        }
        if (portText.size() > 5 || std::stoi(portText) > 65535) {
            p.error = "Port out of range";
            return;
        }
        p.port = std::stoi(portText);
    }
}

Parsed parse(const std::string &s)
{
    Parsed p;
    std::string rest = s;
    const size_t colon = s.find(':');
    const size_t delimiter = s.find_first_of("/?#");
    if (colon != std::string::npos && colon > 0 &&
        (delimiter == std::string::npos || colon < delimiter) &&
        isValidScheme(s.substr(0, colon))) {
        p.scheme = lowerAscii(s.substr(0, colon));
        rest = s.substr(colon + 1);
    }
    if (rest.compare(0, 2, "//") == 0) {
        p.hasAuthority = true;
        const size_t end = rest.find_first_of("/?#", 2);
        parseAuthority(rest.substr(2, end == std::string::npos ? std::string::npos : end - 2), p);
        rest = end == std::string::npos ? std::string() : rest.substr(end);
    }
    const size_t hash = rest.find('#');
    if (hash != std::string::npos) {
        p.hasFragment = true;
        p.fragment = rest.substr(hash + 1);
        rest.resize(hash);
    }
    const size_t question = rest.find('?');
    if (question != std::string::npos) {
        p.hasQuery = true;
        p.query = rest.substr(question + 1);
        rest.resize(question);
    }
    p.path = rest;
    return p;
}

std::string toUtf8(const VelString &s)
{
    return s.toUtf8().toStdString();
}

VelString fromUtf8(const std::string &s)
{
    return VelString::fromUtf8(s.data(), int(s.size()));
}

} // namespace

void VelUrl::setUrl(const VelString &url, ParsingMode mode)
{
    *this = fromEncoded(url.trimmed().toUtf8(), mode);
}

VelUrl VelUrl::fromEncoded(const VelByteArray &encoded, ParsingMode mode)
{
    VelUrl url;
    const std::string text = encoded.trimmed().toStdString();
    if (text.empty())
        return url;
    const Parsed p = parse(text);
    bool strictError = false;
    url.m_scheme = p.scheme;
    url.m_hasAuthority = p.hasAuthority;
    url.m_user = normalize(p.user, Component::User, false, &strictError);
    url.m_hasPassword = p.hasPassword;
    url.m_password = normalize(p.password, Component::Password, false, &strictError);
    url.m_host = p.host;
    url.m_port = p.port;
    url.m_path = normalize(p.path, Component::Path, false, &strictError);
    url.m_hasQuery = p.hasQuery;
    url.m_query = normalize(p.query, Component::Query, false, &strictError);
    url.m_hasFragment = p.hasFragment;
    url.m_fragment = normalize(p.fragment, Component::Fragment, false, &strictError);
    url.m_error = p.error;
    if (mode == StrictMode && strictError && url.m_error.empty())
        url.m_error = "Invalid characters in the URL";
    url.validate();
    return url;
}

VelUrl VelUrl::fromLocalFile(const VelString &path)
{
    VelUrl url;
    if (path.isEmpty())
        return url;
    url.m_scheme = "file";
    url.m_hasAuthority = path.startsWith(VelString("/"));
    url.m_path = normalize(toUtf8(path), Component::Path, true);
    url.validate();
    return url;
}

void VelUrl::validate()
{
    if (m_error.empty() && m_hasAuthority && !m_path.empty() && m_path[0] != '/')
        m_error = "The path of a URL with an authority must start with '/'";
    if (m_error.empty() && !m_hasAuthority && m_path.compare(0, 2, "//") == 0)
        m_error = "A path without an authority cannot start with '//'";
    if (m_error.empty() && m_hasAuthority && !m_host.empty() && m_host[0] != '[' &&
        asciiHost(m_host).empty())
        m_error = "Invalid hostname";
    m_valid = m_error.empty() && !isEmpty();
}

bool VelUrl::isEmpty() const
{
    return m_scheme.empty() && !m_hasAuthority && m_path.empty() && !m_hasQuery && !m_hasFragment;
}

VelString VelUrl::userName() const
{
    return fromUtf8(percentDecode(m_user));
}

VelString VelUrl::password() const
{
    return fromUtf8(percentDecode(m_password));
}

VelString VelUrl::host() const
{
    return fromUtf8(m_host);
}

VelString VelUrl::authority() const
{
    if (!m_hasAuthority)
        return VelString();
    std::string out;
    if (!m_user.empty() || m_hasPassword) {
        out += prettyDecode(m_user);
        if (m_hasPassword)
            out += ":" + prettyDecode(m_password);
        out += "@";
    }
    out += m_host;
    if (m_port >= 0)
        out += ":" + std::to_string(m_port);
    return fromUtf8(out);
}

VelString VelUrl::path() const
{
    return fromUtf8(percentDecode(m_path));
}

VelString VelUrl::query() const
{
    return fromUtf8(percentDecode(m_query));
}

VelString VelUrl::fragment() const
{
    return fromUtf8(percentDecode(m_fragment));
}

void VelUrl::setScheme(const VelString &scheme)
{
    const std::string s = lowerAscii(toUtf8(scheme));
    m_error = s.empty() || isValidScheme(s) ? std::string() : "Invalid scheme";
    m_scheme = s;
    validate();
}

void VelUrl::setHost(const VelString &host)
{
    m_host = lowerAscii(toUtf8(host));
    m_hasAuthority = m_hasAuthority || !m_host.empty();
    m_error = hostHasForbiddenCharacter(m_host) && m_host[0] != '[' ? "Invalid hostname" : "";
    validate();
}

void VelUrl::setPort(int port)
{
    m_port = port >= 0 && port <= 65535 ? port : -1;
    if (m_port >= 0)
        m_hasAuthority = true;
    validate();
}

void VelUrl::setUserName(const VelString &user)
{
    m_user = normalize(toUtf8(user), Component::User, true);
    m_hasAuthority = m_hasAuthority || !m_user.empty();
    validate();
}

void VelUrl::setPassword(const VelString &password)
{
    m_password = normalize(toUtf8(password), Component::Password, true);
    m_hasPassword = !password.isEmpty();
    validate();
}

void VelUrl::setPath(const VelString &path)
{
    m_path = normalize(toUtf8(path), Component::Path, true);
    validate();
}

void VelUrl::setQuery(const VelString &query)
{
    m_query = normalize(toUtf8(query), Component::Query, true);
    m_hasQuery = true;
    validate();
}

void VelUrl::setFragment(const VelString &fragment)
{
    m_fragment = normalize(toUtf8(fragment), Component::Fragment, true);
    m_hasFragment = true;
    validate();
}

VelString VelUrl::toLocalFile() const
{
    if (!isLocalFile())
        return VelString();
    const VelString path = fromUtf8(percentDecode(m_path));
    if (!m_host.empty() && m_host != "localhost")
        return VelString("//") + fromUtf8(m_host) + path;
    return path;
}

std::string VelUrl::assemble(bool pretty, bool withPassword) const
{
    const auto shown = [pretty](const std::string &component) {
        return pretty ? prettyDecode(component) : component;
    };
    std::string out;
    if (!m_scheme.empty())
        out += m_scheme + ":";
    if (m_hasAuthority) {
        out += "//";
        if (!m_user.empty() || (withPassword && m_hasPassword)) {
            out += shown(m_user);
            if (withPassword && m_hasPassword)
                out += ":" + shown(m_password);
            out += "@";
        }
        if (pretty || m_host.empty() || m_host[0] == '[') {
            out += m_host;
        } else {
            const std::string ascii = asciiHost(m_host);
            out += ascii.empty() ? normalize(m_host, Component::User, true) : ascii;
        }
        if (m_port >= 0)
            out += ":" + std::to_string(m_port);
    }
    out += shown(m_path);
    if (m_hasQuery)
        out += "?" + shown(m_query);
    if (m_hasFragment)
        out += "#" + shown(m_fragment);
    return out;
}

VelString VelUrl::toString() const
{
    return fromUtf8(assemble(true, true));
}

VelString VelUrl::toDisplayString() const
{
    return fromUtf8(assemble(true, false));
}

VelByteArray VelUrl::toEncoded() const
{
    return VelByteArray(assemble(false, true));
}

bool operator==(const VelUrl &a, const VelUrl &b)
{
    return a.m_valid == b.m_valid && a.toEncoded() == b.toEncoded();
}

uint velHash(const VelUrl &url, uint seed)
{
    return velHash(url.toEncoded(), seed);
}
