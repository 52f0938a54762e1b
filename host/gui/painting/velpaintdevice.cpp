#include "velpaintdevice.h"

VelPaintDevice::~VelPaintDevice() = default;
