#ifndef ANDROIDJNIMAIN_H
#define ANDROIDJNIMAIN_H

#include <android/asset_manager.h>
#include <android/native_window.h>
#include <jni.h>

#include <functional>

class VelAndroidPlatformIntegration;
class VelImage;
class VelPoint;
class VelString;
class VelWindow;

// The process-wide state of the Java bridge and its accessors. Everything the
// other bridge modules need from Java is cached here once by JNI_OnLoad; the
// cached values are written only there (and released by terminateVel), so the
// accessors read them without a lock.
namespace VelAndroid
{

JavaVM *javaVM();
jclass applicationClass();
jobject activity();
AAssetManager *assetManager();

// A companion class loaded through the cached class loader, as a local
// reference; null (with no Java exception left pending) when it is not found.
jclass findClass(const VelString &className, JNIEnv *env);
// A new android.graphics.Bitmap (local reference) holding the image's pixels.
jobject createBitmap(const VelImage &image, JNIEnv *env);
jobject createBitmapDrawable(jobject bitmap, JNIEnv *env);

void setAndroidPlatformIntegration(VelAndroidPlatformIntegration *integration);
VelAndroidPlatformIntegration *androidPlatformIntegration();
VelWindow *topLevelWindowAt(const VelPoint &point);
// Runs work with the integration held where it cannot go away: under the
// surface mutex, which the integration's destructor takes to withdraw itself
// before its screen goes. work gets null when there is no integration; it must
// be short and must not wait for another thread.
void withAndroidPlatformIntegration(
    const std::function<void(VelAndroidPlatformIntegration *)> &work);

const char *classErrorMsgFmt();
const char *methodErrorMsgFmt();
const char *velTagText();

// The native window of the current Android surface; with waitForWindow the
// caller blocks until Java delivers one (a surface without a window does not
// end the wait). The pointer is only good for comparing: Java may release the
// window at any moment.
ANativeWindow *nativeWindow(bool waitForWindow = true);
// The same, with one reference added for the caller (released with
// ANativeWindow_release), taken before Java can release the window.
ANativeWindow *acquireNativeWindow(bool waitForWindow);
// Test seams of nativeWindow(true): the wait hook is called after the waiter
// released the surface mutex and before it waits, the moment a surface may
// arrive unseen; the woken hook right after it woke, before it looks at the
// window again, the moment Java may take the window away. Null (the default)
// calls nothing.
using WindowWaitHook = void (*)();
void setNativeWindowWaitHook(WindowWaitHook hook);
void setNativeWindowWokenHook(WindowWaitHook hook);
int desktopWidthPixels();
int desktopHeightPixels();
double scaledDensity();

// Whether an application's main still runs. A caller that reads false has
// also seen everything the application thread did up to its end (the same
// atomic orders them), which a join through the Java VM does not show to
// ThreadSanitizer.
bool applicationRunning();

void showStatusBar();
void hideStatusBar();
void setApplicationActive();

int androidApiLevel(JNIEnv *env);

} // namespace VelAndroid

// Gives the calling thread a JNI environment for the helper's lifetime,
// attaching the thread when the VM does not know it and detaching it again
// only if this helper attached it. Every Java call from a thread that is not
// a Java thread goes through one.
class ScopedJniEnv
{
public:
    ScopedJniEnv();
    ~ScopedJniEnv();
    ScopedJniEnv(const ScopedJniEnv &) = delete;
    ScopedJniEnv &operator=(const ScopedJniEnv &) = delete;

    JNIEnv *jniEnv() const { return m_env; }
    JNIEnv *operator->() const { return m_env; }
    explicit operator bool() const { return m_env != nullptr; }
    bool attached() const { return m_attached; }

private:
    JNIEnv *m_env = nullptr;
    bool m_attached = false;
};

#endif
