#include "velx11window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <cstring>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace
{

std::atomic<int> lastXError{0};

int recordXError(Display *, XErrorEvent *event)
{
    lastXError.store(event->error_code);
    return 0;
}

void installErrorHandlerOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(recordXError); });
}

int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

} // namespace

void VelX11Window::prepareThreadedProcess()
{
    XInitThreads();
    // The name libXau would build itself: $HOME/.Xauthority (HOME "/" gives
    // "/.Xauthority").
    const char *home = std::getenv("HOME");
    if (!std::getenv("XAUTHORITY") && home && *home) {
        const std::string name =
            std::string(std::strcmp(home, "/") == 0 ? "" : home) + "/.Xauthority";
        ::setenv("XAUTHORITY", name.c_str(), 0);
    }
}

void VelX11Window::installErrorHandler()
{
    installErrorHandlerOnce();
}

VelX11Window::~VelX11Window()
{
    destroy();
}

bool VelX11Window::create(const char *displayName, int width, int height, const std::string &title,
                          std::string *error)
{
    destroy();
    prepareThreadedProcess();
    installErrorHandlerOnce();
    m_display = XOpenDisplay(displayName);
    if (!m_display) {
        if (error)
            *error = std::string("cannot open X display ") +
                     (displayName ? displayName : "(DISPLAY unset)");
        return false;
    }
    const int screen = DefaultScreen(m_display);
    m_window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 0, 0,
                                   static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                   BlackPixel(m_display, screen), BlackPixel(m_display, screen));
    m_width = width;
    m_height = height;
    XStoreName(m_display, m_window, title.c_str());
    Atom deleteAtom = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(m_display, m_window, &deleteAtom, 1);
    m_deleteAtom = deleteAtom;
    // A fixed size: the Android surface does not follow a window manager.
    XSizeHints *hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(m_display, m_window, hints);
    XFree(hints);
    XSelectInput(m_display, m_window,
                 ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                     PointerMotionMask | KeyPressMask | KeyReleaseMask);
    XMapWindow(m_display, m_window);
    XFlush(m_display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        XEvent event;
        if (XCheckTypedWindowEvent(m_display, m_window, MapNotify, &event))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (error)
        *error = "the X window was not mapped within 5 s";
    destroy();
    return false;
}

void VelX11Window::destroy()
{
    if (m_display) {
        if (m_window)
            XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
    m_display = nullptr;
    m_window = 0;
}

std::vector<VelX11Window::Event> VelX11Window::pollEvents()
{
    std::vector<Event> events;
    if (!m_display)
        return events;
    while (XPending(m_display) > 0) {
        XEvent xevent;
        XNextEvent(m_display, &xevent);
        Event event;
        switch (xevent.type) {
        case ClientMessage:
            if (static_cast<unsigned long>(xevent.xclient.data.l[0]) == m_deleteAtom)
                event.type = Event::CloseRequested;
            break;
        case ConfigureNotify:
            if (xevent.xconfigure.width != m_width || xevent.xconfigure.height != m_height) {
                m_width = xevent.xconfigure.width;
                m_height = xevent.xconfigure.height;
                event.type = Event::Resized;
                event.x = m_width;
                event.y = m_height;
            }
            break;
        case ButtonPress:
        case ButtonRelease:
            event.type = xevent.type == ButtonPress ? Event::ButtonDown : Event::ButtonUp;
            event.x = xevent.xbutton.x;
            event.y = xevent.xbutton.y;
            event.button = static_cast<int>(xevent.xbutton.button);
            event.state = xevent.xbutton.state;
            break;
        case MotionNotify:
            event.type = Event::Motion;
            event.x = xevent.xmotion.x;
            event.y = xevent.xmotion.y;
            event.state = xevent.xmotion.state;
            break;
        case KeyPress:
        case KeyRelease: {
            char text[8] = {0};
            KeySym keysym = 0;
            const int n = XLookupString(&xevent.xkey, text, sizeof text, &keysym, nullptr);
            event.type = xevent.type == KeyPress ? Event::KeyDown : Event::KeyUp;
            event.keysym = keysym;
            event.unicode = n == 1 ? static_cast<unsigned char>(text[0]) : 0;
            event.state = xevent.xkey.state;
            break;
        }
        default:
            break;
        }
        if (event.type != Event::Nothing)
            events.push_back(event);
    }
    return events;
}

bool VelX11Window::grabPixels(std::vector<uint8_t> *rgba, std::string *error)
{
    if (!m_display || !m_window) {
        if (error)
            *error = "no window";
        return false;
    }
    lastXError.store(0);
    XImage *image = XGetImage(m_display, m_window, 0, 0, static_cast<unsigned>(m_width),
                              static_cast<unsigned>(m_height), AllPlanes, ZPixmap);
    XSync(m_display, False);
    if (!image) {
        if (error)
            *error = "XGetImage failed (X error " + std::to_string(lastXError.load()) +
                     "); is the window fully on screen?";
        return false;
    }
    rgba->resize(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4);
    uint8_t *out = rgba->data();
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            *out++ = static_cast<uint8_t>(channel(pixel, image->red_mask));
            *out++ = static_cast<uint8_t>(channel(pixel, image->green_mask));
            *out++ = static_cast<uint8_t>(channel(pixel, image->blue_mask));
            *out++ = 255;
        }
    }
    XDestroyImage(image);
    return true;
}
