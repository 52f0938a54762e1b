#ifndef VELKEYEVENT_H
#define VELKEYEVENT_H

#include "velinputevent.h"
#include "velstring.h"

// A key press or release. The native codes are what the platform reported; events built
// by the framework itself (or copied for later replay) leave them 0.
class VelKeyEvent : public VelInputEvent
{
public:
    VelKeyEvent(Type type, int key, Vel::KeyboardModifiers modifiers,
                const VelString &text = VelString(), bool autorep = false, ushort count = 1);
    VelKeyEvent(Type type, int key, Vel::KeyboardModifiers modifiers, veluint32 nativeScanCode,
                veluint32 nativeVirtualKey, veluint32 nativeModifiers,
                const VelString &text = VelString(), bool autorep = false, ushort count = 1);
    ~VelKeyEvent() override;

    int key() const { return m_key; }
    VelString text() const { return m_text; }
    bool isAutoRepeat() const { return m_autoRepeat; }
    int count() const { return int(m_count); }
    veluint32 nativeScanCode() const { return m_nativeScanCode; }
    veluint32 nativeVirtualKey() const { return m_nativeVirtualKey; }
    veluint32 nativeModifiers() const { return m_nativeModifiers; }

private:
    VelString m_text;
    int m_key;
    veluint32 m_nativeScanCode = 0;
    veluint32 m_nativeVirtualKey = 0;
    veluint32 m_nativeModifiers = 0;
    ushort m_count;
    bool m_autoRepeat;
};

#endif
