#include "androidjnimenu.h"

#include "androidjnimain.h"
#include "velandroidguithreadcall.h"
#include "velandroidplatformmenu.h"
#include "velandroidplatformmenubar.h"
#include "velandroidplatformmenuitem.h"

#include "velimage.h"
#include "veljniobject.h"
#include "vellogging.h"
#include "velmutex.h"
#include "velpointer.h"
#include "velwindow.h"

#include <android/log.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <functional>
#include <vector>

// Threads meet here in one way. The six natives come on the Java UI thread;
// everything else (the menu objects, pop-ups, the active window) lives on the
// GUI thread. A native never reads a menu object itself: it hands the reading,
// and any signal the application must see, to the GUI thread through
// VelAndroidGuiThreadCall::run, gets back plain values (titles, ids, flags,
// rendered icons, whether a context menu must open) and then makes its Java
// calls on its own thread, holding none of the bridge's mutexes. The GUI
// thread's own entry points likewise call Java only after letting go of them,
// so a Java side that answers on its UI thread can never block on them.
//
// Lock order: menuBarMutex, then visibleMenuMutex, then a menu bar's or a
// menu's list mutex. Both bridge mutexes are recursive: an application slot
// run from a choice may come back into the bridge.

namespace
{

// The state below is never destroyed: the application thread may still be
// running when the process exits, and must not find its menus' locks and
// lists destroyed under it by exit-time destructors.

// Guards menuBars, visibleMenuBar and activeTopLevelWindow; first in order.
VelMutex &menuBarMutex = *new VelMutex(VelMutex::Recursive);
// Every live bar, oldest first.
std::vector<VelAndroidPlatformMenuBar *> &menuBars = *new std::vector<VelAndroidPlatformMenuBar *>;
VelAndroidPlatformMenuBar *visibleMenuBar = nullptr;
// Guarded: a new window at the address of a destroyed one is a new window.
VelPointer<VelWindow> &activeTopLevelWindow = *new VelPointer<VelWindow>;

// Guards visibleMenu, visibleMenuSerial and pendingContextMenus; after
// menuBarMutex.
VelMutex &visibleMenuMutex = *new VelMutex(VelMutex::Recursive);
VelAndroidPlatformMenu *visibleMenu = nullptr;
// Counts the menus made visible. Java threads refer to "the menu that was
// about to open" by this number, never by its pointer, which may be gone by
// the time they look.
unsigned visibleMenuSerial = 0;
std::deque<VelAndroidPlatformMenu *> &pendingContextMenus =
    *new std::deque<VelAndroidPlatformMenu *>;

// Cached by registerNatives, read-only afterwards.
jint menuNoneValue = 0;
jmethodID openContextMenuMethodID = nullptr;
jmethodID closeContextMenuMethodID = nullptr;
jmethodID resetOptionsMenuMethodID = nullptr;
jmethodID clearMenuMethodID = nullptr;
jmethodID addMenuItemMethodID = nullptr;
jmethodID setHeaderTitleContextMenuMethodID = nullptr;
jmethodID setCheckableMenuItemMethodID = nullptr;
jmethodID setCheckedMenuItemMethodID = nullptr;
jmethodID setEnabledMenuItemMethodID = nullptr;
jmethodID setIconMenuItemMethodID = nullptr;
jmethodID setVisibleMenuItemMethodID = nullptr;

constexpr unsigned NoSerial = 0;
// Window types that never own the options menu: dialogs, sheets, drawers,
// pop-ups, tools, tool tips, splash screens, the desktop and sub-windows.
constexpr unsigned SecondaryWindowTypeBits = 0x02 | 0x04 | 0x08 | 0x10;
constexpr int MinimumIconEdge = 36;
// Far above any launcher icon; keeps a mistyped value from asking for an
// image of gigabytes.
constexpr int MaximumIconEdge = 512;
constexpr veluint32 FirstOwnTag = 0x40000000u;
constexpr veluint32 OwnTagCount = 0x3fffffffu;

// One Android menu item as the GUI thread saw its object.
struct AndroidItem {
    jint id = 0;
    VelString title;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    VelImage icon; // null: no icon
};

struct AndroidMenuContent {
    bool present = false;
    VelString headerTitle;
    std::vector<AndroidItem> items;
};

// -- Threads -----------------------------------------------------------------

bool onGuiThread(const std::function<void()> &work)
{
    const VelAndroidGuiThreadCall::Result result = VelAndroidGuiThreadCall::run(work);
    if (VelAndroidGuiThreadCall::ran(result))
        return true;
    __android_log_print(ANDROID_LOG_WARN, VelAndroid::velTagText(),
                        "Menu request not handled: the application thread did not take it (%d)",
                        int(result));
    return false;
}

// -- Java calls ----------------------------------------------------------------

bool clearException(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionClear();
    return true;
}

bool callStaticVoid(JNIEnv *env, jmethodID method)
{
    jclass velNative = VelAndroid::applicationClass();
    if (!env || !velNative || !method)
        return false;
    env->CallStaticVoidMethod(velNative, method);
    return !clearException(env);
}

// The Java setters answer the item again; that reference is not wanted.
void callItemSetter(JNIEnv *env, jobject item, jmethodID method, jboolean value)
{
    jobject self = env->CallObjectMethod(item, method, value);
    clearException(env);
    if (self)
        env->DeleteLocalRef(self);
}

void setItemIcon(JNIEnv *env, jobject item, const VelImage &icon)
{
    jobject bitmap = VelAndroid::createBitmap(icon, env);
    jobject drawable = VelAndroid::createBitmapDrawable(bitmap, env);
    if (drawable) {
        jobject self = env->CallObjectMethod(item, setIconMenuItemMethodID, drawable);
        clearException(env);
        if (self)
            env->DeleteLocalRef(self);
        env->DeleteLocalRef(drawable);
    }
    if (bitmap)
        env->DeleteLocalRef(bitmap);
}

void fillMenuItem(JNIEnv *env, jobject menuItem, const AndroidItem &item)
{
    callItemSetter(env, menuItem, setCheckableMenuItemMethodID, item.checkable);
    callItemSetter(env, menuItem, setCheckedMenuItemMethodID, item.checked);
    callItemSetter(env, menuItem, setEnabledMenuItemMethodID, item.enabled);
    if (!item.icon.isNull())
        setItemIcon(env, menuItem, item.icon);
    callItemSetter(env, menuItem, setVisibleMenuItemMethodID, item.visible);
}

// The number of items Android took.
int addItemsToMenu(JNIEnv *env, jobject androidMenu, const std::vector<AndroidItem> &items)
{
    int added = 0;
    for (const AndroidItem &item : items) {
        jstring title = VelJNIObjectPrivate::toJString(env, item.title);
        jobject menuItem = env->CallObjectMethod(androidMenu, addMenuItemMethodID, menuNoneValue,
                                                 item.id, jint(added), title);
        const bool failed = clearException(env);
        if (title)
            env->DeleteLocalRef(title);
        if (failed || !menuItem)
            continue;
        fillMenuItem(env, menuItem, item);
        env->DeleteLocalRef(menuItem);
        ++added;
    }
    return added;
}

void clearAndroidMenu(JNIEnv *env, jobject androidMenu)
{
    env->CallVoidMethod(androidMenu, clearMenuMethodID);
    clearException(env);
}

// -- Reading the menu objects (GUI thread) -------------------------------------

VelImage renderIcon(const VelIcon &icon, bool enabled)
{
    if (icon.isNull())
        return VelImage();
    const int edge = VelAndroidMenu::iconEdge();
    return icon.pixmap(edge, enabled ? VelIcon::Normal : VelIcon::Disabled, VelIcon::Off).toImage();
}

std::vector<AndroidItem> itemsOf(const VelAndroidPlatformMenu *menu)
{
    std::vector<AndroidItem> items;
    for (const VelAndroidPlatformMenuItem *menuItem : menu->menuItems()) {
        if (menuItem->isSeparator())
            continue;
        AndroidItem item;
        item.id = jint(veluint32(menuItem->tag()));
        item.title = VelAndroidMenu::removeAmpersandEscapes(menuItem->text());
        item.checkable = menuItem->isCheckable();
        item.checked = menuItem->isChecked();
        item.enabled = menuItem->isEnabled();
        item.visible = menuItem->isVisible();
        item.icon = renderIcon(menuItem->icon(), item.enabled);
        items.push_back(item);
    }
    return items;
}

// A bar with one menu shows that menu's items; a bar with several shows one
// item per menu, each opening its menu as a context menu.
AndroidMenuContent optionsMenuContent()
{
    AndroidMenuContent content;
    VelMutexLocker lock(&menuBarMutex);
    if (!visibleMenuBar)
        return content;
    content.present = true;
    const VelAndroidPlatformMenuBar::PlatformMenusType menus = visibleMenuBar->menus();
    if (menus.size() == 1) {
        content.items = itemsOf(menus.front());
        return content;
    }
    for (const VelAndroidPlatformMenu *menu : menus) {
        AndroidItem item;
        item.id = jint(veluint32(menu->tag()));
        item.title = VelAndroidMenu::removeAmpersandEscapes(menu->text());
        item.enabled = menu->isEnabled();
        item.visible = menu->isVisible();
        item.icon = renderIcon(menu->icon(), item.enabled);
        content.items.push_back(item);
    }
    return content;
}

AndroidMenuContent contextMenuContent()
{
    AndroidMenuContent content;
    VelMutexLocker lock(&visibleMenuMutex);
    if (!visibleMenu)
        return content;
    content.present = true;
    content.headerTitle = VelAndroidMenu::removeAmpersandEscapes(visibleMenu->text());
    content.items = itemsOf(visibleMenu);
    return content;
}

// -- Context-menu state (GUI thread unless said otherwise) -------------------

// Makes the menu the visible one, or queues it behind the visible one. The
// serial of the menu Java must now open, or NoSerial.
unsigned requestContextMenu(VelAndroidPlatformMenu *menu)
{
    unsigned serial = NoSerial;
    {
        VelMutexLocker lock(&visibleMenuMutex);
        if (visibleMenu) {
            pendingContextMenus.push_back(menu);
            return NoSerial;
        }
        visibleMenu = menu;
        serial = ++visibleMenuSerial;
    }
    menu->aboutToShow();
    // The application may have destroyed or hidden the menu in its slot.
    VelMutexLocker lock(&visibleMenuMutex);
    return (visibleMenu && visibleMenuSerial == serial) ? serial : NoSerial;
}

// Closes the visible menu (when `expected` is NoSerial or its serial) and
// makes the oldest waiting menu visible; the serial Java must open, or
// NoSerial. Without signals, this is the bookkeeping alone, which a Java
// thread may do itself when the GUI thread cannot take the work.
unsigned advanceContextMenus(unsigned expected, bool withSignals)
{
    VelAndroidPlatformMenu *closed = nullptr;
    VelAndroidPlatformMenu *next = nullptr;
    unsigned serial = NoSerial;
    {
        VelMutexLocker lock(&visibleMenuMutex);
        if (expected != NoSerial && expected != visibleMenuSerial)
            return NoSerial;
        closed = visibleMenu;
        visibleMenu = nullptr;
        if (!pendingContextMenus.empty()) {
            next = pendingContextMenus.front();
            pendingContextMenus.pop_front();
            visibleMenu = next;
            serial = ++visibleMenuSerial;
        }
    }
    if (!withSignals)
        return serial;
    if (closed)
        closed->aboutToHide();
    if (!next)
        return NoSerial;
    next->aboutToShow();
    VelMutexLocker lock(&visibleMenuMutex);
    return (visibleMenu && visibleMenuSerial == serial) ? serial : NoSerial;
}

unsigned advanceContextMenusFromAnyThread(unsigned expected)
{
    unsigned serial = NoSerial;
    if (!onGuiThread([&] { serial = advanceContextMenus(expected, true); }))
        serial = advanceContextMenus(expected, false);
    return serial;
}

// Any thread, holding no bridge mutex. A menu Java would not open does not
// stay "visible" (every later pop-up would wait behind it for ever): it is
// rolled back and the next waiting menu gets its turn.
void openContextMenus(JNIEnv *env, unsigned serial)
{
    while (serial != NoSerial) {
        if (callStaticVoid(env, openContextMenuMethodID))
            return;
        __android_log_print(ANDROID_LOG_WARN, VelAndroid::velTagText(),
                            "Could not open the context menu");
        serial = advanceContextMenusFromAnyThread(serial);
    }
}

void activateItem(VelAndroidPlatformMenuItem *item, bool checked)
{
    // The application reads the state in its slot: it is stored first.
    if (item->isCheckable())
        item->setChecked(checked);
    item->activated();
}

// The choice of an item of the menu shown; the serial of a context menu Java
// must now open, or NoSerial.
unsigned chooseItem(VelAndroidPlatformMenuItem *item, bool checked)
{
    if (!item)
        return NoSerial;
    if (auto *submenu = static_cast<VelAndroidPlatformMenu *>(item->menu()))
        return requestContextMenu(submenu);
    activateItem(item, checked);
    return NoSerial;
}

// -- Natives (Java UI thread) --------------------------------------------------

jboolean onPrepareOptionsMenu(JNIEnv *env, jclass, jobject menu)
{
    if (!menu)
        return JNI_FALSE;
    clearAndroidMenu(env, menu);
    AndroidMenuContent content;
    if (!onGuiThread([&] { content = optionsMenuContent(); }))
        return JNI_FALSE;
    return addItemsToMenu(env, menu, content.items) > 0;
}

jboolean onOptionsItemSelected(JNIEnv *env, jclass, jint itemId, jboolean checked)
{
    bool barVisible = false;
    unsigned serial = NoSerial;
    const veluint32 tag = veluint32(itemId);
    const bool ran = onGuiThread([&] {
        VelAndroidPlatformMenuItem *item = nullptr;
        VelAndroidPlatformMenu *menu = nullptr;
        {
            VelMutexLocker lock(&menuBarMutex);
            if (!visibleMenuBar)
                return;
            barVisible = true;
            const VelAndroidPlatformMenuBar::PlatformMenusType menus = visibleMenuBar->menus();
            if (menus.size() == 1)
                item =
                    static_cast<VelAndroidPlatformMenuItem *>(menus.front()->menuItemForTag(tag));
            else
                menu = static_cast<VelAndroidPlatformMenu *>(visibleMenuBar->menuForTag(tag));
        }
        // The application's slots run with no bridge mutex held.
        serial = menu ? requestContextMenu(menu) : chooseItem(item, checked);
    });
    if (!ran)
        return JNI_FALSE;
    openContextMenus(env, serial);
    return barVisible;
}

void onOptionsMenuClosed(JNIEnv *, jclass, jobject) {}

void onCreateContextMenu(JNIEnv *env, jclass, jobject contextMenu)
{
    if (!contextMenu)
        return;
    clearAndroidMenu(env, contextMenu);
    AndroidMenuContent content;
    if (!onGuiThread([&] { content = contextMenuContent(); }) || !content.present)
        return;
    jstring title = VelJNIObjectPrivate::toJString(env, content.headerTitle);
    jobject self = env->CallObjectMethod(contextMenu, setHeaderTitleContextMenuMethodID, title);
    clearException(env);
    if (self)
        env->DeleteLocalRef(self);
    if (title)
        env->DeleteLocalRef(title);
    addItemsToMenu(env, contextMenu, content.items);
}

jboolean onContextItemSelected(JNIEnv *env, jclass, jint itemId, jboolean checked)
{
    unsigned serial = NoSerial;
    const veluint32 tag = veluint32(itemId);
    const bool ran = onGuiThread([&] {
        VelAndroidPlatformMenuItem *item = nullptr;
        {
            VelMutexLocker lock(&visibleMenuMutex);
            // No visible menu: the one Android still shows was destroyed.
            if (!visibleMenu)
                return;
            item = static_cast<VelAndroidPlatformMenuItem *>(visibleMenu->menuItemForTag(tag));
        }
        serial = chooseItem(item, checked);
    });
    if (ran)
        openContextMenus(env, serial);
    return JNI_TRUE;
}

void onContextMenuClosed(JNIEnv *env, jclass, jobject)
{
    openContextMenus(env, advanceContextMenusFromAnyThread(NoSerial));
}

// -- Registration --------------------------------------------------------------

JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod methods[] = {
    nativeMethod("onPrepareOptionsMenu", "(Landroid/view/Menu;)Z",
                 reinterpret_cast<void *>(onPrepareOptionsMenu)),
    nativeMethod("onOptionsItemSelected", "(IZ)Z", reinterpret_cast<void *>(onOptionsItemSelected)),
    nativeMethod("onOptionsMenuClosed", "(Landroid/view/Menu;)V",
                 reinterpret_cast<void *>(onOptionsMenuClosed)),
    nativeMethod("onCreateContextMenu", "(Landroid/view/ContextMenu;)V",
                 reinterpret_cast<void *>(onCreateContextMenu)),
    nativeMethod("onContextItemSelected", "(IZ)Z", reinterpret_cast<void *>(onContextItemSelected)),
    nativeMethod("onContextMenuClosed", "(Landroid/view/Menu;)V",
                 reinterpret_cast<void *>(onContextMenuClosed)),
};

// A local class reference that is released at scope end.
class LocalClass
{
public:
    LocalClass(JNIEnv *env, const char *name) : m_env(env), m_class(env->FindClass(name))
    {
        if (m_class)
            return;
        clearException(env);
        __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(),
                            VelAndroid::classErrorMsgFmt(), name);
    }
    ~LocalClass()
    {
        if (m_class)
            m_env->DeleteLocalRef(m_class);
    }
    LocalClass(const LocalClass &) = delete;
    LocalClass &operator=(const LocalClass &) = delete;
    jclass get() const { return m_class; }

private:
    JNIEnv *m_env;
    jclass m_class;
};

