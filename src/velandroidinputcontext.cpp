#include "velandroidinputcontext.h"

#include "androidjniinput.h"
#include "androidjnimain.h"
#include "velandroidguithreadcall.h"
#include "velandroidinputconnection.h"

#include "velcoreapplication.h"
#include "velguiapplication.h"
#include "velinputmethod.h"
#include "velinputmethodevent.h"
#include "velinputmethodqueryevent.h"
#include "vellogging.h"
#include "velmetaobject.h"
#include "veltextcharformat.h"
#include "velwindow.h"

#include <algorithm>
#include <climits>
#include <cstdint>

VEL_DECLARE_METATYPE(VelInputMethodEvent *)
VEL_DECLARE_METATYPE(VelInputMethodQueryEvent *)

VEL_META_BEGIN(VelAndroidInputContext, VelPlatformInputContext)
VEL_META_SLOT(sendEvent, VelObject *, VelInputMethodEvent *)
VEL_META_SLOT(sendEvent, VelObject *, VelInputMethodQueryEvent *)
VEL_META_SLOT(updateCursorPosition)
VEL_META_END

namespace
{

// Guards m_androidInputContext and the context's Java handles: shared for a
// native's run, exclusive to publish or withdraw the context. First in the
// lock order.
std::shared_mutex livenessLock;
std::atomic<VelAndroidInputContext *> m_androidInputContext{nullptr};

const char inputConnectionClassName[] = "org/vel/android/VelNativeInputConnection";
const char extractedTextClassName[] = "org/vel/android/VelExtractedText";

constexpr uint UppercaseOnlyHint = 0x40000;
constexpr uint PreferUppercaseHint = 0x10;
constexpr int CapModeCharacters = 0x1000;
constexpr int CapModeSentences = 0x4000;

// The class loader takes binary names ("a.b.C"), the messages the JNI form.
jclass findCompanionClass(const char *jniName, JNIEnv *env)
{
    VelString binaryName(jniName);
    binaryName.replace(VelString("/"), VelString("."));
    return VelAndroid::findClass(binaryName, env);
}

void clearPendingException(JNIEnv *env)
{
    if (env->ExceptionCheck())
        env->ExceptionClear();
}

int clampToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

int roundToInt(double value)
{
    return value >= 0 ? int(value + 0.5) : int(value - 0.5);
}

// The surrounding text and the cursor of an answer, the cursor kept inside the
// text so that no cut reaches outside it.
struct TextAround {
    VelString text;
    int cursor = 0;
    bool hasText = false;
};

TextAround textAround(const VelInputMethodQueryEvent &query)
{
    TextAround around;
    const VelVariant text = query.value(Vel::ImSurroundingText);
    around.hasText = text.isValid();
    around.text = text.toString();
    around.cursor = std::clamp(query.value(Vel::ImCursorPosition).toInt(), 0, around.text.length());
    return around;
}

VelTextCharFormat underlinedFormat()
{
    VelTextCharFormat format;
    format.setFontUnderline(true);
    return format;
}

VelInputMethodEvent::Attribute underline(int length)
{
    return VelInputMethodEvent::Attribute(VelInputMethodEvent::TextFormat, 0, length,
                                          VelVariant::fromValue(underlinedFormat()));
}

void warnNotAnswered(VelAndroidGuiThreadCall::Result result)
{
    switch (result) {
    case VelAndroidGuiThreadCall::Result::GuiThreadBlocked:
        velWarning("Input method request dropped: the GUI thread is waiting for Java");
        break;
    case VelAndroidGuiThreadCall::Result::TimedOut:
        velWarning("Input method request dropped: the GUI thread did not answer in time");
        break;
    default:
        break;
    }
}

} // namespace

// ---- the live context ----

VelAndroidInputContext::Live::Live() : m_lock(livenessLock), m_context(m_androidInputContext.load())
{
}

VelAndroidInputContext *VelAndroidInputContext::androidInputContext()
{
    return m_androidInputContext.load();
}

