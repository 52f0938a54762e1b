#include "velaccessible.h"
#include "velaccessibleactioninterface.h"
#include "velaccessibleevent.h"
#include "velaccessibleobject.h"
#include "velaccessibletextinterface.h"
#include "velobject.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

using A = VelAccessible;

int g_liveInterfaces = 0;

// An accessible object that counts its instances, to see the registry free them.
class CountedAccessible : public VelAccessibleObject
{
public:
    CountedAccessible(VelObject *object, A::Role role, const VelString &name, VelRect rect)
        : VelAccessibleObject(object, role, name)
    {
        setRect(rect);
        ++g_liveInterfaces;
    }
    ~CountedAccessible() override { --g_liveInterfaces; }
};

// A pressable text field, for the kind casts.
class Field : public CountedAccessible,
              public VelAccessibleTextInterface,
              public VelAccessibleActionInterface
{
public:
    explicit Field(VelObject *object)
        : CountedAccessible(object, A::EditableText, "field", VelRect(0, 0, 10, 10))
    {
    }
    void *interface_cast(A::InterfaceType type) override
    {
        if (type == A::TextInterface)
            return static_cast<VelAccessibleTextInterface *>(this);
        if (type == A::ActionInterface)
            return static_cast<VelAccessibleActionInterface *>(this);
        return nullptr;
    }
    int selectionCount() const override { return 1; }
    void selection(int, int *start, int *end) const override
    {
        *start = 2;
        *end = 5;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 5; }
    void setCursorPosition(int) override {}
    int characterCount() const override { return 8; }
    VelString text(int, int) const override { return VelString(); }
    VelString text(A::Text t) const override { return CountedAccessible::text(t); }
    VelStringList actionNames() const override { return VelStringList(pressAction()); }
    void doAction(const VelString &name) override
    {
        if (name == pressAction())
            ++presses;
    }
    int presses = 0;
};

VelAccessibleInterface *accessibleFor(VelObject *object, A::Role role, const char *name,
                                      VelRect rect)
{
    auto iface = new CountedAccessible(object, role, name, rect);
    A::registerAccessibleInterface(iface);
    return iface;
}

class AccessibleTest : public ::testing::Test
{
protected:
    void SetUp() override { g_liveInterfaces = 0; }
    void TearDown() override { EXPECT_EQ(g_liveInterfaces, 0) << "interfaces leaked"; }
};

} // namespace

TEST_F(AccessibleTest, IdsRoundTripAndAreStable)
{
    VelObject object;
    VelAccessibleInterface *iface = accessibleFor(&object, A::PushButton, "OK", VelRect());
    const A::Id id = A::uniqueId(iface);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, 0xffffffffu);
    EXPECT_EQ(A::uniqueId(iface), id);
    EXPECT_EQ(A::accessibleInterface(id), iface);
    EXPECT_EQ(A::queryAccessibleInterface(&object), iface);
    EXPECT_EQ(A::uniqueId(nullptr), 0u);
    EXPECT_EQ(A::accessibleInterface(0), nullptr);
    EXPECT_EQ(A::accessibleInterface(0xffffffffu), nullptr);
}

TEST_F(AccessibleTest, StaleIdsAnswerNullAndAreNotReused)
{
    A::Id deletedId = 0;
    A::Id goneWithObjectId = 0;
    {
        VelObject object;
        VelObject other;
        VelAccessibleInterface *first = accessibleFor(&object, A::PushButton, "a", VelRect());
        deletedId = A::uniqueId(first);
        A::deleteAccessibleInterface(deletedId);
        EXPECT_EQ(g_liveInterfaces, 0);
        EXPECT_EQ(A::accessibleInterface(deletedId), nullptr);
        EXPECT_EQ(A::queryAccessibleInterface(&object), nullptr)
            << "the object has no interface any more";

        VelAccessibleInterface *second = accessibleFor(&other, A::CheckBox, "b", VelRect());
        goneWithObjectId = A::uniqueId(second);
        EXPECT_NE(goneWithObjectId, deletedId);
    }
    // `other` is gone, and its interface with it.
    EXPECT_EQ(g_liveInterfaces, 0);
    EXPECT_EQ(A::accessibleInterface(goneWithObjectId), nullptr);

    VelObject fresh;
    VelAccessibleInterface *third = accessibleFor(&fresh, A::Pane, "c", VelRect());
    const A::Id thirdId = A::uniqueId(third);
    EXPECT_NE(thirdId, deletedId);
    EXPECT_NE(thirdId, goneWithObjectId);
    A::deleteAccessibleInterface(thirdId);
    A::deleteAccessibleInterface(thirdId); // twice is harmless
}

TEST_F(AccessibleTest, InterfacesWithoutObjectLiveUntilDeleted)
{
    auto iface = new CountedAccessible(nullptr, A::StaticText, "free", VelRect());
    const A::Id id = A::uniqueId(iface);
    EXPECT_FALSE(iface->isValid());
    EXPECT_TRUE(iface->state().invalid);
    EXPECT_EQ(A::accessibleInterface(id), iface);
    A::deleteAccessibleInterface(id);
    EXPECT_EQ(A::accessibleInterface(id), nullptr);
}

