#ifndef VEL_STANDIN_ANDROID_ASSET_MANAGER_H
#define VEL_STANDIN_ANDROID_ASSET_MANAGER_H

#include <stddef.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

struct AAssetManager;
typedef struct AAssetManager AAssetManager;
struct AAssetDir;
typedef struct AAssetDir AAssetDir;
struct AAsset;
typedef struct AAsset AAsset;

enum {
    AASSET_MODE_UNKNOWN = 0,
    AASSET_MODE_RANDOM = 1,
    AASSET_MODE_STREAMING = 2,
    AASSET_MODE_BUFFER = 3,
};

AAssetDir *AAssetManager_openDir(AAssetManager *mgr, const char *dirName);
AAsset *AAssetManager_open(AAssetManager *mgr, const char *filename, int mode);
const char *AAssetDir_getNextFileName(AAssetDir *assetDir);
void AAssetDir_rewind(AAssetDir *assetDir);
void AAssetDir_close(AAssetDir *assetDir);
int AAsset_read(AAsset *asset, void *buf, size_t count);
off_t AAsset_seek(AAsset *asset, off_t offset, int whence);
off64_t AAsset_seek64(AAsset *asset, off64_t offset, int whence);
void AAsset_close(AAsset *asset);
const void *AAsset_getBuffer(AAsset *asset);
off_t AAsset_getLength(AAsset *asset);
off64_t AAsset_getLength64(AAsset *asset);
off_t AAsset_getRemainingLength(AAsset *asset);
off64_t AAsset_getRemainingLength64(AAsset *asset);
int AAsset_isAllocated(AAsset *asset);

#ifdef __cplusplus
}
#endif

#endif
