#include "veldir.h"

#include "velabstractfileengine.h"
#include "velabstractfileengineiterator.h"
#include "velfileinfo.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace
{

struct Entry {
    VelString name;
    VelFileInfo info;
};

// Length of a "scheme:/" or ":/" root at the start of the path, else 0.
int schemeRootLength(const VelString &path)
{
    const int colon = path.indexOf(VelString(":/"));
    if (colon < 0)
        return 0;
    const int slash = path.indexOf(VelChar(u'/'));
    return slash == colon + 1 ? colon + 2 : 0;
}

bool matchWildcard(const std::u16string &pattern, size_t p, const std::u16string &name, size_t n)
{
    while (p < pattern.size()) {
        const char16_t c = pattern[p];
        if (c == u'*') {
            while (p < pattern.size() && pattern[p] == u'*')
                ++p;
            if (p == pattern.size())
                return true;
            for (size_t k = n; k <= name.size(); ++k) {
                if (matchWildcard(pattern, p, name, k))
                    return true;
            }
            return false;
        }
        if (n >= name.size())
            return false;
        if (c == u'?') {
            ++p;
            ++n;
            continue;
        }
        if (c == u'[') {
            size_t q = p + 1;
            const bool negate = q < pattern.size() && (pattern[q] == u'!' || pattern[q] == u'^');
            if (negate)
                ++q;
            bool matched = false;
            bool first = true;
            while (q < pattern.size() && (first || pattern[q] != u']')) {
                first = false;
                char16_t lo = pattern[q];
                char16_t hi = lo;
                if (q + 2 < pattern.size() && pattern[q + 1] == u'-' && pattern[q + 2] != u']') {
                    hi = pattern[q + 2];
                    q += 2;
                }
                if (name[n] >= lo && name[n] <= hi)
                    matched = true;
                ++q;
            }
            if (q >= pattern.size()) {
                // No closing bracket: the '[' is an ordinary character.
                if (name[n] != u'[')
                    return false;
                ++p;
                ++n;
                continue;
            }
            if (matched == negate)
                return false;
            p = q + 1;
            ++n;
            continue;
        }
        if (c != name[n])
            return false;
        ++p;
        ++n;
    }
    return n == name.size();
}

bool passesFilters(const Entry &entry, VelDir::Filters filters, const VelStringList &nameFilters)
{
    const VelFileInfo &info = entry.info;
    const bool isDir = info.isDir();
    if (isDir) {
        if (!(filters & (VelDir::Dirs | VelDir::AllDirs)))
            return false;
    } else if (info.exists() && !info.isFile()) {
        if (!(filters & VelDir::System))
            return false;
    } else if (!(filters & VelDir::Files)) {
        return false;
    }
    if (info.isHidden() && !(filters & VelDir::Hidden))
        return false;
    if ((filters & VelDir::NoSymLinks) && info.isSymLink())
        return false;
    if ((filters & VelDir::Readable) && !info.isReadable())
        return false;
    if ((filters & VelDir::Writable) && !info.isWritable())
        return false;
    if ((filters & VelDir::Executable) && !info.isExecutable())
        return false;
    // AllDirs lists directories whatever the name filters say.
    const bool nameFiltersApply = !(isDir && (filters & VelDir::AllDirs));
    if (nameFiltersApply && !nameFilters.empty()) {
        const Vel::CaseSensitivity cs =
            (filters & VelDir::CaseSensitive) ? Vel::CaseSensitive : Vel::CaseInsensitive;
        if (!VelDir::match(nameFilters, entry.name, cs))
            return false;
    }
    return true;
}

int compareNames(const VelString &a, const VelString &b, bool ignoreCase)
{
    if (ignoreCase) {
        const int folded = a.toCaseFolded().compare(b.toCaseFolded());
        if (folded != 0)
            return folded;
    }
    return a.compare(b);
}

void sortEntries(std::vector<Entry> &entries, VelDir::SortFlags sort)
{
    const int by = sort & VelDir::SortByMask;
    const bool ignoreCase = sort & VelDir::IgnoreCase;
    const bool reversed = sort & VelDir::Reversed;
    if (by != VelDir::Unsorted) {
        std::stable_sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
            int cmp = 0;
            if (sort & VelDir::Type)
                cmp = compareNames(a.info.suffix(), b.info.suffix(), ignoreCase);
            if (cmp == 0 && by == VelDir::Time) {
                const velint64 ta = a.info.lastModified(), tb = b.info.lastModified();
                cmp = ta == tb ? 0 : (ta > tb ? -1 : 1); // newest first
            }
            if (cmp == 0 && by == VelDir::Size) {
                const velint64 sa = a.info.size(), sb = b.info.size();
                cmp = sa == sb ? 0 : (sa > sb ? -1 : 1); // largest first
            }
            if (cmp == 0)
                cmp = compareNames(a.name, b.name, ignoreCase);
            return reversed ? cmp > 0 : cmp < 0;
        });
    } else if (reversed) {
        std::reverse(entries.begin(), entries.end());
    }
    if (sort & (VelDir::DirsFirst | VelDir::DirsLast)) {
        const bool dirsFirst = sort & VelDir::DirsFirst;
        std::stable_partition(entries.begin(), entries.end(),
                              [&](const Entry &e) { return e.info.isDir() == dirsFirst; });
    }
}

} // namespace