namespace
{

VelAccessibleInterface *factoryForNamedObjects(const VelString &className, VelObject *object)
{
    // Only plain objects named "made" get one, as a real factory picks classes.
    if (className != VelString("VelObject") || object->objectName() != VelString("made"))
        return nullptr;
    return new CountedAccessible(object, A::Graphic, "made", VelRect());
}

} // namespace

TEST_F(AccessibleTest, FactoriesMakeInterfacesOnceAndTheRegistryOwnsThem)
{
    A::installFactory(&factoryForNamedObjects);
    {
        VelObject made;
        made.setObjectName("made");
        VelObject plain;
        VelAccessibleInterface *iface = A::queryAccessibleInterface(&made);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), A::Graphic);
        EXPECT_EQ(A::queryAccessibleInterface(&made), iface) << "made once, then found";
        EXPECT_EQ(g_liveInterfaces, 1);
        EXPECT_NE(A::accessibleInterface(A::uniqueId(iface)), nullptr);
        EXPECT_EQ(A::queryAccessibleInterface(&plain), nullptr);
        EXPECT_EQ(A::queryAccessibleInterface(nullptr), nullptr);
    }
    EXPECT_EQ(g_liveInterfaces, 0);
    A::removeFactory(&factoryForNamedObjects);
    VelObject later;
    later.setObjectName("made");
    EXPECT_EQ(A::queryAccessibleInterface(&later), nullptr);
}

TEST_F(AccessibleTest, TreeOverObjectsHitTestsAndIndexes)
{
    VelObject root;
    auto pane = new VelObject(&root);
    auto ok = new VelObject(pane);
    auto noInterface = new VelObject(pane);
    auto cancel = new VelObject(pane);
    VelAccessibleInterface *rootIface =
        accessibleFor(&root, A::Client, "root", VelRect(0, 0, 200, 100));
    VelAccessibleInterface *paneIface =
        accessibleFor(pane, A::Pane, "pane", VelRect(0, 0, 200, 100));
    VelAccessibleInterface *okIface =
        accessibleFor(ok, A::PushButton, "OK", VelRect(10, 10, 50, 20));
    VelAccessibleInterface *cancelIface =
        accessibleFor(cancel, A::PushButton, "Cancel", VelRect(40, 10, 50, 20));
    (void)noInterface;

    EXPECT_EQ(rootIface->childCount(), 1);
    ASSERT_EQ(paneIface->childCount(), 2) << "children without an interface are skipped";
    EXPECT_EQ(paneIface->child(0), okIface);
    EXPECT_EQ(paneIface->child(1), cancelIface);
    EXPECT_EQ(paneIface->child(2), nullptr);
    EXPECT_EQ(paneIface->child(-1), nullptr);
    EXPECT_EQ(paneIface->indexOfChild(cancelIface), 1);
    EXPECT_EQ(paneIface->indexOfChild(rootIface), -1);
    EXPECT_EQ(okIface->parent(), paneIface);
    EXPECT_EQ(paneIface->parent(), rootIface);

    // The buttons overlap at x 40..59: the later (top-most) one wins.
    EXPECT_EQ(paneIface->childAt(45, 15), cancelIface);
    EXPECT_EQ(paneIface->childAt(15, 15), okIface);
    EXPECT_EQ(paneIface->childAt(150, 80), nullptr);

    auto hidden = static_cast<VelAccessibleObject *>(cancelIface);
    A::State state;
    state.invisible = true;
    hidden->setState(state);
    EXPECT_EQ(paneIface->childAt(45, 15), okIface) << "invisible children are not hit";

    A::State focused;
    focused.focused = true;
    static_cast<VelAccessibleObject *>(okIface)->setState(focused);
    EXPECT_EQ(rootIface->focusChild(), okIface);

    delete ok;
    EXPECT_EQ(paneIface->childCount(), 1);
    EXPECT_EQ(g_liveInterfaces, 3);
}

TEST_F(AccessibleTest, TextsAndKindCasts)
{
    VelObject object;
    auto field = new Field(&object);
    A::registerAccessibleInterface(field);
    VelAccessibleInterface *iface = field;
    field->setText(A::Value, "42");
    EXPECT_EQ(iface->text(A::Name), VelString("field"));
    EXPECT_EQ(iface->text(A::Value), VelString("42"));
    EXPECT_EQ(iface->text(A::Description), VelString());

    VelAccessibleTextInterface *text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 5);

    VelAccessibleActionInterface *action = iface->actionInterface();
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->actionNames().contains(VelAccessibleActionInterface::pressAction()));
    action->doAction(VelAccessibleActionInterface::toggleAction());
    action->doAction(VelAccessibleActionInterface::pressAction());
    EXPECT_EQ(field->presses, 1);

    VelObject plainObject;
    VelAccessibleInterface *plain = accessibleFor(&plainObject, A::Pane, "p", VelRect());
    EXPECT_EQ(plain->textInterface(), nullptr);
    EXPECT_EQ(plain->actionInterface(), nullptr);
}

