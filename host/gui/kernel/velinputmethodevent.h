#ifndef VELINPUTMETHODEVENT_H
#define VELINPUTMETHODEVENT_H

#include "velcoreevent.h"
#include "velstring.h"
#include "velvariant.h"

#include <vector>

// Composition traffic from an input method to the focus object: the preedit text with its
// attributes, and text to commit (optionally replacing text around the cursor).
class VelInputMethodEvent : public VelEvent
{
public:
    enum AttributeType { TextFormat = 0, Cursor = 1, Language = 2, Ruby = 3, Selection = 4 };

    class Attribute
    {
    public:
        Attribute(AttributeType type, int start, int length, const VelVariant &value = VelVariant())
            : type(type), start(start), length(length), value(value)
        {
        }
        AttributeType type;
        int start;
        int length;
        VelVariant value;
    };

    VelInputMethodEvent();
    VelInputMethodEvent(const VelString &preeditText, const std::vector<Attribute> &attributes);
    VelInputMethodEvent(const VelInputMethodEvent &other);
    ~VelInputMethodEvent() override;

    // replaceFrom is relative to the cursor and may be negative (text before the cursor).
    void setCommitString(const VelString &commitString, int replaceFrom = 0, int replaceLength = 0);

    const std::vector<Attribute> &attributes() const { return m_attributes; }
    const VelString &preeditString() const { return m_preedit; }
    const VelString &commitString() const { return m_commit; }
    int replacementStart() const { return m_replaceFrom; }
    int replacementLength() const { return m_replaceLength; }

private:
    VelString m_preedit;
    std::vector<Attribute> m_attributes;
    VelString m_commit;
    int m_replaceFrom = 0;
    int m_replaceLength = 0;
};

#endif
