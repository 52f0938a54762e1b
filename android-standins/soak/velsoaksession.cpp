#include "velsoaksession.h"

#include "velandroiddriver.h"
#include "velservicescontrol.h"

#include <velstandin.h>

#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;

// The text-edit example's layout (examples/textedit/main.cpp).
constexpr int fieldLeft = 16;
constexpr int fieldTop = 40;
constexpr int fieldHeight = 56;
constexpr int buttonLeft = 16;
constexpr int buttonTop = 128;
constexpr int buttonWidth = 220;
constexpr int buttonHeight = 64;

// The host's application states.
constexpr int applicationInactive = 2;
constexpr int applicationActive = 4;

// Android key codes.
constexpr int keyDpadLeft = 21;
constexpr int keyDpadRight = 22;
constexpr int keyBack = 4;

constexpr char inputConnectionClass[] = "org/vel/android/VelNativeInputConnection";

// Frames are looked for this often; a swap is looked for more often, as it
// costs nothing to read.
constexpr std::chrono::milliseconds framePoll(4);
constexpr std::chrono::microseconds swapPoll(500);
constexpr long keyboardTimeoutMs = 10000;

jvalue intValue(jint i)
{
    jvalue v;
    v.i = i;
    return v;
}

bool near(int a, int b)
{
    return std::abs(a - b) <= 8;
}

} // namespace

VelSoakSession::VelSoakSession(VelAndroidDriver *driver, const Settings &settings)
    : m_driver(driver), m_settings(settings), m_device(driver)
{
    char pattern[] = "/tmp/velsoakXXXXXX";
    if (const char *dir = ::mkdtemp(pattern))
        m_assetsDir = dir;
}

VelSoakSession::~VelSoakSession()
{
    if (m_surface)
        m_driver->deleteGlobalRef(m_surface);
    if (!m_assetsDir.empty())
        ::rmdir(m_assetsDir.c_str());
}

bool VelSoakSession::start(const std::string &pluginPath, const std::string &appLibrary,
                           std::string *error)
{
    if (m_assetsDir.empty())
        return fail("no temporary assets directory", error);
    const int w = m_settings.width;
    const int h = m_settings.height;
    bool prepared = false;
    if (!m_driver->createActivity(m_assetsDir) || !m_driver->loadLibrary(pluginPath) ||
        !m_driver->startVelAndroidPlugin(&prepared) || !prepared ||
        !m_driver->setDisplayMetrics(w, h, w, h, 160, 160, 1) ||
        !m_driver->startVelApplication({appLibrary}, {"VEL_USE_ANDROID_NATIVE_DIALOGS=1"}))
        return fail("start-up: " + m_driver->lastError(), error);
    const long swaps = velStandinEglSwapCount();
    if (!newSurface(error))
        return false;
    // The first frame sets what the corners show: nothing is known yet but
    // that the app drew something else than the empty window.
    std::vector<uint8_t> empty;
    if (!m_window->grabPixels(&empty, error))
        return false;
    const Clock::time_point deadline = Clock::now() + m_settings.frameTimeout;
    std::vector<uint8_t> frame;
    while (Clock::now() < deadline) {
        if (velStandinEglSwapCount() > swaps && m_window->grabPixels(&frame, nullptr) &&
            frame != empty) {
            m_referenceCorners = corners(frame);
            break;
        }
        std::this_thread::sleep_for(framePoll);
    }
    if (m_referenceCorners.empty())
        return fail("the app showed no first frame", error);
    if (!m_device.tap({m_settings.width / 2, fieldTop + fieldHeight / 2}) ||
        !m_device.waitForKeyboard(keyboardTimeoutMs))
        return fail("the text field did not take the soft keyboard: " + m_device.lastError(),
                    error);
    return expectEmptyField(error);
}

