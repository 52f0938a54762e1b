#include "velaccessible.h"

#include "velaccessibleapplication.h"
#include "velaccessibleevent.h"
#include "velaccessibleinterface.h"
#include "velaccessiblewindow.h"
#include "velguiapplication.h"
#include "velobject.h"
#include "velplatformaccessibility.h"
#include "velplatformintegration.h"
#include "velwindow.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace
{

constexpr VelAccessible::Id kNoId = 0;
constexpr VelAccessible::Id kMinusOne = 0xffffffffu; // -1 where ids travel as 32-bit ints

struct Registry {
    // Guards every member. Held while the destroyed() watch of an object is
    // connected or cut (so before the object model's own connection lock);
    // never held while calling into an interface, an object or a factory.
    std::mutex mutex;
    std::unordered_map<VelAccessible::Id, VelAccessibleInterface *> byId;
    std::unordered_map<const VelAccessibleInterface *, VelAccessible::Id> idOf;
    // Interfaces registered for an object, the one queryAccessibleInterface
    // answers first.
    std::unordered_map<const VelObject *, std::vector<VelAccessible::Id>> byObject;
    std::unordered_map<const VelObject *, VelObject::Connection> watched;
    std::vector<VelAccessible::InterfaceFactory> factories; // newest last
    VelAccessible::Id lastId = kNoId;
};

// Never destroyed: objects that outlive static destruction may still report
// their end to it.
Registry &registry()
{
    static Registry *r = new Registry;
    return *r;
}

VelAccessible::Id allocateIdLocked(Registry &r)
{
    VelAccessible::Id id = r.lastId;
    do {
        ++id;
    } while (id == kNoId || id == kMinusOne || r.byId.count(id));
    r.lastId = id;
    return id;
}

void objectDestroyed(const VelObject *object);

// Registers iface under a new id; when it stands for an object that has no
// interface yet, it becomes that object's. Returns the id.
VelAccessible::Id registerLocked(Registry &r, VelAccessibleInterface *iface, VelObject *object)
{
    const VelAccessible::Id id = allocateIdLocked(r);
    r.byId[id] = iface;
    r.idOf[iface] = id;
    if (object) {
        r.byObject[object].push_back(id);
        if (!r.watched.count(object)) {
            r.watched[object] = VelObject::connect(object, &VelObject::destroyed,
                                                   [object]() { objectDestroyed(object); });
        }
    }
    return id;
}

// Removes an id from the maps; the caller deletes the interface unlocked.
VelAccessibleInterface *unregisterLocked(Registry &r, VelAccessible::Id id)
{
    auto it = r.byId.find(id);
    if (it == r.byId.end())
        return nullptr;
    VelAccessibleInterface *iface = it->second;
    r.byId.erase(it);
    r.idOf.erase(iface);
    for (auto objIt = r.byObject.begin(); objIt != r.byObject.end(); ++objIt) {
        auto &ids = objIt->second;
        ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
        if (ids.empty()) {
            VelObject::disconnect(r.watched[objIt->first]);
            r.watched.erase(objIt->first);
            r.byObject.erase(objIt);
            break;
        }
    }
    return iface;
}

void objectDestroyed(const VelObject *object)
{
    std::vector<VelAccessibleInterface *> doomed;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.byObject.find(object);
        if (it == r.byObject.end())
            return;
        const std::vector<VelAccessible::Id> ids = it->second;
        r.byObject.erase(it);
        r.watched.erase(object);
        for (VelAccessible::Id id : ids) {
            auto idIt = r.byId.find(id);
            if (idIt == r.byId.end())
                continue;
            doomed.push_back(idIt->second);
            r.idOf.erase(idIt->second);
            r.byId.erase(idIt);
        }
    }
    for (VelAccessibleInterface *iface : doomed)
        delete iface;
}

VelAccessibleInterface *registeredForObject(const VelObject *object)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.byObject.find(object);
    if (it == r.byObject.end() || it->second.empty())
        return nullptr;
    return r.byId[it->second.front()];
}

VelAccessibleInterface *fromFactories(VelObject *object)
{
    std::vector<VelAccessible::InterfaceFactory> factories;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        factories = r.factories;
    }
    // The most derived class name first, each asked of the newest factory first.
    for (const VelMetaObject *mo = object->metaObject(); mo; mo = mo->superClass()) {
        const VelString className(mo->className());
        for (auto f = factories.rbegin(); f != factories.rend(); ++f) {
            if (VelAccessibleInterface *iface = (*f)(className, object))
                return iface;
        }
    }
    return nullptr;
}

VelAccessibleInterface *builtIn(VelObject *object)
{
    if (object == VelGuiApplication::instance())
        return new VelAccessibleApplication;
    if (auto window = vel_object_cast<VelWindow *>(object))
        return new VelAccessibleWindow(window);
    return nullptr;
}

VelPlatformAccessibility *platformAccessibility()
{
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    return integration ? integration->accessibility() : nullptr;
}

} // namespace

