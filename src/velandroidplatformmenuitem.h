#ifndef VELANDROIDPLATFORMMENUITEM_H
#define VELANDROIDPLATFORMMENUITEM_H

#include "velicon.h"
#include "velplatformmenuitem.h"
#include "velstring.h"

class VelPlatformMenu;

// One entry of a native menu on Android: a holder of what the framework sets.
// The menu bridge reads it on the GUI thread when Android asks for a menu; it
// has no link back to the bridge.
//
// A submenu follows the item's text, icon, visibility and enabled state, so
// that it shows the way its entry does when it pops up as a context menu.
class VelAndroidPlatformMenuItem : public VelPlatformMenuItem
{
public:
    VelAndroidPlatformMenuItem();

    void setTag(veluintptr tag) override;
    veluintptr tag() const override;
    void setText(const VelString &text) override;
    void setIcon(const VelIcon &icon) override;
    void setMenu(VelPlatformMenu *menu) override;
    void setVisible(bool visible) override;
    void setIsSeparator(bool isSeparator) override;
    void setFont(const VelFont &font) override;
    void setRole(int role) override;
    void setCheckable(bool checkable) override;
    void setChecked(bool checked) override;
    void setShortcut(const VelKeySequence &shortcut) override;
    void setEnabled(bool enabled) override;

    VelString text() const { return m_text; }
    VelIcon icon() const { return m_icon; }
    VelPlatformMenu *menu() const { return m_menu; }
    bool isVisible() const { return m_isVisible; }
    bool isSeparator() const { return m_isSeparator; }
    int role() const { return m_role; }
    bool isCheckable() const { return m_isCheckable; }
    bool isChecked() const { return m_isChecked; }
    bool isEnabled() const { return m_isEnabled; }

private:
    // Android item ids are 32 bits; see VelAndroidMenu::newTag for why the
    // first tag is not the object's address.
    veluint32 m_tag;
    VelString m_text;
    VelIcon m_icon;
    VelPlatformMenu *m_menu = nullptr; // the submenu; not owned
    bool m_isVisible = true;
    bool m_isSeparator = false;
    int m_role = NoRole;
    bool m_isCheckable = false;
    bool m_isChecked = false;
    bool m_isEnabled = true;
};

#endif
