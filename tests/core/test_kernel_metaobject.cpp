#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "vellogging.h"
#include "velmetaobject.h"
#include "velmetatype.h"
#include "velobject.h"
#include "velpointer.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

struct VelTestPayload {
    int value = 0;
    std::string text;
};
VEL_DECLARE_METATYPE(VelTestPayload)

struct VelTestEventThing;
VEL_DECLARE_METATYPE(VelTestEventThing *)

namespace Ns
{
class VelNamed;
}

class VelSender : public VelObject
{
    VEL_OBJECT
public:
    explicit VelSender(VelObject *parent = nullptr) : VelObject(parent) {}
    void valueChanged(int a, int b);
    void textChanged(const VelString &text);
    void notifyError(const VelString &error, const VelByteArray &message);
    void relayed(int a, int b);
};

VEL_META_BEGIN(VelSender, VelObject)
VEL_META_SIGNAL(valueChanged, int, int)
VEL_META_SIGNAL(textChanged, const VelString &)
VEL_META_SIGNAL(notifyError, const VelString &, const VelByteArray &)
VEL_META_SIGNAL(relayed, int, int)
VEL_META_END

void VelSender::valueChanged(int a, int b)
{
    VEL_EMIT(valueChanged, a, b);
}
void VelSender::textChanged(const VelString &text)
{
    VEL_EMIT(textChanged, text);
}
void VelSender::notifyError(const VelString &error, const VelByteArray &message)
{
    VEL_EMIT(notifyError, error, message);
}
void VelSender::relayed(int a, int b)
{
    VEL_EMIT(relayed, a, b);
}

class VelReceiver : public VelObject
{
    VEL_OBJECT
public:
    explicit VelReceiver(VelObject *parent = nullptr) : VelObject(parent) {}
    std::vector<std::string> log;
    VelObject *lastSender = nullptr;

    void renderAll()
    {
        log.push_back("renderAll");
        lastSender = sender();
    }
    void onValue(int a) { log.push_back("onValue " + std::to_string(a)); }
    void onBoth(int a, int b)
    {
        log.push_back("onBoth " + std::to_string(a) + "," + std::to_string(b));
    }
    int doubled(int x) { return 2 * x; }
    VelString greet(const VelString &who) { return VelString("hello ") + who; }
    void take(const VelTestPayload &p)
    {
        log.push_back("payload " + std::to_string(p.value) + " " + p.text);
    }
    void onError(const VelString &error, const VelByteArray &message)
    {
        log.push_back("error " + error.toStdString() + " " + message.toStdString());
    }

private:
    void sendEvent(VelObject *, VelTestEventThing *) { log.push_back("sendEvent thing"); }
    void sendEvent(VelObject *, int n) { log.push_back("sendEvent int " + std::to_string(n)); }
};

VEL_META_BEGIN(VelReceiver, VelObject)
VEL_META_SLOT(renderAll)
VEL_META_SLOT(onValue, int)
VEL_META_SLOT(onBoth, int, int)
VEL_META_INVOKABLE(doubled, int)
VEL_META_INVOKABLE(greet, const VelString &)
VEL_META_SLOT(take, const VelTestPayload &)
VEL_META_SLOT(onError, const VelString &, const VelByteArray &)
VEL_META_SLOT(sendEvent, VelObject *, VelTestEventThing *)
VEL_META_SLOT(sendEvent, VelObject *, int)
VEL_META_END

class VelDerivedReceiver : public VelReceiver
{
    VEL_OBJECT
public:
    void extra() { log.push_back("extra"); }
};

VEL_META_BEGIN(VelDerivedReceiver, VelReceiver)
VEL_META_SLOT(extra)
VEL_META_END

namespace Ns
{
class VelNamed : public VelObject
{
    VEL_OBJECT
public:
    void dialogResult(int r) { result = r; }
    int result = -1;
};
} // namespace Ns

VEL_META_BEGIN_NAMED(Ns::VelNamed, VelObject, "Ns::VelNamed")
VEL_META_INVOKABLE(dialogResult, int)
VEL_META_END

namespace
{

// Captures warnings for the duration of a test.
class WarningCapture
{
public:
    WarningCapture()
    {
        std::lock_guard<std::mutex> lock(mutex());
        messages().clear();
        m_previous = velInstallMessageHandler(&handler);
    }
    ~WarningCapture() { velInstallMessageHandler(m_previous); }
    static std::vector<std::string> captured()
    {
        std::lock_guard<std::mutex> lock(mutex());
        return messages();
    }
    static bool contains(const std::string &needle)
    {
        for (const std::string &m : captured()) {
            if (m.find(needle) != std::string::npos)
                return true;
        }
        return false;
    }

private:
    static std::mutex &mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<std::string> &messages()
    {
        static std::vector<std::string> m;
        return m;
    }
    static void handler(VelMsgType type, const VelMessageLogContext &, const VelString &text)
    {
        if (type == VelWarningMsg) {
            std::lock_guard<std::mutex> lock(mutex());
            messages().push_back(text.toStdString());
        }
    }
    VelMessageHandler m_previous;
};

} // namespace

