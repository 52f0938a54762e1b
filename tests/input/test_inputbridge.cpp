// Touch, mouse, keys and the input connection through a real Java VM and the
// real GUI thread of a running application. The VM and the application exist
// once per process, so the cases share them and run in the order given; the
// last one ends the application.

#include "inputsession.h"

#include "androidjniinput.h"
#include "androidjnimain.h"
#include "velandroidguithreadcall.h"
#include "velandroidinputcontext.h"
#include "veljavavm.h"

#include "velcoreapplication.h"
#include "velguiapplication.h"
#include "velinputmethod.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{

constexpr int Width = 480;
constexpr int Height = 800;

// A one-shot latch for forcing an order between the test and the GUI thread.
class Latch
{
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    bool wait(int timeoutMs = 20000)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

Latch *queuedLatch = nullptr;
void openQueuedLatch()
{
    if (queuedLatch)
        queuedLatch->open();
}

class InputBridgeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        session = new InputSession;
        session->start(Width, Height);
        connection = new InputConnection(session->driver().env());
        touch = new TouchInput(session->driver());
    }

    void SetUp() override
    {
        ASSERT_NE(InputTestApp::editor(), nullptr);
        deliveredSinceLast();
        session->driver().clearJavaCalls();
    }

    static void setEditor(const char *text, int cursor, int anchor = -1, uint hints = 0)
    {
        InputTestApp::onGuiThread(
            [&] { InputTestApp::editor()->setState(VelString(text), cursor, anchor, hints); });
    }

    static std::string editorText()
    {
        std::string text;
        InputTestApp::onGuiThread([&] { text = InputTestApp::editor()->text().toStdString(); });
        return text;
    }

    static VelAndroidDriver &driver() { return session->driver(); }

    static InputSession *session;
    static InputConnection *connection;
    static TouchInput *touch;
};

InputSession *InputBridgeTest::session = nullptr;
InputConnection *InputBridgeTest::connection = nullptr;
TouchInput *InputBridgeTest::touch = nullptr;

// ---- touch ----

TEST_F(InputBridgeTest, TouchWithoutPointsSendsNothing)
{
    touch->begin();
    touch->end();
    EXPECT_EQ(joined(deliveredSinceLast()), "");
}

TEST_F(InputBridgeTest, ThreePointsArriveInOrderAtTheWindowUnderTheFirst)
{
    touch->begin();
    touch->add(7, 0, 120, 70);
    touch->add(3, 5, 10, 10); // an unknown action code is a stationary point
    touch->add(9, 1, 240, 400);
    touch->end();
    const std::string points = " [7 pressed screen=(120,70) normal=(0.25,0.0875) pressure=0.5]"
                               " [3 stationary screen=(10,10) normal=(0.0208333,0.0125) "
                               "pressure=0.5]"
                               " [9 moved screen=(240,400) normal=(0.5,0.5) pressure=0.5]";
    EXPECT_EQ(joined(deliveredSinceLast()), "touch front begin" + points + "\n");

    // touchEnd again without touchBegin sends the same points once more.
    touch->end();
    EXPECT_EQ(joined(deliveredSinceLast()), "touch front update" + points + "\n");

    touch->begin();
    touch->add(7, 3, 120, 70);
    touch->end();
    EXPECT_EQ(joined(deliveredSinceLast()),
              "touch front end [7 released screen=(120,70) normal=(0.25,0.0875) pressure=0.5]\n");
}

TEST_F(InputBridgeTest, TouchWhileTheDesktopSizeIsZeroHasFinitePositions)
{
    ASSERT_TRUE(driver().setDisplayMetrics(Width, Height, 0, 0, 160, 160, 1));
    touch->begin();
    touch->add(1, 0, 130, 80, 0.5f, 1.0f);
    touch->end();
    touch->begin();
    touch->add(1, 3, 130, 80, 0.5f, 1.0f);
    touch->end();
    ASSERT_TRUE(driver().setDisplayMetrics(Width, Height, Width, Height, 160, 160, 1));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "touch front begin [1 pressed screen=(130,80) normal=(0,0) pressure=1]\n"
              "touch front end [1 released screen=(130,80) normal=(0,0) pressure=1]\n");
}

// ---- mouse ----

