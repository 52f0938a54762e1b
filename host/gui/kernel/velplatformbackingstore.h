#ifndef VELPLATFORMBACKINGSTORE_H
#define VELPLATFORMBACKINGSTORE_H

#include "velpoint.h"
#include "velregion.h"
#include "velsize.h"

class VelPaintDevice;
class VelWindow;

// The pixels of a raster window, made by the integration's createPlatformBackingStore.
// The painting code owns it and deletes it before its window.
class VelPlatformBackingStore
{
public:
    explicit VelPlatformBackingStore(VelWindow *window);
    virtual ~VelPlatformBackingStore();
    VEL_DISABLE_COPY(VelPlatformBackingStore)

    VelWindow *window() const { return m_window; }

    virtual VelPaintDevice *paintDevice() = 0;
    // Shows region (in window coordinates) of the window; offset is where the window lies
    // within the backing store.
    virtual void flush(VelWindow *window, const VelRegion &region, const VelPoint &offset) = 0;
    virtual void resize(const VelSize &size, const VelRegion &staticContents) = 0;
    // Default: false, the caller repaints the area instead.
    virtual bool scroll(const VelRegion &area, int dx, int dy);
    // Default: nothing to prepare.
    virtual void beginPaint(const VelRegion &region);
    // Default: nothing to finish.
    virtual void endPaint();

private:
    VelWindow *m_window; // not owned
};

#endif
