#ifndef FAKEINPUT_H
#define FAKEINPUT_H

#include <jni.h>

// The fake plugin's input natives, registered only when the process runs with
// VEL_FAKEPLUGIN_INPUT=1: the 10 input natives on VelNative and the 16
// input-connection natives on VelNativeInputConnection. Each call is logged
// (tag "VelFake") as "input NAME(ARGS)" and with the name of the Java thread
// it came on; the input-connection natives answer true, 0 or null.
// With VEL_FAKEPLUGIN_KEYBOARD=1, the surface's arrival also shows the soft
// keyboard (VelNative.showSoftwareKeyboard(1, 2, 3, 4, 5)). The end of a touch
// may be answered with a frame (fakeanswer.h).
bool velFakeInputRegister(JNIEnv *env, jclass velNative);
void velFakeInputSurfaceArrived(JNIEnv *env, jclass velNative);

#endif