TEST_F(InputBridgeTest, MouseFollowsTheGrabberAndReleases)
{
    ASSERT_TRUE(driver().mouseDown(110, 60));
    ASSERT_TRUE(driver().mouseMove(300, 500)); // outside front, still grabbed
    ASSERT_TRUE(driver().mouseUp(300, 500));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "mouse front press buttons=1 local=(10,10) global=(110,60)\n"
              "mouse front move buttons=1 local=(200,450) global=(300,500)\n"
              "mouse front release buttons=0 local=(200,450) global=(300,500)\n");
}

TEST_F(InputBridgeTest, LongPressIsIgnoredWithoutItsVariable)
{
    ASSERT_TRUE(driver().mouseDown(20, 20));
    touch->longPress(20, 20);
    ASSERT_TRUE(driver().mouseMove(25, 20));
    ASSERT_TRUE(driver().mouseUp(25, 20));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "mouse back press buttons=1 local=(20,20) global=(20,20)\n"
              "mouse back move buttons=1 local=(25,20) global=(25,20)\n"
              "mouse back release buttons=0 local=(25,20) global=(25,20)\n");
}

// ---- keys ----

TEST_F(InputBridgeTest, KeyTableCornersAndMetaBits)
{
    ASSERT_TRUE(driver().keyDown(29, 'a', 0));
    ASSERT_TRUE(driver().keyUp(16, '9', 0x7));
    ASSERT_TRUE(driver().keyDown(211, 0, 0x8)); // past the table; an unread meta bit
    ASSERT_TRUE(driver().keyDown(-1, 0, 0));
    ASSERT_TRUE(driver().keyDown(68, '`', 0)); // grave is reported as a space
    ASSERT_TRUE(driver().keyDown(77, '@', 0)); // the at sign has no key
    ASSERT_TRUE(driver().keyDown(0, 0, 0));
    ASSERT_TRUE(driver().keyDown(210, 0, 0));
    // A character beyond the basic plane arrives as its surrogate pair.
    ASSERT_TRUE(driver().keyDown(0, 0x1F600, 0x1));
    EXPECT_EQ(joined(deliveredSinceLast()), "key front press key=0x41 modifiers=0x0 text=61\n"
                                            "key front release key=0x39 modifiers=0x1a000000 "
                                            "text=39\n"
                                            "key front press key=0x0 modifiers=0x0 text=0\n"
                                            "key front press key=0x0 modifiers=0x0 text=0\n"
                                            "key front press key=0x20 modifiers=0x0 text=60\n"
                                            "key front press key=0x0 modifiers=0x0 text=40\n"
                                            "key front press key=0x1ffffff modifiers=0x0 text=0\n"
                                            "key front press key=0x10000cb modifiers=0x0 text=0\n"
                                            "key front press key=0x1ffffff modifiers=0x2000000 "
                                            "text=d83d,de00\n");
}

TEST_F(InputBridgeTest, TranslateAndroidKeyCoversTheTable)
{
    using VelAndroidInput::translateAndroidKey;
    EXPECT_EQ(translateAndroidKey(7), 0x30);
    EXPECT_EQ(translateAndroidKey(54), 0x5A);
    EXPECT_EQ(translateAndroidKey(28), 0x0100000B);
    EXPECT_EQ(translateAndroidKey(55), 0x2C);
    EXPECT_EQ(translateAndroidKey(67), 0x01000003);
    EXPECT_EQ(translateAndroidKey(112), 0x01000007);
    // Page keys, escape, Control and the function keys have no entry.
    for (int code : {92, 93, 111, 113, 114, 131, 142, 165, 207})
        EXPECT_EQ(translateAndroidKey(code), 0) << code;
}

// ---- selection reports ----

TEST_F(InputBridgeTest, RepeatedCursorReportsStepAside)
{
    VelAndroidInput::updateSelection(5, 5, -1, -1);
    VelAndroidInput::updateSelection(5, 5, -1, -1);
    VelAndroidInput::updateSelection(3, 7, -1, -1);
    VelAndroidInput::updateSelection(3, 3, -1, -1);
    VelAndroidInput::updateSelection(2, 2, 0, 2);
    VelAndroidInput::updateSelection(2, 2, -1, -1);
    const std::vector<std::string> expected = {
        "updateSelection(5, 5, -1, -1)", "updateSelection(6, 6, -1, -1)",
        "updateSelection(5, 5, -1, -1)", "updateSelection(3, 7, -1, -1)",
        "updateSelection(3, 3, -1, -1)", "updateSelection(2, 2, 0, 2)",
        "updateSelection(2, 2, -1, -1)"};
    EXPECT_EQ(driver().javaCalls(), expected);
}

