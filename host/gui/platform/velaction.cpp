#include "velaction.h"

VEL_META_BEGIN(VelAction, VelObject)
VEL_META_SIGNAL(changed)
VEL_META_SIGNAL(triggered, bool)
VEL_META_SIGNAL(toggled, bool)
VEL_META_SIGNAL(hovered)
VEL_META_SLOT(trigger)
VEL_META_SLOT(hover)
VEL_META_END

VelAction::VelAction(VelObject *parent) : VelObject(parent) {}

VelAction::VelAction(const VelString &text, VelObject *parent) : VelObject(parent), m_text(text) {}

VelAction::~VelAction() = default;

void VelAction::setText(const VelString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    changed();
}

void VelAction::setIcon(const VelIcon &icon)
{
    m_icon = icon;
    changed();
}

void VelAction::setShortcut(const VelKeySequence &shortcut)
{
    if (shortcut == m_shortcut)
        return;
    m_shortcut = shortcut;
    changed();
}

void VelAction::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    changed();
}

void VelAction::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    changed();
}

void VelAction::setCheckable(bool checkable)
{
    if (checkable == m_checkable)
        return;
    m_checkable = checkable;
    if (!checkable && m_checked) {
        m_checked = false;
        toggled(false);
    }
    changed();
}

void VelAction::setChecked(bool checked)
{
    if (!m_checkable || checked == m_checked)
        return;
    m_checked = checked;
    changed();
    toggled(checked);
}

void VelAction::setSeparator(bool separator)
{
    if (separator == m_separator)
        return;
    m_separator = separator;
    changed();
}

void VelAction::setMenuRole(int role)
{
    if (role == m_menuRole)
        return;
    m_menuRole = role;
    changed();
}

void VelAction::trigger()
{
    if (!m_enabled || m_separator)
        return;
    if (m_checkable)
        setChecked(!m_checked);
    triggered(m_checked);
}

void VelAction::hover()
{
    if (m_enabled)
        hovered();
}

void VelAction::changed()
{
    VEL_EMIT(changed);
}
void VelAction::triggered(bool checked)
{
    VEL_EMIT(triggered, checked);
}
void VelAction::toggled(bool checked)
{
    VEL_EMIT(toggled, checked);
}
void VelAction::hovered()
{
    VEL_EMIT(hovered);
}
