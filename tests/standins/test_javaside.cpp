// The companion classes as the plugin sees them through JNI: every native
// with its exact signature, every Java member the plugin looks up, and the
// recording behaviour of the static methods it calls back.

#include "standinstestsupport.h"
#include "veljavavm.h"

#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace
{

struct Member {
    const char *className;
    enum Kind { Method, StaticMethod, Field, StaticField } kind;
    const char *name;
    const char *signature;
};

struct Native {
    const char *name;
    const char *signature;
};

VelAndroidDriver &driver()
{
    return sharedDriver({"-Dvel.android.sdk=15"});
}

JNINativeMethod entry(const Native &n, void *function)
{
    return JNINativeMethod{const_cast<char *>(n.name), const_cast<char *>(n.signature), function};
}

void neverCalled() {}

// Registers every native of the list, one by one, so that a failure names it.
void expectRegisters(const char *className, const std::vector<Native> &natives)
{
    JNIEnv *env = driver().env();
    jclass cls = env->FindClass(className);
    ASSERT_NE(cls, nullptr) << className;
    for (const Native &n : natives) {
        const JNINativeMethod method = entry(n, reinterpret_cast<void *>(neverCalled));
        EXPECT_EQ(env->RegisterNatives(cls, &method, 1), JNI_OK)
            << className << "." << n.name << n.signature;
        if (env->ExceptionCheck())
            env->ExceptionClear();
    }
    env->DeleteLocalRef(cls);
}

const std::vector<Native> coreNatives = {
    {"startVelAndroidPlugin", "()Z"},
    {"startVelApplication", "(Ljava/lang/String;Ljava/lang/String;)V"},
    {"pauseVelApp", "()V"},
    {"resumeVelApp", "()V"},
    {"quitVelAndroidPlugin", "()V"},
    {"terminateVel", "()V"},
    {"setDisplayMetrics", "(IIIIDDD)V"},
    {"setSurface", "(Ljava/lang/Object;)V"},
    {"destroySurface", "()V"},
    {"lockSurface", "()V"},
    {"unlockSurface", "()V"},
    {"updateWindow", "()V"},
    {"updateApplicationState", "(I)V"},
    {"handleOrientationChanged", "(II)V"},
};

const std::vector<Native> inputNatives = {
    {"touchBegin", "(I)V"},  {"touchAdd", "(IIIZIIFF)V"},
    {"touchEnd", "(II)V"},   {"mouseDown", "(III)V"},
    {"mouseUp", "(III)V"},   {"mouseMove", "(III)V"},
    {"longPress", "(III)V"}, {"keyDown", "(III)V"},
    {"keyUp", "(III)V"},     {"keyboardVisibilityChanged", "(Z)V"},
};

const std::vector<Native> menuNatives = {
    {"onPrepareOptionsMenu", "(Landroid/view/Menu;)Z"},
    {"onOptionsItemSelected", "(IZ)Z"},
    {"onOptionsMenuClosed", "(Landroid/view/Menu;)V"},
    {"onCreateContextMenu", "(Landroid/view/ContextMenu;)V"},
    {"onContextItemSelected", "(IZ)Z"},
    {"onContextMenuClosed", "(Landroid/view/Menu;)V"},
};

const std::vector<Native> inputConnectionNatives = {
    {"commitText", "(Ljava/lang/String;I)Z"},
    {"deleteSurroundingText", "(II)Z"},
    {"finishComposingText", "()Z"},
    {"getCursorCapsMode", "(I)I"},
    {"getExtractedText", "(III)Lorg/vel/android/VelExtractedText;"},
    {"getSelectedText", "(I)Ljava/lang/String;"},
    {"getTextAfterCursor", "(II)Ljava/lang/String;"},
    {"getTextBeforeCursor", "(II)Ljava/lang/String;"},
    {"setComposingText", "(Ljava/lang/String;I)Z"},
    {"setComposingRegion", "(II)Z"},
    {"setSelection", "(II)Z"},
    {"selectAll", "()Z"},
    {"cut", "()Z"},
    {"copy", "()Z"},
    {"copyURL", "()Z"},
    {"paste", "()Z"},
};

const std::vector<Native> accessibilityNatives = {
    {"setActive", "(Z)V"},
    {"childIdListForAccessibleObject", "(I)[I"},
    {"parentId", "(I)I"},
    {"descriptionForAccessibleObject", "(I)Ljava/lang/String;"},
    {"screenRect", "(I)Landroid/graphics/Rect;"},
    {"hitTest", "(FF)I"},
    {"populateNode", "(ILandroid/view/accessibility/AccessibilityNodeInfo;)V"},
    {"clickAction", "(I)Z"},
};

const char velNative[] = "org/vel/android/VelNative";

const std::vector<Member> membersThePluginUses = {
    {velNative, Member::StaticMethod, "activity", "()Landroid/app/Activity;"},
    {velNative, Member::StaticMethod, "classLoader", "()Ljava/lang/ClassLoader;"},
    {velNative, Member::StaticMethod, "setFullScreen", "(Z)V"},
    {velNative, Member::StaticMethod, "redrawSurface", "(IIII)V"},
    {velNative, Member::StaticMethod, "quitApp", "()V"},
    {velNative, Member::StaticMethod, "openURL", "(Ljava/lang/String;)V"},
    {velNative, Member::StaticMethod, "registerClipboardManager", "()V"},
    {velNative, Member::StaticMethod, "setClipboardText", "(Ljava/lang/String;)V"},
    {velNative, Member::StaticMethod, "hasClipboardText", "()Z"},
    {velNative, Member::StaticMethod, "getClipboardText", "()Ljava/lang/String;"},
    {velNative, Member::StaticMethod, "showSoftwareKeyboard", "(IIIII)V"},
    {velNative, Member::StaticMethod, "resetSoftwareKeyboard", "()V"},
    {velNative, Member::StaticMethod, "hideSoftwareKeyboard", "()V"},
    {velNative, Member::StaticMethod, "isSoftwareKeyboardVisible", "()Z"},
    {velNative, Member::StaticMethod, "updateSelection", "(IIII)V"},
    {velNative, Member::StaticMethod, "openContextMenu", "()V"},
    {velNative, Member::StaticMethod, "closeContextMenu", "()V"},
    {velNative, Member::StaticMethod, "resetOptionsMenu", "()V"},
    {"org/vel/android/VelExtractedText", Member::Method, "<init>", "()V"},
    {"org/vel/android/VelExtractedText", Member::Field, "partialEndOffset", "I"},
    {"org/vel/android/VelExtractedText", Member::Field, "partialStartOffset", "I"},
    {"org/vel/android/VelExtractedText", Member::Field, "selectionEnd", "I"},
    {"org/vel/android/VelExtractedText", Member::Field, "selectionStart", "I"},
    {"org/vel/android/VelExtractedText", Member::Field, "startOffset", "I"},
    {"org/vel/android/VelExtractedText", Member::Field, "text", "Ljava/lang/String;"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "<init>",
     "(Landroid/app/Activity;)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "setIcon", "(I)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "setTile", "(Ljava/lang/String;)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "setText", "(Ljava/lang/String;)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "setInformativeText",
     "(Ljava/lang/String;)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "setDetailedText",
     "(Ljava/lang/String;)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "addButton",
     "(ILjava/lang/String;)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "show", "(J)V"},
    {"org/vel/android/VelMessageDialogHelper", Member::Method, "hide", "()V"},
    {"android/content/ContextWrapper", Member::Method, "getAssets",
     "()Landroid/content/res/AssetManager;"},
    {"android/content/ContextWrapper", Member::Method, "getResources",
     "()Landroid/content/res/Resources;"},
    {"android/app/Activity", Member::Method, "getResources", "()Landroid/content/res/Resources;"},
    {"android/content/res/Resources", Member::Method, "getConfiguration",
     "()Landroid/content/res/Configuration;"},
    {"android/content/res/Configuration", Member::Field, "locale", "Ljava/util/Locale;"},
    {"android/graphics/Bitmap", Member::StaticMethod, "createBitmap",
     "(IILandroid/graphics/Bitmap$Config;)Landroid/graphics/Bitmap;"},
    {"android/graphics/Bitmap$Config", Member::StaticField, "ARGB_8888",
     "Landroid/graphics/Bitmap$Config;"},
    {"android/graphics/Bitmap$Config", Member::StaticField, "RGB_565",
     "Landroid/graphics/Bitmap$Config;"},
    {"android/graphics/drawable/BitmapDrawable", Member::Method, "<init>",
     "(Landroid/content/res/Resources;Landroid/graphics/Bitmap;)V"},
    {"android/os/Build$VERSION", Member::StaticField, "SDK_INT", "I"},
    {"android/view/Menu", Member::Method, "clear", "()V"},
    {"android/view/Menu", Member::Method, "add",
     "(IIILjava/lang/CharSequence;)Landroid/view/MenuItem;"},
    {"android/view/Menu", Member::StaticField, "NONE", "I"},
    {"android/view/ContextMenu", Member::Method, "setHeaderTitle",
     "(Ljava/lang/CharSequence;)Landroid/view/ContextMenu;"},
    {"android/view/MenuItem", Member::Method, "setCheckable", "(Z)Landroid/view/MenuItem;"},
    {"android/view/MenuItem", Member::Method, "setChecked", "(Z)Landroid/view/MenuItem;"},
    {"android/view/MenuItem", Member::Method, "setEnabled", "(Z)Landroid/view/MenuItem;"},
    {"android/view/MenuItem", Member::Method, "setVisible", "(Z)Landroid/view/MenuItem;"},
    {"android/view/MenuItem", Member::Method, "setIcon",
     "(Landroid/graphics/drawable/Drawable;)Landroid/view/MenuItem;"},
    {"android/graphics/Rect", Member::Method, "<init>", "(IIII)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setTextSelection",
     "(II)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setEnabled", "(Z)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setFocusable", "(Z)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setCheckable", "(Z)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setChecked", "(Z)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setVisibleToUser",
     "(Z)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setClickable", "(Z)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "addAction", "(I)V"},
    {"android/view/accessibility/AccessibilityNodeInfo", Member::Method, "setContentDescription",
     "(Ljava/lang/CharSequence;)V"},
    {"android/view/Surface", Member::Method, "<init>", "(JII)V"},
};

// Calls a static method of VelNative on a new native thread that attaches to
// the VM for the call, as the plugin's application thread does.
template <typename Call> void onNativeThread(Call call)
{
    std::thread([call] {
        call(driver().env());
        VelJavaVm::detachCurrentThread();
    }).join();
}

jclass velNativeClass(JNIEnv *env)
{
    return env->FindClass(velNative);
}

// Guards dialogResults.
std::mutex dialogMutex;
std::vector<std::pair<jlong, jint>> dialogResults;

void recordDialogResult(JNIEnv *, jclass, jlong handle, jint button)
{
    std::lock_guard<std::mutex> lock(dialogMutex);
    dialogResults.emplace_back(handle, button);
}

} // namespace

TEST(JavaContract, EveryNativeIsDeclaredWithItsExactSignature)
{
    std::vector<Native> all = coreNatives;
    all.insert(all.end(), inputNatives.begin(), inputNatives.end());
    all.insert(all.end(), menuNatives.begin(), menuNatives.end());
    EXPECT_EQ(all.size(), 30u);
    expectRegisters(velNative, all);
    expectRegisters("org/vel/android/VelNativeInputConnection", inputConnectionNatives);
    expectRegisters("org/vel/android/accessibility/VelNativeAccessibility", accessibilityNatives);
    expectRegisters("org/vel/android/VelNativeDialogHelper", {{"dialogResult", "(JI)V"}});
}

TEST(JavaContract, ANativeWithAnotherSignatureIsRejected)
{
    JNIEnv *env = driver().env();
    jclass cls = velNativeClass(env);
    const JNINativeMethod wrong =
        entry({"touchBegin", "(J)V"}, reinterpret_cast<void *>(neverCalled));
    EXPECT_LT(env->RegisterNatives(cls, &wrong, 1), 0);
    EXPECT_TRUE(env->ExceptionCheck());
    env->ExceptionClear();
    env->DeleteLocalRef(cls);
}

TEST(JavaContract, EveryMemberThePluginLooksUpExists)
{
    JNIEnv *env = driver().env();
    for (const Member &m : membersThePluginUses) {
        jclass cls = env->FindClass(m.className);
        ASSERT_NE(cls, nullptr) << m.className;
        bool found = false;
        switch (m.kind) {
        case Member::Method:
            found = env->GetMethodID(cls, m.name, m.signature) != nullptr;
            break;
        case Member::StaticMethod:
            found = env->GetStaticMethodID(cls, m.name, m.signature) != nullptr;
            break;
        case Member::Field:
            found = env->GetFieldID(cls, m.name, m.signature) != nullptr;
            break;
        case Member::StaticField:
            found = env->GetStaticFieldID(cls, m.name, m.signature) != nullptr;
            break;
        }
        EXPECT_TRUE(found) << m.className << " " << m.name << m.signature;
        if (env->ExceptionCheck())
            env->ExceptionClear();
        env->DeleteLocalRef(cls);
    }
}

TEST(JavaContract, ApiLevelFollowsTheVmOptionAndMenuNoneIsZero)
{
    JNIEnv *env = driver().env();
    jclass version = env->FindClass("android/os/Build$VERSION");
    EXPECT_EQ(env->GetStaticIntField(version, env->GetStaticFieldID(version, "SDK_INT", "I")), 15);
    jclass menu = env->FindClass("android/view/Menu");
    EXPECT_EQ(env->GetStaticIntField(menu, env->GetStaticFieldID(menu, "NONE", "I")), 0);
    env->DeleteLocalRef(version);
    env->DeleteLocalRef(menu);
}

TEST(JavaSide, ActivityServesTheAssetDirectoryAndAClassLoaderForCompanionClasses)
{
    ASSERT_TRUE(driver().createActivity("/some/assets")) << driver().lastError();
    JNIEnv *env = driver().env();
    jclass cls = velNativeClass(env);
    jobject activity = env->CallStaticObjectMethod(
        cls, env->GetStaticMethodID(cls, "activity", "()Landroid/app/Activity;"));
    ASSERT_NE(activity, nullptr);
    jclass wrapper = env->FindClass("android/content/ContextWrapper");
    jobject assets = env->CallObjectMethod(
        activity, env->GetMethodID(wrapper, "getAssets", "()Landroid/content/res/AssetManager;"));
    jclass assetClass = env->GetObjectClass(assets);
    jstring root = static_cast<jstring>(env->CallObjectMethod(
        assets, env->GetMethodID(assetClass, "getRootDirectory", "()Ljava/lang/String;")));
    const char *rootChars = env->GetStringUTFChars(root, nullptr);
    EXPECT_STREQ(rootChars, "/some/assets");
    env->ReleaseStringUTFChars(root, rootChars);

    jobject loader = env->CallStaticObjectMethod(
        cls, env->GetStaticMethodID(cls, "classLoader", "()Ljava/lang/ClassLoader;"));
    ASSERT_NE(loader, nullptr);
    jclass loaderClass = env->GetObjectClass(loader);
    jmethodID loadClass =
        env->GetMethodID(loaderClass, "loadClass", "(Ljava/lang/String;)Ljava/lang/Class;");
    ASSERT_NE(loadClass, nullptr);
    for (const char *name :
         {"org.vel.android.VelMessageDialogHelper", "org.vel.android.VelNativeInputConnection",
          "org.vel.android.VelExtractedText"}) {
        jstring jname = env->NewStringUTF(name);
        jobject loaded = env->CallObjectMethod(loader, loadClass, jname);
        EXPECT_NE(loaded, nullptr) << name;
        EXPECT_FALSE(env->ExceptionCheck()) << name;
        env->ExceptionClear();
        env->DeleteLocalRef(jname);
    }
    const std::vector<std::string> calls = driver().javaCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "activity()"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "classLoader()"), calls.end());
}

