// Runs against the system EGL (Mesa) on the surfaceless platform: pbuffers
// stand in for windows, so no display server is needed.
#include "logcapture.h"
#include "veleglconvenience.h"
#include "veleglpbuffer.h"
#include "veleglplatformcontext.h"
#include "veloffscreensurface.h"
#include "velopenglshaderprogram.h"
#include "velplatformsurface.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace
{

EGLDisplay initializedDisplay()
{
    static EGLDisplay display = [] {
        // Run by hand the binary still needs no display server.
        setenv("EGL_PLATFORM", "surfaceless", 0);
        EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        EGLint major = 0;
        EGLint minor = 0;
        if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor))
            return EGL_NO_DISPLAY;
        return d;
    }();
    return display;
}

// A platform surface over an EGL pbuffer it owns.
class PbufferSurface : public VelPlatformSurface
{
public:
    PbufferSurface(EGLDisplay display, EGLConfig config, int width, int height)
        : VelPlatformSurface(nullptr), m_display(display)
    {
        const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        m_surface = eglCreatePbufferSurface(display, config, attributes);
    }
    ~PbufferSurface() override
    {
        if (m_surface != EGL_NO_SURFACE)
            eglDestroySurface(m_display, m_surface);
    }
    VelSurfaceFormat format() const override { return VelSurfaceFormat(); }
    EGLSurface eglSurface() const { return m_surface; }

private:
    EGLDisplay m_display;
    EGLSurface m_surface = EGL_NO_SURFACE;
};

class PbufferContext : public VelEGLPlatformContext
{
public:
    using VelEGLPlatformContext::VelEGLPlatformContext;

protected:
    EGLSurface eglSurfaceForPlatformSurface(VelPlatformSurface *surface) override
    {
        if (auto *pbuffer = dynamic_cast<VelEGLPbuffer *>(surface))
            return pbuffer->pbuffer();
        return static_cast<PbufferSurface *>(surface)->eglSurface();
    }
};

VelSurfaceFormat colourFormat(int r, int g, int b, int a = -1)
{
    VelSurfaceFormat format;
    format.setRedBufferSize(r);
    format.setGreenBufferSize(g);
    format.setBlueBufferSize(b);
    format.setAlphaBufferSize(a);
    return format;
}

std::array<GLubyte, 4> pixelAt(int x, int y)
{
    std::array<GLubyte, 4> pixel{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

class MesaEglTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = initializedDisplay();
        ASSERT_NE(display, EGL_NO_DISPLAY) << "Mesa's EGL did not initialise (EGL_PLATFORM?)";
        config = vel_configFromGLFormat(display, colourFormat(8, 8, 8, 8), false, EGL_PBUFFER_BIT);
        ASSERT_NE(config, nullptr);
    }
    void TearDown() override
    {
        if (display != EGL_NO_DISPLAY)
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }

    std::unique_ptr<PbufferContext> makeContext(VelPlatformOpenGLContext *share = nullptr)
    {
        return std::make_unique<PbufferContext>(VelSurfaceFormat(), share, display, config,
                                                EGL_OPENGL_ES_API);
    }

    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    LogCapture log;
};

