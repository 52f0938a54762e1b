#ifndef VELTOUCHDEVICE_P_H
#define VELTOUCHDEVICE_P_H

class VelTouchDevice;

// Adds the device to the registry; false for null or an already registered device.
bool velRegisterTouchDevice(const VelTouchDevice *device);
bool velIsTouchDeviceRegistered(const VelTouchDevice *device);

#endif
