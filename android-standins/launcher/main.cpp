// vel-android-run: plays the Java half of an Android app on the desktop. It
// lends the device font directory when the machine has none, starts a Java VM
// with the companion jar, loads the plugin the way an app's activity does,
// drives the start-up natives and gives the plugin an X11 window as its
// surface. The thread that runs main stands for Android's UI thread: it sends
// the window's mouse and keys as the natives a view sends (keys through the
// Java soft keyboard) and runs the input script.

#include "velaccessibilitysteps.h"
#include "velandroiddriver.h"
#include "veldialogpresenter.h"
#include "velfontlending.h"
#include "velframewatcher.h"
#include "velinputdevice.h"
#include "velinputscript.h"
#include "velinputverbs.h"
#include "veljavavm.h"
#include "vellaunchoptions.h"
#include "velliveinput.h"
#include "velmenupresenterclient.h"
#include "velmenuverbs.h"
#include "velmenuwindow.h"
#include "velpngwriter.h"
#include "velprocessheap.h"
#include "velservicescontrol.h"
#include "velservicesverbs.h"
#include "velx11clipboard.h"
#include "velx11clipboardjava.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <velstandin.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2, ExitTimeout = 3 };

// Frames counted by content changes settle after this long without a change.
constexpr std::chrono::milliseconds frameSettleTime(500);
// A window whose content never changes is taken as it is after this long;
// so is one that presents no frame after an input that changed nothing.
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

// Steps that only look or wait: the app owes no new frame after them.
bool isInputStep(const std::string &verb)
{
    static const std::set<std::string> observing = {"wait", "screenshot", "clipboard-print",
                                                    "a11y-dump"};
    return observing.count(verb) == 0;
}

