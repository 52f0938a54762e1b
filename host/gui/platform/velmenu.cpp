#include "velmenu.h"

#include "velaction.h"
#include "velguiapplication.h"
#include "velplatformmenu.h"
#include "velplatformmenuitem.h"
#include "velplatformtheme.h"
#include "velpoint.h"
#include "velpointer.h"

#include <algorithm>
#include <atomic>

namespace
{

// Tags are small numbers unique in the process rather than addresses: a
// platform may carry them in 32-bit ids (64-bit addresses would not fit).
veluintptr nextTag()
{
    static std::atomic<veluint32> counter{0};
    veluint32 tag = ++counter;
    if (tag == 0 || tag == 0xffffffffu) // 0 means "no tag", all-ones is -1 in 32-bit ids
        tag = ++counter;
    return tag;
}

VelPlatformTheme *resolveTheme(VelPlatformTheme *theme)
{
    return theme ? theme : VelGuiApplication::platformTheme();
}

} // namespace

struct VelMenu::Entry {
    VelAction *action = nullptr;
    std::unique_ptr<VelPlatformMenuItem> item;
    VelObject::Connection changed;
    VelObject::Connection destroyed;
    VelObject::Connection activated;
    VelObject::Connection hovered;
};

VEL_META_BEGIN(VelMenu, VelObject)
VEL_META_SIGNAL(aboutToShow)
VEL_META_SIGNAL(aboutToHide)
VEL_META_SIGNAL(triggered, VelAction *)
VEL_META_SIGNAL(hovered, VelAction *)
VEL_META_END

VelMenu::VelMenu(VelObject *parent, VelPlatformTheme *theme)
    : VelObject(parent), m_theme(resolveTheme(theme))
{
    init(VelString());
}

VelMenu::VelMenu(const VelString &title, VelObject *parent, VelPlatformTheme *theme)
    : VelObject(parent), m_theme(resolveTheme(theme))
{
    init(title);
}

void VelMenu::init(const VelString &title)
{
    m_menuAction = new VelAction(title, this);
    m_menuAction->setMenu(this);
    if (m_theme)
        m_platformMenu.reset(m_theme->createPlatformMenu());
    if (!m_platformMenu)
        return;
    m_platformMenu->setTag(nextTag());
    m_platformMenu->setText(title);
    m_platformMenu->setEnabled(true);
    m_platformMenu->setVisible(true);
    // The platform may report from its own thread; `this` as context makes
    // the relay run on the menu's thread.
    VelObject::connect(m_platformMenu.get(), &VelPlatformMenu::aboutToShow, this,
                       [this]() { aboutToShow(); });
    VelObject::connect(m_platformMenu.get(), &VelPlatformMenu::aboutToHide, this,
                       [this]() { aboutToHide(); });
}

VelMenu::~VelMenu()
{
    // The menu action goes first: the menus and bars showing this menu drop
    // their platform entries while our platform menu still exists.
    delete m_menuAction;
    m_menuAction = nullptr;
    for (auto &entry : m_entries)
        releaseEntry(*entry);
    m_entries.clear();
    m_platformMenu.reset();
}

VelString VelMenu::title() const
{
    return m_menuAction->text();
}

void VelMenu::setTitle(const VelString &title)
{
    if (m_platformMenu)
        m_platformMenu->setText(title);
    m_menuAction->setText(title);
}

VelIcon VelMenu::icon() const
{
    return m_menuAction->icon();
}

void VelMenu::setIcon(const VelIcon &icon)
{
    if (m_platformMenu)
        m_platformMenu->setIcon(icon);
    m_menuAction->setIcon(icon);
}

bool VelMenu::isEnabled() const
{
    return m_menuAction->isEnabled();
}

void VelMenu::setEnabled(bool enabled)
{
    if (m_platformMenu)
        m_platformMenu->setEnabled(enabled);
    m_menuAction->setEnabled(enabled);
}

std::vector<std::unique_ptr<VelMenu::Entry>>::iterator VelMenu::findEntry(const VelAction *action)
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [action](const std::unique_ptr<Entry> &e) { return e->action == action; });
}

std::vector<std::unique_ptr<VelMenu::Entry>>::const_iterator
VelMenu::findEntry(const VelAction *action) const
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [action](const std::unique_ptr<Entry> &e) { return e->action == action; });
}

void VelMenu::addAction(VelAction *action)
{
    insertAction(nullptr, action);
}

VelAction *VelMenu::addAction(const VelString &text)
{
    auto action = new VelAction(text, this);
    addAction(action);
    return action;
}

VelAction *VelMenu::addSeparator()
{
    auto action = new VelAction(this);
    action->setSeparator(true);
    addAction(action);
    return action;
}

VelAction *VelMenu::addMenu(VelMenu *menu)
{
    if (!menu || menu == this)
        return nullptr;
    addAction(menu->menuAction());
    return menu->menuAction();
}

VelMenu *VelMenu::addMenu(const VelString &title)
{
    auto menu = new VelMenu(title, this, m_theme);
    addMenu(menu);
    return menu;
}

