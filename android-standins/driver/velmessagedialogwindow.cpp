#include "velmessagedialogwindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace
{

constexpr int margin = 16;
constexpr int lineGap = 6;
constexpr int buttonPadding = 12;
constexpr int buttonHeight = 28;

// The core font draws Latin-1 at best: other characters show as '?'.
std::string drawable(const std::string &utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += char(c);
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size() && c <= 0xC3) {
            out += char(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else if ((c & 0xC0) != 0x80) {
            out += '?';
        }
    }
    return out;
}

XFontStruct *fontOf(void *font)
{
    return static_cast<XFontStruct *>(font);
}

} // namespace

VelMessageDialogWindow::~VelMessageDialogWindow()
{
    close();
}

bool VelMessageDialogWindow::open(const Content &content, std::string *error)
{
    close();
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        *error = "cannot open the display for the message dialog";
        return false;
    }
    m_content = content;
    m_font = XLoadQueryFont(m_display, "fixed");
    if (!m_font) {
        *error = "no core font for the message dialog";
        close();
        return false;
    }
    layOut();
    const int screen = DefaultScreen(m_display);
    m_window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 40, 40,
                                   unsigned(m_width), unsigned(m_height), 1,
                                   BlackPixel(m_display, screen), WhitePixel(m_display, screen));
    XStoreName(m_display, m_window, drawable(content.title).c_str());
    m_deleteAtom = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {m_deleteAtom};
    XSetWMProtocols(m_display, m_window, protocols, 1);
    XSelectInput(m_display, m_window, ExposureMask | ButtonPressMask);
    m_gc = XCreateGC(m_display, m_window, 0, nullptr);
    XSetFont(m_display, m_gc, fontOf(m_font)->fid);
    XMapRaised(m_display, m_window);
    XFlush(m_display);
    return true;
}

void VelMessageDialogWindow::close()
{
    if (!m_display)
        return;
    if (m_gc)
        XFreeGC(m_display, m_gc);
    if (m_font)
        XFreeFont(m_display, fontOf(m_font));
    if (m_window)
        XDestroyWindow(m_display, m_window);
    XCloseDisplay(m_display);
    m_display = nullptr;
    m_window = 0;
    m_gc = nullptr;
    m_font = nullptr;
    m_buttons.clear();
}

void VelMessageDialogWindow::layOut()
{
    XFontStruct *font = fontOf(m_font);
    const int lineHeight = font->ascent + font->descent;
    int textWidth = 200;
    for (const std::string &line : m_content.lines) {
        const std::string text = drawable(line);
        textWidth = std::max(textWidth, XTextWidth(font, text.c_str(), int(text.size())));
    }
    int x = margin;
    const int y = margin + int(m_content.lines.size()) * (lineHeight + lineGap) + margin;
    for (size_t i = 0; i < m_content.buttonIds.size(); ++i) {
        const std::string label = drawable(m_content.buttonLabels[i]);
        const int width = XTextWidth(font, label.c_str(), int(label.size())) + 2 * buttonPadding;
        m_buttons.push_back(Button{m_content.buttonIds[i], label, x, y, width, buttonHeight});
        x += width + margin / 2;
    }
    m_width = std::max(textWidth, x - margin / 2) + 2 * margin;
    m_height = y + buttonHeight + margin;
}

void VelMessageDialogWindow::paint()
{
    XFontStruct *font = fontOf(m_font);
    const int lineHeight = font->ascent + font->descent;
    int y = margin + font->ascent;
    for (const std::string &line : m_content.lines) {
        const std::string text = drawable(line);
        XDrawString(m_display, m_window, m_gc, margin, y, text.c_str(), int(text.size()));
        y += lineHeight + lineGap;
    }
    for (const Button &b : m_buttons) {
        XDrawRectangle(m_display, m_window, m_gc, b.x, b.y, unsigned(b.width), unsigned(b.height));
        XDrawString(m_display, m_window, m_gc, b.x + buttonPadding,
                    b.y + (b.height + font->ascent - font->descent) / 2, b.label.c_str(),
                    int(b.label.size()));
    }
    XFlush(m_display);
}

bool VelMessageDialogWindow::pollAnswer(int *buttonId)
{
    if (!m_display)
        return false;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            paint();
        } else if (event.type == ButtonPress && event.xbutton.button == Button1) {
            for (const Button &b : m_buttons) {
                if (event.xbutton.x >= b.x && event.xbutton.x < b.x + b.width &&
                    event.xbutton.y >= b.y && event.xbutton.y < b.y + b.height) {
                    *buttonId = b.id;
                    return true;
                }
            }
        } else if (event.type == ClientMessage &&
                   static_cast<unsigned long>(event.xclient.data.l[0]) == m_deleteAtom) {
            *buttonId = -1;
            return true;
        }
    }
    return false;
}
