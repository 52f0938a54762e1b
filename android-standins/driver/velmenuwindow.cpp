#include "velmenuwindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace
{

constexpr int margin = 12;
constexpr int rowPadding = 8;
constexpr int minimumWidth = 160;

// The core font draws Latin-1 at best: other characters show as '?'.
std::string drawable(const std::string &utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80)
            out += char(c);
        else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size() && c <= 0xC3)
            out += char(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        else if ((c & 0xC0) != 0x80)
            out += '?';
    }
    return out;
}

XFontStruct *fontOf(void *font)
{
    return static_cast<XFontStruct *>(font);
}

} // namespace

VelMenuWindow::~VelMenuWindow()
{
    close();
}

bool VelMenuWindow::show(const std::vector<std::string> &titles,
                         const std::vector<std::string> &labels, std::string *error)
{
    close();
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        *error = "cannot open the display for the menu";
        return false;
    }
    m_font = XLoadQueryFont(m_display, "fixed");
    if (!m_font) {
        *error = "no core font for the menu";
        close();
        return false;
    }
    m_titles = titles;
    // A row without a label of its own (the two lists read apart while the
    // menu changed) shows its title.
    m_labels = labels;
    m_labels.resize(titles.size());
    for (size_t i = 0; i < titles.size(); ++i) {
        if (m_labels[i].empty())
            m_labels[i] = titles[i];
    }
    XFontStruct *font = fontOf(m_font);
    m_rowHeight = font->ascent + font->descent + 2 * rowPadding;
    int width = minimumWidth;
    for (const std::string &label : m_labels) {
        const std::string text = drawable(label);
        width = std::max(width, XTextWidth(font, text.c_str(), int(text.size())) + 2 * margin);
    }
    const int height = std::max(1, int(titles.size())) * m_rowHeight;
    const int screen = DefaultScreen(m_display);
    m_window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 60, 60,
                                   unsigned(width), unsigned(height), 1,
                                   BlackPixel(m_display, screen), WhitePixel(m_display, screen));
    XStoreName(m_display, m_window, "Menu");
    m_deleteAtom = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {m_deleteAtom};
    XSetWMProtocols(m_display, m_window, protocols, 1);
    XSelectInput(m_display, m_window, ExposureMask | ButtonPressMask);
    m_gc = XCreateGC(m_display, m_window, 0, nullptr);
    XSetFont(m_display, m_gc, font->fid);
    XMapRaised(m_display, m_window);
    XFlush(m_display);
    return true;
}

void VelMenuWindow::close()
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
    m_titles.clear();
    m_labels.clear();
}

void VelMenuWindow::paint()
{
    XFontStruct *font = fontOf(m_font);
    for (size_t i = 0; i < m_titles.size(); ++i) {
        const int top = int(i) * m_rowHeight;
        if (i > 0)
            XDrawLine(m_display, m_window, m_gc, 0, top, 4000, top);
        const std::string text = drawable(m_labels[i]);
        XDrawString(m_display, m_window, m_gc, margin, top + rowPadding + font->ascent,
                    text.c_str(), int(text.size()));
    }
    XFlush(m_display);
}

VelMenuWindow::Answer VelMenuWindow::poll(std::string *title)
{
    if (!m_display)
        return Answer::Nothing;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            paint();
        } else if (event.type == ButtonPress && event.xbutton.button == Button1) {
            const int row = event.xbutton.y / std::max(1, m_rowHeight);
            if (row >= 0 && row < int(m_titles.size())) {
                *title = m_titles[size_t(row)];
                return Answer::Chosen;
            }
        } else if (event.type == ClientMessage &&
                   static_cast<unsigned long>(event.xclient.data.l[0]) == m_deleteAtom) {
            return Answer::Dismissed;
        }
    }
    return Answer::Nothing;
}
