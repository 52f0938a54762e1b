#include "androidjniinput.h"

#include "androidjnimain.h"
#include "velandroidguithreadcall.h"
#include "velandroidinputcontext.h"
#include "velandroidplatformintegration.h"

#include "veleglfsscreen.h"
#include "velguiapplication.h"
#include "velpointer.h"
#include "veltouchdevice.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <android/log.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace VelAndroidInput
{
namespace
{

using TouchPoint = VelWindowSystemInterface::TouchPoint;

// The gesture in progress. Android sends input on its UI thread alone, but a
// second Java thread must not tear the list apart under it. Taken alone,
// never across a call into the host or another lock: touchEnd and the mouse
// natives copy what they need and let go before hit testing and sending.
// Never destroyed: a Java thread may still deliver input while the process
// runs its exit-time destructors.
std::mutex m_gestureMutex;
std::vector<TouchPoint> &m_touchPoints = *new std::vector<TouchPoint>;
VelPointer<VelWindow> &m_mouseGrabber = *new VelPointer<VelWindow>;
bool m_ignoreMouseEvents = false;

// Guards m_lastCursorPos; taken alone, never across a Java call.
std::mutex m_lastCursorPosMutex;
int m_lastCursorPos = -1;

jmethodID m_showSoftwareKeyboardMethodID = nullptr;
jmethodID m_resetSoftwareKeyboardMethodID = nullptr;
jmethodID m_hideSoftwareKeyboardMethodID = nullptr;
jmethodID m_isSoftwareKeyboardVisibleMethodID = nullptr;
jmethodID m_updateSelectionMethodID = nullptr;

constexpr VelTouchDevice::Capabilities touchCapabilities =
    VelTouchDevice::Position | VelTouchDevice::Area | VelTouchDevice::Pressure |
    VelTouchDevice::NormalizedPosition;

constexpr int ShiftModifier = 0x02000000;
constexpr int AltModifier = 0x08000000;
constexpr int MetaModifier = 0x10000000;

struct KeyMapping {
    int androidKey;
    int key;
};

// Codes 7-16 and 29-54 (digits and letters) are computed; the rest, sorted.
constexpr KeyMapping keyTable[] = {
    {0, 0x01FFFFFF},   {1, 0x01000012},   {2, 0x01000014},   {3, 0x01000010},   {4, 0x01000061},
    {5, 0x01100004},   {6, 0x01100005},   {17, 0x2A},        {18, 0x23},        {19, 0x01000013},
    {20, 0x01000015},  {21, 0x01000012},  {22, 0x01000014},  {23, 0x01000005},  {24, 0x01000072},
    {25, 0x01000070},  {26, 0x010000B7},  {27, 0x01100020},  {28, 0x0100000B},  {55, 0x2C},
    {56, 0x2E},        {57, 0x01000023},  {58, 0x01000023},  {59, 0x01000020},  {60, 0x01000020},
    {61, 0x01000001},  {62, 0x20},        {63, 0x01000022},  {64, 0x010000D5},  {65, 0x010000A0},
    {66, 0x01000004},  {67, 0x01000003},  {68, 0x20},        {69, 0x2D},        {70, 0x3D},
    {71, 0x5B},        {72, 0x5D},        {73, 0x5C},        {74, 0x3B},        {75, 0x27},
    {76, 0x2F},        {77, 0},           {78, 0x01000025},  {79, 0x20},        {80, 0x01100021},
    {81, 0x2B},        {82, 0x01000055},  {83, 0x20},        {84, 0x01000092},  {85, 0x01000080},
    {86, 0x01000081},  {87, 0x01000083},  {88, 0x01000082},  {89, 0x010000C5},  {90, 0x01000102},
    {91, 0x01000113},  {112, 0x01000007}, {128, 0x010000CE}, {129, 0x010000B9}, {130, 0x01000084},
    {164, 0x01000071}, {166, 0x01000118}, {167, 0x01000119}, {168, 0x010000F6}, {169, 0x010000F7},
    {175, 0x01000105}, {183, 0x01000114}, {184, 0x01000115}, {185, 0x01000116}, {186, 0x01000117},
    {208, 0x010000E4}, {209, 0x010000FD}, {210, 0x010000CB},
};

// ---- helpers ----

void clearPendingException(JNIEnv *env)
{
    if (env->ExceptionCheck())
        env->ExceptionClear();
}

Vel::TouchPointState touchPointState(int action)
{
    switch (action) {
    case 0:
        return Vel::TouchPointPressed;
    case 1:
        return Vel::TouchPointMoved;
    case 3:
        return Vel::TouchPointReleased;
    default:
        return Vel::TouchPointStationary;
    }
}

// A desktop size of 0 (no metrics yet) gives position 0, never a division by 0.
double fractionOf(double value, int extent)
{
    return extent > 0 ? value / extent : 0.0;
}

double finiteOrZero(float value)
{
    return std::isfinite(value) ? double(value) : 0.0;
}

int roundHalfUp(double value)
{
    const double rounded = std::floor(value + 0.5);
    return int(std::clamp(rounded, double(INT_MIN), double(INT_MAX)));
}

// The integration's touch device, created and registered on first use.
// Runs under the surface mutex, the slot's guard.
VelTouchDevice *touchDeviceOf(VelAndroidPlatformIntegration *integration)
{
    if (VelTouchDevice *device = integration->touchDevice())
        return device;
    auto *device = new VelTouchDevice;
    device->setType(VelTouchDevice::TouchScreen);
    device->setCapabilities(touchCapabilities);
    VelWindowSystemInterface::registerTouchDevice(device);
    integration->setTouchDevice(device);
    return device;
}

VelWindowHit hitTestUnderLock(VelAndroidPlatformIntegration *integration, const VelPoint &point)
{
    if (!integration)
        return VelWindowHit();
    // Not screen(): the GUI thread may still be making it.
    const VelPlatformScreen *screen = integration->screenForJava();
    return screen ? screen->topLevelHitAt(point) : VelWindowHit();
}

VelWindowHit topLevelWindowHitAt(const VelPoint &point)
{
    VelWindowHit hit;
    VelAndroid::withAndroidPlatformIntegration([&](VelAndroidPlatformIntegration *integration) {
        hit = hitTestUnderLock(integration, point);
    });
    return hit;
}

bool ignoringMouseEvents()
{
    std::lock_guard<std::mutex> lock(m_gestureMutex);
    return m_ignoreMouseEvents;
}

// The grabber while it is alive, else the window under the point.
VelWindowHit mouseTarget(int x, int y)
{
    VelPointer<VelWindow> grabber;
    {
        std::lock_guard<std::mutex> lock(m_gestureMutex);
        grabber = m_mouseGrabber;
    }
    VelWindowHit hit = VelGuiApplication::windowHit(grabber);
    if (!hit.window.isNull())
        return hit;
    return topLevelWindowHitAt(VelPoint(x, y));
}

void sendMouseEvent(const VelWindowHit &target, int x, int y, Vel::MouseButtons buttons)
{
    const VelPointF global(x, y);
    const VelPointF local =
        target.window.isNull() ? global : global - VelPointF(target.geometry.topLeft());
    VelWindowSystemInterface::handleMouseEvent(target.window, local, global, buttons);
}

bool rightMouseFromLongPress()
{
    static const bool enabled = [] {
        const char *value = std::getenv("VEL_MORVANE_COMPATIBILITY_LONG_PRESS");
        if (!value)
            return false;
        char *end = nullptr;
        const long parsed = std::strtol(value, &end, 10);
        return end != value && *end == '\0' && parsed != 0;
    }();
    return enabled;
}

Vel::KeyboardModifiers modifiersFromMeta(int meta)
{
    int modifiers = 0;
    if (meta & 0x1)
        modifiers |= ShiftModifier;
    if (meta & 0x2)
        modifiers |= AltModifier;
    if (meta & 0x4)
        modifiers |= MetaModifier;
    return Vel::KeyboardModifiers(modifiers);
}

// Characters beyond the basic plane travel as their surrogate pair; anything
// else (flags in the high bits included) keeps its low 16 bits.
VelString keyText(int character)
{
    const uint code = uint(character);
    if (code >= 0x10000 && code <= 0x10FFFF) {
        const uint offset = code - 0x10000;
        VelString text;
        text.append(VelChar(ushort(0xD800 + (offset >> 10))));
        text.append(VelChar(ushort(0xDC00 + (offset & 0x3FF))));
        return text;
    }
    return VelString(VelChar(ushort(code & 0xFFFF)));
}

void sendKeyEvent(VelEvent::Type type, int androidKey, int character, int meta)
{
    VelWindowSystemInterface::handleKeyEvent(nullptr, type, translateAndroidKey(androidKey),
                                             modifiersFromMeta(meta), keyText(character));
}

// A static void method of VelNative, from any thread.
template <typename... Args> void callSoftKeyboard(jmethodID method, Args... args)
{
    if (!method)
        return;
    ScopedJniEnv env;
    if (!env)
        return;
    env->CallStaticVoidMethod(VelAndroid::applicationClass(), method, args...);
    clearPendingException(env.jniEnv());
}

// ---- natives ----

void touchBegin(JNIEnv *, jobject, jint)
{
    std::lock_guard<std::mutex> lock(m_gestureMutex);
    m_touchPoints.clear();
}

void touchAdd(JNIEnv *, jobject, jint, jint pointerId, jint action, jboolean, jint x, jint y,
              jfloat size, jfloat pressure)
{
    const int width = VelAndroid::desktopWidthPixels();
    const int height = VelAndroid::desktopHeightPixels();
    const double contactSize = finiteOrZero(size);
    const double areaWidth = double(float(width) * float(contactSize));
    const double areaHeight = double(float(height) * float(contactSize));

    TouchPoint point;
    point.id = pointerId;
    point.normalPosition = VelPointF(fractionOf(x, width), fractionOf(y, height));
    point.area = VelRectF(x - areaWidth / 2, y - areaHeight / 2, areaWidth, areaHeight);
    point.pressure = finiteOrZero(pressure);
    point.state = touchPointState(action);
    std::lock_guard<std::mutex> lock(m_gestureMutex);
    m_touchPoints.push_back(point);
}

void touchEnd(JNIEnv *, jobject, jint, jint)
{
    std::vector<TouchPoint> points;
    {
        std::lock_guard<std::mutex> lock(m_gestureMutex);
        points = m_touchPoints;
    }
    if (points.empty())
        return;
    const VelPointF centre = points.front().area.center();
    const VelPoint at(roundHalfUp(centre.x()), roundHalfUp(centre.y()));
    VelTouchDevice *device = nullptr;
    VelWindowHit hit;
    VelAndroid::withAndroidPlatformIntegration([&](VelAndroidPlatformIntegration *integration) {
        if (!integration)
            return;
        device = touchDeviceOf(integration);
        hit = hitTestUnderLock(integration, at);
    });
    if (!device)
        return;
    VelWindowSystemInterface::handleTouchEvent(hit.window, device, points);
}

void mouseDown(JNIEnv *, jobject, jint, jint x, jint y)
{
    if (ignoringMouseEvents())
        return;
    const VelWindowHit target = topLevelWindowHitAt(VelPoint(x, y));
    {
        std::lock_guard<std::mutex> lock(m_gestureMutex);
        m_mouseGrabber = target.window;
    }
    sendMouseEvent(target, x, y, Vel::LeftButton);
}

void mouseUp(JNIEnv *, jobject, jint, jint x, jint y)
{
    sendMouseEvent(mouseTarget(x, y), x, y, Vel::NoButton);
    std::lock_guard<std::mutex> lock(m_gestureMutex);
    m_ignoreMouseEvents = false;
    m_mouseGrabber.clear();
}

void mouseMove(JNIEnv *, jobject, jint, jint x, jint y)
{
    if (ignoringMouseEvents())
        return;
    sendMouseEvent(mouseTarget(x, y), x, y, Vel::LeftButton);
}

void longPress(JNIEnv *, jobject, jint, jint x, jint y)
{
    if (!rightMouseFromLongPress())
        return;
    {
        std::lock_guard<std::mutex> lock(m_gestureMutex);
        m_ignoreMouseEvents = true;
    }
    const VelWindowHit target = topLevelWindowHitAt(VelPoint(x, y));
    sendMouseEvent(target, x, y, Vel::NoButton);
    sendMouseEvent(target, x, y, Vel::RightButton);
}

void keyDown(JNIEnv *, jobject, jint key, jint character, jint meta)
{
    sendKeyEvent(VelEvent::KeyPress, key, character, meta);
}

void keyUp(JNIEnv *, jobject, jint key, jint character, jint meta)
{
    sendKeyEvent(VelEvent::KeyRelease, key, character, meta);
}

void keyboardVisibilityChanged(JNIEnv *, jobject, jboolean)
{
    VelAndroidInputContext::inputPanelVisibilityChanged();
}

// JNINativeMethod predates const; RegisterNatives only reads the strings.
JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod methods[] = {
    nativeMethod("touchBegin", "(I)V", reinterpret_cast<void *>(touchBegin)),
    nativeMethod("touchAdd", "(IIIZIIFF)V", reinterpret_cast<void *>(touchAdd)),
    nativeMethod("touchEnd", "(II)V", reinterpret_cast<void *>(touchEnd)),
    nativeMethod("mouseDown", "(III)V", reinterpret_cast<void *>(mouseDown)),
    nativeMethod("mouseUp", "(III)V", reinterpret_cast<void *>(mouseUp)),
    nativeMethod("mouseMove", "(III)V", reinterpret_cast<void *>(mouseMove)),
    nativeMethod("longPress", "(III)V", reinterpret_cast<void *>(longPress)),
    nativeMethod("keyDown", "(III)V", reinterpret_cast<void *>(keyDown)),
    nativeMethod("keyUp", "(III)V", reinterpret_cast<void *>(keyUp)),
    nativeMethod("keyboardVisibilityChanged", "(Z)V",
                 reinterpret_cast<void *>(keyboardVisibilityChanged)),
};

bool findStaticMethod(JNIEnv *env, jclass clazz, const char *name, const char *signature,
                      jmethodID *id)
{
    *id = env->GetStaticMethodID(clazz, name, signature);
    if (*id)
        return true;
    clearPendingException(env);
    __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(),
                        VelAndroid::methodErrorMsgFmt(), name, signature);
    return false;
}

} // namespace

