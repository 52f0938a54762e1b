#ifndef VEL_STANDIN_ANDROID_ASSET_MANAGER_JNI_H
#define VEL_STANDIN_ANDROID_ASSET_MANAGER_JNI_H

#include <android/asset_manager.h>
#include <jni.h>

#ifdef __cplusplus
extern "C" {
#endif

// The native manager of an android.content.res.AssetManager; null for null.
// The result lives for the rest of the process.
AAssetManager *AAssetManager_fromJava(JNIEnv *env, jobject assetManager);

#ifdef __cplusplus
}
#endif

#endif
