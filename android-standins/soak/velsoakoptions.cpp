#include "velsoakoptions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace
{

bool parseCount(const std::string &text, long minimum, long *out)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char *end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum)
        return false;
    *out = value;
    return true;
}

// "WxH", both at least 1 and at most 8192 (an X window's practical bound).
bool parseSize(const std::string &text, int *width, int *height)
{
    const size_t x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !parseCount(text.substr(0, x), 1, &w) ||
        !parseCount(text.substr(x + 1), 1, &h) || w > 8192 || h > 8192)
        return false;
    *width = int(w);
    *height = int(h);
    return true;
}

} // namespace

bool VelSoakOptions::parse(const std::vector<std::string> &args, VelSoakOptions *out,
                           std::string *error)
{
    VelSoakOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = arg.compare(0, 2, "--") == 0 ? arg + " needs a value"
                                                  : "unexpected argument " + arg;
            return false;
        }
        const std::string &value = args[++i];
        long number = 0;
        bool ok = true;
        if (arg == "--cycles") {
            ok = parseCount(value, 1, &number);
            options.cycles = number;
        } else if (arg == "--report-every") {
            ok = parseCount(value, 1, &number);
            options.reportEvery = number;
        } else if (arg == "--frame-timeout") {
            ok = parseCount(value, 1, &number) && number <= 3600;
            options.frameTimeoutSeconds = int(number);
        } else if (arg == "--size") {
            ok = parseSize(value, &options.width, &options.height);
        } else if (arg == "--app") {
            options.appLibrary = value;
        } else if (arg == "--plugin") {
            options.pluginPath = value;
        } else if (arg == "--jar") {
            options.jarPath = value;
        } else if (arg == "--fonts") {
            options.fontSource = value;
        } else if (arg == "--jvm-option") {
            options.jvmOptions.push_back(value);
        } else if (arg == "--app-output") {
            options.appOutput = value;
        } else {
            *error = "unknown option " + arg;
            return false;
        }
        if (!ok || value.empty()) {
            *error = "bad value for " + arg + ": \"" + value + "\"";
            return false;
        }
    }
    *out = options;
    return true;
}

std::string VelSoakOptions::usage()
{
    return "usage: vel-soak [options]\n"
           "Replaces the surface of the text-edit example again and again (pause, surface\n"
           "lost, new window, resume, frames, touch, keys and input-method text) and\n"
           "prints the process's resources every few cycles.\n"
           "  --cycles N          surface replacements (10000)\n"
           "  --report-every N    cycles between two lines of figures (1000)\n"
           "  --size WxH          surface size (320x240)\n"
           "  --app LIBRARY       the text-edit example to run (this build's)\n"
           "  --plugin PATH       the plugin (this build's)\n"
           "  --jar PATH          the companion jar (this build's)\n"
           "  --fonts DIR         lent as /system/fonts when missing (DejaVu)\n"
           "  --jvm-option OPT    a Java VM option, after -Xms64m -Xmx64m -XX:+AlwaysPreTouch\n"
           "  --app-output FILE   the app's standard output (/dev/null)\n"
           "  --frame-timeout S   longest wait for a frame (20)\n"
           "  --verbose           echo the plugin's log on standard error\n";
}