VelAccessibleInterface *VelAccessible::queryAccessibleInterface(VelObject *object)
{
    if (!object)
        return nullptr;
    if (VelAccessibleInterface *known = registeredForObject(object))
        return known;
    VelAccessibleInterface *made = fromFactories(object);
    if (!made)
        made = builtIn(object);
    if (!made)
        return nullptr;
    Registry &r = registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.byObject.find(object);
        if (it == r.byObject.end() || it->second.empty()) {
            registerLocked(r, made, object);
            return made;
        }
    }
    // Another thread made one first; keep that.
    delete made;
    return registeredForObject(object);
}

VelAccessibleInterface *VelAccessible::accessibleRoot(VelWindow *window)
{
    return queryAccessibleInterface(window);
}

void VelAccessible::installFactory(InterfaceFactory factory)
{
    if (!factory)
        return;
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (std::find(r.factories.begin(), r.factories.end(), factory) == r.factories.end())
        r.factories.push_back(factory);
}

void VelAccessible::removeFactory(InterfaceFactory factory)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.factories.erase(std::remove(r.factories.begin(), r.factories.end(), factory),
                      r.factories.end());
}

VelAccessible::Id VelAccessible::uniqueId(VelAccessibleInterface *iface)
{
    if (!iface)
        return kNoId;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.idOf.find(iface);
        if (it != r.idOf.end())
            return it->second;
    }
    return registerAccessibleInterface(iface);
}

VelAccessibleInterface *VelAccessible::accessibleInterface(Id id)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.byId.find(id);
    return it == r.byId.end() ? nullptr : it->second;
}

VelAccessible::Id VelAccessible::registerAccessibleInterface(VelAccessibleInterface *iface)
{
    if (!iface)
        return kNoId;
    VelObject *object = iface->object();
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.idOf.find(iface);
    if (it != r.idOf.end())
        return it->second;
    return registerLocked(r, iface, object);
}

void VelAccessible::deleteAccessibleInterface(Id id)
{
    VelAccessibleInterface *iface = nullptr;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        iface = unregisterLocked(r, id);
    }
    delete iface;
}

bool VelAccessible::isActive()
{
    VelPlatformAccessibility *platform = platformAccessibility();
    return platform && platform->isActive();
}

void VelAccessible::setActive(bool active)
{
    if (VelPlatformAccessibility *platform = platformAccessibility())
        platform->setActive(active);
}

void VelAccessible::updateAccessibility(VelAccessibleEvent *event)
{
    if (!event)
        return;
    VelPlatformAccessibility *platform = platformAccessibility();
    if (platform && platform->isActive())
        platform->notifyAccessibilityUpdate(event);
}

bool VelAccessible::State::test(Bit bit) const
{
    return (toBits() >> bit) & 1u;
}

namespace
{

// Each flag with its fixed bit position.
template <typename F> void forEachFlag(F &&f)
{
    using S = VelAccessible::State;
    f(S::DisabledBit, &S::disabled);
    f(S::SelectedBit, &S::selected);
    f(S::FocusableBit, &S::focusable);
    f(S::FocusedBit, &S::focused);
    f(S::PressedBit, &S::pressed);
    f(S::CheckableBit, &S::checkable);
    f(S::CheckedBit, &S::checked);
    f(S::CheckStateMixedBit, &S::checkStateMixed);
    f(S::ReadOnlyBit, &S::readOnly);
    f(S::HotTrackedBit, &S::hotTracked);
    f(S::DefaultButtonBit, &S::defaultButton);
    f(S::ExpandedBit, &S::expanded);
    f(S::CollapsedBit, &S::collapsed);
    f(S::BusyBit, &S::busy);
    f(S::ExpandableBit, &S::expandable);
    f(S::MarqueedBit, &S::marqueed);
    f(S::AnimatedBit, &S::animated);
    f(S::InvisibleBit, &S::invisible);
    f(S::OffscreenBit, &S::offscreen);
    f(S::SizeableBit, &S::sizeable);
    f(S::MovableBit, &S::movable);
    f(S::SelfVoicingBit, &S::selfVoicing);
    f(S::SelectableBit, &S::selectable);
    f(S::LinkedBit, &S::linked);
    f(S::TraversedBit, &S::traversed);
    f(S::MultiSelectableBit, &S::multiSelectable);
    f(S::ExtSelectableBit, &S::extSelectable);
    f(S::PasswordEditBit, &S::passwordEdit);
    f(S::HasPopupBit, &S::hasPopup);
    f(S::ModalBit, &S::modal);
    f(S::ActiveBit, &S::active);
    f(S::InvalidBit, &S::invalid);
    f(S::EditableBit, &S::editable);
    f(S::MultiLineBit, &S::multiLine);
    f(S::SelectableTextBit, &S::selectableText);
    f(S::SupportsAutoCompletionBit, &S::supportsAutoCompletion);
    f(S::SearchEditBit, &S::searchEdit);
}

} // namespace

