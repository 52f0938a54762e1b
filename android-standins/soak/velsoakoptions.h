#ifndef VELSOAKOPTIONS_H
#define VELSOAKOPTIONS_H

#include <string>
#include <vector>

// The soak program's command line:
//   vel-soak [--cycles N] [--report-every N] [--size WxH] [--app LIBRARY]
//            [--plugin PATH] [--jar PATH] [--fonts DIR] [--jvm-option OPT]...
//            [--app-output FILE] [--frame-timeout S] [--verbose]
struct VelSoakOptions {
    bool help = false;
    long cycles = 10000;
    long reportEvery = 1000;
    // Large enough for the text-edit example's field and button.
    int width = 320;
    int height = 240;
    std::string appLibrary; // empty: the text-edit example of this build
    std::string pluginPath;
    std::string jarPath;
    std::string fontSource = "/usr/share/fonts/truetype/dejavu";
    // A fixed, pre-touched heap: the resident size then shows native memory,
    // not the Java heap growing into its limit. Options given are added
    // after these (the later one wins).
    std::vector<std::string> jvmOptions = {"-Xms64m", "-Xmx64m", "-XX:+AlwaysPreTouch"};
    std::string appOutput = "/dev/null"; // where the app's standard output goes
    int frameTimeoutSeconds = 20;
    bool verbose = false; // the log is echoed on standard error

    // False with a message for a malformed command line.
    static bool parse(const std::vector<std::string> &args, VelSoakOptions *out,
                      std::string *error);
    static std::string usage();
};

#endif
