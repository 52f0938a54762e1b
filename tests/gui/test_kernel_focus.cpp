// Focus objects: input-method queries and events reach the object the application
// considers focused, and the platform input context follows focus changes.

#include "test_kernel_integration.h"

#include "velguiapplication.h"
#include "velinputmethod.h"
#include "velinputmethodevent.h"
#include "velinputmethodqueryevent.h"
#include "veltextcharformat.h"
#include "velwindowsysteminterface.h"

#include <gtest/gtest.h>

namespace
{

int argc = 1;
char arg0[] = "test_kernel_focus";
char *argv[] = {arg0, nullptr};

// A one-line editor: answers the input method's questions and applies its edits.
class LineEdit : public VelObject
{
public:
    bool event(VelEvent *event) override
    {
        if (event->type() == VelEvent::InputMethodQuery) {
            auto *query = static_cast<VelInputMethodQueryEvent *>(event);
            const uint asked = query->queries();
            if (asked & Vel::ImCursorPosition)
                query->setValue(Vel::ImCursorPosition, cursor);
            if (asked & Vel::ImSurroundingText)
                query->setValue(Vel::ImSurroundingText, text);
            if (asked & Vel::ImAnchorPosition)
                query->setValue(Vel::ImAnchorPosition, cursor);
            if (asked & Vel::ImHints)
                query->setValue(Vel::ImHints, int(Vel::ImhPreferUppercase));
            if (asked & Vel::ImCursorRectangle)
                query->setValue(Vel::ImCursorRectangle, VelRectF(cursor * 10, 0, 1, 20));
            return true;
        }
        if (event->type() == VelEvent::InputMethod) {
            auto *im = static_cast<VelInputMethodEvent *>(event);
            const int from = velBound(0, cursor + im->replacementStart(), text.length());
            const int length = velMin(im->replacementLength(), text.length() - from);
            text.replace(from, length, im->commitString());
            cursor = from + im->commitString().length();
            preedit = im->preeditString();
            attributes = im->attributes();
            return true;
        }
        return VelObject::event(event);
    }

    VelString text;
    int cursor = 0;
    VelString preedit;
    std::vector<VelInputMethodEvent::Attribute> attributes;
};

class FocusObjectTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        registerKernelTestPlugin();
        app = new VelGuiApplication(argc, argv, VelString("kerneltest"));
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(VelGuiApplication::platformIntegration(), nullptr);
        TestPlatformLog::instance().inputContextFocus.clear();
    }

    static VelGuiApplication *app;
};

VelGuiApplication *FocusObjectTest::app = nullptr;

TEST_F(FocusObjectTest, QueriesAreAnsweredByTheFocusObject)
{
    LineEdit edit;
    edit.text = VelString("hello");
    edit.cursor = 5;
    VelGuiApplication::setFocusObject(&edit);
    ASSERT_EQ(VelGuiApplication::focusObject(), &edit);

    VelInputMethodQueryEvent query(Vel::ImQueryAll);
    VelCoreApplication::sendEvent(VelGuiApplication::focusObject(), &query);
    EXPECT_EQ(query.queries(), Vel::InputMethodQueries(0xffffffffu));
    EXPECT_EQ(query.value(Vel::ImCursorPosition).toInt(), 5);
    EXPECT_EQ(query.value(Vel::ImSurroundingText).toString(), VelString("hello"));
    EXPECT_EQ(query.value(Vel::ImHints).toUInt(), uint(Vel::ImhPreferUppercase));
    EXPECT_FALSE(query.value(Vel::ImMaximumTextLength).isValid()) << "never answered";

    // Asking again overwrites rather than appending a second answer.
    query.setValue(Vel::ImCursorPosition, 2);
    EXPECT_EQ(query.value(Vel::ImCursorPosition).toInt(), 2);
    VelGuiApplication::setFocusObject(nullptr);
}

TEST_F(FocusObjectTest, InputMethodEventsEditTheFocusObject)
{
    LineEdit edit;
    edit.text = VelString("abcdef");
    edit.cursor = 4;
    VelGuiApplication::setFocusObject(&edit);

    VelTextCharFormat underline;
    underline.setFontUnderline(true);
    std::vector<VelInputMethodEvent::Attribute> attributes = {
        {VelInputMethodEvent::Cursor, 2, 1},
        {VelInputMethodEvent::TextFormat, 0, 2, VelVariant::fromValue(underline)},
    };
    VelInputMethodEvent event(VelString("XY"), attributes);
    event.setCommitString(VelString("Z"), -2, 2); // replaces "cd" before the cursor
    VelCoreApplication::sendEvent(VelGuiApplication::focusObject(), &event);

    EXPECT_EQ(edit.text, VelString("abZef"));
    EXPECT_EQ(edit.cursor, 3);
    EXPECT_EQ(edit.preedit, VelString("XY"));
    ASSERT_EQ(edit.attributes.size(), 2u);
    const VelTextCharFormat received = edit.attributes[1].value.value<VelTextCharFormat>();
    EXPECT_EQ(received.property(0x2023).toInt(), 1);
    EXPECT_TRUE(received.fontUnderline());
    EXPECT_EQ(received, underline);

    VelInputMethodEvent copy(event);
    EXPECT_EQ(copy.commitString(), VelString("Z"));
    EXPECT_EQ(copy.replacementStart(), -2);
    EXPECT_EQ(copy.replacementLength(), 2);
    VelGuiApplication::setFocusObject(nullptr);
}

TEST_F(FocusObjectTest, FocusFallsBackToTheFocusWindowAndReachesTheInputContext)
{
    VelWindow window;
    VelWindowSystemInterface::handleWindowActivated(&window);
    VelWindowSystemInterface::flushWindowSystemEvents();
    EXPECT_EQ(VelGuiApplication::focusObject(), &window);

    VelObject *reported = nullptr;
    const auto connection = VelObject::connect(app, &VelGuiApplication::focusObjectChanged,
                                               [&](VelObject *object) { reported = object; });
    {
        LineEdit edit;
        VelGuiApplication::setFocusObject(&edit);
        EXPECT_EQ(reported, &edit);
        EXPECT_EQ(VelGuiApplication::focusObject(), &edit);
    }
    // The focus object was destroyed: queries now go to the window, not to a dead object.
    EXPECT_EQ(VelGuiApplication::focusObject(), &window);
    VelObject::disconnect(connection);

    const auto &seen = TestPlatformLog::instance().inputContextFocus;
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), &window);
    VelGuiApplication::setFocusObject(nullptr);
}

TEST_F(FocusObjectTest, InputItemRectangleAndTransform)
{
    VelInputMethod *inputMethod = VelGuiApplication::inputMethod();
    ASSERT_NE(inputMethod, nullptr);
    inputMethod->setInputItemRectangle(VelRectF(10, 20, 200, 30));
    VelTransform transform;
    transform.translate(100, 50);
    inputMethod->setInputItemTransform(transform);
    EXPECT_EQ(inputMethod->inputItemRectangle(), VelRectF(10, 20, 200, 30));
    EXPECT_EQ(inputMethod->inputItemTransform().mapRect(inputMethod->inputItemRectangle()),
              VelRectF(110, 70, 200, 30));

    LineEdit edit;
    edit.cursor = 3;
    VelGuiApplication::setFocusObject(&edit);
    EXPECT_EQ(inputMethod->cursorRectangle(), VelRectF(130, 50, 1, 20));
    VelGuiApplication::setFocusObject(nullptr);
    inputMethod->setInputItemTransform(VelTransform());
}

} // namespace
