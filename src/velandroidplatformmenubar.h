#ifndef VELANDROIDPLATFORMMENUBAR_H
#define VELANDROIDPLATFORMMENUBAR_H

#include "velmutex.h"
#include "velplatformmenubar.h"
#include "velpointer.h"
#include "velwindow.h"

#include <vector>

class VelAndroidPlatformMenu;

// The menu bar of a top-level window on Android. The menu bridge knows every
// bar for exactly its lifetime; the bar of the active top-level window becomes
// the Android options menu.
//
// Threads: the framework calls every operation on the GUI thread. The menu
// list is guarded by its mutex because the bridge copies it there too; the
// mutex is a leaf (lock order: after the bridge's own mutexes) and nothing
// here calls the bridge while holding it.
class VelAndroidPlatformMenuBar : public VelPlatformMenuBar
{
public:
    using PlatformMenusType = std::vector<VelAndroidPlatformMenu *>;

    VelAndroidPlatformMenuBar();
    ~VelAndroidPlatformMenuBar() override;

    void insertMenu(VelPlatformMenu *menu, VelPlatformMenu *before) override;
    void removeMenu(VelPlatformMenu *menu) override;
    void syncMenu(VelPlatformMenu *menu) override;
    void handleReparent(VelWindow *newParentWindow) override;
    VelPlatformMenu *menuForTag(veluintptr tag) const override;

    // Null once the window is gone: a new window at the same address is not
    // this bar's window.
    VelWindow *parentWindow() const { return m_parentWindow.data(); }
    // A copy taken under the menu-list mutex.
    PlatformMenusType menus() const;
    VelMutex *menusListMutex() const { return &m_menusListMutex; }

private:
    PlatformMenusType m_menus; // not owned; guarded by m_menusListMutex
    VelPointer<VelWindow> m_parentWindow;
    mutable VelMutex m_menusListMutex; // guards m_menus; a leaf
};

#endif
