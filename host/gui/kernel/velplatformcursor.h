#ifndef VELPLATFORMCURSOR_H
#define VELPLATFORMCURSOR_H

#include "velobject.h"
#include "velpoint.h"

class VelCursor;
class VelMouseEvent;
class VelWindow;

// The pointer a platform screen draws. The application feeds it every mouse event it
// delivers and every cursor change of a window.
class VelPlatformCursor : public VelObject
{
    VEL_OBJECT
public:
    explicit VelPlatformCursor(VelObject *parent = nullptr);
    ~VelPlatformCursor() override;

    // Default: remembers the event's desktop position for pos().
    virtual void pointerEvent(const VelMouseEvent &event);
    // A null cursor means the window's cursor was unset (show the default).
    virtual void changeCursor(VelCursor *windowCursor, VelWindow *window) = 0;
    // Default: the last position seen or set.
    virtual VelPoint pos() const;
    virtual void setPos(const VelPoint &pos);

private:
    VelPoint m_pos;
};

#endif
