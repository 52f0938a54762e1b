#ifndef VELMENUBAR_H
#define VELMENUBAR_H

#include "velobject.h"

#include <memory>
#include <vector>

class VelAction;
class VelMenu;
class VelPlatformMenuBar;
class VelPlatformTheme;
class VelWindow;

// The menu bar of a top-level window, shown natively through the platform
// theme's menu bar. It owns its platform menu bar; menus added with
// addMenu(menu) stay owned by their parent, addMenu(title) creates a child.
class VelMenuBar : public VelObject
{
    VEL_OBJECT
public:
    // theme: the platform theme to ask; null means the GUI application's.
    explicit VelMenuBar(VelObject *parent = nullptr, VelPlatformTheme *theme = nullptr);
    ~VelMenuBar() override;

    void addMenu(VelMenu *menu);
    VelMenu *addMenu(const VelString &title);
    // Inserts before `before`, or at the end when it is null or not here.
    void insertMenu(VelMenu *before, VelMenu *menu);
    void removeMenu(VelMenu *menu);
    std::vector<VelMenu *> menus() const;

    // The top-level window the bar belongs to (may be null).
    void setWindow(VelWindow *window);
    VelWindow *window() const { return m_window; }

    VelPlatformMenuBar *platformMenuBar() const { return m_platformMenuBar.get(); }

private:
    struct Entry;
    std::vector<std::unique_ptr<Entry>>::iterator findEntry(const VelMenu *menu);
    VelMenu *menuAfter(std::size_t index) const;
    void release(Entry &entry);

    VelPlatformTheme *m_theme; // not owned
    std::unique_ptr<VelPlatformMenuBar> m_platformMenuBar;
    std::vector<std::unique_ptr<Entry>> m_entries;
    VelWindow *m_window = nullptr;
};

#endif
