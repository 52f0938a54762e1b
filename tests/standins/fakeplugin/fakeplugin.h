#ifndef FAKEPLUGIN_H
#define FAKEPLUGIN_H

#include <android/asset_manager.h>
#include <android/native_window.h>

// What the fake plugin lets a test read back (look the functions up with
// dlsym: the test loads the plugin through the Java VM).
extern "C" {
int velFakePluginCallCount(void);
const char *velFakePluginCall(int index); // stays valid for the process
AAssetManager *velFakePluginAssetManager(void);
ANativeWindow *velFakePluginNativeWindow(void);
// The current surface's window with a reference for the caller; null without one.
ANativeWindow *velFakePluginAcquiredNativeWindow(void);
}

#endif
