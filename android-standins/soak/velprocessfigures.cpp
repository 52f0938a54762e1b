#include "velprocessfigures.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{

std::string readFile(const char *path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

long openFileCount()
{
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    long count = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    ::closedir(dir);
    // The directory being read is open too, and is not the process's own.
    return count - 1;
}

} // namespace

VelProcessFigures VelProcessFigures::current()
{
    VelProcessFigures figures;
    figures.residentKib =
        residentKibFromStatm(readFile("/proc/self/statm"), ::sysconf(_SC_PAGESIZE));
    figures.threads = threadsFromStatus(readFile("/proc/self/status"));
    figures.openFiles = openFileCount();
    return figures;
}

long VelProcessFigures::residentKibFromStatm(const std::string &statm, long pageSize)
{
    // "size resident shared text lib data dt", in pages.
    std::istringstream in(statm);
    long size = 0;
    long resident = 0;
    if (pageSize <= 0 || !(in >> size >> resident) || resident < 0)
        return -1;
    return resident * (pageSize / 1024);
}

long VelProcessFigures::threadsFromStatus(const std::string &status)
{
    static const char key[] = "\nThreads:";
    const std::string text = "\n" + status;
    const size_t at = text.find(key);
    if (at == std::string::npos)
        return -1;
    const char *digits = text.c_str() + at + sizeof key - 1;
    char *end = nullptr;
    const long threads = std::strtol(digits, &end, 10);
    return end != digits && threads >= 0 ? threads : -1;
}
