// The Android windows, context and screen, exactly: the plugin built against
// the recording EGL double and loaded into a real Java VM, with this test's
// thread as the application's GUI thread.

#include "androidjnimain.h"
#include "velandroidopenglcontext.h"
#include "velandroidopenglplatformwindow.h"
#include "velandroidplatformintegration.h"
#include "veleglfsscreen.h"

#include "fakeegl.h"
#include "velandroiddriver.h"
#include "velguiapplication.h"
#include "velopenglcontext.h"
#include "velopenglcontext_p.h"
#include "velresizeevent.h"
#include "velscreen.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <velstandin.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace
{

FakeEgl::ConfigAttributes rgba8888()
{
    return {{EGL_RED_SIZE, 8},
            {EGL_GREEN_SIZE, 8},
            {EGL_BLUE_SIZE, 8},
            {EGL_ALPHA_SIZE, 8},
            {EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PBUFFER_BIT},
            {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT}};
}

class GeometryWindow : public VelWindow
{
public:
    explicit GeometryWindow(Vel::WindowFlags flags = Vel::Window)
    {
        setSurfaceType(OpenGLSurface);
        setFlags(flags);
    }
    int resizes = 0;

protected:
    void resizeEvent(VelResizeEvent *) override { ++resizes; }
};

class AndroidWindowsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            static VelXvfbServer server;
            std::string error;
            ASSERT_TRUE(server.start(640, 480, &error)) << error;
            ::setenv("DISPLAY", server.displayName().c_str(), 1);
        }
        FakeEgl::reset();
        FakeEgl::setConfigs({rgba8888()});
        ASSERT_TRUE(driver.startJavaVm(VelAndroidDriver::VmOptions())) << driver.lastError();
        char pattern[] = "/tmp/velandroidwindowsXXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        ASSERT_TRUE(driver.createActivity(pattern)) << driver.lastError();
        ASSERT_TRUE(driver.loadLibrary(VEL_TEST_PLUGIN)) << driver.lastError();
        ASSERT_TRUE(driver.startVelAndroidPlugin());
        ASSERT_TRUE(driver.setDisplayMetrics(320, 455, 320, 455, 160, 160, 1));
        announce(firstWindow);
        static int argc = 1;
        static char name[] = "androidwindows";
        static char *argv[] = {name, nullptr};
        app = new VelGuiApplication(argc, argv, VelString("android"));
        ASSERT_NE(VelAndroid::androidPlatformIntegration(), nullptr);
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
        // Before the private X server goes away at exit.
        ASSERT_TRUE(driver.destroySurface());
        firstWindow.destroy();
    }

    static void announce(VelX11Window &window)
    {
        std::string error;
        if (!window.windowId()) {
            ASSERT_TRUE(window.create(std::getenv("DISPLAY"), 320, 455, "android", &error))
                << error;
        }
        jobject surface = driver.newSurface(window.windowId(), 320, 455);
        ASSERT_TRUE(driver.setSurface(surface)) << driver.lastError();
        driver.deleteGlobalRef(surface);
    }

    static VelAndroidOpenGLPlatformWindow *platform(VelWindow *window)
    {
        return static_cast<VelAndroidOpenGLPlatformWindow *>(window->handle());
    }
    static void flush() { VelWindowSystemInterface::flushWindowSystemEvents(); }

    static VelAndroidDriver driver;
    static VelX11Window firstWindow;
    static VelGuiApplication *app;
};

VelAndroidDriver AndroidWindowsTest::driver;
VelX11Window AndroidWindowsTest::firstWindow;
VelGuiApplication *AndroidWindowsTest::app = nullptr;