void VelAndroidInputContext::inputPanelVisibilityChanged()
{
    const Live live;
    if (!live)
        return;
    VelAndroidInputContext *context = live.context();
    // Queued to the context: it lives on the GUI thread, and a call still
    // queued when it is destroyed goes with it.
    VelMetaObject::invokeMethod(
        context, [context] { context->emitInputPanelVisibleChanged(); }, Vel::QueuedConnection);
}

// ---- construction ----

VelAndroidInputContext::VelAndroidInputContext()
{
    ScopedJniEnv env;
    if (!env)
        return;
    if (!registerWithJava(env.jniEnv())) {
        releaseJavaHandles();
        return;
    }
    std::unique_lock<std::shared_mutex> lock(livenessLock);
    m_androidInputContext.store(this);
}

bool VelAndroidInputContext::registerWithJava(JNIEnv *env)
{
    const jclass connection = findCompanionClass(inputConnectionClassName, env);
    if (!connection) {
        velCritical() << "Native registration unable to find class '" << inputConnectionClassName
                      << "'";
        return false;
    }
    const bool registered = VelAndroidInputConnection::registerNatives(env, connection);
    env->DeleteLocalRef(connection);
    if (!registered) {
        velCritical() << "RegisterNatives failed for '" << inputConnectionClassName << "'";
        return false;
    }

    const jclass extracted = findCompanionClass(extractedTextClassName, env);
    if (!extracted) {
        velCritical() << "Native registration unable to find class '" << extractedTextClassName
                      << "'";
        return false;
    }
    m_extractedTextClass = static_cast<jclass>(env->NewGlobalRef(extracted));
    env->DeleteLocalRef(extracted);
    m_classConstructorMethodID = env->GetMethodID(m_extractedTextClass, "<init>", "()V");
    if (!m_classConstructorMethodID) {
        clearPendingException(env);
        velCritical("GetMethodID failed");
        return false;
    }
    const struct {
        const char *name;
        const char *signature;
        jfieldID *id;
        const char *missing;
    } fields[] = {
        {"partialEndOffset", "I", &m_partialEndOffsetFieldID, "Can't find field partialEndOffset"},
        {"partialStartOffset", "I", &m_partialStartOffsetFieldID,
         "Can't find field partialStartOffset"},
        {"selectionEnd", "I", &m_selectionEndFieldID, "Can't find field selectionEnd"},
        {"selectionStart", "I", &m_selectionStartFieldID, "Can't find field selectionStart"},
        {"startOffset", "I", &m_startOffsetFieldID, "Can't find field startOffset"},
        {"text", "Ljava/lang/String;", &m_textFieldID, "Can't find field text"},
    };
    for (const auto &field : fields) {
        *field.id = env->GetFieldID(m_extractedTextClass, field.name, field.signature);
        if (!*field.id) {
            clearPendingException(env);
            velCritical("%s", field.missing);
            return false;
        }
    }
    velRegisterMetaType<VelInputMethodEvent *>("VelInputMethodEvent*");
    velRegisterMetaType<VelInputMethodQueryEvent *>("VelInputMethodQueryEvent*");
    return true;
}

VelAndroidInputContext::~VelAndroidInputContext()
{
    VelObject::disconnect(m_cursorWatch);
    std::unique_lock<std::shared_mutex> lock(livenessLock);
    if (m_androidInputContext.load() == this)
        m_androidInputContext.store(nullptr);
    releaseJavaHandles();
}

void VelAndroidInputContext::releaseJavaHandles()
{
    if (m_extractedTextClass) {
        ScopedJniEnv env;
        if (env)
            env->DeleteGlobalRef(m_extractedTextClass);
    }
    m_extractedTextClass = nullptr;
    m_classConstructorMethodID = nullptr;
    m_partialEndOffsetFieldID = nullptr;
    m_partialStartOffsetFieldID = nullptr;
    m_selectionEndFieldID = nullptr;
    m_selectionStartFieldID = nullptr;
    m_startOffsetFieldID = nullptr;
    m_textFieldID = nullptr;
}

