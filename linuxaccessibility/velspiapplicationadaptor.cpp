#include "velspiapplicationadaptor.h"

#include "velcoreapplication.h"
#include "veldatetime.h"
#include "velkeyevent.h"
#include "vellogging.h"

VEL_META_BEGIN(VelSpiApplicationAdaptor, VelObject)
VEL_META_SIGNAL(windowActivated, VelObject *, bool)
VEL_META_SLOT(notifyKeyboardListenerCallback, const VelDBusMessage &)
VEL_META_SLOT(notifyKeyboardListenerError, const VelDBusError &, const VelDBusMessage &)
VEL_META_END

namespace
{

const char *const registryService = "org.a11y.atspi.Registry";
const char *const controllerPath = "/org/a11y/atspi/registry/deviceeventcontroller";
const char *const controllerInterface = "org.a11y.atspi.DeviceEventController";
const char *const notifyMethod = "NotifyListenersSync";

VelString keypadOr(bool keypad, const char *name)
{
    return keypad ? VelString("KP_") + VelString(name) : VelString(name);
}

// The registry's listeners match keys by these names; keys without one go by
// their text.
VelString keyText(const VelKeyEvent &event)
{
    const bool keypad = event.modifiers() & Vel::KeypadModifier;
    switch (event.key()) {
    case Vel::Key_Tab:
        return VelString("Tab");
    case Vel::Key_Backtab:
        return VelString("Backtab");
    case Vel::Key_Left:
        return keypadOr(keypad, "Left");
    case Vel::Key_Right:
        return keypadOr(keypad, "Right");
    case Vel::Key_Up:
        return keypadOr(keypad, "Up");
    case Vel::Key_Down:
        return keypadOr(keypad, "Down");
    case Vel::Key_Return:
    case Vel::Key_Enter:
        return VelString("Return");
    case Vel::Key_Backspace:
        return VelString("BackSpace");
    case Vel::Key_Delete:
        return VelString("Delete");
    case Vel::Key_PageUp:
        return keypadOr(keypad, "Page_Up");
    case Vel::Key_PageDown:
        return keypadOr(keypad, "Page_Down");
    case Vel::Key_Home:
        return keypadOr(keypad, "Home");
    case Vel::Key_End:
        return keypadOr(keypad, "End");
    case Vel::Key_Clear:
        return keypad ? VelString("KP_Begin") : event.text();
    case Vel::Key_Escape:
        return VelString("Escape");
    case Vel::Key_Space:
        return VelString("space");
    case Vel::Key_CapsLock:
        return VelString("Caps_Lock");
    case Vel::Key_NumLock:
        return VelString("Num_Lock");
    case Vel::Key_Insert:
        return VelString("Insert");
    default:
        return event.text();
    }
}

// A reply counts as "consumed" only when it says so: a missing or
// non-boolean answer lets the key through.
bool replySaysConsumed(const VelDBusMessage &reply)
{
    const VelList<VelVariant> args = reply.arguments();
    return !args.isEmpty() && args.first().userType() == VelMetaType::Bool && args.first().toBool();
}

} // namespace

VelSpiApplicationAdaptor::VelSpiApplicationAdaptor(const VelDBusConnection &connection,
                                                   VelObject *parent)
    : VelObject(parent), m_busConnection(connection)
{
}

VelSpiApplicationAdaptor::~VelSpiApplicationAdaptor()
{
    sendEvents(false);
    releaseAll();
}

void VelSpiApplicationAdaptor::sendEvents(bool active)
{
    VelCoreApplication *app = VelCoreApplication::instance();
    if (active && !m_active) {
        if (!app) {
            velWarning("VelSpiApplicationAdaptor::sendEvents: no application object");
            return;
        }
        app->installEventFilter(this);
        m_active = true;
    } else if (!active && m_active) {
        if (app)
            app->removeEventFilter(this);
        m_active = false;
        // Turning forwarding off must not lose what the user typed.
        releaseAll();
    }
}

bool VelSpiApplicationAdaptor::eventFilter(VelObject *target, VelEvent *event)
{
    // Posted and sent events come from the program itself, among them the
    // copies this adaptor re-posts: they must reach their targets untouched.
    if (!event->spontaneous())
        return false;
    switch (event->type()) {
    case VelEvent::WindowActivate:
        windowActivated(target, true);
        return false;
    case VelEvent::WindowDeactivate:
        windowActivated(target, false);
        return false;
    case VelEvent::KeyPress:
    case VelEvent::KeyRelease:
        if (auto *key = dynamic_cast<VelKeyEvent *>(event))
            return forwardKey(target, key);
        return false;
    default:
        return false;
    }
}

