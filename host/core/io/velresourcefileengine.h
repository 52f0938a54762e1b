#ifndef VELRESOURCEFILEENGINE_H
#define VELRESOURCEFILEENGINE_H

#include "velabstractfileengine.h"
#include "velbytearray.h"
#include "velresource.h"

// Read-only engine over a registered resource (":/..." names). The file's
// contents are decompressed when it is opened.
class VelResourceFileEngine : public VelAbstractFileEngine
{
public:
    explicit VelResourceFileEngine(const VelString &fileName);

    bool open(VelIODevice::OpenMode openMode) override;
    bool close() override;
    velint64 size() const override;
    velint64 pos() const override;
    bool seek(velint64 offset) override;
    bool caseSensitive() const override { return true; }
    bool isRelativePath() const override { return false; }
    FileFlags fileFlags(FileFlags type = FileInfoAll) const override;
    VelString fileName(FileName file = DefaultName) const override;
    void setFileName(const VelString &file) override;
    Iterator *beginEntryList(VelDir::Filters filters, const VelStringList &filterNames) override;
    velint64 read(char *data, velint64 maxlen) override;

private:
    VelString m_name;
    VelResource::Entry m_entry;
    VelByteArray m_contents;
    velint64 m_pos = 0;
    bool m_open = false;
};

#endif
