#ifndef VELEGLFSCOMPOSITOR_H
#define VELEGLFSCOMPOSITOR_H

#include "velobject.h"
#include "velrect.h"
#include "veltimer.h"

#include <GLES2/gl2.h>

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

    // Vertex positions (x, y pairs, four corners in drawing order) of a
    // window's quad in normalised device coordinates.
    struct Quad {
        GLfloat vertices[8];
    };
    static Quad quadFor(const VelRect &screenGeometry, const VelRect &windowGeometry, bool raster);

private:
    VelEglFSCompositor();
    ~VelEglFSCompositor() override;

    void ensureProgram();
    void render(VelEglFSWindow *window, GLuint texture, bool raster);

    VelEglFSScreen *m_screen = nullptr; // not owned
    VelTimer m_timer;
    VelOpenGLShaderProgram *m_program = nullptr; // owned
    int m_vertexCoordEntry = 0;
    int m_textureCoordEntry = 0;
    int m_isRasterEntry = 0;
};

#endif
