// A minimal app library: its main prints its arguments and returns. It can
// also report what it saw to a file and stay alive for a while, so that tests
// can check argument and environment passing and a running app.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{

void printTo(std::FILE *out, int argc, char **argv)
{
    std::fprintf(out, "argc=%d\n", argc);
    for (int i = 0; i < argc; ++i)
        std::fprintf(out, "argv[%d]=%s\n", i, argv[i]);
    std::fprintf(out, "argv[argc]=%s\n", argv[argc] ? "set" : "null");
    const char *mark = std::getenv("VEL_TESTAPP_MARK");
    std::fprintf(out, "VEL_TESTAPP_MARK=%s\n", mark ? mark : "(unset)");
}

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    printTo(stdout, argc, argv);
    std::fflush(stdout);
    if (const char *path = std::getenv("VEL_TESTAPP_OUTPUT")) {
        if (std::FILE *out = std::fopen(path, "w")) {
            printTo(out, argc, argv);
            std::fclose(out);
        }
    }
    if (const char *sleepMs = std::getenv("VEL_TESTAPP_SLEEP_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(sleepMs)));
    return 0;
}
