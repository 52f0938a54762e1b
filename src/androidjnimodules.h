#ifndef ANDROIDJNIMODULES_H
#define ANDROIDJNIMODULES_H

#include <jni.h>

// The bridge modules' native registration, run by JNI_OnLoad after the core
// natives: touch, mouse and keys; clipboard; menus; accessibility; message
// dialogs, in that order. The first failure fails the library load.
namespace VelAndroidBridgeModules
{

bool registerAll(JNIEnv *env);
// From API level 16 the accessibility bridge registers a second time.
bool registerAccessibilityAgain(JNIEnv *env);

} // namespace VelAndroidBridgeModules

#endif
