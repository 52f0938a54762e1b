// The key-event adaptor against the real accessibility registry: a keystroke
// listener of the test's own, registered with the registry, decides which
// keys are consumed; the adaptor's calls go through the registry to it.

#include "desktoptestsupport.h"
#include "keystrokelistener.h"
#include "privatebus.h"
#include "testpeer.h"
#include "veldbusconnection.h"
#include "vellogging.h"
#include "velspiapplicationadaptor.h"
#include "velspideviceeventmarshaller.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>

namespace
{

// Keys the listener answers are never meant to time out here: a loaded
// machine must not turn a consumed key into a delivered one. Only the tests
// about timeouts use a short one, with a listener that holds its answer.
const int answeredTimeout = 30000;
const int shortTimeout = 100;

void typeChar(VelObject *target, char c, VelEvent::Type type = VelEvent::KeyPress)
{
    const char text[2] = {c, 0};
    const int key = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
    // Made-up but distinct native codes, so that a copy that lost them shows.
    typeKey(target, key, text, Vel::NoModifier, 100 + unsigned(c), unsigned(c), 0, type);
}

std::vector<std::string> warnings;
void captureWarnings(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type == VelWarningMsg)
        warnings.push_back(message.toStdString());
}

class SpiAdaptorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        desktopTestApplication();
        velSpiRegisterDeviceEventMarshaller();
    }

    void SetUp() override
    {
        warnings.clear();
        velInstallMessageHandler(&captureWarnings);
        address = sharedRegistryBusAddress();
        ASSERT_FALSE(address.empty()) << "no accessibility registry could be reached or started";
        start(address);
    }

    void start(const std::string &busAddress)
    {
        connection = VelDBusConnection::connectToBus(VelString::fromStdString(busAddress));
        ASSERT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
        listener = std::make_unique<KeystrokeListener>(busAddress);
        ASSERT_TRUE(listener->isConnected());
        ASSERT_TRUE(listener->listen(0));
        adaptor = std::make_unique<VelSpiApplicationAdaptor>(connection);
        adaptor->setReplyTimeout(answeredTimeout);
        adaptor->sendEvents(true);
    }

    void TearDown() override
    {
        adaptor.reset();
        listener.reset();
        connection = VelDBusConnection();
        VelCoreApplication::sendPostedEvents();
        velInstallMessageHandler(nullptr);
    }

    // Runs the loop until no key is held back, then delivers what was posted.
    bool settle()
    {
        const bool settled = runUntil([this] { return adaptor->pendingKeyCount() == 0; });
        VelCoreApplication::sendPostedEvents();
        return settled;
    }

    std::string address;
    VelDBusConnection connection;
    std::unique_ptr<KeystrokeListener> listener;
    std::unique_ptr<VelSpiApplicationAdaptor> adaptor;
    KeyTarget target;
};

TEST_F(SpiAdaptorTest, KeyNobodyConsumesReachesItsTargetWithItsNativeCodes)
{
    typeChar(&target, 'a');
    EXPECT_TRUE(target.seen.empty()) << "the key must be held back while the registry decides";
    EXPECT_EQ(adaptor->pendingKeyCount(), 1);
    ASSERT_TRUE(settle());

    ASSERT_EQ(target.seen.size(), 1u);
    const KeyTarget::Seen &s = target.seen[0];
    EXPECT_EQ(s.type, int(VelEvent::KeyPress));
    EXPECT_EQ(s.key, int(Vel::Key_A));
    EXPECT_EQ(s.text, "a");
    EXPECT_FALSE(s.spontaneous) << "the re-posted copy comes from the program";
    EXPECT_EQ(s.scanCode, 100u + 'a');
    EXPECT_EQ(s.virtualKey, unsigned('a'));

    ASSERT_EQ(listener->heard().size(), 1u);
    const HeardKey h = listener->heard()[0];
    EXPECT_EQ(h.type, 0u);
    EXPECT_EQ(h.id, 'a');
    EXPECT_EQ(h.hwCode, 100u + 'a');
    EXPECT_EQ(h.modifiers, 0u);
    EXPECT_EQ(h.text, "a");
    EXPECT_TRUE(h.isText);
}

TEST_F(SpiAdaptorTest, PressAndReleaseTravelAsTheirOwnKinds)
{
    typeChar(&target, 'r', VelEvent::KeyPress);
    typeChar(&target, 'r', VelEvent::KeyRelease);
    ASSERT_TRUE(settle());
    ASSERT_EQ(target.seen.size(), 2u);
    EXPECT_EQ(target.seen[0].type, int(VelEvent::KeyPress));
    EXPECT_EQ(target.seen[1].type, int(VelEvent::KeyRelease));
    ASSERT_EQ(listener->heard().size(), 2u);
    EXPECT_EQ(listener->heard()[0].type, 0u);
    EXPECT_EQ(listener->heard()[1].type, 1u);
}