bool registerNatives(JNIEnv *env)
{
    const jclass clazz = VelAndroid::applicationClass();
    if (env->RegisterNatives(clazz, methods, sizeof(methods) / sizeof(methods[0])) < 0) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(), "RegisterNatives failed");
        return false;
    }
    return findStaticMethod(env, clazz, "showSoftwareKeyboard", "(IIIII)V",
                            &m_showSoftwareKeyboardMethodID) &&
           findStaticMethod(env, clazz, "resetSoftwareKeyboard", "()V",
                            &m_resetSoftwareKeyboardMethodID) &&
           findStaticMethod(env, clazz, "hideSoftwareKeyboard", "()V",
                            &m_hideSoftwareKeyboardMethodID) &&
           findStaticMethod(env, clazz, "isSoftwareKeyboardVisible", "()Z",
                            &m_isSoftwareKeyboardVisibleMethodID) &&
           findStaticMethod(env, clazz, "updateSelection", "(IIII)V", &m_updateSelectionMethodID);
}

int translateAndroidKey(int androidKey)
{
    if (androidKey >= 7 && androidKey <= 16)
        return androidKey + 41;
    if (androidKey >= 29 && androidKey <= 54)
        return androidKey + 36;
    const auto found =
        std::lower_bound(std::begin(keyTable), std::end(keyTable), androidKey,
                         [](const KeyMapping &entry, int code) { return entry.androidKey < code; });
    if (found == std::end(keyTable) || found->androidKey != androidKey)
        return 0;
    return found->key;
}

