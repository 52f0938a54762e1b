#ifndef VELANDROIDPLATFORMMENU_H
#define VELANDROIDPLATFORMMENU_H

#include "velicon.h"
#include "velmutex.h"
#include "velplatformmenu.h"
#include "velstring.h"

#include <vector>

class VelAndroidPlatformMenuItem;

// A native menu on Android: the framework's list of items and the menu's own
// text, icon and state. It pops up as an Android context menu through the
// menu bridge, and tells the bridge when it goes so that the bridge never
// hands it out again.
//
// Threads: the framework calls every operation on the GUI thread. The item
// list is guarded by its mutex because the bridge copies it there too; the
// mutex is a leaf (lock order: after the bridge's own mutexes) and nothing
// here calls the bridge while holding it.
class VelAndroidPlatformMenu : public VelPlatformMenu
{
public:
    using PlatformMenuItemList = std::vector<VelAndroidPlatformMenuItem *>;

    VelAndroidPlatformMenu();
    ~VelAndroidPlatformMenu() override;

    void insertMenuItem(VelPlatformMenuItem *menuItem, VelPlatformMenuItem *before) override;
    void removeMenuItem(VelPlatformMenuItem *menuItem) override;
    void syncMenuItem(VelPlatformMenuItem *menuItem) override;
    void syncSeparatorsCollapsible(bool enable) override;

    void setTag(veluintptr tag) override;
    veluintptr tag() const override;
    void setText(const VelString &text) override;
    void setIcon(const VelIcon &icon) override;
    void setEnabled(bool enabled) override;
    void setVisible(bool visible) override;

    void showPopup(const VelWindow *parentWindow, const VelPoint &position,
                   const VelPlatformMenuItem *item) override;
    VelPlatformMenuItem *menuItemAt(int position) const override;
    VelPlatformMenuItem *menuItemForTag(veluintptr tag) const override;

    VelString text() const { return m_text; }
    VelIcon icon() const { return m_icon; }
    bool isEnabled() const { return m_enabled; }
    bool isVisible() const { return m_isVisible; }
    // A copy taken under the item mutex.
    PlatformMenuItemList menuItems() const;
    VelMutex *menuItemsMutex() const { return &m_menuItemsMutex; }

private:
    PlatformMenuItemList m_menuItems; // not owned; guarded by m_menuItemsMutex
    veluint32 m_tag;
    VelString m_text;
    VelIcon m_icon;
    bool m_enabled = true;
    bool m_isVisible = true;
    mutable VelMutex m_menuItemsMutex; // guards m_menuItems; a leaf
};

#endif