struct VelDir::Private {
    VelString path = VelString(".");
    VelStringList nameFilters;
    Filters filters = AllEntries;
    SortFlags sort = Name | IgnoreCase;

    // Cache, dropped by refresh(): existence and the raw listing of the last
    // (filters, name filters) pair asked for.
    mutable int exists = -1;
    mutable bool listed = false;
    mutable Filters listedFilters = 0;
    mutable VelStringList listedNameFilters;
    mutable std::vector<Entry> listing;

    const std::vector<Entry> &rawListing(Filters filters, const VelStringList &nameFilters) const
    {
        if (listed && listedFilters == filters && listedNameFilters == nameFilters)
            return listing;
        listing.clear();
        listed = true;
        listedFilters = filters;
        listedNameFilters = nameFilters;
        const std::unique_ptr<VelAbstractFileEngine> engine = VelAbstractFileEngine::create(path);
        if (!(engine->fileFlags(VelAbstractFileEngine::DirectoryType) &
              VelAbstractFileEngine::DirectoryType))
            return listing;
        const std::unique_ptr<VelAbstractFileEngineIterator> it(
            engine->beginEntryList(filters, nameFilters));
        if (!it)
            return listing;
        if (it->path().isEmpty())
            it->setPath(path.endsWith(VelString("/")) ? path : path + "/");
        while (it->hasNext()) {
            it->next();
            const VelString name = it->currentFileName();
            if (name.isEmpty() || name == "." || name == "..")
                continue;
            listing.push_back(Entry{name, it->currentFileInfo()});
        }
        engine->endEntryList();
        return listing;
    }
};

VelDir::VelDir(const VelString &path) : d(std::make_unique<Private>())
{
    setPath(path);
}

VelDir::VelDir(const VelString &path, const VelString &nameFilter, SortFlags sort, Filters filter)
    : d(std::make_unique<Private>())
{
    setPath(path);
    VelStringList filters;
    for (const VelString &part : nameFilter.split(VelChar(u';'), Vel::SkipEmptyParts)) {
        for (const VelString &word : part.split(VelChar(u' '), Vel::SkipEmptyParts))
            filters.push_back(word);
    }
    d->nameFilters = filters;
    d->sort = sort;
    d->filters = filter;
}

VelDir::VelDir(const VelDir &other) : d(std::make_unique<Private>(*other.d)) {}

VelDir &VelDir::operator=(const VelDir &other)
{
    if (this != &other)
        d = std::make_unique<Private>(*other.d);
    return *this;
}

VelDir::~VelDir() = default;

VelString VelDir::path() const
{
    return d->path;
}

void VelDir::setPath(const VelString &path)
{
    d->path = path.isEmpty() ? VelString(".") : path;
    refresh();
}

VelString VelDir::absolutePath() const
{
    if (isAbsolutePath(d->path))
        return cleanPath(d->path);
    return cleanPath(currentPath() + "/" + d->path);
}

VelString VelDir::dirName() const
{
    const VelString clean = cleanPath(d->path);
    const int slash = clean.lastIndexOf(VelChar(u'/'));
    return slash < 0 ? clean : clean.mid(slash + 1);
}

bool VelDir::exists() const
{
    if (d->exists < 0) {
        const std::unique_ptr<VelAbstractFileEngine> engine =
            VelAbstractFileEngine::create(d->path);
        d->exists = (engine->fileFlags(VelAbstractFileEngine::DirectoryType) &
                     VelAbstractFileEngine::DirectoryType)
                        ? 1
                        : 0;
    }
    return d->exists == 1;
}

bool VelDir::isRoot() const
{
    const VelString clean = absolutePath();
    return clean == "/" || (schemeRootLength(clean) == clean.length());
}

void VelDir::refresh() const
{
    d->exists = -1;
    d->listed = false;
    d->listing.clear();
}