std::string baseName(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Every area's script verbs; an area adds its registration here.
void registerScriptVerbs()
{
    velRegisterInputVerbs();
    velRegisterMenuVerbs();
    velRegisterServicesVerbs();
    VelAccessibilitySteps::registerVerbs();
}

bool readScript(const VelLaunchOptions &options, VelInputScript *script, std::string *error)
{
    for (const std::string &file : options.scriptFiles) {
        if (!script->addFile(file, error))
            return false;
    }
    for (const std::string &step : options.scriptSteps) {
        if (!script->addStep(step, error))
            return false;
    }
    return true;
}

// The launcher's UI thread at work: serves the window (its input, its close
// button), notices the app's end and the time limit, and lends all of it to
// the input script.
class Session : public VelInputScript::Host
{
public:
    // dialogWindows: message dialogs get a window a person can answer (a
    // live display); otherwise they are only printed.
    Session(VelAndroidDriver &driver, VelX11Window &window, int timeoutSeconds, bool dialogWindows)
        : m_driver(driver), m_window(window), m_device(&driver),
          m_live(&m_device, window.width(), window.height()), m_menus(&driver),
          m_dialogs(dialogWindows), m_started(Clock::now()), m_timeoutSeconds(timeoutSeconds)
    {
    }

    // On a live display the menus shown also appear as windows a person
    // clicks in.
    void setMenuWindows(bool on) { m_menuWindows = on; }

    bool closed() const { return m_closed; }
    bool appQuit() const { return m_appQuit; }
    bool timedOut() const { return m_timedOut; }
    bool ended() const { return m_closed || m_appQuit || m_timedOut; }

    // One round: the window's events, the long-press clock, then a wait of
    // up to `wait` for the app to quit. False once the run has ended.
    bool serve(std::chrono::milliseconds wait)
    {
        for (const VelX11Window::Event &event : m_window.pollEvents()) {
            if (event.type == VelX11Window::Event::CloseRequested)
                m_closed = true;
            else if (!handleMenuKey(event))
                m_live.handle(event, Clock::now());
        }
        m_live.tick(Clock::now());
        for (const std::string &shown : m_menus.processRequests())
            velPrintMenuReport(shown);
        if (m_menuWindows)
            serveMenuWindow();
        if (m_closed)
            return false;
        m_dialogs.poll();
        if (m_driver.waitForQuit(std::max<long>(1, wait.count())))
            m_appQuit = true;
        else if (m_timeoutSeconds > 0 &&
                 Clock::now() - m_started > std::chrono::seconds(m_timeoutSeconds))
            m_timedOut = true;
        return !ended();
    }

    // ---- VelInputScript::Host ----
    VelAndroidDriver &driver() override { return m_driver; }
    int surfaceWidth() const override { return m_window.width(); }
    int surfaceHeight() const override { return m_window.height(); }

    bool idle(std::chrono::milliseconds duration) override
    {
        const Clock::time_point until = Clock::now() + duration;
        while (Clock::now() < until) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (!serve(std::min(left, sampleInterval)))
                return false;
        }
        return !ended();
    }

    bool screenshot(const std::string &path, std::string *error) override
    {
        settle();
        std::vector<uint8_t> pixels;
        return m_window.grabPixels(&pixels, error) &&
               velWritePng(path, m_window.width(), m_window.height(), pixels, error);
    }

    void stepDone(const VelInputScript::Step &step) override
    {
        if (isInputStep(step.verb))
            m_inputSinceScreenshot = true;
    }

    // Waits until the app shows its answer to the input sent so far, however
    // slowly it draws: the GUI thread is made to take every input first, then
    // asked to redraw twice, and the frames presented after that show the
    // answer. Twice, because a presented frame need not be on the X server
    // yet: the software renderer queues a frame's pixels on its own X
    // connection, and only the round trip that begins its next frame is sure
    // to have delivered them. An app that presents nothing is taken as it is
    // after the idle limit.
    void settle()
    {
        if (!m_inputSinceScreenshot)
            return;
        m_inputSinceScreenshot = false;
        waitUntilTheAppTookTheInput();
        for (int frame = 0; frame < 2; ++frame) {
            if (!redrawAndWaitForTheFrame())
                return;
        }
    }

    // False when the app presented nothing within the idle limit or ended.
    bool redrawAndWaitForTheFrame()
    {
        const long presented = velStandinEglSwapCount();
        m_driver.updateWindow();
        const Clock::time_point began = Clock::now();
        while (velStandinEglSwapCount() <= presented) {
            if (Clock::now() - began >= frameIdleLimit || !serve(sampleInterval))
                return false;
        }
        return true;
    }

    // Touches and keys are queued for the GUI thread without waiting, so a
    // frame presented right after a step may still show the app before it.
    // Each input-connection query is a hand-over that the GUI thread serves
    // with its posted events, which come before the queued window-system
    // events of the same round; a second query may still be served in the
    // same round (in its last pass over posted events), the third is not.
    // After it, the app has taken every input sent before, and a frame it
    // draws from then on shows it. Without the natives (another plugin) this
    // waits for nothing.
    void waitUntilTheAppTookTheInput()
    {
        JNIEnv *env = m_driver.env();
        if (!env)
            return;
        jclass connection = env->FindClass("org/vel/android/VelNativeInputConnection");
        const jmethodID query =
            connection ? env->GetStaticMethodID(connection, "getCursorCapsMode", "(I)I") : nullptr;
        for (int round = 0; query && round < 3 && !env->ExceptionCheck(); ++round)
            env->CallStaticIntMethod(connection, query, 0);
        env->ExceptionClear();
        if (connection)
            env->DeleteLocalRef(connection);
    }

private:
    // The Menu key (or F10) opens the options menu; while a menu is shown,
    // 1 to 9 choose its items and Escape closes it. The menus are printed.
    bool handleMenuKey(const VelX11Window::Event &event)
    {
        if (event.type == VelX11Window::Event::KeyUp) {
            const bool swallowed = event.keysym == m_swallowedKey;
            if (swallowed)
                m_swallowedKey = 0;
            return swallowed;
        }
        if (event.type != VelX11Window::Event::KeyDown)
            return false;
        std::string report;
        if (event.keysym == XK_Menu || event.keysym == XK_F10) {
            if (!m_menus.openOptionsMenu(&report))
                report = "the app has no options menu";
        } else if (event.keysym == XK_Escape) {
            if (!m_menus.dismiss(&report))
                return false;
        } else if (event.keysym >= XK_1 && event.keysym <= XK_9) {
            const std::vector<std::string> titles = m_menus.shownTitles();
            const size_t index = event.keysym - XK_1;
            if (index >= titles.size() || !m_menus.choose(titles[index], &report))
                return false;
        } else {
            return false;
        }
        m_swallowedKey = event.keysym;
        velPrintMenuReport(report);
        return true;
    }

    // A click in the menu window chooses; closing it dismisses the menu. The
    // window then follows the menu shown (none, another one).
    void serveMenuWindow()
    {
        std::string title;
        std::string report;
        const VelMenuWindow::Answer answer = m_menuWindow.poll(&title);
        if (answer == VelMenuWindow::Answer::Chosen && m_menus.choose(title, &report))
            velPrintMenuReport(report);
        else if (answer == VelMenuWindow::Answer::Dismissed && m_menus.dismiss(&report))
            velPrintMenuReport(report);
        const std::vector<std::string> titles = m_menus.shownTitles();
        const std::vector<std::string> labels = m_menus.shownLabels();
        if (titles.empty()) {
            m_menuWindow.close();
        } else if (!m_menuWindow.isOpen() || titles != m_menuWindow.titles() ||
                   labels != m_menuWindow.labels()) {
            std::string error;
            if (!m_menuWindow.show(titles, labels, &error)) {
                velPrintMenuReport(error);
                m_menuWindows = false;
            }
        }
    }

    VelAndroidDriver &m_driver;
    VelX11Window &m_window;
    VelInputDevice m_device;
    VelLiveInput m_live;
    VelMenuPresenterClient m_menus;
    unsigned long m_swallowedKey = 0;
    VelMenuWindow m_menuWindow;
    bool m_menuWindows = false;
    VelDialogPresenter m_dialogs;
    const Clock::time_point m_started;
    const int m_timeoutSeconds;
    bool m_closed = false;
    bool m_appQuit = false;
    bool m_timedOut = false;
    // Input was sent since the last screenshot (or since the first frame,
    // which the steps wait for): the next screenshot waits for the answer.
    bool m_inputSinceScreenshot = false;
};

} // namespace

