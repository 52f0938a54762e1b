#include <android/bitmap.h>

namespace
{

struct BitmapFields {
    jint width = 0;
    jint height = 0;
    jint rowBytes = 0;
    jint format = ANDROID_BITMAP_FORMAT_NONE;
};

// Any Java exception raised while reading the bitmap is cleared and reported
// as ANDROID_BITMAP_RESULT_JNI_EXCEPTION, so none is left pending.
int failWithException(JNIEnv *env)
{
    env->ExceptionClear();
    return ANDROID_BITMAP_RESULT_JNI_EXCEPTION;
}

int readFields(JNIEnv *env, jobject bitmap, BitmapFields *out)
{
    jclass cls = env->GetObjectClass(bitmap);
    jfieldID width = env->GetFieldID(cls, "mWidth", "I");
    jfieldID height = width ? env->GetFieldID(cls, "mHeight", "I") : nullptr;
    jfieldID rowBytes = height ? env->GetFieldID(cls, "mRowBytes", "I") : nullptr;
    jfieldID config =
        rowBytes ? env->GetFieldID(cls, "mConfig", "Landroid/graphics/Bitmap$Config;") : nullptr;
    env->DeleteLocalRef(cls);
    if (!config)
        return failWithException(env);
    out->width = env->GetIntField(bitmap, width);
    out->height = env->GetIntField(bitmap, height);
    out->rowBytes = env->GetIntField(bitmap, rowBytes);
    jobject configValue = env->GetObjectField(bitmap, config);
    if (!configValue)
        return ANDROID_BITMAP_RESULT_BAD_PARAMETER;
    jclass configClass = env->GetObjectClass(configValue);
    jfieldID formatField = env->GetFieldID(configClass, "ndkFormat", "I");
    env->DeleteLocalRef(configClass);
    if (!formatField) {
        env->DeleteLocalRef(configValue);
        return failWithException(env);
    }
    out->format = env->GetIntField(configValue, formatField);
    env->DeleteLocalRef(configValue);
    return ANDROID_BITMAP_RESULT_SUCCESS;
}

// Adds delta to the bitmap's lock count under the bitmap's monitor, the lock
// its Java isLocked() takes. Fails when the count would go below zero.
int changeLockCount(JNIEnv *env, jobject bitmap, int delta)
{
    jclass cls = env->GetObjectClass(bitmap);
    jfieldID lockCount = env->GetFieldID(cls, "mLockCount", "I");
    env->DeleteLocalRef(cls);
    if (!lockCount)
        return failWithException(env);
    if (env->MonitorEnter(bitmap) != JNI_OK)
        return failWithException(env);
    const jint count = env->GetIntField(bitmap, lockCount);
    int result = ANDROID_BITMAP_RESULT_SUCCESS;
    if (count + delta < 0)
        result = ANDROID_BITMAP_RESULT_BAD_PARAMETER;
    else
        env->SetIntField(bitmap, lockCount, count + delta);
    env->MonitorExit(bitmap);
    return result;
}

} // namespace

extern "C" {

int AndroidBitmap_getInfo(JNIEnv *env, jobject jbitmap, AndroidBitmapInfo *info)
{
    if (!env || !jbitmap || !info)
        return ANDROID_BITMAP_RESULT_BAD_PARAMETER;
    BitmapFields fields;
    const int result = readFields(env, jbitmap, &fields);
    if (result != ANDROID_BITMAP_RESULT_SUCCESS)
        return result;
    info->width = static_cast<uint32_t>(fields.width);
    info->height = static_cast<uint32_t>(fields.height);
    info->stride = static_cast<uint32_t>(fields.rowBytes);
    info->format = fields.format;
    info->flags = 0;
    return ANDROID_BITMAP_RESULT_SUCCESS;
}

int AndroidBitmap_lockPixels(JNIEnv *env, jobject jbitmap, void **addrPtr)
{
    if (!env || !jbitmap)
        return ANDROID_BITMAP_RESULT_BAD_PARAMETER;
    jclass cls = env->GetObjectClass(jbitmap);
    jfieldID bufferField = env->GetFieldID(cls, "mBuffer", "Ljava/nio/ByteBuffer;");
    env->DeleteLocalRef(cls);
    if (!bufferField)
        return failWithException(env);
    jobject buffer = env->GetObjectField(jbitmap, bufferField);
    void *address = buffer ? env->GetDirectBufferAddress(buffer) : nullptr;
    if (buffer)
        env->DeleteLocalRef(buffer);
    if (!address)
        return ANDROID_BITMAP_RESULT_ALLOCATION_FAILED;
    const int result = changeLockCount(env, jbitmap, +1);
    if (result != ANDROID_BITMAP_RESULT_SUCCESS)
        return result;
    if (addrPtr)
        *addrPtr = address;
    return ANDROID_BITMAP_RESULT_SUCCESS;
}

int AndroidBitmap_unlockPixels(JNIEnv *env, jobject jbitmap)
{
    if (!env || !jbitmap)
        return ANDROID_BITMAP_RESULT_BAD_PARAMETER;
    return changeLockCount(env, jbitmap, -1);
}
}