// ---- the input connection ----

TEST_F(InputBridgeTest, SetComposingTextSendsCursorAndUnderlineAndReportsTheRegion)
{
    setEditor("abcd", 4);
    ASSERT_TRUE(connection->setComposingText("abc", 1));
    EXPECT_TRUE(connection->setComposingText("abc", 0));
    EXPECT_TRUE(connection->setComposingText("abc", -2));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "im preedit=abc commit= from=0 length=0 attributes=[1:3:1][0:0:3:underline]\n"
              "im preedit=abc commit= from=0 length=0 attributes=[1:0:1][0:0:3:underline]\n"
              "im preedit=abc commit= from=0 length=0 attributes=[1:-2:1][0:0:3:underline]\n");
    // The cursor stays at 4 while composing: (4 + 3, 4 + 3, 4, 4 + 3).
    EXPECT_EQ(driver().javaCallCount("updateSelection"), 3);
    EXPECT_EQ(driver().javaCalls().front(), "updateSelection(7, 7, 4, 7)");
    EXPECT_EQ(VelAndroidInputContext::androidInputContext()->composingString().toStdString(),
              "abc");
}

TEST_F(InputBridgeTest, CommitTextAfterComposingCommitsTheNewText)
{
    setEditor("", 0);
    ASSERT_TRUE(connection->setComposingText("ab", 1));
    ASSERT_TRUE(connection->commitText("x", 1));
    EXPECT_EQ(editorText(), "x");
    EXPECT_EQ(VelAndroidInputContext::androidInputContext()->composingString().toStdString(), "");
    // A null string commits nothing and does not crash.
    EXPECT_TRUE(connection->commitText(nullptr, 1));
    EXPECT_TRUE(connection->setComposingText(nullptr, 1));
    EXPECT_TRUE(connection->finishComposingText());
    EXPECT_EQ(editorText(), "x");
}

TEST_F(InputBridgeTest, SetComposingRegionComposesExistingTextWithoutSelectionReports)
{
    setEditor("abcdefghijk", 11);
    InputTestApp::onGuiThread([] { InputTestApp::editor()->setEmitCursorSignal(true); });
    InputTestApp::onGuiThread([] { VelGuiApplication::inputMethod()->show(); });
    driver().clearJavaCalls();
    deliveredSinceLast();

    EXPECT_TRUE(connection->setComposingRegion(7, 3));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "im preedit=defg commit= from=-8 length=4 attributes=[0:0:4:underline]\n");
    EXPECT_EQ(driver().javaCallCount("updateSelection"), 0);

    // Past the end and reversed: cut to the text.
    setEditor("abc", 3);
    EXPECT_TRUE(connection->setComposingRegion(1000, 2));
    setEditor("abc", 3);
    EXPECT_TRUE(connection->setComposingRegion(-5, -1));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "im preedit=c commit= from=-1 length=1 attributes=[0:0:1:underline]\n"
              "im preedit= commit= from=-3 length=0 attributes=[0:0:0:underline]\n");
    InputTestApp::onGuiThread([] { InputTestApp::editor()->setEmitCursorSignal(false); });
}

TEST_F(InputBridgeTest, CursorSignalReportsTheCursorToTheKeyboard)
{
    setEditor("hello", 5);
    InputTestApp::onGuiThread([] {
        InputTestApp::editor()->setEmitCursorSignal(true);
        VelGuiApplication::inputMethod()->show();
        VelGuiApplication::inputMethod()->show(); // one connection, not two
    });
    driver().clearJavaCalls();
    ASSERT_TRUE(connection->commitText("!", 1));
    EXPECT_EQ(driver().javaCalls(), std::vector<std::string>{"updateSelection(6, 6, -1, -1)"});
    InputTestApp::onGuiThread([] { InputTestApp::editor()->setEmitCursorSignal(false); });
}

TEST_F(InputBridgeTest, ShowInputPanelMapsTheItemRectangle)
{
    setEditor("abc", 1, 1, 0x40);
    InputTestApp::onGuiThread([] {
        VelInputMethod *im = VelGuiApplication::inputMethod();
        im->setInputItemTransform(VelTransform());
        im->setInputItemRectangle(VelRectF(10, 20, 200, 30));
        im->show();
    });
    // The focus window is front, at (100, 50).
    EXPECT_EQ(driver().javaCalls(),
              std::vector<std::string>{"showSoftwareKeyboard(110, 70, 200, 30, 64)"});
}