TEST_F(SpiAdaptorTest, ConsumedKeyIsDropped)
{
    listener->setConsumes([](const HeardKey &k) { return k.text == "x"; });
    typeChar(&target, 'x');
    typeChar(&target, 'y');
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "y");
    EXPECT_EQ(listener->heard().size(), 2u);
}

TEST_F(SpiAdaptorTest, TwoQuickPressesAnsweredFalseThenTrue)
{
    listener->setConsumes([](const HeardKey &k) { return k.text == "2"; });
    typeChar(&target, '1');
    typeChar(&target, '2');
    EXPECT_EQ(adaptor->pendingKeyCount(), 2) << "both calls are in flight together";
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "1");
}

TEST_F(SpiAdaptorTest, RepostedKeyIsNotInterceptedAgain)
{
    typeChar(&target, 'k');
    ASSERT_TRUE(settle());
    ASSERT_EQ(target.texts(), "k");
    EXPECT_EQ(adaptor->pendingKeyCount(), 0) << "the delivered copy started a second call";
    // The registry serves calls one at a time: once a later key is heard,
    // a second call for the first would have been heard before it.
    typeChar(&target, 'z');
    ASSERT_TRUE(settle());
    ASSERT_EQ(listener->heard().size(), 2u);
    EXPECT_EQ(listener->heard()[0].text, "k");
    EXPECT_EQ(listener->heard()[1].text, "z");
}

TEST_F(SpiAdaptorTest, KeysGoByTheirNamesWithAndWithoutKeypad)
{
    struct Case {
        int key;
        Vel::KeyboardModifiers modifiers;
        const char *text;
        const char *expected;
    };
    const Case cases[] = {
        {Vel::Key_Left, Vel::KeypadModifier, "", "KP_Left"},
        {Vel::Key_Left, Vel::NoModifier, "", "Left"},
        {Vel::Key_Enter, Vel::KeypadModifier, "\r", "Return"},
        {Vel::Key_Return, Vel::NoModifier, "\r", "Return"},
        {Vel::Key_PageDown, Vel::KeypadModifier, "", "KP_Page_Down"},
        {Vel::Key_PageUp, Vel::NoModifier, "", "Page_Up"},
        {Vel::Key_Clear, Vel::KeypadModifier, "", "KP_Begin"},
        {Vel::Key_Space, Vel::NoModifier, " ", "space"},
        {Vel::Key_Backspace, Vel::NoModifier, "\b", "BackSpace"},
        {Vel::Key_Tab, Vel::NoModifier, "\t", "Tab"},
    };
    for (const Case &c : cases)
        typeKey(&target, c.key, c.text, c.modifiers);
    ASSERT_TRUE(settle());
    const std::vector<HeardKey> heard = listener->heard();
    ASSERT_EQ(heard.size(), std::size(cases));
    for (size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].text, cases[i].expected) << "case " << i;
        EXPECT_TRUE(heard[i].isText) << "case " << i;
    }
    EXPECT_EQ(target.seen.size(), std::size(cases));
}

TEST_F(SpiAdaptorTest, BareModifierTravelsWithEmptyText)
{
    typeKey(&target, Vel::Key_Shift, "", Vel::ShiftModifier, 50, 0xffe1, 0);
    ASSERT_TRUE(settle());
    ASSERT_EQ(listener->heard().size(), 1u);
    EXPECT_EQ(listener->heard()[0].text, "");
    EXPECT_FALSE(listener->heard()[0].isText);
    EXPECT_EQ(listener->heard()[0].id, 0xffe1);
    ASSERT_EQ(target.seen.size(), 1u);
    EXPECT_EQ(target.seen[0].key, int(Vel::Key_Shift));
    EXPECT_EQ(target.seen[0].modifiers, int(Vel::ShiftModifier));
}

TEST_F(SpiAdaptorTest, UnansweredKeysTimeOutAndAreDeliveredInTypingOrder)
{
    listener->hold(true);
    listener->setConsumes([](const HeardKey &) { return true; });
    adaptor->setReplyTimeout(shortTimeout);
    typeChar(&target, 'p');
    typeChar(&target, 'q');
    typeChar(&target, 's');
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "pqs");
    int timeoutWarnings = 0;
    for (const std::string &w : warnings)
        timeoutWarnings += w.find("VelSpiApplication::keyEventError") == 0 ? 1 : 0;
    EXPECT_EQ(timeoutWarnings, 3);
    listener->hold(false);
    listener->answerHeld();
}

