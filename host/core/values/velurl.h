#ifndef VELURL_H
#define VELURL_H

#include "velmetatype.h"
#include "velstring.h"

// A URL (RFC 3986): scheme, authority (user, password, host, port), path,
// query and fragment. Components are kept in a canonical percent-encoded
// form: unreserved characters decoded, everything that may not appear
// literally in its component encoded as UTF-8 %XX. toEncoded() is that form
// (hosts in ASCII/punycode), so a URL with spaces or non-ASCII characters is
// always a single token; toString() shows spaces and non-ASCII text decoded.
class VelUrl
{
public:
    enum ParsingMode { TolerantMode = 0, StrictMode = 1 };

    VelUrl() = default;
    // Parses text as typed: spaces, non-ASCII characters and stray '%' are accepted.
    VelUrl(const VelString &url, ParsingMode mode = TolerantMode) { setUrl(url, mode); }
    VelUrl(const char *url) : VelUrl(VelString(url)) {}

    void setUrl(const VelString &url, ParsingMode mode = TolerantMode);
    static VelUrl fromEncoded(const VelByteArray &encoded, ParsingMode mode = TolerantMode);
    // "file:///path" for an absolute path; a relative one gives "file:relative/path".
    static VelUrl fromLocalFile(const VelString &path);

    bool isValid() const { return m_valid; }
    bool isEmpty() const;
    bool isRelative() const { return m_scheme.empty(); }
    bool isLocalFile() const { return m_scheme == "file"; }
    void clear() { *this = VelUrl(); }
    VelString errorString() const { return VelString(m_error.c_str()); }

    VelString scheme() const { return VelString(m_scheme.c_str()); }
    VelString userName() const;
    VelString password() const;
    VelString host() const;
    int port(int defaultPort = -1) const { return m_port < 0 ? defaultPort : m_port; }
    VelString authority() const;
    // Decoded path, query and fragment (every %XX decoded).
    VelString path() const;
    VelString query() const;
    VelString fragment() const;
    bool hasQuery() const { return m_hasQuery; }
    bool hasFragment() const { return m_hasFragment; }

    void setScheme(const VelString &scheme);
    void setHost(const VelString &host);
    void setPort(int port);
    void setUserName(const VelString &user);
    void setPassword(const VelString &password);
    // Takes decoded text; '%' is literal.
    void setPath(const VelString &path);
    void setQuery(const VelString &query);
    void setFragment(const VelString &fragment);

    // The path as a local file name; empty when the URL is not a file URL.
    VelString toLocalFile() const;
    VelString toString() const;
    VelString toDisplayString() const; // without the password
    VelByteArray toEncoded() const;

    friend bool operator==(const VelUrl &a, const VelUrl &b);
    friend bool operator!=(const VelUrl &a, const VelUrl &b) { return !(a == b); }
    friend bool operator<(const VelUrl &a, const VelUrl &b)
    {
        return a.toEncoded() < b.toEncoded();
    }

private:
    std::string assemble(bool pretty, bool withPassword) const;
    void validate();

    // Canonical percent-encoded (ASCII) components.
    std::string m_scheme;
    std::string m_user;
    std::string m_password;
    std::string m_host; // lower case, UTF-8 (decoded)
    int m_port = -1;
    std::string m_path;
    std::string m_query;
    std::string m_fragment;
    std::string m_error;
    bool m_hasAuthority = false;
    bool m_hasPassword = false;
    bool m_hasQuery = false;
    bool m_hasFragment = false;
    bool m_valid = false;
};

uint velHash(const VelUrl &url, uint seed = 0);

VEL_DECLARE_METATYPE(VelUrl)

#endif
