#include "standinstestsupport.h"

#include <android/bitmap.h>

#include <cstring>

namespace
{

class BitmapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_env = sharedDriver().env();
        ASSERT_NE(m_env, nullptr);
        m_bitmapClass = m_env->FindClass("android/graphics/Bitmap");
        ASSERT_NE(m_bitmapClass, nullptr);
    }
    void TearDown() override
    {
        setRowAlignment(1);
        m_env->DeleteLocalRef(m_bitmapClass);
    }

    jobject createBitmap(int width, int height, const char *config)
    {
        jclass configClass = m_env->FindClass("android/graphics/Bitmap$Config");
        jfieldID field =
            m_env->GetStaticFieldID(configClass, config, "Landroid/graphics/Bitmap$Config;");
        jobject value = m_env->GetStaticObjectField(configClass, field);
        jmethodID create = m_env->GetStaticMethodID(
            m_bitmapClass, "createBitmap",
            "(IILandroid/graphics/Bitmap$Config;)Landroid/graphics/Bitmap;");
        jobject bitmap = m_env->CallStaticObjectMethod(m_bitmapClass, create, width, height, value);
        m_env->DeleteLocalRef(value);
        m_env->DeleteLocalRef(configClass);
        return bitmap;
    }

    void setRowAlignment(int bytes)
    {
        jmethodID set = m_env->GetStaticMethodID(m_bitmapClass, "setRowAlignment", "(I)V");
        m_env->CallStaticVoidMethod(m_bitmapClass, set, bytes);
    }

    bool isLocked(jobject bitmap)
    {
        jmethodID method = m_env->GetMethodID(m_bitmapClass, "isLocked", "()Z");
        return m_env->CallBooleanMethod(bitmap, method) == JNI_TRUE;
    }

    std::vector<unsigned char> javaBytes(jobject bitmap)
    {
        jmethodID method = m_env->GetMethodID(m_bitmapClass, "copyPixelBytes", "()[B");
        jbyteArray array = static_cast<jbyteArray>(m_env->CallObjectMethod(bitmap, method));
        std::vector<unsigned char> bytes(static_cast<size_t>(m_env->GetArrayLength(array)));
        m_env->GetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()),
                                  reinterpret_cast<jbyte *>(bytes.data()));
        m_env->DeleteLocalRef(array);
        return bytes;
    }

    JNIEnv *m_env = nullptr;
    jclass m_bitmapClass = nullptr;
};

} // namespace