void VelAccessible::State::set(Bit bit, bool on)
{
    forEachFlag([&](Bit b, bool State::*flag) {
        if (b == bit)
            this->*flag = on;
    });
}

veluint64 VelAccessible::State::toBits() const
{
    veluint64 bits = 0;
    forEachFlag([&](Bit b, bool State::*flag) {
        if (this->*flag)
            bits |= veluint64(1) << b;
    });
    return bits;
}

VelAccessible::State VelAccessible::State::fromBits(veluint64 bits)
{
    State state;
    forEachFlag([&](Bit b, bool State::*flag) { state.*flag = (bits >> b) & 1u; });
    return state;
}

namespace
{

struct RoleName {
    VelAccessible::Role role;
    const char *name;
};

const RoleName kRoleNames[] = {
    {VelAccessible::NoRole, "no role"},
    {VelAccessible::TitleBar, "title bar"},
    {VelAccessible::MenuBar, "menu bar"},
    {VelAccessible::ScrollBar, "scroll bar"},
    {VelAccessible::Grip, "grip"},
    {VelAccessible::Sound, "sound"},
    {VelAccessible::Cursor, "cursor"},
    {VelAccessible::Caret, "caret"},
    {VelAccessible::AlertMessage, "alert message"},
    {VelAccessible::Window, "window"},
    {VelAccessible::Client, "client"},
    {VelAccessible::PopupMenu, "popup menu"},
    {VelAccessible::MenuItem, "menu item"},
    {VelAccessible::ToolTip, "tool tip"},
    {VelAccessible::Application, "application"},
    {VelAccessible::Document, "document"},
    {VelAccessible::Pane, "pane"},
    {VelAccessible::Chart, "chart"},
    {VelAccessible::Dialog, "dialog"},
    {VelAccessible::Border, "border"},
    {VelAccessible::Grouping, "grouping"},
    {VelAccessible::Separator, "separator"},
    {VelAccessible::ToolBar, "tool bar"},
    {VelAccessible::StatusBar, "status bar"},
    {VelAccessible::Table, "table"},
    {VelAccessible::ColumnHeader, "column header"},
    {VelAccessible::RowHeader, "row header"},
    {VelAccessible::Column, "column"},
    {VelAccessible::Row, "row"},
    {VelAccessible::Cell, "cell"},
    {VelAccessible::Link, "link"},
    {VelAccessible::HelpBalloon, "help balloon"},
    {VelAccessible::Assistant, "assistant"},
    {VelAccessible::List, "list"},
    {VelAccessible::ListItem, "list item"},
    {VelAccessible::Tree, "tree"},
    {VelAccessible::TreeItem, "tree item"},
    {VelAccessible::PageTab, "page tab"},
    {VelAccessible::PropertyPage, "property page"},
    {VelAccessible::Indicator, "indicator"},
    {VelAccessible::Graphic, "graphic"},
    {VelAccessible::StaticText, "label"},
    {VelAccessible::EditableText, "text"},
    {VelAccessible::PushButton, "button"},
    {VelAccessible::CheckBox, "check box"},
    {VelAccessible::RadioButton, "radio button"},
    {VelAccessible::ComboBox, "combo box"},
    {VelAccessible::ProgressBar, "progress bar"},
    {VelAccessible::Dial, "dial"},
    {VelAccessible::HotkeyField, "hotkey field"},
    {VelAccessible::Slider, "slider"},
    {VelAccessible::SpinBox, "spin box"},
    {VelAccessible::Canvas, "canvas"},
    {VelAccessible::Animation, "animation"},
    {VelAccessible::Equation, "equation"},
    {VelAccessible::ButtonDropDown, "button with drop down"},
    {VelAccessible::ButtonMenu, "button menu"},
    {VelAccessible::ButtonDropGrid, "button with drop down grid"},
    {VelAccessible::Whitespace, "space"},
    {VelAccessible::PageTabList, "page tab list"},
    {VelAccessible::Clock, "clock"},
    {VelAccessible::Splitter, "splitter"},
    {VelAccessible::LayeredPane, "layered pane"},
    {VelAccessible::Terminal, "terminal"},
    {VelAccessible::Desktop, "desktop"},
    {VelAccessible::Paragraph, "paragraph"},
    {VelAccessible::WebDocument, "web document"},
    {VelAccessible::Section, "section"},
    {VelAccessible::ColorChooser, "color chooser"},
    {VelAccessible::Footer, "footer"},
    {VelAccessible::Form, "form"},
    {VelAccessible::Heading, "heading"},
    {VelAccessible::Note, "note"},
    {VelAccessible::ComplementaryContent, "complementary content"},
};

} // namespace

VelByteArray velAccessibleRoleString(VelAccessible::Role role)
{
    for (const RoleName &entry : kRoleNames) {
        if (entry.role == role)
            return VelByteArray(entry.name);
    }
    return VelByteArray("unknown");
}
