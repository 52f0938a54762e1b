// Upload and compositing costs of the raster path on the real stack (Java VM,
// plugin, Mesa's EGL on an X window): flushing a small dirty rectangle against
// flushing the whole window, both against a raw glTexSubImage2D of the same
// bytes, and the compositor's frame time for 1, 4 and 16 windows (swap
// excluded) against the same textured quads drawn by hand. The *Vs* benchmarks
// alternate the two in one loop and report their CPU-time ratio.

#include "veleglfsbackingstore.h"
#include "veleglfscompositor.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "velandroiddriver.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velplatformintegration.h"
#include "velprocessheap.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <benchmark/benchmark.h>

#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// Exactly the first `wanted` windows on the screen (the full-screen root
// first), whatever an earlier benchmark left there: the others are hidden,
// which takes them off the screen's stack.
void showWindows(size_t wanted)
{
    while (stack->windows.size() < wanted) {
        const int i = int(stack->windows.size());
        addRasterWindow(VelRect((i % 4) * 110 + 3, (i / 4) * 150 + 5, 101, 141));
    }
    for (size_t i = 1; i < stack->windows.size(); ++i) {
        VelWindow *window = stack->windows[i].get();
        const bool wantedShown = i < wanted;
        if (window->isVisible() != wantedShown)
            window->setVisible(wantedShown);
    }
}

// The compositor's frame without the swap: what the CPU spends drawing the
// stack. The stack holds the full-screen root window and N - 1 others.
void BM_CompositeWindows(benchmark::State &state)
{
    showWindows(size_t(state.range(0)));
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
// once, nothing but the draw calls in each frame.
class RawQuads
{
public:
    explicit RawQuads(size_t count)
    {
        makeRootCurrent();
        VelEglFSScreen *screen = eglScreen();
        m_vertexShader = compile(GL_VERTEX_SHADER, kVertexShader);
        m_fragmentShader = compile(GL_FRAGMENT_SHADER, kFragmentShader);
        glAttachShader(m_program, m_vertexShader);
        glAttachShader(m_program, m_fragmentShader);
        glLinkProgram(m_program);
        m_position = GLuint(glGetAttribLocation(m_program, "vertexCoordEntry"));
        m_texturePosition = GLuint(glGetAttribLocation(m_program, "textureCoordEntry"));
        m_screenRect = screen->geometry();
        for (size_t i = 0; i < count; ++i) {
            VelEglFSWindow *window = screen->windows()[i];
            m_drawn.push_back(
                {VelEglFSCompositor::quadFor(m_screenRect, window->window()->geometry(), true),
                 window->texture()});
        }
    }
    ~RawQuads()
    {
        glDisableVertexAttribArray(m_position);
        glDisableVertexAttribArray(m_texturePosition);
        glUseProgram(0);
        glDeleteProgram(m_program);
        glDeleteShader(m_vertexShader);
        glDeleteShader(m_fragmentShader);
    }

    void drawFrame()
    {
        static const GLfloat textureCoordinates[] = {0, 0, 1, 0, 1, 1, 0, 1};
        glViewport(0, 0, m_screenRect.width(), m_screenRect.height());
        glUseProgram(m_program);
        glEnableVertexAttribArray(m_position);
        glEnableVertexAttribArray(m_texturePosition);
        glVertexAttribPointer(m_texturePosition, 2, GL_FLOAT, GL_FALSE, 0, textureCoordinates);
        for (const Drawn &d : m_drawn) {
            glVertexAttribPointer(m_position, 2, GL_FLOAT, GL_FALSE, 0, d.quad.vertices);
            glBindTexture(GL_TEXTURE_2D, d.texture);
            glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        }
    }
    size_t count() const { return m_drawn.size(); }

private:
    struct Drawn {
        VelEglFSCompositor::Quad quad;
        GLuint texture;
    };
    const GLuint m_program = glCreateProgram();
    GLuint m_vertexShader = 0;
    GLuint m_fragmentShader = 0;
    GLuint m_position = 0;
    GLuint m_texturePosition = 0;
    VelRect m_screenRect;
    std::vector<Drawn> m_drawn;
};

void BM_RawTexturedQuads(benchmark::State &state)
{
    showWindows(size_t(state.range(0)));
    RawQuads raw(size_t(state.range(0)));
    for (auto _ : state) {
        raw.drawFrame();
        glFinish();
    }
    state.counters["windows"] = double(raw.count());
}

double threadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The product's work and its baseline's in alternating chunks, each timed by
// the thread's CPU clock: load that comes and goes on a shared machine falls
// on both alike, so their ratio holds where the separate figures drift.
template <typename Product, typename Baseline>
void alternate(benchmark::State &state, int chunk, Product product, Baseline baseline)
{
    double productSeconds = 0;
    double baselineSeconds = 0;
    long long rounds = 0;
    for (auto _ : state) {
        const double start = threadCpuSeconds();
        for (int i = 0; i < chunk; ++i)
            product();
        const double middle = threadCpuSeconds();
        for (int i = 0; i < chunk; ++i)
            baseline();
        const double end = threadCpuSeconds();
        productSeconds += middle - start;
        baselineSeconds += end - middle;
        rounds += chunk;
    }
    state.counters["product_us"] = productSeconds / double(rounds) * 1e6;
    state.counters["baseline_us"] = baselineSeconds / double(rounds) * 1e6;
    state.counters["ratio"] = baselineSeconds > 0 ? productSeconds / baselineSeconds : 0;
}

void BM_FlushSmallVsRawUpload(benchmark::State &state)
{
    VelEglFSBackingStore *store = rootStore();
    VelWindow *window = stack->windows.front().get();
    const VelRect dirty(100, 100, Small, Small);
    const VelRegion dirtyRegion(dirty);
    std::vector<uint8_t> pixels(size_t(Small) * Small * 4, 0x80);
    alternate(
        state, 200,
        [&] {
            store->beginPaint(dirtyRegion);
            store->flush(window, dirtyRegion, VelPoint());
            glFinish();
        },
        [&] {
            glBindTexture(GL_TEXTURE_2D, store->texture());
            glTexSubImage2D(GL_TEXTURE_2D, 0, dirty.x(), dirty.y(), Small, Small, GL_RGBA,
                            GL_UNSIGNED_BYTE, pixels.data());
            glFinish();
        });
}

// The same, against a raw upload that reads the rectangle where the flush
// finds it: in the window's image, one row every image width apart. What
// separates this baseline from the contiguous one is the memory, not our code.
void BM_FlushSmallVsRawImageRowsUpload(benchmark::State &state)
{
    VelEglFSBackingStore *store = rootStore();
    VelWindow *window = stack->windows.front().get();
    const VelRect dirty(100, 100, Small, Small);
    const VelRegion dirtyRegion(dirty);
    const VelImage &image = store->image();
    alternate(
        state, 200,
        [&] {
            store->beginPaint(dirtyRegion);
            store->flush(window, dirtyRegion, VelPoint());
            glFinish();
        },
        [&] {
            glBindTexture(GL_TEXTURE_2D, store->texture());
            glPixelStorei(GL_UNPACK_ROW_LENGTH_EXT, image.bytesPerLine() / 4);
            glTexSubImage2D(GL_TEXTURE_2D, 0, dirty.x(), dirty.y(), Small, Small, GL_RGBA,
                            GL_UNSIGNED_BYTE, image.constScanLine(dirty.y()) + dirty.x() * 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH_EXT, 0);
            glFinish();
        });
}

void BM_FlushWholeVsRawUpload(benchmark::State &state)
{
    VelEglFSBackingStore *store = rootStore();
    VelWindow *window = stack->windows.front().get();
    const VelRegion dirtyRegion(VelRect(0, 0, Width, Height));
    std::vector<uint8_t> pixels(size_t(Width) * Height * 4, 0x80);
    alternate(
        state, 5,
        [&] {
            store->beginPaint(dirtyRegion);
            store->flush(window, dirtyRegion, VelPoint());
            glFinish();
        },
        [&] {
            glBindTexture(GL_TEXTURE_2D, store->texture());
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE,
                            pixels.data());
            glFinish();
        });
}

