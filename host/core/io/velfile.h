#ifndef VELFILE_H
#define VELFILE_H

#include "velbytearray.h"
#include "veliodevice.h"
#include "velstring.h"

#include <memory>

class VelAbstractFileEngine;

// A file read (or, on the local file system, written) through the engine the
// host picks for its name: ":/" names from the resources, names claimed by a
// file-engine handler (e.g. "assets:/...") through that handler's engine,
// anything else from the local file system.
class VelFile
{
public:
    VelFile();
    explicit VelFile(const VelString &name);
    ~VelFile();

    VelString fileName() const { return m_name; }
    void setFileName(const VelString &name);

    bool open(VelIODevice::OpenMode mode);
    bool isOpen() const { return m_openMode != VelIODevice::NotOpen; }
    VelIODevice::OpenMode openMode() const { return m_openMode; }
    void close();

    // -1 on error; 0 at the end.
    velint64 read(char *data, velint64 maxSize);
    VelByteArray read(velint64 maxSize);
    VelByteArray readAll();
    velint64 write(const char *data, velint64 size);
    velint64 write(const VelByteArray &data) { return write(data.constData(), data.size()); }
    velint64 size() const;
    velint64 pos() const;
    bool seek(velint64 offset);
    bool atEnd() const;
    bool exists() const;
    bool remove();
    VelString errorString() const { return m_error; }

    static bool exists(const VelString &name);
    static bool remove(const VelString &name);
    static VelByteArray encodeName(const VelString &name) { return name.toLocal8Bit(); }
    static VelString decodeName(const VelByteArray &name) { return VelString::fromLocal8Bit(name); }

private:
    VEL_DISABLE_COPY(VelFile)

    VelAbstractFileEngine *engine() const;

    VelString m_name;
    mutable std::unique_ptr<VelAbstractFileEngine> m_engine;
    VelIODevice::OpenMode m_openMode = VelIODevice::NotOpen;
    VelString m_error;
};

#endif
