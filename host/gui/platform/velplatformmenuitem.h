#ifndef VELPLATFORMMENUITEM_H
#define VELPLATFORMMENUITEM_H

#include "velglobal.h"
#include "velobject.h"
#include "velstring.h"

class VelFont;
class VelIcon;
class VelKeySequence;
class VelPlatformMenu;

// One entry of a native menu. Created by the platform theme
// (createPlatformMenuItem) and owned by the framework, which sets every
// property and listens for activated() and hovered(). A tag is a
// pointer-sized number the framework chooses to find the item again.
//
// The virtual operations keep this order after the object's own: platform
// items built elsewhere override them by slot.
class VelPlatformMenuItem : public VelObject
{
    VEL_OBJECT
public:
    // What a platform may do with an item (move "Quit" to its own place...).
    enum MenuRole {
        NoRole = 0,
        TextHeuristicRole = 1,
        ApplicationSpecificRole = 2,
        AboutHostRole = 3,
        AboutRole = 4,
        PreferencesRole = 5,
        QuitRole = 6
    };

    explicit VelPlatformMenuItem(VelObject *parent = nullptr);
    ~VelPlatformMenuItem() override;

    virtual void setTag(veluintptr tag) = 0;
    virtual veluintptr tag() const = 0;
    virtual void setText(const VelString &text) = 0;
    virtual void setIcon(const VelIcon &icon) = 0;
    // The submenu this item opens; not owned, null for none.
    virtual void setMenu(VelPlatformMenu *menu) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setIsSeparator(bool isSeparator) = 0;
    virtual void setFont(const VelFont &font) = 0;
    virtual void setRole(int role) = 0;
    virtual void setCheckable(bool checkable) = 0;
    virtual void setChecked(bool checked) = 0;
    virtual void setShortcut(const VelKeySequence &shortcut) = 0;
    virtual void setEnabled(bool enabled) = 0;

    // signals
    void activated();
    void hovered();
};

#endif
