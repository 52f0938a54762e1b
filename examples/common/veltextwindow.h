#ifndef VELTEXTWINDOW_H
#define VELTEXTWINDOW_H

// A full-screen raster window that shows lines of text, for the small
// examples. Lines change with setLines(); the window repaints itself.

#include "velcolor.h"
#include "velexposeevent.h"
#include "velfont.h"
#include "velguiapplication.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "velwindow.h"

#include <memory>
#include <vector>

class VelTextWindow : public VelWindow
{
public:
    VelTextWindow() { setSurfaceType(RasterSurface); }

    void setLines(const std::vector<VelString> &lines)
    {
        m_lines = lines;
        if (isExposed())
            render();
    }

protected:
    void exposeEvent(VelExposeEvent *) override
    {
        if (isExposed())
            render();
    }

private:
    void render()
    {
        const VelRect rect(VelPoint(0, 0), geometry().size());
        if (rect.isEmpty() || !handle())
            return;
        if (!m_store)
            m_store.reset(
                VelGuiApplication::platformIntegration()->createPlatformBackingStore(this));
        if (m_storeSize != rect.size()) {
            m_store->resize(rect.size(), VelRegion());
            m_storeSize = rect.size();
        }
        m_store->beginPaint(VelRegion(rect));
        VelPainter painter(m_store->paintDevice());
        painter.fillRect(0, 0, rect.width(), rect.height(), VelColor(250, 250, 240));
        VelFont font = painter.font();
        font.setPixelSize(22);
        painter.setFont(font);
        painter.setPen(VelColor(20, 20, 60));
        int y = 40;
        for (const VelString &line : m_lines) {
            painter.drawText(16, y, line);
            y += 34;
        }
        painter.end();
        m_store->endPaint();
        m_store->flush(this, VelRegion(rect), VelPoint());
    }

    std::vector<VelString> m_lines;
    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

#endif
