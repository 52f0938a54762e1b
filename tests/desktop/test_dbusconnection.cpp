// The host's D-Bus library against a real dbus-daemon of the test's own and
// peers written straight on libdbus.

#include "desktoptestsupport.h"
#include "privatebus.h"
#include "testpeer.h"
#include "veldbusargument.h"
#include "veldbusconnection.h"
#include "veldbusmessage.h"
#include "veldbusmetatype.h"
#include "velenvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>

struct TestRecord {
    int number = 0;
    VelString name;
    bool flag = false;
    friend bool operator==(const TestRecord &a, const TestRecord &b)
    {
        return a.number == b.number && a.name == b.name && a.flag == b.flag;
    }
};
VEL_DECLARE_METATYPE(TestRecord)

VelDBusArgument &operator<<(VelDBusArgument &arg, const TestRecord &r)
{
    arg.beginStructure();
    arg << r.number << r.name << r.flag;
    arg.endStructure();
    return arg;
}

const VelDBusArgument &operator>>(const VelDBusArgument &arg, TestRecord &r)
{
    arg.beginStructure();
    arg >> r.number >> r.name >> r.flag;
    arg.endStructure();
    return arg;
}

struct Unmarshallable {
    int x = 0;
};
VEL_DECLARE_METATYPE(Unmarshallable)

class ReplyCatcher : public VelObject
{
    VEL_OBJECT
public:
    void onReply(const VelDBusMessage &reply) { replies.push_back(reply); }
    void onError(const VelDBusError &error, const VelDBusMessage &request)
    {
        errors.push_back(error);
        requests.push_back(request);
    }
    void onBareReply() { ++bareReplies; }

    std::vector<VelDBusMessage> replies;
    std::vector<VelDBusError> errors;
    std::vector<VelDBusMessage> requests;
    int bareReplies = 0;
};

VEL_META_BEGIN(ReplyCatcher, VelObject)
VEL_META_SLOT(onReply, const VelDBusMessage &)
VEL_META_SLOT(onError, const VelDBusError &, const VelDBusMessage &)
VEL_META_SLOT(onBareReply)
VEL_META_END

namespace
{

const char peerName[] = "org.vel.test.Peer";

// Echoes every call's arguments back, except calls to "Hold", which it keeps
// unanswered until the test answers them.
class EchoPeer
{
public:
    explicit EchoPeer(const std::string &address) : peer(address)
    {
        peer.requestName(peerName);
        peer.setHandler([this](DBusMessage *call) -> DBusMessage * {
            if (dbus_message_has_member(call, "Hold")) {
                std::lock_guard<std::mutex> lock(mutex);
                held.push_back(dbus_message_ref(call));
                return nullptr;
            }
            DBusMessage *reply = dbus_message_new_method_return(call);
            DBusMessageIter in, out;
            dbus_message_iter_init_append(reply, &out);
            if (dbus_message_iter_init(call, &in)) {
                do {
                    copyValue(&in, &out);
                } while (dbus_message_iter_next(&in));
            }
            return reply;
        });
        peer.start();
    }
    ~EchoPeer() { answerHeld(); }

    void answerHeld()
    {
        std::vector<DBusMessage *> calls;
        {
            std::lock_guard<std::mutex> lock(mutex);
            calls.swap(held);
        }
        for (DBusMessage *call : calls) {
            peer.reply(dbus_message_new_method_return(call));
            dbus_message_unref(call);
        }
    }

    TestPeer peer;

private:
    static void copyValue(DBusMessageIter *in, DBusMessageIter *out)
    {
        const int type = dbus_message_iter_get_arg_type(in);
        if (dbus_type_is_basic(type)) {
            DBusBasicValue value;
            dbus_message_iter_get_basic(in, &value);
            dbus_message_iter_append_basic(out, type, &value);
            return;
        }
        DBusMessageIter subIn, subOut;
        dbus_message_iter_recurse(in, &subIn);
        char *signature = type == DBUS_TYPE_STRUCT || type == DBUS_TYPE_DICT_ENTRY
                              ? nullptr
                              : dbus_message_iter_get_signature(&subIn);
        dbus_message_iter_open_container(out, type, signature, &subOut);
        if (signature)
            dbus_free(signature);
        if (dbus_message_iter_get_arg_type(&subIn) != DBUS_TYPE_INVALID) {
            do {
                copyValue(&subIn, &subOut);
            } while (dbus_message_iter_next(&subIn));
        }
        dbus_message_iter_close_container(out, &subOut);
    }

