#include "velinputdevice.h"

#include "velandroiddriver.h"

#include <jni.h>

namespace
{

const char velNativeClass[] = "org/vel/android/VelNative";
const char keyboardClass[] = "org/vel/android/VelSoftKeyboard";
const char keyCodesClass[] = "org/vel/android/VelKeyCodes";

// A fingertip: its share of the screen and the pressure of a firm touch.
constexpr float fingerSize = 0.05f;
constexpr float fingerPressure = 1.0f;

jvalue intValue(jint v)
{
    jvalue value;
    value.i = v;
    return value;
}

jvalue floatValue(jfloat v)
{
    jvalue value;
    value.f = v;
    return value;
}

jvalue boolValue(bool v)
{
    jvalue value;
    value.z = v ? JNI_TRUE : JNI_FALSE;
    return value;
}

jvalue objectValue(jobject v)
{
    jvalue value;
    value.l = v;
    return value;
}

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD. Java's own
// "modified UTF-8" would garble characters beyond U+FFFF.
std::u16string utf16(const std::string &utf8)
{
    std::u16string out;
    size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xe0) == 0xc0) {
            extra = 1;
            c = lead & 0x1f;
        } else if ((lead & 0xf0) == 0xe0) {
            extra = 2;
            c = lead & 0x0f;
        } else if ((lead & 0xf8) == 0xf0) {
            extra = 3;
            c = lead & 0x07;
        } else {
            extra = -1;
        }
        bool valid = extra >= 0 && i + extra < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xc0) != 0x80)
                valid = false;
            else
                c = (c << 6) | (next & 0x3f);
        }
        if (!valid || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) {
            out += u'\ufffd';
            ++i;
            continue;
        }
        i += extra + 1;
        if (c > 0xffff) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xd800 + (c >> 10));
            out += static_cast<char16_t>(0xdc00 + (c & 0x3ff));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

} // namespace

bool VelInputDevice::fail(const std::string &what)
{
    m_lastError = what;
    if (!m_driver->lastError().empty())
        m_lastError += ": " + m_driver->lastError();
    return false;
}

bool VelInputDevice::touch(const std::vector<Point> &points, PointerAction pointerAction,
                           MotionAction motionAction)
{
    if (points.empty())
        return fail("a touch needs a point");
    if (!m_driver->callStaticVoid(velNativeClass, "touchBegin", "(I)V", {intValue(0)}))
        return fail("touchBegin");
    for (size_t i = 0; i < points.size(); ++i) {
        const float pressure = pointerAction == PointerReleased ? 0.0f : fingerPressure;
        if (!m_driver->callStaticVoid(velNativeClass, "touchAdd", "(IIIZIIFF)V",
                                      {intValue(0), intValue(static_cast<jint>(i)),
                                       intValue(pointerAction), boolValue(i == 0),
                                       intValue(points[i].x), intValue(points[i].y),
                                       floatValue(fingerSize), floatValue(pressure)}))
            return fail("touchAdd");
    }
    if (!m_driver->callStaticVoid(velNativeClass, "touchEnd", "(II)V",
                                  {intValue(0), intValue(motionAction)}))
        return fail("touchEnd");
    return true;
}

bool VelInputDevice::press(const std::vector<Point> &points)
{
    return touch(points, PointerPressed, ActionDown) &&
           (m_driver->mouseDown(points[0].x, points[0].y) || fail("mouseDown"));
}

bool VelInputDevice::move(const std::vector<Point> &points)
{
    return touch(points, PointerMoved, ActionMove) &&
           (m_driver->mouseMove(points[0].x, points[0].y) || fail("mouseMove"));
}

bool VelInputDevice::release(const std::vector<Point> &points)
{
    return touch(points, PointerReleased, ActionUp) &&
           (m_driver->mouseUp(points[0].x, points[0].y) || fail("mouseUp"));
}

bool VelInputDevice::longPress(const Point &point)
{
    return m_driver->callStaticVoid(velNativeClass, "longPress", "(III)V",
                                    {intValue(0), intValue(point.x), intValue(point.y)}) ||
           fail("longPress");
}

