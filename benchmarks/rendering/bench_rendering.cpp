// Upload and compositing costs of the raster path on the real stack (Java VM,
// plugin, Mesa's EGL on an X window): flushing a small dirty rectangle against
// flushing the whole window, both against a raw glTexSubImage2D of the same
// bytes, and the compositor's frame time for 1, 4 and 16 windows (swap
// excluded) against the same textured quads drawn by hand.

#include "veleglfsbackingstore.h"
#include "veleglfscompositor.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "velandroiddriver.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velplatformintegration.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <benchmark/benchmark.h>

#include <GLES2/gl2.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{

constexpr int Width = 480;
constexpr int Height = 800;
constexpr int Small = 32;

struct Stack {
    VelXvfbServer server;
    VelAndroidDriver driver;
    VelX11Window surfaceWindow;
    std::unique_ptr<VelGuiApplication> app;
    std::vector<std::unique_ptr<VelWindow>> windows;
    std::vector<std::unique_ptr<VelPlatformBackingStore>> stores;
};

Stack *stack = nullptr;

VelEglFSBackingStore *addRasterWindow(const VelRect &geometry)
{
    auto window = std::make_unique<VelWindow>();
    window->setSurfaceType(VelSurface::RasterSurface);
    window->setGeometry(geometry);
    window->show();
    std::unique_ptr<VelPlatformBackingStore> store(
        VelGuiApplication::platformIntegration()->createPlatformBackingStore(window.get()));
    auto *eglStore = static_cast<VelEglFSBackingStore *>(store.get());
    store->resize(geometry.size(), VelRegion());
    store->beginPaint(VelRegion(VelRect(VelPoint(0, 0), geometry.size())));
    store->flush(window.get(), VelRegion(), VelPoint());
    stack->windows.push_back(std::move(window));
    stack->stores.push_back(std::move(store));
    return eglStore;
}

bool startStack()
{
    stack = new Stack;
    std::string error;
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        if (!stack->server.start(1280, 1024, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
        ::setenv("DISPLAY", stack->server.displayName().c_str(), 1);
    }
    ::setenv("VEL_VELPA_EGLFS_SWAPINTERVAL", "0", 1);
    VelAndroidDriver &driver = stack->driver;
    char pattern[] = "/tmp/velbenchXXXXXX";
    if (!driver.startJavaVm(VelAndroidDriver::VmOptions()) || !::mkdtemp(pattern) ||
        !driver.createActivity(pattern) ||
        !driver.loadLibrary(VelAndroidDriver::defaultPluginPath()) ||
        !driver.startVelAndroidPlugin() ||
        !driver.setDisplayMetrics(Width, Height, Width, Height, 160, 160, 1) ||
        !stack->surfaceWindow.create(std::getenv("DISPLAY"), Width, Height, "bench", &error)) {
        std::fprintf(stderr, "start-up failed: %s %s\n", driver.lastError().c_str(), error.c_str());
        return false;
    }
    jobject surface = driver.newSurface(stack->surfaceWindow.windowId(), Width, Height);
    driver.setSurface(surface);
    driver.deleteGlobalRef(surface);
    static int argc = 1;
    static char name[] = "bench_rendering";
    static char *argv[] = {name, nullptr};
    stack->app = std::make_unique<VelGuiApplication>(argc, argv, VelString("android"));
    addRasterWindow(VelRect(0, 0, Width, Height));
    return true;
}

VelEglFSBackingStore *rootStore()
{
    return static_cast<VelEglFSBackingStore *>(stack->stores.front().get());
}

void makeRootCurrent()
{
    auto *screen = static_cast<VelEglFSScreen *>(VelGuiApplication::primaryScreen()->handle());
    screen->rootContext()->makeCurrent(screen->rootWindow()->window());
}

void flushRegion(benchmark::State &state, const VelRect &dirty)
{
    VelEglFSBackingStore *store = rootStore();
    VelWindow *window = stack->windows.front().get();
    long long bytesPerFlush = 0;
    for (const VelRect &r :
         VelEglFSBackingStore::uploadRegion(VelRegion(dirty), store->image().rect()))
        bytesPerFlush += 4LL * r.width() * r.height();
    const VelRegion dirtyRegion(dirty);
    for (auto _ : state) {
        store->beginPaint(dirtyRegion);
        store->flush(window, dirtyRegion, VelPoint());
        glFinish();
    }
    state.SetBytesProcessed(state.iterations() * bytesPerFlush);
}

void BM_FlushSmallDirtyRect(benchmark::State &state)
{
    flushRegion(state, VelRect(100, 100, Small, Small));
}

void BM_FlushWholeWindow(benchmark::State &state)
{
    flushRegion(state, VelRect(0, 0, Width, Height));
}

void rawUpload(benchmark::State &state, int width, int height)
{
    makeRootCurrent();
    std::vector<uint8_t> pixels(size_t(width) * height * 4, 0x80);
    glBindTexture(GL_TEXTURE_2D, rootStore()->texture());
    for (auto _ : state) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 100, 100, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                        pixels.data());
        glFinish();
    }
    state.SetBytesProcessed(state.iterations() * 4LL * width * height);
}