TEST(KernelMetaType, BuiltinsAndNormalisedNames)
{
    EXPECT_EQ(VelMetaType::type("int"), VelMetaType::Int);
    EXPECT_EQ(VelMetaType::type("unsigned int"), VelMetaType::UInt);
    EXPECT_EQ(VelMetaType::type("uint"), VelMetaType::UInt);
    EXPECT_EQ(VelMetaType::type("const VelString &"), VelMetaType::VelStringType);
    EXPECT_EQ(VelMetaType::type("VelObject *"), VelMetaType::VelObjectStar);
    EXPECT_EQ(VelMetaType::type("unsigned  long   long"), VelMetaType::ULongLong);
    EXPECT_EQ(VelMetaType::type("NoSuchType"), VelMetaType::UnknownType);
    EXPECT_STREQ(VelMetaType::typeName(VelMetaType::VelStringListType), "VelStringList");
}

TEST(KernelMetaType, PointerTypesRegisterByNameAndRepeatHarmlessly)
{
    const int id = velRegisterMetaType<VelTestEventThing *>("VelTestEventThing*");
    EXPECT_GE(id, int(VelMetaType::User));
    EXPECT_EQ(velRegisterMetaType<VelTestEventThing *>("VelTestEventThing*"), id);
    EXPECT_EQ(velMetaTypeId<VelTestEventThing *>(), id);
    EXPECT_EQ(VelMetaType::type("VelTestEventThing *"), id);
    EXPECT_EQ(VelMetaType::sizeOf(id), int(sizeof(void *)));
}

TEST(KernelMetaType, ValueTypeCopiesThroughTheRegistry)
{
    const int id = velMetaTypeId<VelTestPayload>();
    ASSERT_NE(id, int(VelMetaType::UnknownType));
    VelTestPayload original{7, "seven"};
    void *copy = VelMetaType::create(id, &original);
    ASSERT_NE(copy, nullptr);
    original.text = "changed";
    EXPECT_EQ(static_cast<VelTestPayload *>(copy)->value, 7);
    EXPECT_EQ(static_cast<VelTestPayload *>(copy)->text, "seven");
    VelMetaType::destroy(id, copy);

    alignas(VelTestPayload) unsigned char storage[sizeof(VelTestPayload)];
    void *placed = VelMetaType::construct(id, storage, nullptr);
    ASSERT_EQ(placed, static_cast<void *>(storage));
    EXPECT_EQ(static_cast<VelTestPayload *>(placed)->value, 0);
    VelMetaType::destruct(id, placed);
}

TEST(KernelMetaObject, NormalisedSignatureLookup)
{
    EXPECT_EQ(VelMetaObject::normalizedSignature(
                  "notifyKeyboardListenerError(VelDBusError, VelDBusMessage)"),
              VelByteArray("notifyKeyboardListenerError(VelDBusError,VelDBusMessage)"));
    EXPECT_EQ(VelMetaObject::normalizedSignature(" valueChanged ( int , int ) "),
              VelByteArray("valueChanged(int,int)"));
    EXPECT_EQ(VelMetaObject::normalizedSignature("f(const VelString &, unsigned long long)"),
              VelByteArray("f(VelString,unsigned long long)"));
    EXPECT_EQ(VelMetaObject::normalizedSignature("f(void)"), VelByteArray("f()"));

    VelSender s;
    const VelMetaObject *mo = s.metaObject();
    EXPECT_GE(mo->indexOfSignal("notifyError(VelString, VelByteArray)"), 0);
    EXPECT_GE(mo->indexOfSignal("textChanged(const VelString&)"), 0);
    EXPECT_EQ(mo->indexOfSignal("valueChanged(int)"), -1);
    EXPECT_EQ(mo->indexOfSlot("valueChanged(int,int)"), -1) << "a signal is not a slot";
    // Inherited methods keep their absolute indices.
    EXPECT_GE(mo->indexOfSignal("destroyed(VelObject*)"), 0);
    EXPECT_LT(mo->indexOfSignal("destroyed(VelObject*)"), mo->methodOffset());
}

