// The application the end-to-end rendering tests start through the Java VM.
// The first argument picks the scene; every painted frame's size is appended
// to the file named by VEL_TEST_PAINT_LOG.

#include "velcolor.h"
#include "velexposeevent.h"
#include "velguiapplication.h"
#include "velimage.h"
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

// A one-pixel checkerboard of yellow and blue, yellow at (0, 0): any blur
// turns it grey, any shift by a pixel swaps the colours.
void paintChecker(VelImage *image)
{
    for (int y = 0; y < image->height(); ++y) {
        auto *row = reinterpret_cast<uint *>(image->scanLine(y));
        for (int x = 0; x < image->width(); ++x)
            row[x] = (x + y) % 2 ? 0xff0000ffu : 0xffffff00u;
    }
}

class RasterWindow : public VelWindow
{
public:
    RasterWindow(const char *name, VelColor colour, bool checker = false)
        : m_name(name), m_colour(colour), m_checker(checker)
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
            if (m_checker) {
                paintChecker(static_cast<VelImage *>(m_store->paintDevice()));
            } else {
                VelPainter painter(m_store->paintDevice());
                if (m_colour.alpha() == 0)
                    paintBands(painter, rect);
                else
                    painter.fillRect(rect, m_colour);
            }
        }
        m_store->endPaint();
        m_store->flush(this, VelRegion(rect), VelPoint());
        logPaint(m_name, rect.size());
    }

    const char *m_name;
    VelColor m_colour;
    bool m_checker;
    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    const char *scene = argc > 1 ? argv[1] : "bands";
    if (std::strcmp(scene, "pixels") == 0) {
        // A checkerboard under three windows at odd offsets that meet edge
        // to edge: red left of green, magenta under red.
        RasterWindow checker("checker", VelColor(0, 0, 0), true);
        checker.showFullScreen();
        RasterWindow red("red", VelColor(255, 0, 0));
        red.setGeometry(VelRect(13, 7, 37, 23));
        red.show();
        RasterWindow green("green", VelColor(0, 255, 0));
        green.setGeometry(VelRect(50, 7, 41, 23));
        green.show();
        RasterWindow magenta("magenta", VelColor(255, 0, 255));
        magenta.setGeometry(VelRect(13, 30, 37, 19));
        magenta.show();
        return app.exec();
    }
    if (std::strcmp(scene, "stacked") != 0) {
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
