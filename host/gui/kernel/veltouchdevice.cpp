#include "veltouchdevice.h"

VelTouchDevice::VelTouchDevice() = default;

VelTouchDevice::~VelTouchDevice() = default;

#include "veltouchdevice_p.h"

#include <algorithm>
#include <mutex>

namespace
{
// Guards registeredDevices(); a leaf lock, nothing else is taken while it is held.
std::mutex &registryMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<const VelTouchDevice *> &registeredDevices()
{
    static std::vector<const VelTouchDevice *> devices;
    return devices;
}
} // namespace

std::vector<const VelTouchDevice *> VelTouchDevice::devices()
{
    std::lock_guard<std::mutex> lock(registryMutex());
    return registeredDevices();
}

bool velRegisterTouchDevice(const VelTouchDevice *device)
{
    if (!device)
        return false;
    std::lock_guard<std::mutex> lock(registryMutex());
    auto &devices = registeredDevices();
    if (std::find(devices.begin(), devices.end(), device) != devices.end())
        return false;
    devices.push_back(device);
    return true;
}

bool velIsTouchDeviceRegistered(const VelTouchDevice *device)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    const auto &devices = registeredDevices();
    return std::find(devices.begin(), devices.end(), device) != devices.end();
}
