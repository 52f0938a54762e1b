#ifndef VELEXAMPLEBACKINGSTORE_H
#define VELEXAMPLEBACKINGSTORE_H

// The backing store of a small example's raster window: made on first use,
// resized with the window, painted and flushed whole.

#include "velguiapplication.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "velwindow.h"

#include <memory>

class VelExampleBackingStore
{
public:
    // paint(VelPaintDevice *, const VelRect &) draws the whole window.
    template <typename Paint> void render(VelWindow *window, Paint paint)
    {
        const VelRect rect(VelPoint(0, 0), window->geometry().size());
        if (rect.isEmpty() || !window->handle())
            return;
        if (!m_store)
            m_store.reset(
                VelGuiApplication::platformIntegration()->createPlatformBackingStore(window));
        if (m_storeSize != rect.size()) {
            m_store->resize(rect.size(), VelRegion());
            m_storeSize = rect.size();
        }
        m_store->beginPaint(VelRegion(rect));
        paint(m_store->paintDevice(), rect);
        m_store->endPaint();
        m_store->flush(window, VelRegion(rect), VelPoint());
    }

private:
    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

#endif
