#ifndef ANDROIDJNICLIPBOARD_H
#define ANDROIDJNICLIPBOARD_H

#include "velstring.h"

#include <jni.h>

class VelAndroidPlatformClipboard;

// The Android clipboard, text only, through four static methods of the
// companion class. Android's own changes are not reported to the native side.
// Any thread may call these; each call attaches the thread for its duration.
namespace VelAndroidClipboard
{

// Looks the four methods up at library load; false (logged) when one is missing.
bool registerNatives(JNIEnv *env);

// Lets Java set up its clipboard manager; the listener is not kept.
void setClipboardListener(VelAndroidPlatformClipboard *listener);
void setClipboardText(const VelString &text);
bool hasClipboardText();
// Empty without a JNI environment, or when Java has no text (null).
VelString clipboardText();

} // namespace VelAndroidClipboard

#endif
