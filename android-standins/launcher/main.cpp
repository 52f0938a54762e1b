// vel-android-run: plays the Java half of an Android app on the desktop. It
// starts a Java VM with the companion jar, loads the plugin the way an app's
// activity does, drives the start-up natives, gives the plugin an X11 window
// as its surface and forwards the window's mouse and keys as input natives.

#include "velandroiddriver.h"
#include "velframewatcher.h"
#include "velinputmapping.h"
#include "veljavavm.h"
#include "vellaunchoptions.h"
#include "velpngwriter.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <X11/Xlib.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2, ExitTimeout = 3 };

// Frames counted by content changes settle after this long without a change.
constexpr std::chrono::milliseconds frameSettleTime(500);
// A window whose content never changes is taken as it is after this long.
constexpr std::chrono::milliseconds frameIdleLimit(10000);
constexpr std::chrono::milliseconds sampleInterval(50);
constexpr int defaultFrameTimeoutSeconds = 60;

int report(const std::string &message, int code)
{
    std::fprintf(stderr, "vel-android-run: %s\n", message.c_str());
    return code;
}

std::string absolutePath(const std::string &path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

void forwardInput(VelAndroidDriver &driver, const VelX11Window::Event &event)
{
    switch (event.type) {
    case VelX11Window::Event::ButtonDown:
        if (event.button == 1)
            driver.mouseDown(event.x, event.y);
        break;
    case VelX11Window::Event::ButtonUp:
        if (event.button == 1)
            driver.mouseUp(event.x, event.y);
        break;
    case VelX11Window::Event::Motion:
        if (event.state & Button1Mask)
            driver.mouseMove(event.x, event.y);
        break;
    case VelX11Window::Event::KeyDown:
    case VelX11Window::Event::KeyUp: {
        const int key = velAndroidKeyCodeForKeysym(event.keysym);
        const int meta = velAndroidMetaForXState(event.state);
        if (event.type == VelX11Window::Event::KeyDown)
            driver.keyDown(key, static_cast<int>(event.unicode), meta);
        else
            driver.keyUp(key, static_cast<int>(event.unicode), meta);
        break;
    }
    default:
        break;
    }
}

std::string baseName(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int main(int argc, char **argv)
{
    // First of all, before any thread: the application's GUI thread (Mesa's
    // EGL) and the stand-ins' X windows use Xlib on separate threads.
    VelX11Window::prepareThreadedProcess();
    VelLaunchOptions options;
    std::string error;
    if (!VelLaunchOptions::parse(std::vector<std::string>(argv + 1, argv + argc), &options,
                                 &error)) {
        std::fputs(VelLaunchOptions::usage().c_str(), stderr);
        return report(error, ExitUsage);
    }
    if (options.help) {
        std::fputs(VelLaunchOptions::usage().c_str(), stdout);
        return ExitOk;
    }

    // The X server comes first: it is forked, which is best done before the
    // Java VM has started its threads.
    VelXvfbServer xvfb;
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display) {
        if (!options.headless)
            return report("DISPLAY is not set; use --headless for a private X server", ExitFailure);
        if (!xvfb.start(options.width, options.height, &error))
            return report(error, ExitFailure);
        ::setenv("DISPLAY", xvfb.displayName().c_str(), 1);
    }

    VelX11Window window;
    if (!window.create(nullptr, options.width, options.height,
                       "vel-android-run: " + baseName(options.appLibrary), &error))
        return report(error, ExitFailure);

    VelAndroidDriver driver;
    VelAndroidDriver::VmOptions vmOptions;
    vmOptions.jarPath = options.jarPath;
    vmOptions.libraryDir = options.libraryDir;
    vmOptions.jvmOptions = options.jvmOptions;
    if (!driver.startJavaVm(vmOptions))
        return report(driver.lastError(), ExitFailure);
    if (!driver.createActivity(absolutePath(options.assetsDir)))
        return report(driver.lastError(), ExitFailure);
    if (!driver.loadLibrary(absolutePath(options.pluginPath)))
        return report(driver.lastError(), ExitFailure);

    // The start-up order an activity follows: prepare the plugin, report the
    // metrics, start the app, then hand over the surface.
    bool prepared = false;
    if (!driver.startVelAndroidPlugin(&prepared) || !prepared)
        return report("startVelAndroidPlugin failed: " + driver.lastError(), ExitFailure);
    const int w = options.width;
    const int h = options.height;
    if (!driver.setDisplayMetrics(w, h, w, h, options.dpi, options.dpi, options.scaledDensity))
        return report(driver.lastError(), ExitFailure);
    std::vector<std::string> parameters = {absolutePath(options.appLibrary)};
    parameters.insert(parameters.end(), options.appArguments.begin(), options.appArguments.end());
    if (!driver.startVelApplication(parameters, options.environment))
        return report(driver.lastError(), ExitFailure);
    // The empty window is the baseline frames are counted against; the
    // plugin may draw as soon as it has the surface.
    VelFrameWatcher watcher(&window);
    if (options.frames > 0)
        watcher.sample();
    jobject surface = driver.newSurface(window.windowId(), w, h);
    if (!surface || !driver.setSurface(surface))
        return report(driver.lastError(), ExitFailure);
    int timeoutSeconds = options.timeoutSeconds;
    if (timeoutSeconds == 0 && options.frames > 0)
        timeoutSeconds = defaultFrameTimeoutSeconds;
    const Clock::time_point started = Clock::now();
    bool appQuit = false;
    bool timedOut = false;
    bool closed = false;
    while (true) {
        for (const VelX11Window::Event &event : window.pollEvents()) {
            if (event.type == VelX11Window::Event::CloseRequested)
                closed = true;
            else
                forwardInput(driver, event);
        }
        if (closed)
            break;
        if (driver.waitForQuit(sampleInterval.count())) {
            appQuit = true;
            break;
        }
        if (options.frames > 0) {
            watcher.sample();
            if (watcher.ready(options.frames, frameSettleTime, frameIdleLimit))
                break;
        }
        if (timeoutSeconds > 0 && Clock::now() - started > std::chrono::seconds(timeoutSeconds)) {
            timedOut = true;
            break;
        }
    }

    int exitCode = timedOut ? ExitTimeout : ExitOk;
    if (timedOut)
        report("timed out after " + std::to_string(timeoutSeconds) + " s", ExitTimeout);
    if (!options.screenshotPath.empty()) {
        std::vector<uint8_t> pixels;
        if (!window.grabPixels(&pixels, &error) ||
            !velWritePng(options.screenshotPath, window.width(), window.height(), pixels, &error))
            exitCode = report(error, ExitFailure);
    }

    // The end an activity goes through: the surface goes away, then the
    // plugin is told to quit and to let go of its Java references.
    driver.destroySurface();
    driver.quitVelAndroidPlugin();
    driver.terminateVel();
    driver.deleteGlobalRef(surface);
    if (!appQuit) {
        // main is still running on its own thread and nothing can ask it to
        // return; end the process as Android ends an app's process. The
        // private X server dies with this process.
        std::fflush(nullptr);
        ::_exit(exitCode);
    }
    VelJavaVm::destroy();
    window.destroy();
    xvfb.stop();
    return exitCode;
}
