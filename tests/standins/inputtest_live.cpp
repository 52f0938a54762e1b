// The launcher window's mouse and keys as a phone's input, driven in-process
// with events of its X window and a clock the test sets: fingers, the second
// finger under Control, the long press and its slop, keys with and without
// the soft keyboard. The fake plugin logs the natives it receives.

#include "standinstestsupport.h"
#include "velinputdevice.h"
#include "veljavavm.h"
#include "velliveinput.h"
#include "vellogcapture.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{

// X modifier and button masks (X.h's None macro breaks gtest).
constexpr unsigned int ControlMask = 1u << 2;
constexpr unsigned int ShiftMask = 1u << 0;
constexpr unsigned int Button1Mask = 1u << 8;

using Event = VelX11Window::Event;
using Clock = VelLiveInput::Clock;

class LiveInput : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ::setenv("VEL_FAKEPLUGIN_INPUT", "1", 1);
        s_capture = new VelLogCapture;
        VelAndroidDriver &driver = sharedDriver();
        ASSERT_TRUE(driver.createActivity("")) << driver.lastError();
        s_loaded = driver.loadLibrary(VEL_TEST_FAKEPLUGIN);
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_loaded) << sharedDriver().lastError();
        s_capture->clear();
        setKeyboardShown(false);
    }

    static void setKeyboardShown(bool shown)
    {
        jvalue value;
        value.z = shown ? JNI_TRUE : JNI_FALSE;
        ASSERT_TRUE(sharedDriver().callStaticVoid("org/vel/android/VelSoftKeyboard", "setShown",
                                                  "(Z)V", {value}));
    }

    // The input natives logged so far, without the thread.
    static std::vector<std::string> calls()
    {
        std::vector<std::string> out;
        for (const VelLogCapture::Entry &entry : s_capture->entries()) {
            if (entry.tag != "VelFake" || entry.text.compare(0, 6, "input ") != 0)
                continue;
            out.push_back(entry.text.substr(6, entry.text.rfind(" on ") - 6));
        }
        return out;
    }

    static Event button(Event::Type type, int x, int y, unsigned int state = 0)
    {
        Event event;
        event.type = type;
        event.button = 1;
        event.x = x;
        event.y = y;
        event.state = state;
        return event;
    }
    static Event motion(int x, int y)
    {
        Event event;
        event.type = Event::Motion;
        event.x = x;
        event.y = y;
        event.state = Button1Mask;
        return event;
    }
    static Event key(Event::Type type, unsigned long keysym, unsigned int unicode,
                     unsigned int state = 0)
    {
        Event event;
        event.type = type;
        event.keysym = keysym;
        event.unicode = unicode;
        event.state = state;
        return event;
    }

    VelInputDevice m_device{&sharedDriver()};
    VelLiveInput m_live{&m_device, 100, 200};
    const Clock::time_point m_t0 = Clock::now();

    static VelLogCapture *s_capture;
    static bool s_loaded;
};

VelLogCapture *LiveInput::s_capture = nullptr;
bool LiveInput::s_loaded = false;

std::vector<std::string> without(const std::vector<std::string> &calls, const std::string &prefix)
{
    std::vector<std::string> out;
    for (const std::string &c : calls)
        if (c.compare(0, prefix.size(), prefix) != 0)
            out.push_back(c);
    return out;
}

} // namespace

TEST_F(LiveInput, AFingerHeldStillBecomesALongPressOnce)
{
    m_live.handle(button(Event::ButtonDown, 10, 20), m_t0);
    m_live.tick(m_t0 + std::chrono::milliseconds(499));
    m_live.handle(motion(18, 12), m_t0 + std::chrono::milliseconds(499)); // within the slop
    m_live.tick(m_t0 + std::chrono::milliseconds(500));
    m_live.tick(m_t0 + std::chrono::milliseconds(900));
    m_live.handle(button(Event::ButtonUp, 18, 12, Button1Mask), m_t0 + std::chrono::seconds(1));
    const std::vector<std::string> mice = without(without(calls(), "touch"), "key");
    EXPECT_EQ(mice, (std::vector<std::string>{"mouseDown(0, 10, 20)", "mouseMove(0, 18, 12)",
                                              "longPress(0, 18, 12)", "mouseUp(0, 18, 12)"}));
}

