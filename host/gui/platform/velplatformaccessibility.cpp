#include "velplatformaccessibility.h"

VelPlatformAccessibility::VelPlatformAccessibility() = default;

VelPlatformAccessibility::~VelPlatformAccessibility() = default;

void VelPlatformAccessibility::notifyAccessibilityUpdate(VelAccessibleEvent *) {}

void VelPlatformAccessibility::setRootObject(VelObject *) {}

void VelPlatformAccessibility::initialize() {}

void VelPlatformAccessibility::cleanup() {}
