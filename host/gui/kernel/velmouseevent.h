#ifndef VELMOUSEEVENT_H
#define VELMOUSEEVENT_H

#include "velinputevent.h"
#include "velpointf.h"

// A mouse press, release, double click or move. localPos is relative to the receiving
// window, windowPos to its top-level window, screenPos to the virtual desktop.
class VelMouseEvent : public VelInputEvent
{
public:
    VelMouseEvent(Type type, const VelPointF &localPos, Vel::MouseButton button,
                  Vel::MouseButtons buttons, Vel::KeyboardModifiers modifiers);
    VelMouseEvent(Type type, const VelPointF &localPos, const VelPointF &screenPos,
                  Vel::MouseButton button, Vel::MouseButtons buttons,
                  Vel::KeyboardModifiers modifiers);
    VelMouseEvent(Type type, const VelPointF &localPos, const VelPointF &windowPos,
                  const VelPointF &screenPos, Vel::MouseButton button, Vel::MouseButtons buttons,
                  Vel::KeyboardModifiers modifiers);
    ~VelMouseEvent() override;

    const VelPointF &localPos() const { return m_localPos; }
    const VelPointF &windowPos() const { return m_windowPos; }
    const VelPointF &screenPos() const { return m_screenPos; }
    VelPoint pos() const { return m_localPos.toPoint(); }
    VelPoint globalPos() const { return m_screenPos.toPoint(); }
    int x() const { return pos().x(); }
    int y() const { return pos().y(); }
    Vel::MouseButton button() const { return m_button; }
    Vel::MouseButtons buttons() const { return m_buttons; }

private:
    VelPointF m_localPos;
    VelPointF m_windowPos;
    VelPointF m_screenPos;
    Vel::MouseButton m_button;
    Vel::MouseButtons m_buttons;
};

#endif
