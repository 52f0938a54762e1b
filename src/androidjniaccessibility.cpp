// The accessibility bridge: the eight natives VelNativeAccessibility calls
// when an accessibility service walks the application's virtual views.
//
// Threads. The natives come on the Android UI thread; the accessible tree
// belongs to the GUI thread, which creates, changes and deletes its objects
// at any moment. So every native splits in two: the part that reads the tree
// runs on the GUI thread through the one bounded hand-over
// (VelAndroidGuiThreadCall::run) and copies what Java needs into plain
// values; the part that talks to Java runs afterwards on the calling thread.
// Ids are resolved inside the GUI-thread part, so an object deleted before
// it ran is simply not found. When the hand-over does not run the work (no
// GUI thread yet or any more, the GUI thread waiting for Java, or the bound
// passed) the object counts as missing and the native answers as it does for
// an unknown id. The bridge keeps no lock of its own.

#include "androidjniaccessibility.h"

#include "velandroidguithreadcall.h"

#include "velaccessible.h"
#include "velaccessibleactioninterface.h"
#include "velaccessibleinterface.h"
#include "velaccessibletextinterface.h"
#include "velguiapplication.h"
#include "veljniobject.h"
#include "velplatformaccessibility.h"
#include "velplatformintegration.h"

#include <android/log.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace
{

const char m_velTag[] = "VelA11y";
const char m_classErrorMsg[] = "Can't find class \"%s\"";
const char m_methodErrorMsg[] = "Can't find method \"%s%s\"";
const char accessibilityClassName[] = "org/vel/android/accessibility/VelNativeAccessibility";

// The registered class, kept for the process. Written only by registration
// (on the thread loading the library, before any native can run).
jclass m_accessibilityClass = nullptr;

constexpr jint NoObject = -1;
constexpr int AndroidClickAction = 16;
// Hit testing descends at most this deep: a tree whose childAt leads back up
// (a cycle) must not hold the UI thread for ever.
constexpr int maxHitTestDepth = 256;
// A child list longer than this is cut short rather than allocated.
constexpr int maxChildIds = 1 << 20;

template <typename Work> bool onGuiThread(Work &&work)
{
    return VelAndroidGuiThreadCall::ran(VelAndroidGuiThreadCall::run(work));
}

void clearPendingException(JNIEnv *env)
{
    if (env->ExceptionCheck())
        env->ExceptionClear();
}

jstring toJavaString(JNIEnv *env, const VelString &text)
{
    jstring result = VelJNIObjectPrivate::toJString(env, text);
    clearPendingException(env);
    return result;
}

jint idOf(VelAccessibleInterface *iface)
{
    return jint(VelAccessible::uniqueId(iface));
}

// ---- what the natives read on the GUI thread --------------------------------

std::vector<jint> childIds(jint objectId)
{
    std::vector<jint> ids;
    VelAccessibleInterface *iface = VelAndroidAccessibility::interfaceFromId(objectId);
    if (!iface)
        return ids;
    // The array is sized once; a tree that grows while its children are
    // asked for cannot push the loop past it.
    ids.assign(size_t(std::clamp(iface->childCount(), 0, maxChildIds)), 0);
    for (int i = 0; i < int(ids.size()) && i < iface->childCount(); ++i) {
        if (VelAccessibleInterface *child = iface->child(i))
            ids[size_t(i)] = idOf(child);
    }
    return ids;
}

jint parentIdOf(jint objectId)
{
    VelAccessibleInterface *iface = VelAndroidAccessibility::interfaceFromId(objectId);
    VelAccessibleInterface *parent = iface ? iface->parent() : nullptr;
    if (!parent || parent->role() == VelAccessible::Application)
        return NoObject;
    return idOf(parent);
}

VelString roleName(VelAccessible::Role role)
{
    return VelString::fromUtf8(velAccessibleRoleString(role).constData());
}

VelString describe(jint objectId)
{
    VelAccessibleInterface *iface = VelAndroidAccessibility::interfaceFromId(objectId);
    if (!iface || !iface->isValid())
        return VelString();
    VelString description = iface->text(VelAccessible::Name);
    if (description.isEmpty())
        description = iface->text(VelAccessible::Description);
    return description + VelString(" ") + roleName(iface->role());
}

bool screenRectOf(jint objectId, VelRect *rect)
{
    VelAccessibleInterface *iface = VelAndroidAccessibility::interfaceFromId(objectId);
    if (!iface || !iface->isValid())
        return false;
    *rect = iface->rect();
    return true;
}

// x and y truncated towards zero; false for values no pixel has.
bool pixelOf(jfloat x, jfloat y, int *px, int *py)
{
    const auto fits = [](jfloat v) {
        return std::isfinite(v) && v > float(INT_MIN) && v < float(INT_MAX);
    };
    if (!fits(x) || !fits(y))
        return false;
    *px = int(x);
    *py = int(y);
    return true;
}

jint hitTestAt(int x, int y)
{
    VelAccessibleInterface *root = VelAndroidAccessibility::interfaceFromId(NoObject);
    if (!root)
        return NoObject;
    VelAccessibleInterface *hit = root->childAt(x, y);
    if (!hit)
        return NoObject;
    std::unordered_set<VelAccessibleInterface *> seen{root, hit};
    for (int depth = 0; depth < maxHitTestDepth; ++depth) {
        VelAccessibleInterface *inner = hit->childAt(x, y);
        if (!inner || !seen.insert(inner).second)
            break;
        hit = inner;
    }
    return idOf(hit);
}

// Everything populateNode hands to the node, read in one go.
struct NodeFacts {
    bool found = false;
    bool hasSelection = false;
    int selectionStart = 0;
    int selectionEnd = 0;
    VelAccessible::State state;
    bool hasClickAction = false;
    bool clickable = false;
    VelString description;
};

bool isPlainContainer(VelAccessible::Role role)
{
    return role == VelAccessible::NoRole || role == VelAccessible::Client ||
           role == VelAccessible::Pane;
}

NodeFacts nodeFacts(jint objectId)
{
    NodeFacts facts;
    VelAccessibleInterface *iface = VelAndroidAccessibility::interfaceFromId(objectId);
    if (!iface || !iface->isValid())
        return facts;
    facts.found = true;
    facts.state = iface->state();
    facts.description = iface->text(VelAccessible::Value);
    if (facts.description.isEmpty())
        facts.description = iface->text(VelAccessible::Name);
    if (facts.description.isEmpty())
        facts.description = iface->text(VelAccessible::Description);
    if (VelAccessibleTextInterface *text = iface->textInterface()) {
        if (text->selectionCount() > 0) {
            facts.hasSelection = true;
            text->selection(0, &facts.selectionStart, &facts.selectionEnd);
        }
    }
    if (!isPlainContainer(iface->role()))
        facts.description += VelString(" ") + roleName(iface->role());
    if (VelAccessibleActionInterface *actions = iface->actionInterface()) {
        const VelStringList names = actions->actionNames();
        const bool press = names.contains(VelAccessibleActionInterface::pressAction());
        const bool toggle = names.contains(VelAccessibleActionInterface::toggleAction());
        facts.hasClickAction = press || toggle;
        facts.clickable = press;
    }
    return facts;
}

void performClick(jint objectId)
{
    VelAccessibleInterface *iface = VelAndroidAccessibility::interfaceFromId(objectId);
    VelAccessibleActionInterface *actions = iface ? iface->actionInterface() : nullptr;
    if (!actions)
        return;
    const VelString &press = VelAccessibleActionInterface::pressAction();
    if (actions->actionNames().contains(press))
        actions->doAction(press);
    else
        actions->doAction(VelAccessibleActionInterface::toggleAction());
}

// ---- the Java side of populateNode ------------------------------------------

// Calls a void method of the node, looked up on the node's own class now.
// False, with no exception left pending, when the method is missing or
// threw; population stops there.
bool callNode(JNIEnv *env, jobject node, const char *name, const char *signature,
              const jvalue *args)
{
    jclass nodeClass = env->GetObjectClass(node);
    jmethodID method = nodeClass ? env->GetMethodID(nodeClass, name, signature) : nullptr;
    clearPendingException(env);
    if (nodeClass)
        env->DeleteLocalRef(nodeClass);
    if (!method) {
        __android_log_print(ANDROID_LOG_WARN, m_velTag, m_methodErrorMsg, name, signature);
        return false;
    }
    env->CallVoidMethodA(node, method, args);
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        __android_log_print(ANDROID_LOG_WARN, m_velTag, "Accessibility: %s%s threw", name,
                            signature);
        return false;
    }
    return true;
}