TEST_F(AndroidWindowsTest, SurfaceLossAndReturnKeepTheSharedSurfaceCounted)
{
    const int createdBefore = FakeEgl::callCount("eglCreateWindowSurface");
    GeometryWindow first;
    first.create();
    GeometryWindow second;
    second.create();
    EXPECT_EQ(FakeEgl::callCount("eglCreateWindowSurface"), createdBefore + 1);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 2);
    const EGLSurface shared = VelAndroidOpenGLPlatformWindow::sharedSurface();
    EXPECT_EQ(platform(&second)->surface(), shared);

    // Pause: destroyed once, when the last window lets go.
    const size_t destroyedBefore = FakeEgl::destroyedSurfaces().size();
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 0);
    ASSERT_EQ(FakeEgl::destroyedSurfaces().size(), destroyedBefore + 1);
    EXPECT_EQ(FakeEgl::destroyedSurfaces().back(), shared);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), EGL_NO_SURFACE);
    // A second loss finds nothing left to release and the count stays at 0.
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 0);
    EXPECT_EQ(FakeEgl::destroyedSurfaces().size(), destroyedBefore + 1);

    // Resume on a different window: recreated once, used by every window.
    VelX11Window other;
    announce(other);
    EXPECT_EQ(FakeEgl::callCount("eglCreateWindowSurface"), createdBefore + 2);
    const EGLSurface renewed = VelAndroidOpenGLPlatformWindow::sharedSurface();
    EXPECT_NE(renewed, EGL_NO_SURFACE);
    EXPECT_EQ(platform(&first)->surface(), renewed);
    EXPECT_EQ(platform(&second)->surface(), renewed);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 2);

    // A window created now renders to the current surface, not a stale record.
    GeometryWindow late;
    late.create();
    EXPECT_EQ(platform(&late)->surface(), renewed);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 3);

    // Windows going away one by one: the surface lives until the last.
    late.destroy();
    second.destroy();
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 1);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), renewed);
    first.destroy();
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 0);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), EGL_NO_SURFACE);
    EXPECT_EQ(FakeEgl::destroyedSurfaces().back(), renewed);
}

TEST_F(AndroidWindowsTest, ASurfaceWithoutAWindowIsALossNotANewWindow)
{
    GeometryWindow window;
    window.create();
    ASSERT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 1);

    // Released before it was announced: no native window in it. Treated as a
    // new window it would wait for a surface on this (the Java) thread.
    VelX11Window gone;
    std::string error;
    ASSERT_TRUE(gone.create(std::getenv("DISPLAY"), 320, 455, "gone", &error)) << error;
    jobject dead = driver.newSurface(gone.windowId(), 320, 455);
    ASSERT_TRUE(driver.releaseSurface(dead));
    const int surfacesBefore = FakeEgl::callCount("eglCreateWindowSurface");
    ASSERT_TRUE(driver.setSurface(dead));
    driver.deleteGlobalRef(dead);
    EXPECT_EQ(VelAndroid::nativeWindow(false), nullptr);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 0);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), EGL_NO_SURFACE);
    EXPECT_EQ(FakeEgl::callCount("eglCreateWindowSurface"), surfacesBefore);

    announce(firstWindow);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 1);
    EXPECT_NE(platform(&window)->surface(), EGL_NO_SURFACE);
}

TEST_F(AndroidWindowsTest, ChangesInsideJavasSurfaceLockWaitForTheLastUnlock)
{
    GeometryWindow window;
    window.create();
    const EGLSurface before = VelAndroidOpenGLPlatformWindow::sharedSurface();
    ASSERT_NE(before, EGL_NO_SURFACE);

    // Changing the windows' surfaces takes the shared surface's lock, which
    // comes before the bridge's surface mutex: not while Java holds the mutex.
    VelX11Window other;
    ASSERT_TRUE(driver.lockSurface());
    ASSERT_TRUE(driver.lockSurface());
    announce(other);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), before);
    ASSERT_TRUE(driver.unlockSurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), before);
    ASSERT_TRUE(driver.unlockSurface());
    const EGLSurface after = VelAndroidOpenGLPlatformWindow::sharedSurface();
    EXPECT_NE(after, before);
    EXPECT_NE(after, EGL_NO_SURFACE);
    EXPECT_EQ(platform(&window)->surface(), after);

    // The same for a loss, and an unmatched unlock changes nothing.
    ASSERT_TRUE(driver.lockSurface());
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), after);
    ASSERT_TRUE(driver.unlockSurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurface(), EGL_NO_SURFACE);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 0);
    ASSERT_TRUE(driver.unlockSurface());

    announce(firstWindow);
    EXPECT_EQ(platform(&window)->surface(), VelAndroidOpenGLPlatformWindow::sharedSurface());
}