bool VelSoakSession::cycle(std::string *error)
{
    ++m_cycles;
    if (!m_driver->updateApplicationState(applicationInactive) || !m_driver->pauseVelApp() ||
        !dropSurface(error) || !m_driver->resumeVelApp())
        return fail("pause: " + m_driver->lastError(), error);
    const long swapsBefore = velStandinEglSwapCount();
    if (!newSurface(error) || !m_driver->updateApplicationState(applicationActive))
        return fail("resume: " + m_driver->lastError(), error);
    if (!waitForFrame(swapsBefore, "on the new surface", error))
        return false;
    const long swapsBeforeInput = velStandinEglSwapCount();
    return typeAndUndo(error) && touchAround(error) &&
           waitForFrame(swapsBeforeInput, "after the input", error);
}

bool VelSoakSession::loseSurface(std::string *error)
{
    return dropSurface(error);
}

bool VelSoakSession::endApp(std::string *error)
{
    if (!VelServicesControl::setDialogAutoAnswer("yes"))
        return fail("cannot answer the app's dialog", error);
    // A first Back may only close the soft keyboard, as on a phone.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_device.keyStroke(keyBack, 0))
            return fail("Back: " + m_device.lastError(), error);
        if (m_driver->waitForQuit(attempt == 0 ? 5000 : 60000))
            return true;
    }
    return fail("the app did not end after Back and yes", error);
}

// A new X window, a Surface over it, handed to the plugin.
bool VelSoakSession::newSurface(std::string *error)
{
    auto window = std::make_unique<VelX11Window>();
    if (!window->create(nullptr, m_settings.width, m_settings.height, "vel-soak", error))
        return false;
    jobject surface = m_driver->newSurface(window->windowId(), m_settings.width, m_settings.height);
    if (!surface)
        return fail("new Surface: " + m_driver->lastError(), error);
    m_window = std::move(window);
    m_surface = surface;
    return m_driver->setSurface(surface) || fail("setSurface: " + m_driver->lastError(), error);
}

// The surface lost as Android loses it: the plugin is told first, then the
// Surface is released and its window goes away.
bool VelSoakSession::dropSurface(std::string *error)
{
    if (!m_driver->destroySurface())
        return fail("destroySurface: " + m_driver->lastError(), error);
    if (m_surface) {
        m_driver->releaseSurface(m_surface);
        m_driver->deleteGlobalRef(m_surface);
        m_surface = nullptr;
    }
    m_window.reset();
    return true;
}

// A swap after `swapsBefore`, and then the app's corners on the window.
bool VelSoakSession::waitForFrame(long swapsBefore, const char *what, std::string *error)
{
    const Clock::time_point deadline = Clock::now() + m_settings.frameTimeout;
    while (velStandinEglSwapCount() <= swapsBefore) {
        if (Clock::now() > deadline)
            return fail(std::string("no frame ") + what, error);
        std::this_thread::sleep_for(swapPoll);
    }
    std::vector<uint8_t> frame;
    for (;;) {
        if (m_window->grabPixels(&frame, nullptr) && showsTheApp(frame))
            return true;
        if (Clock::now() > deadline) {
            const std::vector<Rgb> seen = corners(frame);
            std::string colours;
            for (const Rgb &c : seen)
                colours += " (" + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
                           std::to_string(c.b) + ")";
            return fail(std::string("the app's frame did not appear ") + what +
                            "; the corners show" + colours,
                        error);
        }
        std::this_thread::sleep_for(framePoll);
    }
}

bool VelSoakSession::showsTheApp(const std::vector<uint8_t> &rgba) const
{
    const std::vector<Rgb> seen = corners(rgba);
    if (seen.size() != m_referenceCorners.size())
        return false;
    for (size_t i = 0; i < seen.size(); ++i) {
        const Rgb &a = seen[i];
        const Rgb &b = m_referenceCorners[i];
        if (!near(a.r, b.r) || !near(a.g, b.g) || !near(a.b, b.b))
            return false;
    }
    return true;
}

