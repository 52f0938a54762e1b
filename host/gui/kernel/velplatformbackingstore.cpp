#include "velplatformbackingstore.h"

VelPlatformBackingStore::VelPlatformBackingStore(VelWindow *window) : m_window(window) {}

VelPlatformBackingStore::~VelPlatformBackingStore() = default;

bool VelPlatformBackingStore::scroll(const VelRegion &area, int dx, int dy)
{
    return false;
}

void VelPlatformBackingStore::beginPaint(const VelRegion &region) {}

void VelPlatformBackingStore::endPaint() {}
