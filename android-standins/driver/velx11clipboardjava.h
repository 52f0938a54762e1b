#ifndef VELX11CLIPBOARDJAVA_H
#define VELX11CLIPBOARDJAVA_H

#include <jni.h>

#include <string>

class VelX11Clipboard;

// Joins the Java half's clipboard (org.vel.android.VelDesktopClipboard) to
// the desktop's: its natives reach `clipboard`, which must outlive uninstall().
namespace VelX11ClipboardJava
{
// How long a paste waits for another program's text.
constexpr int fetchTimeoutMs = 1000;

bool install(JNIEnv *env, VelX11Clipboard *clipboard, std::string *error);
void uninstall(JNIEnv *env);
} // namespace VelX11ClipboardJava

#endif
