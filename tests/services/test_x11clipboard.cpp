// The launcher's desktop clipboard against another X program written here:
// text offered to the desktop is readable in each of its forms, text another
// program holds is fetched whichever way it is sent (UTF-8, Latin-1 only, in
// pieces), and a holder that never answers costs a bounded wait, not the
// clipboard. Each test uses a selection of its own, so that runs sharing the
// X server cannot take it from each other.

// GoogleTest first: Xlib defines macros (None, Bool) that its names collide with.
#include <gtest/gtest.h>

#include "standinstestsupport.h"
#include "velx11clipboard.h"
#include "velx11window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int answerMs = 5000; // bounds every wait that should succeed

std::string uniqueSelection(const char *name)
{
    return std::string("VEL_TEST_") + name + "_" + std::to_string(::getpid());
}

// One connection of "another program" with a window of its own.
class DesktopProgram
{
public:
    enum class Offer { Utf8, Latin1Only, InPieces, Silent };

    explicit DesktopProgram(const std::string &selection)
    {
        VelX11Window::prepareThreadedProcess();
        VelX11Window::installErrorHandler();
        m_display = XOpenDisplay(nullptr);
        if (!m_display)
            return;
        m_window =
            XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_selection = XInternAtom(m_display, selection.c_str(), False);
        m_utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        m_incr = XInternAtom(m_display, "INCR", False);
        m_property = XInternAtom(m_display, "VEL_TEST_PROPERTY", False);
        XSelectInput(m_display, m_window, PropertyChangeMask);
        XSync(m_display, False);
    }
    ~DesktopProgram()
    {
        stopServing();
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool connected() const { return m_display != nullptr; }

    // Takes the selection and answers requests for it until destroyed.
    void hold(std::string text, Offer offer)
    {
        m_text = std::move(text);
        m_offer = offer;
        XSetSelectionOwner(m_display, m_selection, m_window, CurrentTime);
        XSync(m_display, False);
        m_serving = true;
        m_server = std::thread([this] { serve(); });
    }

    // Converts the selection to target; false when refused or unanswered.
    bool read(const char *target, std::string *bytes, Atom *type)
    {
        const Atom targetAtom = XInternAtom(m_display, target, False);
        XConvertSelection(m_display, m_selection, targetAtom, m_property, m_window, CurrentTime);
        XFlush(m_display);
        XEvent event;
        if (!nextEvent(SelectionNotify, &event) || event.xselection.property == None)
            return false;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        XGetWindowProperty(m_display, m_window, m_property, 0, 1 << 20, True, AnyPropertyType, type,
                           &format, &count, &after, &data);
        const size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
        bytes->assign(reinterpret_cast<const char *>(data), data ? count * unit : 0);
        if (data)
            XFree(data);
        return true;
    }

    Atom utf8() const { return m_utf8; }

private:
    bool nextEvent(int type, XEvent *event)
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(answerMs);
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(m_display) > 0) {
                XNextEvent(m_display, event);
                if (event->type == type)
                    return true;
            }
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            ::poll(&fd, 1, 50);
        }
        return false;
    }

    void stopServing()
    {
        m_serving = false;
        if (m_server.joinable())
            m_server.join();
    }

    void serve()
    {
        Window pieceRequestor = None;
        Atom pieceProperty = None;
        size_t sent = 0;
        while (m_serving) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == SelectionRequest)
                    answer(event.xselectionrequest, &pieceRequestor, &pieceProperty, &sent);
                else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete &&
                         event.xproperty.window == pieceRequestor &&
                         event.xproperty.atom == pieceProperty)
                    sendPiece(&pieceRequestor, pieceProperty, &sent);
            }
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            ::poll(&fd, 1, 20);
        }
    }

    void answer(const XSelectionRequestEvent &request, Window *pieceRequestor, Atom *pieceProperty,
                size_t *sent)
    {
        if (m_offer == Offer::Silent)
            return;
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = request.property;
        const bool latin1 = request.target == XA_STRING;
        if (m_offer == Offer::InPieces && request.target == m_utf8) {
            const long size = long(m_text.size());
            XSelectInput(m_display, request.requestor, PropertyChangeMask);
            XChangeProperty(m_display, request.requestor, request.property, m_incr, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char *>(&size), 1);
            *pieceRequestor = request.requestor;
            *pieceProperty = request.property;
            *sent = 0;
        } else if ((m_offer == Offer::Utf8 && request.target == m_utf8) ||
                   (m_offer == Offer::Latin1Only && latin1)) {
            XChangeProperty(m_display, request.requestor, request.property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char *>(m_text.data()),
                            int(m_text.size()));
        } else {
            reply.property = None;
        }
        XSendEvent(m_display, request.requestor, False, NoEventMask,
                   reinterpret_cast<XEvent *>(&reply));
        XFlush(m_display);
    }

    // The requestor deleted the last piece: the next one, or the empty end.
    void sendPiece(Window *requestor, Atom property, size_t *sent)
    {
        const size_t piece = std::min<size_t>(64 * 1024, m_text.size() - *sent);
        XChangeProperty(m_display, *requestor, property, m_utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(m_text.data() + *sent), int(piece));
        *sent += piece;
        if (piece == 0)
            *requestor = None;
        XFlush(m_display);
    }

    Display *m_display = nullptr;
    Window m_window = None;
    Atom m_selection = None, m_utf8 = None, m_incr = None, m_property = None;
    std::string m_text;
    Offer m_offer = Offer::Utf8;
    std::atomic<bool> m_serving{false};
    std::thread m_server;
};

