#include "vellaunchoptions.h"

#include "velandroiddriver.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace
{

bool parseInt(const std::string &text, int minimum, int maximum, int *out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum)
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool parsePositiveDouble(const std::string &text, double *out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(value > 0.0) || value > 1e6)
        return false;
    *out = value;
    return true;
}

bool parseSize(const std::string &text, int *width, int *height)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    return parseInt(text.substr(0, x), 1, 16384, width) &&
           parseInt(text.substr(x + 1), 1, 16384, height);
}

bool validEnvironmentEntry(const std::string &entry)
{
    const size_t eq = entry.find('=');
    return eq != std::string::npos && eq > 0 && entry.find('\t') == std::string::npos;
}

} // namespace

// language[_-]COUNTRY: 2 to 8 letters, then optionally 2 letters or 3 digits.
bool VelLaunchOptions::validLocaleTag(const std::string &tag)
{
    const size_t separator = tag.find_first_of("_-");
    const std::string language = tag.substr(0, separator);
    const std::string country = separator == std::string::npos ? "" : tag.substr(separator + 1);
    const auto all = [](const std::string &text, int (*test)(int)) {
        for (const char c : text) {
            if (!test(static_cast<unsigned char>(c)))
                return false;
        }
        return true;
    };
    if (language.size() < 2 || language.size() > 8 || !all(language, isalpha))
        return false;
    if (separator == std::string::npos)
        return true;
    return (country.size() == 2 && all(country, isalpha)) ||
           (country.size() == 3 && all(country, isdigit));
}

std::string VelLaunchOptions::usage()
{
    return "usage: vel-android-run [options] APP_LIBRARY [APP_ARGUMENT...]\n"
           "  --headless          start a private Xvfb when DISPLAY is not set\n"
           "  --size WxH          surface size in pixels (default 480x800)\n"
           "  --dpi D             display density in dots per inch (default 160)\n"
           "  --density S         scaled density, the font scale (default 1)\n"
           "  --assets DIR        directory served as the app's assets\n"
           "  --env NAME=VALUE    environment entry for the app (repeatable)\n"
           "  --frames N          end after N frames were shown\n"
           "  --screenshot FILE   write the surface as PNG before ending (implies --frames 1)\n"
           "  --dump-accessibility  print the accessibility tree as a service walks it\n"
           "                      (implies --frames 1)\n"
           "  --timeout S         end after S seconds at the latest\n"
           "  --plugin PATH       plugin library (default: build/lib/libandroidplatformplugin.so)\n"
           "  --jar PATH          companion jar (default: build/java/vel-android.jar)\n"
           "  --library-dir DIR   java.library.path (default: build/lib)\n"
           "  --jvm-option OPT    extra Java VM option (repeatable)\n"
           "  --locale TAG        locale of the activity's configuration (de_CH, de-CH, de)\n"
           "  --dialog-answer B   answer every message dialog with button B (its label or\n"
           "                      standard name, any case: yes, ok, cancel; or dismiss)\n"
           "  --clipboard-selection NAME\n"
           "                      the X selection the app's clipboard is joined to\n"
           "                      (default CLIPBOARD; PRIMARY follows the mouse selection)\n"
           "  --script FILE       input script, run once the app shows its first frame\n"
           "                      (repeatable; see android-standins/README.md)\n"
           "  --step STEP         one more script step, after the script files (repeatable)\n"
           "  --fonts DIR         lent as /system/fonts when that is missing\n"
           "                      (default /usr/share/fonts/truetype/dejavu)\n"
           "  --help              this text\n";
}

