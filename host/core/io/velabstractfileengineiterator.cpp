#include "velabstractfileengineiterator.h"

VelAbstractFileEngineIterator::VelAbstractFileEngineIterator(VelDir::Filters filters,
                                                             const VelStringList &nameFilters)
    : m_filters(filters), m_nameFilters(nameFilters)
{
}

VelAbstractFileEngineIterator::~VelAbstractFileEngineIterator() = default;

VelFileInfo VelAbstractFileEngineIterator::currentFileInfo() const
{
    return VelFileInfo(currentFilePath());
}

VelString VelAbstractFileEngineIterator::currentFilePath() const
{
    const VelString name = currentFileName();
    if (name.isEmpty())
        return VelString();
    if (m_path.isEmpty() || m_path.endsWith(VelString("/")))
        return m_path + name;
    return m_path + "/" + name;
}

VelString VelStringListFileEngineIterator::next()
{
    if (!hasNext())
        return VelString();
    ++m_index;
    return currentFileName();
}

VelString VelStringListFileEngineIterator::currentFileName() const
{
    return m_index >= 0 && m_index < int(m_entries.size()) ? m_entries.at(m_index) : VelString();
}