TEST_F(AndroidWindowsTest, WindowsThatNeverChoseAConfigStillMakeTheSharedSurface)
{
    // A desktop window first, then the owner and a later window.
    GeometryWindow desktop(Vel::Desktop);
    desktop.create();
    auto owner = std::make_unique<GeometryWindow>();
    owner->create();
    GeometryWindow later;
    later.create();
    ASSERT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 2);

    // The owner goes; the later window, which never chose a config, is the
    // one that makes the surface on the next window.
    owner.reset();
    ASSERT_TRUE(driver.destroySurface());
    VelX11Window other;
    announce(other);
    EXPECT_NE(VelAndroidOpenGLPlatformWindow::sharedSurface(), EGL_NO_SURFACE);
    EXPECT_EQ(platform(&later)->surface(), VelAndroidOpenGLPlatformWindow::sharedSurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 1);

    announce(firstWindow);
}

TEST_F(AndroidWindowsTest, ChildWindowsFollowTheSurfaceAndLetItGo)
{
    GeometryWindow parent;
    parent.create();
    VelWindow child(&parent);
    child.setSurfaceType(VelSurface::OpenGLSurface);
    child.create();
    ASSERT_NE(child.handle(), nullptr);
    const int users = VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers();
    ASSERT_GE(users, 1);

    const int liveBefore = FakeEgl::liveSurfaceCount();
    ASSERT_TRUE(driver.destroySurface());
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), 0);
    EXPECT_EQ(FakeEgl::liveSurfaceCount(), liveBefore - 1);
    EXPECT_EQ(platform(&child)->surface(), EGL_NO_SURFACE);

    announce(firstWindow);
    EXPECT_EQ(VelAndroidOpenGLPlatformWindow::sharedSurfaceUsers(), users);
    EXPECT_EQ(platform(&child)->surface(), VelAndroidOpenGLPlatformWindow::sharedSurface());
}

TEST_F(AndroidWindowsTest, SameSurfaceAgainSetsPendingSizesAppliedAfterTheSwap)
{
    GeometryWindow window;
    window.create();
    VelOpenGLContext context;
    ASSERT_TRUE(context.create());
    ASSERT_TRUE(context.makeCurrent(&window));
    context.swapBuffers(&window); // applies what the creation left pending
    EXPECT_EQ(platform(&window)->pendingSize, VelSize(-1, -1));

    // Nothing pending: a swap changes nothing.
    const int resizes = window.resizes;
    context.swapBuffers(&window);
    flush();
    EXPECT_EQ(window.resizes, resizes);

    // The same native window announced again with a new size: no surface is
    // made, the size waits for the next swap.
    const int surfacesBefore = FakeEgl::callCount("eglCreateWindowSurface");
    ASSERT_TRUE(driver.setDisplayMetrics(300, 400, 300, 400, 160, 160, 1));
    announce(firstWindow);
    announce(firstWindow);
    const int afterFirst = FakeEgl::callCount("eglCreateWindowSurface");
    EXPECT_LE(afterFirst - surfacesBefore, 1) << "only a different window makes a surface";
    EXPECT_EQ(platform(&window)->pendingSize, VelSize(300, 400));
    EXPECT_NE(platform(&window)->geometry().size(), VelSize(300, 400));
    context.makeCurrent(&window);
    context.swapBuffers(&window);
    EXPECT_EQ(platform(&window)->pendingSize, VelSize(-1, -1));
    EXPECT_EQ(platform(&window)->geometry(), VelRect(0, 0, 300, 400));
    EXPECT_EQ(FakeEgl::callCount("eglCreateWindowSurface"), afterFirst);
    ASSERT_TRUE(driver.setDisplayMetrics(320, 455, 320, 455, 160, 160, 1));
}

