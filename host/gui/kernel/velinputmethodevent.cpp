#include "velinputmethodevent.h"

VelInputMethodEvent::VelInputMethodEvent() : VelEvent(InputMethod) {}

VelInputMethodEvent::VelInputMethodEvent(const VelString &preeditText,
                                         const std::vector<Attribute> &attributes)
    : VelEvent(InputMethod), m_preedit(preeditText), m_attributes(attributes)
{
}

VelInputMethodEvent::VelInputMethodEvent(const VelInputMethodEvent &other)
    : VelEvent(InputMethod), m_preedit(other.m_preedit), m_attributes(other.m_attributes),
      m_commit(other.m_commit), m_replaceFrom(other.m_replaceFrom),
      m_replaceLength(other.m_replaceLength)
{
}

VelInputMethodEvent::~VelInputMethodEvent() = default;

void VelInputMethodEvent::setCommitString(const VelString &commitString, int replaceFrom,
                                          int replaceLength)
{
    m_commit = commitString;
    m_replaceFrom = replaceFrom;
    // A negative length would make the receiver delete backwards past the region it was told.
    m_replaceLength = replaceLength < 0 ? 0 : replaceLength;
}