void BM_RawTexSubImageSmall(benchmark::State &state)
{
    rawUpload(state, Small, Small);
}

void BM_RawTexSubImageWhole(benchmark::State &state)
{
    makeRootCurrent();
    std::vector<uint8_t> pixels(size_t(Width) * Height * 4, 0x80);
    glBindTexture(GL_TEXTURE_2D, rootStore()->texture());
    for (auto _ : state) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE,
                        pixels.data());
        glFinish();
    }
    state.SetBytesProcessed(state.iterations() * 4LL * Width * Height);
}

VelEglFSScreen *eglScreen()
{
    return static_cast<VelEglFSScreen *>(VelGuiApplication::primaryScreen()->handle());
}

void ensureWindows(size_t wanted)
{
    while (stack->windows.size() < wanted) {
        const int i = int(stack->windows.size());
        addRasterWindow(VelRect((i % 4) * 110 + 3, (i / 4) * 150 + 5, 101, 141));
    }
}

// The compositor's frame without the swap: what the CPU spends drawing the
// stack. The stack holds the full-screen root window and N - 1 others.
void BM_CompositeWindows(benchmark::State &state)
{
    ensureWindows(size_t(state.range(0)));
    VelEglFSScreen *screen = eglScreen();
    VelEglFSCompositor *compositor = VelEglFSCompositor::instance();
    compositor->schedule(screen);
    for (auto _ : state) {
        compositor->composite();
        glFinish();
    }
    state.counters["windows"] = double(screen->windows().size());
}

const char kVertexShader[] = "attribute highp vec2 vertexCoordEntry;\n"
                             "attribute highp vec2 textureCoordEntry;\n"
                             "varying highp vec2 textureCoord;\n"
                             "void main() {\n"
                             "   textureCoord = textureCoordEntry;\n"
                             "   gl_Position = vec4(vertexCoordEntry, 0.0, 1.0);\n"
                             "}\n";
const char kFragmentShader[] = "uniform sampler2D texture;\n"
                               "varying highp vec2 textureCoord;\n"
                               "void main() {\n"
                               "   gl_FragColor = texture2D(texture, textureCoord).bgra;\n"
                               "}\n";

GLuint compile(GLenum type, const char *source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The same windows' textures drawn by hand: one program, the quads computed
// once, nothing but the draw calls in the loop.
void BM_RawTexturedQuads(benchmark::State &state)
{
    ensureWindows(size_t(state.range(0)));
    makeRootCurrent();
    VelEglFSScreen *screen = eglScreen();
    const GLuint program = glCreateProgram();
    const GLuint vertexShader = compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragmentShader = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    const GLuint position = GLuint(glGetAttribLocation(program, "vertexCoordEntry"));
    const GLuint texturePosition = GLuint(glGetAttribLocation(program, "textureCoordEntry"));

    struct Drawn {
        VelEglFSCompositor::Quad quad;
        GLuint texture;
    };
    std::vector<Drawn> drawn;
    const VelRect screenRect = screen->geometry();
    const size_t wanted = size_t(state.range(0));
    for (size_t i = 0; i < wanted; ++i) {
        VelEglFSWindow *window = screen->windows()[i];
        drawn.push_back(
            {VelEglFSCompositor::quadFor(screenRect, window->window()->geometry(), true),
             window->texture()});
    }
    static const GLfloat textureCoordinates[] = {0, 0, 1, 0, 1, 1, 0, 1};
    glViewport(0, 0, screenRect.width(), screenRect.height());
    for (auto _ : state) {
        glUseProgram(program);
        glEnableVertexAttribArray(position);
        glEnableVertexAttribArray(texturePosition);
        glVertexAttribPointer(texturePosition, 2, GL_FLOAT, GL_FALSE, 0, textureCoordinates);
        for (const Drawn &d : drawn) {
            glVertexAttribPointer(position, 2, GL_FLOAT, GL_FALSE, 0, d.quad.vertices);
            glBindTexture(GL_TEXTURE_2D, d.texture);
            glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        }
        glFinish();
    }
    glDisableVertexAttribArray(position);
    glDisableVertexAttribArray(texturePosition);
    glUseProgram(0);
    glDeleteProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    state.counters["windows"] = double(drawn.size());
}

BENCHMARK(BM_FlushSmallDirtyRect)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlushWholeWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTexSubImageSmall)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTexSubImageWhole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeWindows)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTexturedQuads)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (!startStack())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The Java VM and the application stay to the end of the process, as on a
    // device; the X window goes before the private server.
    stack->surfaceWindow.destroy();
    std::_Exit(0);
}
