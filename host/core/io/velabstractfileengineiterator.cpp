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
