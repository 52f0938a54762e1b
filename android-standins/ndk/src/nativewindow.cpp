#include <android/log.h>
#include <android/native_window_jni.h>

#include "standinwindows.h"
#include "velstandin.h"

#include <map>
#include <mutex>

// The X11 window id must stay the first member: callers may treat an
// ANativeWindow pointer as a pointer to the id.
struct ANativeWindow {
    unsigned long x11Window;
    int refCount;
    int width;
    int height;
};

namespace
{

// Guards liveWindows and every window's refCount, width and height. Taken alone.
// Never destroyed: an application thread may still hold a window while the
// process runs its exit-time destructors.
std::mutex windowsMutex;
std::map<unsigned long, ANativeWindow *> &liveWindows =
    *new std::map<unsigned long, ANativeWindow *>;

// Whether the pointer is a window that is still alive; never dereferences it.
// Callers hold windowsMutex.
bool isLive(const ANativeWindow *window)
{
    for (const auto &entry : liveWindows) {
        if (entry.second == window)
            return true;
    }
    return false;
}

// A reference operation on a window that was already freed is a fault of the
// caller; it is reported and ignored instead of corrupting memory.
void reportDeadWindow(const char *operation)
{
    __android_log_print(ANDROID_LOG_ERROR, "ANativeWindow", "%s on a window that is not alive",
                        operation);
}

struct SurfaceFields {
    unsigned long window = 0;
    int width = 0;
    int height = 0;
    bool ok = false;
};

SurfaceFields readSurface(JNIEnv *env, jobject surface)
{
    SurfaceFields fields;
    jclass cls = env->GetObjectClass(surface);
    jfieldID windowField = cls ? env->GetFieldID(cls, "mX11Window", "J") : nullptr;
    jfieldID widthField = windowField ? env->GetFieldID(cls, "mWidth", "I") : nullptr;
    jfieldID heightField = widthField ? env->GetFieldID(cls, "mHeight", "I") : nullptr;
    if (heightField) {
        fields.window = static_cast<unsigned long>(env->GetLongField(surface, windowField));
        fields.width = env->GetIntField(surface, widthField);
        fields.height = env->GetIntField(surface, heightField);
        fields.ok = true;
    }
    // An object of another class is simply no surface; leave no exception behind.
    if (env->ExceptionCheck())
        env->ExceptionClear();
    if (cls)
        env->DeleteLocalRef(cls);
    return fields;
}

} // namespace

extern "C" {

ANativeWindow *ANativeWindow_fromSurface(JNIEnv *env, jobject surface)
{
    if (!env || !surface)
        return nullptr;
    const SurfaceFields fields = readSurface(env, surface);
    if (!fields.ok || fields.window == 0)
        return nullptr;
    std::lock_guard<std::mutex> lock(windowsMutex);
    ANativeWindow *&slot = liveWindows[fields.window];
    if (!slot)
        slot = new ANativeWindow{fields.window, 0, 0, 0};
    ++slot->refCount;
    // The same X window announced again may have been resized.
    slot->width = fields.width;
    slot->height = fields.height;
    return slot;
}

void ANativeWindow_acquire(ANativeWindow *window)
{
    if (!window)
        return;
    std::unique_lock<std::mutex> lock(windowsMutex);
    if (!isLive(window)) {
        lock.unlock();
        reportDeadWindow("ANativeWindow_acquire");
        return;
    }
    ++window->refCount;
}

void ANativeWindow_release(ANativeWindow *window)
{
    if (!window)
        return;
    std::unique_lock<std::mutex> lock(windowsMutex);
    if (!isLive(window)) {
        lock.unlock();
        reportDeadWindow("ANativeWindow_release");
        return;
    }
    if (--window->refCount > 0)
        return;
    liveWindows.erase(window->x11Window);
    delete window;
}

int32_t ANativeWindow_getWidth(ANativeWindow *window)
{
    std::lock_guard<std::mutex> lock(windowsMutex);
    if (!window || !isLive(window))
        return -1;
    return window->width;
}

int32_t ANativeWindow_getHeight(ANativeWindow *window)
{
    std::lock_guard<std::mutex> lock(windowsMutex);
    if (!window || !isLive(window))
        return -1;
    return window->height;
}

int32_t ANativeWindow_getFormat(ANativeWindow *window)
{
    return window ? WINDOW_FORMAT_RGBX_8888 : -1;
}

unsigned long velStandinNativeWindowHandle(ANativeWindow *window)
{
    return window ? window->x11Window : 0;
}

unsigned long velStandinLiveWindowId(const void *window)
{
    std::lock_guard<std::mutex> lock(windowsMutex);
    const auto *candidate = static_cast<const ANativeWindow *>(window);
    return candidate && isLive(candidate) ? candidate->x11Window : 0;
}

int velStandinLiveNativeWindowCount(void)
{
    std::lock_guard<std::mutex> lock(windowsMutex);
    return static_cast<int>(liveWindows.size());
}

int velStandinNativeWindowRefCount(ANativeWindow *window)
{
    std::lock_guard<std::mutex> lock(windowsMutex);
    if (!window || !isLive(window))
        return 0;
    return window->refCount;
}
}
