#ifndef VELINPUTEVENT_H
#define VELINPUTEVENT_H

#include "velcoreevent.h"
#include "velguinamespace.h"

// Common base of the user-input events: keyboard modifiers and a timestamp.
class VelInputEvent : public VelEvent
{
public:
    explicit VelInputEvent(Type type, Vel::KeyboardModifiers modifiers = Vel::NoModifier);
    ~VelInputEvent() override;

    Vel::KeyboardModifiers modifiers() const { return m_modifiers; }
    void setModifiers(Vel::KeyboardModifiers modifiers) { m_modifiers = modifiers; }
    ulong timestamp() const { return m_timestamp; }
    void setTimestamp(ulong timestamp) { m_timestamp = timestamp; }

private:
    Vel::KeyboardModifiers m_modifiers;
    ulong m_timestamp = 0;
};

#endif
