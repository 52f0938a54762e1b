#ifndef VELACCESSIBLETEXTINTERFACE_H
#define VELACCESSIBLETEXTINTERFACE_H

#include "velpoint.h"
#include "velrect.h"
#include "velstring.h"

// The text of an accessible object: characters, cursor and selections.
// Offsets count UTF-16 units from 0; ranges are [start, end).
class VelAccessibleTextInterface
{
public:
    virtual ~VelAccessibleTextInterface();

    virtual int selectionCount() const = 0;
    // The range of selection `index`; both 0 for an index out of range.
    virtual void selection(int index, int *startOffset, int *endOffset) const = 0;
    virtual void addSelection(int startOffset, int endOffset) = 0;
    virtual void removeSelection(int index) = 0;
    virtual void setSelection(int index, int startOffset, int endOffset) = 0;

    virtual int cursorPosition() const = 0;
    virtual void setCursorPosition(int position) = 0;

    virtual int characterCount() const = 0;
    // The characters of [startOffset, endOffset), clipped to the text.
    virtual VelString text(int startOffset, int endOffset) const = 0;
    // Defaults: an empty rectangle, -1 (no character there), no effect.
    virtual VelRect characterRect(int offset) const;
    virtual int offsetAtPoint(const VelPoint &point) const;
    virtual void scrollToSubstring(int startIndex, int endIndex);
};

#endif
