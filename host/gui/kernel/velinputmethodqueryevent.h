#ifndef VELINPUTMETHODQUERYEVENT_H
#define VELINPUTMETHODQUERYEVENT_H

#include "velcoreevent.h"
#include "velguinamespace.h"
#include "velvariant.h"

#include <vector>

// A question from the input method to the focus object. The receiver answers each query
// it knows with setValue; unanswered queries read back as an invalid variant.
class VelInputMethodQueryEvent : public VelEvent
{
public:
    explicit VelInputMethodQueryEvent(Vel::InputMethodQueries queries);
    ~VelInputMethodQueryEvent() override;

    Vel::InputMethodQueries queries() const { return m_queries; }
    void setValue(Vel::InputMethodQuery query, const VelVariant &value);
    VelVariant value(Vel::InputMethodQuery query) const;

private:
    struct Answer {
        Vel::InputMethodQuery query;
        VelVariant value;
    };
    Vel::InputMethodQueries m_queries;
    std::vector<Answer> m_answers;
};

#endif
