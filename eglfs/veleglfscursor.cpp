#include "veleglfscursor.h"

#include "veleglfsscreen.h"

#include "velcursor.h"
#include "velenvironment.h"
#include "velfile.h"
#include "veljsonarray.h"
#include "veljsondocument.h"
#include "veljsonobject.h"
#include "vellogging.h"
#include "velmouseevent.h"
#include "velopenglcontext.h"
#include "velpixmap.h"
#include "velregion.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <vector>

namespace
{

constexpr int ArrowShape = 0;
constexpr int BitmapShape = 24;

const char vertexShaderSource[] = "attribute highp vec2 vertexCoordEntry;\n"
                                  "attribute highp vec2 textureCoordEntry;\n"
                                  "varying highp vec2 textureCoord;\n"
                                  "void main() {\n"
                                  "   textureCoord = textureCoordEntry;\n"
                                  "   gl_Position = vec4(vertexCoordEntry, 1.0, 1.0);\n"
                                  "}\n";

const char fragmentShaderSource[] = "uniform sampler2D texture;\n"
                                    "varying highp vec2 textureCoord;\n"
                                    "void main() {\n"
                                    "   gl_FragColor = texture2D(texture, textureCoord).bgra;\n"
                                    "}\n";

VelByteArray atlasDescriptionName()
{
    static const VelByteArray name = [] {
        const VelByteArray variable = velgetenv("VEL_VELPA_EGLFS_CURSOR");
        return variable.isEmpty() ? VelByteArray(":/cursor.json") : variable;
    }();
    return name;
}

GLuint compileShader(GLenum type, const char *source, const char *kind)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(size_t(length > 0 ? length : 1), '\0');
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        velDebug("%s shader compilation error: %s", kind, log.data());
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

VelEglFSCursor::VelEglFSCursor(VelEglFSScreen *screen) : m_screen(screen)
{
    initCursorAtlas();
    VelCursor arrow(Vel::ArrowCursor);
    setCurrentCursor(&arrow);
}

VelEglFSCursor::~VelEglFSCursor()
{
    resetResources();
}

void VelEglFSCursor::initCursorAtlas()
{
    VelFile file(VelString::fromLocal8Bit(atlasDescriptionName().constData()));
    VelJsonObject description;
    if (file.open(VelIODevice::ReadOnly))
        description = VelJsonDocument::fromJson(file.readAll()).object();

    const VelString imageName = description.value("image").toString();
    m_atlasCursorsPerRow = int(description.value("cursorsPerRow").toDouble());
    const VelJsonArray hotSpots = description.value("hotSpots").toArray();
    for (int i = 0; i < hotSpots.size(); ++i) {
        const VelJsonArray pair = hotSpots.at(i).toArray();
        m_atlasHotSpots.emplace_back(int(pair.at(0).toDouble()), int(pair.at(1).toDouble()));
    }

    const VelImage image =
        VelImage(imageName).convertToFormat(VelImage::Format_ARGB32_Premultiplied);
    // A description without cells a row has no layout: leave the atlas empty.
    if (m_atlasCursorsPerRow > 0) {
        m_atlasCellWidth = image.width() / m_atlasCursorsPerRow;
        m_atlasCellHeight = image.height() / ((m_atlasCursorsPerRow + 20) / m_atlasCursorsPerRow);
    }
    m_atlasWidth = image.width();
    m_atlasHeight = image.height();
    m_atlasImage = image;
}

bool VelEglFSCursor::setCurrentCursor(VelCursor *cursor)
{
    const int newShape = cursor ? int(cursor->shape()) : ArrowShape;
    if (cursor && newShape == m_shape && newShape != BitmapShape)
        return false;
    if (!cursor && m_shape == ArrowShape)
        return false;

    if (m_shape == BitmapShape) {
        m_customImage = VelImage();
        m_customPending = false;
    }
    m_shape = newShape;

    if (newShape == BitmapShape) {
        m_customImage = cursor->pixmap().toImage();
        m_textureRect = TextureRect{0, 0, 1, 1};
        m_hotSpot = cursor->hotSpot();
        m_cursorTexture = 0;
        m_size = m_customImage.size();
        m_customPending = true;
        return true;
    }

    // Shapes the atlas has no cell or hot spot for show nothing rather than
    // reading past the description.
    const bool known = m_atlasCursorsPerRow > 0 && m_atlasWidth > 0 && m_atlasHeight > 0 &&
                       newShape >= 0 && newShape < int(m_atlasHotSpots.size());
    if (!known) {
        m_textureRect = TextureRect{};
        m_hotSpot = VelPoint();
        m_cursorTexture = m_atlasTexture;
        m_size = VelSize(0, 0);
        return true;
    }
    const float cw = float(m_atlasCellWidth) / float(m_atlasWidth);
    const float ch = float(m_atlasCellHeight) / float(m_atlasHeight);
    m_textureRect =
        TextureRect{(newShape % m_atlasCursorsPerRow) * double(cw),
                    (newShape / m_atlasCursorsPerRow) * double(ch), double(cw), double(ch)};
    m_hotSpot = m_atlasHotSpots[size_t(newShape)];
    m_cursorTexture = m_atlasTexture;
    m_size = VelSize(m_atlasCellWidth, m_atlasCellHeight);
    return true;
}

VelPoint VelEglFSCursor::pos() const
{
    return m_pos;
}

void VelEglFSCursor::setPos(const VelPoint &pos)
{
    const VelRect oldRect = cursorRect();
    m_pos = pos;
    update(VelRegion(oldRect).united(cursorRect()));
}

void VelEglFSCursor::pointerEvent(const VelMouseEvent &event)
{
    if (event.type() != VelEvent::MouseMove)
        return;
    setPos(event.screenPos().toPoint());
}

void VelEglFSCursor::changeCursor(VelCursor *cursor, VelWindow *)
{
    const VelRect oldRect = cursorRect();
    if (setCurrentCursor(cursor))
        update(VelRegion(oldRect).united(cursorRect()));
}

VelRect VelEglFSCursor::cursorRect() const
{
    return VelRect(m_pos - m_hotSpot, m_size);
}

void VelEglFSCursor::update(const VelRegion &region)
{
    if (VelWindow *window = m_screen->topLevelAt(m_pos))
        VelWindowSystemInterface::handleExposeEvent(window, region);
    VelWindowSystemInterface::flushWindowSystemEvents();
}

void VelEglFSCursor::resetResources()
{
    if (VelOpenGLContext::currentContext()) {
        glDeleteProgram(m_program);
        glDeleteTextures(1, &m_customTexture);
        glDeleteTextures(1, &m_atlasTexture);
    }
    m_program = 0;
    m_customTexture = 0;
    m_atlasTexture = 0;
    m_customPending = !m_customImage.isNull();
}

void VelEglFSCursor::paintOnScreen()
{
    const VelRect r = cursorRect();
    const VelRect screenRect = m_screen->geometry();
    const double sw = screenRect.width();
    const double sh = screenRect.height();
    const float left = float(r.x() / sw * 2 - 1);
    const float top = float(1 - r.y() / sh * 2);
    const float right = float((r.x() + r.width()) / sw * 2 - 1);
    const float bottom = float(1 - (r.y() + r.height()) / sh * 2);
    draw(RectF{left, top, right - left, bottom - top});
}

void VelEglFSCursor::createShaderPrograms()
{
    const GLuint vertexShader = compileShader(GL_VERTEX_SHADER, vertexShaderSource, "vertex");
    const GLuint fragmentShader =
        compileShader(GL_FRAGMENT_SHADER, fragmentShaderSource, "fragment");
    m_program = glCreateProgram();
    glAttachShader(m_program, vertexShader);
    glAttachShader(m_program, fragmentShader);
    glLinkProgram(m_program);
    GLint status = GL_FALSE;
    glGetProgramiv(m_program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(m_program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(size_t(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(m_program, length, nullptr, log.data());
        velDebug("program link error: %s", log.data());
        glDeleteProgram(m_program);
        m_program = 0;
    }
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    m_vertexCoordEntry = glGetAttribLocation(m_program, "vertexCoordEntry");
    m_textureCoordEntry = glGetAttribLocation(m_program, "textureCoordEntry");
    m_textureEntry = glGetUniformLocation(m_program, "texture");
}

void VelEglFSCursor::createCursorTexture(GLuint *texture, const VelImage &image)
{
    if (!*texture)
        glGenTextures(1, texture);
    glBindTexture(GL_TEXTURE_2D, *texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width(), image.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.constBits());
}

void VelEglFSCursor::draw(const RectF &rect)
{
    if (!m_program) {
        createShaderPrograms();
        if (!m_atlasTexture) {
            createCursorTexture(&m_atlasTexture, m_atlasImage);
            if (m_shape != BitmapShape)
                m_cursorTexture = m_atlasTexture;
        }
    }
    if (m_shape == BitmapShape && m_customPending) {
        createCursorTexture(&m_customTexture, m_customImage);
        m_customPending = false;
        m_cursorTexture = m_customTexture;
    }

    glUseProgram(m_program);
    glBindTexture(GL_TEXTURE_2D, m_cursorTexture);

    const GLfloat x1 = rect.x, x2 = rect.x + rect.width;
    const GLfloat y1 = rect.y, y2 = rect.y + rect.height;
    const GLfloat vertices[] = {x1, y2, x2, y2, x1, y1, x2, y1};
    const GLfloat tx1 = GLfloat(m_textureRect.x);
    const GLfloat tx2 = GLfloat(m_textureRect.x + m_textureRect.width);
    const GLfloat ty1 = GLfloat(m_textureRect.y);
    const GLfloat ty2 = GLfloat(m_textureRect.y + m_textureRect.height);
    const GLfloat textureCoordinates[] = {tx1, ty2, tx2, ty2, tx1, ty1, tx2, ty1};

    glEnableVertexAttribArray(GLuint(m_vertexCoordEntry));
    glEnableVertexAttribArray(GLuint(m_textureCoordEntry));
    glVertexAttribPointer(GLuint(m_vertexCoordEntry), 2, GL_FLOAT, GL_FALSE, 0, vertices);
    glVertexAttribPointer(GLuint(m_textureCoordEntry), 2, GL_FLOAT, GL_FALSE, 0,
                          textureCoordinates);
    glUniform1i(m_textureEntry, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisableVertexAttribArray(GLuint(m_vertexCoordEntry));
    glDisableVertexAttribArray(GLuint(m_textureCoordEntry));
    glUseProgram(0);
}
