#ifndef VELX11WINDOW_H
#define VELX11WINDOW_H

#include <cstdint>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

// A top-level X11 window that stands for the Android surface: the plugin's
// EGL renders into it, and its pixels can be read back. The first window
// created installs an X error handler for the process that records errors
// instead of ending the process (reading an obscured window is not fatal).
class VelX11Window
{
public:
    // Before any Xlib call of a process that uses Xlib on several threads
    // (the plugin's GUI thread through Mesa's EGL, the stand-ins' windows,
    // tests): Xlib's own locking, and the authority file named in the
    // environment, because libXau otherwise writes its name into one static
    // buffer on every connection, from whichever thread connects.
    static void prepareThreadedProcess();
    // Makes X errors of every connection of the process recorded instead of
    // fatal (a window read while obscured, a requestor gone before a reply).
    static void installErrorHandler();

    struct Event {
        enum Type {
            Nothing,
            CloseRequested,
            Resized,
            ButtonDown,
            ButtonUp,
            Motion,
            KeyDown,
            KeyUp
        };
        Type type = Nothing;
        int x = 0; // pointer position, or the new size for Resized
        int y = 0;
        int button = 0;
        unsigned long keysym = 0;
        unsigned int unicode = 0;
        unsigned int state = 0; // X modifier state
    };

    VelX11Window() = default;
    ~VelX11Window();
    VelX11Window(const VelX11Window &) = delete;
    VelX11Window &operator=(const VelX11Window &) = delete;

    // Opens the display (null: $DISPLAY), creates and maps the window and
    // waits until it is mapped.
    bool create(const char *displayName, int width, int height, const std::string &title,
                std::string *error);
    void destroy();

    unsigned long windowId() const { return m_window; }
    Display *display() const { return m_display; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The pending events, without blocking.
    std::vector<Event> pollEvents();

    // The window's pixels as tightly packed RGBA, top row first.
    bool grabPixels(std::vector<uint8_t> *rgba, std::string *error);

private:
    Display *m_display = nullptr;
    unsigned long m_window = 0;
    unsigned long m_deleteAtom = 0;
    int m_width = 0;
    int m_height = 0;
};

#endif