bool VelInputDevice::tap(const Point &point)
{
    return press({point}) && release({point});
}

bool VelInputDevice::drag(const Point &from, const Point &to, int steps)
{
    if (steps < 1)
        steps = 1;
    if (!press({from}))
        return false;
    for (int i = 1; i <= steps; ++i) {
        const Point at{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        if (!move({at}))
            return false;
    }
    return release({to});
}

bool VelInputDevice::key(bool down, int androidKey, int unicode, int meta)
{
    return m_driver->callStaticVoid(
               keyboardClass, "key", "(ZIII)V",
               {boolValue(down), intValue(androidKey), intValue(unicode), intValue(meta)}) ||
           fail("key");
}

bool VelInputDevice::keyStroke(int androidKey, int meta)
{
    JNIEnv *env = m_driver->env();
    if (!env)
        return fail("no Java VM");
    jclass codes = env->FindClass(keyCodesClass);
    if (!codes) {
        env->ExceptionClear();
        return fail("no class VelKeyCodes");
    }
    jmethodID characterFor = env->GetStaticMethodID(codes, "characterFor", "(II)I");
    jint unicode = 0;
    if (characterFor)
        unicode = env->CallStaticIntMethod(codes, characterFor, androidKey, meta);
    env->DeleteLocalRef(codes);
    if (!characterFor || env->ExceptionCheck()) {
        env->ExceptionClear();
        return fail("VelKeyCodes.characterFor");
    }
    return key(true, androidKey, unicode, meta) && key(false, androidKey, unicode, meta);
}

bool VelInputDevice::keyboardCall(const char *name, const char *signature, const std::string &utf8,
                                  bool *answer)
{
    JNIEnv *env = m_driver->env();
    if (!env)
        return fail("no Java VM");
    const std::u16string text = utf16(utf8);
    jstring string = env->NewString(reinterpret_cast<const jchar *>(text.data()),
                                    static_cast<jsize>(text.size()));
    if (!string) {
        env->ExceptionClear();
        return fail("out of Java memory");
    }
    const bool called =
        m_driver->callStaticBoolean(keyboardClass, name, signature, {objectValue(string)}, answer);
    env->DeleteLocalRef(string);
    return called || fail(name);
}

bool VelInputDevice::type(const std::string &utf8)
{
    bool accepted = false;
    if (!keyboardCall("type", "(Ljava/lang/String;)Z", utf8, &accepted))
        return false;
    return accepted || fail("the app refused the text");
}

bool VelInputDevice::compose(const std::string &utf8)
{
    bool accepted = false;
    if (!keyboardCall("compose", "(Ljava/lang/String;)Z", utf8, &accepted))
        return false;
    return accepted || fail("the input connection refused setComposingText");
}

bool VelInputDevice::commit()
{
    bool accepted = false;
    if (!m_driver->callStaticBoolean(keyboardClass, "commit", "()Z", {}, &accepted))
        return fail("commit");
    return accepted || fail("the input connection refused finishComposingText");
}

bool VelInputDevice::deleteSurrounding(int before, int after)
{
    bool accepted = false;
    if (!m_driver->callStaticBoolean(keyboardClass, "delete", "(II)Z",
                                     {intValue(before), intValue(after)}, &accepted))
        return fail("delete");
    return accepted || fail("the input connection refused deleteSurroundingText");
}

bool VelInputDevice::waitForKeyboard(long timeoutMs)
{
    jvalue timeout;
    timeout.j = timeoutMs;
    bool shown = false;
    if (!m_driver->callStaticBoolean(keyboardClass, "waitUntilShown", "(J)Z", {timeout}, &shown))
        return fail("waitUntilShown");
    return shown;
}

bool VelInputDevice::keyboardShown()
{
    bool shown = false;
    return m_driver->callStaticBoolean(keyboardClass, "isShown", "()Z", {}, &shown) && shown;
}
