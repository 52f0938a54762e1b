// An OpenGL application: a window that renders a triangle with its own
// context and swaps.

#include "velexposeevent.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velwindow.h"

#include <GLES2/gl2.h>

#include <cstdio>
#include <memory>

namespace
{

const char vertexSource[] = "attribute vec2 position;\n"
                            "void main() { gl_Position = vec4(position, 0.0, 1.0); }\n";
const char fragmentSource[] = "precision mediump float;\n"
                              "void main() { gl_FragColor = vec4(1.0, 0.8, 0.0, 1.0); }\n";

GLuint compile(GLenum type, const char *source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

class TriangleWindow : public VelWindow
{
public:
    TriangleWindow() { setSurfaceType(OpenGLSurface); }

protected:
    void exposeEvent(VelExposeEvent *) override
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
            if (!m_context->create()) {
                std::fprintf(stderr, "glwindow: no OpenGL context\n");
                return;
            }
        }
        if (!m_context->makeCurrent(this))
            return;
        if (!m_program)
            makeProgram();
        const VelSize size = geometry().size();
        glViewport(0, 0, size.width(), size.height());
        glClearColor(0.1f, 0.1f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        static const GLfloat vertices[] = {-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f};
        glUseProgram(m_program);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, vertices);
        glEnableVertexAttribArray(0);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glDisableVertexAttribArray(0);
        m_context->swapBuffers(this);
    }

    void makeProgram()
    {
        m_program = glCreateProgram();
        glAttachShader(m_program, compile(GL_VERTEX_SHADER, vertexSource));
        glAttachShader(m_program, compile(GL_FRAGMENT_SHADER, fragmentSource));
        glBindAttribLocation(m_program, 0, "position");
        glLinkProgram(m_program);
    }

    std::unique_ptr<VelOpenGLContext> m_context;
    GLuint m_program = 0;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    TriangleWindow window;
    window.showFullScreen();
    return app.exec();
}