TEST_F(InputBridgeTest, DeleteSurroundingTextStaysInsideTheText)
{
    setEditor("abcdef", 4);
    EXPECT_TRUE(connection->deleteSurroundingText(2, 1));
    EXPECT_EQ(editorText(), "abf");
    setEditor("abcdef", 3);
    EXPECT_TRUE(connection->deleteSurroundingText(0x7fffffff, 0x7fffffff));
    EXPECT_TRUE(connection->deleteSurroundingText(-4, -4));
    EXPECT_EQ(joined(deliveredSinceLast()), "im preedit= commit= from=-2 length=3 attributes=\n"
                                            "im preedit= commit= from=-3 length=6 attributes=\n"
                                            "im preedit= commit= from=0 length=0 attributes=\n");
    EXPECT_EQ(editorText(), "");
}

TEST_F(InputBridgeTest, TextAroundTheCursor)
{
    setEditor("abcdef", 5);
    EXPECT_EQ(connection->getTextBeforeCursor(3), "cde");
    EXPECT_EQ(connection->getTextAfterCursor(3), "f");
    EXPECT_EQ(connection->getTextBeforeCursor(-5), "");
    EXPECT_EQ(connection->getTextAfterCursor(-5), "");
    EXPECT_EQ(connection->getTextBeforeCursor(0x7fffffff), "abcde");
    setEditor("abcdef", 2);
    EXPECT_EQ(connection->getTextBeforeCursor(3), "ab");
    // A cursor reported past the text does not reach outside it.
    setEditor("abc", 40);
    EXPECT_EQ(connection->getTextBeforeCursor(2), "bc");
    EXPECT_EQ(connection->getTextAfterCursor(2), "");
    setEditor("", 0);
    EXPECT_EQ(connection->getTextBeforeCursor(2), "");
}

TEST_F(InputBridgeTest, SelectedTextAndSetSelection)
{
    setEditor("abcdef", 4, 1);
    EXPECT_EQ(connection->getSelectedText(), "bcd");
    EXPECT_TRUE(connection->setSelection(2, 99));
    EXPECT_TRUE(connection->setSelection(-3, 1));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "im preedit= commit= from=0 length=0 attributes=[4:2:4]\n"
              "im preedit= commit= from=0 length=0 attributes=[4:0:1]\n");
}

TEST_F(InputBridgeTest, ExtractedTextAfterClearAndWithAMaximum)
{
    setEditor("abcdefghijk", 11);
    ASSERT_TRUE(connection->finishComposingText()); // clears the record
    Extracted e = connection->getExtractedText(0);
    ASSERT_FALSE(e.isNull);
    EXPECT_EQ(e.text, "");
    EXPECT_EQ(e.partialStartOffset, -1);
    EXPECT_EQ(e.partialEndOffset, -1);
    EXPECT_EQ(e.selectionStart, -1);
    EXPECT_EQ(e.selectionEnd, -1);
    EXPECT_EQ(e.startOffset, 11);

    e = connection->getExtractedText(5);
    EXPECT_EQ(e.text, "ghijk");
    EXPECT_EQ(e.startOffset, 11);
    EXPECT_EQ(e.selectionStart, -1);
    EXPECT_EQ(e.selectionEnd, -1);

    // A negative maximum keeps the text; a huge one gives all of it.
    e = connection->getExtractedText(-3);
    EXPECT_EQ(e.text, "ghijk");
    e = connection->getExtractedText(0x7fffffff);
    EXPECT_EQ(e.text, "abcdefghijk");

    // A selection is reported, and once it collapses the cursor is.
    setEditor("abcdefghijk", 6, 2);
    e = connection->getExtractedText(0);
    EXPECT_EQ(e.selectionStart, 2);
    EXPECT_EQ(e.selectionEnd, 6);
    setEditor("abcdefghijk", 3);
    e = connection->getExtractedText(0);
    EXPECT_EQ(e.selectionStart, 3);
    EXPECT_EQ(e.selectionEnd, 3);
}