VelPlatformMenuItem *VelMenu::platformItemAfter(std::size_t index) const
{
    for (std::size_t i = index; i < m_entries.size(); ++i) {
        if (m_entries[i]->item)
            return m_entries[i]->item.get();
    }
    return nullptr;
}

void VelMenu::insertAction(VelAction *before, VelAction *action)
{
    if (!action || action == m_menuAction)
        return;
    // An action appears once; adding it again moves it.
    if (findEntry(action) != m_entries.end())
        removeAction(action);

    auto pos = before ? findEntry(before) : m_entries.end();
    const std::size_t index = std::size_t(pos - m_entries.begin());
    auto entry = std::make_unique<Entry>();
    entry->action = action;
    if (m_platformMenu)
        entry->item.reset(m_theme->createPlatformMenuItem());
    Entry &e = *entry;
    m_entries.insert(m_entries.begin() + velptrdiff(index), std::move(entry));

    e.changed = VelObject::connect(action, &VelAction::changed, this, [this, action]() {
        auto it = findEntry(action);
        if (it == m_entries.end() || !(*it)->item)
            return;
        syncPlatformItem(**it);
        m_platformMenu->syncMenuItem((*it)->item.get());
    });
    e.destroyed = VelObject::connect(action, &VelObject::destroyed, this,
                                     [this, action]() { actionDestroyed(action); });
    if (!e.item)
        return;
    e.item->setTag(nextTag());
    syncPlatformItem(e);
    e.activated =
        VelObject::connect(e.item.get(), &VelPlatformMenuItem::activated, this, [this, action]() {
            if (findEntry(action) == m_entries.end())
                return;
            VelPointer<VelMenu> guard(this);
            action->trigger();
            if (guard)
                triggered(action);
        });
    e.hovered =
        VelObject::connect(e.item.get(), &VelPlatformMenuItem::hovered, this, [this, action]() {
            if (findEntry(action) == m_entries.end())
                return;
            action->hover();
            hovered(action);
        });
    m_platformMenu->insertMenuItem(e.item.get(), platformItemAfter(index + 1));
}

void VelMenu::syncPlatformItem(Entry &entry)
{
    VelPlatformMenuItem *item = entry.item.get();
    const VelAction *action = entry.action;
    VelMenu *submenu = action->menu();
    item->setText(action->text());
    item->setIcon(action->icon());
    item->setIsSeparator(action->isSeparator());
    item->setRole(action->menuRole());
    item->setCheckable(action->isCheckable());
    item->setChecked(action->isChecked());
    item->setShortcut(action->shortcut());
    item->setMenu(submenu ? submenu->platformMenu() : nullptr);
    item->setVisible(action->isVisible());
    item->setEnabled(action->isEnabled());
}

void VelMenu::releaseEntry(Entry &entry)
{
    VelObject::disconnect(entry.changed);
    VelObject::disconnect(entry.destroyed);
    VelObject::disconnect(entry.activated);
    VelObject::disconnect(entry.hovered);
    if (entry.item) {
        // Out of the platform list before the item goes: the platform may
        // read its list from another thread.
        m_platformMenu->removeMenuItem(entry.item.get());
        entry.item.reset();
    }
}

void VelMenu::removeAction(VelAction *action)
{
    auto it = findEntry(action);
    if (it == m_entries.end())
        return;
    std::unique_ptr<Entry> entry = std::move(*it);
    m_entries.erase(it);
    releaseEntry(*entry);
}

void VelMenu::actionDestroyed(VelAction *action)
{
    removeAction(action);
}

void VelMenu::clear()
{
    // What this menu created goes with the entries; actions of others stay.
    std::vector<VelMenu *> ownedMenus;
    std::vector<VelAction *> ownedActions;
    for (const auto &entry : m_entries) {
        VelAction *action = entry->action;
        if (VelMenu *submenu = action->menu()) {
            if (submenu->parent() == this)
                ownedMenus.push_back(submenu);
        } else if (action->parent() == this) {
            ownedActions.push_back(action);
        }
    }
    while (!m_entries.empty())
        removeAction(m_entries.back()->action);
    for (VelMenu *submenu : ownedMenus)
        delete submenu;
    for (VelAction *action : ownedActions)
        delete action;
}

std::vector<VelAction *> VelMenu::actions() const
{
    std::vector<VelAction *> result;
    result.reserve(m_entries.size());
    for (const auto &entry : m_entries)
        result.push_back(entry->action);
    return result;
}

VelPlatformMenuItem *VelMenu::platformItem(const VelAction *action) const
{
    auto it = findEntry(action);
    return it == m_entries.end() ? nullptr : (*it)->item.get();
}

void VelMenu::popup(const VelWindow *parentWindow, const VelPoint &position, VelAction *atAction)
{
    if (!m_platformMenu)
        return;
    m_platformMenu->showPopup(parentWindow, position, platformItem(atAction));
}

void VelMenu::aboutToShow()
{
    VEL_EMIT(aboutToShow);
}
void VelMenu::aboutToHide()
{
    VEL_EMIT(aboutToHide);
}
void VelMenu::triggered(VelAction *action)
{
    VEL_EMIT(triggered, action);
}
void VelMenu::hovered(VelAction *action)
{
    VEL_EMIT(hovered, action);
}