bool findMethod(JNIEnv *env, jclass clazz, const char *name, const char *signature, bool isStatic,
                jmethodID *id)
{
    *id = isStatic ? env->GetStaticMethodID(clazz, name, signature)
                   : env->GetMethodID(clazz, name, signature);
    if (*id)
        return true;
    clearException(env);
    __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(),
                        VelAndroid::methodErrorMsgFmt(), name, signature);
    return false;
}

bool cacheMenuMembers(JNIEnv *env)
{
    const LocalClass menu(env, "android/view/Menu");
    if (!menu.get() || !findMethod(env, menu.get(), "clear", "()V", false, &clearMenuMethodID) ||
        !findMethod(env, menu.get(), "add", "(IIILjava/lang/CharSequence;)Landroid/view/MenuItem;",
                    false, &addMenuItemMethodID))
        return false;
    jfieldID none = env->GetStaticFieldID(menu.get(), "NONE", "I");
    if (!none) {
        clearException(env);
        __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(),
                            VelAndroid::methodErrorMsgFmt(), "NONE", "I");
        return false;
    }
    menuNoneValue = env->GetStaticIntField(menu.get(), none);
    return true;
}

bool cacheMenuItemMembers(JNIEnv *env)
{
    const LocalClass item(env, "android/view/MenuItem");
    const char *const booleanSetter = "(Z)Landroid/view/MenuItem;";
    return item.get() &&
           findMethod(env, item.get(), "setCheckable", booleanSetter, false,
                      &setCheckableMenuItemMethodID) &&
           findMethod(env, item.get(), "setChecked", booleanSetter, false,
                      &setCheckedMenuItemMethodID) &&
           findMethod(env, item.get(), "setEnabled", booleanSetter, false,
                      &setEnabledMenuItemMethodID) &&
           findMethod(env, item.get(), "setIcon",
                      "(Landroid/graphics/drawable/Drawable;)Landroid/view/MenuItem;", false,
                      &setIconMenuItemMethodID) &&
           findMethod(env, item.get(), "setVisible", booleanSetter, false,
                      &setVisibleMenuItemMethodID);
}

} // namespace

