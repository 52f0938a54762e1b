#ifndef VELTOUCHEVENT_H
#define VELTOUCHEVENT_H

#include "velinputevent.h"
#include "velpointf.h"
#include "velrectf.h"
#include "velvector2d.h"

#include <vector>

class VelTouchDevice;
class VelWindow;

// A touch sequence step: TouchBegin when the first finger lands, TouchUpdate while fingers
// move, TouchEnd when the last one lifts.
class VelTouchEvent : public VelInputEvent
{
public:
    struct TouchPoint {
        int id = -1;
        Vel::TouchPointState state = Vel::TouchPointStationary;
        VelPointF pos;           // relative to the receiving window
        VelPointF screenPos;     // centre of the contact area on the desktop
        VelPointF normalizedPos; // 0..1 across the device
        VelRectF screenRect;     // contact area on the desktop
        double pressure = 1.0;
        VelVector2D velocity;
        uint flags = 0;
        std::vector<VelPointF> rawScreenPositions;
    };

    VelTouchEvent(Type type, VelTouchDevice *device, Vel::KeyboardModifiers modifiers,
                  Vel::TouchPointStates touchPointStates, const std::vector<TouchPoint> &points);
    ~VelTouchEvent() override;

    VelTouchDevice *device() const { return m_device; }
    VelWindow *window() const { return m_window; }
    void setWindow(VelWindow *window) { m_window = window; }
    Vel::TouchPointStates touchPointStates() const { return m_states; }
    const std::vector<TouchPoint> &touchPoints() const { return m_points; }

private:
    VelTouchDevice *m_device;
    VelWindow *m_window = nullptr;
    Vel::TouchPointStates m_states;
    std::vector<TouchPoint> m_points;
};

#endif
