#ifndef VELSPIDEVICEEVENT_H
#define VELSPIDEVICEEVENT_H

#include "velglobal.h"
#include "velmetatype.h"
#include "velstring.h"

// What the accessibility registry is told about one key: the fields in the
// order they travel.
struct VelSpiDeviceEvent {
    veluint32 eventKind = 0; // 0 press, 1 release
    velint32 virtualKey = 0;
    velint32 scanCode = 0;
    velint32 nativeModifierBits = 0;
    velint32 timeStamp = 0; // milliseconds since the epoch, low 32 bits
    VelString keyText;
    bool hasText = false;

    friend bool operator==(const VelSpiDeviceEvent &a, const VelSpiDeviceEvent &b)
    {
        return a.eventKind == b.eventKind && a.virtualKey == b.virtualKey &&
               a.scanCode == b.scanCode && a.nativeModifierBits == b.nativeModifierBits &&
               a.timeStamp == b.timeStamp && a.keyText == b.keyText && a.hasText == b.hasText;
    }
};

VEL_DECLARE_METATYPE(VelSpiDeviceEvent)

#endif