VelKeyEvent *VelSpiApplicationAdaptor::copyKeyEvent(VelKeyEvent *event)
{
    auto *copy =
        new VelKeyEvent(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                        event->nativeVirtualKey(), event->nativeModifiers(), event->text(),
                        event->isAutoRepeat(), ushort(event->count()));
    copy->setTimestamp(event->timestamp());
    return copy;
}

VelSpiDeviceEvent VelSpiApplicationAdaptor::deviceEventFor(const VelKeyEvent &event)
{
    VelSpiDeviceEvent out;
    out.eventKind = event.type() == VelEvent::KeyPress ? 0 : 1;
    out.virtualKey = velint32(event.nativeVirtualKey());
    out.scanCode = velint32(event.nativeScanCode());
    out.nativeModifierBits = velint32(event.nativeModifiers());
    out.timeStamp = velint32(veluint32(VelDateTime::currentMSecsSinceEpoch()));
    out.keyText = keyText(event);
    out.hasText = !out.keyText.isEmpty();
    return out;
}

bool VelSpiApplicationAdaptor::forwardKey(VelObject *target, VelKeyEvent *event)
{
    VelDBusMessage call = VelDBusMessage::createMethodCall(registryService, controllerPath,
                                                           controllerInterface, notifyMethod);
    // The record itself is the call's one argument; its D-Bus form is the one
    // registered by whoever created this adaptor.
    call.setArguments({VelVariant::fromValue(deviceEventFor(*event))});
    const bool sent = m_busConnection.callWithCallback(
        call, this, "1notifyKeyboardListenerCallback(VelDBusMessage)",
        "1notifyKeyboardListenerError(VelDBusError, VelDBusMessage)", m_replyTimeout);
    if (!sent && m_pendingKeyEvents.empty())
        return false;
    PendingKey pending;
    pending.serial = sent ? call.serial() : 0;
    pending.target = target;
    pending.event.reset(copyKeyEvent(event));
    // An unsendable key behind keys still in flight must not overtake them.
    pending.verdict = sent ? Verdict::Waiting : Verdict::Deliver;
    m_pendingKeyEvents.push_back(std::move(pending));
    return true;
}

VelSpiApplicationAdaptor::PendingKey *VelSpiApplicationAdaptor::waitingKey(uint serial)
{
    if (serial == 0)
        return nullptr;
    for (PendingKey &key : m_pendingKeyEvents) {
        if (key.serial == serial && key.verdict == Verdict::Waiting)
            return &key;
    }
    return nullptr;
}

void VelSpiApplicationAdaptor::notifyKeyboardListenerCallback(const VelDBusMessage &reply)
{
    PendingKey *key = waitingKey(reply.replySerial());
    if (!key) {
        velWarning("VelSpiApplication::notifyKeyboardListenerCallback with no queued key called");
        return;
    }
    key->verdict = replySaysConsumed(reply) ? Verdict::Drop : Verdict::Deliver;
    releaseSettled();
}

void VelSpiApplicationAdaptor::notifyKeyboardListenerError(const VelDBusError &error,
                                                           const VelDBusMessage &request)
{
    velWarning() << "VelSpiApplication::keyEventError " << error.name() << error.message();
    if (PendingKey *key = waitingKey(request.serial())) {
        key->verdict = Verdict::Deliver;
        releaseSettled();
    }
}

void VelSpiApplicationAdaptor::releaseSettled()
{
    while (!m_pendingKeyEvents.empty() && m_pendingKeyEvents.front().verdict != Verdict::Waiting) {
        PendingKey key = std::move(m_pendingKeyEvents.front());
        m_pendingKeyEvents.pop_front();
        VelObject *target = key.target.data();
        if (key.verdict == Verdict::Deliver && target)
            VelCoreApplication::postEvent(target, key.event.release(), Vel::NormalEventPriority);
    }
}

void VelSpiApplicationAdaptor::releaseAll()
{
    for (PendingKey &key : m_pendingKeyEvents) {
        if (key.verdict == Verdict::Waiting)
            key.verdict = Verdict::Deliver;
    }
    releaseSettled();
}

void VelSpiApplicationAdaptor::windowActivated(VelObject *window, bool active)
{
    VEL_EMIT(windowActivated, window, active);
}
