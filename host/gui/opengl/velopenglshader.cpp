#include "velopenglshader.h"

#include "vellogging.h"

#include <vector>

namespace
{

GLenum glShaderType(VelOpenGLShader::ShaderType type)
{
    return type == VelOpenGLShader::Fragment ? GL_FRAGMENT_SHADER : GL_VERTEX_SHADER;
}

VelString shaderInfoLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return VelString();
    std::vector<char> text(size_t(length), '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, length, &written, text.data());
    return VelString::fromUtf8(text.data(), written);
}

} // namespace

VelOpenGLShader::VelOpenGLShader(ShaderType type) : m_type(type) {}

VelOpenGLShader::~VelOpenGLShader()
{
    if (m_shader)
        glDeleteShader(m_shader);
}

bool VelOpenGLShader::compileSourceCode(const char *source)
{
    if (!m_shader)
        m_shader = glCreateShader(glShaderType(m_type));
    if (!m_shader) {
        m_log = VelString("could not create a shader object (no current context?)");
        m_compiled = false;
        return false;
    }
    const char *sources[] = {source ? source : ""};
    glShaderSource(m_shader, 1, sources, nullptr);
    glCompileShader(m_shader);
    GLint status = GL_FALSE;
    glGetShaderiv(m_shader, GL_COMPILE_STATUS, &status);
    m_compiled = status == GL_TRUE;
    m_log = shaderInfoLog(m_shader);
    if (!m_compiled)
        velWarning("VelOpenGLShader: %s shader failed to compile: %s",
                   m_type == Fragment ? "fragment" : "vertex", velPrintable(m_log));
    return m_compiled;
}
