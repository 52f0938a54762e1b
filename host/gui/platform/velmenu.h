#ifndef VELMENU_H
#define VELMENU_H

#include "velicon.h"
#include "velmetatype.h"
#include "velobject.h"
#include "velpoint.h"
#include "velstring.h"

#include <memory>
#include <vector>

class VelAction;
class VelPlatformMenu;
class VelPlatformMenuItem;
class VelPlatformTheme;
class VelWindow;

// A menu an application builds from actions. It is shown natively: the menu
// creates its platform menu and one platform item per action through the
// platform theme, keeps them in step with the actions, and turns a platform
// item's activation into the action's trigger() and this menu's triggered().
//
// Ownership: the menu owns its platform menu and platform items; actions
// added with addAction(action) stay owned by their parent, while
// addAction(text), addSeparator() and addMenu(title) create children of this
// menu. Platform items may report from another thread: the relays run on this
// menu's thread.
class VelMenu : public VelObject
{
    VEL_OBJECT
public:
    // theme: the platform theme to ask; null means the GUI application's.
    // Without a theme (or when it offers no native menus) the menu works
    // without platform counterparts.
    explicit VelMenu(VelObject *parent = nullptr, VelPlatformTheme *theme = nullptr);
    explicit VelMenu(const VelString &title, VelObject *parent = nullptr,
                     VelPlatformTheme *theme = nullptr);
    ~VelMenu() override;

    VelString title() const;
    void setTitle(const VelString &title);
    VelIcon icon() const;
    void setIcon(const VelIcon &icon);
    bool isEnabled() const;
    void setEnabled(bool enabled);

    // The action that stands for this menu in a parent menu or a menu bar.
    VelAction *menuAction() const { return m_menuAction; }

    void addAction(VelAction *action);
    VelAction *addAction(const VelString &text);
    // Inserts before `before`, or at the end when it is null or not here.
    void insertAction(VelAction *before, VelAction *action);
    void removeAction(VelAction *action);
    VelAction *addSeparator();
    VelAction *addMenu(VelMenu *menu);
    VelMenu *addMenu(const VelString &title);
    std::vector<VelAction *> actions() const;
    void clear();

    // Pops the menu up natively; `atAction` is placed under the pointer.
    void popup(const VelWindow *parentWindow, const VelPoint &position,
               VelAction *atAction = nullptr);

    VelPlatformTheme *platformTheme() const { return m_theme; }
    VelPlatformMenu *platformMenu() const { return m_platformMenu.get(); }
    VelPlatformMenuItem *platformItem(const VelAction *action) const;

    // signals
    void aboutToShow();
    void aboutToHide();
    void triggered(VelAction *action);
    void hovered(VelAction *action);

private:
    struct Entry;
    void init(const VelString &title);
    std::vector<std::unique_ptr<Entry>>::iterator findEntry(const VelAction *action);
    std::vector<std::unique_ptr<Entry>>::const_iterator findEntry(const VelAction *action) const;
    VelPlatformMenuItem *platformItemAfter(std::size_t index) const;
    void syncPlatformItem(Entry &entry);
    void releaseEntry(Entry &entry);
    void actionDestroyed(VelAction *action);

    VelPlatformTheme *m_theme; // not owned
    std::unique_ptr<VelPlatformMenu> m_platformMenu;
    std::vector<std::unique_ptr<Entry>> m_entries;
    VelAction *m_menuAction = nullptr; // a child of this menu
};

VEL_DECLARE_METATYPE(VelAction *)

#endif
