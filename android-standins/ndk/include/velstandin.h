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

// The EGL objects made through this process's EGL calls and not destroyed
// yet (for leak checks): window and pbuffer surfaces, and contexts. The
// library stands in front of EGL's create and destroy calls and counts;
// eglTerminate forgets what was left on its display. Safe from any thread.
int velStandinLiveEglSurfaceCount(void);
int velStandinLiveEglContextCount(void);

// Successful eglSwapBuffers calls of the process so far: frames presented,
// whatever they showed. Safe from any thread.
long velStandinEglSwapCount(void);

// The asset manager serving a directory, as AAssetManager_fromJava gives it
// for an android.content.res.AssetManager over that directory, for callers
// without a Java VM (benchmarks, fuzzers). Lives for the process; null for a
// null name.
struct AAssetManager;
struct AAssetManager *velStandinAssetManagerForDirectory(const char *root);

// How many times AAssetManager_openDir was called in this process (whatever
// it answered), so that callers can tell a cached listing from one read from
// Android again. Safe from any thread.
long velStandinAssetDirOpenCount(void);

#ifdef __cplusplus
}
#endif

#endif
