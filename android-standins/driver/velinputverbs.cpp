#include "velinputverbs.h"

#include "velinputdevice.h"
#include "velinputscript.h"

#include <climits>

namespace
{

using Step = VelInputScript::Step;
using Host = VelInputScript::Host;

// How long Android waits before it calls a held finger a long press.
constexpr std::chrono::milliseconds longPressTimeout(500);
// How long compose, commit and delete wait for the app to show the keyboard.
constexpr long keyboardWaitMs = 10000;
constexpr long maxWaitMs = 600000;
constexpr long maxCoordinate = 65535;

bool fail(const VelInputDevice &device, std::string *error)
{
    *error = device.lastError();
    return false;
}

bool readPoint(const Step &step, size_t index, VelInputDevice::Point *point, std::string *error)
{
    long x = 0;
    long y = 0;
    if (!VelInputScript::intArgument(step, index, -maxCoordinate, maxCoordinate, &x, error) ||
        !VelInputScript::intArgument(step, index + 1, -maxCoordinate, maxCoordinate, &y, error))
        return false;
    point->x = static_cast<int>(x);
    point->y = static_cast<int>(y);
    return true;
}

bool needsKeyboard(VelInputDevice &device, std::string *error)
{
    if (device.waitForKeyboard(keyboardWaitMs))
        return true;
    *error =
        device.lastError().empty() ? "the app did not show the soft keyboard" : device.lastError();
    return false;
}

bool waitVerb(Host &host, const Step &step, std::string *error)
{
    long ms = 0;
    if (!VelInputScript::argumentCount(step, 1, 1, error) ||
        !VelInputScript::intArgument(step, 0, 0, maxWaitMs, &ms, error))
        return false;
    if (!host.idle(std::chrono::milliseconds(ms))) {
        *error = "the app ended";
        return false;
    }
    return true;
}

bool tapVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    VelInputDevice::Point point;
    if (!VelInputScript::argumentCount(step, 2, 2, error) || !readPoint(step, 0, &point, error))
        return false;
    return device.tap(point) || fail(device, error);
}

bool longPressVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    VelInputDevice::Point point;
    if (!VelInputScript::argumentCount(step, 2, 2, error) || !readPoint(step, 0, &point, error))
        return false;
    if (!device.press({point}))
        return fail(device, error);
    if (!host.idle(longPressTimeout)) {
        *error = "the app ended";
        return false;
    }
    return (device.longPress(point) && device.release({point})) || fail(device, error);
}

bool dragVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    VelInputDevice::Point from;
    VelInputDevice::Point to;
    long steps = 10;
    if (!VelInputScript::argumentCount(step, 4, 5, error) || !readPoint(step, 0, &from, error) ||
        !readPoint(step, 2, &to, error))
        return false;
    if (step.words.size() == 5 && !VelInputScript::intArgument(step, 4, 1, 10000, &steps, error))
        return false;
    return device.drag(from, to, static_cast<int>(steps)) || fail(device, error);
}

bool keyVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    long code = 0;
    long meta = 0;
    if (!VelInputScript::argumentCount(step, 1, 2, error) ||
        !VelInputScript::intArgument(step, 0, 0, INT_MAX, &code, error))
        return false;
    if (step.words.size() == 2 && !VelInputScript::intArgument(step, 1, 0, INT_MAX, &meta, error))
        return false;
    return device.keyStroke(static_cast<int>(code), static_cast<int>(meta)) || fail(device, error);
}

bool typeVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    if (step.text.empty()) {
        *error = "wants the text to type";
        return false;
    }
    return device.type(step.text) || fail(device, error);
}

bool composeVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    return needsKeyboard(device, error) && (device.compose(step.text) || fail(device, error));
}

bool commitVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    if (!VelInputScript::argumentCount(step, 0, 0, error))
        return false;
    return needsKeyboard(device, error) && (device.commit() || fail(device, error));
}

bool deleteVerb(Host &host, const Step &step, std::string *error)
{
    VelInputDevice device(&host.driver());
    long before = 0;
    long after = 0;
    if (!VelInputScript::argumentCount(step, 2, 2, error) ||
        !VelInputScript::intArgument(step, 0, 0, INT_MAX, &before, error) ||
        !VelInputScript::intArgument(step, 1, 0, INT_MAX, &after, error))
        return false;
    return needsKeyboard(device, error) &&
           (device.deleteSurrounding(static_cast<int>(before), static_cast<int>(after)) ||
            fail(device, error));
}

bool screenshotVerb(Host &host, const Step &step, std::string *error)
{
    if (step.text.empty()) {
        *error = "wants a file name";
        return false;
    }
    return host.screenshot(step.text, error);
}

} // namespace

void velRegisterInputVerbs()
{
    VelInputScript::registerVerb("wait", waitVerb);
    VelInputScript::registerVerb("tap", tapVerb);
    VelInputScript::registerVerb("longpress", longPressVerb);
    VelInputScript::registerVerb("drag", dragVerb);
    VelInputScript::registerVerb("key", keyVerb);
    VelInputScript::registerVerb("type", typeVerb);
    VelInputScript::registerVerb("compose", composeVerb);
    VelInputScript::registerVerb("commit", commitVerb);
    VelInputScript::registerVerb("delete", deleteVerb);
    VelInputScript::registerVerb("screenshot", screenshotVerb);
}
