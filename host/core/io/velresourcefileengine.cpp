#include "velresourcefileengine.h"

#include "velabstractfileengineiterator.h"

#include <cstring>

namespace
{

// The resource path of a ":/..." name, without the leading ':'.
VelString resourcePath(const VelString &name)
{
    return name.mid(1);
}

} // namespace

VelResourceFileEngine::VelResourceFileEngine(const VelString &fileName)
    : m_name(fileName), m_entry(VelResource::lookup(resourcePath(fileName)))
{
}

bool VelResourceFileEngine::open(VelIODevice::OpenMode openMode)
{
    if (!m_entry.exists || m_entry.isDir || !(openMode & VelIODevice::ReadOnly) ||
        (openMode & (VelIODevice::WriteOnly | VelIODevice::Append)))
        return false;
    m_contents = m_entry.contents();
    if (m_contents.size() != m_entry.size)
        return false;
    m_pos = 0;
    m_open = true;
    return true;
}

bool VelResourceFileEngine::close()
{
    if (!m_open)
        return false;
    m_open = false;
    m_contents.clear();
    return true;
}

velint64 VelResourceFileEngine::size() const
{
    return m_entry.isDir ? 0 : m_entry.size;
}

velint64 VelResourceFileEngine::pos() const
{
    return m_open ? m_pos : -1;
}

bool VelResourceFileEngine::seek(velint64 offset)
{
    if (!m_open || offset < 0 || offset > m_contents.size())
        return false;
    m_pos = offset;
    return true;
}

VelAbstractFileEngine::FileFlags VelResourceFileEngine::fileFlags(FileFlags type) const
{
    if (!m_entry.exists)
        return 0;
    FileFlags flags = ExistsFlag | ReadOwnerPerm | ReadUserPerm | ReadGroupPerm | ReadOtherPerm;
    flags |= m_entry.isDir ? DirectoryType : FileType;
    if (resourcePath(m_name) == "/")
        flags |= RootFlag;
    return flags & type;
}

VelString VelResourceFileEngine::fileName(FileName file) const
{
    const int slash = m_name.lastIndexOf(VelChar(u'/'));
    switch (file) {
    case DefaultName:
    case AbsoluteName:
    case CanonicalName:
        return m_name;
    case BaseName:
        return m_name.mid(slash + 1);
    case PathName:
    case AbsolutePathName:
    case CanonicalPathName:
        return slash <= 1 ? VelString(":/") : m_name.left(slash);
    default:
        return VelString();
    }
}

void VelResourceFileEngine::setFileName(const VelString &file)
{
    close();
    m_name = file;
    m_entry = VelResource::lookup(resourcePath(file));
}

VelAbstractFileEngine::Iterator *
VelResourceFileEngine::beginEntryList(VelDir::Filters filters, const VelStringList &filterNames)
{
    if (!m_entry.isDir)
        return nullptr;
    return new VelStringListFileEngineIterator(VelResource::children(resourcePath(m_name)), filters,
                                               filterNames);
}

velint64 VelResourceFileEngine::read(char *data, velint64 maxlen)
{
    if (!m_open || maxlen < 0)
        return -1;
    const velint64 count = velMin<velint64>(maxlen, m_contents.size() - m_pos);
    std::memcpy(data, m_contents.constData() + m_pos, size_t(count));
    m_pos += count;
    return count;
}
