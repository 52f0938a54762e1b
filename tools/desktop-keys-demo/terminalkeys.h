#ifndef TERMINALKEYS_H
#define TERMINALKEYS_H

#include <string>
#include <vector>

// A key as a terminal reports it: the host key code, its text and the
// keysym-like virtual key the registry's listeners see. Terminals report no
// scan codes.
struct TerminalKey {
    int key = 0;
    std::string text;
    unsigned virtualKey = 0;
};

// Splits bytes read from a terminal into keys: printable characters, the
// control keys Return, Tab, BackSpace and Escape, and the arrow keys'
// escape sequences. Control-C and Control-D come back as key 0 (quit).
std::vector<TerminalKey> terminalKeys(const std::string &bytes);

// Puts the terminal on fd into character-at-a-time mode without echo while
// it lives.
class RawTerminal
{
public:
    explicit RawTerminal(int fd);
    ~RawTerminal();
    bool isRaw() const { return m_raw; }

private:
    int m_fd;
    bool m_raw = false;
    unsigned char m_saved[128];
};

#endif
