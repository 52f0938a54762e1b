#include "velresizeevent.h"

VelResizeEvent::VelResizeEvent(const VelSize &size, const VelSize &oldSize)
    : VelEvent(Resize), m_size(size), m_oldSize(oldSize)
{
}

VelResizeEvent::~VelResizeEvent() = default;