void showSoftwareKeyboard(int left, int top, int width, int height, int inputHints)
{
    callSoftKeyboard(m_showSoftwareKeyboardMethodID, jint(left), jint(top), jint(width),
                     jint(height), jint(inputHints));
}

void resetSoftwareKeyboard()
{
    callSoftKeyboard(m_resetSoftwareKeyboardMethodID);
}

void hideSoftwareKeyboard()
{
    callSoftKeyboard(m_hideSoftwareKeyboardMethodID);
}

bool isSoftwareKeyboardVisible()
{
    if (!m_isSoftwareKeyboardVisibleMethodID)
        return false;
    ScopedJniEnv env;
    if (!env)
        return false;
    const jboolean visible = env->CallStaticBooleanMethod(VelAndroid::applicationClass(),
                                                          m_isSoftwareKeyboardVisibleMethodID);
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        return false;
    }
    return visible;
}

void updateSelection(int selStart, int selEnd, int candidatesStart, int candidatesEnd)
{
    bool repeated = false;
    {
        std::lock_guard<std::mutex> lock(m_lastCursorPosMutex);
        if (candidatesStart == -1 && candidatesEnd == -1 && selStart == selEnd) {
            repeated = selStart == m_lastCursorPos;
            m_lastCursorPos = selStart;
        } else {
            m_lastCursorPos = -1;
        }
    }
    // Two reports of the same collapsed cursor in a row are taken by the
    // keyboard as no change; a step aside in between makes it see the second.
    if (repeated) {
        const int aside = selStart < INT_MAX ? selStart + 1 : selStart - 1;
        callSoftKeyboard(m_updateSelectionMethodID, jint(aside), jint(aside), jint(-1), jint(-1));
    }
    callSoftKeyboard(m_updateSelectionMethodID, jint(selStart), jint(selEnd), jint(candidatesStart),
                     jint(candidatesEnd));
}

} // namespace VelAndroidInput
