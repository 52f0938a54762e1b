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

// Called at library load, before any context exists: an input method that
// connects before the application has made its context gets the answers of
// "no context" instead of an unbound native's error. A missing class is left
// to the context's own registration to report.
void registerBeforeContext(JNIEnv *env);

} // namespace VelAndroidInputConnection

#endif
