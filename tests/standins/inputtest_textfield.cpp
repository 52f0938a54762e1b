// The text-edit example's field as the input method's focus object: its
// answers, and input-method events applied with lengths and positions that
// reach past the text.

#include "textfield.h"

#include "velinputmethodevent.h"
#include "velinputmethodqueryevent.h"
#include "veltextcharformat.h"

#include <gtest/gtest.h>

namespace
{

using Attribute = VelInputMethodEvent::Attribute;

VelString str(const char *text)
{
    return VelString::fromUtf8(text);
}

void send(TextField &field, VelInputMethodEvent event)
{
    field.event(&event);
}

VelInputMethodEvent commit(const char *text, int from = 0, int length = 0)
{
    VelInputMethodEvent event;
    event.setCommitString(str(text), from, length);
    return event;
}

VelVariant underline()
{
    VelTextCharFormat format;
    format.setFontUnderline(true);
    return VelVariant::fromValue(format);
}

// A field holding "abcdef" with the cursor at 4.
void fill(TextField &field)
{
    send(field, commit("abcdef"));
    VelInputMethodEvent toFour(VelString(), {Attribute(VelInputMethodEvent::Selection, 4, 0)});
    send(field, toFour);
    ASSERT_EQ(field.cursor(), 4);
}

} // namespace

TEST(TextField, AnswersTheInputMethodsQueries)
{
    TextField field;
    fill(field);
    VelInputMethodEvent select(VelString(), {Attribute(VelInputMethodEvent::Selection, 1, 2)});
    send(field, select);
    VelInputMethodQueryEvent query(Vel::ImQueryAll);
    field.event(&query);
    EXPECT_EQ(query.value(Vel::ImSurroundingText).toString().toStdString(), "abcdef");
    EXPECT_EQ(query.value(Vel::ImCursorPosition).toInt(), 3);
    EXPECT_EQ(query.value(Vel::ImAnchorPosition).toInt(), 1);
    EXPECT_EQ(query.value(Vel::ImCurrentSelection).toString().toStdString(), "bc");
    EXPECT_EQ(query.value(Vel::ImHints).toInt(), int(Vel::ImhPreferUppercase));
}

TEST(TextField, CommitsReplaceAroundTheCursorAndClampToTheText)
{
    TextField field;
    fill(field);
    send(field, commit("X", -1, 2)); // "abc" + X + "ef"
    EXPECT_EQ(field.text().toStdString(), "abcXf");
    EXPECT_EQ(field.cursor(), 4);
    send(field, commit("", -1000000, 2000000000)); // everything, without overflow
    EXPECT_EQ(field.text().toStdString(), "");
    EXPECT_EQ(field.cursor(), 0);
    send(field, commit("tail", 50, 3)); // past the end: appended
    EXPECT_EQ(field.text().toStdString(), "tail");
    EXPECT_EQ(field.cursor(), 4);
}

TEST(TextField, ACommitReplacesTheSelection)
{
    TextField field;
    fill(field);
    VelInputMethodEvent select(VelString(), {Attribute(VelInputMethodEvent::Selection, 5, -3)});
    send(field, select);
    EXPECT_EQ(field.anchor(), 5);
    EXPECT_EQ(field.cursor(), 2);
    send(field, commit("Z"));
    EXPECT_EQ(field.text().toStdString(), "abZf");
    EXPECT_EQ(field.cursor(), 3);
    EXPECT_EQ(field.anchor(), 3);
}

TEST(TextField, PreeditKeepsItsCursorAndUnderlineWithinItself)
{
    TextField field;
    fill(field);
    VelInputMethodEvent compose(str("wor"),
                                {Attribute(VelInputMethodEvent::Cursor, 9, 1),
                                 Attribute(VelInputMethodEvent::TextFormat, 1, 40, underline())});
    send(field, compose);
    EXPECT_EQ(field.preedit().toStdString(), "wor");
    EXPECT_EQ(field.preeditCursor(), 3) << "clamped to the preedit";
    EXPECT_EQ(field.underlineStart(), 1);
    EXPECT_EQ(field.underlineLength(), 2);
    EXPECT_EQ(field.text().toStdString(), "abcdef") << "a preedit is not yet text";

    VelInputMethodEvent hidden(str("w"), {Attribute(VelInputMethodEvent::Cursor, 0, 0)});
    send(field, hidden);
    EXPECT_EQ(field.preeditCursor(), -1) << "a zero-length cursor attribute hides it";
    EXPECT_EQ(field.underlineLength(), 0) << "attributes do not outlive their event";

    send(field, commit("word"));
    EXPECT_EQ(field.preedit().toStdString(), "");
    EXPECT_EQ(field.text().toStdString(), "abcdwordef");
}

TEST(TextField, ReportsCursorMovesAndChanges)
{
    TextField field;
    std::vector<std::pair<int, int>> moves;
    int changes = 0;
    VelObject::connect(&field, &TextField::cursorPositionChanged,
                       [&](int from, int to) { moves.emplace_back(from, to); });
    VelObject::connect(&field, &TextField::changed, [&] { ++changes; });
    send(field, commit("ab"));
    field.backspace();
    field.moveCursor(-5);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 2}, {2, 1}, {1, 0}}));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(field.describe(), "text=\"a\" cursor=0 anchor=0 preedit=\"\"");
}
