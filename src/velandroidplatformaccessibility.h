#ifndef VELANDROIDPLATFORMACCESSIBILITY_H
#define VELANDROIDPLATFORMACCESSIBILITY_H

#include "velplatformaccessibility.h"

// The platform accessibility of Android. Android's accessibility services ask
// for the tree whenever they need it (through the accessibility bridge), so
// changes are never pushed: the object only carries the active flag.
class VelAndroidPlatformAccessibility : public VelPlatformAccessibility
{
public:
    VelAndroidPlatformAccessibility();
    ~VelAndroidPlatformAccessibility() override;

    void notifyAccessibilityUpdate(VelAccessibleEvent *event) override;
};

#endif
