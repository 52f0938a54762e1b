#include "textfield.h"

#include "velguinamespace.h"
#include "velinputmethodevent.h"
#include "velinputmethodqueryevent.h"
#include "veltextcharformat.h"

#include <algorithm>

VEL_META_BEGIN(TextField, VelObject)
VEL_META_SIGNAL(cursorPositionChanged, int, int)
VEL_META_SIGNAL(changed)
VEL_META_END

void TextField::cursorPositionChanged(int oldPosition, int newPosition)
{
    VEL_EMIT(cursorPositionChanged, oldPosition, newPosition);
}

void TextField::changed()
{
    VEL_EMIT(changed);
}

TextField::TextField(VelObject *parent) : VelObject(parent) {}

int TextField::clampToText(long long position) const
{
    return int(std::clamp<long long>(position, 0, m_text.length()));
}

void TextField::setCursor(long long position, long long anchor)
{
    const int old = m_cursor;
    m_cursor = clampToText(position);
    m_anchor = clampToText(anchor);
    if (old != m_cursor)
        cursorPositionChanged(old, m_cursor);
}

void TextField::insert(const VelString &text)
{
    const int from = std::min(m_cursor, m_anchor);
    m_text.replace(from, std::abs(m_cursor - m_anchor), text);
    setCursor(from + text.length(), from + text.length());
    changed();
}

void TextField::backspace()
{
    if (m_cursor != m_anchor) {
        insert(VelString());
        return;
    }
    if (m_cursor == 0)
        return;
    m_text.remove(m_cursor - 1, 1);
    setCursor(m_cursor - 1, m_cursor - 1);
    changed();
}

void TextField::moveCursor(int delta)
{
    setCursor(m_cursor + delta, m_cursor + delta);
    changed();
}

bool TextField::event(VelEvent *event)
{
    switch (event->type()) {
    case VelEvent::InputMethodQuery:
        answer(static_cast<VelInputMethodQueryEvent *>(event));
        return true;
    case VelEvent::InputMethod:
        apply(*static_cast<VelInputMethodEvent *>(event));
        return true;
    default:
        return VelObject::event(event);
    }
}

void TextField::answer(VelInputMethodQueryEvent *query) const
{
    const Vel::InputMethodQueries asked = query->queries();
    if (asked & Vel::ImEnabled)
        query->setValue(Vel::ImEnabled, VelVariant(true));
    if (asked & Vel::ImCursorRectangle)
        query->setValue(Vel::ImCursorRectangle, VelVariant(m_cursorRectangle));
    if (asked & Vel::ImCursorPosition)
        query->setValue(Vel::ImCursorPosition, VelVariant(m_cursor));
    if (asked & Vel::ImSurroundingText)
        query->setValue(Vel::ImSurroundingText, VelVariant(m_text));
    if (asked & Vel::ImCurrentSelection)
        query->setValue(
            Vel::ImCurrentSelection,
            VelVariant(m_text.mid(std::min(m_cursor, m_anchor), std::abs(m_cursor - m_anchor))));
    if (asked & Vel::ImAnchorPosition)
        query->setValue(Vel::ImAnchorPosition, VelVariant(m_anchor));
    if (asked & Vel::ImHints)
        query->setValue(Vel::ImHints, VelVariant(int(Vel::ImhPreferUppercase)));
}

// The commit replaces text around the cursor (or the selection), then the
// preedit and its attributes take the place of the previous preedit.
void TextField::apply(const VelInputMethodEvent &event)
{
    const VelString &commit = event.commitString();
    if (!commit.isEmpty() || event.replacementLength() > 0) {
        int from = 0;
        int length = 0;
        if (m_cursor != m_anchor && event.replacementLength() == 0 &&
            event.replacementStart() == 0) {
            from = std::min(m_cursor, m_anchor);
            length = std::abs(m_cursor - m_anchor);
        } else {
            // Lengths from an input method may reach past either end.
            from = clampToText((long long)m_cursor + event.replacementStart());
            length =
                int(std::clamp<long long>(event.replacementLength(), 0, m_text.length() - from));
        }
        m_text.replace(from, length, commit);
        setCursor(from + commit.length(), from + commit.length());
    }
    m_preedit = event.preeditString();
    m_preeditCursor = m_preedit.length();
    m_underlineStart = 0;
    m_underlineLength = 0;
    for (const VelInputMethodEvent::Attribute &attribute : event.attributes()) {
        switch (attribute.type) {
        case VelInputMethodEvent::Cursor:
            m_preeditCursor =
                attribute.length > 0 ? std::clamp(attribute.start, 0, m_preedit.length()) : -1;
            break;
        case VelInputMethodEvent::TextFormat:
            if (attribute.value.value<VelTextCharFormat>().fontUnderline()) {
                m_underlineStart = std::clamp(attribute.start, 0, m_preedit.length());
                m_underlineLength =
                    std::clamp(attribute.length, 0, m_preedit.length() - m_underlineStart);
            }
            break;
        case VelInputMethodEvent::Selection:
            setCursor((long long)attribute.start + attribute.length, attribute.start);
            break;
        default:
            break;
        }
    }
    changed();
}

std::string TextField::describe() const
{
    return "text=\"" + m_text.toStdString() + "\" cursor=" + std::to_string(m_cursor) +
           " anchor=" + std::to_string(m_anchor) + " preedit=\"" + m_preedit.toStdString() + "\"";
}
