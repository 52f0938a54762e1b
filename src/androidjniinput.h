#ifndef ANDROIDJNIINPUT_H
#define ANDROIDJNIINPUT_H

#include <jni.h>

// Touch, mouse and keys from the Android view, and the soft-keyboard calls of
// the input context. The natives run on the Java UI thread and only inject
// window-system events; nothing here waits for the GUI thread.
//
// Threads: the touch list, the mouse grabber and the ignore flag belong to
// the Java UI thread (the only caller of the natives). Windows are never
// touched from there: they are found through the host's hit test under its
// window lock and passed on as guarded pointers. The integration's touch
// device slot is read and written only under the bridge's surface mutex
// (VelAndroid::withAndroidPlatformIntegration). The last reported cursor
// position is shared with the GUI thread and has a lock of its own, taken
// alone and never across a Java call.
//
// Lock order: the surface mutex, then the host's touch-device registry or its
// window lock (each taken alone inside it, for the registration and the hit
// test).
//
// Soft-keyboard calls made on the GUI thread mark it BlockedInJava: a
// Java-thread hand-over meanwhile gives up at once instead of waiting for a
// GUI thread that may itself wait for the Java UI thread.
namespace VelAndroidInput
{

bool registerNatives(JNIEnv *env);

// Android key code to the host's key code; 0 for codes without one.
int translateAndroidKey(int androidKey);

// The soft keyboard. Called on the GUI thread (or, for updateSelection, on
// the Java UI thread too); each attaches the thread for the call when needed.
// The Java side of each only records or posts and never waits for the UI
// thread, so the GUI thread does not count as blocked in Java meanwhile: an
// edit the keyboard sends at that moment waits the call out and is applied.
void showSoftwareKeyboard(int left, int top, int width, int height, int inputHints);
void resetSoftwareKeyboard();
void hideSoftwareKeyboard();
bool isSoftwareKeyboardVisible();
void updateSelection(int selStart, int selEnd, int candidatesStart, int candidatesEnd);

} // namespace VelAndroidInput

#endif
