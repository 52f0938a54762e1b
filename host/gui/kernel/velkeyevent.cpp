#include "velkeyevent.h"

VelKeyEvent::VelKeyEvent(Type type, int key, Vel::KeyboardModifiers modifiers,
                         const VelString &text, bool autorep, ushort count)
    : VelInputEvent(type, modifiers), m_text(text), m_key(key), m_count(count),
      m_autoRepeat(autorep)
{
}

VelKeyEvent::VelKeyEvent(Type type, int key, Vel::KeyboardModifiers modifiers,
                         veluint32 nativeScanCode, veluint32 nativeVirtualKey,
                         veluint32 nativeModifiers, const VelString &text, bool autorep,
                         ushort count)
    : VelInputEvent(type, modifiers), m_text(text), m_key(key), m_nativeScanCode(nativeScanCode),
      m_nativeVirtualKey(nativeVirtualKey), m_nativeModifiers(nativeModifiers), m_count(count),
      m_autoRepeat(autorep)
{
}

VelKeyEvent::~VelKeyEvent() = default;
