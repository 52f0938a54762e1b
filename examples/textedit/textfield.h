#ifndef TEXTFIELD_H
#define TEXTFIELD_H

#include "velobject.h"
#include "velrectf.h"
#include "velstring.h"

class VelInputMethodEvent;
class VelInputMethodQueryEvent;

// One line of editable text as the input method sees it: the focus object
// that answers the input method's queries and applies its events. The
// committed text holds a cursor and an anchor (the selection runs between
// them); the preedit (the text being composed) sits at the cursor and is not
// part of the text until it is committed. Positions count UTF-16 code units.
class TextField : public VelObject
{
    VEL_OBJECT
public:
    explicit TextField(VelObject *parent = nullptr);

    const VelString &text() const { return m_text; }
    int cursor() const { return m_cursor; }
    int anchor() const { return m_anchor; }
    const VelString &preedit() const { return m_preedit; }
    // The cursor inside the preedit; -1 when the input method hides it.
    int preeditCursor() const { return m_preeditCursor; }
    // The underlined part of the preedit (length 0: none).
    int underlineStart() const { return m_underlineStart; }
    int underlineLength() const { return m_underlineLength; }

    // Editing by keys.
    void insert(const VelString &text);
    void backspace();
    void moveCursor(int delta);

    // Where the view drew the cursor, in window coordinates.
    void setCursorRectangle(const VelRectF &rect) { m_cursorRectangle = rect; }

    bool event(VelEvent *event) override;

    // One line that says what the field holds.
    std::string describe() const;

    // Signals.
    void cursorPositionChanged(int oldPosition, int newPosition);
    void changed();

private:
    void answer(VelInputMethodQueryEvent *query) const;
    void apply(const VelInputMethodEvent &event);
    void setCursor(long long position, long long anchor);
    int clampToText(long long position) const;

    VelString m_text;
    int m_cursor = 0;
    int m_anchor = 0;
    VelString m_preedit;
    int m_preeditCursor = -1;
    int m_underlineStart = 0;
    int m_underlineLength = 0;
    VelRectF m_cursorRectangle;
};

#endif