TEST(JavaSide, ConfigurationLocaleIsReadableAsTheLocaleChain)
{
    JNIEnv *env = driver().env();
    jclass activityClass = env->FindClass("android/app/Activity");
    jstring dir = env->NewStringUTF("");
    jobject activity = env->NewObject(
        activityClass, env->GetMethodID(activityClass, "<init>", "(Ljava/lang/String;)V"), dir);
    jobject resources =
        env->CallObjectMethod(activity, env->GetMethodID(activityClass, "getResources",
                                                         "()Landroid/content/res/Resources;"));
    jclass resourcesClass = env->GetObjectClass(resources);
    jobject configuration =
        env->CallObjectMethod(resources, env->GetMethodID(resourcesClass, "getConfiguration",
                                                          "()Landroid/content/res/Configuration;"));
    jclass configurationClass = env->GetObjectClass(configuration);
    jfieldID localeField = env->GetFieldID(configurationClass, "locale", "Ljava/util/Locale;");
    jclass localeClass = env->FindClass("java/util/Locale");
    jstring de = env->NewStringUTF("de");
    jstring ch = env->NewStringUTF("CH");
    jobject swiss = env->NewObject(
        localeClass,
        env->GetMethodID(localeClass, "<init>", "(Ljava/lang/String;Ljava/lang/String;)V"), de, ch);
    env->SetObjectField(configuration, localeField, swiss);
    jobject locale = env->GetObjectField(configuration, localeField);
    jstring country = static_cast<jstring>(env->CallObjectMethod(
        locale, env->GetMethodID(localeClass, "getCountry", "()Ljava/lang/String;")));
    const char *chars = env->GetStringUTFChars(country, nullptr);
    EXPECT_STREQ(chars, "CH");
    env->ReleaseStringUTFChars(country, chars);
}