bool VelLaunchOptions::parse(const std::vector<std::string> &args, VelLaunchOptions *out,
                             std::string *error)
{
    VelLaunchOptions o;
    o.pluginPath = VelAndroidDriver::defaultPluginPath();
    o.jarPath = VelAndroidDriver::defaultJarPath();
    o.libraryDir = VelAndroidDriver::defaultLibraryDir();
    auto fail = [error](const std::string &message) {
        if (error)
            *error = message;
        return false;
    };

    size_t i = 0;
    bool optionsEnded = false;
    for (; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0)
            break;
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string value;
        bool hasInlineValue = false;
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        auto takeValue = [&](std::string *target) {
            if (hasInlineValue) {
                *target = value;
                return true;
            }
            if (i + 1 >= args.size())
                return false;
            *target = args[++i];
            return true;
        };
        if (arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--headless") {
            if (hasInlineValue)
                return fail("--headless takes no value");
            o.headless = true;
            continue;
        }
        if (arg == "--dump-accessibility") {
            if (hasInlineValue)
                return fail("--dump-accessibility takes no value");
            o.dumpAccessibility = true;
            continue;
        }
        std::string v;
        if (!takeValue(&v))
            return fail(arg + " needs a value");
        if (arg == "--size") {
            if (!parseSize(v, &o.width, &o.height))
                return fail("--size wants WIDTHxHEIGHT with positive numbers, not '" + v + "'");
        } else if (arg == "--dpi") {
            if (!parsePositiveDouble(v, &o.dpi))
                return fail("--dpi wants a positive number, not '" + v + "'");
        } else if (arg == "--density") {
            if (!parsePositiveDouble(v, &o.scaledDensity))
                return fail("--density wants a positive number, not '" + v + "'");
        } else if (arg == "--assets") {
            o.assetsDir = v;
        } else if (arg == "--env") {
            if (!validEnvironmentEntry(v))
                return fail("--env wants NAME=VALUE without tabs, not '" + v + "'");
            o.environment.push_back(v);
        } else if (arg == "--frames") {
            if (!parseInt(v, 1, 1000000, &o.frames))
                return fail("--frames wants a positive number, not '" + v + "'");
        } else if (arg == "--screenshot") {
            if (v.empty())
                return fail("--screenshot wants a file name");
            o.screenshotPath = v;
        } else if (arg == "--timeout") {
            if (!parseInt(v, 1, 86400, &o.timeoutSeconds))
                return fail("--timeout wants a positive number of seconds, not '" + v + "'");
        } else if (arg == "--plugin") {
            o.pluginPath = v;
        } else if (arg == "--jar") {
            o.jarPath = v;
        } else if (arg == "--library-dir") {
            o.libraryDir = v;
        } else if (arg == "--jvm-option") {
            o.jvmOptions.push_back(v);
        } else if (arg == "--locale") {
            if (!validLocaleTag(v))
                return fail("--locale wants a tag like de_CH, de-CH or de, not '" + v + "'");
            o.locale = v;
        } else if (arg == "--clipboard-selection") {
            if (v.empty())
                return fail("--clipboard-selection wants an X selection name");
            o.clipboardSelection = v;
        } else if (arg == "--dialog-answer") {
            if (v.empty())
                return fail("--dialog-answer wants a button name");
            o.dialogAnswer = v;
        } else if (arg == "--script") {
            if (v.empty())
                return fail("--script wants a file name");
            o.scriptFiles.push_back(v);
        } else if (arg == "--step") {
            o.scriptSteps.push_back(v);
        } else if (arg == "--fonts") {
            if (v.empty())
                return fail("--fonts wants a directory");
            o.fontSource = v;
        } else {
            return fail("unknown option " + arg);
        }
    }
    if (i < args.size()) {
        o.appLibrary = args[i++];
        for (; i < args.size(); ++i)
            o.appArguments.push_back(args[i]);
    }
    if (!o.help && o.appLibrary.empty())
        return fail("no app library given");
    if (o.appLibrary.find('\t') != std::string::npos)
        return fail("the app library path contains a tab");
    for (const std::string &a : o.appArguments) {
        if (a.empty() || a.find('\t') != std::string::npos)
            return fail("app arguments may be neither empty nor contain a tab");
    }
    if ((!o.screenshotPath.empty() || o.dumpAccessibility) && o.frames == 0)
        o.frames = 1;
    *out = o;
    return true;
}