class X11Clipboard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server (tools/run-tests.sh starts one)";
        const std::string name =
            uniqueSelection(::testing::UnitTest::GetInstance()->current_test_info()->name());
        clipboard = std::make_unique<VelX11Clipboard>(name);
        std::string error;
        ASSERT_TRUE(clipboard->start(nullptr, &error)) << error;
        other = std::make_unique<DesktopProgram>(name);
        ASSERT_TRUE(other->connected());
    }

    std::unique_ptr<VelX11Clipboard> clipboard;
    std::unique_ptr<DesktopProgram> other;
};

// The app's text reaches another program, which asked only after the offer
// was made; publish() returns before the offer is made, hence the retries.
std::string readOnceOffered(DesktopProgram &program, const char *target, Atom *type)
{
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(answerMs);
    while (!program.read(target, &bytes, type) && std::chrono::steady_clock::now() < deadline) {
    }
    return bytes;
}

} // namespace

TEST_F(X11Clipboard, OfferedTextIsReadableAsUtf8Latin1AndTargets)
{
    clipboard->publish("Grüße 😀 ok");
    Atom type = None;
    EXPECT_EQ(readOnceOffered(*other, "UTF8_STRING", &type), "Grüße 😀 ok");
    EXPECT_EQ(type, other->utf8());
    std::string bytes;
    ASSERT_TRUE(other->read("STRING", &bytes, &type));
    EXPECT_EQ(bytes, "Gr\xfc\xdf"
                     "e ? ok");
    EXPECT_EQ(type, XA_STRING);
    ASSERT_TRUE(other->read("TARGETS", &bytes, &type));
    EXPECT_EQ(type, XA_ATOM);
    EXPECT_EQ(bytes.size(), 4 * sizeof(long));
    EXPECT_FALSE(other->read("image/png", &bytes, &type)) << "a form it does not have is refused";

    std::string text;
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::OwnedHere);
    EXPECT_EQ(text, "Grüße 😀 ok");
}

TEST_F(X11Clipboard, AnotherProgramsTextIsFetchedInEachForm)
{
    std::string text;
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::NoText) << "no holder";

    other->hold("desktop ✓ 😀", DesktopProgram::Offer::Utf8);
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::Text);
    EXPECT_EQ(text, "desktop ✓ 😀");
}

TEST_F(X11Clipboard, ALatin1OnlyHolderIsConvertedToUtf8)
{
    other->hold("caf\xe9", DesktopProgram::Offer::Latin1Only);
    std::string text;
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::Text);
    EXPECT_EQ(text, "café");
}

TEST_F(X11Clipboard, ALargeTextSentInPiecesArrivesWhole)
{
    std::string large;
    for (int i = 0; large.size() < 700 * 1024; ++i)
        large += "line " + std::to_string(i) + " ü\n";
    other->hold(large, DesktopProgram::Offer::InPieces);
    std::string text;
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::Text);
    EXPECT_EQ(text.size(), large.size());
    EXPECT_TRUE(text == large);
}

TEST_F(X11Clipboard, TakingTheSelectionBackAndForthFollowsTheNewestHolder)
{
    clipboard->publish("from the app");
    Atom type = None;
    ASSERT_EQ(readOnceOffered(*other, "UTF8_STRING", &type), "from the app");
    other->hold("from the desktop", DesktopProgram::Offer::Utf8);
    std::string text;
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::Text);
    EXPECT_EQ(text, "from the desktop");
    clipboard->publish("from the app again");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(answerMs);
    VelX11Clipboard::Fetch result = VelX11Clipboard::Fetch::Text;
    while ((result = clipboard->fetch(&text, answerMs)) != VelX11Clipboard::Fetch::OwnedHere &&
           std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_EQ(result, VelX11Clipboard::Fetch::OwnedHere);
    EXPECT_EQ(text, "from the app again");
}