TEST_F(LiveInput, AFingerThatMovesBeyondTheSlopIsNoLongPress)
{
    m_live.handle(button(Event::ButtonDown, 10, 20), m_t0);
    m_live.handle(motion(19, 20), m_t0 + std::chrono::milliseconds(100));
    m_live.tick(m_t0 + std::chrono::seconds(2));
    m_live.handle(button(Event::ButtonUp, 19, 20, Button1Mask), m_t0 + std::chrono::seconds(2));
    for (const std::string &call : calls())
        EXPECT_EQ(call.find("longPress"), std::string::npos) << call;
    m_live.tick(m_t0 + std::chrono::seconds(3));
    EXPECT_EQ(calls().back(), "mouseUp(0, 19, 20)") << "nothing after the finger is up";
}

TEST_F(LiveInput, ControlAddsASecondFingerMirroredThroughTheCentre)
{
    m_live.handle(button(Event::ButtonDown, 10, 20, ControlMask), m_t0);
    m_live.handle(motion(30, 40), m_t0);
    m_live.handle(button(Event::ButtonUp, 30, 40, Button1Mask), m_t0);
    const std::vector<std::string> expected = {"touchBegin(0)",
                                               "touchAdd(0, 0, 0, true, 10, 20, 0.05, 1)",
                                               "touchAdd(0, 1, 0, false, 89, 179, 0.05, 1)",
                                               "touchEnd(0, 0)",
                                               "mouseDown(0, 10, 20)",
                                               "touchBegin(0)",
                                               "touchAdd(0, 0, 1, true, 30, 40, 0.05, 1)",
                                               "touchAdd(0, 1, 1, false, 69, 159, 0.05, 1)",
                                               "touchEnd(0, 2)",
                                               "mouseMove(0, 30, 40)",
                                               "touchBegin(0)",
                                               "touchAdd(0, 0, 3, true, 30, 40, 0.05, 0)",
                                               "touchAdd(0, 1, 3, false, 69, 159, 0.05, 0)",
                                               "touchEnd(0, 1)",
                                               "mouseUp(0, 30, 40)"};
    EXPECT_EQ(calls(), expected);
}

TEST_F(LiveInput, OtherButtonsAndStrayMovesSendNothing)
{
    Event right = button(Event::ButtonDown, 5, 5);
    right.button = 3;
    m_live.handle(right, m_t0);
    m_live.handle(motion(6, 6), m_t0);
    m_live.handle(button(Event::ButtonUp, 6, 6), m_t0);
    EXPECT_TRUE(calls().empty()) << calls().front();
}

TEST_F(LiveInput, KeysAreKeyEventsWhileTheKeyboardIsHiddenAndTextWhileShown)
{
    m_live.handle(key(Event::KeyDown, 'A', 'A', ShiftMask), m_t0);
    m_live.handle(key(Event::KeyUp, 'A', 'A', ShiftMask), m_t0);
    // A key beyond Latin-1 carries its character in the keysym.
    m_live.handle(key(Event::KeyDown, 0x10020ac, 0), m_t0);
    setKeyboardShown(true);
    m_live.handle(key(Event::KeyDown, 'b', 'b'), m_t0);
    m_live.handle(key(Event::KeyUp, 'b', 'b'), m_t0);
    m_live.handle(key(Event::KeyDown, 0xff0d, '\r'), m_t0); // Return
    m_live.handle(key(Event::KeyUp, 0xff0d, '\r'), m_t0);
    const std::vector<std::string> expected = {
        "keyDown(29, 65, 1)",    "keyUp(29, 65, 1)",
        "keyDown(0, 8364, 0)",   "setComposingText(\"b\", 1)",
        "finishComposingText()", "keyDown(66, 10, 0)",
        "keyUp(66, 10, 0)"};
    EXPECT_EQ(calls(), expected);
}

// The plugin's GUI thread shows the keyboard while another thread waits for
// it to be shown: the show must neither wait for that thread nor miss it.
TEST_F(LiveInput, ShowingTheKeyboardWakesAThreadWaitingForIt)
{
    bool shown = false;
    std::thread waiter([&shown] {
        jvalue timeout;
        timeout.j = 60000;
        sharedDriver().callStaticBoolean("org/vel/android/VelSoftKeyboard", "waitUntilShown",
                                         "(J)Z", {timeout}, &shown);
        VelJavaVm::detachCurrentThread();
    });
    jvalue args[5];
    for (int i = 0; i < 5; ++i)
        args[i].i = i + 1;
    // Whether or not the waiter already waits, the show reaches it.
    ASSERT_TRUE(sharedDriver().callStaticVoid("org/vel/android/VelNative", "showSoftwareKeyboard",
                                              "(IIIII)V", std::vector<jvalue>(args, args + 5)));
    waiter.join();
    EXPECT_TRUE(shown);
}
