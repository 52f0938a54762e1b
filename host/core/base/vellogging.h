#ifndef VELLOGGING_H
#define VELLOGGING_H

#include "velglobal.h"
#include "velstring.h"

#include <string>

enum VelMsgType {
    VelDebugMsg = 0,
    VelWarningMsg = 1,
    VelCriticalMsg = 2,
    VelFatalMsg = 3,
    VelInfoMsg = 4
};

// Where a message came from: the source file and function are recorded with
// every message so that captured logs can be traced to their origin.
struct VelMessageLogContext {
    const char *file = nullptr;
    int line = 0;
    const char *function = nullptr;
    const char *category = "default";
};

using VelMessageHandler = void (*)(VelMsgType, const VelMessageLogContext &, const VelString &);

// Installs a handler for every message of the process and returns the previous
// one; null restores the default handler (standard error). A fatal message
// ends the process after the handler returned.
VelMessageHandler velInstallMessageHandler(VelMessageHandler handler);
void velMessageOutput(VelMsgType type, const VelMessageLogContext &context,
                      const VelString &message);
// Formats a default log line ("Warning: text") as the default handler writes it.
VelString velFormatLogMessage(VelMsgType type, const VelMessageLogContext &context,
                              const VelString &message);

// The streaming form: items are separated by one blank; strings and byte
// strings are quoted, C string literals are not.
class VelDebug
{
public:
    explicit VelDebug(VelMsgType type,
                      const VelMessageLogContext &context = VelMessageLogContext());
    VelDebug(const VelDebug &other);
    VelDebug &operator=(const VelDebug &) = delete;
    ~VelDebug();

    VelDebug &space()
    {
        m_space = true;
        m_text.push_back(' ');
        return *this;
    }
    VelDebug &nospace()
    {
        m_space = false;
        return *this;
    }
    VelDebug &maybeSpace()
    {
        if (m_space)
            m_text.push_back(' ');
        return *this;
    }
    VelDebug &quote()
    {
        m_quote = true;
        return *this;
    }
    VelDebug &noquote()
    {
        m_quote = false;
        return *this;
    }
    bool autoInsertSpaces() const { return m_space; }
    void setIntegerBase(int base) { m_base = base; }
    int integerBase() const { return m_base; }

    VelDebug &operator<<(const char *s);
    VelDebug &operator<<(const VelString &s);
    VelDebug &operator<<(const VelByteArray &s);
    VelDebug &operator<<(VelChar c);
    VelDebug &operator<<(char c);
    VelDebug &operator<<(bool b);
    VelDebug &operator<<(short n) { return putSigned(n); }
    VelDebug &operator<<(unsigned short n) { return putUnsigned(n); }
    VelDebug &operator<<(int n) { return putSigned(n); }
    VelDebug &operator<<(unsigned int n) { return putUnsigned(n); }
    VelDebug &operator<<(long n) { return putSigned(n); }
    VelDebug &operator<<(unsigned long n) { return putUnsigned(n); }
    VelDebug &operator<<(long long n) { return putSigned(n); }
    VelDebug &operator<<(unsigned long long n) { return putUnsigned(n); }
    VelDebug &operator<<(float f) { return *this << double(f); }
    VelDebug &operator<<(double d);
    VelDebug &operator<<(const void *p);
    VelDebug &operator<<(std::nullptr_t) { return *this << "(nullptr)"; }
    VelDebug &operator<<(VelDebug &(*manipulator)(VelDebug &)) { return manipulator(*this); }

    // Appends raw text without separators or quotes (for operator<< of other types).
    VelDebug &appendRaw(const std::string &text)
    {
        m_text += text;
        return *this;
    }

private:
    VelDebug &putSigned(long long n);
    VelDebug &putUnsigned(unsigned long long n);

    VelMsgType m_type;
    VelMessageLogContext m_context;
    std::string m_text;
    int m_base = 10;
    bool m_space = true;
    bool m_quote = true;
    bool m_owner = true;
};

namespace Vel
{
inline VelDebug &hex(VelDebug &d)
{
    d.setIntegerBase(16);
    return d;
}
inline VelDebug &dec(VelDebug &d)
{
    d.setIntegerBase(10);
    return d;
}
} // namespace Vel

class VelMessageLogger
{
public:
    VelMessageLogger(const char *file, int line, const char *function)
    {
        m_context.file = file;
        m_context.line = line;
        m_context.function = function;
    }

    void debug(const char *format, ...) const __attribute__((format(printf, 2, 3)));
    void info(const char *format, ...) const __attribute__((format(printf, 2, 3)));
    void warning(const char *format, ...) const __attribute__((format(printf, 2, 3)));
    void critical(const char *format, ...) const __attribute__((format(printf, 2, 3)));
    [[noreturn]] void fatal(const char *format, ...) const __attribute__((format(printf, 2, 3)));

    VelDebug debug() const { return VelDebug(VelDebugMsg, m_context); }
    VelDebug info() const { return VelDebug(VelInfoMsg, m_context); }
    VelDebug warning() const { return VelDebug(VelWarningMsg, m_context); }
    VelDebug critical() const { return VelDebug(VelCriticalMsg, m_context); }
    // Streamed fatal messages end the process when the stream is destroyed.
    VelDebug fatal() const { return VelDebug(VelFatalMsg, m_context); }

private:
    VelMessageLogContext m_context;
};

#define velDebug VelMessageLogger(__FILE__, __LINE__, __PRETTY_FUNCTION__).debug
#define velInfo VelMessageLogger(__FILE__, __LINE__, __PRETTY_FUNCTION__).info
#define velWarning VelMessageLogger(__FILE__, __LINE__, __PRETTY_FUNCTION__).warning
#define velCritical VelMessageLogger(__FILE__, __LINE__, __PRETTY_FUNCTION__).critical
#define velFatal VelMessageLogger(__FILE__, __LINE__, __PRETTY_FUNCTION__).fatal

// printf-style formatting into a byte string.
VelByteArray velFormat(const char *format, ...) __attribute__((format(printf, 1, 2)));
// The conventional "%s" argument for a string.
#define velPrintable(string) (VelString(string).toLocal8Bit().constData())

#endif
