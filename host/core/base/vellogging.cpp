#include "vellogging.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace
{

std::atomic<VelMessageHandler> g_handler{nullptr};
std::mutex g_stderrMutex; // serialises the default handler's writes; taken alone

const char *levelName(VelMsgType type)
{
    switch (type) {
    case VelDebugMsg:
        return "Debug";
    case VelInfoMsg:
        return "Info";
    case VelWarningMsg:
        return "Warning";
    case VelCriticalMsg:
        return "Critical";
    case VelFatalMsg:
        return "Fatal";
    }
    return "Debug";
}

void defaultHandler(VelMsgType type, const VelMessageLogContext &context, const VelString &message)
{
    const VelByteArray line = velFormatLogMessage(type, context, message).toLocal8Bit();
    std::lock_guard<std::mutex> lock(g_stderrMutex);
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

std::string vformat(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string out(size_t(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(size_t(n));
    return out;
}

void emit(VelMsgType type, const VelMessageLogContext &context, const std::string &text)
{
    velMessageOutput(type, context, VelString::fromUtf8(text.c_str(), int(text.size())));
}

} // namespace

VelMessageHandler velInstallMessageHandler(VelMessageHandler handler)
{
    return g_handler.exchange(handler);
}

VelString velFormatLogMessage(VelMsgType type, const VelMessageLogContext &,
                              const VelString &message)
{
    return VelString::fromLatin1(levelName(type)) + ": " + message;
}

void velMessageOutput(VelMsgType type, const VelMessageLogContext &context,
                      const VelString &message)
{
    VelMessageHandler handler = g_handler.load();
    (handler ? handler : defaultHandler)(type, context, message);
    if (type == VelFatalMsg)
        std::abort();
}

VelByteArray velFormat(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string s = vformat(format, args);
    va_end(args);
    return VelByteArray(std::move(s));
}

#define VEL_LOGGER_PRINTF(name, type)                                                              \
    void VelMessageLogger::name(const char *format, ...) const                                     \
    {                                                                                              \
        va_list args;                                                                              \
        va_start(args, format);                                                                    \
        const std::string text = vformat(format, args);                                            \
        va_end(args);                                                                              \
        emit(type, m_context, text);                                                               \
    }

VEL_LOGGER_PRINTF(debug, VelDebugMsg)
VEL_LOGGER_PRINTF(info, VelInfoMsg)
VEL_LOGGER_PRINTF(warning, VelWarningMsg)
VEL_LOGGER_PRINTF(critical, VelCriticalMsg)

void VelMessageLogger::fatal(const char *format, ...) const
{
    va_list args;
    va_start(args, format);
    const std::string text = vformat(format, args);
    va_end(args);
    emit(VelFatalMsg, m_context, text);
    std::abort(); // not reached: velMessageOutput aborts on fatal messages
}

VelDebug::VelDebug(VelMsgType type, const VelMessageLogContext &context)
    : m_type(type), m_context(context)
{
}

// Copies are only made when a stream is returned by value; the copy takes over
// the duty to emit the message.
VelDebug::VelDebug(const VelDebug &other)
    : m_type(other.m_type), m_context(other.m_context), m_text(other.m_text), m_base(other.m_base),
      m_space(other.m_space), m_quote(other.m_quote)
{
    const_cast<VelDebug &>(other).m_owner = false;
}

VelDebug::~VelDebug()
{
    if (!m_owner)
        return;
    // The trailing separator of the last item is not part of the message.
    if (m_space && !m_text.empty() && m_text.back() == ' ')
        m_text.pop_back();
    emit(m_type, m_context, m_text);
}

VelDebug &VelDebug::operator<<(const char *s)
{
    m_text += s ? s : "";
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(const VelString &s)
{
    const VelByteArray utf8 = s.toUtf8();
    if (m_quote)
        m_text.push_back('"');
    m_text.append(utf8.constData(), size_t(utf8.size()));
    if (m_quote)
        m_text.push_back('"');
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(const VelByteArray &s)
{
    if (m_quote)
        m_text.push_back('"');
    m_text.append(s.constData(), size_t(s.size()));
    if (m_quote)
        m_text.push_back('"');
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(VelChar c)
{
    const VelByteArray utf8 = VelString(c).toUtf8();
    if (m_quote)
        m_text.push_back('\'');
    m_text.append(utf8.constData(), size_t(utf8.size()));
    if (m_quote)
        m_text.push_back('\'');
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(char c)
{
    m_text.push_back(c);
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(bool b)
{
    m_text += b ? "true" : "false";
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", d);
    m_text += buf;
    return maybeSpace();
}

VelDebug &VelDebug::operator<<(const void *p)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    m_text += buf;
    return maybeSpace();
}

VelDebug &VelDebug::putSigned(long long n)
{
    if (m_base == 16)
        return putUnsigned((unsigned long long)n);
    m_text += std::to_string(n);
    return maybeSpace();
}

VelDebug &VelDebug::putUnsigned(unsigned long long n)
{
    if (m_base == 16) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llx", n);
        m_text += buf;
    } else {
        m_text += std::to_string(n);
    }
    return maybeSpace();
}
