#ifndef ANDROIDJNIMENU_H
#define ANDROIDJNIMENU_H

#include "velglobal.h"

#include <jni.h>

class VelAndroidPlatformMenu;
class VelAndroidPlatformMenuBar;
class VelString;
class VelWindow;

// Shows the application's menus with Android's own menu machinery: the menu
// bar of the active top-level window becomes the options menu, a menu that
// pops up (or a submenu chosen from a menu) becomes a context menu. Android
// owns the menus' lifetime; the bridge asks VelNative to open a context menu
// or to rebuild the options menu, and Android calls back on its UI thread to
// have a menu filled and to report a choice or a close.
namespace VelAndroidMenu
{

// Registers the six menu natives on VelNative and caches the Java members
// the bridge calls; run once from JNI_OnLoad.
bool registerNatives(JNIEnv *env);

// GUI thread: the platform integration and the screen report the window the
// options menu belongs to; dialogs, pop-ups and the other secondary window
// types are ignored.
void setActiveTopLevelWindow(VelWindow *window);
// GUI thread: the menu objects report their comings and goings.
void addMenuBar(VelAndroidPlatformMenuBar *menuBar);
void removeMenuBar(VelAndroidPlatformMenuBar *menuBar);
void setMenuBar(VelAndroidPlatformMenuBar *menuBar, VelWindow *window);
// env: the caller's environment on a Java thread, or null for the GUI thread.
void showContextMenu(VelAndroidPlatformMenu *menu, JNIEnv *env);
void hideContextMenu(VelAndroidPlatformMenu *menu);
void androidPlatformMenuDestroyed(VelAndroidPlatformMenu *menu);
void syncMenu(VelAndroidPlatformMenu *menu);
void resetMenuBar();

// The label Android shows for a menu text: "&&" is one ampersand, any other
// ampersand marks a mnemonic and goes; surrounding blanks go.
VelString removeAmpersandEscapes(const VelString &text);
// The edge of menu icons in pixels, from VEL_ANDROID_APP_ICON_SIZE.
int iconEdge();
// A first tag for a new menu object: unique among live objects and a valid
// Android item id. Addresses would not do: a 64-bit address cut to the 32
// bits of an id can equal another object's. The framework's own tags are
// small counters from 1; these count in a range of their own above them.
veluint32 newTag();

} // namespace VelAndroidMenu

#endif