    std::mutex mutex;
    std::vector<DBusMessage *> held;
};

class DBusConnectionTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        desktopTestApplication();
        velDBusRegisterMetaType<TestRecord>("(isb)");
    }

    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        connection = VelDBusConnection::connectToBus(VelString::fromStdString(bus.address()));
        ASSERT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
    }

    VelDBusMessage peerCall(const char *method)
    {
        return VelDBusMessage::createMethodCall(peerName, "/", "org.vel.test", method);
    }

    PrivateBus bus;
    VelDBusConnection connection;
    ReplyCatcher catcher;
};

TEST_F(DBusConnectionTest, ConnectingToNowhereReportsWhy)
{
    const VelDBusConnection none = VelDBusConnection::connectToBus("unix:path=/nonexistent/bus");
    EXPECT_FALSE(none.isConnected());
    EXPECT_TRUE(none.lastError().isValid());
    const VelDBusConnection empty = VelDBusConnection::connectToBus(VelString());
    EXPECT_FALSE(empty.isConnected());
    EXPECT_TRUE(empty.lastError().isValid());
    EXPECT_TRUE(connection.baseService().startsWith(":"));
}

TEST_F(DBusConnectionTest, ArgumentsTravelBothWays)
{
    EchoPeer echo(bus.address());
    VelDBusMessage call = peerCall("Echo");
    const TestRecord record{-7, VelString("h\u00e9llo"), true};
    call.setArguments({VelVariant(true), VelVariant(-5), VelVariant(uint(4000000000u)),
                       VelVariant(-(1LL << 40)), VelVariant(2.5), VelVariant("text"),
                       VelVariant(VelStringList{VelString("a"), VelString("b")}),
                       VelVariant(VelByteArray("\x00\x01\xff", 3)), VelVariant::fromValue(record)});
    EXPECT_EQ(call.signature(), VelString("biuxdsasay(isb)"));
    const VelDBusMessage reply = connection.call(call, 5000);
    ASSERT_EQ(reply.type(), VelDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.replySerial(), call.serial());
    EXPECT_EQ(reply.signature(), VelString("biuxdsasay(isb)"));
    const VelList<VelVariant> args = reply.arguments();
    ASSERT_EQ(args.size(), 9);
    EXPECT_EQ(args[0], VelVariant(true));
    EXPECT_EQ(args[1], VelVariant(-5));
    EXPECT_EQ(args[2], VelVariant(uint(4000000000u)));
    EXPECT_EQ(args[3], VelVariant(-(1LL << 40)));
    EXPECT_EQ(args[4], VelVariant(2.5));
    EXPECT_EQ(args[5], VelVariant("text"));
    EXPECT_EQ(args[6].toStringList(), (VelStringList{VelString("a"), VelString("b")}));
    EXPECT_EQ(args[7].toByteArray(), VelByteArray("\x00\x01\xff", 3));
    ASSERT_EQ(args[8].userType(), velMetaTypeId<TestRecord>());
    EXPECT_EQ(args[8].value<TestRecord>(), record);
}

TEST_F(DBusConnectionTest, ArgumentWithoutDBusFormIsNotSent)
{
    VelDBusMessage call = peerCall("Echo");
    call.setArguments({VelVariant::fromValue(Unmarshallable{})});
    EXPECT_FALSE(connection.callWithCallback(call, &catcher, SLOT(onReply(VelDBusMessage)),
                                             SLOT(onError(VelDBusError, VelDBusMessage))));
    EXPECT_EQ(call.serial(), 0u);
    EXPECT_FALSE(connection.send(call));
}

TEST_F(DBusConnectionTest, InvalidNamesMakeNoMessage)
{
    EXPECT_FALSE(VelDBusMessage::createMethodCall(peerName, "no/slash", "a.b", "M").isValid());
    EXPECT_FALSE(VelDBusMessage::createMethodCall(peerName, "/", "nodots", "M").isValid());
    EXPECT_FALSE(VelDBusMessage::createMethodCall(peerName, "/", "a.b", "bad-member").isValid());
    EXPECT_FALSE(connection.send(VelDBusMessage::createMethodCall(peerName, "/", "a.b", "")));
}

