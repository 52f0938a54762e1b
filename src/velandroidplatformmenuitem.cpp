#include "velandroidplatformmenuitem.h"

#include "androidjnimenu.h"

#include "velplatformmenu.h"

VelAndroidPlatformMenuItem::VelAndroidPlatformMenuItem() : m_tag(VelAndroidMenu::newTag()) {}

void VelAndroidPlatformMenuItem::setTag(veluintptr tag)
{
    m_tag = veluint32(tag);
}

veluintptr VelAndroidPlatformMenuItem::tag() const
{
    return m_tag;
}

void VelAndroidPlatformMenuItem::setText(const VelString &text)
{
    m_text = text;
    if (m_menu)
        m_menu->setText(text);
}

void VelAndroidPlatformMenuItem::setIcon(const VelIcon &icon)
{
    m_icon = icon;
    if (m_menu)
        m_menu->setIcon(icon);
}

void VelAndroidPlatformMenuItem::setMenu(VelPlatformMenu *menu)
{
    m_menu = menu;
    if (!m_menu)
        return;
    m_menu->setText(m_text);
    m_menu->setIcon(m_icon);
    m_menu->setVisible(m_isVisible);
    m_menu->setEnabled(m_isEnabled);
}

void VelAndroidPlatformMenuItem::setVisible(bool visible)
{
    m_isVisible = visible;
    if (m_menu)
        m_menu->setVisible(visible);
}

void VelAndroidPlatformMenuItem::setIsSeparator(bool isSeparator)
{
    m_isSeparator = isSeparator;
}

void VelAndroidPlatformMenuItem::setFont(const VelFont &) {}

void VelAndroidPlatformMenuItem::setRole(int role)
{
    m_role = role;
}

void VelAndroidPlatformMenuItem::setCheckable(bool checkable)
{
    m_isCheckable = checkable;
}

void VelAndroidPlatformMenuItem::setChecked(bool checked)
{
    m_isChecked = checked;
}

void VelAndroidPlatformMenuItem::setShortcut(const VelKeySequence &) {}

void VelAndroidPlatformMenuItem::setEnabled(bool enabled)
{
    m_isEnabled = enabled;
    if (m_menu)
        m_menu->setEnabled(enabled);
}