TEST_F(InputBridgeTest, CapsModesFromHints)
{
    setEditor("a", 1, 1, 0x40000 | 0x10);
    EXPECT_EQ(connection->getCursorCapsMode(), 0x1000);
    setEditor("a", 1, 1, 0x10);
    EXPECT_EQ(connection->getCursorCapsMode(), 0x4000);
    setEditor("a", 1, 1, 0);
    EXPECT_EQ(connection->getCursorCapsMode(), 0);
}

TEST_F(InputBridgeTest, ContextMenuActionsDoNothing)
{
    setEditor("abc", 3);
    EXPECT_FALSE(connection->paste());
    EXPECT_FALSE(connection->selectAll());
    EXPECT_FALSE(connection->cut());
    EXPECT_FALSE(connection->copy());
    EXPECT_FALSE(connection->copyURL());
    EXPECT_EQ(joined(deliveredSinceLast()), "");
    EXPECT_EQ(editorText(), "abc");
}

TEST_F(InputBridgeTest, ResetAndInvokeActionOnTheGuiThread)
{
    setEditor("ab", 2);
    ASSERT_TRUE(connection->setComposingText("xy", 1));
    deliveredSinceLast();
    InputTestApp::onGuiThread(
        [] { VelGuiApplication::inputMethod()->invokeAction(VelInputMethod::ContextMenu, 0); });
    EXPECT_EQ(joined(deliveredSinceLast()), "");
    InputTestApp::onGuiThread(
        [] { VelGuiApplication::inputMethod()->invokeAction(VelInputMethod::Click, 0); });
    EXPECT_EQ(joined(deliveredSinceLast()), "im preedit= commit=xy from=0 length=0 attributes=\n");

    driver().clearJavaCalls();
    ASSERT_TRUE(connection->setComposingText("z", 1));
    InputTestApp::onGuiThread([] { VelGuiApplication::inputMethod()->reset(); });
    EXPECT_EQ(VelAndroidInputContext::androidInputContext()->composingString().toStdString(), "");
    EXPECT_EQ(driver().javaCalls().back(), "resetSoftwareKeyboard()");
}

TEST_F(InputBridgeTest, KeyboardVisibilityReachesTheHostOnTheGuiThread)
{
    int changes = 0;
    VelObject::Connection watch;
    InputTestApp::onGuiThread([&] {
        watch =
            VelObject::connect(VelGuiApplication::inputMethod(), &VelInputMethod::visibleChanged,
                               VelGuiApplication::inputMethod(), [&] {
                                   EXPECT_TRUE(VelAndroidGuiThreadCall::isGuiThread());
                                   ++changes;
                               });
    });
    touch->keyboardVisibilityChanged(true);
    // The change is queued to the GUI thread; a blocking call behind it waits for it.
    InputTestApp::onGuiThread([] {});
    InputTestApp::onGuiThread([&] { VelObject::disconnect(watch); });
    EXPECT_EQ(changes, 1);
}

// ---- the hand-over ----

TEST_F(InputBridgeTest, AQueryWaitsForTheGuiThreadToAnswer)
{
    setEditor("early", 5);
    Latch queued;
    queuedLatch = &queued;
    VelAndroidGuiThreadCall::setQueuedHook(openQueuedLatch);
    // The GUI thread is busy until the query is queued behind it, and then
    // changes the text: the answer must come from after that.
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(),
        [&queued] {
            queued.wait();
            InputTestApp::editor()->setState(VelString("late"), 4);
        },
        Vel::QueuedConnection);
    EXPECT_EQ(connection->getTextBeforeCursor(10), "late");
    VelAndroidGuiThreadCall::setQueuedHook(nullptr);
    queuedLatch = nullptr;
}

TEST_F(InputBridgeTest, AQueryGivenUpIsNeverAnsweredLater)
{
    setEditor("abc", 3);
    Latch release;
    VelAndroidGuiThreadCall::setDefaultTimeout(std::chrono::milliseconds(100));
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(), [&release] { release.wait(); }, Vel::QueuedConnection);
    const int queriesBefore = InputTestApp::editor()->queryCount();
    EXPECT_EQ(connection->getTextBeforeCursor(3), "");
    EXPECT_FALSE(connection->setComposingRegion(0, 1));
    VelAndroidGuiThreadCall::setDefaultTimeout(std::chrono::milliseconds(5000));
    release.open();
    InputTestApp::onGuiThread([] {});
    EXPECT_EQ(InputTestApp::editor()->queryCount(), queriesBefore);
    EXPECT_EQ(joined(deliveredSinceLast()), "");
}

