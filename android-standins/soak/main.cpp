// vel-soak: the text-edit example through the whole stack (the Java VM, the
// plugin loaded with System.load, Mesa's EGL on an X server), its surface
// replaced thousands of times with the activity paused and resumed around
// each replacement, input and frames in every cycle. Every few cycles it
// prints what the process holds; the counts must stay where they were after
// the first report, and the resident size must level off. Exit codes: 0 flat,
// 1 a cycle failed or a count grew, 2 bad command line.

#include "velandroiddriver.h"
#include "velfontlending.h"
#include "veljavavm.h"
#include "veljnireferencecounter.h"
#include "velprocessfigures.h"
#include "velsoaklog.h"
#include "velsoakoptions.h"
#include "velsoaksession.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <velstandin.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

enum ExitCode { ExitFlat = 0, ExitFailure = 1, ExitUsage = 2 };

// One line of the table.
struct Figures {
    std::string label;
    double seconds = 0;
    VelProcessFigures process;
    int nativeWindows = 0;
    int eglSurfaces = 0;
    int eglContexts = 0;
    VelJniReferenceCounter::Counts jni;
    long swaps = 0;
    VelSoakLog::Counts log;
};

// Counts that must not change from one report to the next.
bool sameCounts(const Figures &a, const Figures &b)
{
    return a.process.threads == b.process.threads && a.process.openFiles == b.process.openFiles &&
           a.nativeWindows == b.nativeWindows && a.eglSurfaces == b.eglSurfaces &&
           a.eglContexts == b.eglContexts && a.jni.globals == b.jni.globals &&
           a.jni.locals == b.jni.locals;
}

class Reporter
{
public:
    Reporter(FILE *out, const VelJniReferenceCounter &jni, const VelSoakLog &log)
        : m_out(out), m_jni(jni), m_log(log), m_started(Clock::now())
    {
    }

    Figures take(const std::string &label) const
    {
        Figures f;
        f.label = label;
        f.seconds = std::chrono::duration<double>(Clock::now() - m_started).count();
        f.process = VelProcessFigures::current();
        f.nativeWindows = velStandinLiveNativeWindowCount();
        f.eglSurfaces = velStandinLiveEglSurfaceCount();
        f.eglContexts = velStandinLiveEglContextCount();
        f.jni = m_jni.count();
        f.swaps = velStandinEglSwapCount();
        f.log = m_log.counts();
        return f;
    }

    void header() const
    {
        std::fprintf(m_out, "%-10s %9s %9s %7s %5s %7s %7s %7s %8s %7s %8s %6s %6s\n", "cycle",
                     "seconds", "rss_kib", "threads", "fds", "windows", "egl_sf", "egl_ctx",
                     "jni_glob", "jni_loc", "swaps", "warns", "errors");
        std::fflush(m_out);
    }

    Figures print(const std::string &label) const
    {
        const Figures f = take(label);
        std::fprintf(m_out, "%-10s %9.1f %9ld %7ld %5ld %7d %7d %7d %8ld %7ld %8ld %6ld %6ld\n",
                     f.label.c_str(), f.seconds, f.process.residentKib, f.process.threads,
                     f.process.openFiles, f.nativeWindows, f.eglSurfaces, f.eglContexts,
                     f.jni.globals, f.jni.locals, f.swaps, f.log.warnings, f.log.errors);
        std::fflush(m_out);
        return f;
    }

    FILE *out() const { return m_out; }

private:
    FILE *m_out;
    const VelJniReferenceCounter &m_jni;
    const VelSoakLog &m_log;
    const Clock::time_point m_started;
};