void BM_CompositeVsRawQuads(benchmark::State &state)
{
    const size_t count = size_t(state.range(0));
    showWindows(count);
    VelEglFSScreen *screen = eglScreen();
    if (screen->windows().size() != count) {
        state.SkipWithError("the stack holds more windows than wanted");
        return;
    }
    VelEglFSCompositor *compositor = VelEglFSCompositor::instance();
    compositor->schedule(screen);
    RawQuads raw(count);
    alternate(
        state, 10,
        [&] {
            compositor->composite();
            glFinish();
        },
        [&] {
            raw.drawFrame();
            glFinish();
        });
    state.counters["windows"] = double(count);
}

BENCHMARK(BM_FlushSmallDirtyRect)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlushWholeWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTexSubImageSmall)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTexSubImageWhole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeWindows)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTexturedQuads)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlushSmallVsRawUpload)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlushSmallVsRawImageRowsUpload)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlushWholeVsRawUpload)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeVsRawQuads)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    // As the launcher does: without it, whether a frame's driver memory is
    // faulted in afresh depends on where earlier allocations left the top of
    // the heap, and the same GL calls cost ten times as much in one benchmark
    // as in the next.
    VelProcessHeap::keepFreedMemory();
    if (!startStack())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The Java VM and the application stay to the end of the process, as on a
    // device; the X window goes before the private server.
    stack->surfaceWindow.destroy();
    std::_Exit(0);
}
