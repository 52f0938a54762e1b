// The launcher's window with a display: X events sent to it reach the plugin
// as a phone's input, in order, and the window's close ends the run after
// them.

#include "launcherrun.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace
{

// The launcher's top-level window, by its title; 0 until it is mapped.
Window findWindow(Display *display, const std::string &title)
{
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char *name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display, children[i], &name) && name && title == name &&
            XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            found = children[i];
        if (name)
            XFree(name);
    }
    if (children)
        XFree(children);
    return found;
}

void sendButton(Display *display, Window window, int type, int x, int y, unsigned int state)
{
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.display = display;
    event.xbutton.window = window;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.button = Button1;
    event.xbutton.state = state;
    event.xbutton.same_screen = True;
    XSendEvent(display, window, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
               &event);
}

void sendMotion(Display *display, Window window, int x, int y)
{
    XEvent event{};
    event.xmotion.type = MotionNotify;
    event.xmotion.display = display;
    event.xmotion.window = window;
    event.xmotion.root = DefaultRootWindow(display);
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.state = Button1Mask;
    event.xmotion.same_screen = True;
    XSendEvent(display, window, False, PointerMotionMask, &event);
}

void sendKey(Display *display, Window window, int type, KeySym keysym)
{
    XEvent event{};
    event.xkey.type = type;
    event.xkey.display = display;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.keycode = XKeysymToKeycode(display, keysym);
    event.xkey.same_screen = True;
    XSendEvent(display, window, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
}

void sendClose(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &event);
}

} // namespace

TEST(LauncherWindow, MouseAndKeysOfTheWindowReachThePluginBeforeItsClose)
{
    ensureDisplay();
    const std::string display = std::getenv("DISPLAY");
    Display *x = XOpenDisplay(display.c_str());
    ASSERT_NE(x, nullptr);
    LauncherRun run;
    std::thread launcher([&run, &display] {
        // With DISPLAY the launcher shows its window live; the app stays up
        // until the window is closed.
        run = runLauncherWith({"--timeout", "120", "--plugin", VEL_TEST_FAKEPLUGIN, "--env",
                               "VEL_TESTAPP_SLEEP_MS=120000", VEL_TEST_APP},
                              {"VEL_FAKEPLUGIN_INPUT=1", "DISPLAY=" + display});
    });
    const std::string title =
        "vel-android-run: " +
        std::string(VEL_TEST_APP).substr(std::string(VEL_TEST_APP).rfind('/') + 1);
    Window window = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!window && std::chrono::steady_clock::now() < deadline) {
        window = findWindow(x, title);
        if (!window)
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // polling for the window
    }
    if (window) {
        sendButton(x, window, ButtonPress, 10, 20, 0);
        sendMotion(x, window, 12, 21);
        sendButton(x, window, ButtonRelease, 12, 21, Button1Mask);
        sendKey(x, window, KeyPress, XK_a);
        sendKey(x, window, KeyRelease, XK_a);
        sendClose(x, window);
        XFlush(x);
    }
    launcher.join();
    XCloseDisplay(x);
    ASSERT_NE(window, 0u) << "the launcher's window never appeared\n" << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> calls = linesStartingWith(run.err, "I/VelFake: input ");
    const std::vector<std::string> expected = {
        "touchBegin(0) on \"main\"",      "touchAdd(0, 0, 0, true, 10, 20, 0.05, 1) on \"main\"",
        "touchEnd(0, 0) on \"main\"",     "mouseDown(0, 10, 20) on \"main\"",
        "touchBegin(0) on \"main\"",      "touchAdd(0, 0, 1, true, 12, 21, 0.05, 1) on \"main\"",
        "touchEnd(0, 2) on \"main\"",     "mouseMove(0, 12, 21) on \"main\"",
        "touchBegin(0) on \"main\"",      "touchAdd(0, 0, 3, true, 12, 21, 0.05, 0) on \"main\"",
        "touchEnd(0, 1) on \"main\"",     "mouseUp(0, 12, 21) on \"main\"",
        "keyDown(29, 97, 0) on \"main\"", "keyUp(29, 97, 0) on \"main\""};
    EXPECT_EQ(calls, expected) << run.err;
}