// ---- the host's side (GUI thread) ----

bool VelAndroidInputContext::isValid() const
{
    return true;
}

void VelAndroidInputContext::reset()
{
    clear();
    if (VelGuiApplication::focusObject())
        VelAndroidInput::resetSoftwareKeyboard();
    else
        VelAndroidInput::hideSoftwareKeyboard();
}

void VelAndroidInputContext::commit()
{
    finishComposingText();
}

void VelAndroidInputContext::update(Vel::InputMethodQueries queries)
{
    focusObjectInputMethodQuery(queries);
}

void VelAndroidInputContext::invokeAction(Action action, int)
{
    if (action == Click)
        commit();
}

VelRectF VelAndroidInputContext::keyboardRect() const
{
    return VelPlatformInputContext::keyboardRect();
}

bool VelAndroidInputContext::isAnimating() const
{
    return false;
}

void VelAndroidInputContext::showInputPanel()
{
    const auto query = focusObjectInputMethodQuery();
    VelObject *focus = VelGuiApplication::focusObject();
    if (!query || !focus)
        return;

    VelObject::disconnect(m_cursorWatch);
    // The signal names as SIGNAL() spells them.
    const char *signal = focus->metaObject()->indexOfSignal("cursorPositionChanged(int,int)") >= 0
                             ? "2cursorPositionChanged(int,int)"
                             : "2cursorPositionChanged()";
    m_cursorWatch = VelObject::connect(focus, signal, this, "1updateCursorPosition()");

    VelRect rect;
    if (VelInputMethod *inputMethod = VelGuiApplication::inputMethod()) {
        const VelRectF mapped =
            inputMethod->inputItemTransform().mapRect(inputMethod->inputItemRectangle());
        rect = VelRect(roundToInt(mapped.x()), roundToInt(mapped.y()), roundToInt(mapped.width()),
                       roundToInt(mapped.height()));
    }
    if (VelWindow *window = VelGuiApplication::focusWindow())
        rect.moveTopLeft(window->mapToGlobal(rect.topLeft()));

    const uint hints = query->value(Vel::ImHints).toUInt();
    VelAndroidInput::showSoftwareKeyboard(rect.left(), rect.top(), rect.width(), rect.height(),
                                          int(hints));
}

void VelAndroidInputContext::hideInputPanel()
{
    VelAndroidInput::hideSoftwareKeyboard();
}

bool VelAndroidInputContext::isInputPanelVisible() const
{
    return VelAndroidInput::isSoftwareKeyboardVisible();
}

void VelAndroidInputContext::updateCursorPosition()
{
    const auto query = focusObjectInputMethodQuery();
    if (!query || m_suppressSelectionUpdates.load())
        return;
    const int cursor = query->value(Vel::ImCursorPosition).toInt();
    VelAndroidInput::updateSelection(cursor, cursor, -1, -1);
}

void VelAndroidInputContext::sendEvent(VelObject *receiver, VelInputMethodEvent *event)
{
    if (VelCoreApplication::instance())
        VelCoreApplication::sendEvent(receiver, event);
}

void VelAndroidInputContext::sendEvent(VelObject *receiver, VelInputMethodQueryEvent *event)
{
    if (VelCoreApplication::instance())
        VelCoreApplication::sendEvent(receiver, event);
}

// ---- carrying queries and events to the GUI thread ----

std::shared_ptr<VelInputMethodQueryEvent>
VelAndroidInputContext::focusObjectInputMethodQuery(Vel::InputMethodQueries queries,
                                                    bool *reachedGuiThread)
{
    std::shared_ptr<VelInputMethodQueryEvent> answer;
    // The focus object is looked up where it lives, at the moment the query
    // is delivered.
    const auto result = VelAndroidGuiThreadCall::run([&] {
        VelObject *focus = VelGuiApplication::focusObject();
        if (!focus)
            return;
        auto query = std::make_shared<VelInputMethodQueryEvent>(queries);
        sendEvent(focus, query.get());
        answer = std::move(query);
    });
    warnNotAnswered(result);
    if (reachedGuiThread)
        *reachedGuiThread = VelAndroidGuiThreadCall::ran(result);
    return answer;
}

