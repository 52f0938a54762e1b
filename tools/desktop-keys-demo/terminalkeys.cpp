#include "terminalkeys.h"

#include "velguinamespace.h"

#include <cstring>
#include <termios.h>

static_assert(sizeof(termios) <= 128, "saved terminal state does not fit");

std::vector<TerminalKey> terminalKeys(const std::string &bytes)
{
    std::vector<TerminalKey> keys;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == 0x03 || c == 0x04) {
            keys.push_back({0, "", 0});
        } else if (c == '\r' || c == '\n') {
            keys.push_back({Vel::Key_Return, "\r", 0xff0d});
        } else if (c == '\t') {
            keys.push_back({Vel::Key_Tab, "\t", 0xff09});
        } else if (c == 0x7f || c == 0x08) {
            keys.push_back({Vel::Key_Backspace, "\b", 0xff08});
        } else if (c == 0x1b && i + 2 < bytes.size() && bytes[i + 1] == '[' &&
                   bytes[i + 2] >= 'A' && bytes[i + 2] <= 'D') {
            static const int arrows[] = {Vel::Key_Up, Vel::Key_Down, Vel::Key_Right, Vel::Key_Left};
            static const unsigned syms[] = {0xff52, 0xff54, 0xff53, 0xff51};
            const int n = bytes[i + 2] - 'A';
            keys.push_back({arrows[n], "", syms[n]});
            i += 2;
        } else if (c == 0x1b) {
            keys.push_back({Vel::Key_Escape, "\x1b", 0xff1b});
        } else if (c >= 0x20 && c < 0x7f) {
            const int key = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
            keys.push_back({key, std::string(1, char(c)), c});
        }
        // Other bytes (the rest of UTF-8 sequences, other controls) are not keys here.
    }
    return keys;
}

RawTerminal::RawTerminal(int fd) : m_fd(fd)
{
    termios t;
    if (tcgetattr(fd, &t) != 0)
        return;
    std::memcpy(m_saved, &t, sizeof(t));
    t.c_lflag &= ~tcflag_t(ICANON | ECHO | ISIG);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    m_raw = tcsetattr(fd, TCSANOW, &t) == 0;
}

RawTerminal::~RawTerminal()
{
    if (!m_raw)
        return;
    termios t;
    std::memcpy(&t, m_saved, sizeof(t));
    tcsetattr(m_fd, TCSANOW, &t);
}
