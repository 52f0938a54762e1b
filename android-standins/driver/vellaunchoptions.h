#ifndef VELLAUNCHOPTIONS_H
#define VELLAUNCHOPTIONS_H

#include <string>
#include <vector>

// The launcher's command line:
//   vel-android-run [options] APP_LIBRARY [APP_ARGUMENT...]
// Options come first; the first other word is the app library and every word
// after it goes to the app unchanged. "--" ends the options.
struct VelLaunchOptions {
    bool help = false;
    bool headless = false;
    int width = 480;
    int height = 800;
    double dpi = 160.0;
    double scaledDensity = 1.0;
    std::string assetsDir;
    std::vector<std::string> environment; // NAME=VALUE
    int frames = 0;                       // 0: run until the app quits
    std::string screenshotPath;
    bool dumpAccessibility = false; // print the accessibility tree once frames are shown
    int timeoutSeconds = 0;         // 0: no limit, except 60 s when waiting for frames
    std::string pluginPath;
    std::string jarPath;
    std::string libraryDir;
    std::vector<std::string> jvmOptions;
    std::string locale; // the configuration's locale ("de_CH"); empty: the VM's
    // The X selection the Android clipboard is joined to.
    std::string clipboardSelection = "CLIPBOARD";
    std::string dialogAnswer; // answers every message dialog ("yes", "OK", "dismiss")
    // The input script: the files' steps first, then the --step options.
    std::vector<std::string> scriptFiles;
    std::vector<std::string> scriptSteps;
    // Where the device font directory is lent from when it is missing.
    std::string fontSource = "/usr/share/fonts/truetype/dejavu";
    std::string appLibrary;
    std::vector<std::string> appArguments;

    // Fills `out` (defaults for everything not given); false with a message
    // for a malformed command line. Arguments and entries may not contain a
    // tab: tabs separate them on their way to the plugin.
    static bool parse(const std::vector<std::string> &args, VelLaunchOptions *out,
                      std::string *error);
    static std::string usage();
    // Whether a locale tag is one the configuration can take: "de_CH",
    // "de-CH", "de", "es_419".
    static bool validLocaleTag(const std::string &tag);
};

#endif
