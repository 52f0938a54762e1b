#include "velfsfileengine.h"

#include "velabstractfileengineiterator.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace
{

VelByteArray nativeName(const VelString &name)
{
    return name.toLocal8Bit();
}

bool statName(const VelString &name, struct stat *st)
{
    return !name.isEmpty() && ::stat(nativeName(name).constData(), st) == 0;
}

// Every entry but "." and ".."; the host filters.
VelStringList directoryEntries(const VelString &path)
{
    VelStringList entries;
    DIR *dir = ::opendir(nativeName(path).constData());
    if (!dir)
        return entries;
    while (const dirent *entry = ::readdir(dir)) {
        const VelByteArray name(entry->d_name);
        if (name != "." && name != "..")
            entries.push_back(VelString::fromLocal8Bit(name));
    }
    ::closedir(dir);
    return entries;
}

} // namespace

VelFSFileEngine::VelFSFileEngine(const VelString &fileName) : m_name(fileName) {}

VelFSFileEngine::~VelFSFileEngine()
{
    close();
}

bool VelFSFileEngine::open(VelIODevice::OpenMode openMode)
{
    close();
    int flags = O_CLOEXEC;
    const bool reading = openMode & VelIODevice::ReadOnly;
    const bool writing = openMode & (VelIODevice::WriteOnly | VelIODevice::Append);
    if (reading && writing)
        flags |= O_RDWR | O_CREAT;
    else if (writing)
        flags |= O_WRONLY | O_CREAT;
    else if (reading)
        flags |= O_RDONLY;
    else
        return false;
    if (openMode & VelIODevice::Append)
        flags |= O_APPEND;
    else if (writing && (openMode & VelIODevice::Truncate || !reading))
        flags |= O_TRUNC;
    m_fd = ::open(nativeName(m_name).constData(), flags, 0666);
    if (m_fd < 0)
        return false;
    struct stat st;
    if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close();
        return false;
    }
    return true;
}

bool VelFSFileEngine::close()
{
    if (m_fd < 0)
        return false;
    ::close(m_fd);
    m_fd = -1;
    return true;
}

velint64 VelFSFileEngine::size() const
{
    struct stat st;
    if (m_fd >= 0 ? ::fstat(m_fd, &st) == 0 : statName(m_name, &st))
        return velint64(st.st_size);
    return 0;
}

velint64 VelFSFileEngine::pos() const
{
    return m_fd >= 0 ? velint64(::lseek(m_fd, 0, SEEK_CUR)) : -1;
}

bool VelFSFileEngine::seek(velint64 offset)
{
    return m_fd >= 0 && offset >= 0 && ::lseek(m_fd, off_t(offset), SEEK_SET) == off_t(offset);
}

bool VelFSFileEngine::isSequential() const
{
    struct stat st;
    if (m_fd >= 0 ? ::fstat(m_fd, &st) != 0 : !statName(m_name, &st))
        return false;
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode) && !S_ISBLK(st.st_mode);
}

bool VelFSFileEngine::isRelativePath() const
{
    return !m_name.startsWith(VelString("/"));
}

VelAbstractFileEngine::FileFlags VelFSFileEngine::fileFlags(FileFlags type) const
{
    struct stat st;
    if (!statName(m_name, &st))
        return 0;
    FileFlags flags = ExistsFlag | LocalDiskFlag;
    const mode_t m = st.st_mode;
    if (m & S_IRUSR)
        flags |= ReadOwnerPerm;
    if (m & S_IWUSR)
        flags |= WriteOwnerPerm;
    if (m & S_IXUSR)
        flags |= ExeOwnerPerm;
    if (m & S_IRGRP)
        flags |= ReadGroupPerm;
    if (m & S_IWGRP)
        flags |= WriteGroupPerm;
    if (m & S_IXGRP)
        flags |= ExeGroupPerm;
    if (m & S_IROTH)
        flags |= ReadOtherPerm;
    if (m & S_IWOTH)
        flags |= WriteOtherPerm;
    if (m & S_IXOTH)
        flags |= ExeOtherPerm;
    // The "user" permissions are those of the calling process.
    const VelByteArray native = nativeName(m_name);
    if (::access(native.constData(), R_OK) == 0)
        flags |= ReadUserPerm;
    if (::access(native.constData(), W_OK) == 0)
        flags |= WriteUserPerm;
    if (::access(native.constData(), X_OK) == 0)
        flags |= ExeUserPerm;
    if (S_ISDIR(m))
        flags |= DirectoryType;
    else if (S_ISREG(m))
        flags |= FileType;
    struct stat lst;
    if (::lstat(native.constData(), &lst) == 0 && S_ISLNK(lst.st_mode))
        flags |= LinkType;
    const VelString base = fileName(BaseName);
    if (base.startsWith(VelString(".")) && base != "." && base != "..")
        flags |= HiddenFlag;
    if (m_name == "/")
        flags |= RootFlag;
    return flags & type;
}

