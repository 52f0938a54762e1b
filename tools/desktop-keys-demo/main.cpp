// The desktop key-event adaptor at work in a terminal. A host application
// with one key-handling object (its "window") connects to the accessibility
// bus, gives the registry's device-event record its D-Bus form and turns
// forwarding on. Keys typed on the terminal become spontaneous key events of
// the window; the adaptor holds each one back while the registry asks its
// keystroke listeners, and the window prints every key that reaches it.
//
//   vel-desktop-keys-demo                   type keys; Control-D ends
//   vel-desktop-keys-demo --type TEXT       types TEXT, waits for the registry, ends
//   vel-desktop-keys-demo --swallow CHARS   also run a keystroke listener (on a
//                                           thread of its own) that consumes CHARS
//   vel-desktop-keys-demo --listen CHARS    only be that listener, until Control-C
//
// The registry must run on AT_SPI_BUS_ADDRESS (or on the accessibility bus
// the session bus names).

#include "swallowinglistener.h"
#include "terminalkeys.h"

#include "velcoreapplication.h"
#include "veldbusconnection.h"
#include "velkeyevent.h"
#include "velsocketnotifier.h"
#include "velspiapplicationadaptor.h"
#include "velspideviceeventmarshaller.h"
#include "veltimer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace
{

std::string printable(const VelKeyEvent &event)
{
    const std::string text = event.text().toStdString();
    if (text.size() == 1 && text[0] >= 0x20 && text[0] < 0x7f)
        return "\"" + text + "\"";
    char code[32];
    std::snprintf(code, sizeof code, "key 0x%x", unsigned(event.key()));
    return code;
}

// Prints every key that reaches it: the keys no listener consumed.
class DemoWindow : public VelObject
{
public:
    bool event(VelEvent *event) override
    {
        if (event->type() != VelEvent::KeyPress)
            return VelObject::event(event);
        const auto *key = static_cast<VelKeyEvent *>(event);
        std::printf("window: got %s (virtual key 0x%x)\r\n", printable(*key).c_str(),
                    key->nativeVirtualKey());
        std::fflush(stdout);
        ++received;
        return true;
    }
    int received = 0;
};

// Each key as a press and a release, as a window system would deliver them.
// Returns false for the quit key.
bool typeKeys(DemoWindow *window, const std::string &bytes)
{
    for (const TerminalKey &k : terminalKeys(bytes)) {
        if (k.key == 0)
            return false;
        for (const VelEvent::Type type : {VelEvent::KeyPress, VelEvent::KeyRelease}) {
            VelKeyEvent event(type, k.key, Vel::NoModifier, 0, k.virtualKey, 0,
                              VelString::fromStdString(k.text));
            VelCoreApplication::sendSpontaneousEvent(window, &event);
        }
    }
    return true;
}

int usage(const char *program)
{
    std::fprintf(stderr, "usage: %s [--swallow CHARS] [--type TEXT] | --listen CHARS\n", program);
    return 2;
}

std::string listenerAddress()
{
    const char *address = std::getenv("AT_SPI_BUS_ADDRESS");
    if (!address || !*address)
        std::fprintf(stderr, "the listener needs AT_SPI_BUS_ADDRESS\n");
    return address ? address : "";
}

} // namespace

int main(int argc, char **argv)
{
    // The listener's thread and the window print in turn: whole lines.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string typed;
    std::string swallow;
    bool scripted = false;
    bool listenOnly = false;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            return usage(argv[0]);
        if (std::strcmp(argv[i], "--type") == 0) {
            typed = argv[i + 1];
            scripted = true;
        } else if (std::strcmp(argv[i], "--swallow") == 0) {
            swallow = argv[i + 1];
        } else if (std::strcmp(argv[i], "--listen") == 0 && argc == 3) {
            swallow = argv[i + 1];
            listenOnly = true;
        } else {
            return usage(argv[0]);
        }
    }

    // Registered before the first key is typed, so that it hears them all.
    std::unique_ptr<SwallowingListener> listener;
    std::thread listening;
    if (!swallow.empty()) {
        const std::string address = listenerAddress();
        if (address.empty())
            return 1;
        listener = std::make_unique<SwallowingListener>(address, swallow);
        if (!listener->isListening())
            return 1;
        if (listenOnly) {
            listener->run();
            return 0;
        }
        listening = std::thread([&listener] { listener->run(); });
    }
    struct StopListener {
        std::unique_ptr<SwallowingListener> &listener;
        std::thread &thread;
        ~StopListener()
        {
            if (!thread.joinable())
                return;
            listener->stop();
            thread.join();
        }
    } stopListener{listener, listening};

    VelCoreApplication app(argc, argv);
    const VelDBusConnection bus = VelDBusConnection::connectToAccessibilityBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "cannot reach the accessibility bus: %s\n",
                     bus.lastError().message().toStdString().c_str());
        return 1;
    }
    velSpiRegisterDeviceEventMarshaller();
    DemoWindow window;
    VelSpiApplicationAdaptor adaptor(bus);
    VelObject::connect(&adaptor, &VelSpiApplicationAdaptor::windowActivated, &window,
                       [](VelObject *, bool active) {
                           std::printf("window: %s\r\n", active ? "activated" : "deactivated");
                       });
    adaptor.sendEvents(true);
    VelEvent activate(VelEvent::WindowActivate);
    VelCoreApplication::sendSpontaneousEvent(&window, &activate);

    // Ending waits until the registry has settled every key typed, so that
    // the keys it lets through still reach the window.
    VelTimer settled;
    VelObject::connect(&settled, &VelTimer::timeout, &window, [&adaptor] {
        if (adaptor.pendingKeyCount() == 0)
            VelCoreApplication::quit();
    });

    if (scripted) {
        typeKeys(&window, typed);
        settled.start(10);
        VelCoreApplication::exec();
        VelCoreApplication::sendPostedEvents();
        std::printf("%d of %zu keys reached the window\n", window.received,
                    terminalKeys(typed).size());
        return 0;
    }

    RawTerminal terminal(STDIN_FILENO);
    std::printf("type keys (Control-D ends)\r\n");
    std::fflush(stdout);
    VelSocketNotifier input(STDIN_FILENO, VelSocketNotifier::Read);
    VelObject::connect(&input, &VelSocketNotifier::activated, &window, [&](int fd) {
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0 || !typeKeys(&window, std::string(buffer, size_t(n)))) {
            input.setEnabled(false);
            settled.start(10);
        }
    });
    input.setEnabled(true);
    const int code = VelCoreApplication::exec();
    VelCoreApplication::sendPostedEvents();
    return code;
}
