#include "velinputmethodqueryevent.h"

VelInputMethodQueryEvent::VelInputMethodQueryEvent(Vel::InputMethodQueries queries)
    : VelEvent(InputMethodQuery), m_queries(queries)
{
}

VelInputMethodQueryEvent::~VelInputMethodQueryEvent() = default;

void VelInputMethodQueryEvent::setValue(Vel::InputMethodQuery query, const VelVariant &value)
{
    for (Answer &answer : m_answers) {
        if (answer.query == query) {
            answer.value = value;
            return;
        }
    }
    m_answers.push_back(Answer{query, value});
}

VelVariant VelInputMethodQueryEvent::value(Vel::InputMethodQuery query) const
{
    for (const Answer &answer : m_answers) {
        if (answer.query == query)
            return answer.value;
    }
    return VelVariant();
}