TEST(JavaSide, CallsFromANativeThreadAreRecordedInOrderWithTheirArguments)
{
    ASSERT_TRUE(driver().clearJavaCalls());
    onNativeThread([](JNIEnv *env) {
        jclass cls = velNativeClass(env);
        env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "setFullScreen", "(Z)V"),
                                  JNI_TRUE);
        env->CallStaticVoidMethod(cls,
                                  env->GetStaticMethodID(cls, "showSoftwareKeyboard", "(IIIII)V"),
                                  110, 70, 200, 30, 5);
        env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "updateSelection", "(IIII)V"), 6,
                                  6, -1, -1);
        jstring url = env->NewStringUTF("https://example.invalid/x");
        env->CallStaticVoidMethod(
            cls, env->GetStaticMethodID(cls, "openURL", "(Ljava/lang/String;)V"), url);
        env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "resetOptionsMenu", "()V"));
        env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "redrawSurface", "(IIII)V"), 1,
                                  2, 3, 4);
    });
    EXPECT_EQ(driver().javaCalls(),
              (std::vector<std::string>{
                  "setFullScreen(true)", "showSoftwareKeyboard(110, 70, 200, 30, 5)",
                  "updateSelection(6, 6, -1, -1)", "openURL(https://example.invalid/x)",
                  "resetOptionsMenu()", "redrawSurface(1, 2, 3, 4)"}));
    EXPECT_EQ(driver().javaCallCount("setFullScreen"), 1);
    EXPECT_EQ(driver().javaCallCount("hideSoftwareKeyboard"), 0);
}

