#ifndef VEL_STANDIN_ANDROID_NATIVE_WINDOW_JNI_H
#define VEL_STANDIN_ANDROID_NATIVE_WINDOW_JNI_H

#include <android/native_window.h>
#include <jni.h>

#ifdef __cplusplus
extern "C" {
#endif

// The window of an android.view.Surface, with one reference for the caller;
// null for a null or released surface.
ANativeWindow *ANativeWindow_fromSurface(JNIEnv *env, jobject surface);

#ifdef __cplusplus
}
#endif

#endif
