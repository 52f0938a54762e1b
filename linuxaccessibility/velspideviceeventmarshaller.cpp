#include "velspideviceeventmarshaller.h"

#include "veldbusmetatype.h"

namespace
{
// The form the registry's NotifyListenersSync accepts: the record as a
// structure of (uint, int, int, int, int, string, bool), sent as the call's
// only argument. The registry's own introspection data advertises
// "(uiuuisb)", but the registry refuses a call written that way, and it
// refuses the structure wrapped in a D-Bus variant too; the older
// "(uinnisb)" is accepted but cannot carry codes above 16 bits.
const char deviceEventSignature[] = "(uiiiisb)";
} // namespace

VelDBusArgument &operator<<(VelDBusArgument &argument, const VelSpiDeviceEvent &event)
{
    argument.beginStructure();
    argument << uint(event.eventKind) << int(event.virtualKey) << int(event.scanCode)
             << int(event.nativeModifierBits) << int(event.timeStamp) << event.keyText
             << event.hasText;
    argument.endStructure();
    return argument;
}

const VelDBusArgument &operator>>(const VelDBusArgument &argument, VelSpiDeviceEvent &event)
{
    uint kind = 0;
    int virtualKey = 0;
    int scanCode = 0;
    int modifiers = 0;
    int timeStamp = 0;
    argument.beginStructure();
    argument >> kind >> virtualKey >> scanCode >> modifiers >> timeStamp >> event.keyText >>
        event.hasText;
    argument.endStructure();
    event.eventKind = kind;
    event.virtualKey = virtualKey;
    event.scanCode = scanCode;
    event.nativeModifierBits = modifiers;
    event.timeStamp = timeStamp;
    return argument;
}

void velSpiRegisterDeviceEventMarshaller()
{
    velDBusRegisterMetaType<VelSpiDeviceEvent>(deviceEventSignature);
}