TEST(JavaSide, ClipboardKeepsUtf16TextIncludingSurrogatePairs)
{
    JNIEnv *env = driver().env();
    jclass cls = velNativeClass(env);
    jmethodID has = env->GetStaticMethodID(cls, "hasClipboardText", "()Z");
    jmethodID get = env->GetStaticMethodID(cls, "getClipboardText", "()Ljava/lang/String;");
    jmethodID set = env->GetStaticMethodID(cls, "setClipboardText", "(Ljava/lang/String;)V");
    EXPECT_FALSE(env->CallStaticBooleanMethod(cls, has));
    EXPECT_EQ(env->CallStaticObjectMethod(cls, get), nullptr);

    const std::vector<jchar> units = {'a', 0x00E9, 0xD83D, 0xDE00, 'z'}; // a é 😀 z
    jstring text = env->NewString(units.data(), static_cast<jsize>(units.size()));
    env->CallStaticVoidMethod(cls, set, text);
    EXPECT_TRUE(env->CallStaticBooleanMethod(cls, has));
    jstring back = static_cast<jstring>(env->CallStaticObjectMethod(cls, get));
    ASSERT_NE(back, nullptr);
    std::vector<jchar> backUnits(static_cast<size_t>(env->GetStringLength(back)));
    env->GetStringRegion(back, 0, static_cast<jsize>(backUnits.size()), backUnits.data());
    EXPECT_EQ(backUnits, units);

    jstring empty = env->NewStringUTF("");
    env->CallStaticVoidMethod(cls, set, empty);
    EXPECT_FALSE(env->CallStaticBooleanMethod(cls, has)) << "empty text is no text";
}

