#include "velfileinfo.h"

#include "velabstractfileengine.h"

#include <mutex>

namespace
{

// The part before the last "/"; a scheme root such as ":/" or "assets:/"
// keeps its slash, a name without "/" is in ".".
VelString directoryPart(const VelString &path)
{
    const int slash = path.lastIndexOf(VelChar(u'/'));
    if (slash < 0)
        return VelString(".");
    if (slash == 0)
        return VelString("/");
    if (path.at(slash - 1) == u':')
        return path.left(slash + 1);
    return path.left(slash);
}

} // namespace

// Shared by copies; filled once, on the first query, from one engine.
struct VelFileInfo::Private {
    explicit Private(const VelString &name) : name(name) {}

    void load()
    {
        std::call_once(loaded, [this] {
            if (name.isEmpty())
                return;
            const std::unique_ptr<VelAbstractFileEngine> engine =
                VelAbstractFileEngine::create(name);
            flags = engine->fileFlags(VelAbstractFileEngine::FileInfoAll);
            native = engine->isNative();
            relative = engine->isRelativePath();
            if (flags & VelAbstractFileEngine::FileType)
                size = engine->size();
            modified = engine->fileTime(VelAbstractFileEngine::ModificationTime);
            absoluteName = engine->fileName(VelAbstractFileEngine::AbsoluteName);
            if (absoluteName.isEmpty())
                absoluteName = name;
        });
    }

    const VelString name;
    std::once_flag loaded;
    VelAbstractFileEngine::FileFlags flags = 0;
    bool native = false;
    bool relative = false;
    velint64 size = 0;
    velint64 modified = -1;
    VelString absoluteName;
};

VelFileInfo::VelFileInfo() : d(std::make_shared<Private>(VelString())) {}

VelFileInfo::VelFileInfo(const VelString &file) : d(std::make_shared<Private>(file)) {}

VelFileInfo::VelFileInfo(const VelFileInfo &other) = default;

VelFileInfo &VelFileInfo::operator=(const VelFileInfo &other) = default;

VelFileInfo::~VelFileInfo() = default;

void VelFileInfo::setFile(const VelString &file)
{
    d = std::make_shared<Private>(file);
}

void VelFileInfo::refresh()
{
    d = std::make_shared<Private>(d->name);
}

bool VelFileInfo::exists() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::ExistsFlag;
}

bool VelFileInfo::isFile() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::FileType;
}

bool VelFileInfo::isDir() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::DirectoryType;
}

bool VelFileInfo::isReadable() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::ReadUserPerm;
}

bool VelFileInfo::isWritable() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::WriteUserPerm;
}

bool VelFileInfo::isExecutable() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::ExeUserPerm;
}

bool VelFileInfo::isHidden() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::HiddenFlag;
}

bool VelFileInfo::isSymLink() const
{
    d->load();
    return d->flags & VelAbstractFileEngine::LinkType;
}

bool VelFileInfo::isRelative() const
{
    d->load();
    return d->relative;
}

bool VelFileInfo::isNativePath() const
{
    d->load();
    return d->native && !d->name.isEmpty();
}

velint64 VelFileInfo::size() const
{
    d->load();
    return d->size;
}

velint64 VelFileInfo::lastModified() const
{
    d->load();
    return d->modified;
}

VelString VelFileInfo::filePath() const
{
    return d->name;
}

VelString VelFileInfo::fileName() const
{
    const int slash = d->name.lastIndexOf(VelChar(u'/'));
    return d->name.mid(slash + 1);
}

VelString VelFileInfo::path() const
{
    return directoryPart(d->name);
}

VelString VelFileInfo::absoluteFilePath() const
{
    d->load();
    return d->absoluteName;
}

VelString VelFileInfo::absolutePath() const
{
    return directoryPart(absoluteFilePath());
}

VelString VelFileInfo::baseName() const
{
    const VelString name = fileName();
    const int dot = name.indexOf(VelChar(u'.'));
    return dot < 0 ? name : name.left(dot);
}

VelString VelFileInfo::suffix() const
{
    const VelString name = fileName();
    const int dot = name.lastIndexOf(VelChar(u'.'));
    return dot < 0 ? VelString() : name.mid(dot + 1);
}