namespace VelAndroidMenu
{

bool registerNatives(JNIEnv *env)
{
    jclass velNative = VelAndroid::applicationClass();
    if (!velNative ||
        env->RegisterNatives(velNative, methods, sizeof(methods) / sizeof(methods[0])) < 0) {
        clearException(env);
        __android_log_print(ANDROID_LOG_FATAL, VelAndroid::velTagText(), "RegisterNatives failed");
        return false;
    }
    if (!findMethod(env, velNative, "openContextMenu", "()V", true, &openContextMenuMethodID) ||
        !findMethod(env, velNative, "closeContextMenu", "()V", true, &closeContextMenuMethodID) ||
        !findMethod(env, velNative, "resetOptionsMenu", "()V", true, &resetOptionsMenuMethodID))
        return false;
    if (!cacheMenuMembers(env))
        return false;
    const LocalClass contextMenu(env, "android/view/ContextMenu");
    if (!contextMenu.get() || !findMethod(env, contextMenu.get(), "setHeaderTitle",
                                          "(Ljava/lang/CharSequence;)Landroid/view/ContextMenu;",
                                          false, &setHeaderTitleContextMenuMethodID))
        return false;
    return cacheMenuItemMembers(env);
}

void setActiveTopLevelWindow(VelWindow *window)
{
    if (window && (unsigned(window->flags()) & SecondaryWindowTypeBits))
        return;
    {
        VelMutexLocker lock(&menuBarMutex);
        if (activeTopLevelWindow.data() == window)
            return;
        visibleMenuBar = nullptr;
        activeTopLevelWindow = window;
        // A bar without a window never stands for "no active window".
        for (VelAndroidPlatformMenuBar *bar : menuBars) {
            if (window && bar->parentWindow() == window) {
                visibleMenuBar = bar;
                break;
            }
        }
    }
    resetMenuBar();
}

void addMenuBar(VelAndroidPlatformMenuBar *menuBar)
{
    VelMutexLocker lock(&menuBarMutex);
    menuBars.push_back(menuBar);
}

void removeMenuBar(VelAndroidPlatformMenuBar *menuBar)
{
    {
        VelMutexLocker lock(&menuBarMutex);
        menuBars.erase(std::remove(menuBars.begin(), menuBars.end(), menuBar), menuBars.end());
        if (visibleMenuBar != menuBar)
            return;
        visibleMenuBar = nullptr;
    }
    resetMenuBar();
}

void setMenuBar(VelAndroidPlatformMenuBar *menuBar, VelWindow *window)
{
    {
        VelMutexLocker lock(&menuBarMutex);
        const bool forActiveWindow = window && window == activeTopLevelWindow.data();
        if (forActiveWindow && visibleMenuBar != menuBar) {
            visibleMenuBar = menuBar;
        } else if (!forActiveWindow && visibleMenuBar == menuBar) {
            // The bar moved away from the active window: its menus are no
            // longer that window's options.
            visibleMenuBar = nullptr;
        } else {
            return;
        }
    }
    resetMenuBar();
}

void showContextMenu(VelAndroidPlatformMenu *menu, JNIEnv *env)
{
    if (!menu)
        return;
    const unsigned serial = requestContextMenu(menu);
    if (serial == NoSerial)
        return;
    if (env) {
        openContextMenus(env, serial);
        return;
    }
    ScopedJniEnv scopedEnv;
    openContextMenus(scopedEnv.jniEnv(), serial);
}

void hideContextMenu(VelAndroidPlatformMenu *menu)
{
    unsigned serial = NoSerial;
    {
        VelMutexLocker lock(&visibleMenuMutex);
        if (visibleMenu != menu) {
            const auto queued =
                std::find(pendingContextMenus.begin(), pendingContextMenus.end(), menu);
            if (queued != pendingContextMenus.end())
                pendingContextMenus.erase(queued);
            return;
        }
        serial = visibleMenuSerial;
    }
    ScopedJniEnv env;
    if (callStaticVoid(env.jniEnv(), closeContextMenuMethodID))
        return;
    // Android will not report the close: the bridge closes the menu itself.
    openContextMenus(env.jniEnv(), advanceContextMenus(serial, true));
}

void androidPlatformMenuDestroyed(VelAndroidPlatformMenu *menu)
{
    VelMutexLocker lock(&visibleMenuMutex);
    if (visibleMenu == menu)
        visibleMenu = nullptr;
    pendingContextMenus.erase(
        std::remove(pendingContextMenus.begin(), pendingContextMenus.end(), menu),
        pendingContextMenus.end());
}

// Android menus are rebuilt from the objects each time Android prepares them.
void syncMenu(VelAndroidPlatformMenu *) {}

void resetMenuBar()
{
    ScopedJniEnv env;
    if (!callStaticVoid(env.jniEnv(), resetOptionsMenuMethodID) && env)
        __android_log_print(ANDROID_LOG_WARN, VelAndroid::velTagText(),
                            "Could not reset the options menu");
}

VelString removeAmpersandEscapes(const VelString &text)
{
    VelString label = text;
    int i = 0;
    while (i < label.size()) {
        if (label.at(i) != VelChar('&')) {
            ++i;
            continue;
        }
        label.remove(i, 1);
        // The character after the ampersand stays (a second ampersand
        // included); a lone ampersand at the end has none.
        if (i < label.size())
            ++i;
    }
    return label.trimmed();
}

int iconEdge()
{
    const char *value = std::getenv("VEL_ANDROID_APP_ICON_SIZE");
    long edge = 0;
    if (value) {
        char *end = nullptr;
        errno = 0;
        edge = std::strtol(value, &end, 10);
        if (end == value)
            edge = 0;
    }
    return int(std::clamp<long>(edge, MinimumIconEdge, MaximumIconEdge));
}

veluint32 newTag()
{
    static std::atomic<veluint32> counter{0};
    return FirstOwnTag + (counter.fetch_add(1) % OwnTagCount);
}

} // namespace VelAndroidMenu