TEST(JavaSide, SoftKeyboardVisibilityFollowsShowAndHide)
{
    JNIEnv *env = driver().env();
    jclass cls = velNativeClass(env);
    jmethodID visible = env->GetStaticMethodID(cls, "isSoftwareKeyboardVisible", "()Z");
    env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "hideSoftwareKeyboard", "()V"));
    EXPECT_FALSE(env->CallStaticBooleanMethod(cls, visible));
    env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "showSoftwareKeyboard", "(IIIII)V"),
                              0, 0, 1, 1, 0);
    EXPECT_TRUE(env->CallStaticBooleanMethod(cls, visible));
    env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "resetSoftwareKeyboard", "()V"));
    EXPECT_TRUE(env->CallStaticBooleanMethod(cls, visible));
    env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "hideSoftwareKeyboard", "()V"));
    EXPECT_FALSE(env->CallStaticBooleanMethod(cls, visible));
}

// The plugin calls these from its GUI thread while a Java thread may be
// waiting for that GUI thread; they must return even while another thread
// holds the companion class's monitor.
TEST(JavaSide, CallbacksDoNotWaitForOtherJavaThreads)
{
    JNIEnv *env = driver().env();
    jclass cls = velNativeClass(env);
    ASSERT_EQ(env->MonitorEnter(cls), JNI_OK);
    std::packaged_task<bool()> task([] {
        JNIEnv *threadEnv = driver().env();
        jclass c = velNativeClass(threadEnv);
        const char *voids[][2] = {
            {"resetSoftwareKeyboard", "()V"}, {"hideSoftwareKeyboard", "()V"},
            {"openContextMenu", "()V"},       {"closeContextMenu", "()V"},
            {"resetOptionsMenu", "()V"},      {"registerClipboardManager", "()V"}};
        for (auto &m : voids)
            threadEnv->CallStaticVoidMethod(c, threadEnv->GetStaticMethodID(c, m[0], m[1]));
        threadEnv->CallStaticVoidMethod(
            c, threadEnv->GetStaticMethodID(c, "showSoftwareKeyboard", "(IIIII)V"), 1, 2, 3, 4, 5);
        threadEnv->CallStaticVoidMethod(
            c, threadEnv->GetStaticMethodID(c, "updateSelection", "(IIII)V"), 1, 1, -1, -1);
        threadEnv->CallStaticBooleanMethod(
            c, threadEnv->GetStaticMethodID(c, "isSoftwareKeyboardVisible", "()Z"));
        threadEnv->CallStaticBooleanMethod(
            c, threadEnv->GetStaticMethodID(c, "hasClipboardText", "()Z"));
        const bool clean = !threadEnv->ExceptionCheck();
        VelJavaVm::detachCurrentThread();
        return clean;
    });
    std::future<bool> done = task.get_future();
    std::thread worker(std::move(task));
    const bool finished = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    env->MonitorExit(cls);
    worker.join();
    EXPECT_TRUE(finished);
    EXPECT_TRUE(done.get());
}