std::string absolutePath(const std::string &path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

int report(const std::string &message, int code)
{
    std::fprintf(stderr, "vel-soak: %s\n", message.c_str());
    return code;
}

// The app prints every change it sees; the table keeps the original standard
// output, the app gets the file asked for.
FILE *divertAppOutput(const std::string &appOutput, std::string *error)
{
    std::fflush(stdout);
    const int table = ::dup(STDOUT_FILENO);
    const int file = ::open(appOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (table < 0 || file < 0 || ::dup2(file, STDOUT_FILENO) < 0) {
        *error = "cannot open " + appOutput;
        if (table >= 0)
            ::close(table);
        if (file >= 0)
            ::close(file);
        return nullptr;
    }
    ::close(file);
    return ::fdopen(table, "w");
}

// The verdict on the counts from the first report after warm-up (or the
// start, for short runs) to the last, and the growth of the resident size.
bool judge(FILE *out, const std::vector<Figures> &rows, long reportEvery)
{
    if (rows.size() < 2)
        return true;
    const Figures &first = rows.size() > 2 ? rows[1] : rows[0];
    const Figures &last = rows.back();
    const bool flat = sameCounts(first, last);
    const double cycles = double(reportEvery) * double(rows.size() - (rows.size() > 2 ? 2 : 1));
    const long growth = last.process.residentKib - first.process.residentKib;
    std::fprintf(out,
                 "from %s to %s: counts %s; resident size %+ld KiB (%+.1f KiB per 1000 cycles)\n",
                 first.label.c_str(), last.label.c_str(), flat ? "flat" : "GREW", growth,
                 cycles > 0 ? growth * 1000.0 / cycles : 0.0);
    std::fflush(out);
    return flat;
}

} // namespace

int main(int argc, char **argv)
{
    // Before any thread: the app's GUI thread (Mesa's EGL) and the soak's X
    // windows use Xlib on separate threads.
    VelX11Window::prepareThreadedProcess();
    VelSoakOptions options;
    std::string error;
    if (!VelSoakOptions::parse(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fputs(VelSoakOptions::usage().c_str(), stderr);
        return report(error, ExitUsage);
    }
    if (options.help) {
        std::fputs(VelSoakOptions::usage().c_str(), stdout);
        return ExitFlat;
    }
    // Lending the fonts needs a process without threads; the X server is
    // forked, best before the Java VM has threads.
    if (VelFontLending::lendIfMissing(options.fontSource, &error) ==
        VelFontLending::Outcome::Failed)
        return report(error, ExitFailure);
    VelXvfbServer xvfb;
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display) {
        if (!xvfb.start(options.width, options.height, &error))
            return report(error, ExitFailure);
        ::setenv("DISPLAY", xvfb.displayName().c_str(), 1);
    }
    FILE *table = divertAppOutput(options.appOutput, &error);
    if (!table)
        return report(error, ExitFailure);

    VelSoakLog log(options.verbose);
    VelAndroidDriver driver;
    VelAndroidDriver::VmOptions vmOptions;
    if (!options.jarPath.empty())
        vmOptions.jarPath = absolutePath(options.jarPath);
    vmOptions.jvmOptions = options.jvmOptions;
    if (!driver.startJavaVm(vmOptions))
        return report(driver.lastError(), ExitFailure);
    VelJniReferenceCounter jni;
    const char *jniError = nullptr;
    if (!jni.attach(VelJavaVm::vm(), &jniError))
        report(std::string("JNI references are not counted: ") + jniError, 0);

    Reporter reporter(table, jni, log);
    reporter.header();
    reporter.print("vm");
    VelSoakSession::Settings settings;
    settings.width = options.width;
    settings.height = options.height;
    settings.frameTimeout = std::chrono::seconds(options.frameTimeoutSeconds);
    VelSoakSession session(&driver, settings);
    const std::string plugin = options.pluginPath.empty() ? VelAndroidDriver::defaultPluginPath()
                                                          : absolutePath(options.pluginPath);
    const std::string app = options.appLibrary.empty() ? std::string(VEL_SOAK_DEFAULT_APP)
                                                       : absolutePath(options.appLibrary);
    if (!session.start(plugin, app, &error))
        return report(error, ExitFailure);

    std::vector<Figures> rows{reporter.print("0")};
    int exitCode = ExitFlat;
    for (long cycle = 1; cycle <= options.cycles; ++cycle) {
        if (!session.cycle(&error)) {
            exitCode = report(error, ExitFailure);
            reporter.print("failed");
            break;
        }
        if (cycle % options.reportEvery == 0 || cycle == options.cycles)
            rows.push_back(reporter.print(std::to_string(cycle)));
    }
    std::fprintf(table, "cycles whose input-method edits were refused: %ld\n", session.refusals());
    if (exitCode == ExitFlat && !judge(table, rows, options.reportEvery))
        exitCode = ExitFailure;

    // The end an activity goes through. With the surface gone nothing may
    // hold a native window; once the app ended, terminateVel lets go of the
    // bridge's references.
    if (!session.loseSurface(&error))
        exitCode = report(error, ExitFailure);
    reporter.print("no-surface");
    const bool ended = session.endApp(&error);
    driver.quitVelAndroidPlugin();
    driver.terminateVel();
    reporter.print(ended ? "app-ended" : "app-stuck");
    if (!ended)
        exitCode = report(error, ExitFailure);
    const std::string messages = log.summary();
    if (!messages.empty())
        std::fprintf(stderr, "vel-soak: messages logged (times, source, text):\n%s",
                     messages.c_str());
    std::fflush(nullptr);
    // Whatever is still running (a stuck app) ends with the process, as on
    // Android; the private X server dies with it.
    ::_exit(exitCode);
}