// The interleaving of a slow listener: the first key times out and is
// delivered; its late answer ("consumed") arrives while a second key is in
// flight and must not settle that second key.
TEST_F(SpiAdaptorTest, LateAnswerForATimedOutKeySettlesNothingElse)
{
    for (const bool secondConsumed : {false, true}) {
        SCOPED_TRACE(secondConsumed ? "second key consumed" : "second key not consumed");
        target.seen.clear();
        listener->hold(true);
        listener->setConsumes([secondConsumed](const HeardKey &k) {
            return k.text == "f" || (secondConsumed && k.text == "g");
        });
        const size_t heardBefore = listener->heard().size();
        adaptor->setReplyTimeout(shortTimeout);
        typeChar(&target, 'f');
        ASSERT_TRUE(settle());
        ASSERT_EQ(target.texts(), "f") << "the timed-out key is delivered";

        adaptor->setReplyTimeout(answeredTimeout);
        typeChar(&target, 'g');
        ASSERT_EQ(adaptor->pendingKeyCount(), 1);
        ASSERT_TRUE(listener->waitHeard(heardBefore + 1));
        listener->hold(false);
        EXPECT_EQ(listener->answerHeld(), 1);
        ASSERT_TRUE(settle());
        ASSERT_TRUE(listener->waitHeard(heardBefore + 2));
        EXPECT_EQ(target.texts(), secondConsumed ? "f" : "fg");
    }
}

TEST_F(SpiAdaptorTest, UnsendableKeyWaitsBehindKeysInFlight)
{
    listener->hold(true);
    typeChar(&target, 'a');
    typeChar(&target, 'b');
    ASSERT_TRUE(listener->waitHeard(1));
    // Closing the test's copy closes the adaptor's connection too: the next
    // key cannot be sent, and the two in flight get their error replies.
    VelDBusConnection(connection).disconnectFromBus();
    typeChar(&target, 'c');
    EXPECT_TRUE(target.seen.empty()) << "the unsendable key overtook the keys in flight";
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "abc");

    // With nothing in flight, an unsendable key goes straight through.
    typeChar(&target, 'd');
    ASSERT_EQ(target.seen.size(), 4u);
    EXPECT_TRUE(target.seen[3].spontaneous);
    listener->hold(false);
    listener->answerHeld();
}

TEST_F(SpiAdaptorTest, TargetDestroyedWhileItsKeyIsPending)
{
    listener->hold(true);
    auto doomed = std::make_unique<KeyTarget>();
    typeChar(doomed.get(), 'u');
    typeChar(&target, 'v');
    doomed.reset();
    listener->hold(false);
    ASSERT_TRUE(listener->waitHeard(1));
    listener->answerHeld();
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "v");
}

TEST_F(SpiAdaptorTest, TurningForwardingOffDeliversHeldKeys)
{
    listener->hold(true);
    typeChar(&target, 'h');
    typeChar(&target, 'i');
    adaptor->sendEvents(false);
    EXPECT_EQ(adaptor->pendingKeyCount(), 0);
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(target.texts(), "hi");
    typeChar(&target, 'j');
    ASSERT_EQ(target.seen.size(), 3u);
    EXPECT_TRUE(target.seen[2].spontaneous) << "forwarding is off: the key goes straight through";
    listener->hold(false);
    ASSERT_TRUE(listener->waitHeard(1));
    listener->answerHeld();
}

TEST_F(SpiAdaptorTest, DestroyingTheAdaptorDeliversHeldKeys)
{
    listener->hold(true);
    typeChar(&target, 'm');
    typeChar(&target, 'n');
    adaptor.reset();
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(target.texts(), "mn");
    listener->hold(false);
    ASSERT_TRUE(listener->waitHeard(1));
    listener->answerHeld();
}

class ActivationRecorder : public VelObject
{
public:
    std::vector<std::pair<VelObject *, bool>> calls;
};

TEST_F(SpiAdaptorTest, WindowActivationIsReportedAndPassesThrough)
{
    ActivationRecorder recorder;
    VelObject::connect(
        adaptor.get(), &VelSpiApplicationAdaptor::windowActivated, &recorder,
        [&recorder](VelObject *w, bool active) { recorder.calls.emplace_back(w, active); });
    VelEvent activate(VelEvent::WindowActivate);
    VelCoreApplication::sendSpontaneousEvent(&target, &activate);
    VelEvent deactivate(VelEvent::WindowDeactivate);
    VelCoreApplication::sendSpontaneousEvent(&target, &deactivate);
    VelEvent programmatic(VelEvent::WindowActivate);
    VelCoreApplication::sendEvent(&target, &programmatic);
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0], std::make_pair(static_cast<VelObject *>(&target), true));
    EXPECT_EQ(recorder.calls[1], std::make_pair(static_cast<VelObject *>(&target), false));
    EXPECT_EQ(adaptor->pendingKeyCount(), 0);
}

