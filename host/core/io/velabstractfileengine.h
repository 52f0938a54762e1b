#ifndef VELABSTRACTFILEENGINE_H
#define VELABSTRACTFILEENGINE_H

#include "veldir.h"
#include "veliodevice.h"
#include "velstring.h"

#include <memory>

class VelAbstractFileEngineIterator;

// The back end of VelFile, VelFileInfo and VelDir for one name. The host asks
// the registered VelAbstractFileEngineHandlers for an engine for every name
// (except ":/" resource names); unclaimed names go to the local file system.
// The host owns every engine it is given and deletes it when done.
class VelAbstractFileEngine
{
public:
    enum FileFlag : unsigned {
        ReadOwnerPerm = 0x4000,
        WriteOwnerPerm = 0x2000,
        ExeOwnerPerm = 0x1000,
        ReadUserPerm = 0x0400,
        WriteUserPerm = 0x0200,
        ExeUserPerm = 0x0100,
        ReadGroupPerm = 0x0040,
        WriteGroupPerm = 0x0020,
        ExeGroupPerm = 0x0010,
        ReadOtherPerm = 0x0004,
        WriteOtherPerm = 0x0002,
        ExeOtherPerm = 0x0001,

        LinkType = 0x10000,
        FileType = 0x20000,
        DirectoryType = 0x40000,
        BundleType = 0x80000,

        HiddenFlag = 0x0100000,
        LocalDiskFlag = 0x0200000,
        ExistsFlag = 0x0400000,
        RootFlag = 0x0800000,
        Refresh = 0x1000000,

        PermsMask = 0x0000FFFF,
        TypesMask = 0x000F0000,
        FlagsMask = 0x0FF00000,
        FileInfoAll = FlagsMask | PermsMask | TypesMask
    };
    using FileFlags = unsigned;

    enum FileName : int {
        DefaultName = 0,
        BaseName = 1,
        PathName = 2,
        AbsoluteName = 3,
        AbsolutePathName = 4,
        LinkName = 5,
        CanonicalName = 6,
        CanonicalPathName = 7,
        BundleName = 8,
        NFileNames = 9
    };
    enum FileOwner { OwnerUser, OwnerGroup };
    enum FileTime { CreationTime, ModificationTime, AccessTime };
    enum Extension { AtEndExtension, FastReadLineExtension, MapExtension, UnMapExtension };
    struct ExtensionOption {
    };
    struct ExtensionReturn {
    };
    using Iterator = VelAbstractFileEngineIterator;

    VelAbstractFileEngine();
    virtual ~VelAbstractFileEngine();

    virtual bool open(VelIODevice::OpenMode openMode);
    virtual bool close();
    virtual velint64 size() const;
    virtual velint64 pos() const;
    virtual bool seek(velint64 offset);
    virtual bool isSequential() const;
    virtual bool caseSensitive() const;
    virtual bool isRelativePath() const;
    virtual FileFlags fileFlags(FileFlags type = FileInfoAll) const;
    virtual VelString fileName(FileName file = DefaultName) const;
    virtual void setFileName(const VelString &file);
    virtual Iterator *beginEntryList(VelDir::Filters filters, const VelStringList &filterNames);
    virtual velint64 read(char *data, velint64 maxlen);

    // Defaults below fail or report nothing.
    virtual bool flush();
    virtual bool syncToDisk();
    virtual bool remove();
    virtual bool copy(const VelString &newName);
    virtual bool rename(const VelString &newName);
    virtual bool link(const VelString &newName);
    virtual bool mkdir(const VelString &dirName, bool createParentDirectories) const;
    virtual bool rmdir(const VelString &dirName, bool recurseParentDirectories) const;
    virtual bool setSize(velint64 size);
    virtual bool setPermissions(unsigned perms);
    virtual unsigned ownerId(FileOwner owner) const;
    virtual VelString owner(FileOwner owner) const;
    // Milliseconds since the epoch, or -1 when unknown.
    virtual velint64 fileTime(FileTime time) const;
    virtual int handle() const;
    virtual Iterator *endEntryList();
    // Reads up to and including a '\n' (at most maxlen bytes) through read().
    virtual velint64 readLine(char *data, velint64 maxlen);
    virtual velint64 write(const char *data, velint64 len);
    virtual bool extension(Extension extension, const ExtensionOption *option = nullptr,
                           ExtensionReturn *output = nullptr);
    virtual bool supportsExtension(Extension extension) const;

    // The engine for a name: a ":/" name is served by the resources; any other
    // name is offered to the registered handlers, newest first, and falls back
    // to the local file system. Never null; the caller owns the engine.
    static std::unique_ptr<VelAbstractFileEngine> create(const VelString &fileName);
    // Whether an engine made by create() reads the local file system.
    virtual bool isNative() const { return false; }

private:
    VEL_DISABLE_COPY(VelAbstractFileEngine)
};

#endif
