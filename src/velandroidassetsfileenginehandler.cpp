#include "velandroidassetsfileenginehandler.h"

#include "androidjnimain.h"
#include "velenvironment.h"
#include "velfileinfo.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <utility>

namespace
{

const char assetsPrefix[] = "assets:/";
const int assetsPrefixLength = 8;
const int minimumCacheCapacity = 5;

struct AssetDirCloser {
    void operator()(AAssetDir *dir) const { AAssetDir_close(dir); }
};
using AssetDirHolder = std::unique_ptr<AAssetDir, AssetDirCloser>;

int cacheCapacityFromEnvironment()
{
    // Unset, empty and non-numeric values read as 0 and so give the minimum.
    return std::max(minimumCacheCapacity,
                    velEnvironmentVariableIntValue("VEL_ANDROID_MAX_ASSETS_CACHE_SIZE"));
}

// The part of an "assets:/" name below the assets may not climb out of them:
// no ".." part, no absolute path, no embedded NUL (which would cut the name
// short on its way to Android).
bool staysInsideAssets(const VelString &relativeName)
{
    if (relativeName.startsWith(VelString("/")) || relativeName.contains(VelChar(u'\0')))
        return false;
    const VelStringList parts = relativeName.split(VelChar(u'/'));
    return std::none_of(parts.begin(), parts.end(),
                        [](const VelString &part) { return part == VelString(".."); });
}

VelString withTrailingSlash(const VelString &name)
{
    return name.endsWith(VelString("/")) ? name : name + VelString("/");
}

} // namespace

AndroidAssetDir::AndroidAssetDir(std::vector<VelString> names) : m_names(std::move(names)) {}

AndroidAbstractFileEngineIterator::AndroidAbstractFileEngineIterator(
    VelDir::Filters filters, const VelStringList &nameFilters, const VelString &path,
    const AndroidAssetDirRef &entries)
    : VelAbstractFileEngineIterator(filters, nameFilters), m_entries(entries)
{
    setPath(path);
}

AndroidAbstractFileEngineIterator::~AndroidAbstractFileEngineIterator() = default;

VelString AndroidAbstractFileEngineIterator::next()
{
    if (!hasNext())
        return VelString();
    ++m_index;
    return currentFileName();
}

bool AndroidAbstractFileEngineIterator::hasNext() const
{
    return m_entries && !m_entries->isEmpty() && m_index < m_entries->count() - 1;
}

VelString AndroidAbstractFileEngineIterator::currentFileName() const
{
    if (!m_entries || m_index < 0 || m_index >= m_entries->count())
        return VelString();
    return m_entries->names()[size_t(m_index)];
}

VelFileInfo AndroidAbstractFileEngineIterator::currentFileInfo() const
{
    return VelFileInfo(currentFilePath());
}

VelString AndroidAbstractFileEngineIterator::currentFilePath() const
{
    return path() + currentFileName();
}

AndroidAbstractFileEngine::AndroidAbstractFileEngine(AAssetManager *manager, AAsset *asset,
                                                     const VelByteArray &assetName,
                                                     const AndroidAssetDirRef &listing,
                                                     const VelString &fileName)
    : m_assetFile(asset), m_assetDir(listing), m_fileName(fileName), m_assetManager(manager),
      m_assetName(assetName), m_exists(asset || listing)
{
}

AndroidAbstractFileEngine *AndroidAbstractFileEngine::fileEngine(AAssetManager *manager,
                                                                 AAsset *asset,
                                                                 const VelByteArray &assetName,
                                                                 const VelString &fileName)
{
    return new AndroidAbstractFileEngine(manager, asset, assetName, AndroidAssetDirRef(), fileName);
}

AndroidAbstractFileEngine *
AndroidAbstractFileEngine::directoryEngine(const AndroidAssetDirRef &listing,
                                           const VelString &fileName)
{
    return new AndroidAbstractFileEngine(nullptr, nullptr, VelByteArray(), listing,
                                         withTrailingSlash(fileName));
}