VelStringList VelDir::nameFilters() const
{
    return d->nameFilters;
}

void VelDir::setNameFilters(const VelStringList &nameFilters)
{
    d->nameFilters = nameFilters;
}

VelDir::Filters VelDir::filter() const
{
    return d->filters;
}

void VelDir::setFilter(Filters filter)
{
    d->filters = filter;
}

VelDir::SortFlags VelDir::sorting() const
{
    return d->sort;
}

void VelDir::setSorting(SortFlags sort)
{
    d->sort = sort;
}

VelStringList VelDir::entryList(Filters filters, SortFlags sort) const
{
    return entryList(d->nameFilters, filters, sort);
}

VelStringList VelDir::entryList(const VelStringList &nameFilters, Filters filters,
                                SortFlags sort) const
{
    VelStringList names;
    for (const VelFileInfo &info : entryInfoList(nameFilters, filters, sort))
        names.push_back(info.fileName());
    return names;
}

std::vector<VelFileInfo> VelDir::entryInfoList(const VelStringList &nameFilters, Filters filters,
                                               SortFlags sort) const
{
    if (filters == NoFilter)
        filters = d->filters;
    if (sort == NoSort)
        sort = d->sort;
    // A filter without any entry type asks for every type.
    if (!(filters & (TypeMask | AllDirs)))
        filters |= AllEntries;
    std::vector<Entry> entries;
    for (const Entry &entry : d->rawListing(filters, nameFilters)) {
        if (passesFilters(entry, filters, nameFilters))
            entries.push_back(entry);
    }
    sortEntries(entries, sort);
    std::vector<VelFileInfo> infos;
    for (const Entry &entry : entries)
        infos.push_back(VelFileInfo(filePath(entry.name)));
    return infos;
}

int VelDir::count() const
{
    return int(entryList().size());
}

VelString VelDir::filePath(const VelString &fileName) const
{
    if (isAbsolutePath(fileName))
        return fileName;
    if (d->path.endsWith(VelString("/")))
        return d->path + fileName;
    return d->path + "/" + fileName;
}

VelString VelDir::absoluteFilePath(const VelString &fileName) const
{
    if (isAbsolutePath(fileName))
        return fileName;
    const VelString base = absolutePath();
    if (base.endsWith(VelString("/")))
        return base + fileName;
    return base + "/" + fileName;
}

VelString VelDir::toNativeSeparators(const VelString &path)
{
    return path;
}

VelString VelDir::fromNativeSeparators(const VelString &path)
{
    return path;
}

VelString VelDir::cleanPath(const VelString &path)
{
    if (path.isEmpty())
        return path;
    int rootLength = schemeRootLength(path);
    if (rootLength == 0 && path.startsWith(VelString("/")))
        rootLength = 1;
    const VelString root = path.left(rootLength);
    std::vector<VelString> parts;
    for (const VelString &part : path.mid(rootLength).split(VelChar(u'/'), Vel::SkipEmptyParts)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (root.isEmpty())
                parts.push_back(part);
            continue;
        }
        parts.push_back(part);
    }
    VelString result = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += VelChar(u'/');
        result += parts[i];
    }
    return result.isEmpty() ? VelString(".") : result;
}

bool VelDir::isAbsolutePath(const VelString &path)
{
    return path.startsWith(VelString("/")) || schemeRootLength(path) > 0;
}

VelString VelDir::homePath()
{
    const char *home = std::getenv("HOME");
    if (home && *home)
        return cleanPath(VelString::fromLocal8Bit(home));
    if (const passwd *pw = ::getpwuid(::getuid())) {
        if (pw->pw_dir && *pw->pw_dir)
            return VelString::fromLocal8Bit(pw->pw_dir);
    }
    return rootPath();
}

VelString VelDir::currentPath()
{
    char *cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return VelString();
    const VelString result = VelString::fromLocal8Bit(cwd);
    std::free(cwd);
    return result;
}

bool VelDir::setCurrent(const VelString &path)
{
    return !path.isEmpty() && ::chdir(path.toLocal8Bit().constData()) == 0;
}

bool VelDir::match(const VelStringList &filters, const VelString &fileName, Vel::CaseSensitivity cs)
{
    const VelString name = cs == Vel::CaseSensitive ? fileName : fileName.toCaseFolded();
    for (const VelString &filter : filters) {
        const VelString pattern = cs == Vel::CaseSensitive ? filter : filter.toCaseFolded();
        if (matchWildcard(pattern.toStdU16String(), 0, name.toStdU16String(), 0))
            return true;
    }
    return false;
}
