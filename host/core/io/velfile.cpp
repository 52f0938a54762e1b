#include "velfile.h"

#include "velabstractfileengine.h"

VelFile::VelFile() = default;

VelFile::VelFile(const VelString &name) : m_name(name) {}

VelFile::~VelFile()
{
    close();
}

void VelFile::setFileName(const VelString &name)
{
    close();
    m_engine.reset();
    m_name = name;
}

VelAbstractFileEngine *VelFile::engine() const
{
    if (!m_engine)
        m_engine = VelAbstractFileEngine::create(m_name);
    return m_engine.get();
}

bool VelFile::open(VelIODevice::OpenMode mode)
{
    if (isOpen()) {
        m_error = VelString("File is already open");
        return false;
    }
    if (m_name.isEmpty()) {
        m_error = VelString("No file name specified");
        return false;
    }
    if (!engine()->open(mode)) {
        m_error = VelString("Cannot open file");
        return false;
    }
    m_openMode = mode;
    m_error.clear();
    return true;
}

void VelFile::close()
{
    if (!isOpen())
        return;
    engine()->close();
    m_openMode = VelIODevice::NotOpen;
}

velint64 VelFile::read(char *data, velint64 maxSize)
{
    if (!(m_openMode & VelIODevice::ReadOnly) || maxSize < 0)
        return -1;
    return engine()->read(data, maxSize);
}

VelByteArray VelFile::read(velint64 maxSize)
{
    VelByteArray result;
    if (maxSize <= 0)
        return result;
    result.resize(int(maxSize));
    velint64 total = 0;
    while (total < maxSize) {
        const velint64 n = read(result.data() + total, maxSize - total);
        if (n <= 0)
            break;
        total += n;
    }
    result.resize(int(total));
    return result;
}

VelByteArray VelFile::readAll()
{
    VelByteArray result;
    if (!(m_openMode & VelIODevice::ReadOnly))
        return result;
    // Sequential engines report no useful size; read in chunks until the end.
    char buffer[16384];
    for (;;) {
        const velint64 n = engine()->read(buffer, velint64(sizeof buffer));
        if (n <= 0)
            break;
        result.append(buffer, int(n));
    }
    return result;
}

velint64 VelFile::write(const char *data, velint64 size)
{
    if (!(m_openMode & (VelIODevice::WriteOnly | VelIODevice::Append)) || size < 0)
        return -1;
    return engine()->write(data, size);
}

velint64 VelFile::size() const
{
    return engine()->size();
}

velint64 VelFile::pos() const
{
    return isOpen() ? engine()->pos() : 0;
}

bool VelFile::seek(velint64 offset)
{
    return isOpen() && engine()->seek(offset);
}

bool VelFile::atEnd() const
{
    return !isOpen() || pos() >= size();
}

bool VelFile::exists() const
{
    return engine()->fileFlags(VelAbstractFileEngine::ExistsFlag |
                               VelAbstractFileEngine::FileType) &
           VelAbstractFileEngine::ExistsFlag;
}

bool VelFile::remove()
{
    close();
    return engine()->remove();
}

bool VelFile::exists(const VelString &name)
{
    return VelFile(name).exists();
}

bool VelFile::remove(const VelString &name)
{
    return VelFile(name).remove();
}
