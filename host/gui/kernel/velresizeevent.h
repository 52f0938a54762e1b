#ifndef VELRESIZEEVENT_H
#define VELRESIZEEVENT_H

#include "velcoreevent.h"
#include "velsize.h"

class VelResizeEvent : public VelEvent
{
public:
    VelResizeEvent(const VelSize &size, const VelSize &oldSize);
    ~VelResizeEvent() override;

    const VelSize &size() const { return m_size; }
    const VelSize &oldSize() const { return m_oldSize; }

private:
    VelSize m_size;
    VelSize m_oldSize;
};

#endif