int main(int argc, char **argv)
{
    // First of all, before any thread: the application's GUI thread (Mesa's
    // EGL) and the stand-ins' X windows use Xlib on separate threads.
    VelX11Window::prepareThreadedProcess();
    VelProcessHeap::keepFreedMemory();
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
    registerScriptVerbs();
    VelInputScript script;
    if (!readScript(options, &script, &error))
        return report(error, ExitUsage);

    // Lending the fonts needs a process without threads: before anything else.
    if (VelFontLending::lendIfMissing(options.fontSource, &error) ==
        VelFontLending::Outcome::Failed)
        return report(error, ExitFailure);

    // The X server comes next: it is forked, which is best done before the
    // Java VM has started its threads.
    VelXvfbServer xvfb;
    bool privateDisplay = false;
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display) {
        if (!options.headless)
            return report("DISPLAY is not set; use --headless for a private X server", ExitFailure);
        if (!xvfb.start(options.width, options.height, &error))
            return report(error, ExitFailure);
        ::setenv("DISPLAY", xvfb.displayName().c_str(), 1);
        privateDisplay = true;
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
    // Before the app starts: it may copy at once.
    VelX11Clipboard desktopClipboard(options.clipboardSelection);
    if (!desktopClipboard.start(nullptr, &error) ||
        !VelX11ClipboardJava::install(driver.env(), &desktopClipboard, &error))
        std::fprintf(stderr, "vel-android-run: no desktop clipboard: %s\n", error.c_str());
    if (!options.locale.empty() && !VelServicesControl::setLocale(options.locale, &error))
        return report(error, ExitFailure);
    if (!options.dialogAnswer.empty() &&
        !VelServicesControl::setDialogAutoAnswer(options.dialogAnswer))
        return report("cannot set the dialog answer", ExitFailure);
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
    const bool scripted = !script.empty();
    VelFrameWatcher watcher(&window);
    if (options.frames > 0 || scripted)
        watcher.sample();
    jobject surface = driver.newSurface(window.windowId(), w, h);
    if (!surface || !driver.setSurface(surface))
        return report(driver.lastError(), ExitFailure);
    int timeoutSeconds = options.timeoutSeconds;
    if (timeoutSeconds == 0 && options.frames > 0)
        timeoutSeconds = defaultFrameTimeoutSeconds;

    Session session(driver, window, timeoutSeconds, !privateDisplay);
    session.setMenuWindows(!privateDisplay);
    int exitCode = ExitOk;
    bool screenshotTaken = false;
    bool scriptDone = !scripted;
    while (session.serve(sampleInterval)) {
        if (!scriptDone) {
            // Steps begin once the app has shown its first frame.
            watcher.sample();
            if (!watcher.ready(1, frameSettleTime, frameIdleLimit))
                continue;
            scriptDone = true;
            if (!script.run(session, &error)) {
                if (!session.timedOut())
                    exitCode = report(error, ExitFailure);
                break;
            }
            if (!options.screenshotPath.empty()) {
                if (!session.screenshot(options.screenshotPath, &error))
                    exitCode = report(error, ExitFailure);
                screenshotTaken = true;
            }
            // Headless there is nobody to go on; with --frames the run was
            // asked to end after what it showed.
            if (privateDisplay || options.frames > 0)
                break;
            continue;
        }
        if (options.frames > 0) {
            watcher.sample();
            if (watcher.ready(options.frames, frameSettleTime, frameIdleLimit))
                break;
        }
    }

    if (!scriptDone && session.appQuit())
        exitCode =
            report("the app ended before its first frame; the script did not run", ExitFailure);
    if (session.timedOut())
        exitCode = report("timed out after " + std::to_string(timeoutSeconds) + " s", ExitTimeout);
    if (options.dumpAccessibility && !session.appQuit()) {
        std::string tree;
        if (VelAccessibilitySteps::dump(driver, &tree, &error))
            std::fputs(tree.c_str(), stdout);
        else
            exitCode = report(error, ExitFailure);
        std::fflush(stdout);
    }
    if (!options.screenshotPath.empty() && !screenshotTaken) {
        std::vector<uint8_t> pixels;
        if (!window.grabPixels(&pixels, &error) ||
            !velWritePng(options.screenshotPath, window.width(), window.height(), pixels, &error))
            exitCode = report(error, ExitFailure);
    }

    // The end an activity goes through: the surface goes away, then the
    // plugin is told to quit and, once main has returned, to let go of its
    // Java references.
    driver.destroySurface();
    driver.quitVelAndroidPlugin();
    if (!session.appQuit()) {
        // main is still running on its own thread and nothing can ask it to
        // return; end the process as Android ends an app's process. The
        // plugin would keep its references for the running main anyway (and
        // warn); the private X server dies with this process.
        std::fflush(nullptr);
        ::_exit(exitCode);
    }
    driver.terminateVel();
    driver.deleteGlobalRef(surface);
    VelX11ClipboardJava::uninstall(driver.env());
    VelJavaVm::destroy();
    desktopClipboard.stop();
    window.destroy();
    xvfb.stop();
    return exitCode;
}