TEST_F(MesaEglTest, CommonFormatsGetConfigsWithExactColourSizes)
{
    const struct {
        VelSurfaceFormat format;
        int r, g, b;
    } cases[] = {
        {colourFormat(5, 6, 5), 5, 6, 5},
        {colourFormat(8, 8, 8), 8, 8, 8},
        {colourFormat(8, 8, 8, 8), 8, 8, 8},
    };
    for (const auto &c : cases) {
        const EGLConfig chosen = vel_configFromGLFormat(display, c.format, false, EGL_PBUFFER_BIT);
        ASSERT_NE(chosen, nullptr);
        const VelSurfaceFormat got = vel_glFormatFromConfig(display, chosen);
        // Mesa lists 10-bit configs first; the filter must skip them.
        EXPECT_EQ(got.redBufferSize(), c.r);
        EXPECT_EQ(got.greenBufferSize(), c.g);
        EXPECT_EQ(got.blueBufferSize(), c.b);
        if (c.format.alphaBufferSize() > 0) {
            EXPECT_EQ(got.alphaBufferSize(), c.format.alphaBufferSize());
        }
        EXPECT_EQ(got.renderableType(), VelSurfaceFormat::OpenGLES);
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    }

    VelSurfaceFormat deep = colourFormat(8, 8, 8, 8);
    deep.setDepthBufferSize(24);
    deep.setStencilBufferSize(8);
    deep.setSamples(4);
    const EGLConfig chosen = vel_configFromGLFormat(display, deep, false, EGL_PBUFFER_BIT);
    ASSERT_NE(chosen, nullptr);
    const VelSurfaceFormat got = vel_glFormatFromConfig(display, chosen);
    EXPECT_GE(got.depthBufferSize(), 24);
    EXPECT_GE(got.stencilBufferSize(), 8);
    EXPECT_GE(got.samples(), 1);
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(MesaEglTest, ExtensionsAreMatchedAsWholeNames)
{
    ASSERT_TRUE(vel_hasEglExtension(display, "EGL_KHR_surfaceless_context"));
    EXPECT_FALSE(vel_hasEglExtension(display, "EGL_KHR_surfaceless"));
    EXPECT_FALSE(vel_hasEglExtension(display, ""));
}

TEST_F(MesaEglTest, ClearColourIsReadBackFromAPbuffer)
{
    const auto context = makeContext();
    ASSERT_TRUE(context->isValid());
    EXPECT_FALSE(context->isSharing());
    PbufferSurface surface(display, config, 16, 8);
    ASSERT_NE(surface.eglSurface(), EGL_NO_SURFACE);

    ASSERT_TRUE(context->makeCurrent(&surface));
    EXPECT_EQ(eglGetCurrentContext(), context->eglContext());
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(0, 0), (std::array<GLubyte, 4>{255, 0, 255, 255}));
    EXPECT_EQ(pixelAt(15, 7), (std::array<GLubyte, 4>{255, 0, 255, 255}));

    // Making it current again on the same surface keeps the rendering.
    ASSERT_TRUE(context->makeCurrent(&surface));
    EXPECT_EQ(pixelAt(3, 3), (std::array<GLubyte, 4>{255, 0, 255, 255}));

    context->swapBuffers(&surface);
    context->doneCurrent();
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(MesaEglTest, SharedContextsSeeEachOthersTextures)
{
    const auto first = makeContext();
    const auto second = makeContext(first.get());
    ASSERT_TRUE(second->isValid());
    EXPECT_TRUE(second->isSharing());
    const auto unshared = makeContext();
    PbufferSurface surface(display, config, 4, 4);

    ASSERT_TRUE(first->makeCurrent(&surface));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    ASSERT_NE(texture, 0u);

    ASSERT_TRUE(second->makeCurrent(&surface));
    EXPECT_EQ(glIsTexture(texture), GL_TRUE);
    ASSERT_TRUE(unshared->makeCurrent(&surface));
    EXPECT_EQ(glIsTexture(texture), GL_FALSE);

    ASSERT_TRUE(first->makeCurrent(&surface));
    glDeleteTextures(1, &texture);
    first->doneCurrent();
}

TEST_F(MesaEglTest, ProcAddressesResolveRealEntryPoints)
{
    const auto context = makeContext();
    EXPECT_NE(context->getProcAddress(VelByteArray("glClear")), nullptr);
    EXPECT_NE(context->getProcAddress(VelByteArray("eglCreateImageKHR")), nullptr);
}

TEST_F(MesaEglTest, MakeCurrentOnADestroyedSurfaceFailsWithAWarning)
{
    const auto context = makeContext();
    auto surface = std::make_unique<PbufferSurface>(display, config, 4, 4);
    const EGLSurface dead = surface->eglSurface();
    surface.reset();

    // A surface handle EGL no longer knows.
    class DeadSurface : public VelPlatformSurface
    {
    public:
        explicit DeadSurface(EGLSurface s) : VelPlatformSurface(nullptr), s(s) {}
        VelSurfaceFormat format() const override { return VelSurfaceFormat(); }
        EGLSurface s;
    };
    class DeadContext : public VelEGLPlatformContext
    {
    public:
        using VelEGLPlatformContext::VelEGLPlatformContext;

    protected:
        EGLSurface eglSurfaceForPlatformSurface(VelPlatformSurface *surface) override
        {
            return static_cast<DeadSurface *>(surface)->s;
        }
    };
    DeadContext deadContext(VelSurfaceFormat(), nullptr, display, config, EGL_OPENGL_ES_API);
    DeadSurface deadSurface(dead);
    EXPECT_FALSE(deadContext.makeCurrent(&deadSurface));
    const auto warnings = LogCapture::warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("VelEGLPlatformContext::makeCurrent: eglError: 300d, this: ", 0),
              0u)
        << warnings[0];
}