TEST_F(InputBridgeTest, AQueryWhileTheGuiThreadWaitsForTheSurfaceAnswersAtOnce)
{
    setEditor("abc", 3);
    Latch waiting;
    static Latch *waitingLatch = nullptr;
    waitingLatch = &waiting;
    // Set before the surface goes: the GUI thread may start waiting for it on
    // its own (a repaint) before the call queued below.
    VelAndroid::setNativeWindowWaitHook([] { waitingLatch->open(); });
    ASSERT_TRUE(driver().destroySurface());
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(), [] { VelAndroid::nativeWindow(true); },
        Vel::QueuedConnection);
    ASSERT_TRUE(waiting.wait());
    // The generous default timeout is not what ends these calls.
    VelAndroidGuiThreadCall::setDefaultTimeout(std::chrono::milliseconds(600000));
    EXPECT_EQ(connection->getTextAfterCursor(3), "");
    EXPECT_EQ(connection->getCursorCapsMode(), 0);
    VelAndroidGuiThreadCall::setDefaultTimeout(std::chrono::milliseconds(5000));
    VelAndroid::setNativeWindowWaitHook(nullptr);
    session->announceSurface();
    InputTestApp::onGuiThread([] {});
    EXPECT_EQ(connection->getTextBeforeCursor(3), "abc");
}

// An edit given up because the GUI thread was blocked in Java (as it is
// while it waits for a surface) did not happen:
// the input connection says so instead of letting the keyboard believe its
// text arrived, and the text is as it was.
TEST_F(InputBridgeTest, EditsGivenUpWhileTheGuiThreadIsInJavaAreNotReportedAsDone)
{
    setEditor("abc", 3);
    deliveredSinceLast();
    Latch inJava;
    Latch release;
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(),
        [&inJava, &release] {
            const VelAndroidGuiThreadCall::BlockedInJava blocked;
            inJava.open();
            release.wait();
        },
        Vel::QueuedConnection);
    ASSERT_TRUE(inJava.wait());
    EXPECT_FALSE(connection->commitText("x"));
    EXPECT_FALSE(connection->setComposingText("y"));
    EXPECT_FALSE(connection->finishComposingText());
    EXPECT_FALSE(connection->deleteSurroundingText(1, 0));
    EXPECT_FALSE(connection->setSelection(0, 0));
    EXPECT_FALSE(connection->setComposingRegion(0, 1));
    release.open();
    InputTestApp::onGuiThread([] {});
    EXPECT_EQ(editorText(), "abc");
    EXPECT_EQ(connection->getTextBeforeCursor(3), "abc");
    EXPECT_EQ(joined(deliveredSinceLast()), "");
    // Once the GUI thread is back the same edits go through.
    EXPECT_TRUE(connection->commitText("x"));
    EXPECT_TRUE(connection->deleteSurroundingText(1, 0));
    EXPECT_TRUE(connection->setSelection(0, 0));
    EXPECT_EQ(editorText(), "abc");
    EXPECT_EQ(connection->getTextAfterCursor(3), "abc");
}

// The keyboard types while the GUI thread reports the selection to it: the
// Java side of that report never waits for the UI thread, so the edit waits
// the report out and is applied instead of being given up. The keyboard's
// own lock, held by another Java thread, keeps the GUI thread inside the
// report until the edit is queued behind it.
TEST_F(InputBridgeTest, AnEditSentWhileTheGuiThreadReportsTheSelectionIsApplied)
{
    setEditor("abc", 3);
    // Whatever the new state reported has been reported: the next
    // updateSelection in the log is the one below.
    InputTestApp::onGuiThread([] {});
    deliveredSinceLast();
    ASSERT_TRUE(driver().clearJavaCalls());
    JNIEnv *env = driver().env();
    jclass keyboard = env->FindClass("org/vel/android/VelSoftKeyboard");
    ASSERT_NE(keyboard, nullptr);
    const jfieldID lockField = env->GetStaticFieldID(keyboard, "sLock", "Ljava/lang/Object;");
    ASSERT_NE(lockField, nullptr);
    jobject keyboardLock = env->NewGlobalRef(env->GetStaticObjectField(keyboard, lockField));

    Latch held;
    Latch queued;
    std::thread holder([&] {
        JNIEnv *holderEnv = nullptr;
        JavaVM *vm = VelJavaVm::vm();
        if (vm->AttachCurrentThread(reinterpret_cast<void **>(&holderEnv), nullptr) != JNI_OK)
            return;
        holderEnv->MonitorEnter(keyboardLock);
        held.open();
        queued.wait();
        holderEnv->MonitorExit(keyboardLock);
        vm->DetachCurrentThread();
    });
    ASSERT_TRUE(held.wait());
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(), [] { VelAndroidInput::updateSelection(1, 1, -1, -1); },
        Vel::QueuedConnection);
    ASSERT_TRUE(driver().waitForJavaCall("updateSelection", 20000));
    queuedLatch = &queued;
    VelAndroidGuiThreadCall::setQueuedHook(openQueuedLatch);
    const bool committed = connection->commitText("x");
    VelAndroidGuiThreadCall::setQueuedHook(nullptr);
    queuedLatch = nullptr;
    queued.open(); // when the commit was never queued
    holder.join();
    env->DeleteGlobalRef(keyboardLock);
    env->DeleteLocalRef(keyboard);

    EXPECT_TRUE(committed);
    EXPECT_EQ(editorText(), "abcx");
}

