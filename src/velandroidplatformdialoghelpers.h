#ifndef VELANDROIDPLATFORMDIALOGHELPERS_H
#define VELANDROIDPLATFORMDIALOGHELPERS_H

#include "veleventloop.h"
#include "veljniobject.h"
#include "velplatformmessagedialoghelper.h"

#include <jni.h>

// Message boxes shown as Android dialogs.
//
// The hand-over: show() gives the Java dialog a handle; when the user
// answers, a Java thread calls the native dialogResult(handle, button), which
// only posts a queued call of the slot dialogResult(int) to the helper's
// thread (the GUI thread) and returns at once: nothing waits. The handle is
// a number that is never reused, not the helper's address, and the native
// looks it up among the live helpers under the registry mutex (taken alone,
// never held while Java or the helper is called): a result for a helper that
// the host has already deleted, or for a handle Java made up, is dropped. A
// helper leaves the registry before its posted calls are discarded, so a
// call posted for it is either discarded with it or never posted.
namespace VelAndroidDialogHelpers
{

bool registerNatives(JNIEnv *env);

class VelAndroidPlatformMessageDialogHelper : public VelPlatformMessageDialogHelper
{
    VEL_OBJECT
public:
    VelAndroidPlatformMessageDialogHelper();
    ~VelAndroidPlatformMessageDialogHelper() override;

    // Shows the box and waits for the answer. Returns at once when the box
    // cannot be shown, or when the answer to this showing came already.
    void exec() override;
    // False, with nothing shown, without options, without an activity or
    // when the Java dialog could not be made.
    bool show(Vel::WindowFlags windowFlags, Vel::WindowModality modality,
              VelWindow *parent) override;
    // Also ends a waiting exec(): a hidden box sends no answer.
    void hide() override;

    // What Java answers arrive as: a standard button's bit, or a negative
    // value when the box was dismissed without a button.
    void dialogResult(int buttonID);

    // The number Java is given to report the answer with.
    jlong handle() const { return m_handle; }
    int buttonId() const { return m_buttonID; }
    bool isShown() const { return m_shown; }

private:
    const jlong m_handle;
    int m_buttonID = -1;
    VelEventLoop m_loop;
    VelJNIObjectPrivate m_javaMessageDialog; // invalid when it could not be made
    bool m_shown = false;
    // The answer to the current showing has come: exec() must not wait again.
    bool m_answered = false;
};

// The number of helpers alive; for tests.
int liveHelperCount();

} // namespace VelAndroidDialogHelpers

#endif
