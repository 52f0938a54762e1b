#include "velandroidplatformaccessibility.h"

VelAndroidPlatformAccessibility::VelAndroidPlatformAccessibility() = default;

VelAndroidPlatformAccessibility::~VelAndroidPlatformAccessibility() = default;

void VelAndroidPlatformAccessibility::notifyAccessibilityUpdate(VelAccessibleEvent *)
{
    // Android asks again instead of being told.
}
