#include "velfontlending.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const char whatToDo[] = "run as root, allow unprivileged user namespaces "
                        "(sysctl user.max_user_namespaces), or provide /system/fonts yourself";

pid_t lendingChild = 0;

std::string reason(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

bool writeFile(const char *path, const std::string &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return written;
}

// Becomes root of a new user namespace that maps only the caller's own user
// and group (needed before an ordinary user may mount anything).
bool enterUserNamespace(std::string *error)
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        *error = reason("no user namespace for an ordinary user");
        return false;
    }
    // Without "deny" an unprivileged gid_map is refused.
    writeFile("/proc/self/setgroups", "deny");
    if (!writeFile("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") ||
        !writeFile("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1")) {
        *error = reason("cannot map the user into the namespace");
        return false;
    }
    return true;
}

bool bindEntry(const std::string &source, const std::string &target, std::string *error)
{
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0)
        return true; // gone meanwhile
    if (S_ISLNK(st.st_mode)) {
        char link[PATH_MAX];
        const ssize_t n = ::readlink(source.c_str(), link, sizeof link - 1);
        if (n < 0)
            return true;
        link[n] = '\0';
        if (::symlink(link, target.c_str()) != 0) {
            *error = reason("symlink " + target);
            return false;
        }
        return true;
    }
    const bool made =
        S_ISDIR(st.st_mode)
            ? ::mkdir(target.c_str(), 0755) == 0
            : ::close(::open(target.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644)) == 0;
    if (!made) {
        *error = reason("mount point " + target);
        return false;
    }
    if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0) {
        *error = reason("bind " + source);
        return false;
    }
    return true;
}

// Binds every entry of `source` into `target`, leaving out `skip`.
bool mirror(const std::string &source, const std::string &target, const char *skip,
            std::string *error)
{
    DIR *dir = ::opendir(source.c_str());
    if (!dir) {
        *error = reason("cannot list " + source);
        return false;
    }
    bool ok = true;
    while (dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == skip)
            continue;
        const std::string from = source == "/" ? "/" + name : source + "/" + name;
        if (!bindEntry(from, target + "/" + name, error)) {
            ok = false;
            break;
        }
    }
    ::closedir(dir);
    return ok;
}

// In the child: the private namespace whose root is `root` with the fonts.
bool buildRoot(const std::string &root, const std::string &fonts, std::string *error)
{
    if (::geteuid() == 0) {
        if (::unshare(CLONE_NEWNS) != 0) {
            *error = reason("no private mount namespace");
            return false;
        }
    } else if (!enterUserNamespace(error)) {
        return false;
    }
    // Nothing mounted from here on may reach the machine's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        *error = reason("cannot make the mounts private");
        return false;
    }
    if (::mount("tmpfs", root.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") != 0) {
        *error = reason("cannot mount the new root");
        return false;
    }
    // A /system without fonts is mirrored entry by entry, so that the fonts'
    // mount point is made in the tmpfs and not in the machine's /system.
    struct stat st;
    const bool haveSystem = ::stat("/system", &st) == 0 && S_ISDIR(st.st_mode);
    if (!mirror("/", root, haveSystem ? "system" : "", error))
        return false;
    const std::string system = root + "/system";
    const std::string fontsTarget = system + "/fonts";
    if (::mkdir(system.c_str(), 0755) != 0 ||
        (haveSystem && !mirror("/system", system, "fonts", error)) ||
        ::mkdir(fontsTarget.c_str(), 0755) != 0) {
        if (error->empty())
            *error = reason("cannot make " + fontsTarget);
        return false;
    }
    if (::mount(fonts.c_str(), fontsTarget.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0) {
        *error = reason("cannot bind " + fonts);
        return false;
    }
    // Read-only where the system allows it; the fonts are only read anyway.
    ::mount(nullptr, fontsTarget.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr);

    char cwd[PATH_MAX];
    const bool haveCwd = ::getcwd(cwd, sizeof cwd) != nullptr;
    if (::chdir(root.c_str()) != 0 || ::chroot(".") != 0) {
        *error = reason("cannot enter the new root");
        return false;
    }
    if (!haveCwd || ::chdir(cwd) != 0)
        ::chdir("/");
    return true;
}

void forwardSignal(int signal)
{
    if (lendingChild > 0)
        ::kill(lendingChild, signal);
}

// In the parent: waits for the child, cleans up, ends with its status.
[[noreturn]] void waitAndExit(pid_t child, const std::string &root)
{
    lendingChild = child;
    // A terminal's Ctrl-C reaches the child itself; the parent outlives it
    // to clean up.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGQUIT, SIG_IGN);
    std::signal(SIGTERM, forwardSignal);
    std::signal(SIGHUP, forwardSignal);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ::rmdir(root.c_str());
    if (WIFSIGNALED(status)) {
        std::signal(WTERMSIG(status), SIG_DFL);
        ::raise(WTERMSIG(status));
        ::_exit(128 + WTERMSIG(status));
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

} // namespace

bool VelFontLending::hasFonts(const std::string &directory)
{
    DIR *dir = ::opendir(directory.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (dirent *entry = ::readdir(dir)) {
        const size_t n = std::strlen(entry->d_name);
        if (n > 4 && std::strcmp(entry->d_name + n - 4, ".ttf") == 0) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

VelFontLending::Outcome VelFontLending::lendIfMissing(const std::string &source,
                                                      std::string *message)
{
    if (hasFonts(deviceFontDirectory))
        return Outcome::NotNeeded;
    if (!hasFonts(source)) {
        *message = std::string("the device font directory ") + deviceFontDirectory +
                   " is missing and " + source +
                   " has no *.ttf fonts to lend it; pass --fonts DIR with TrueType fonts";
        return Outcome::Failed;
    }
    char pattern[] = "/tmp/vel-android-root.XXXXXX";
    if (!::mkdtemp(pattern)) {
        *message = reason("cannot make a directory for the new root");
        return Outcome::Failed;
    }
    const std::string root = pattern;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::rmdir(root.c_str());
        *message = reason("fork");
        return Outcome::Failed;
    }
    if (child > 0)
        waitAndExit(child, root);
    std::string error;
    if (!buildRoot(root, source, &error)) {
        *message = std::string("cannot lend ") + source + " as " + deviceFontDirectory + " (" +
                   error + "); " + whatToDo;
        return Outcome::Failed;
    }
    return Outcome::Lent;
}
