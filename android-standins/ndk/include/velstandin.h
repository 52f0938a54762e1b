#ifndef VELSTANDIN_H
#define VELSTANDIN_H

// Desktop-only additions of the Android stand-in library.

#include <android/native_window.h>

#ifdef __cplusplus
extern "C" {
#endif

// Called once per logged message, after it was written to standard error.
// tag and text are never null; they are valid only during the call.
typedef void (*VelStandinLogCallback)(int prio, const char *tag, const char *text, void *userData);

// Installs the capture callback (null removes it). One callback at a time;
// the previous one is replaced. Safe from any thread; the callback may run on
// any thread, and never concurrently with itself.
void velStandinSetLogCapture(VelStandinLogCallback callback, void *userData);

// Whether messages are also written to standard error (default 1).
void velStandinSetLogEcho(int echo);

// The priority letter of a log line: V D I W E F for 2..7, '?' otherwise.
char velStandinLogPriorityLetter(int prio);

// The X11 window id (Window) that the native window stands for, to be used as
// EGLNativeWindowType with an X11 EGL display. The ANativeWindow pointer
// itself also points at that id, which is what eglCreatePlatformWindowSurface
// expects for the X11 platform. 0 for null.
unsigned long velStandinNativeWindowHandle(ANativeWindow *window);

// Native windows alive now (for leak checks).
int velStandinLiveNativeWindowCount(void);

// References held on a native window; 0 once it was freed (the pointer is
// only compared, never read, so asking about a freed window is safe).
// Acquiring or releasing a freed window is reported at error priority under
// the tag "ANativeWindow" and ignored.
int velStandinNativeWindowRefCount(ANativeWindow *window);

#ifdef __cplusplus
}
#endif

#endif