TEST(JavaSide, QuitAppReleasesTheWaitingLauncher)
{
    VelAndroidDriver &d = driver();
    JNIEnv *env = d.env();
    jclass cls = velNativeClass(env);
    env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "resetQuit", "()V"));
    EXPECT_FALSE(d.waitForQuit(20));
    EXPECT_FALSE(d.quitRequested());
    std::thread app([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        JNIEnv *threadEnv = driver().env();
        jclass c = velNativeClass(threadEnv);
        threadEnv->CallStaticVoidMethod(c, threadEnv->GetStaticMethodID(c, "quitApp", "()V"));
        VelJavaVm::detachCurrentThread();
    });
    EXPECT_TRUE(d.waitForQuit(10000));
    EXPECT_TRUE(d.quitRequested());
    app.join();
}

TEST(JavaSide, WaitForCallWakesWhenTheCallArrives)
{
    VelAndroidDriver &d = driver();
    ASSERT_TRUE(d.clearJavaCalls());
    EXPECT_FALSE(d.waitForJavaCall("closeContextMenu", 10));
    std::thread later([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        JNIEnv *env = driver().env();
        jclass c = velNativeClass(env);
        env->CallStaticVoidMethod(c, env->GetStaticMethodID(c, "closeContextMenu", "()V"));
        VelJavaVm::detachCurrentThread();
    });
    EXPECT_TRUE(d.waitForJavaCall("closeContextMenu", 10000));
    later.join();
}

