// A raster application: a full-screen window painted by the CPU with coloured
// bands and a line of text.

#include "velcolor.h"
#include "velexamplebackingstore.h"
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
        m_store.render(
            this, [this](VelPaintDevice *device, const VelRect &rect) { paint(device, rect); });
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

    VelExampleBackingStore m_store;
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