// The outermost pixels: a frame short of the window's edges shows there.
std::vector<VelSoakSession::Rgb> VelSoakSession::corners(const std::vector<uint8_t> &rgba) const
{
    const int w = m_settings.width;
    const int h = m_settings.height;
    if (rgba.size() < size_t(w) * h * 4)
        return {};
    std::vector<Rgb> seen;
    for (const int y : {0, h - 1}) {
        for (const int x : {0, w - 1}) {
            const size_t i = (size_t(y) * w + x) * 4;
            seen.push_back(Rgb{rgba[i], rgba[i + 1], rgba[i + 2]});
        }
    }
    return seen;
}

// Input-connection traffic that leaves the field as it was, so that the app's
// own data cannot grow with the cycles; the field must then say so. An edit
// the input connection refuses (it could not reach the app, whose GUI thread
// was busy in a call into Java) is counted, and the field is then brought
// back to empty; an edit it accepted must have happened.
bool VelSoakSession::typeAndUndo(std::string *error)
{
    if (!m_device.tap({m_settings.width / 2, fieldTop + fieldHeight / 2}) ||
        !m_device.waitForKeyboard(keyboardTimeoutMs))
        return fail("the soft keyboard did not show: " + m_device.lastError(), error);
    if (!m_device.keyStroke(keyDpadLeft, 0) || !m_device.keyStroke(keyDpadRight, 0))
        return fail("keys: " + m_device.lastError(), error);
    const bool accepted = m_device.compose("soak") && m_device.commit() && m_device.type("ab ") &&
                          setSelection(0) && setSelection(7) && m_device.deleteSurrounding(7, 0);
    if (accepted)
        return expectEmptyField(error);
    ++m_refusals;
    return emptyField(error);
}

bool VelSoakSession::expectEmptyField(std::string *error)
{
    std::string before;
    std::string after;
    if (!textAroundCursor(&before, &after, error))
        return false;
    if (!before.empty() || !after.empty())
        return fail("every edit was accepted, yet the field holds \"" + before + "|" + after +
                        "\" instead of nothing",
                    error);
    return true;
}

// Whatever a refused edit left, deleted (lengths past the text are cut to it).
bool VelSoakSession::emptyField(std::string *error)
{
    constexpr int attempts = 100;
    std::string before;
    std::string after;
    for (int i = 0; i < attempts; ++i) {
        m_device.commit();
        m_device.deleteSurrounding(1 << 20, 1 << 20);
        if (textAroundCursor(&before, &after, error) && before.empty() && after.empty())
            return true;
    }
    return fail("the field could not be emptied; it holds \"" + before + "|" + after + "\"", error);
}

bool VelSoakSession::setSelection(int position)
{
    bool accepted = false;
    return m_driver->callStaticBoolean(inputConnectionClass, "setSelection", "(II)Z",
                                       {intValue(position), intValue(position)}, &accepted) &&
           accepted;
}

bool VelSoakSession::touchAround(std::string *error)
{
    const int y = std::min(m_settings.height - 2, buttonTop + buttonHeight + 20);
    if (!m_device.tap({buttonLeft + buttonWidth / 2, buttonTop + buttonHeight / 2}) ||
        !m_device.drag({fieldLeft, y}, {m_settings.width - fieldLeft, y}, 4))
        return fail("touch: " + m_device.lastError(), error);
    return true;
}

bool VelSoakSession::textAroundCursor(std::string *before, std::string *after, std::string *error)
{
    bool beforeNull = false;
    bool afterNull = false;
    if (!m_driver->callStaticString(inputConnectionClass, "getTextBeforeCursor",
                                    "(II)Ljava/lang/String;", {intValue(256), intValue(0)}, before,
                                    &beforeNull) ||
        !m_driver->callStaticString(inputConnectionClass, "getTextAfterCursor",
                                    "(II)Ljava/lang/String;", {intValue(256), intValue(0)}, after,
                                    &afterNull))
        return fail("reading the field: " + m_driver->lastError(), error);
    if (beforeNull || afterNull)
        return fail("the input connection has no text around the cursor", error);
    return true;
}

bool VelSoakSession::fail(const std::string &what, std::string *error) const
{
    *error = "cycle " + std::to_string(m_cycles) + ": " + what;
    return false;
}
