#ifndef VELDIR_H
#define VELDIR_H

#include "velstring.h"

#include <memory>

class VelFileInfo;

// A directory of the local file system, of the resources (":/...") or of a
// registered file-engine handler ("assets:/..."). Listings come from the
// engine's iterator; the filters and the sorting are always applied here, so
// an engine may yield every entry it has.
class VelDir
{
public:
    enum Filter : int {
        Dirs = 0x001,
        Files = 0x002,
        Drives = 0x004,
        NoSymLinks = 0x008,
        AllEntries = Dirs | Files | Drives,
        TypeMask = 0x00f,
        Readable = 0x010,
        Writable = 0x020,
        Executable = 0x040,
        PermissionMask = 0x070,
        Modified = 0x080,
        Hidden = 0x100,
        System = 0x200,
        AccessMask = 0x3F0,
        AllDirs = 0x400,
        CaseSensitive = 0x800,
        NoDot = 0x2000,
        NoDotDot = 0x4000,
        NoDotAndDotDot = NoDot | NoDotDot,
        NoFilter = -1
    };
    using Filters = int;

    enum SortFlag : int {
        Name = 0x00,
        Time = 0x01,
        Size = 0x02,
        Unsorted = 0x03,
        SortByMask = 0x03,
        DirsFirst = 0x04,
        Reversed = 0x08,
        IgnoreCase = 0x10,
        DirsLast = 0x20,
        LocaleAware = 0x40,
        Type = 0x80,
        NoSort = -1
    };
    using SortFlags = int;

    explicit VelDir(const VelString &path = VelString());
    VelDir(const VelString &path, const VelString &nameFilter, SortFlags sort = Name | IgnoreCase,
           Filters filter = AllEntries);
    VelDir(const VelDir &other);
    VelDir &operator=(const VelDir &other);
    ~VelDir();

    VelString path() const;
    void setPath(const VelString &path);
    VelString absolutePath() const;
    VelString dirName() const;
    bool exists() const;
    bool isRoot() const;
    // Forgets the cached existence and listing; the next query reads again.
    void refresh() const;

    VelStringList nameFilters() const;
    void setNameFilters(const VelStringList &nameFilters);
    Filters filter() const;
    void setFilter(Filters filter);
    SortFlags sorting() const;
    void setSorting(SortFlags sort);

    // Entries of the directory ("." and ".." are never listed).
    VelStringList entryList(Filters filters = NoFilter, SortFlags sort = NoSort) const;
    VelStringList entryList(const VelStringList &nameFilters, Filters filters = NoFilter,
                            SortFlags sort = NoSort) const;
    std::vector<VelFileInfo> entryInfoList(const VelStringList &nameFilters,
                                           Filters filters = NoFilter,
                                           SortFlags sort = NoSort) const;
    int count() const;

    VelString filePath(const VelString &fileName) const;
    VelString absoluteFilePath(const VelString &fileName) const;

    static VelString toNativeSeparators(const VelString &path);
    static VelString fromNativeSeparators(const VelString &path);
    static VelString cleanPath(const VelString &path);
    static bool isAbsolutePath(const VelString &path);
    static VelString homePath();
    static VelString currentPath();
    static bool setCurrent(const VelString &path);
    static VelString rootPath() { return VelString("/"); }
    // Wildcard match of one name ('*', '?', "[...]") against any of the filters.
    static bool match(const VelStringList &filters, const VelString &fileName,
                      Vel::CaseSensitivity cs = Vel::CaseInsensitive);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif
