#ifndef LOGCAPTURE_H
#define LOGCAPTURE_H

#include "vellogging.h"

#include <string>
#include <vector>

// Collects every log message of the process while alive.
class LogCapture
{
public:
    struct Message {
        VelMsgType type;
        std::string text;
    };

    LogCapture() : m_previous(velInstallMessageHandler(&LogCapture::handler))
    {
        messages().clear();
    }
    ~LogCapture() { velInstallMessageHandler(m_previous); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    static std::vector<Message> &messages()
    {
        static std::vector<Message> list;
        return list;
    }
    static std::vector<std::string> warnings()
    {
        std::vector<std::string> out;
        for (const Message &m : messages()) {
            if (m.type == VelWarningMsg)
                out.push_back(m.text);
        }
        return out;
    }

private:
    static void handler(VelMsgType type, const VelMessageLogContext &, const VelString &message)
    {
        messages().push_back({type, message.toUtf8().toStdString()});
    }

    VelMessageHandler m_previous;
};

#endif