TEST(AccessibleValues, StandardActionNamesAreDistinctAndCaseExact)
{
    using Act = VelAccessibleActionInterface;
    const std::set<std::u16string> names{
        Act::pressAction().toStdU16String(),    Act::toggleAction().toStdU16String(),
        Act::setFocusAction().toStdU16String(), Act::increaseAction().toStdU16String(),
        Act::decreaseAction().toStdU16String(), Act::showMenuAction().toStdU16String(),
    };
    EXPECT_EQ(names.size(), 6u);
    EXPECT_NE(Act::pressAction(), Act::pressAction().toLower());
}

TEST(AccessibleValues, StateBitsHaveTheirFixedPositions)
{
    A::State state;
    EXPECT_EQ(state.toBits(), 0u);
    state.disabled = true;
    EXPECT_EQ(state.toBits(), veluint64(1) << 0);
    state = A::State();
    state.checkable = true;
    state.checked = true;
    EXPECT_EQ(state.toBits(), (veluint64(1) << 5) | (veluint64(1) << 6));
    state = A::State();
    state.invisible = true;
    EXPECT_EQ(state.toBits(), veluint64(1) << 17);
    state = A::State();
    state.searchEdit = true;
    EXPECT_EQ(state.toBits(), veluint64(1) << 36);

    // Every bit maps to exactly one flag and back.
    for (int bit = 0; bit < A::State::NBits; ++bit) {
        const A::State one = A::State::fromBits(veluint64(1) << bit);
        EXPECT_EQ(one.toBits(), veluint64(1) << bit) << "bit " << bit;
        EXPECT_TRUE(one.test(A::State::Bit(bit)));
    }
    EXPECT_TRUE(A::State::fromBits(veluint64(1) << 17).invisible);
    EXPECT_FALSE(A::State::fromBits(veluint64(1) << 17).disabled);
    A::State viaSet;
    viaSet.set(A::State::CheckedBit);
    EXPECT_TRUE(viaSet.checked);
    viaSet.set(A::State::CheckedBit, false);
    EXPECT_EQ(viaSet, A::State());
}

TEST(AccessibleValues, RoleStrings)
{
    EXPECT_EQ(velAccessibleRoleString(A::PushButton), VelByteArray("button"));
    EXPECT_EQ(velAccessibleRoleString(A::CheckBox), VelByteArray("check box"));
    EXPECT_EQ(velAccessibleRoleString(A::Pane), VelByteArray("pane"));
    EXPECT_EQ(velAccessibleRoleString(A::Role(0x2F)), VelByteArray("unknown"))
        << "a gap in the numbering has no name";
    EXPECT_EQ(velAccessibleRoleString(A::UserRole), VelByteArray("unknown"));
    // Every named role has a distinct, non-empty name.
    std::set<std::string> names;
    for (int role = 0; role <= 0x42C; ++role) {
        const VelByteArray name = velAccessibleRoleString(A::Role(role));
        if (name == VelByteArray("unknown"))
            continue;
        EXPECT_FALSE(name.isEmpty());
        EXPECT_TRUE(names.insert(name.toStdString()).second) << name.toStdString();
    }
    EXPECT_GE(names.size(), 70u);
}

TEST(AccessibleValues, NumbersBridgesRelyOn)
{
    EXPECT_EQ(int(A::Name), 0);
    EXPECT_EQ(int(A::Value), 2);
    EXPECT_EQ(int(A::Client), 10);
    EXPECT_EQ(int(A::Application), 14);
    EXPECT_EQ(int(A::Pane), 16);
    EXPECT_EQ(int(A::TextInterface), 0);
    EXPECT_EQ(int(A::ActionInterface), 3);
}

TEST_F(AccessibleTest, EventsResolveTheirInterface)
{
    VelObject parent;
    auto child = new VelObject(&parent);
    VelAccessibleInterface *parentIface = accessibleFor(&parent, A::Pane, "p", VelRect());
    VelAccessibleInterface *childIface = accessibleFor(child, A::PushButton, "c", VelRect());
    VelAccessibleEvent byObject(&parent, A::Focus);
    EXPECT_EQ(byObject.accessibleInterface(), parentIface);
    byObject.setChild(0);
    EXPECT_EQ(byObject.accessibleInterface(), childIface);
    EXPECT_EQ(byObject.uniqueId(), A::uniqueId(childIface));
    VelAccessibleEvent byInterface(childIface, A::NameChanged);
    EXPECT_EQ(byInterface.object(), child);
    EXPECT_EQ(byInterface.accessibleInterface(), childIface);
    VelObject bare;
    VelAccessibleEvent none(&bare, A::ObjectShow);
    EXPECT_EQ(none.uniqueId(), 0u);
    A::updateAccessibility(&byObject); // no platform: nothing to tell, must not crash
}