// A registry of the test's own, stopped while keys wait for it.
TEST_F(SpiAdaptorTest, RegistryStoppedMidwayReleasesEveryKeyInTypingOrder)
{
    TearDown();
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    ASSERT_TRUE(bus.startRegistry());
    velInstallMessageHandler(&captureWarnings);
    start(bus.address());
    listener->hold(true);
    adaptor->setReplyTimeout(shortTimeout);
    typeChar(&target, 'a');
    typeChar(&target, 'b');
    typeChar(&target, 'c');
    ASSERT_TRUE(listener->waitHeard(1));
    bus.killRegistry();
    typeChar(&target, 'd');
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "abcd");
    listener->hold(false);
    listener->answerHeld();
    adaptor.reset();
    listener.reset();
}

TEST_F(SpiAdaptorTest, BusLostMidwayReleasesEveryKeyInTypingOrder)
{
    TearDown();
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    ASSERT_TRUE(bus.startRegistry());
    velInstallMessageHandler(&captureWarnings);
    start(bus.address());
    listener->hold(true);
    typeChar(&target, 'a');
    typeChar(&target, 'b');
    typeChar(&target, 'c');
    ASSERT_TRUE(listener->waitHeard(1));
    // Every call in flight fails at once, and the key typed next cannot be
    // sent at all: the keys must still come in the order they were typed.
    bus.killBus();
    typeChar(&target, 'd');
    ASSERT_TRUE(settle());
    EXPECT_EQ(target.texts(), "abcd");
    adaptor.reset();
    listener.reset();
}

} // namespace

namespace
{

// A stand-in for the registry that answers NotifyListenersSync in ways the
// real one does not: the adaptor must read only a boolean true as
// "consumed".
TEST(SpiAdaptorReplies, OnlyABooleanTrueMeansConsumed)
{
    desktopTestApplication();
    velSpiRegisterDeviceEventMarshaller();
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    TestPeer registry(bus.address());
    ASSERT_TRUE(registry.requestName("org.a11y.atspi.Registry"));
    // Written on the peer's thread, read here once every key is settled.
    std::mutex mutex;
    std::vector<std::string> signatures;
    registry.setHandler([&](DBusMessage *call) {
        std::lock_guard<std::mutex> lock(mutex);
        signatures.push_back(dbus_message_get_signature(call));
        DBusMessage *reply = dbus_message_new_method_return(call);
        switch (signatures.size()) {
        case 1: // no argument at all
            break;
        case 2: {
            const char *text = "true";
            dbus_message_append_args(reply, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
            break;
        }
        case 3: {
            const dbus_uint32_t one = 1;
            dbus_message_append_args(reply, DBUS_TYPE_UINT32, &one, DBUS_TYPE_INVALID);
            break;
        }
        default: {
            const dbus_bool_t consumed = TRUE;
            dbus_message_append_args(reply, DBUS_TYPE_BOOLEAN, &consumed, DBUS_TYPE_INVALID);
            break;
        }
        }
        return reply;
    });
    registry.start();

    const VelDBusConnection connection =
        VelDBusConnection::connectToBus(VelString::fromStdString(bus.address()));
    ASSERT_TRUE(connection.isConnected());
    KeyTarget target;
    VelSpiApplicationAdaptor adaptor(connection);
    adaptor.setReplyTimeout(answeredTimeout);
    adaptor.sendEvents(true);
    for (const char c : {'a', 'b', 'c', 'd'})
        typeChar(&target, c);
    ASSERT_TRUE(runUntil([&] { return adaptor.pendingKeyCount() == 0; }));
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(target.texts(), "abc");
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(signatures.size(), 4u);
    EXPECT_EQ(signatures[0], "(uiiiisb)") << "the record itself, not wrapped in a variant";
}

TEST(SpiAdaptorReplies, AnswerForNoHeldKeyOnlyWarns)
{
    desktopTestApplication();
    warnings.clear();
    velInstallMessageHandler(&captureWarnings);
    KeyTarget target;
    VelSpiApplicationAdaptor adaptor{VelDBusConnection()};
    adaptor.sendEvents(true);
    adaptor.notifyKeyboardListenerCallback(VelDBusMessage());
    adaptor.notifyKeyboardListenerError(VelDBusError("org.vel.Test.Error", "gone"),
                                        VelDBusMessage());
    // Without a connection nothing can be sent: the key goes straight through.
    typeChar(&target, 'w');
    velInstallMessageHandler(nullptr);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0],
              "VelSpiApplication::notifyKeyboardListenerCallback with no queued key called");
    EXPECT_EQ(warnings[1], "VelSpiApplication::keyEventError  \"org.vel.Test.Error\" \"gone\"");
    ASSERT_EQ(target.seen.size(), 1u);
    EXPECT_TRUE(target.seen[0].spontaneous);
}

} // namespace
