#ifndef DESKTOPTESTSUPPORT_H
#define DESKTOPTESTSUPPORT_H

// The GUI-thread side of the desktop tests: an application object, a target
// that records the keys reaching it, and a bounded way to run the event
// loop until a condition holds.

#include "velcoreapplication.h"
#include "velkeyevent.h"
#include "velobject.h"
#include "veltimer.h"

#include <chrono>
#include <string>
#include <vector>

inline VelCoreApplication *desktopTestApplication()
{
    static int argc = 1;
    static char name[] = "desktoptest";
    static char *argv[] = {name, nullptr};
    static VelCoreApplication *app = new VelCoreApplication(argc, argv);
    return app;
}

// Runs the event loop until done() holds. The bound only ends a test that
// would otherwise hang; a short wake-up timer lets the loop notice it.
template <typename Done> bool runUntil(Done done, int boundMs = 15000)
{
    VelTimer wake;
    wake.start(50);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        VelCoreApplication::processEvents(VelEventLoop::WaitForMoreEvents);
    }
    return true;
}

class KeyTarget : public VelObject
{
public:
    struct Seen {
        int type = 0;
        int key = 0;
        std::string text;
        bool spontaneous = false;
        unsigned scanCode = 0;
        unsigned virtualKey = 0;
        unsigned nativeModifiers = 0;
        int modifiers = 0;
    };

    bool event(VelEvent *event) override
    {
        if (event->type() != VelEvent::KeyPress && event->type() != VelEvent::KeyRelease)
            return VelObject::event(event);
        const auto *key = static_cast<VelKeyEvent *>(event);
        Seen s;
        s.type = int(event->type());
        s.key = key->key();
        s.text = key->text().toStdString();
        s.spontaneous = event->spontaneous();
        s.scanCode = key->nativeScanCode();
        s.virtualKey = key->nativeVirtualKey();
        s.nativeModifiers = key->nativeModifiers();
        s.modifiers = int(key->modifiers());
        seen.push_back(s);
        return true;
    }

    std::string texts() const
    {
        std::string out;
        for (const Seen &s : seen)
            out += s.text.empty() ? std::string("<") + std::to_string(s.key) + ">" : s.text;
        return out;
    }

    std::vector<Seen> seen;
};

// A key as the window system would deliver it: spontaneous.
inline void typeKey(VelObject *target, int key, const char *text,
                    Vel::KeyboardModifiers modifiers = Vel::NoModifier, unsigned scanCode = 0,
                    unsigned virtualKey = 0, unsigned nativeModifiers = 0,
                    VelEvent::Type type = VelEvent::KeyPress)
{
    VelKeyEvent event(type, key, modifiers, scanCode, virtualKey, nativeModifiers, VelString(text));
    VelCoreApplication::sendSpontaneousEvent(target, &event);
}

#endif
