#include "veleglfscompositor.h"

#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "velopenglcontext.h"
#include "velopenglshaderprogram.h"
#include "velwindow.h"

#include <vector>

namespace
{

VelEglFSCompositor *compositorInstance = nullptr;

const char vertexShaderSource[] = "attribute highp vec2 vertexCoordEntry;\n"
                                  "attribute highp vec2 textureCoordEntry;\n"
                                  "varying highp vec2 textureCoord;\n"
                                  "void main() {\n"
                                  "   textureCoord = textureCoordEntry;\n"
                                  "   gl_Position = vec4(vertexCoordEntry, 0.0, 1.0);\n"
                                  "}\n";

const char fragmentShaderSource[] = "uniform sampler2D texture;\n"
                                    "varying highp vec2 textureCoord;\n"
                                    "uniform bool isRaster;\n"
                                    "void main() {\n"
                                    "   lowp vec4 c = texture2D(texture, textureCoord);\n"
                                    "   gl_FragColor = isRaster ? c.bgra : c.rgba;\n"
                                    "}\n";

} // namespace

VEL_META_BEGIN(VelEglFSCompositor, VelObject)
VEL_META_SLOT(renderAll)
VEL_META_END

VelEglFSCompositor::VelEglFSCompositor()
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    VelObject::connect(&m_timer, SIGNAL(timeout()), this, SLOT(renderAll()));
}

VelEglFSCompositor::~VelEglFSCompositor()
{
    delete m_program;
    compositorInstance = nullptr;
}

VelEglFSCompositor *VelEglFSCompositor::instance()
{
    if (!compositorInstance)
        compositorInstance = new VelEglFSCompositor;
    return compositorInstance;
}

void VelEglFSCompositor::destroy()
{
    delete compositorInstance;
    compositorInstance = nullptr;
}

void VelEglFSCompositor::schedule(VelEglFSScreen *screen)
{
    m_screen = screen;
    if (!m_timer.isActive())
        m_timer.start();
}

void VelEglFSCompositor::ensureProgram()
{
    if (m_program)
        return;
    m_program = new VelOpenGLShaderProgram;
    m_program->addShaderFromSourceCode(VelOpenGLShader::Vertex, vertexShaderSource);
    m_program->addShaderFromSourceCode(VelOpenGLShader::Fragment, fragmentShaderSource);
    m_program->link();
    m_vertexCoordEntry = m_program->attributeLocation("vertexCoordEntry");
    m_textureCoordEntry = m_program->attributeLocation("textureCoordEntry");
    m_isRasterEntry = m_program->uniformLocation("isRaster");
}

void VelEglFSCompositor::renderAll()
{
    if (VelEglFSWindow *root = composite())
        m_screen->rootContext()->swapBuffers(root->window());
}

VelEglFSWindow *VelEglFSCompositor::composite()
{
    if (!m_screen)
        return nullptr;
    VelEglFSWindow *root = m_screen->rootWindow();
    if (!root)
        return nullptr;
    m_screen->rootContext()->makeCurrent(root->window());
    ensureProgram();

    // A copy: drawing must not follow changes a window makes to the stack.
    m_stack = m_screen->windows();
    const VelRect screenRect = m_screen->geometry();
    const size_t cover = coveringWindow(m_stack, screenRect);
    // Without a window over all of it, the surface would show whatever an
    // earlier frame (or no frame) left in the uncovered parts.
    beginFrame(screenRect, cover == NoWindow);
    for (size_t i = cover == NoWindow ? 0 : cover; i < m_stack.size(); ++i) {
        VelEglFSWindow *window = m_stack[i];
        if (const GLuint texture = window->texture())
            render(window, texture, screenRect);
    }
    endFrame();
    return root;
}

size_t VelEglFSCompositor::coveringWindow(const std::vector<VelEglFSWindow *> &windows,
                                          const VelRect &screenGeometry)
{
    for (size_t i = windows.size(); i-- > 0;) {
        const VelEglFSWindow *window = windows[i];
        if (window->texture() && window->window()->geometry().contains(screenGeometry))
            return i;
    }
    return NoWindow;
}

VelEglFSCompositor::Quad VelEglFSCompositor::quadFor(const VelRect &screenGeometry,
                                                     const VelRect &windowGeometry, bool raster)
{
    const double sw = screenGeometry.width();
    const double sh = screenGeometry.height();
    // Outer edges: the right edge lies after the last column, the bottom edge
    // after the last row.
    const double left = windowGeometry.left();
    const double top = windowGeometry.top();
    const double right = double(windowGeometry.left()) + windowGeometry.width();
    const double bottom = double(windowGeometry.top()) + windowGeometry.height();

    const GLfloat xL = GLfloat(2 * left / sw - 1);
    const GLfloat xR = GLfloat(2 * right / sw - 1);
    GLfloat yT = GLfloat(2 * (sh - top) / sh - 1);
    GLfloat yB = GLfloat(2 * (sh - bottom) / sh - 1);
    // A raster image's first row is its top; GL's texture origin is the bottom.
    if (raster)
        std::swap(yT, yB);
    return Quad{{xL, yB, xR, yB, xR, yT, xL, yT}};
}

void VelEglFSCompositor::beginFrame(const VelRect &screenRect, bool clear)
{
    glViewport(0, 0, screenRect.width(), screenRect.height());
    if (clear) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    m_program->bind();
    static const GLfloat textureCoordinates[] = {0, 0, 1, 0, 1, 1, 0, 1};
    glEnableVertexAttribArray(GLuint(m_vertexCoordEntry));
    glEnableVertexAttribArray(GLuint(m_textureCoordEntry));
    glVertexAttribPointer(GLuint(m_textureCoordEntry), 2, GL_FLOAT, GL_FALSE, 0,
                          textureCoordinates);
}

void VelEglFSCompositor::render(VelEglFSWindow *window, GLuint texture, const VelRect &screenRect)
{
    const bool raster = window->hasFlag(VelEglFSWindow::FlagRaster);
    // GL reads client-side arrays at the draw call, so the quad can live on
    // the stack.
    const Quad quad = quadFor(screenRect, window->window()->geometry(), raster);
    glVertexAttribPointer(GLuint(m_vertexCoordEntry), 2, GL_FLOAT, GL_FALSE, 0, quad.vertices);
    glBindTexture(GL_TEXTURE_2D, texture);
    const int isRaster = raster ? 1 : 0;
    if (isRaster != m_isRasterValue) {
        m_program->setUniformValue(m_isRasterEntry, isRaster);
        m_isRasterValue = isRaster;
    }
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void VelEglFSCompositor::endFrame()
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisableVertexAttribArray(GLuint(m_vertexCoordEntry));
    glDisableVertexAttribArray(GLuint(m_textureCoordEntry));
    m_program->release();
}
