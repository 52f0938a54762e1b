#ifndef VELSPIDEVICEEVENTMARSHALLER_H
#define VELSPIDEVICEEVENTMARSHALLER_H

#include "veldbusargument.h"
#include "velspideviceevent.h"

VelDBusArgument &operator<<(VelDBusArgument &argument, const VelSpiDeviceEvent &event);
const VelDBusArgument &operator>>(const VelDBusArgument &argument, VelSpiDeviceEvent &event);

// Gives the device-event record its D-Bus form. The code that creates a
// VelSpiApplicationAdaptor calls it first: without it the adaptor cannot
// write its calls, and every key is delivered without asking the registry.
void velSpiRegisterDeviceEventMarshaller();

#endif
