#ifndef VELANDROIDASSETSFILEENGINEHANDLER_H
#define VELANDROIDASSETSFILEENGINEHANDLER_H

#include "velabstractfileengine.h"
#include "velabstractfileenginehandler.h"
#include "velabstractfileengineiterator.h"
#include "velbytearray.h"
#include "velcache.h"
#include "velmutex.h"
#include "velsharedpointer.h"
#include "velstring.h"

#include <android/asset_manager.h>

#include <vector>

// The entry names of one asset directory, in the order Android listed them.
// Built once and never changed, so the handler's cache, directory engines and
// iterators on any thread share one listing without locking.
class AndroidAssetDir
{
public:
    explicit AndroidAssetDir(std::vector<VelString> names);

    const std::vector<VelString> &names() const { return m_names; }
    int count() const { return int(m_names.size()); }
    bool isEmpty() const { return m_names.empty(); }

private:
    const std::vector<VelString> m_names;
};

using AndroidAssetDirRef = VelSharedPointer<const AndroidAssetDir>;

// Walks a shared listing. The host applies the directory and name filters to
// what it yields, so every entry is yielded.
class AndroidAbstractFileEngineIterator : public VelAbstractFileEngineIterator
{
public:
    AndroidAbstractFileEngineIterator(VelDir::Filters filters, const VelStringList &nameFilters,
                                      const VelString &path, const AndroidAssetDirRef &entries);
    ~AndroidAbstractFileEngineIterator() override;

    VelString next() override;
    bool hasNext() const override;
    VelString currentFileName() const override;
    VelFileInfo currentFileInfo() const override;
    VelString currentFilePath() const override;

private:
    const AndroidAssetDirRef m_entries;
    int m_index = -1;
};

// One "assets:/" name: a file engine over an open asset, a directory engine
// over a shared listing, or (for asset names that exist neither way) an
// engine that reports nothing, so that the host never looks such a name up
// on the local file system.
class AndroidAbstractFileEngine : public VelAbstractFileEngine
{
public:
    // Takes ownership of asset. assetName is the name the asset was opened
    // with, so that the engine can open it again after close().
    static AndroidAbstractFileEngine *fileEngine(AAssetManager *manager, AAsset *asset,
                                                 const VelByteArray &assetName,
                                                 const VelString &fileName);
    static AndroidAbstractFileEngine *directoryEngine(const AndroidAssetDirRef &listing,
                                                      const VelString &fileName);
    static AndroidAbstractFileEngine *absentEngine(const VelString &fileName);
    ~AndroidAbstractFileEngine() override;

    bool open(VelIODevice::OpenMode openMode) override;
    bool close() override;
    velint64 size() const override;
    velint64 pos() const override;
    bool seek(velint64 offset) override;
    bool isSequential() const override;
    bool caseSensitive() const override;
    bool isRelativePath() const override;
    FileFlags fileFlags(FileFlags type = FileInfoAll) const override;
    VelString fileName(FileName file = DefaultName) const override;
    void setFileName(const VelString &file) override;
    Iterator *beginEntryList(VelDir::Filters filters, const VelStringList &filterNames) override;
    velint64 read(char *data, velint64 maxlen) override;

private:
    AndroidAbstractFileEngine(AAssetManager *manager, AAsset *asset, const VelByteArray &assetName,
                              const AndroidAssetDirRef &listing, const VelString &fileName);

    bool reopenAsset();
    void closeAsset();

    AAsset *m_assetFile = nullptr;
    AndroidAssetDirRef m_assetDir;
    VelString m_fileName;
    // What a closed file engine needs to open its asset again; cleared when
    // the engine is renamed.
    AAssetManager *const m_assetManager;
    VelByteArray m_assetName;
    // False for an "assets:/" name that is neither an asset nor a directory.
    const bool m_exists;
};

// Claims every name that starts with "assets:/" and serves it from the
// application's packaged assets. Constructing it registers it with the host.
class AndroidAssetsFileEngineHandler : public VelAbstractFileEngineHandler
{
public:
    AndroidAssetsFileEngineHandler();
    ~AndroidAssetsFileEngineHandler() override;

    VelAbstractFileEngine *create(const VelString &fileName) const override;

    // The largest number of directory listings kept.
    int cacheCapacity() const { return m_cacheCapacity; }
    // The number of listings cached now; never above the capacity.
    int cachedListingCount() const;

private:
    AndroidAssetDirRef cachedListing(const VelByteArray &key) const;
    AndroidAssetDirRef readListing(const VelByteArray &directoryPath) const;
    void cacheListing(const VelByteArray &key, const AndroidAssetDirRef &listing) const;

    AAssetManager *const m_assetManager;
    // Listings by full directory name without the trailing "/"; the cache
    // owns one reference per entry, engines and iterators hold their own.
    mutable VelCache<VelByteArray, AndroidAssetDirRef> m_assetsCache;
    const int m_cacheCapacity;
    // Guards m_assetsCache (lookups with their recency update, insertions
    // with eviction). Taken alone: nothing else is locked while it is held,
    // and Android is never called under it.
    mutable VelMutex m_assetsCacheMutex;
};

#endif
