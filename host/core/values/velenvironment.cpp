#include "velenvironment.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

namespace
{
// Guards every environment access made through these functions; a leaf lock.
std::mutex g_environmentMutex;

bool parseDecimalInt(const VelByteArray &text, int *out)
{
    const VelByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const char *begin = trimmed.constData();
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    // strtol would also accept inner blanks after the sign ("- 5"); refuse them.
    const char first = begin[0];
    if ((first == '+' || first == '-') && !(begin[1] >= '0' && begin[1] <= '9'))
        return false;
    *out = int(value);
    return true;
}
} // namespace

VelByteArray velgetenv(const char *name)
{
    std::lock_guard<std::mutex> lock(g_environmentMutex);
    const char *value = std::getenv(name);
    return value ? VelByteArray(value) : VelByteArray();
}

bool velEnvironmentVariableIsEmpty(const char *name)
{
    std::lock_guard<std::mutex> lock(g_environmentMutex);
    const char *value = std::getenv(name);
    return !value || !*value;
}

bool velEnvironmentVariableIsSet(const char *name)
{
    std::lock_guard<std::mutex> lock(g_environmentMutex);
    return std::getenv(name) != nullptr;
}

int velEnvironmentVariableIntValue(const char *name, bool *ok)
{
    int value = 0;
    const bool parsed = parseDecimalInt(velgetenv(name), &value);
    if (ok)
        *ok = parsed;
    return parsed ? value : 0;
}

bool velputenv(const char *name, const VelByteArray &value)
{
    std::lock_guard<std::mutex> lock(g_environmentMutex);
    return ::setenv(name, value.constData(), 1) == 0;
}

bool velunsetenv(const char *name)
{
    std::lock_guard<std::mutex> lock(g_environmentMutex);
    return ::unsetenv(name) == 0;
}
