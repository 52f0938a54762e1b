#include "velabstractfileengine.h"

#include "velabstractfileenginehandler.h"
#include "velfsfileengine.h"
#include "velresourcefileengine.h"

VelAbstractFileEngine::VelAbstractFileEngine() = default;
VelAbstractFileEngine::~VelAbstractFileEngine() = default;

bool VelAbstractFileEngine::open(VelIODevice::OpenMode)
{
    return false;
}
bool VelAbstractFileEngine::close()
{
    return false;
}
velint64 VelAbstractFileEngine::size() const
{
    return 0;
}
velint64 VelAbstractFileEngine::pos() const
{
    return 0;
}
bool VelAbstractFileEngine::seek(velint64)
{
    return false;
}
bool VelAbstractFileEngine::isSequential() const
{
    return false;
}
bool VelAbstractFileEngine::caseSensitive() const
{
    return false;
}
bool VelAbstractFileEngine::isRelativePath() const
{
    return false;
}
VelAbstractFileEngine::FileFlags VelAbstractFileEngine::fileFlags(FileFlags) const
{
    return 0;
}
VelString VelAbstractFileEngine::fileName(FileName) const
{
    return VelString();
}
void VelAbstractFileEngine::setFileName(const VelString &) {}
VelAbstractFileEngine::Iterator *VelAbstractFileEngine::beginEntryList(VelDir::Filters,
                                                                       const VelStringList &)
{
    return nullptr;
}
velint64 VelAbstractFileEngine::read(char *, velint64)
{
    return -1;
}

bool VelAbstractFileEngine::flush()
{
    return false;
}
bool VelAbstractFileEngine::syncToDisk()
{
    return false;
}
bool VelAbstractFileEngine::remove()
{
    return false;
}
bool VelAbstractFileEngine::copy(const VelString &)
{
    return false;
}
bool VelAbstractFileEngine::rename(const VelString &)
{
    return false;
}
bool VelAbstractFileEngine::link(const VelString &)
{
    return false;
}
bool VelAbstractFileEngine::mkdir(const VelString &, bool) const
{
    return false;
}
bool VelAbstractFileEngine::rmdir(const VelString &, bool) const
{
    return false;
}
bool VelAbstractFileEngine::setSize(velint64)
{
    return false;
}
bool VelAbstractFileEngine::setPermissions(unsigned)
{
    return false;
}
unsigned VelAbstractFileEngine::ownerId(FileOwner) const
{
    return unsigned(-2);
}
VelString VelAbstractFileEngine::owner(FileOwner) const
{
    return VelString();
}
velint64 VelAbstractFileEngine::fileTime(FileTime) const
{
    return -1;
}
int VelAbstractFileEngine::handle() const
{
    return -1;
}
VelAbstractFileEngine::Iterator *VelAbstractFileEngine::endEntryList()
{
    return nullptr;
}
velint64 VelAbstractFileEngine::write(const char *, velint64)
{
    return -1;
}
bool VelAbstractFileEngine::extension(Extension, const ExtensionOption *, ExtensionReturn *)
{
    return false;
}
bool VelAbstractFileEngine::supportsExtension(Extension) const
{
    return false;
}

velint64 VelAbstractFileEngine::readLine(char *data, velint64 maxlen)
{
    velint64 count = 0;
    while (count < maxlen) {
        const velint64 got = read(data + count, 1);
        if (got < 0)
            return count > 0 ? count : -1;
        if (got == 0)
            break;
        if (data[count++] == '\n')
            break;
    }
    return count;
}

std::unique_ptr<VelAbstractFileEngine> VelAbstractFileEngine::create(const VelString &fileName)
{
    if (fileName.startsWith(VelString(":/")))
        return std::make_unique<VelResourceFileEngine>(fileName);
    if (VelAbstractFileEngine *engine = VelAbstractFileEngineHandler::createFromHandlers(fileName))
        return std::unique_ptr<VelAbstractFileEngine>(engine);
    return std::make_unique<VelFSFileEngine>(fileName);
}
