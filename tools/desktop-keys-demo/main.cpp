// The desktop key-event adaptor at work in a terminal. A host application
// with one key-handling object (its "window") connects to the accessibility
// bus, gives the registry's device-event record its D-Bus form and turns
// forwarding on. Keys typed on the terminal become spontaneous key events of
// the window; the adaptor holds each one back while the registry asks its
// keystroke listeners, and the window prints every key that reaches it.
//
//   vel-desktop-keys-demo                   type keys; Control-D ends
//   vel-desktop-keys-demo --type TEXT       types TEXT, waits for the registry, ends
//   vel-desktop-keys-demo --swallow CHARS   be a keystroke listener that consumes CHARS
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
#include <string>
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
    std::fprintf(stderr, "usage: %s [--type TEXT | --swallow CHARS]\n", program);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::string typed;
    bool scripted = false;
    if (argc == 3 && std::strcmp(argv[1], "--swallow") == 0) {
        const char *address = std::getenv("AT_SPI_BUS_ADDRESS");
        if (!address || !*address) {
            std::fprintf(stderr, "the listener needs AT_SPI_BUS_ADDRESS\n");
            return 1;
        }
        return runSwallowingListener(address, argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--type") == 0) {
        typed = argv[2];
        scripted = true;
    } else if (argc != 1) {
        return usage(argv[0]);
    }

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
