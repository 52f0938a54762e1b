#include "velopenglshaderprogram.h"

#include "vellogging.h"

namespace
{

VelString programInfoLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return VelString();
    std::vector<char> text(size_t(length), '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(program, length, &written, text.data());
    return VelString::fromUtf8(text.data(), written);
}

} // namespace

VelOpenGLShaderProgram::VelOpenGLShaderProgram() = default;

VelOpenGLShaderProgram::~VelOpenGLShaderProgram()
{
    // Shaders are detached by deleting the program; delete it first so the
    // shader objects are freed right away rather than when the program goes.
    if (m_program)
        glDeleteProgram(m_program);
    m_shaders.clear();
}

bool VelOpenGLShaderProgram::ensureProgram()
{
    if (!m_program)
        m_program = glCreateProgram();
    return m_program != 0;
}

bool VelOpenGLShaderProgram::addShaderFromSourceCode(VelOpenGLShader::ShaderType type,
                                                     const char *source)
{
    if (!ensureProgram()) {
        m_log = VelString("could not create a program object (no current context?)");
        return false;
    }
    auto shader = std::make_unique<VelOpenGLShader>(type);
    if (!shader->compileSourceCode(source)) {
        m_log = shader->log();
        return false;
    }
    glAttachShader(m_program, shader->shaderId());
    m_shaders.push_back(std::move(shader));
    m_linked = false;
    return true;
}

bool VelOpenGLShaderProgram::addShaderFromSourceCode(VelOpenGLShader::ShaderType type,
                                                     const VelByteArray &source)
{
    return addShaderFromSourceCode(type, source.constData());
}

bool VelOpenGLShaderProgram::addShaderFromSourceCode(VelOpenGLShader::ShaderType type,
                                                     const VelString &source)
{
    return addShaderFromSourceCode(type, source.toUtf8());
}

void VelOpenGLShaderProgram::removeAllShaders()
{
    for (const auto &shader : m_shaders) {
        if (m_program)
            glDetachShader(m_program, shader->shaderId());
    }
    m_shaders.clear();
    m_linked = false;
}

bool VelOpenGLShaderProgram::link()
{
    if (!m_program) {
        m_log = VelString("no shaders were added");
        m_linked = false;
        return false;
    }
    glLinkProgram(m_program);
    GLint status = GL_FALSE;
    glGetProgramiv(m_program, GL_LINK_STATUS, &status);
    m_linked = status == GL_TRUE;
    m_log = programInfoLog(m_program);
    if (!m_linked)
        velWarning("VelOpenGLShaderProgram: link failed: %s", velPrintable(m_log));
    return m_linked;
}

bool VelOpenGLShaderProgram::bind()
{
    if (!m_linked && !link())
        return false;
    glUseProgram(m_program);
    return true;
}

void VelOpenGLShaderProgram::release()
{
    glUseProgram(0);
}

void VelOpenGLShaderProgram::bindAttributeLocation(const char *name, int location)
{
    if (ensureProgram())
        glBindAttribLocation(m_program, GLuint(location), name);
    m_linked = false;
}

int VelOpenGLShaderProgram::attributeLocation(const char *name) const
{
    return m_linked ? glGetAttribLocation(m_program, name) : -1;
}

int VelOpenGLShaderProgram::uniformLocation(const char *name) const
{
    return m_linked ? glGetUniformLocation(m_program, name) : -1;
}

void VelOpenGLShaderProgram::setUniformValue(int location, int value)
{
    if (location >= 0)
        glUniform1i(location, value);
}

void VelOpenGLShaderProgram::setUniformValue(int location, float value)
{
    if (location >= 0)
        glUniform1f(location, value);
}
