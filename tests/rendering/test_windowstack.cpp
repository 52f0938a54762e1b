// Windows and the screen stack of the full-screen backend, exactly, against
// the recording EGL double: one GUI application over the base integration.

#include "veleglfsbackingstore.h"
#include "veleglfscontext.h"
#include "veleglfshooks.h"
#include "veleglfsintegration.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "fakeegl.h"
#include "velexposeevent.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velplatformbackingstore.h"
#include "velplatformintegrationplugin.h"
#include "velplugin.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

int velInitResources_cursor();

namespace
{

class TestHooks : public VelEglFSHooks
{
public:
    void platformInit() override {}
    void platformDestroy() override {}
    VelSize screenSize() const override { return VelSize(320, 455); }
    VelSizeF physicalScreenSize() const override { return VelSizeF(50, 71); }
    int screenDepth() const override { return 32; }
    void *createNativeWindow(VelPlatformWindow *, const VelSize &,
                             const VelSurfaceFormat &) override
    {
        ++nativeWindowsCreated;
        return &nativeWindow;
    }
    void destroyNativeWindow(void *window) override
    {
        if (window)
            ++nativeWindowsDestroyed;
    }
    VelPlatformCursor *createCursor(VelEglFSScreen *) const override { return nullptr; }

    int nativeWindowsCreated = 0;
    int nativeWindowsDestroyed = 0;
    int nativeWindow = 0;
};

TestHooks testHooks;

class EglfsTestPlugin : public VelPlatformIntegrationPlugin
{
public:
    VelPlatformIntegration *create(const VelString &key, const VelStringList &) override
    {
        return key.toLower() == "eglfstest" ? new VelEglFSIntegration : nullptr;
    }
};

VelObject *pluginInstance()
{
    static EglfsTestPlugin *plugin = new EglfsTestPlugin;
    return plugin;
}

const char *pluginMetaData()
{
    static constexpr VelPluginMetaDataBlock block =
        velPluginMetaData("EglfsTestPlugin", {"eglfstest"});
    return block.bytes;
}

FakeEgl::ConfigAttributes rgba8888()
{
    return {{EGL_RED_SIZE, 8},
            {EGL_GREEN_SIZE, 8},
            {EGL_BLUE_SIZE, 8},
            {EGL_ALPHA_SIZE, 8},
            {EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PBUFFER_BIT},
            {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT}};
}

// Counts the expose events it receives.
class CountingWindow : public VelWindow
{
public:
    explicit CountingWindow(Vel::WindowType type = Vel::Window)
    {
        setSurfaceType(OpenGLSurface);
        setFlags(type);
    }
    int exposes = 0;

protected:
    void exposeEvent(VelExposeEvent *) override { ++exposes; }
};

class WindowStackTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        velInitResources_cursor();
        FakeEgl::reset();
        FakeEgl::setConfigs({rgba8888()});
        velRegisterStaticPluginFunction(VelStaticPlugin{pluginInstance, pluginMetaData});
        static int argc = 1;
        static char name[] = "windowstack";
        static char *argv[] = {name, nullptr};
        app = new VelGuiApplication(argc, argv, VelString("eglfstest"));
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
    }

    static VelEglFSScreen *screen()
    {
        return static_cast<VelEglFSScreen *>(VelGuiApplication::primaryScreen()->handle());
    }
    static VelEglFSWindow *platform(VelWindow *window)
    {
        return static_cast<VelEglFSWindow *>(window->handle());
    }
    static void flush() { VelWindowSystemInterface::flushWindowSystemEvents(); }

    static VelGuiApplication *app;
};

VelGuiApplication *WindowStackTest::app = nullptr;

} // namespace

VelEglFSHooks *platformHooks = &testHooks;

