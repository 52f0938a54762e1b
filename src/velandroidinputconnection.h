#ifndef VELANDROIDINPUTCONNECTION_H
#define VELANDROIDINPUTCONNECTION_H

#include <jni.h>

// The 16 natives of VelNativeInputConnection: thin wrappers that hold the
// live input context for their run, convert strings between Java and UTF-16
// and answer false, 0 or null when there is no context.
namespace VelAndroidInputConnection
{

// Called by the input context's construction, on the class it found.
bool registerNatives(JNIEnv *env, jclass inputConnectionClass);

} // namespace VelAndroidInputConnection

#endif