// Java replaces the surface while a frame is drawn: the frame, drawn into the
// old surface, is not swapped onto the new one (which is not current, so EGL
// would refuse it), and the next frame goes to the new surface.
TEST_F(AndroidWindowsTest, AFrameWhoseSurfaceWasReplacedBeforeItsSwapIsDropped)
{
    GeometryWindow window;
    window.create();
    VelOpenGLContext context;
    ASSERT_TRUE(context.create());
    ASSERT_TRUE(context.makeCurrent(&window));
    const EGLSurface drawnInto = platform(&window)->surface();

    VelX11Window replacement;
    announce(replacement);
    const EGLSurface renewed = platform(&window)->surface();
    ASSERT_NE(renewed, drawnInto);
    ASSERT_NE(renewed, EGL_NO_SURFACE);
    const size_t swapsBefore = FakeEgl::swappedSurfaces().size();
    context.swapBuffers(&window);
    EXPECT_EQ(FakeEgl::swappedSurfaces().size(), swapsBefore) << "the stale frame was swapped";

    ASSERT_TRUE(context.makeCurrent(&window));
    context.swapBuffers(&window);
    ASSERT_EQ(FakeEgl::swappedSurfaces().size(), swapsBefore + 1);
    EXPECT_EQ(FakeEgl::swappedSurfaces().back(), renewed);

    // Taken away between the two: nothing to swap, nothing swapped.
    ASSERT_TRUE(context.makeCurrent(&window));
    ASSERT_TRUE(driver.destroySurface());
    context.swapBuffers(&window);
    EXPECT_EQ(FakeEgl::swappedSurfaces().size(), swapsBefore + 1);

    context.doneCurrent();
    window.destroy();
    announce(firstWindow);
}

TEST_F(AndroidWindowsTest, StatusBarFollowsPlainWindowsButNeverDialogs)
{
    GeometryWindow plain;
    plain.show();
    ASSERT_TRUE(driver.clearJavaCalls());

    plain.setWindowState(Vel::WindowFullScreen);
    platform(&plain)->setWindowState(Vel::WindowFullScreen);
    EXPECT_EQ(driver.javaCalls(), std::vector<std::string>{"setFullScreen(true)"});
    platform(&plain)->setWindowState(Vel::WindowMaximized);
    EXPECT_EQ(driver.javaCalls(),
              (std::vector<std::string>{"setFullScreen(true)", "setFullScreen(false)"}));
    platform(&plain)->setWindowState(Vel::WindowNoState);
    EXPECT_EQ(driver.javaCallCount("setFullScreen"), 2);

    GeometryWindow dialog(Vel::Dialog);
    dialog.show();
    ASSERT_TRUE(driver.clearJavaCalls());
    platform(&dialog)->setWindowState(Vel::WindowFullScreen);
    platform(&dialog)->raise();
    EXPECT_EQ(driver.javaCallCount("setFullScreen"), 0);

    // raise leaves the stack as it was.
    auto *screen = static_cast<VelEglFSScreen *>(platform(&plain)->screen());
    const std::vector<VelEglFSWindow *> stack = screen->windows();
    platform(&plain)->raise();
    EXPECT_EQ(screen->windows(), stack);
}

TEST_F(AndroidWindowsTest, EmulatorRendererSetsTheWorkaroundFlag)
{
    GeometryWindow window;
    window.create();
    const struct {
        const char *renderer;
        bool flagged;
    } cases[] = {{"Android Emulator OpenGL ES Translator", true},
                 {"Android Emulator", true},
                 {"Android Emulato", false},
                 {"Mesa llvmpipe", false}};
    for (const auto &c : cases) {
        FakeEgl::setRenderer(c.renderer);
        VelOpenGLContext context;
        ASSERT_TRUE(context.create());
        context.makeCurrent(&window);
        EXPECT_EQ(VelOpenGLContextPrivate::get(&context)->workaround_brokenFBOReadBack, c.flagged)
            << c.renderer;
        context.doneCurrent();
    }
}

// The renderer is read once per context, on its first successful make-current;
// a failed one reads nothing that counts, so the check waits for a success.
TEST_F(AndroidWindowsTest, RendererIsCheckedOncePerContext)
{
    GeometryWindow window;
    window.create();
    FakeEgl::setRenderer("Android Emulator OpenGL ES Translator");
    VelOpenGLContext context;
    ASSERT_TRUE(context.create());

    FakeEgl::setMakeCurrentError(EGL_BAD_ALLOC);
    EXPECT_FALSE(context.makeCurrent(&window));
    FakeEgl::setMakeCurrentError(EGL_SUCCESS);
    VelOpenGLContextPrivate::get(&context)->workaround_brokenFBOReadBack = false;

    const int before = FakeEgl::callCount("glGetString");
    ASSERT_TRUE(context.makeCurrent(&window));
    EXPECT_TRUE(VelOpenGLContextPrivate::get(&context)->workaround_brokenFBOReadBack);
    context.doneCurrent();
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(context.makeCurrent(&window));
    EXPECT_EQ(FakeEgl::callCount("glGetString") - before, 1);
    context.doneCurrent();
}

} // namespace