TEST(KernelMetaObject, ClassNamesCastsAndOverloads)
{
    VelDerivedReceiver d;
    EXPECT_STREQ(d.metaObject()->className(), "VelDerivedReceiver");
    EXPECT_STREQ(d.metaObject()->superClass()->className(), "VelReceiver");
    EXPECT_TRUE(d.inherits("VelReceiver"));
    EXPECT_TRUE(d.inherits("VelObject"));
    EXPECT_FALSE(d.inherits("VelSender"));
    EXPECT_EQ(d.vel_metacast("VelReceiver"), static_cast<void *>(static_cast<VelReceiver *>(&d)));
    EXPECT_EQ(d.vel_metacast("VelSender"), nullptr);
    EXPECT_EQ(vel_object_cast<VelReceiver *>(static_cast<VelObject *>(&d)), &d);
    EXPECT_EQ(vel_object_cast<VelSender *>(static_cast<VelObject *>(&d)), nullptr);

    Ns::VelNamed named;
    EXPECT_STREQ(named.metaObject()->className(), "Ns::VelNamed");
    EXPECT_NE(named.vel_metacast("Ns::VelNamed"), nullptr);

    // Overloads are told apart by argument types, private slots included.
    const VelMetaObject *mo = d.metaObject();
    const int a = mo->indexOfSlot("sendEvent(VelObject*,VelTestEventThing*)");
    const int b = mo->indexOfSlot("sendEvent(VelObject*,int)");
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(a, b);
    VelObject *focus = &named;
    EXPECT_TRUE(VelMetaObject::invokeMethod(&d, "sendEvent", Vel::DirectConnection,
                                            VEL_ARG(VelObject *, focus), VEL_ARG(int, 4)));
    VelTestEventThing *thing = nullptr;
    EXPECT_TRUE(VelMetaObject::invokeMethod(&d, "sendEvent", Vel::DirectConnection,
                                            VEL_ARG(VelObject *, focus),
                                            VEL_ARG(VelTestEventThing *, thing)));
    EXPECT_EQ(d.log, (std::vector<std::string>{"sendEvent int 4", "sendEvent thing"}));
}

TEST(KernelConnections, StringConnectionsWithBlanksAndFewerSlotArguments)
{
    VelSender s;
    VelReceiver r;
    EXPECT_TRUE(VelObject::connect(&s, SIGNAL(valueChanged(int, int)), &r, SLOT(onValue(int))));
    EXPECT_TRUE(VelObject::connect(&s, SIGNAL(valueChanged(int, int)), &r, SLOT(renderAll())));
    EXPECT_TRUE(VelObject::connect(&s, "2notifyError(VelString, VelByteArray)", &r,
                                   "1onError(VelString, VelByteArray)"));
    s.valueChanged(3, 4);
    s.notifyError(VelString("bad"), VelByteArray("msg"));
    EXPECT_EQ(r.log, (std::vector<std::string>{"onValue 3", "renderAll", "error bad msg"}));
    EXPECT_EQ(r.lastSender, &s);
    EXPECT_EQ(r.sender(), nullptr) << "sender() is only set while a slot runs";
}

TEST(KernelConnections, BadConnectionsFailWithAWarning)
{
    WarningCapture warnings;
    VelSender s;
    VelReceiver r;
    EXPECT_FALSE(VelObject::connect(&s, SIGNAL(noSuchSignal()), &r, SLOT(renderAll())));
    EXPECT_FALSE(VelObject::connect(&s, SIGNAL(valueChanged(int, int)), &r, SLOT(noSuchSlot())));
    // The slot wants more than the signal gives.
    EXPECT_FALSE(VelObject::connect(&s, SIGNAL(textChanged(VelString)), &r, SLOT(onValue(int))));
    EXPECT_FALSE(VelObject::connect(&s, "valueChanged(int,int)", &r, SLOT(renderAll())));
    EXPECT_EQ(WarningCapture::captured().size(), 4u);
    s.valueChanged(1, 2);
    EXPECT_TRUE(r.log.empty());
}

TEST(KernelConnections, PointerToMemberFunctorAndSignalToSignal)
{
    VelSender s;
    VelSender relay;
    VelReceiver r;
    int seen = 0;
    ASSERT_TRUE(VelObject::connect(&s, &VelSender::valueChanged, &r, &VelReceiver::onBoth));
    ASSERT_TRUE(
        VelObject::connect(&s, &VelSender::valueChanged, &r, [&seen](int a) { seen += a; }));
    ASSERT_TRUE(
        VelObject::connect(&s, SIGNAL(valueChanged(int, int)), &relay, SIGNAL(relayed(int, int))));
    ASSERT_TRUE(VelObject::connect(&relay, &VelSender::relayed, &r, &VelReceiver::onValue));
    s.valueChanged(5, 6);
    EXPECT_EQ(r.log, (std::vector<std::string>{"onBoth 5,6", "onValue 5"}));
    EXPECT_EQ(seen, 5);

    // A signal inherited from the base class, through a derived pointer.
    VelDerivedReceiver derived;
    bool destroyedSeen = false;
    {
        auto *child = new VelSender;
        VelObject::connect(child, &VelObject::destroyed, &derived,
                           [&destroyedSeen](VelObject *) { destroyedSeen = true; });
        delete child;
    }
    EXPECT_TRUE(destroyedSeen);
}