bool VelAndroidInputContext::sendInputMethodEvent(VelInputMethodEvent *event)
{
    const auto result = VelAndroidGuiThreadCall::run([&] {
        if (VelObject *focus = VelGuiApplication::focusObject())
            sendEvent(focus, event);
    });
    warnNotAnswered(result);
    return VelAndroidGuiThreadCall::ran(result);
}

void VelAndroidInputContext::clear()
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_composingString = VelString();
    m_lastExtraction = ExtractedTextRecord();
}

VelString VelAndroidInputContext::composingString() const
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_composingString;
}

VelAndroidInputContext::ExtractedTextRecord VelAndroidInputContext::lastExtraction() const
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_lastExtraction;
}

void VelAndroidInputContext::setComposing(const VelString &text)
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_composingString = text;
}

// ---- the input connection's operations (Java UI thread) ----

bool VelAndroidInputContext::commitText(const VelString &text, int)
{
    setComposing(text);
    return finishComposingText();
}

bool VelAndroidInputContext::deleteSurroundingText(int leftLength, int rightLength)
{
    bool reached = false;
    const auto query = focusObjectInputMethodQuery(Vel::ImQueryAll, &reached);
    // Without a focus object there is nothing to delete; a query given up
    // deleted nothing either, and must not be reported as done.
    if (!query)
        return reached;
    setComposing(VelString());

    // Editors ask for "everything" with the largest int; lengths are kept
    // inside the text the focus object reported, and their sum cannot wrap.
    int64_t left = std::max(leftLength, 0);
    int64_t right = std::max(rightLength, 0);
    const TextAround around = textAround(*query);
    if (around.hasText) {
        left = std::min<int64_t>(left, around.cursor);
        right = std::min<int64_t>(right, around.text.length() - around.cursor);
    }
    VelInputMethodEvent event;
    event.setCommitString(VelString(), clampToInt(-left), clampToInt(left + right));
    const bool delivered = sendInputMethodEvent(&event);
    clear();
    return delivered;
}

bool VelAndroidInputContext::finishComposingText()
{
    VelInputMethodEvent event;
    event.setCommitString(composingString());
    const bool delivered = sendInputMethodEvent(&event);
    clear();
    return delivered;
}

int VelAndroidInputContext::getCursorCapsMode(int)
{
    const auto query = focusObjectInputMethodQuery();
    if (!query)
        return 0;
    const uint hints = query->value(Vel::ImHints).toUInt();
    if (hints & UppercaseOnlyHint)
        return CapModeCharacters;
    if (hints & PreferUppercaseHint)
        return CapModeSentences;
    return 0;
}

VelAndroidInputContext::ExtractedTextRecord
VelAndroidInputContext::getExtractedText(int hintMaxChars, int, int)
{
    const auto query = focusObjectInputMethodQuery();
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (!query)
        return m_lastExtraction;

    const VelString text = query->value(Vel::ImSurroundingText).toString();
    // A negative maximum asks for nothing, like 0.
    if (hintMaxChars > 0)
        m_lastExtraction.text = text.right(std::min(hintMaxChars, text.length()));
    const int cursor = query->value(Vel::ImCursorPosition).toInt();
    m_lastExtraction.startOffset = cursor;
    if (!query->value(Vel::ImCurrentSelection).toString().isEmpty()) {
        m_lastExtraction.selectionStart = query->value(Vel::ImAnchorPosition).toInt();
        m_lastExtraction.selectionEnd = cursor;
    } else if (m_lastExtraction.selectionStart != m_lastExtraction.selectionEnd) {
        // The selection reported last time has collapsed: report the cursor
        // rather than a selection that no longer exists.
        m_lastExtraction.selectionStart = cursor;
        m_lastExtraction.selectionEnd = cursor;
    }
    return m_lastExtraction;
}

