#ifndef VELJAVASTRINGS_H
#define VELJAVASTRINGS_H

#include <jni.h>

#include <string>

// Java strings to and from UTF-8 through UTF-16, so that characters outside
// the Basic Multilingual Plane survive (NewStringUTF and GetStringUTFChars
// speak modified UTF-8, which writes them as two three-byte surrogates).
// Malformed UTF-8 bytes become U+FFFD.
jstring velNewJavaString(JNIEnv *env, const std::string &utf8); // a local reference
std::string velJavaStringToUtf8(JNIEnv *env, jstring string);   // "" for null

#endif