TEST_F(MesaEglTest, ShaderProgramDrawsWithAnIntUniform)
{
    const auto context = makeContext();
    PbufferSurface surface(display, config, 8, 8);
    ASSERT_TRUE(context->makeCurrent(&surface));

    VelOpenGLShaderProgram program;
    ASSERT_TRUE(program.addShaderFromSourceCode(
        VelOpenGLShader::Vertex,
        "attribute highp vec2 vertexCoordEntry;\n"
        "void main() { gl_Position = vec4(vertexCoordEntry, 0.0, 1.0); }\n"))
        << velPrintable(program.log());
    ASSERT_TRUE(program.addShaderFromSourceCode(
        VelOpenGLShader::Fragment, "uniform bool isRaster;\n"
                                   "void main() {\n"
                                   "   gl_FragColor = isRaster ? vec4(0.0, 1.0, 0.0, 1.0)\n"
                                   "                           : vec4(0.0, 0.0, 1.0, 1.0);\n"
                                   "}\n"))
        << velPrintable(program.log());
    ASSERT_TRUE(program.link()) << velPrintable(program.log());
    EXPECT_NE(program.programId(), 0u);
    const int position = program.attributeLocation("vertexCoordEntry");
    const int isRaster = program.uniformLocation("isRaster");
    ASSERT_GE(position, 0);
    ASSERT_GE(isRaster, 0);
    EXPECT_EQ(program.uniformLocation("noSuchUniform"), -1);

    const GLfloat quad[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    ASSERT_TRUE(program.bind());
    glVertexAttribPointer(GLuint(position), 2, GL_FLOAT, GL_FALSE, 0, quad);
    glEnableVertexAttribArray(GLuint(position));
    program.setUniformValue(isRaster, 1);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    EXPECT_EQ(pixelAt(4, 4), (std::array<GLubyte, 4>{0, 255, 0, 255}));
    program.setUniformValue(isRaster, 0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    EXPECT_EQ(pixelAt(4, 4), (std::array<GLubyte, 4>{0, 0, 255, 255}));
    program.release();
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    glDisableVertexAttribArray(GLuint(position));
}

TEST_F(MesaEglTest, BrokenShaderReportsItsLogAndNeverLinks)
{
    const auto context = makeContext();
    PbufferSurface surface(display, config, 2, 2);
    ASSERT_TRUE(context->makeCurrent(&surface));
    VelOpenGLShaderProgram program;
    EXPECT_FALSE(program.addShaderFromSourceCode(VelOpenGLShader::Fragment,
                                                 "void main() { gl_FragColor = nonsense; }\n"));
    EXPECT_FALSE(program.log().isEmpty());
    EXPECT_FALSE(program.link());
    EXPECT_FALSE(program.bind());
    EXPECT_EQ(program.attributeLocation("anything"), -1);
}

TEST_F(MesaEglTest, OffscreenPbufferRendersAndReportsItsConfigFormat)
{
    VelOffscreenSurface offscreen;
    offscreen.setSize(VelSize(24, 12));
    VelSurfaceFormat requested = colourFormat(5, 6, 5);
    requested.setMajorVersion(3);
    VelEGLPbuffer pbuffer(display, requested, &offscreen);
    ASSERT_TRUE(pbuffer.isValid());
    EXPECT_EQ(pbuffer.format().redBufferSize(), 5);
    EXPECT_EQ(pbuffer.format().greenBufferSize(), 6);
    EXPECT_EQ(pbuffer.format().majorVersion(), VelSurfaceFormat().majorVersion());
    EGLint width = 0;
    EGLint height = 0;
    eglQuerySurface(display, pbuffer.pbuffer(), EGL_WIDTH, &width);
    eglQuerySurface(display, pbuffer.pbuffer(), EGL_HEIGHT, &height);
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 12);

    // A context on the pbuffer's own config renders into it.
    const EGLConfig config565 = vel_configFromGLFormat(display, requested, false, EGL_PBUFFER_BIT);
    PbufferContext context(requested, nullptr, display, config565, EGL_OPENGL_ES_API);
    ASSERT_TRUE(context.isValid());
    ASSERT_TRUE(context.makeCurrent(&pbuffer));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(23, 11), (std::array<GLubyte, 4>{0, 255, 0, 255}));
    context.swapBuffers(&pbuffer);
    context.doneCurrent();
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(MesaEglTest, ZeroSizedPbufferIsWhateverEglAnswers)
{
    VelOffscreenSurface offscreen;
    offscreen.setSize(VelSize(0, 0));
    VelEGLPbuffer pbuffer(display, colourFormat(8, 8, 8), &offscreen);
    // Mesa accepts a 0x0 pbuffer; it then really is 0x0.
    ASSERT_TRUE(pbuffer.isValid());
    EGLint width = -1;
    eglQuerySurface(display, pbuffer.pbuffer(), EGL_WIDTH, &width);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(pbuffer.format().redBufferSize(), 8);
}

TEST_F(MesaEglTest, RefusedPbufferKeepsTheRequestedFormat)
{
    VelOffscreenSurface offscreen;
    offscreen.setSize(VelSize()); // -1 x -1: EGL refuses negative sizes
    VelSurfaceFormat requested = colourFormat(5, 6, 5);
    requested.setStencilBufferSize(8);
    requested.setMajorVersion(3);
    VelEGLPbuffer pbuffer(display, requested, &offscreen);
    EXPECT_FALSE(pbuffer.isValid());
    EXPECT_EQ(pbuffer.format(), requested);
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
}

} // namespace