bool setFlag(JNIEnv *env, jobject node, const char *name, bool value)
{
    jvalue arg;
    arg.z = value ? JNI_TRUE : JNI_FALSE;
    return callNode(env, node, name, "(Z)V", &arg);
}

void fillNode(JNIEnv *env, jobject node, const NodeFacts &facts)
{
    if (facts.hasSelection) {
        jvalue range[2];
        range[0].i = facts.selectionStart;
        range[1].i = facts.selectionEnd;
        if (!callNode(env, node, "setTextSelection", "(II)V", range))
            return;
    }
    const VelAccessible::State &state = facts.state;
    if (!setFlag(env, node, "setEnabled", !state.disabled) ||
        !setFlag(env, node, "setFocusable", true) ||
        !setFlag(env, node, "setCheckable", state.checkable) ||
        !setFlag(env, node, "setChecked", state.checked) ||
        !setFlag(env, node, "setVisibleToUser", !state.invisible))
        return;
    if (facts.hasClickAction) {
        jvalue action;
        action.i = AndroidClickAction;
        if (!setFlag(env, node, "setClickable", facts.clickable) ||
            !callNode(env, node, "addAction", "(I)V", &action))
            return;
    }
    jvalue description;
    description.l = toJavaString(env, facts.description);
    if (!description.l)
        return;
    callNode(env, node, "setContentDescription", "(Ljava/lang/CharSequence;)V", &description);
    env->DeleteLocalRef(description.l);
}

