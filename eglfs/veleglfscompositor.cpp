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
    if (!m_screen)
        return;
    VelEglFSWindow *root = m_screen->rootWindow();
    if (!root)
        return;
    VelOpenGLContext *context = m_screen->rootContext();
    context->makeCurrent(root->window());
    ensureProgram();
    m_program->bind();

    const std::vector<VelEglFSWindow *> windows = m_screen->windows();
    for (VelEglFSWindow *window : windows) {
        const GLuint texture = window->texture();
        if (texture)
            render(window, texture, window->hasFlag(VelEglFSWindow::FlagRaster));
    }

    m_program->release();
    context->swapBuffers(root->window());
}

VelEglFSCompositor::Quad VelEglFSCompositor::quadFor(const VelRect &screenGeometry,
                                                     const VelRect &windowGeometry, bool raster)
{
    const double sw = screenGeometry.width();
    const double sh = screenGeometry.height();
    const double left = windowGeometry.left();
    const double top = windowGeometry.top();
    const double right = windowGeometry.left() + windowGeometry.width() - 1;
    const double bottom = windowGeometry.top() + windowGeometry.height() - 1;

    const GLfloat xL = GLfloat(2 * left / sw - 1);
    const GLfloat xR = GLfloat(2 * right / sw - 1);
    GLfloat yT = GLfloat(2 * (sh - top) / sh - 1);
    GLfloat yB = GLfloat(2 * (sh - bottom) / sh - 1);
    // A raster image's first row is its top; GL's texture origin is the bottom.
    if (raster)
        std::swap(yT, yB);
    return Quad{{xL, yB, xR, yB, xR, yT, xL, yT}};
}

void VelEglFSCompositor::render(VelEglFSWindow *window, GLuint texture, bool raster)
{
    const VelRect screenRect = window->screen()->geometry();
    const Quad quad = quadFor(screenRect, window->window()->geometry(), raster);
    const GLfloat *vertices = quad.vertices;
    static const GLfloat textureCoordinates[] = {0, 0, 1, 0, 1, 1, 0, 1};

    glViewport(0, 0, screenRect.width(), screenRect.height());
    glEnableVertexAttribArray(GLuint(m_vertexCoordEntry));
    glEnableVertexAttribArray(GLuint(m_textureCoordEntry));
    glVertexAttribPointer(GLuint(m_vertexCoordEntry), 2, GL_FLOAT, GL_FALSE, 0, vertices);
    glVertexAttribPointer(GLuint(m_textureCoordEntry), 2, GL_FLOAT, GL_FALSE, 0,
                          textureCoordinates);
    glBindTexture(GL_TEXTURE_2D, texture);
    m_program->setUniformValue(m_isRasterEntry, raster ? 1 : 0);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisableVertexAttribArray(GLuint(m_vertexCoordEntry));
    glDisableVertexAttribArray(GLuint(m_textureCoordEntry));
}