TEST_F(InputBridgeTest, AFocusObjectDestroyedWhileItsQueryIsQueuedIsNotReached)
{
    Latch queued;
    queuedLatch = &queued;
    VelAndroidGuiThreadCall::setQueuedHook(openQueuedLatch);
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(),
        [&queued] {
            queued.wait();
            delete InputTestApp::editor();
        },
        Vel::QueuedConnection);
    EXPECT_EQ(connection->getTextBeforeCursor(3), "");
    VelAndroidGuiThreadCall::setQueuedHook(nullptr);
    queuedLatch = nullptr;
    EXPECT_EQ(joined(deliveredSinceLast()), "editor destroyed\n");

    // The focus falls back to the focus window, which answers nothing.
    EXPECT_EQ(connection->getTextBeforeCursor(3), "");
    EXPECT_TRUE(connection->setComposingText("q", 1));
    EXPECT_TRUE(connection->deleteSurroundingText(1, 1));
    InputTestApp::onGuiThread([] {
        auto *editor = new InputTestEditor;
        VelGuiApplication::setFocusObject(editor);
        InputTestApp::publish(editor, InputTestApp::back(), InputTestApp::front());
    });
}

TEST_F(InputBridgeTest, MouseMoveAfterTheGrabbedWindowWasDestroyedGoesUnderTheFinger)
{
    ASSERT_TRUE(driver().mouseDown(120, 60));
    // The press reaches front before front goes: the window-system queue and
    // the blocking call below are separate ways onto the GUI thread.
    ASSERT_TRUE(VelWindowSystemInterface::flushWindowSystemEvents());
    InputTestApp::onGuiThread([] { delete InputTestApp::front(); });
    ASSERT_TRUE(driver().mouseMove(130, 70));
    ASSERT_TRUE(driver().mouseUp(130, 70));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "mouse front press buttons=1 local=(20,10) global=(120,60)\n"
              "window front destroyed\n"
              "mouse back move buttons=1 local=(130,70) global=(130,70)\n"
              "mouse back release buttons=0 local=(130,70) global=(130,70)\n");
}

TEST_F(InputBridgeTest, WithoutALiveContextEveryOperationIsNeutral)
{
    session->quitApplication();
    ASSERT_EQ(VelAndroidInputContext::androidInputContext(), nullptr);

    EXPECT_FALSE(connection->commitText("a"));
    EXPECT_FALSE(connection->setComposingText("a"));
    EXPECT_FALSE(connection->deleteSurroundingText(1, 1));
    EXPECT_FALSE(connection->finishComposingText());
    EXPECT_FALSE(connection->setComposingRegion(0, 1));
    EXPECT_FALSE(connection->setSelection(0, 1));
    EXPECT_FALSE(connection->paste());
    EXPECT_EQ(connection->getCursorCapsMode(), 0);
    EXPECT_EQ(connection->getTextBeforeCursor(1), "<null>");
    EXPECT_EQ(connection->getTextAfterCursor(1), "<null>");
    EXPECT_EQ(connection->getSelectedText(), "<null>");
    EXPECT_TRUE(connection->getExtractedText(1).isNull);
    // Touch, mouse and the panel notice without an integration send nothing.
    touch->begin();
    touch->add(1, 0, 10, 10);
    touch->end();
    touch->keyboardVisibilityChanged(false);
}

} // namespace
