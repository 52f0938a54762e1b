#ifndef VELTOUCHDEVICE_H
#define VELTOUCHDEVICE_H

#include "velstring.h"

#include <vector>

// Describes a touch-capable input device. Platform plugins create one, register it with
// VelWindowSystemInterface::registerTouchDevice before its first touch event and keep it
// for the life of the process; the framework never deletes a registered device.
class VelTouchDevice
{
public:
    enum DeviceType { TouchScreen = 0, TouchPad = 1 };
    enum CapabilityFlag : uint {
        Position = 0x0001,
        Area = 0x0002,
        Pressure = 0x0004,
        Velocity = 0x0008,
        RawPositions = 0x0010,
        NormalizedPosition = 0x0020,
    };
    using Capabilities = uint;

    VelTouchDevice();
    ~VelTouchDevice();
    VEL_DISABLE_COPY(VelTouchDevice)

    VelString name() const { return m_name; }
    void setName(const VelString &name) { m_name = name; }
    DeviceType type() const { return m_type; }
    void setType(DeviceType type) { m_type = type; }
    Capabilities capabilities() const { return m_capabilities; }
    void setCapabilities(Capabilities capabilities) { m_capabilities = capabilities; }

    // The devices registered so far, in registration order.
    static std::vector<const VelTouchDevice *> devices();

private:
    VelString m_name;
    DeviceType m_type = TouchScreen;
    Capabilities m_capabilities = Position;
};

#endif
