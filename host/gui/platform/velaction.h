#ifndef VELACTION_H
#define VELACTION_H

#include "velicon.h"
#include "velkeysequence.h"
#include "velobject.h"
#include "velplatformmenuitem.h"
#include "velstring.h"

class VelMenu;

// A command an application offers in menus: text, icon, check state and the
// triggered() signal. Menus show actions; they do not own the actions added
// to them (the action's parent does).
class VelAction : public VelObject
{
    VEL_OBJECT
public:
    explicit VelAction(VelObject *parent = nullptr);
    explicit VelAction(const VelString &text, VelObject *parent = nullptr);
    ~VelAction() override;

    VelString text() const { return m_text; }
    void setText(const VelString &text);
    VelIcon icon() const { return m_icon; }
    void setIcon(const VelIcon &icon);
    VelKeySequence shortcut() const { return m_shortcut; }
    void setShortcut(const VelKeySequence &shortcut);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    bool isCheckable() const { return m_checkable; }
    void setCheckable(bool checkable);
    bool isChecked() const { return m_checked; }
    // Ignored while the action is not checkable.
    void setChecked(bool checked);
    bool isSeparator() const { return m_separator; }
    void setSeparator(bool separator);
    int menuRole() const { return m_menuRole; }
    void setMenuRole(int role);

    // The menu this action opens (the menu's own menuAction()); null otherwise.
    VelMenu *menu() const { return m_menu; }

    // Does what choosing the action does: a checkable action flips its check
    // state first; nothing happens while it is disabled.
    void trigger();
    void hover();

    // signals
    void changed();
    void triggered(bool checked);
    void toggled(bool checked);
    void hovered();

private:
    friend class VelMenu;
    void setMenu(VelMenu *menu) { m_menu = menu; }

    VelString m_text;
    VelIcon m_icon;
    VelKeySequence m_shortcut;
    VelMenu *m_menu = nullptr;
    int m_menuRole = VelPlatformMenuItem::NoRole;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checkable = false;
    bool m_checked = false;
    bool m_separator = false;
};

#endif
