#include "velandroidplatformmenu.h"

#include "androidjnimenu.h"
#include "velandroidplatformmenuitem.h"

#include <algorithm>

VelAndroidPlatformMenu::VelAndroidPlatformMenu() : m_tag(VelAndroidMenu::newTag()) {}

VelAndroidPlatformMenu::~VelAndroidPlatformMenu()
{
    // First, while every member still exists: the bridge forgets this menu
    // before anything of it goes.
    VelAndroidMenu::androidPlatformMenuDestroyed(this);
}

void VelAndroidPlatformMenu::insertMenuItem(VelPlatformMenuItem *menuItem,
                                            VelPlatformMenuItem *before)
{
    auto *item = static_cast<VelAndroidPlatformMenuItem *>(menuItem);
    VelMutexLocker lock(&m_menuItemsMutex);
    const auto position = std::find(m_menuItems.begin(), m_menuItems.end(),
                                    static_cast<VelAndroidPlatformMenuItem *>(before));
    m_menuItems.insert(before ? position : m_menuItems.end(), item);
}

void VelAndroidPlatformMenu::removeMenuItem(VelPlatformMenuItem *menuItem)
{
    VelMutexLocker lock(&m_menuItemsMutex);
    const auto position = std::find(m_menuItems.begin(), m_menuItems.end(),
                                    static_cast<VelAndroidPlatformMenuItem *>(menuItem));
    if (position != m_menuItems.end())
        m_menuItems.erase(position);
}

// Android menus are rebuilt from the current state each time they are shown.
void VelAndroidPlatformMenu::syncMenuItem(VelPlatformMenuItem *)
{
    VelAndroidMenu::syncMenu(this);
}

void VelAndroidPlatformMenu::syncSeparatorsCollapsible(bool) {}

void VelAndroidPlatformMenu::setTag(veluintptr tag)
{
    m_tag = veluint32(tag);
}

veluintptr VelAndroidPlatformMenu::tag() const
{
    return m_tag;
}

void VelAndroidPlatformMenu::setText(const VelString &text)
{
    m_text = text;
}

void VelAndroidPlatformMenu::setIcon(const VelIcon &icon)
{
    m_icon = icon;
}

void VelAndroidPlatformMenu::setEnabled(bool enabled)
{
    m_enabled = enabled;
}

void VelAndroidPlatformMenu::setVisible(bool visible)
{
    m_isVisible = visible;
}

void VelAndroidPlatformMenu::showPopup(const VelWindow *, const VelPoint &,
                                       const VelPlatformMenuItem *)
{
    setVisible(true);
    VelAndroidMenu::showContextMenu(this, nullptr);
}

VelPlatformMenuItem *VelAndroidPlatformMenu::menuItemAt(int position) const
{
    VelMutexLocker lock(&m_menuItemsMutex);
    if (position < 0 || position >= int(m_menuItems.size()))
        return nullptr;
    return m_menuItems[size_t(position)];
}

VelPlatformMenuItem *VelAndroidPlatformMenu::menuItemForTag(veluintptr tag) const
{
    for (VelAndroidPlatformMenuItem *item : menuItems()) {
        if (item->tag() == tag)
            return item;
    }
    return nullptr;
}

VelAndroidPlatformMenu::PlatformMenuItemList VelAndroidPlatformMenu::menuItems() const
{
    VelMutexLocker lock(&m_menuItemsMutex);
    return m_menuItems;
}
