#ifndef VELANDROIDINPUTCONTEXT_H
#define VELANDROIDINPUTCONTEXT_H

#include "velguinamespace.h"
#include "velplatforminputcontext.h"
#include "velstring.h"

#include <jni.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>

class VelInputMethodEvent;
class VelInputMethodQueryEvent;

// The input context between the host (GUI thread: show, hide, reset the soft
// keyboard) and the Android input method (Java UI thread: the input
// connection's operations, which the natives of VelNativeInputConnection
// forward here).
//
// Threads and what they own:
// - The focus object and everything it answers belong to the GUI thread. A
//   Java-thread operation reaches them only through VelAndroidGuiThreadCall:
//   the focus object is looked up inside the work that runs on the GUI thread
//   (an object destroyed meanwhile is never reached), and a call that was given
//   up never runs later, so nothing is written into a caller that stopped
//   waiting. A query that does not run (the GUI thread is blocked in Java or
//   does not answer in time) reads as "no focus object".
// - composingString and lastExtraction are written by both threads and
//   guarded by m_stateMutex; suppressSelectionUpdates is atomic.
// - The live context (m_androidInputContext) and the cached Java handles are
//   guarded by the liveness lock: every native holds it shared for its whole
//   run, the destructor takes it exclusively, so a running native never sees a
//   freed context or a deleted class reference. The integration closes the
//   GUI-thread hand-over before the context goes, so a native holding the lock
//   cannot wait for the destructor's thread.
// Lock order: the liveness lock, then m_stateMutex; m_stateMutex is never held
// across a hand-over or a Java call.
class VelAndroidInputContext : public VelPlatformInputContext
{
    VEL_OBJECT
public:
    struct ExtractedTextRecord {
        int partialEndOffset = -1;
        int partialStartOffset = -1;
        int selectionEnd = -1;
        int selectionStart = -1;
        int startOffset = -1;
        VelString text;
    };

    // The live context held for one native's run; null context when none.
    class Live
    {
    public:
        Live();
        VelAndroidInputContext *context() const { return m_context; }
        explicit operator bool() const { return m_context != nullptr; }
        VelAndroidInputContext *operator->() const { return m_context; }

    private:
        std::shared_lock<std::shared_mutex> m_lock;
        VelAndroidInputContext *m_context = nullptr;
    };

    VelAndroidInputContext();
    ~VelAndroidInputContext() override;

    // Unguarded: for the GUI thread and for tests. Natives use Live.
    static VelAndroidInputContext *androidInputContext();
    // From the Java UI thread: the host learns of it on the GUI thread.
    static void inputPanelVisibilityChanged();

    bool isValid() const override;
    void reset() override;
    void commit() override;
    void update(Vel::InputMethodQueries queries) override;
    void invokeAction(Action action, int cursorPosition) override;
    VelRectF keyboardRect() const override;
    bool isAnimating() const override;
    void showInputPanel() override;
    void hideInputPanel() override;
    bool isInputPanelVisible() const override;

    virtual void sendEvent(VelObject *receiver, VelInputMethodEvent *event);
    virtual void sendEvent(VelObject *receiver, VelInputMethodQueryEvent *event);

    // The input connection's operations (Java UI thread).
    bool commitText(const VelString &text, int newCursorPosition);
    bool deleteSurroundingText(int leftLength, int rightLength);
    bool finishComposingText();
    int getCursorCapsMode(int reqModes);
    ExtractedTextRecord getExtractedText(int hintMaxChars, int hintMaxLines, int flags);
    VelString getSelectedText(int flags);
    VelString getTextAfterCursor(int length, int flags);
    VelString getTextBeforeCursor(int length, int flags);
    bool setComposingText(const VelString &text, int newCursorPosition);
    bool setComposingRegion(int start, int end);
    bool setSelection(int start, int end);
    bool selectAll();
    bool cut();
    bool copy();
    bool copyURL();
    bool paste();

    // An answered query, or null when there is no focus object (or the GUI
    // thread could not answer).
    std::shared_ptr<VelInputMethodQueryEvent>
    focusObjectInputMethodQuery(Vel::InputMethodQueries queries = Vel::ImQueryAll,
                                bool *reachedGuiThread = nullptr);
    // False when the event never reached the GUI thread (given up): the edit
    // did not happen, and the input connection must not say it did.
    bool sendInputMethodEvent(VelInputMethodEvent *event);
    void clear();

    VelString composingString() const;
    ExtractedTextRecord lastExtraction() const;

    // The Java handles of VelExtractedText (valid while a Live is held).
    jclass extractedTextClass() const { return m_extractedTextClass; }
    jmethodID extractedTextConstructor() const { return m_classConstructorMethodID; }
    jfieldID partialEndOffsetField() const { return m_partialEndOffsetFieldID; }
    jfieldID partialStartOffsetField() const { return m_partialStartOffsetFieldID; }
    jfieldID selectionEndField() const { return m_selectionEndFieldID; }
    jfieldID selectionStartField() const { return m_selectionStartFieldID; }
    jfieldID startOffsetField() const { return m_startOffsetFieldID; }
    jfieldID textField() const { return m_textFieldID; }

private:
    void updateCursorPosition();
    bool registerWithJava(JNIEnv *env);
    void releaseJavaHandles();
    void setComposing(const VelString &text);
    void sendComposingEvent(VelInputMethodEvent *event);

    mutable std::mutex m_stateMutex; // guards the two below; after the liveness lock
    ExtractedTextRecord m_lastExtraction;
    VelString m_composingString;
    VelMetaObject::Connection m_cursorWatch; // GUI thread
    std::atomic<bool> m_suppressSelectionUpdates{false};

    // Written on construction and destruction under the exclusive liveness lock.
    jclass m_extractedTextClass = nullptr;
    jmethodID m_classConstructorMethodID = nullptr;
    jfieldID m_partialEndOffsetFieldID = nullptr;
    jfieldID m_partialStartOffsetFieldID = nullptr;
    jfieldID m_selectionEndFieldID = nullptr;
    jfieldID m_selectionStartFieldID = nullptr;
    jfieldID m_startOffsetFieldID = nullptr;
    jfieldID m_textFieldID = nullptr;
};

#endif
