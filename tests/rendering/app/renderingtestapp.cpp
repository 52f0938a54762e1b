// The application the end-to-end rendering tests start through the Java VM.
// The first argument picks the scene (bands, stacked, pixels, stress); every painted
// raster frame's size is appended to the file named by VEL_TEST_PAINT_LOG.

#include "velcolor.h"
#include "velcoreevent.h"
#include "velexposeevent.h"
#include "velguiapplication.h"
#include "velimage.h"
#include "velopenglcontext.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "velwindow.h"

#include <GLES2/gl2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

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

    // Painted and flushed on their own after each whole frame: rectangles
    // narrower than half the window take the narrow upload path.
    void addPatch(const VelRect &rect, VelColor colour) { m_patches.push_back({rect, colour}); }

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
        for (const Patch &patch : m_patches) {
            m_store->beginPaint(VelRegion(patch.rect));
            {
                VelPainter painter(m_store->paintDevice());
                painter.fillRect(patch.rect, patch.colour);
            }
            m_store->endPaint();
            m_store->flush(this, VelRegion(patch.rect), VelPoint());
        }
        logPaint(m_name, rect.size());
    }

    struct Patch {
        VelRect rect;
        VelColor colour;
    };

    const char *m_name;
    VelColor m_colour;
    bool m_checker;
    std::vector<Patch> m_patches;
    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

// Draws on its own, on a timer, into the shared surface: a green strip along
// the bottom edge, leaving the rest of the surface to the raster windows.
class StripWindow : public VelWindow
{
public:
    StripWindow()
    {
        setSurfaceType(OpenGLSurface);
        startTimer(15);
    }

protected:
    void timerEvent(VelTimerEvent *) override
    {
        if (isExposed() && handle())
            render();
    }

private:
    void render()
    {
        if (!m_context) {
            m_context = std::make_unique<VelOpenGLContext>();
            m_context->setFormat(requestedFormat());
            if (!m_context->create())
                return;
        }
        if (!m_context->makeCurrent(this))
            return;
        const VelSize size = geometry().size();
        glViewport(0, 0, size.width(), size.height());
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, size.width(), 4);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        m_context->swapBuffers(this);
    }

    std::unique_ptr<VelOpenGLContext> m_context;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    const char *scene = argc > 1 ? argv[1] : "bands";
    if (std::strcmp(scene, "pixels") == 0) {
        // A checkerboard with two narrow patches under three windows at odd
        // offsets that meet edge to edge: red left of green, magenta under red.
        RasterWindow checker("checker", VelColor(0, 0, 0), true);
        // One in the open, one in the last column and row.
        checker.addPatch(VelRect(2, 60, 11, 9), VelColor(0, 255, 255));
        checker.addPatch(VelRect(190, 150, 11, 11), VelColor(255, 255, 255));
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
    if (std::strcmp(scene, "stress") == 0) {
        // Two raster windows composited onto the shared surface and an OpenGL
        // window drawing into it between their frames.
        RasterWindow bottom("bottom", VelColor(255, 0, 0));
        bottom.showFullScreen();
        RasterWindow top("top", VelColor(0, 0, 255));
        top.setGeometry(VelRect(0, 0, 40, 30));
        top.show();
        StripWindow strip;
        strip.show();
        // Suspended means done: main returns before the test's process ends,
        // so nothing renders while the process tears down.
        VelObject::connect(&app, &VelGuiApplication::applicationStateChanged, &app, [](int state) {
            if (state == Vel::ApplicationSuspended)
                VelCoreApplication::quit();
        });
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
