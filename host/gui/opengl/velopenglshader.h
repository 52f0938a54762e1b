#ifndef VELOPENGLSHADER_H
#define VELOPENGLSHADER_H

#include "velbytearray.h"
#include "velglobal.h"
#include "velstring.h"

#include <GLES2/gl2.h>

// One compiled GLSL ES shader object on the current context. The shader name
// is released by the destructor, which therefore needs the context (or one
// sharing with it) to be current.
class VelOpenGLShader
{
public:
    enum ShaderTypeBit { Vertex = 0x0001, Fragment = 0x0002 };
    using ShaderType = int;

    explicit VelOpenGLShader(ShaderType type);
    ~VelOpenGLShader();

    ShaderType shaderType() const { return m_type; }
    bool compileSourceCode(const char *source);
    bool compileSourceCode(const VelByteArray &source)
    {
        return compileSourceCode(source.constData());
    }
    bool compileSourceCode(const VelString &source) { return compileSourceCode(source.toUtf8()); }
    bool isCompiled() const { return m_compiled; }
    VelString log() const { return m_log; }
    GLuint shaderId() const { return m_shader; }

private:
    VEL_DISABLE_COPY(VelOpenGLShader)

    ShaderType m_type;
    GLuint m_shader = 0;
    bool m_compiled = false;
    VelString m_log;
};

#endif
