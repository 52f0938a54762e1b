#ifndef VELABSTRACTFILEENGINEITERATOR_H
#define VELABSTRACTFILEENGINEITERATOR_H

#include "veldir.h"
#include "velfileinfo.h"
#include "velstring.h"

// Walks the entries of a directory engine. The host calls next() while
// hasNext() is true and reads currentFileName() after each step; an
// iterator may yield every entry, since the host applies the filters and
// name filters it was constructed with to what it yields.
class VelAbstractFileEngineIterator
{
public:
    VelAbstractFileEngineIterator(VelDir::Filters filters, const VelStringList &nameFilters);
    virtual ~VelAbstractFileEngineIterator();

    virtual VelString next() = 0;
    virtual bool hasNext() const = 0;
    virtual VelString currentFileName() const = 0;
    // Defaults: the file info of currentFilePath(); path() + currentFileName().
    virtual VelFileInfo currentFileInfo() const;
    virtual VelString currentFilePath() const;

    // The directory being listed, ending with "/" when set by the host.
    VelString path() const { return m_path; }
    void setPath(const VelString &path) { m_path = path; }
    VelDir::Filters filters() const { return m_filters; }
    VelStringList nameFilters() const { return m_nameFilters; }

private:
    VEL_DISABLE_COPY(VelAbstractFileEngineIterator)

    VelDir::Filters m_filters;
    VelStringList m_nameFilters;
    VelString m_path;
};

// An iterator over entry names known up front (a directory read at once, a
// resource directory).
class VelStringListFileEngineIterator : public VelAbstractFileEngineIterator
{
public:
    VelStringListFileEngineIterator(const VelStringList &entries, VelDir::Filters filters,
                                    const VelStringList &nameFilters)
        : VelAbstractFileEngineIterator(filters, nameFilters), m_entries(entries)
    {
    }

    VelString next() override;
    bool hasNext() const override { return m_index + 1 < int(m_entries.size()); }
    VelString currentFileName() const override;

private:
    const VelStringList m_entries;
    int m_index = -1;
};

#endif
