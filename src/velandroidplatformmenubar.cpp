#include "velandroidplatformmenubar.h"

#include "androidjnimenu.h"
#include "velandroidplatformmenu.h"

#include <algorithm>

VelAndroidPlatformMenuBar::VelAndroidPlatformMenuBar()
{
    VelAndroidMenu::addMenuBar(this);
}

VelAndroidPlatformMenuBar::~VelAndroidPlatformMenuBar()
{
    VelAndroidMenu::removeMenuBar(this);
}

void VelAndroidPlatformMenuBar::insertMenu(VelPlatformMenu *menu, VelPlatformMenu *before)
{
    auto *androidMenu = static_cast<VelAndroidPlatformMenu *>(menu);
    VelMutexLocker lock(&m_menusListMutex);
    const auto position =
        std::find(m_menus.begin(), m_menus.end(), static_cast<VelAndroidPlatformMenu *>(before));
    m_menus.insert(before ? position : m_menus.end(), androidMenu);
}

void VelAndroidPlatformMenuBar::removeMenu(VelPlatformMenu *menu)
{
    VelMutexLocker lock(&m_menusListMutex);
    const auto position =
        std::find(m_menus.begin(), m_menus.end(), static_cast<VelAndroidPlatformMenu *>(menu));
    if (position != m_menus.end())
        m_menus.erase(position);
}

void VelAndroidPlatformMenuBar::syncMenu(VelPlatformMenu *menu)
{
    VelAndroidMenu::syncMenu(static_cast<VelAndroidPlatformMenu *>(menu));
}

void VelAndroidPlatformMenuBar::handleReparent(VelWindow *newParentWindow)
{
    if (m_parentWindow.data() == newParentWindow)
        return;
    m_parentWindow = newParentWindow;
    VelAndroidMenu::setMenuBar(this, newParentWindow);
}

VelPlatformMenu *VelAndroidPlatformMenuBar::menuForTag(veluintptr tag) const
{
    for (VelAndroidPlatformMenu *menu : menus()) {
        if (menu->tag() == tag)
            return menu;
    }
    return nullptr;
}

VelAndroidPlatformMenuBar::PlatformMenusType VelAndroidPlatformMenuBar::menus() const
{
    VelMutexLocker lock(&m_menusListMutex);
    return m_menus;
}