VelString VelAndroidInputContext::getSelectedText(int)
{
    const auto query = focusObjectInputMethodQuery();
    if (!query)
        return VelString();
    return query->value(Vel::ImCurrentSelection).toString();
}

VelString VelAndroidInputContext::getTextAfterCursor(int length, int)
{
    const auto query = focusObjectInputMethodQuery();
    if (!query)
        return VelString();
    const TextAround around = textAround(*query);
    if (around.text.isEmpty() || length <= 0)
        return VelString();
    return around.text.mid(around.cursor, std::min(length, around.text.length() - around.cursor));
}

VelString VelAndroidInputContext::getTextBeforeCursor(int length, int)
{
    const auto query = focusObjectInputMethodQuery();
    if (!query)
        return VelString();
    const TextAround around = textAround(*query);
    if (around.text.isEmpty() || length <= 0)
        return VelString();
    const int start = std::max(around.cursor - length, 0);
    return around.text.mid(start, around.cursor - start);
}

bool VelAndroidInputContext::setComposingText(const VelString &text, int newCursorPosition)
{
    const int length = text.length();
    const int cursor = newCursorPosition > 0 ? clampToInt(int64_t(newCursorPosition) + length - 1)
                                             : newCursorPosition;
    setComposing(text);

    VelInputMethodEvent event(
        text, {VelInputMethodEvent::Attribute(VelInputMethodEvent::Cursor, cursor, 1),
               underline(length)});
    if (!sendInputMethodEvent(&event))
        return false;

    const auto query = focusObjectInputMethodQuery();
    if (query && !m_suppressSelectionUpdates.load()) {
        const int position = query->value(Vel::ImCursorPosition).toInt();
        const int after = clampToInt(int64_t(position) + length);
        VelAndroidInput::updateSelection(after, after, position, after);
    }
    return true;
}

bool VelAndroidInputContext::setComposingRegion(int start, int end)
{
    const auto query = focusObjectInputMethodQuery();
    if (!query)
        return false;
    const TextAround around = textAround(*query);
    // Reversed, negative or past the end: the region is cut to the text.
    const int first = std::clamp(std::min(start, end), 0, around.text.length());
    const int last = std::clamp(std::max(start, end), first, around.text.length());
    const int length = last - first;

    const bool suppressed = m_suppressSelectionUpdates.exchange(true);
    const VelString composing = around.text.mid(first, length);
    setComposing(composing);
    const int relativeStart = first - query->value(Vel::ImCursorPosition).toInt();

    VelInputMethodEvent event(composing, {underline(length)});
    event.setCommitString(VelString(), relativeStart, length);
    const bool delivered = sendInputMethodEvent(&event);
    m_suppressSelectionUpdates.store(suppressed);
    return delivered;
}

bool VelAndroidInputContext::setSelection(int start, int end)
{
    // Positions past the text are pulled back to its end; the focus object
    // is asked first so that a selection never names text it does not have.
    if (const auto query = focusObjectInputMethodQuery()) {
        const TextAround around = textAround(*query);
        if (around.hasText) {
            start = std::clamp(start, 0, around.text.length());
            end = std::clamp(end, 0, around.text.length());
        }
    }
    VelInputMethodEvent event(VelString(),
                              {VelInputMethodEvent::Attribute(VelInputMethodEvent::Selection, start,
                                                              clampToInt(int64_t(end) - start))});
    return sendInputMethodEvent(&event);
}

bool VelAndroidInputContext::selectAll()
{
    return false;
}

bool VelAndroidInputContext::cut()
{
    return false;
}

bool VelAndroidInputContext::copy()
{
    return false;
}

bool VelAndroidInputContext::copyURL()
{
    return false;
}

bool VelAndroidInputContext::paste()
{
    return false;
}