TEST_F(DBusConnectionTest, ReplyArrivesAsAQueuedCallOfTheLoop)
{
    EchoPeer echo(bus.address());
    VelDBusMessage call = peerCall("Echo");
    call.setArguments({VelVariant(42)});
    ASSERT_TRUE(connection.callWithCallback(call, &catcher, SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage)), 10000));
    EXPECT_NE(call.serial(), 0u);
    EXPECT_TRUE(catcher.replies.empty());
    ASSERT_TRUE(runUntil([&] { return !catcher.replies.empty(); }));
    EXPECT_EQ(catcher.replies[0].replySerial(), call.serial());
    EXPECT_EQ(catcher.replies[0].arguments().value(0), VelVariant(42));
    EXPECT_TRUE(catcher.errors.empty());
}

TEST_F(DBusConnectionTest, ReplySlotMayTakeNothing)
{
    EchoPeer echo(bus.address());
    ASSERT_TRUE(connection.callWithCallback(peerCall("Echo"), &catcher, "onBareReply()", nullptr));
    ASSERT_TRUE(runUntil([&] { return catcher.bareReplies == 1; }));
}

TEST_F(DBusConnectionTest, MembersTheReceiverLacksAreRefused)
{
    EXPECT_FALSE(connection.callWithCallback(peerCall("Echo"), &catcher,
                                             SLOT(missing(VelDBusMessage)), nullptr));
    EXPECT_FALSE(connection.callWithCallback(
        peerCall("Echo"), &catcher, SLOT(onReply(VelDBusMessage)), SLOT(onReply(VelDBusMessage))));
    EXPECT_FALSE(connection.callWithCallback(peerCall("Echo"), nullptr,
                                             SLOT(onReply(VelDBusMessage)), nullptr));
}

TEST_F(DBusConnectionTest, ErrorReplyCarriesNameMessageAndTheCall)
{
    VelDBusMessage call =
        VelDBusMessage::createMethodCall("org.vel.test.Nobody", "/", "org.vel.test", "Echo");
    ASSERT_TRUE(connection.callWithCallback(call, &catcher, SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage))));
    ASSERT_TRUE(runUntil([&] { return !catcher.errors.empty(); }));
    EXPECT_EQ(catcher.errors[0].name(), VelString("org.freedesktop.DBus.Error.ServiceUnknown"));
    EXPECT_FALSE(catcher.errors[0].message().isEmpty());
    EXPECT_EQ(catcher.requests[0].serial(), call.serial());
    EXPECT_TRUE(catcher.replies.empty());
}

TEST_F(DBusConnectionTest, UnansweredCallTimesOutThroughTheLoopsTimers)
{
    EchoPeer echo(bus.address());
    VelDBusMessage call = peerCall("Hold");
    ASSERT_TRUE(connection.callWithCallback(call, &catcher, SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage)), 50));
    ASSERT_TRUE(runUntil([&] { return !catcher.errors.empty(); }));
    EXPECT_EQ(catcher.errors[0].name(), VelString("org.freedesktop.DBus.Error.NoReply"));
    EXPECT_EQ(catcher.requests[0].serial(), call.serial());
    // The late answer is not delivered as a reply to anything.
    echo.answerHeld();
    VelDBusMessage after = peerCall("Echo");
    ASSERT_TRUE(connection.callWithCallback(after, &catcher, SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage))));
    ASSERT_TRUE(runUntil([&] { return !catcher.replies.empty(); }));
    ASSERT_EQ(catcher.replies.size(), 1u);
    EXPECT_EQ(catcher.replies[0].replySerial(), after.serial());
}

TEST_F(DBusConnectionTest, ClosingTheConnectionFailsCallsInFlight)
{
    EchoPeer echo(bus.address());
    VelDBusMessage first = peerCall("Hold");
    VelDBusMessage second = peerCall("Hold");
    ASSERT_TRUE(connection.callWithCallback(first, &catcher, SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage))));
    ASSERT_TRUE(connection.callWithCallback(second, &catcher, SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage))));
    VelDBusConnection copy = connection;
    copy.disconnectFromBus();
    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(connection.callWithCallback(peerCall("Echo"), &catcher,
                                             SLOT(onReply(VelDBusMessage)), nullptr));
    ASSERT_TRUE(runUntil([&] { return catcher.errors.size() == 2; }));
    EXPECT_EQ(catcher.errors[0].name(), VelString("org.freedesktop.DBus.Error.Disconnected"));
    // In the order the calls were sent.
    EXPECT_EQ(catcher.requests[0].serial(), first.serial());
    EXPECT_EQ(catcher.requests[1].serial(), second.serial());
}