namespace
{

TEST_F(WindowStackTest, GeometryBeforeCreationIsTheWholeScreen)
{
    ASSERT_NE(VelGuiApplication::platformIntegration(), nullptr);
    CountingWindow window;
    VelEglFSWindow uncreated(&window);
    EXPECT_EQ(uncreated.geometry(), VelRect(0, 0, 320, 455));
}

TEST_F(WindowStackTest, OnlyTheFirstWindowOwnsTheSharedSurface)
{
    const int surfacesBefore = FakeEgl::callCount("eglCreateWindowSurface");
    CountingWindow first;
    first.create();
    CountingWindow second;
    second.create();
    ASSERT_NE(platform(&first), nullptr);
    ASSERT_NE(platform(&second), nullptr);

    EXPECT_EQ(FakeEgl::callCount("eglCreateWindowSurface"), surfacesBefore + 1);
    EXPECT_TRUE(platform(&first)->hasFlag(VelEglFSWindow::FlagNativeSurface));
    EXPECT_FALSE(platform(&second)->hasFlag(VelEglFSWindow::FlagNativeSurface));
    EXPECT_NE(platform(&first)->surface(), EGL_NO_SURFACE);
    EXPECT_EQ(platform(&second)->surface(), platform(&first)->surface());
    EXPECT_EQ(screen()->primarySurface(), platform(&first)->surface());
    EXPECT_EQ(platform(&second)->winId(), platform(&first)->winId() + 1);
    // The owner covers the screen whatever it asked for.
    EXPECT_EQ(platform(&first)->geometry(), VelRect(0, 0, 320, 455));

    // Both joined the stack at creation, the later one on top.
    EXPECT_EQ(screen()->windows(),
              (std::vector<VelEglFSWindow *>{platform(&first), platform(&second)}));
    EXPECT_EQ(screen()->rootWindow(), platform(&first));
}

TEST_F(WindowStackTest, DestroyingTheOwnerReleasesTheSurfaceAndTheNextWindowOwnsIt)
{
    const int destroyedBefore = testHooks.nativeWindowsDestroyed;
    {
        CountingWindow owner;
        owner.create();
        ASSERT_TRUE(platform(&owner)->hasFlag(VelEglFSWindow::FlagNativeSurface));
    }
    EXPECT_EQ(testHooks.nativeWindowsDestroyed, destroyedBefore + 1);
    EXPECT_EQ(screen()->primarySurface(), EGL_NO_SURFACE);
    EXPECT_TRUE(screen()->windows().empty());

    CountingWindow next;
    next.create();
    EXPECT_TRUE(platform(&next)->hasFlag(VelEglFSWindow::FlagNativeSurface));
}

TEST_F(WindowStackTest, HidingTheTopWindowActivatesTheOneBelow)
{
    CountingWindow bottom;
    bottom.show();
    CountingWindow top;
    top.show();
    flush();
    ASSERT_EQ(screen()->windows().back(), platform(&top));
    EXPECT_EQ(VelGuiApplication::focusWindow(), &top);

    top.hide();
    flush();
    EXPECT_EQ(screen()->windows(), std::vector<VelEglFSWindow *>{platform(&bottom)});
    EXPECT_EQ(VelGuiApplication::focusWindow(), &bottom);

    // Hiding the last window activates nothing and empties the stack.
    bottom.hide();
    flush();
    EXPECT_TRUE(screen()->windows().empty());
}

TEST_F(WindowStackTest, LowerMovesOneStepDownAndExposesTheFormerTop)
{
    CountingWindow a;
    a.show();
    CountingWindow b;
    b.show();
    CountingWindow c;
    c.show();
    flush();
    ASSERT_EQ(screen()->windows(),
              (std::vector<VelEglFSWindow *>{platform(&a), platform(&b), platform(&c)}));

    const int exposesBefore = c.exposes;
    platform(&c)->lower();
    flush();
    EXPECT_EQ(screen()->windows(),
              (std::vector<VelEglFSWindow *>{platform(&a), platform(&c), platform(&b)}));
    EXPECT_EQ(c.exposes, exposesBefore + 1);

    // The bottom window stays where it is, and nobody is exposed.
    const int bExposes = b.exposes;
    const int cExposes = c.exposes;
    platform(&a)->lower();
    flush();
    EXPECT_EQ(screen()->windows().front(), platform(&a));
    EXPECT_EQ(b.exposes, bExposes);
    EXPECT_EQ(c.exposes, cExposes);

    // raise puts a window back on top.
    platform(&a)->raise();
    EXPECT_EQ(screen()->windows().back(), platform(&a));
}

TEST_F(WindowStackTest, DesktopWindowCoversTheScreenAndStaysOutOfTheStack)
{
    CountingWindow desktop(Vel::Desktop);
    desktop.setGeometry(VelRect(10, 10, 20, 20));
    desktop.show();
    flush();
    EXPECT_EQ(platform(&desktop)->geometry(), VelRect(0, 0, 320, 455));
    const std::vector<VelEglFSWindow *> &stack = screen()->windows();
    EXPECT_EQ(std::find(stack.begin(), stack.end(), platform(&desktop)), stack.end());
    platform(&desktop)->raise();
    EXPECT_EQ(std::find(stack.begin(), stack.end(), platform(&desktop)), stack.end());
}

TEST_F(WindowStackTest, DestroyedBackingStoreIsNoLongerReachableFromItsWindow)
{
    CountingWindow window;
    window.create();
    std::unique_ptr<VelPlatformBackingStore> store(
        VelGuiApplication::platformIntegration()->createPlatformBackingStore(&window));
    EXPECT_EQ(platform(&window)->backingStore(), store.get());
    store.reset();
    // The compositor reads this link for every window in the stack.
    EXPECT_EQ(platform(&window)->backingStore(), nullptr);
    EXPECT_EQ(platform(&window)->texture(), 0u);
}

TEST_F(WindowStackTest, ContextSetsTheSwapIntervalOnce)
{
    CountingWindow window;
    window.create();
    VelOpenGLContext context;
    ASSERT_TRUE(context.create());
    const int before = FakeEgl::callCount("eglSwapInterval");
    EXPECT_TRUE(context.makeCurrent(&window));
    EXPECT_TRUE(context.makeCurrent(&window));
    EXPECT_EQ(FakeEgl::callCount("eglSwapInterval"), before + 1);
}

} // namespace
