#include "velexposeevent.h"

VelExposeEvent::VelExposeEvent(const VelRegion &region) : VelEvent(Expose), m_region(region) {}

VelExposeEvent::~VelExposeEvent() = default;