VelString VelFSFileEngine::fileName(FileName file) const
{
    switch (file) {
    case DefaultName:
        return m_name;
    case BaseName: {
        VelString name = m_name;
        while (name.length() > 1 && name.endsWith(VelString("/")))
            name.chop(1);
        const int slash = name.lastIndexOf(VelChar(u'/'));
        return slash < 0 || name == "/" ? name : name.mid(slash + 1);
    }
    case PathName: {
        const int slash = m_name.lastIndexOf(VelChar(u'/'));
        if (slash < 0)
            return VelString(".");
        return slash == 0 ? VelString("/") : m_name.left(slash);
    }
    case AbsoluteName:
        return isRelativePath() ? VelDir::cleanPath(VelDir::currentPath() + "/" + m_name)
                                : VelDir::cleanPath(m_name);
    case AbsolutePathName: {
        const VelString absolute = fileName(AbsoluteName);
        const int slash = absolute.lastIndexOf(VelChar(u'/'));
        return slash <= 0 ? VelString("/") : absolute.left(slash);
    }
    case LinkName: {
        char buffer[4096];
        const ssize_t n = ::readlink(nativeName(m_name).constData(), buffer, sizeof buffer);
        return n > 0 ? VelString::fromLocal8Bit(buffer, int(n)) : VelString();
    }
    case CanonicalName:
    case CanonicalPathName: {
        char *resolved = ::realpath(nativeName(m_name).constData(), nullptr);
        if (!resolved)
            return VelString();
        VelString canonical = VelString::fromLocal8Bit(resolved);
        ::free(resolved);
        if (file == CanonicalName)
            return canonical;
        const int slash = canonical.lastIndexOf(VelChar(u'/'));
        return slash <= 0 ? VelString("/") : canonical.left(slash);
    }
    default:
        return VelString();
    }
}

void VelFSFileEngine::setFileName(const VelString &file)
{
    close();
    m_name = file;
}

VelAbstractFileEngine::Iterator *VelFSFileEngine::beginEntryList(VelDir::Filters filters,
                                                                 const VelStringList &filterNames)
{
    return new VelStringListFileEngineIterator(directoryEntries(m_name), filters, filterNames);
}

velint64 VelFSFileEngine::read(char *data, velint64 maxlen)
{
    if (m_fd < 0 || maxlen < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::read(m_fd, data, size_t(maxlen));
        if (n < 0 && errno == EINTR)
            continue;
        return velint64(n);
    }
}

velint64 VelFSFileEngine::write(const char *data, velint64 len)
{
    if (m_fd < 0 || len < 0)
        return -1;
    velint64 written = 0;
    while (written < len) {
        const ssize_t n = ::write(m_fd, data + written, size_t(len - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return written > 0 ? written : -1;
        written += n;
    }
    return written;
}

bool VelFSFileEngine::syncToDisk()
{
    return m_fd >= 0 && ::fsync(m_fd) == 0;
}

bool VelFSFileEngine::remove()
{
    return ::unlink(nativeName(m_name).constData()) == 0;
}

bool VelFSFileEngine::rename(const VelString &newName)
{
    return ::rename(nativeName(m_name).constData(), nativeName(newName).constData()) == 0;
}

bool VelFSFileEngine::mkdir(const VelString &dirName, bool createParentDirectories) const
{
    if (!createParentDirectories)
        return ::mkdir(nativeName(dirName).constData(), 0777) == 0;
    const VelString clean = VelDir::cleanPath(dirName);
    for (int i = 1; i <= clean.length(); ++i) {
        if (i < clean.length() && clean.at(i) != u'/')
            continue;
        const VelByteArray part = nativeName(clean.left(i));
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return statName(clean, &st) && S_ISDIR(st.st_mode);
}

bool VelFSFileEngine::rmdir(const VelString &dirName, bool recurseParentDirectories) const
{
    VelString current = VelDir::cleanPath(dirName);
    if (::rmdir(nativeName(current).constData()) != 0)
        return false;
    while (recurseParentDirectories) {
        const int slash = current.lastIndexOf(VelChar(u'/'));
        if (slash <= 0)
            break;
        current = current.left(slash);
        if (::rmdir(nativeName(current).constData()) != 0)
            break;
    }
    return true;
}

bool VelFSFileEngine::setSize(velint64 size)
{
    if (m_fd >= 0)
        return ::ftruncate(m_fd, off_t(size)) == 0;
    return ::truncate(nativeName(m_name).constData(), off_t(size)) == 0;
}

velint64 VelFSFileEngine::fileTime(FileTime time) const
{
    struct stat st;
    if (!statName(m_name, &st))
        return -1;
    const struct timespec &ts = time == AccessTime ? st.st_atim : st.st_mtim;
    return velint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