TEST(KernelConnections, DisconnectByHandleAndEmptyHandle)
{
    VelSender s;
    VelReceiver r;
    const VelObject::Connection c =
        VelObject::connect(&s, &VelSender::valueChanged, &r, &VelReceiver::onValue);
    ASSERT_TRUE(c);
    s.valueChanged(1, 0);
    EXPECT_TRUE(VelObject::disconnect(c));
    EXPECT_FALSE(VelObject::disconnect(c)) << "a second disconnect has nothing to do";
    s.valueChanged(2, 0);
    EXPECT_EQ(r.log, (std::vector<std::string>{"onValue 1"}));
    EXPECT_FALSE(VelObject::disconnect(VelObject::Connection()));
}

TEST(KernelConnections, ReceiverDestroyedOrSlotDisconnectingDuringEmission)
{
    VelSender s;
    auto *first = new VelReceiver;
    auto *second = new VelReceiver;
    VelPointer<VelReceiver> secondGuard(second);
    int calls = 0;
    // The first slot deletes the second receiver: the emission must skip it.
    VelObject::connect(&s, &VelSender::valueChanged, first, [&]() {
        ++calls;
        delete second;
    });
    VelObject::connect(&s, &VelSender::valueChanged, second, [&]() { ++calls; });
    s.valueChanged(0, 0);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(secondGuard.isNull());
    delete first;
    s.valueChanged(0, 0);
    EXPECT_EQ(calls, 1) << "connections die with their receiver";
}

TEST(KernelConnections, BlockedSignalsAreNotDelivered)
{
    VelSender s;
    VelReceiver r;
    VelObject::connect(&s, &VelSender::valueChanged, &r, &VelReceiver::onValue);
    EXPECT_FALSE(s.blockSignals(true));
    s.valueChanged(1, 1);
    EXPECT_TRUE(s.blockSignals(false));
    s.valueChanged(2, 2);
    EXPECT_EQ(r.log, (std::vector<std::string>{"onValue 2"}));
}

TEST(KernelInvoke, DirectCallsWithReturnValuesAndTypeChecks)
{
    WarningCapture warnings;
    VelReceiver r;
    int result = 0;
    EXPECT_TRUE(VelMetaObject::invokeMethod(&r, "doubled", Vel::DirectConnection,
                                            VEL_RETURN_ARG(int, result), VEL_ARG(int, 21)));
    EXPECT_EQ(result, 42);
    VelString greeting;
    EXPECT_TRUE(VelMetaObject::invokeMethod(&r, "greet", VEL_RETURN_ARG(VelString, greeting),
                                            VEL_ARG(VelString, VelString("you"))));
    EXPECT_EQ(greeting, VelString("hello you"));

    EXPECT_FALSE(VelMetaObject::invokeMethod(&r, "doubled", Vel::DirectConnection,
                                             VEL_ARG(VelString, VelString("x"))));
    EXPECT_FALSE(VelMetaObject::invokeMethod(&r, "missing", Vel::DirectConnection));
    EXPECT_TRUE(WarningCapture::contains("missing()"));
    // A queued call cannot hand back a value.
    EXPECT_FALSE(VelMetaObject::invokeMethod(&r, "doubled", Vel::QueuedConnection,
                                             VEL_RETURN_ARG(int, result), VEL_ARG(int, 1)));
}

TEST(KernelInvoke, QueuedCallCopiesItsArguments)
{
    VelReceiver r;
    {
        VelTestPayload payload{9, "nine"};
        EXPECT_TRUE(VelMetaObject::invokeMethod(&r, "take", Vel::QueuedConnection,
                                                VEL_ARG(VelTestPayload, payload)));
        payload.text = "overwritten";
    }
    EXPECT_TRUE(r.log.empty()) << "a queued call runs later";
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(r.log, (std::vector<std::string>{"payload 9 nine"}));
}

TEST(KernelObject, ParentOwnershipChildrenAndGuards)
{
    auto *root = new VelObject;
    auto *child = new VelReceiver(root);
    auto *grandChild = new VelSender(child);
    grandChild->setObjectName(VelString("leaf"));
    VelPointer<VelSender> guard(grandChild);
    EXPECT_EQ(child->parent(), root);
    ASSERT_EQ(root->children().size(), 1u);
    EXPECT_EQ(root->findChild<VelSender *>(VelString("leaf")), grandChild);
    EXPECT_EQ(root->findChild<VelSender *>(VelString("other")), nullptr);

    grandChild->setParent(root);
    EXPECT_EQ(child->children().size(), 0u);
    EXPECT_EQ(root->children().size(), 2u);

    delete root;
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(guard.data(), nullptr);
}
