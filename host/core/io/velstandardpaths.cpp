#include "velstandardpaths.h"

#include "veldir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace
{

bool isExecutableFile(const VelString &path)
{
    const VelByteArray native = path.toLocal8Bit();
    struct stat st;
    return ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(native.constData(), X_OK) == 0;
}

VelStringList searchPath()
{
    const char *path = std::getenv("PATH");
    if (!path)
        return VelStringList();
    // An empty element of PATH means the current directory.
    VelStringList dirs = VelString::fromLocal8Bit(path).split(VelChar(u':'));
    for (VelString &dir : dirs) {
        if (dir.isEmpty())
            dir = VelString(".");
    }
    return dirs;
}

} // namespace

VelString VelStandardPaths::findExecutable(const VelString &executableName,
                                           const VelStringList &paths)
{
    if (executableName.isEmpty())
        return VelString();
    if (executableName.contains(VelChar(u'/'))) {
        const VelString absolute = VelDir::isAbsolutePath(executableName)
                                       ? executableName
                                       : VelDir::currentPath() + "/" + executableName;
        return isExecutableFile(absolute) ? VelDir::cleanPath(absolute) : VelString();
    }
    const VelStringList dirs = paths.empty() ? searchPath() : paths;
    for (const VelString &dir : dirs) {
        const VelString base =
            VelDir::isAbsolutePath(dir) ? dir : VelDir::currentPath() + "/" + dir;
        const VelString candidate = VelDir::cleanPath(base + "/" + executableName);
        if (isExecutableFile(candidate))
            return candidate;
    }
    return VelString();
}

VelString VelStandardPaths::homeLocation()
{
    return VelDir::homePath();
}