TEST(JavaSide, MessageDialogRecordsItsCallsAndPressReportsTheShownHandle)
{
    JNIEnv *env = driver().env();
    jclass resultClass = env->FindClass("org/vel/android/VelNativeDialogHelper");
    const JNINativeMethod result =
        entry({"dialogResult", "(JI)V"}, reinterpret_cast<void *>(recordDialogResult));
    ASSERT_EQ(env->RegisterNatives(resultClass, &result, 1), JNI_OK);
    ASSERT_TRUE(driver().clearJavaCalls());

    jclass cls = env->FindClass("org/vel/android/VelMessageDialogHelper");
    jclass activityClass = env->FindClass("android/app/Activity");
    jstring dir = env->NewStringUTF("");
    jobject activity = env->NewObject(
        activityClass, env->GetMethodID(activityClass, "<init>", "(Ljava/lang/String;)V"), dir);
    jobject dialog =
        env->NewObject(cls, env->GetMethodID(cls, "<init>", "(Landroid/app/Activity;)V"), activity);
    ASSERT_NE(dialog, nullptr);
    env->CallVoidMethod(dialog, env->GetMethodID(cls, "setIcon", "(I)V"), 3);
    jstring title = env->NewStringUTF("Title");
    env->CallVoidMethod(dialog, env->GetMethodID(cls, "setTile", "(Ljava/lang/String;)V"), title);
    jstring ok = env->NewStringUTF("OK");
    jstring cancel = env->NewStringUTF("Cancel");
    jmethodID addButton = env->GetMethodID(cls, "addButton", "(ILjava/lang/String;)V");
    env->CallVoidMethod(dialog, addButton, 0x400, ok);
    env->CallVoidMethod(dialog, addButton, 0x400000, cancel);
    const jlong handle = static_cast<jlong>(0x7fff12345678LL);
    env->CallVoidMethod(dialog, env->GetMethodID(cls, "show", "(J)V"), handle);
    env->CallVoidMethod(dialog, env->GetMethodID(cls, "press", "(I)V"), 0x400000);
    env->CallVoidMethod(dialog, env->GetMethodID(cls, "hide", "()V"));
    ASSERT_FALSE(env->ExceptionCheck());

    EXPECT_EQ(
        driver().javaCalls(),
        (std::vector<std::string>{
            "VelMessageDialogHelper.<init>()", "VelMessageDialogHelper.setIcon(3)",
            "VelMessageDialogHelper.setTile(Title)", "VelMessageDialogHelper.addButton(1024, OK)",
            "VelMessageDialogHelper.addButton(4194304, Cancel)",
            "VelMessageDialogHelper.show(" + std::to_string(handle) + ")",
            "VelMessageDialogHelper.hide()"}));
    std::lock_guard<std::mutex> lock(dialogMutex);
    ASSERT_EQ(dialogResults.size(), 1u);
    EXPECT_EQ(dialogResults[0].first, handle);
    EXPECT_EQ(dialogResults[0].second, 0x400000);
}

