#ifndef VELOPENGLSHADERPROGRAM_H
#define VELOPENGLSHADERPROGRAM_H

#include "velopenglshader.h"

#include <memory>
#include <vector>

// A GLSL ES program built from source on the current context. It owns its
// shaders and its program name; destroy it while its context is current.
class VelOpenGLShaderProgram
{
public:
    VelOpenGLShaderProgram();
    ~VelOpenGLShaderProgram();

    bool addShaderFromSourceCode(VelOpenGLShader::ShaderType type, const char *source);
    bool addShaderFromSourceCode(VelOpenGLShader::ShaderType type, const VelByteArray &source);
    bool addShaderFromSourceCode(VelOpenGLShader::ShaderType type, const VelString &source);
    void removeAllShaders();

    bool link();
    bool isLinked() const { return m_linked; }
    // Makes the program current; false when it is not linked.
    bool bind();
    void release();

    GLuint programId() const { return m_program; }
    VelString log() const { return m_log; }

    void bindAttributeLocation(const char *name, int location);
    int attributeLocation(const char *name) const;
    int attributeLocation(const VelByteArray &name) const
    {
        return attributeLocation(name.constData());
    }
    int uniformLocation(const char *name) const;
    int uniformLocation(const VelByteArray &name) const
    {
        return uniformLocation(name.constData());
    }

    void setUniformValue(int location, int value);
    void setUniformValue(const char *name, int value)
    {
        setUniformValue(uniformLocation(name), value);
    }
    void setUniformValue(int location, float value);

private:
    VEL_DISABLE_COPY(VelOpenGLShaderProgram)

    bool ensureProgram();

    GLuint m_program = 0;
    bool m_linked = false;
    VelString m_log;
    std::vector<std::unique_ptr<VelOpenGLShader>> m_shaders;
};

#endif
