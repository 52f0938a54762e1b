// An application whose main reports how it was called to the file named by
// VEL_BRIDGE_APP_LOG, then returns. With VEL_BRIDGE_APP_GATE naming a FIFO it
// waits for a line on it first and then reports its arguments once more, to
// show they outlived whatever Java did meanwhile.

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    const char *path = std::getenv("VEL_BRIDGE_APP_LOG");
    if (!path)
        return 1;
    FILE *file = std::fopen(path, "w");
    if (!file)
        return 1;
    std::fprintf(file, "argc=%d\n", argc);
    for (int i = 0; i < argc; ++i)
        std::fprintf(file, "argv=%s\n", argv[i]);
    const bool processMainThread = syscall(SYS_gettid) == getpid();
    std::fprintf(file, "thread=%s\n", processMainThread ? "process" : "own");
    const char *extra = std::getenv("VEL_BRIDGE_EXTRA");
    std::fprintf(file, "extra=%s\n", extra ? extra : "(unset)");
    std::fflush(file);
    if (const char *gate = std::getenv("VEL_BRIDGE_APP_GATE")) {
        if (FILE *in = std::fopen(gate, "r")) {
            char line[16];
            std::fgets(line, sizeof line, in);
            std::fclose(in);
        }
        for (int i = 0; i < argc; ++i)
            std::fprintf(file, "still=%s\n", argv[i]);
    }
    std::fclose(file);
    return 0;
}