TEST_F(DBusConnectionTest, LostBusFailsCallsInFlight)
{
    EchoPeer echo(bus.address());
    ASSERT_TRUE(connection.callWithCallback(peerCall("Hold"), &catcher,
                                            SLOT(onReply(VelDBusMessage)),
                                            SLOT(onError(VelDBusError, VelDBusMessage))));
    bus.killBus();
    ASSERT_TRUE(runUntil([&] { return catcher.errors.size() == 1; }));
    EXPECT_FALSE(connection.isConnected());
}

TEST_F(DBusConnectionTest, DestroyedReceiverGetsNothing)
{
    EchoPeer echo(bus.address());
    auto gone = std::make_unique<ReplyCatcher>();
    ASSERT_TRUE(connection.callWithCallback(peerCall("Echo"), gone.get(),
                                            SLOT(onReply(VelDBusMessage)), nullptr));
    gone.reset();
    VelDBusMessage marker = peerCall("Echo");
    ASSERT_TRUE(
        connection.callWithCallback(marker, &catcher, SLOT(onReply(VelDBusMessage)), nullptr));
    // Replies come in order: once the second is in, the first was handled.
    ASSERT_TRUE(runUntil([&] { return !catcher.replies.empty(); }));
    EXPECT_EQ(catcher.replies[0].replySerial(), marker.serial());
}

TEST_F(DBusConnectionTest, AccessibilityBusFromTheEnvironmentOrTheSessionBus)
{
    PrivateBus a11y;
    ASSERT_TRUE(a11y.isRunning());
    // The session bus's org.a11y.Bus service names the accessibility bus.
    TestPeer launcher(bus.address());
    ASSERT_TRUE(launcher.requestName("org.a11y.Bus"));
    const std::string a11yAddress = a11y.address();
    launcher.setHandler([a11yAddress](DBusMessage *call) {
        DBusMessage *reply = dbus_message_new_method_return(call);
        const char *text = a11yAddress.c_str();
        dbus_message_append_args(reply, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
        return reply;
    });
    launcher.start();

    const VelByteArray savedAtSpi = velgetenv("AT_SPI_BUS_ADDRESS");
    const VelByteArray savedSession = velgetenv("DBUS_SESSION_BUS_ADDRESS");
    velputenv("DBUS_SESSION_BUS_ADDRESS", VelByteArray(bus.address().c_str()));
    velunsetenv("AT_SPI_BUS_ADDRESS");
    const VelDBusConnection found = VelDBusConnection::connectToAccessibilityBus();
    velputenv("AT_SPI_BUS_ADDRESS", VelByteArray(a11y.address().c_str()));
    velputenv("DBUS_SESSION_BUS_ADDRESS", VelByteArray("unix:path=/nonexistent/bus"));
    const VelDBusConnection direct = VelDBusConnection::connectToAccessibilityBus();
    savedAtSpi.isEmpty() ? velunsetenv("AT_SPI_BUS_ADDRESS")
                         : velputenv("AT_SPI_BUS_ADDRESS", savedAtSpi);
    savedSession.isEmpty() ? velunsetenv("DBUS_SESSION_BUS_ADDRESS")
                           : velputenv("DBUS_SESSION_BUS_ADDRESS", savedSession);

    ASSERT_TRUE(found.isConnected()) << found.lastError().message().toStdString();
    ASSERT_TRUE(direct.isConnected()) << direct.lastError().message().toStdString();
    // Both sit on the accessibility bus: its daemon knows their names.
    TestPeer observer(a11y.address());
    for (const VelDBusConnection *c : {&found, &direct}) {
        DBusMessage *ask =
            dbus_message_new_method_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                         "org.freedesktop.DBus", "NameHasOwner");
        const std::string name = c->baseService().toStdString();
        const char *n = name.c_str();
        dbus_message_append_args(ask, DBUS_TYPE_STRING, &n, DBUS_TYPE_INVALID);
        DBusMessage *reply = observer.call(ask);
        ASSERT_NE(reply, nullptr);
        dbus_bool_t has = FALSE;
        dbus_message_get_args(reply, nullptr, DBUS_TYPE_BOOLEAN, &has, DBUS_TYPE_INVALID);
        dbus_message_unref(reply);
        EXPECT_TRUE(has) << name;
    }
}

} // namespace
