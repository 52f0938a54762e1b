#include "velplatformsurface.h"

VelPlatformSurface::VelPlatformSurface(VelSurface *surface) : m_surface(surface) {}

VelPlatformSurface::~VelPlatformSurface() = default;
