#ifndef VELFOCUSEVENT_H
#define VELFOCUSEVENT_H

#include "velcoreevent.h"
#include "velguinamespace.h"

// FocusIn or FocusOut, with the reason the focus moved.
class VelFocusEvent : public VelEvent
{
public:
    explicit VelFocusEvent(Type type, Vel::FocusReason reason = Vel::OtherFocusReason);
    ~VelFocusEvent() override;

    bool gotFocus() const { return type() == FocusIn; }
    bool lostFocus() const { return type() == FocusOut; }
    Vel::FocusReason reason() const { return m_reason; }

private:
    Vel::FocusReason m_reason;
};

#endif
