#include "velmenubar.h"

#include "velaction.h"
#include "velguiapplication.h"
#include "velmenu.h"
#include "velplatformmenu.h"
#include "velplatformmenubar.h"
#include "velplatformtheme.h"
#include "velpoint.h"

#include <algorithm>

struct VelMenuBar::Entry {
    VelMenu *menu = nullptr;
    VelObject::Connection changed;
    VelObject::Connection destroyed;
};

VEL_META_BEGIN(VelMenuBar, VelObject)
VEL_META_END

VelMenuBar::VelMenuBar(VelObject *parent, VelPlatformTheme *theme)
    : VelObject(parent), m_theme(theme ? theme : VelGuiApplication::platformTheme())
{
    if (m_theme)
        m_platformMenuBar.reset(m_theme->createPlatformMenuBar());
}

VelMenuBar::~VelMenuBar()
{
    for (auto &entry : m_entries)
        release(*entry);
    m_entries.clear();
    m_platformMenuBar.reset();
}

std::vector<std::unique_ptr<VelMenuBar::Entry>>::iterator VelMenuBar::findEntry(const VelMenu *menu)
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [menu](const std::unique_ptr<Entry> &e) { return e->menu == menu; });
}

void VelMenuBar::addMenu(VelMenu *menu)
{
    insertMenu(nullptr, menu);
}

VelMenu *VelMenuBar::addMenu(const VelString &title)
{
    auto menu = new VelMenu(title, this, m_theme);
    addMenu(menu);
    return menu;
}

VelMenu *VelMenuBar::menuAfter(std::size_t index) const
{
    for (std::size_t i = index; i < m_entries.size(); ++i) {
        if (m_entries[i]->menu->platformMenu())
            return m_entries[i]->menu;
    }
    return nullptr;
}

void VelMenuBar::insertMenu(VelMenu *before, VelMenu *menu)
{
    if (!menu)
        return;
    if (findEntry(menu) != m_entries.end())
        removeMenu(menu);
    auto pos = before ? findEntry(before) : m_entries.end();
    const std::size_t index = std::size_t(pos - m_entries.begin());
    auto entry = std::make_unique<Entry>();
    entry->menu = menu;
    VelAction *menuAction = menu->menuAction();
    entry->changed = VelObject::connect(menuAction, &VelAction::changed, this, [this, menu]() {
        if (m_platformMenuBar && menu->platformMenu() && findEntry(menu) != m_entries.end())
            m_platformMenuBar->syncMenu(menu->platformMenu());
    });
    // A menu drops its menu action first when it is deleted, while its
    // platform menu still exists: the bar lets go of it then.
    entry->destroyed = VelObject::connect(menuAction, &VelObject::destroyed, this,
                                          [this, menu]() { removeMenu(menu); });
    m_entries.insert(m_entries.begin() + velptrdiff(index), std::move(entry));
    if (m_platformMenuBar && menu->platformMenu()) {
        VelMenu *next = menuAfter(index + 1);
        m_platformMenuBar->insertMenu(menu->platformMenu(), next ? next->platformMenu() : nullptr);
    }
}

void VelMenuBar::release(Entry &entry)
{
    VelObject::disconnect(entry.changed);
    VelObject::disconnect(entry.destroyed);
    if (m_platformMenuBar && entry.menu->platformMenu())
        m_platformMenuBar->removeMenu(entry.menu->platformMenu());
}

void VelMenuBar::removeMenu(VelMenu *menu)
{
    auto it = findEntry(menu);
    if (it == m_entries.end())
        return;
    std::unique_ptr<Entry> entry = std::move(*it);
    m_entries.erase(it);
    release(*entry);
}

std::vector<VelMenu *> VelMenuBar::menus() const
{
    std::vector<VelMenu *> result;
    for (const auto &entry : m_entries)
        result.push_back(entry->menu);
    return result;
}

void VelMenuBar::setWindow(VelWindow *window)
{
    m_window = window;
    if (m_platformMenuBar)
        m_platformMenuBar->handleReparent(window);
}
