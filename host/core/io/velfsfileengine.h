#ifndef VELFSFILEENGINE_H
#define VELFSFILEENGINE_H

#include "velabstractfileengine.h"

// The engine of the local file system: POSIX calls on the name in the local
// 8-bit encoding. Relative names are relative to the current directory.
class VelFSFileEngine : public VelAbstractFileEngine
{
public:
    explicit VelFSFileEngine(const VelString &fileName);
    ~VelFSFileEngine() override;

    bool open(VelIODevice::OpenMode openMode) override;
    bool close() override;
    velint64 size() const override;
    velint64 pos() const override;
    bool seek(velint64 offset) override;
    bool isSequential() const override;
    bool caseSensitive() const override { return true; }
    bool isRelativePath() const override;
    FileFlags fileFlags(FileFlags type = FileInfoAll) const override;
    VelString fileName(FileName file = DefaultName) const override;
    void setFileName(const VelString &file) override;
    Iterator *beginEntryList(VelDir::Filters filters, const VelStringList &filterNames) override;
    velint64 read(char *data, velint64 maxlen) override;

    bool flush() override { return m_fd >= 0; }
    bool syncToDisk() override;
    bool remove() override;
    bool rename(const VelString &newName) override;
    bool mkdir(const VelString &dirName, bool createParentDirectories) const override;
    bool rmdir(const VelString &dirName, bool recurseParentDirectories) const override;
    bool setSize(velint64 size) override;
    velint64 fileTime(FileTime time) const override;
    int handle() const override { return m_fd; }
    velint64 write(const char *data, velint64 len) override;
    bool isNative() const override { return true; }

private:
    VelString m_name;
    int m_fd = -1;
};

#endif
