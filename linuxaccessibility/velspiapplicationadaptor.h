#ifndef VELSPIAPPLICATIONADAPTOR_H
#define VELSPIAPPLICATIONADAPTOR_H

#include "veldbusconnection.h"
#include "veldbuserror.h"
#include "veldbusmessage.h"
#include "velobject.h"
#include "velpointer.h"
#include "velspideviceevent.h"

#include <deque>
#include <memory>

class VelEvent;
class VelKeyEvent;

// Lets the accessibility registry see, and swallow, the application's keys
// before the application does. While forwarding is on, the adaptor filters
// every event of the application object: each key typed by the user is
// described to the registry with an asynchronous NotifyListenersSync call
// and held back; the copy reaches its target (as a posted, no longer
// spontaneous event, so it is not forwarded twice) only when the registry
// answers that no listener consumed it.
//
// Each held key keeps the serial of its own call, so a reply or error can
// only ever settle that key, however late it comes. Keys are delivered in
// the order they were typed: a key settled early waits for older keys still
// in flight. A key whose call fails (error or timeout) is delivered, since
// the registry cannot be relied on to answer.
//
// Everything runs on the GUI thread: the filter is called by event delivery
// and the replies arrive there as queued calls.
class VelSpiApplicationAdaptor : public VelObject
{
    VEL_OBJECT
public:
    explicit VelSpiApplicationAdaptor(const VelDBusConnection &connection,
                                      VelObject *parent = nullptr);
    // Delivers the keys still held back.
    ~VelSpiApplicationAdaptor() override;

    // On: filters the application object's events. Off: stops filtering and
    // delivers the keys still held back.
    void sendEvents(bool active);

    bool eventFilter(VelObject *target, VelEvent *event) override;

    // A new key event equal to event, its native codes included, so that a
    // program reading them sees the same key.
    static VelKeyEvent *copyKeyEvent(VelKeyEvent *event);
    // The record sent to the registry for event.
    static VelSpiDeviceEvent deviceEventFor(const VelKeyEvent &event);

    // How long the registry may take to answer one key before the key is
    // delivered anyway; 100 ms unless changed. Applies to keys sent later.
    void setReplyTimeout(int msecs) { m_replyTimeout = msecs; }
    int replyTimeout() const { return m_replyTimeout; }
    int pendingKeyCount() const { return int(m_pendingKeyEvents.size()); }

    // signal
    void windowActivated(VelObject *window, bool active);

    // slots: where the registry's answers arrive
    void notifyKeyboardListenerCallback(const VelDBusMessage &reply);
    void notifyKeyboardListenerError(const VelDBusError &error, const VelDBusMessage &request);

private:
    enum class Verdict { Waiting, Deliver, Drop };
    struct PendingKey {
        uint serial = 0; // of the call; 0 for a key whose call could not be sent
        VelPointer<VelObject> target;
        std::unique_ptr<VelKeyEvent> event;
        Verdict verdict = Verdict::Waiting;
    };

    bool forwardKey(VelObject *target, VelKeyEvent *event);
    PendingKey *waitingKey(uint serial);
    // Delivers or drops the settled keys at the front of the queue.
    void releaseSettled();
    void releaseAll();

    std::deque<PendingKey> m_pendingKeyEvents;
    VelDBusConnection m_busConnection;
    int m_replyTimeout = 100;
    bool m_active = false;
};

#endif
