// How often directories are listed through Android, under concurrent create()
// calls with the cache full, and what hostile names reach.

#include "assetstestsupport.h"

#include "veldir.h"
#include "velfile.h"

#include <velstandin.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

namespace
{

class AssetListingTest : public AssetsTest
{
protected:
    static const int directoryCount = 9; // the cache holds 5
    static const int filesPerDirectory = 3;

    void SetUp() override
    {
        AssetsTest::SetUp();
        for (int d = 0; d < directoryCount; ++d) {
            for (int f = 0; f < filesPerDirectory; ++f)
                writeAsset(dir(d) + "/f" + std::to_string(f), dir(d) + "-" + std::to_string(f));
        }
        writeAsset("top.txt", "top");
        m_dir.write("secret.txt", "outside the assets");
    }

    static std::string dir(int d) { return "dir" + std::to_string(d); }
    static long opens() { return velStandinAssetDirOpenCount(); }

    // The entries of a directory engine; empty for anything else.
    std::vector<std::string> entries(const std::string &name) const
    {
        std::vector<std::string> out;
        const std::unique_ptr<AndroidAbstractFileEngine> engine = engineFor(name);
        std::unique_ptr<VelAbstractFileEngineIterator> it(
            engine ? engine->beginEntryList(VelDir::NoFilter, VelStringList()) : nullptr);
        while (it && it->hasNext())
            out.push_back(it->next().toStdString());
        return out;
    }

    static std::vector<std::string> expectedEntries()
    {
        std::vector<std::string> out;
        for (int f = 0; f < filesPerDirectory; ++f)
            out.push_back("f" + std::to_string(f));
        return out;
    }

    // Lists directories first..last in order; each must be complete.
    void listAll(int first, int last) const
    {
        for (int d = first; d <= last; ++d)
            ASSERT_EQ(entries("assets:/" + dir(d)), expectedEntries()) << dir(d);
    }

    // Whether asking for a directory now lists it through Android.
    bool listsThroughAndroid(int d) const
    {
        const long before = opens();
        EXPECT_EQ(entries("assets:/" + dir(d)), expectedEntries()) << dir(d);
        return opens() != before;
    }

    // Runs body(t) on count threads released together.
    template <typename Body> static void together(int count, Body body)
    {
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < count; ++t) {
            threads.emplace_back([&, t] {
                ++ready;
                while (ready.load() < count)
                    std::this_thread::yield();
                body(t);
            });
        }
        for (std::thread &thread : threads)
            thread.join();
    }
};

TEST_F(AssetListingTest, EachDirectoryIsListedThroughAndroidOncePerCacheEntry)
{
    const long before = opens();
    for (int round = 0; round < 10; ++round) {
        ASSERT_EQ(entries("assets:/dir0"), expectedEntries());
        ASSERT_EQ(entries("assets:/dir0/"), expectedEntries());
        // The host's own listing, with the info of every entry, and opening a
        // file of the directory go through the cached listing or the asset.
        const VelDir listing(VelString("assets:/dir0"));
        ASSERT_EQ(toStd(listing.entryList()), expectedEntries());
        VelFile file(VelString("assets:/dir0/f1"));
        ASSERT_TRUE(file.open(VelIODevice::ReadOnly));
        ASSERT_EQ(file.readAll().toStdString(), "dir0-1");
    }
    EXPECT_EQ(opens() - before, 1);

    // Five other directories push it out; then it is listed once more, and
    // only once.
    listAll(1, 5);
    EXPECT_EQ(opens() - before, 6);
    EXPECT_TRUE(listsThroughAndroid(0));
    EXPECT_FALSE(listsThroughAndroid(0));
    EXPECT_EQ(opens() - before, 7);
}

TEST_F(AssetListingTest, ConcurrentMissesOnOneNameWithTheCacheFull)
{
    listAll(1, 5);
    ASSERT_EQ(m_handler->cachedListingCount(), 5);
    const int threadCount = 8;
    const long before = opens();
    std::atomic<int> faults{0};
    together(threadCount, [&](int) {
        if (entries("assets:/dir0") != expectedEntries())
            ++faults;
    });
    EXPECT_EQ(faults.load(), 0);
    // Every thread that missed read the directory itself; the replacing
    // insertions of one key evict one entry in all.
    const long listed = opens() - before;
    EXPECT_GE(listed, 1);
    EXPECT_LE(listed, threadCount);
    EXPECT_EQ(m_handler->cachedListingCount(), 5);
    for (int d : {0, 2, 3, 4, 5})
        EXPECT_FALSE(listsThroughAndroid(d)) << dir(d) << " should still be cached";
    EXPECT_TRUE(listsThroughAndroid(1)) << "dir1 was the least recently used";
}