// ---- the natives --------------------------------------------------------------

void setActive(JNIEnv *, jclass, jboolean active)
{
    bool activated = false;
    onGuiThread([&] {
        VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
        if (VelPlatformAccessibility *accessibility =
                integration ? integration->accessibility() : nullptr) {
            accessibility->setActive(active);
            activated = true;
        }
    });
    if (!activated)
        __android_log_print(ANDROID_LOG_WARN, m_velTag,
                            "Could not activate platform accessibility.");
}

jintArray childIdListForAccessibleObject(JNIEnv *env, jclass, jint objectId)
{
    std::vector<jint> ids;
    onGuiThread([&] { ids = childIds(objectId); });
    jintArray result = env->NewIntArray(jsize(ids.size()));
    if (!result) {
        clearPendingException(env);
        return nullptr;
    }
    if (!ids.empty())
        env->SetIntArrayRegion(result, 0, jsize(ids.size()), ids.data());
    return result;
}

jint parentId(JNIEnv *, jclass, jint objectId)
{
    jint parent = NoObject;
    onGuiThread([&] { parent = parentIdOf(objectId); });
    return parent;
}

jstring descriptionForAccessibleObject(JNIEnv *env, jclass, jint objectId)
{
    VelString description;
    onGuiThread([&] { description = describe(objectId); });
    return toJavaString(env, description);
}

