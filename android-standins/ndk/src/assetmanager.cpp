#include <android/asset_manager_jni.h>
#include <velstandin.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

struct AAssetManager {
    std::string root;     // as given by the Java side
    std::string realRoot; // symlinks resolved; empty when the directory does not exist
};

struct AAsset {
    std::vector<char> data;
    size_t position = 0;
};

struct AAssetDir {
    std::vector<std::string> names;
    size_t next = 0;
};

namespace
{

// Guards managers. Taken alone. Never destroyed: an application thread may
// still read its assets while the process runs its exit-time destructors.
std::mutex managersMutex;
std::map<std::string, std::unique_ptr<AAssetManager>> &managers =
    *new std::map<std::string, std::unique_ptr<AAssetManager>>;

std::atomic<long> dirOpenCount{0};

std::string realPath(const std::string &path)
{
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return std::string();
    return resolved;
}

// The relative name with "." and empty parts dropped, or false for a name that
// tries to leave the asset directory: an absolute name or any ".." part.
bool normaliseName(const char *name, std::string *out)
{
    if (!name || name[0] == '/')
        return false;
    std::string result;
    const std::string text(name);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        if (part == "..")
            return false;
        if (!part.empty() && part != ".") {
            if (!result.empty())
                result += '/';
            result += part;
        }
        start = end + 1;
    }
    *out = result;
    return true;
}

// The file system path of an asset name, or empty when the name is refused or
// (through a symbolic link) resolves outside the asset directory.
std::string resolve(const AAssetManager *mgr, const char *name)
{
    std::string relative;
    if (!mgr || mgr->realRoot.empty() || !normaliseName(name, &relative))
        return std::string();
    const std::string path = relative.empty() ? mgr->realRoot : mgr->realRoot + "/" + relative;
    const std::string resolved = realPath(path);
    if (resolved.empty())
        return std::string();
    if (resolved != mgr->realRoot &&
        resolved.compare(0, mgr->realRoot.size() + 1, mgr->realRoot + "/") != 0)
        return std::string();
    return resolved;
}

bool isRegularFile(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

AAssetManager *managerFor(const std::string &root)
{
    std::lock_guard<std::mutex> lock(managersMutex);
    std::unique_ptr<AAssetManager> &slot = managers[root];
    if (!slot) {
        slot.reset(new AAssetManager);
        slot->root = root;
        const std::string real = root.empty() ? std::string() : realPath(root);
        slot->realRoot = isDirectory(real) ? real : std::string();
    }
    return slot.get();
}

} // namespace

extern "C" {

AAssetManager *AAssetManager_fromJava(JNIEnv *env, jobject assetManager)
{
    if (!env || !assetManager)
        return nullptr;
    jclass cls = env->GetObjectClass(assetManager);
    jmethodID getRoot =
        cls ? env->GetMethodID(cls, "getRootDirectory", "()Ljava/lang/String;") : nullptr;
    jstring root =
        getRoot ? static_cast<jstring>(env->CallObjectMethod(assetManager, getRoot)) : nullptr;
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        root = nullptr;
    }
    if (cls)
        env->DeleteLocalRef(cls);
    if (!getRoot)
        return nullptr;
    std::string rootText;
    if (root) {
        const char *chars = env->GetStringUTFChars(root, nullptr);
        if (chars) {
            rootText = chars;
            env->ReleaseStringUTFChars(root, chars);
        }
        env->DeleteLocalRef(root);
    }
    return managerFor(rootText);
}

AAsset *AAssetManager_open(AAssetManager *mgr, const char *filename, int mode)
{
    (void)mode; // every asset is read into memory, which serves all modes
    if (!filename || !*filename)
        return nullptr;
    const std::string path = resolve(mgr, filename);
    if (path.empty() || !isRegularFile(path))
        return nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    std::unique_ptr<AAsset> asset(new AAsset);
    asset->data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return nullptr;
    return asset.release();
}

AAssetManager *velStandinAssetManagerForDirectory(const char *root)
{
    return root ? managerFor(root) : nullptr;
}

long velStandinAssetDirOpenCount(void)
{
    return dirOpenCount.load();
}

AAssetDir *AAssetManager_openDir(AAssetManager *mgr, const char *dirName)
{
    ++dirOpenCount;
    std::string relative;
    if (!mgr || !normaliseName(dirName ? dirName : "", &relative))
        return nullptr;
    std::unique_ptr<AAssetDir> dir(new AAssetDir);
    // Like the device: a directory that does not exist lists nothing, and only
    // files are listed, never subdirectories.
    const std::string path = resolve(mgr, dirName ? dirName : "");
    if (!path.empty() && isDirectory(path)) {
        if (DIR *d = ::opendir(path.c_str())) {
            while (const dirent *entry = ::readdir(d)) {
                const std::string name = entry->d_name;
                if (name == "." || name == "..")
                    continue;
                if (!resolve(mgr, (relative.empty() ? name : relative + "/" + name).c_str())
                         .empty() &&
                    isRegularFile(path + "/" + name))
                    dir->names.push_back(name);
            }
            ::closedir(d);
        }
        std::sort(dir->names.begin(), dir->names.end());
    }
    return dir.release();
}

const char *AAssetDir_getNextFileName(AAssetDir *assetDir)
{
    if (!assetDir || assetDir->next >= assetDir->names.size())
        return nullptr;
    return assetDir->names[assetDir->next++].c_str();
}

void AAssetDir_rewind(AAssetDir *assetDir)
{
    if (assetDir)
        assetDir->next = 0;
}

void AAssetDir_close(AAssetDir *assetDir)
{
    delete assetDir;
}

int AAsset_read(AAsset *asset, void *buf, size_t count)
{
    if (!asset || (!buf && count > 0))
        return -1;
    const size_t left = asset->data.size() - asset->position;
    const size_t n = std::min({count, left, static_cast<size_t>(INT_MAX)});
    std::copy_n(asset->data.data() + asset->position, n, static_cast<char *>(buf));
    asset->position += n;
    return static_cast<int>(n);
}

off64_t AAsset_seek64(AAsset *asset, off64_t offset, int whence)
{
    if (!asset)
        return -1;
    const off64_t length = static_cast<off64_t>(asset->data.size());
    off64_t base = 0;
    switch (whence) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = static_cast<off64_t>(asset->position);
        break;
    case SEEK_END:
        base = length;
        break;
    default:
        return -1;
    }
    // Positions outside the asset are refused and leave the position unchanged.
    if ((offset > 0 && base > length - offset) || (offset < 0 && base < -offset))
        return -1;
    asset->position = static_cast<size_t>(base + offset);
    return base + offset;
}

off_t AAsset_seek(AAsset *asset, off_t offset, int whence)
{
    return static_cast<off_t>(AAsset_seek64(asset, offset, whence));
}

void AAsset_close(AAsset *asset)
{
    delete asset;
}

const void *AAsset_getBuffer(AAsset *asset)
{
    return asset ? asset->data.data() : nullptr;
}

off64_t AAsset_getLength64(AAsset *asset)
{
    return asset ? static_cast<off64_t>(asset->data.size()) : -1;
}

off_t AAsset_getLength(AAsset *asset)
{
    return static_cast<off_t>(AAsset_getLength64(asset));
}

off64_t AAsset_getRemainingLength64(AAsset *asset)
{
    return asset ? static_cast<off64_t>(asset->data.size() - asset->position) : -1;
}

off_t AAsset_getRemainingLength(AAsset *asset)
{
    return static_cast<off_t>(AAsset_getRemainingLength64(asset));
}

int AAsset_isAllocated(AAsset *asset)
{
    return asset ? 1 : 0;
}
}
