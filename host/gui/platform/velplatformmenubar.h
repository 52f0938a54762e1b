#ifndef VELPLATFORMMENUBAR_H
#define VELPLATFORMMENUBAR_H

#include "velglobal.h"
#include "velobject.h"

class VelPlatformMenu;
class VelWindow;

// A native menu bar. Created by the platform theme (createPlatformMenuBar)
// and owned by the framework. Its list holds menus it does not own; the
// framework removes a menu before deleting it.
//
// The virtual operations keep this order after the object's own: platform
// menu bars built elsewhere override them by slot.
class VelPlatformMenuBar : public VelObject
{
    VEL_OBJECT
public:
    explicit VelPlatformMenuBar(VelObject *parent = nullptr);
    ~VelPlatformMenuBar() override;

    // Inserts before `before`, or at the end when it is null or not listed.
    virtual void insertMenu(VelPlatformMenu *menu, VelPlatformMenu *before) = 0;
    virtual void removeMenu(VelPlatformMenu *menu) = 0;
    virtual void syncMenu(VelPlatformMenu *menu) = 0;
    // The bar now belongs to this top-level window (may be null).
    virtual void handleReparent(VelWindow *newParentWindow) = 0;
    virtual VelPlatformMenu *menuForTag(veluintptr tag) const = 0;
};

#endif