jobject screenRect(JNIEnv *env, jclass, jint objectId)
{
    VelRect rect;
    bool found = false;
    onGuiThread([&] { found = screenRectOf(objectId, &rect); });
    // Android's Rect excludes its right and bottom edges (width() is
    // right - left), so a node of width w ends at left + w. A missing object
    // keeps the empty rectangle (0, 0, -1, -1).
    const auto edge = [](int start, int extent) {
        return jint(
            std::clamp<long long>((long long)start + std::max(0, extent), INT_MIN, INT_MAX));
    };
    const jint left = found ? rect.x() : 0;
    const jint top = found ? rect.y() : 0;
    const jint right = found ? edge(rect.x(), rect.width()) : -1;
    const jint bottom = found ? edge(rect.y(), rect.height()) : -1;

    jclass rectClass = env->FindClass("android/graphics/Rect");
    jmethodID constructor = rectClass ? env->GetMethodID(rectClass, "<init>", "(IIII)V") : nullptr;
    clearPendingException(env);
    jobject result =
        constructor ? env->NewObject(rectClass, constructor, left, top, right, bottom) : nullptr;
    clearPendingException(env);
    if (rectClass)
        env->DeleteLocalRef(rectClass);
    return result;
}

jint hitTest(JNIEnv *, jclass, jfloat x, jfloat y)
{
    int px = 0;
    int py = 0;
    if (!pixelOf(x, y, &px, &py))
        return NoObject;
    jint hit = NoObject;
    onGuiThread([&] { hit = hitTestAt(px, py); });
    return hit;
}

void populateNode(JNIEnv *env, jclass, jint objectId, jobject node)
{
    NodeFacts facts;
    if (node)
        onGuiThread([&] { facts = nodeFacts(objectId); });
    if (!facts.found) {
        __android_log_print(ANDROID_LOG_WARN, m_velTag,
                            "Accessibility: populateNode for Invalid ID");
        return;
    }
    fillNode(env, node, facts);
}

jboolean clickAction(JNIEnv *, jclass, jint objectId)
{
    onGuiThread([&] { performClick(objectId); });
    return JNI_FALSE;
}

// JNINativeMethod predates const; RegisterNatives only reads the strings.
JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod methods[] = {
    nativeMethod("setActive", "(Z)V", reinterpret_cast<void *>(setActive)),
    nativeMethod("childIdListForAccessibleObject", "(I)[I",
                 reinterpret_cast<void *>(childIdListForAccessibleObject)),
    nativeMethod("parentId", "(I)I", reinterpret_cast<void *>(parentId)),
    nativeMethod("descriptionForAccessibleObject", "(I)Ljava/lang/String;",
                 reinterpret_cast<void *>(descriptionForAccessibleObject)),
    nativeMethod("screenRect", "(I)Landroid/graphics/Rect;", reinterpret_cast<void *>(screenRect)),
    nativeMethod("hitTest", "(FF)I", reinterpret_cast<void *>(hitTest)),
    nativeMethod("populateNode", "(ILandroid/view/accessibility/AccessibilityNodeInfo;)V",
                 reinterpret_cast<void *>(populateNode)),
    nativeMethod("clickAction", "(I)Z", reinterpret_cast<void *>(clickAction)),
};

} // namespace

namespace VelAndroidAccessibility
{

bool registerNatives(JNIEnv *env)
{
    jclass found = env->FindClass(accessibilityClassName);
    if (!found) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, m_velTag, m_classErrorMsg, accessibilityClassName);
        return false;
    }
    // A second registration (API level 16 and later) replaces the reference
    // instead of keeping both.
    jclass previous = m_accessibilityClass;
    m_accessibilityClass = static_cast<jclass>(env->NewGlobalRef(found));
    env->DeleteLocalRef(found);
    if (previous)
        env->DeleteGlobalRef(previous);
    if (!m_accessibilityClass ||
        env->RegisterNatives(m_accessibilityClass, methods, sizeof methods / sizeof *methods) < 0) {
        clearPendingException(env);
        __android_log_print(ANDROID_LOG_FATAL, "Vel", "RegisterNatives failed");
        return false;
    }
    return true;
}

VelAccessibleInterface *interfaceFromId(jint objectId)
{
    if (objectId == NoObject)
        return VelAccessible::accessibleRoot(VelGuiApplication::focusWindow());
    return VelAccessible::accessibleInterface(VelAccessible::Id(objectId));
}

} // namespace VelAndroidAccessibility