TEST_F(X11Clipboard, AHolderThatNeverAnswersCostsOneBoundedWait)
{
    other->hold("never sent", DesktopProgram::Offer::Silent);
    std::string text = "untouched";
    EXPECT_EQ(clipboard->fetch(&text, 200), VelX11Clipboard::Fetch::Failed);
    EXPECT_EQ(text, "untouched");

    // The clipboard is not stuck behind the silent holder: a new holder's
    // text arrives.
    DesktopProgram next(uniqueSelection("AHolderThatNeverAnswersCostsOneBoundedWait"));
    next.hold("answered", DesktopProgram::Offer::Utf8);
    EXPECT_EQ(clipboard->fetch(&text, answerMs), VelX11Clipboard::Fetch::Text);
    EXPECT_EQ(text, "answered");
}

// The app's threads may paste at once: one conversion is in flight at a time
// and each caller gets the answer to its own.
TEST_F(X11Clipboard, CallersAtOnceEachGetTheText)
{
    other->hold("pasted by four", DesktopProgram::Offer::Utf8);
    constexpr int callers = 4;
    std::vector<VelX11Clipboard::Fetch> results(callers, VelX11Clipboard::Fetch::Failed);
    std::vector<std::string> texts(callers);
    std::vector<std::thread> threads;
    for (int i = 0; i < callers; ++i)
        threads.emplace_back([&, i] { results[i] = clipboard->fetch(&texts[i], answerMs); });
    for (std::thread &thread : threads)
        thread.join();
    for (int i = 0; i < callers; ++i) {
        EXPECT_EQ(results[i], VelX11Clipboard::Fetch::Text) << "caller " << i;
        EXPECT_EQ(texts[i], "pasted by four") << "caller " << i;
    }
}

TEST(X11ClipboardLifetime, FetchWithoutAServerAnswersFailedAndStopIsIdempotent)
{
    VelX11Clipboard clipboard(uniqueSelection("lifetime"));
    std::string text;
    EXPECT_EQ(clipboard.fetch(&text, 100), VelX11Clipboard::Fetch::Failed);
    clipboard.publish("nobody serves this");
    clipboard.stop();
    clipboard.stop();
    EXPECT_FALSE(clipboard.running());
}

#if defined(VEL_TEST_LAUNCHER) && defined(VEL_TEST_CLIPNOTES_APP)

// The whole way, as a person uses it: the launcher on the test's display, the
// clip-notes app pasting on a tap and copying a note on C.
TEST(LauncherDesktopClipboard, TheAppPastesTheDesktopsTextAndOffersItsOwnCopies)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X server (tools/run-tests.sh starts one)";
    const std::string selection = uniqueSelection("launcher");
    DesktopProgram desktop(selection);
    ASSERT_TRUE(desktop.connected());
    desktop.hold("from the desktop ✓", DesktopProgram::Offer::Utf8);

    char pattern[] = "/tmp/velclipboardXXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string outPath = std::string(pattern) + "/out";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::execl(VEL_TEST_LAUNCHER, VEL_TEST_LAUNCHER, "--clipboard-selection", selection.c_str(),
                "--timeout", "120", "--step", "tap 100 100", "--step", "key 31",
                VEL_TEST_CLIPNOTES_APP, static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);

    // The note becomes the desktop's once the app copied it; the launcher
    // runs on until it is stopped, so it is still there to be asked.
    DesktopProgram reader(selection);
    std::string seen;
    Atom type = None;
    int status = 0;
    bool launcherEnded = false;
    for (int i = 0; i < 1200 && seen != "A note from clip notes"; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            launcherEnded = true;
            break;
        }
        if (!reader.read("UTF8_STRING", &seen, &type))
            seen.clear();
        ::usleep(100 * 1000);
    }
    if (!launcherEnded) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, &status, 0);
    }
    const std::string out = readFile(outPath);
    EXPECT_FALSE(launcherEnded) << out;
    EXPECT_EQ(seen, "A note from clip notes") << out;
    EXPECT_NE(out.find("clipnotes: pasted: from the desktop ✓"), std::string::npos) << out;
}

#endif