TEST_F(BitmapTest, InfoOfBothFormatsWithTightRows)
{
    jobject argb = createBitmap(5, 3, "ARGB_8888");
    jobject rgb16 = createBitmap(5, 3, "RGB_565");
    ASSERT_NE(argb, nullptr);
    ASSERT_NE(rgb16, nullptr);
    AndroidBitmapInfo info{};
    ASSERT_EQ(AndroidBitmap_getInfo(m_env, argb, &info), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_EQ(info.width, 5u);
    EXPECT_EQ(info.height, 3u);
    EXPECT_EQ(info.stride, 20u);
    EXPECT_EQ(info.format, ANDROID_BITMAP_FORMAT_RGBA_8888);
    ASSERT_EQ(AndroidBitmap_getInfo(m_env, rgb16, &info), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_EQ(info.stride, 10u);
    EXPECT_EQ(info.format, ANDROID_BITMAP_FORMAT_RGB_565);
    m_env->DeleteLocalRef(argb);
    m_env->DeleteLocalRef(rgb16);
}

TEST_F(BitmapTest, RowAlignmentGivesAStrideWiderThanTheRow)
{
    setRowAlignment(8);
    jobject argb = createBitmap(3, 2, "ARGB_8888");
    jobject rgb16 = createBitmap(3, 2, "RGB_565");
    AndroidBitmapInfo info{};
    ASSERT_EQ(AndroidBitmap_getInfo(m_env, argb, &info), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_EQ(info.stride, 16u) << "12 bytes padded to 8";
    ASSERT_EQ(AndroidBitmap_getInfo(m_env, rgb16, &info), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_EQ(info.stride, 8u) << "6 bytes padded to 8";
    m_env->DeleteLocalRef(argb);
    m_env->DeleteLocalRef(rgb16);
}

TEST_F(BitmapTest, LockedPixelsAreTheJavaBitmapsOwnStorage)
{
    setRowAlignment(8);
    jobject bitmap = createBitmap(3, 2, "RGB_565");
    AndroidBitmapInfo info{};
    ASSERT_EQ(AndroidBitmap_getInfo(m_env, bitmap, &info), ANDROID_BITMAP_RESULT_SUCCESS);
    void *pixels = nullptr;
    ASSERT_EQ(AndroidBitmap_lockPixels(m_env, bitmap, &pixels), ANDROID_BITMAP_RESULT_SUCCESS);
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(isLocked(bitmap));
    // Write each row's pixels, leaving the padding alone, as a stride-aware
    // copy does.
    for (uint32_t y = 0; y < info.height; ++y) {
        unsigned char *row = static_cast<unsigned char *>(pixels) + y * info.stride;
        for (uint32_t i = 0; i < info.width * 2; ++i)
            row[i] = static_cast<unsigned char>(0x10 * (y + 1) + i);
    }
    ASSERT_EQ(AndroidBitmap_unlockPixels(m_env, bitmap), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_FALSE(isLocked(bitmap));
    const std::vector<unsigned char> bytes = javaBytes(bitmap);
    const std::vector<unsigned char> expected = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0, 0,
                                                 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0, 0};
    EXPECT_EQ(bytes, expected);
    m_env->DeleteLocalRef(bitmap);
}

TEST_F(BitmapTest, LocksNestAndAnUnmatchedUnlockIsRefused)
{
    jobject bitmap = createBitmap(2, 2, "ARGB_8888");
    ASSERT_EQ(AndroidBitmap_unlockPixels(m_env, bitmap), ANDROID_BITMAP_RESULT_BAD_PARAMETER);
    ASSERT_EQ(AndroidBitmap_lockPixels(m_env, bitmap, nullptr), ANDROID_BITMAP_RESULT_SUCCESS);
    ASSERT_EQ(AndroidBitmap_lockPixels(m_env, bitmap, nullptr), ANDROID_BITMAP_RESULT_SUCCESS);
    ASSERT_EQ(AndroidBitmap_unlockPixels(m_env, bitmap), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_TRUE(isLocked(bitmap));
    ASSERT_EQ(AndroidBitmap_unlockPixels(m_env, bitmap), ANDROID_BITMAP_RESULT_SUCCESS);
    EXPECT_FALSE(isLocked(bitmap));
    m_env->DeleteLocalRef(bitmap);
}

TEST_F(BitmapTest, BadArgumentsFailWithoutLeavingAnException)
{
    jobject bitmap = createBitmap(2, 2, "ARGB_8888");
    AndroidBitmapInfo info{};
    void *pixels = nullptr;
    EXPECT_EQ(AndroidBitmap_getInfo(m_env, nullptr, &info), ANDROID_BITMAP_RESULT_BAD_PARAMETER);
    EXPECT_EQ(AndroidBitmap_getInfo(m_env, bitmap, nullptr), ANDROID_BITMAP_RESULT_BAD_PARAMETER);
    EXPECT_EQ(AndroidBitmap_getInfo(nullptr, bitmap, &info), ANDROID_BITMAP_RESULT_BAD_PARAMETER);
    EXPECT_EQ(AndroidBitmap_lockPixels(m_env, nullptr, &pixels),
              ANDROID_BITMAP_RESULT_BAD_PARAMETER);
    EXPECT_EQ(AndroidBitmap_unlockPixels(m_env, nullptr), ANDROID_BITMAP_RESULT_BAD_PARAMETER);

    jstring notABitmap = m_env->NewStringUTF("x");
    EXPECT_EQ(AndroidBitmap_getInfo(m_env, notABitmap, &info), ANDROID_BITMAP_RESULT_JNI_EXCEPTION);
    EXPECT_FALSE(m_env->ExceptionCheck());
    EXPECT_EQ(AndroidBitmap_lockPixels(m_env, notABitmap, &pixels),
              ANDROID_BITMAP_RESULT_JNI_EXCEPTION);
    EXPECT_FALSE(m_env->ExceptionCheck());
    EXPECT_EQ(pixels, nullptr);
    m_env->DeleteLocalRef(notABitmap);
    m_env->DeleteLocalRef(bitmap);
}
