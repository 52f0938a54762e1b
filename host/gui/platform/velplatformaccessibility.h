#ifndef VELPLATFORMACCESSIBILITY_H
#define VELPLATFORMACCESSIBILITY_H

#include "velglobal.h"

#include <atomic>

class VelAccessibleEvent;
class VelObject;

// The platform's accessibility bridge, handed out by the integration
// (accessibility()), which keeps owning it. The framework reports changes of
// the accessible tree through notifyAccessibilityUpdate() while the bridge
// is active; the active flag may be set from any thread.
//
// The virtual operations keep this order: bridges built elsewhere override
// them by slot.
class VelPlatformAccessibility
{
public:
    VelPlatformAccessibility();
    virtual ~VelPlatformAccessibility();

    // Default: ignores the event.
    virtual void notifyAccessibilityUpdate(VelAccessibleEvent *event);
    // Defaults: no effect.
    virtual void setRootObject(VelObject *object);
    virtual void initialize();
    virtual void cleanup();

    bool isActive() const { return m_active.load(std::memory_order_acquire); }
    void setActive(bool active) { m_active.store(active, std::memory_order_release); }

private:
    VEL_DISABLE_COPY(VelPlatformAccessibility)

    std::atomic<bool> m_active{false};
};

#endif