AndroidAbstractFileEngine *AndroidAbstractFileEngine::absentEngine(const VelString &fileName)
{
    return new AndroidAbstractFileEngine(nullptr, nullptr, VelByteArray(), AndroidAssetDirRef(),
                                         fileName);
}

AndroidAbstractFileEngine::~AndroidAbstractFileEngine()
{
    closeAsset();
}

bool AndroidAbstractFileEngine::open(VelIODevice::OpenMode openMode)
{
    // Assets are read-only: a mode that would write must not look successful.
    const VelIODevice::OpenMode writing =
        VelIODevice::WriteOnly | VelIODevice::Append | VelIODevice::Truncate;
    if (m_assetDir || !(openMode & VelIODevice::ReadOnly) || (openMode & writing))
        return false;
    return m_assetFile || reopenAsset();
}

bool AndroidAbstractFileEngine::reopenAsset()
{
    // A file closed by its owner (VelFile::close) can be opened again, from
    // the start, like any other file.
    if (!m_assetManager || m_assetName.isEmpty())
        return false;
    m_assetFile = AAssetManager_open(m_assetManager, m_assetName.constData(), AASSET_MODE_BUFFER);
    return m_assetFile != nullptr;
}

void AndroidAbstractFileEngine::closeAsset()
{
    if (m_assetFile) {
        AAsset_close(m_assetFile);
        m_assetFile = nullptr;
    }
}

bool AndroidAbstractFileEngine::close()
{
    if (!m_assetFile)
        return false;
    closeAsset();
    return true;
}

velint64 AndroidAbstractFileEngine::size() const
{
    return m_assetFile ? velint64(AAsset_getLength(m_assetFile)) : -1;
}

velint64 AndroidAbstractFileEngine::pos() const
{
    return m_assetFile ? velint64(AAsset_seek(m_assetFile, 0, SEEK_CUR)) : -1;
}

bool AndroidAbstractFileEngine::seek(velint64 offset)
{
    if (!m_assetFile)
        return false;
    // Checked here rather than left to Android: a device may move past the
    // end, and an offset wider than off_t would be cut to another position.
    if (offset < 0 || offset > velint64(AAsset_getLength(m_assetFile)))
        return false;
    return velint64(AAsset_seek(m_assetFile, off_t(offset), SEEK_SET)) == offset;
}

bool AndroidAbstractFileEngine::isSequential() const
{
    return false;
}

bool AndroidAbstractFileEngine::caseSensitive() const
{
    return true;
}

bool AndroidAbstractFileEngine::isRelativePath() const
{
    return false;
}

AndroidAbstractFileEngine::FileFlags AndroidAbstractFileEngine::fileFlags(FileFlags type) const
{
    if (!m_exists)
        return 0;
    FileFlags flags = ExistsFlag | ReadOwnerPerm | ReadUserPerm | ReadGroupPerm | ReadOtherPerm;
    if (m_assetFile)
        flags |= FileType;
    if (m_assetDir)
        flags |= DirectoryType;
    return flags & type;
}

VelString AndroidAbstractFileEngine::fileName(FileName file) const
{
    const int slash = m_fileName.lastIndexOf(VelChar(u'/'));
    switch (file) {
    case DefaultName:
    case AbsoluteName:
    case CanonicalName:
        return m_fileName;
    case BaseName:
        return slash < 0 ? m_fileName : m_fileName.mid(slash);
    case PathName:
    case AbsolutePathName:
    case CanonicalPathName:
        return slash < 0 ? m_fileName : m_fileName.left(slash);
    default:
        return VelString();
    }
}

void AndroidAbstractFileEngine::setFileName(const VelString &file)
{
    if (file == m_fileName)
        return;
    m_fileName = withTrailingSlash(file);
    // The asset belongs to the old name; it must not come back under the new.
    m_assetName.clear();
    close();
}

AndroidAbstractFileEngine::Iterator *
AndroidAbstractFileEngine::beginEntryList(VelDir::Filters filters, const VelStringList &filterNames)
{
    if (!m_assetDir)
        return nullptr;
    return new AndroidAbstractFileEngineIterator(filters, filterNames, m_fileName, m_assetDir);
}

