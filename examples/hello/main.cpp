// A raster application: a full-screen window painted by the CPU with coloured
// bands and a line of text.

#include "velcolor.h"
#include "velexposeevent.h"
#include "velfont.h"
#include "velguiapplication.h"
#include "velimage.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "velwindow.h"

#include <cstdio>
#include <memory>

namespace
{

class HelloWindow : public VelWindow
{
public:
    HelloWindow() { setSurfaceType(RasterSurface); }

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
        paint(m_store->paintDevice(), rect);
        m_store->endPaint();
        m_store->flush(this, VelRegion(rect), VelPoint());
    }

    static void paint(VelPaintDevice *device, const VelRect &rect)
    {
        VelPainter painter(device);
        const int band = rect.height() / 4;
        painter.fillRect(0, 0, rect.width(), band, VelColor(255, 0, 0));
        painter.fillRect(0, band, rect.width(), band, VelColor(0, 255, 0));
        painter.fillRect(0, 2 * band, rect.width(), band, VelColor(0, 0, 255));
        painter.fillRect(0, 3 * band, rect.width(), rect.height() - 3 * band,
                         VelColor(255, 255, 255));
        VelFont font = painter.font();
        font.setPixelSize(28);
        painter.setFont(font);
        painter.setPen(VelColor(0, 0, 0));
        painter.drawText(16, 3 * band + band / 2, VelString("Hello from Vel"));
        painter.end();
    }

    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    for (int i = 0; i < argc; ++i)
        std::printf("hello: argument %d: %s\n", i, argv[i]);
    std::fflush(stdout);
    VelGuiApplication app(argc, argv);
    HelloWindow window;
    window.showFullScreen();
    return app.exec();
}
