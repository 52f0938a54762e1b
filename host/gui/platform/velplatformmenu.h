#ifndef VELPLATFORMMENU_H
#define VELPLATFORMMENU_H

#include "velglobal.h"
#include "velobject.h"
#include "velpoint.h"
#include "velstring.h"

class VelFont;
class VelIcon;
class VelPlatformMenuItem;
class VelWindow;

// A native menu. Created by the platform theme (createPlatformMenu) and owned
// by the framework. Its list holds items it does not own; the framework
// removes an item before deleting it.
//
// The virtual operations keep this order after the object's own: platform
// menus built elsewhere override them by slot.
class VelPlatformMenu : public VelObject
{
    VEL_OBJECT
public:
    explicit VelPlatformMenu(VelObject *parent = nullptr);
    ~VelPlatformMenu() override;

    // Inserts before `before`, or at the end when it is null or not listed.
    virtual void insertMenuItem(VelPlatformMenuItem *menuItem, VelPlatformMenuItem *before) = 0;
    virtual void removeMenuItem(VelPlatformMenuItem *menuItem) = 0;
    // The framework changed a property of an item already in the menu.
    virtual void syncMenuItem(VelPlatformMenuItem *menuItem) = 0;
    virtual void syncSeparatorsCollapsible(bool enable) = 0;

    virtual void setTag(veluintptr tag) = 0;
    virtual veluintptr tag() const = 0;
    virtual void setText(const VelString &text) = 0;
    virtual void setIcon(const VelIcon &icon) = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setVisible(bool visible) = 0;
    // Defaults: no effect.
    virtual void setMinimumWidth(int width);
    virtual void setFont(const VelFont &font);

    // Pops the menu up at `position` (global pixels) over `parentWindow`,
    // with `item` under the pointer when given; both may be null.
    virtual void showPopup(const VelWindow *parentWindow, const VelPoint &position,
                           const VelPlatformMenuItem *item) = 0;
    // Null for a position outside 0 .. count-1.
    virtual VelPlatformMenuItem *menuItemAt(int position) const = 0;
    // The first item with that tag, or null.
    virtual VelPlatformMenuItem *menuItemForTag(veluintptr tag) const = 0;

    // signals
    void aboutToShow();
    void aboutToHide();
};

#endif