velint64 AndroidAbstractFileEngine::read(char *data, velint64 maxlen)
{
    if (!m_assetFile || maxlen < 0 || (!data && maxlen > 0))
        return -1;
    // AAsset_read counts in int.
    const velint64 count = std::min<velint64>(maxlen, INT_MAX);
    return AAsset_read(m_assetFile, data, size_t(count));
}

AndroidAssetsFileEngineHandler::AndroidAssetsFileEngineHandler()
    : m_assetManager(VelAndroid::assetManager()), m_cacheCapacity(cacheCapacityFromEnvironment())
{
    m_assetsCache.setMaxCost(m_cacheCapacity);
    // Installed only now that create() has everything it uses.
    registerHandler();
}

AndroidAssetsFileEngineHandler::~AndroidAssetsFileEngineHandler()
{
    // No create() may run on another thread while the members below go.
    unregisterHandler();
    VelMutexLocker locker(&m_assetsCacheMutex);
    m_assetsCache.clear();
}

VelAbstractFileEngine *AndroidAssetsFileEngineHandler::create(const VelString &fileName) const
{
    if (fileName.isEmpty() || !fileName.startsWith(VelString(assetsPrefix)))
        return nullptr;
    // From here on the name is ours: an asset that does not exist must not
    // fall through to a local "assets:" directory.
    if (!m_assetManager || !staysInsideAssets(fileName.mid(assetsPrefixLength)))
        return AndroidAbstractFileEngine::absentEngine(fileName);

    VelByteArray key;
    if (!fileName.endsWith(VelString("/"))) {
        key = fileName.toUtf8();
        const VelByteArray assetName = key.mid(assetsPrefixLength);
        if (AAsset *asset =
                AAssetManager_open(m_assetManager, assetName.constData(), AASSET_MODE_BUFFER))
            return AndroidAbstractFileEngine::fileEngine(m_assetManager, asset, assetName,
                                                         fileName);
    } else {
        key = fileName.left(fileName.length() - 1).toUtf8();
    }

    if (const AndroidAssetDirRef listing = cachedListing(key))
        return AndroidAbstractFileEngine::directoryEngine(listing, fileName);

    const AndroidAssetDirRef listing = readListing(key.mid(assetsPrefixLength));
    if (!listing)
        return AndroidAbstractFileEngine::absentEngine(fileName);
    cacheListing(key, listing);
    return AndroidAbstractFileEngine::directoryEngine(listing, fileName);
}

int AndroidAssetsFileEngineHandler::cachedListingCount() const
{
    VelMutexLocker locker(&m_assetsCacheMutex);
    return m_assetsCache.count();
}

AndroidAssetDirRef AndroidAssetsFileEngineHandler::cachedListing(const VelByteArray &key) const
{
    VelMutexLocker locker(&m_assetsCacheMutex);
    const AndroidAssetDirRef *cached = m_assetsCache.object(key);
    return cached ? *cached : AndroidAssetDirRef();
}

AndroidAssetDirRef
AndroidAssetsFileEngineHandler::readListing(const VelByteArray &directoryPath) const
{
    const AssetDirHolder dir(AAssetManager_openDir(m_assetManager, directoryPath.constData()));
    if (!dir)
        return AndroidAssetDirRef();
    // An empty directory and an absent one look alike to Android.
    std::vector<VelString> names;
    while (const char *name = AAssetDir_getNextFileName(dir.get()))
        names.push_back(VelString::fromUtf8(name));
    if (names.empty())
        return AndroidAssetDirRef();
    return AndroidAssetDirRef::create(std::move(names));
}

void AndroidAssetsFileEngineHandler::cacheListing(const VelByteArray &key,
                                                  const AndroidAssetDirRef &listing) const
{
    VelMutexLocker locker(&m_assetsCacheMutex);
    m_assetsCache.insert(key, new AndroidAssetDirRef(listing), 1);
}
