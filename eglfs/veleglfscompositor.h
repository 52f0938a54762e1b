#ifndef VELEGLFSCOMPOSITOR_H
#define VELEGLFSCOMPOSITOR_H

#include "velobject.h"
#include "velrect.h"
#include "veltimer.h"

#include <GLES2/gl2.h>

#include <vector>

class VelEglFSScreen;
class VelEglFSWindow;
class VelOpenGLShaderProgram;

// Draws the textures of all raster windows, bottom to top, onto the shared
// surface and swaps it. Flushes only schedule it, so several flushes in one
// event-loop pass are composited once.
class VelEglFSCompositor : public VelObject
{
    VEL_OBJECT
public:
    static VelEglFSCompositor *instance();
    static void destroy();

    void schedule(VelEglFSScreen *screen);
    void renderAll();
    // The drawing half of renderAll, without the swap: the root window, or
    // null when there was nothing to draw on.
    VelEglFSWindow *composite();

    // Vertex positions (x, y pairs, four corners in drawing order) of a
    // window's quad in normalised device coordinates. The quad's edges lie on
    // the window's outer pixel edges, so a W x H window covers exactly W x H
    // pixels of the screen, one texel each.
    struct Quad {
        GLfloat vertices[8];
    };
    static Quad quadFor(const VelRect &screenGeometry, const VelRect &windowGeometry, bool raster);

    // The topmost window of the stack (bottom first) that has a texture and
    // covers the whole screen, or NoWindow. Nothing is blended, so the windows
    // below it cannot be seen and the surface needs no clearing.
    static constexpr size_t NoWindow = size_t(-1);
    static size_t coveringWindow(const std::vector<VelEglFSWindow *> &windows,
                                 const VelRect &screenGeometry);

private:
    VelEglFSCompositor();
    ~VelEglFSCompositor() override;

    void ensureProgram();
    void beginFrame(const VelRect &screenGeometry, bool clear);
    void render(VelEglFSWindow *window, GLuint texture, const VelRect &screenGeometry);
    void endFrame();

    VelEglFSScreen *m_screen = nullptr; // not owned
    VelTimer m_timer;
    VelOpenGLShaderProgram *m_program = nullptr; // owned
    int m_vertexCoordEntry = 0;
    int m_textureCoordEntry = 0;
    int m_isRasterEntry = 0;
    // The value last given to the isRaster uniform (-1: not yet set); the
    // program keeps it between frames.
    int m_isRasterValue = -1;
    std::vector<VelEglFSWindow *> m_stack; // reused every frame
};

#endif
