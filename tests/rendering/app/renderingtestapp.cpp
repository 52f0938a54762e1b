// The application the end-to-end rendering tests start through the Java VM.
// The first argument picks the scene; every painted frame's size is appended
// to the file named by VEL_TEST_PAINT_LOG.

#include "velcolor.h"
#include "velexposeevent.h"
#include "velguiapplication.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "velwindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{

void logPaint(const char *name, const VelSize &size)
{
    const char *path = std::getenv("VEL_TEST_PAINT_LOG");
    if (!path || !*path)
        return;
    if (FILE *file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %dx%d\n", name, size.width(), size.height());
        std::fclose(file);
    }
}

// Green first row, red upper half, blue lower half: shows both the row order
// and the channel order on screen.
void paintBands(VelPainter &painter, const VelRect &rect)
{
    const int half = rect.height() / 2;
    painter.fillRect(0, 0, rect.width(), half, VelColor(255, 0, 0));
    painter.fillRect(0, half, rect.width(), rect.height() - half, VelColor(0, 0, 255));
    painter.fillRect(0, 0, rect.width(), 1, VelColor(0, 255, 0));
}

class RasterWindow : public VelWindow
{
public:
    RasterWindow(const char *name, VelColor colour) : m_name(name), m_colour(colour)
    {
        setSurfaceType(RasterSurface);
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
        {
            VelPainter painter(m_store->paintDevice());
            if (m_colour.alpha() == 0)
                paintBands(painter, rect);
            else
                painter.fillRect(rect, m_colour);
        }
        m_store->endPaint();
        m_store->flush(this, VelRegion(rect), VelPoint());
        logPaint(m_name, rect.size());
    }

    const char *m_name;
    VelColor m_colour;
    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    const bool stacked = argc > 1 && std::strcmp(argv[1], "stacked") == 0;
    if (!stacked) {
        RasterWindow window("bands", VelColor(0, 0, 0, 0));
        window.showFullScreen();
        return app.exec();
    }
    RasterWindow bottom("bottom", VelColor(255, 0, 0));
    bottom.showFullScreen();
    RasterWindow top("top", VelColor(0, 0, 255));
    top.setGeometry(VelRect(0, 0, 40, 30));
    top.show();
    return app.exec();
}
