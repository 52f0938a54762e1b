#include "velsurface.h"

VelSurface::VelSurface(SurfaceClass surfaceClass) : m_class(surfaceClass) {}

VelSurface::~VelSurface() = default;