TEST_F(AssetListingTest, ConcurrentMissesOnDifferentNamesWithTheCacheFull)
{
    listAll(0, 4);
    const long before = opens();
    std::atomic<int> faults{0};
    std::atomic<int> overfull{0};
    // Threads 0..3 miss on directories of their own (5..8) while 4..7 hit
    // the cached ones and another thread watches the cache's size.
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        while (!done.load()) {
            if (m_handler->cachedListingCount() > m_handler->cacheCapacity())
                ++overfull;
            std::this_thread::yield();
        }
    });
    together(8, [&](int t) {
        for (int round = 0; round < 20; ++round) {
            const int d = t < 4 ? 5 + t : (t + round) % 5;
            if (entries("assets:/" + dir(d) + (round % 2 ? "/" : "")) != expectedEntries())
                ++faults;
        }
    });
    done = true;
    watcher.join();
    EXPECT_EQ(faults.load(), 0);
    EXPECT_EQ(overfull.load(), 0);
    EXPECT_EQ(m_handler->cachedListingCount(), 5);
    // At least the four new directories were read; never more often than
    // once per request.
    const long listed = opens() - before;
    EXPECT_GE(listed, 4);
    EXPECT_LE(listed, 8 * 20);
}

TEST_F(AssetListingTest, HostileNamesStayInsideTheAssets)
{
    std::set<std::string> assetNames = {"top.txt"};
    for (int d = 0; d < directoryCount; ++d)
        assetNames.insert(dir(d));
    for (const std::string &f : expectedEntries())
        assetNames.insert(f);

    std::string withNul = "assets:/top.txt";
    withNul.push_back('\0');
    withNul += "/../../secret.txt";
    std::string climbing = "assets:/";
    for (int i = 0; i < 2000; ++i)
        climbing += "../";
    std::string deep = "assets:/";
    for (int i = 0; i < 2000; ++i)
        deep += "dir0/";
    const std::vector<std::string> names = {
        "assets://",
        "assets:///",
        "assets://dir0",
        "assets:/dir0//",
        "assets:/dir0//f1",
        "assets:/./dir0/",
        "assets:/dir0/./..",
        "assets:/dir0/../../secret.txt",
        "assets:/" + std::string(5000, 'a'),
        "assets:/" + std::string(5000, '/'),
        climbing,
        deep,
        withNul,
        "assets:/" + m_dir.file("secret.txt"),
    };
    for (const std::string &name : names) {
        const VelString velName = VelString::fromUtf8(name.data(), int(name.size()));
        const std::unique_ptr<AndroidAbstractFileEngine> engine(
            dynamic_cast<AndroidAbstractFileEngine *>(m_handler->create(velName)));
        if (!engine)
            continue;
        const auto flags = engine->fileFlags();
        if (flags & VelAbstractFileEngine::DirectoryType) {
            std::unique_ptr<VelAbstractFileEngineIterator> it(
                engine->beginEntryList(VelDir::NoFilter, VelStringList()));
            while (it && it->hasNext()) {
                const std::string entry = it->next().toStdString();
                EXPECT_TRUE(assetNames.count(entry)) << name.size() << " chars: listed " << entry;
            }
        } else if (flags & VelAbstractFileEngine::FileType) {
            ASSERT_TRUE(engine->open(VelIODevice::ReadOnly));
            char buffer[64] = {};
            const velint64 n = engine->read(buffer, sizeof buffer);
            const std::string content(buffer, size_t(std::max<velint64>(0, n)));
            EXPECT_NE(content, "outside the assets") << name.size() << " chars";
        }
    }
    // A NUL does not cut the name down to the asset before it.
    VelString nulName = VelString("assets:/top.txt");
    nulName.append(VelChar(u'\0'));
    const std::unique_ptr<AndroidAbstractFileEngine> cut = engineFor(nulName.toStdString());
    EXPECT_FALSE(cut && (cut->fileFlags() & VelAbstractFileEngine::FileType));
}

} // namespace