TEST(JavaSide, RecordedMenusKeepItemsAndStateSetThroughTheInterfaces)
{
    JNIEnv *env = driver().env();
    jclass menuClass = env->FindClass("android/view/Menu");
    jclass contextMenuClass = env->FindClass("android/view/ContextMenu");
    jclass itemClass = env->FindClass("android/view/MenuItem");
    jclass recorded = env->FindClass("org/vel/android/VelRecordedMenu");
    jobject menu = env->NewObject(recorded, env->GetMethodID(recorded, "<init>", "()V"));
    ASSERT_NE(menu, nullptr);
    jstring open = env->NewStringUTF("Open");
    jobject item = env->CallObjectMethod(
        menu,
        env->GetMethodID(menuClass, "add", "(IIILjava/lang/CharSequence;)Landroid/view/MenuItem;"),
        0, 42, 0, open);
    ASSERT_NE(item, nullptr);
    jobject chained = env->CallObjectMethod(
        item, env->GetMethodID(itemClass, "setCheckable", "(Z)Landroid/view/MenuItem;"), JNI_TRUE);
    EXPECT_TRUE(env->IsSameObject(chained, item));
    env->CallObjectMethod(
        item, env->GetMethodID(itemClass, "setChecked", "(Z)Landroid/view/MenuItem;"), JNI_TRUE);
    env->CallObjectMethod(
        item, env->GetMethodID(itemClass, "setEnabled", "(Z)Landroid/view/MenuItem;"), JNI_FALSE);
    jstring header = env->NewStringUTF("File");
    jobject self = env->CallObjectMethod(
        menu,
        env->GetMethodID(contextMenuClass, "setHeaderTitle",
                         "(Ljava/lang/CharSequence;)Landroid/view/ContextMenu;"),
        header);
    EXPECT_TRUE(env->IsSameObject(self, menu));
    EXPECT_EQ(env->CallIntMethod(menu, env->GetMethodID(menuClass, "size", "()I")), 1);
    EXPECT_EQ(env->CallIntMethod(item, env->GetMethodID(itemClass, "getItemId", "()I")), 42);
    EXPECT_TRUE(env->CallBooleanMethod(item, env->GetMethodID(itemClass, "isChecked", "()Z")));
    EXPECT_FALSE(env->CallBooleanMethod(item, env->GetMethodID(itemClass, "isEnabled", "()Z")));
    EXPECT_TRUE(env->CallBooleanMethod(item, env->GetMethodID(itemClass, "isVisible", "()Z")));
    env->CallVoidMethod(menu, env->GetMethodID(menuClass, "clear", "()V"));
    EXPECT_EQ(env->CallIntMethod(menu, env->GetMethodID(menuClass, "size", "()I")), 0);
    EXPECT_FALSE(env->ExceptionCheck());
}

TEST(JavaSide, AccessibilityNodeKeepsWhatWasSetInCallOrder)
{
    JNIEnv *env = driver().env();
    jclass cls = env->FindClass("android/view/accessibility/AccessibilityNodeInfo");
    jobject node = env->NewObject(cls, env->GetMethodID(cls, "<init>", "()V"));
    env->CallVoidMethod(node, env->GetMethodID(cls, "setTextSelection", "(II)V"), 2, 5);
    env->CallVoidMethod(node, env->GetMethodID(cls, "setEnabled", "(Z)V"), JNI_TRUE);
    env->CallVoidMethod(node, env->GetMethodID(cls, "addAction", "(I)V"), 16);
    jstring description = env->NewStringUTF("OK Button");
    env->CallVoidMethod(
        node, env->GetMethodID(cls, "setContentDescription", "(Ljava/lang/CharSequence;)V"),
        description);
    EXPECT_EQ(env->CallIntMethod(node, env->GetMethodID(cls, "getActions", "()I")), 16);
    EXPECT_EQ(env->CallIntMethod(node, env->GetMethodID(cls, "getTextSelectionEnd", "()I")), 5);
    jobject calls =
        env->CallObjectMethod(node, env->GetMethodID(cls, "calls", "()Ljava/util/List;"));
    jclass listClass = env->FindClass("java/util/List");
    EXPECT_EQ(env->CallIntMethod(calls, env->GetMethodID(listClass, "size", "()I")), 4);
    jstring last = static_cast<jstring>(env->CallObjectMethod(
        calls, env->GetMethodID(listClass, "get", "(I)Ljava/lang/Object;"), 3));
    const char *chars = env->GetStringUTFChars(last, nullptr);
    EXPECT_STREQ(chars, "setContentDescription(OK Button)");
    env->ReleaseStringUTFChars(last, chars);
}
