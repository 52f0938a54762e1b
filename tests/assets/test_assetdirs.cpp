#include "assetstestsupport.h"

#include "velabstractfileengineiterator.h"
#include "veldir.h"
#include "velenvironment.h"
#include "velfileinfo.h"

#include <algorithm>

namespace
{

using Names = std::vector<std::string>;

class AssetDirsTest : public AssetsTest
{
protected:
    // What the engine for name yields, in its own order; empty when the
    // name is not a directory.
    Names iterate(const std::string &name) const
    {
        Names names;
        const auto engine = engineFor(name);
        if (!engine)
            return names;
        std::unique_ptr<VelAbstractFileEngineIterator> it(
            engine->beginEntryList(VelDir::NoFilter, VelStringList()));
        while (it && it->hasNext())
            names.push_back(it->next().toStdString());
        return names;
    }
    static Names listed(const std::string &dir)
    {
        return toStd(VelDir(VelString::fromStdString(dir)).entryList());
    }
};

TEST_F(AssetDirsTest, RootListsTheTopLevelAssets)
{
    writeAsset("b.txt", "b");
    writeAsset("A.png", "a");
    writeAsset("c.txt", "c");
    writeAsset("sub/inner.txt", "not top level");

    EXPECT_EQ(iterate("assets:/"), (Names{"A.png", "b.txt", "c.txt"}));
    const auto root = engineFor("assets:/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->fileName().toStdString(), "assets:/");

    const VelDir dir(VelString("assets:/"));
    EXPECT_TRUE(dir.exists());
    EXPECT_EQ(toStd(dir.entryList(VelDir::NoFilter, VelDir::Unsorted)),
              (Names{"A.png", "b.txt", "c.txt"}));
    EXPECT_EQ(toStd(dir.entryList(VelDir::Files, VelDir::Name | VelDir::Reversed)),
              (Names{"c.txt", "b.txt", "A.png"}));
    EXPECT_EQ(dir.count(), 3);
    EXPECT_TRUE(VelFileInfo(VelString("assets:/")).isDir());
}

TEST_F(AssetDirsTest, ListsEveryEntryInAndroidsOrder)
{
    writeAsset("one/only.txt", "1");
    EXPECT_EQ(iterate("assets:/one"), (Names{"only.txt"}));
    EXPECT_EQ(listed("assets:/one"), (Names{"only.txt"}));

    Names expected;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "f" + std::to_string(100 + i) + ".dat";
        writeAsset("many/" + name, std::string(size_t(i), 'x'));
        expected.push_back(name);
    }
    EXPECT_EQ(iterate("assets:/many/"), expected);

    // Every entry's info is served through the handler as well.
    const std::vector<VelFileInfo> infos =
        VelDir(VelString("assets:/many")).entryInfoList(VelStringList(), VelDir::Files);
    ASSERT_EQ(infos.size(), expected.size());
    for (const VelFileInfo &info : infos) {
        const std::string name = info.fileName().toStdString();
        EXPECT_EQ(info.filePath().toStdString(), "assets:/many/" + name);
        EXPECT_TRUE(info.isFile()) << name;
        EXPECT_EQ(info.size(), std::stol(name.substr(1, 3)) - 100) << name;
    }
}

TEST_F(AssetDirsTest, HostAppliesNameFiltersAndTypeFilters)
{
    writeAsset("mix/a.txt", "a");
    writeAsset("mix/B.TXT", "b");
    writeAsset("mix/c.png", "c");
    writeAsset("mix/d.json", "d");

    EXPECT_EQ(toStd(VelDir(VelString("assets:/mix"), VelString("*.txt")).entryList()),
              (Names{"a.txt", "B.TXT"}));
    EXPECT_EQ(toStd(VelDir(VelString("assets:/mix/"), VelString("*.png;*.json")).entryList()),
              (Names{"c.png", "d.json"}));
    const VelDir mix(VelString("assets:/mix"));
    EXPECT_EQ(toStd(mix.entryList({VelString("*.txt")}, VelDir::Files | VelDir::CaseSensitive)),
              (Names{"a.txt"}));
    EXPECT_EQ(toStd(mix.entryList({VelString("?.*")}, VelDir::Dirs)), Names{});
    EXPECT_EQ(toStd(mix.entryList({VelString("z*")})), Names{});
}

TEST_F(AssetDirsTest, AbsentAndEmptyDirectoriesYieldNothing)
{
    writeAsset("full/x.txt", "x");
    m_dir.mkdir("assets/empty");
    m_dir.mkdir("assets/onlysub/deeper");
    writeAsset("onlysub/deeper/y.txt", "y");

    for (const char *name : {"assets:/empty", "assets:/empty/", "assets:/nowhere",
                             "assets:/nowhere/", "assets:/onlysub", "assets:/full/x.txt/"}) {
        const auto engine = engineFor(name);
        ASSERT_TRUE(engine) << name;
        EXPECT_EQ(engine->fileFlags(VelAbstractFileEngine::FileInfoAll), 0u) << name;
        EXPECT_EQ(engine->beginEntryList(VelDir::NoFilter, VelStringList()), nullptr) << name;
        EXPECT_FALSE(VelDir(VelString(name)).exists()) << name;
        EXPECT_FALSE(VelFileInfo(VelString(name)).exists()) << name;
    }
    EXPECT_TRUE(VelDir(VelString("assets:/onlysub/deeper")).exists());
    EXPECT_TRUE(VelDir(VelString("assets:/full")).exists());
}

TEST_F(AssetDirsTest, IteratorBounds)
{
    const AndroidAssetDirRef none = AndroidAssetDirRef::create(std::vector<VelString>());
    AndroidAbstractFileEngineIterator empty(VelDir::NoFilter, VelStringList(),
                                            VelString("assets:/e/"), none);
    EXPECT_FALSE(empty.hasNext());
    EXPECT_TRUE(empty.next().isEmpty());
    EXPECT_TRUE(empty.currentFileName().isEmpty());
    EXPECT_EQ(empty.currentFilePath().toStdString(), "assets:/e/");

    const AndroidAssetDirRef two =
        AndroidAssetDirRef::create(std::vector<VelString>{VelString("x"), VelString("y")});
    AndroidAbstractFileEngineIterator it(VelDir::Files, {VelString("*")}, VelString("assets:/d/"),
                                         two);
    EXPECT_EQ(it.path().toStdString(), "assets:/d/");
    EXPECT_EQ(it.filters(), VelDir::Files);
    EXPECT_TRUE(it.currentFileName().isEmpty());
    ASSERT_TRUE(it.hasNext());
    EXPECT_EQ(it.next().toStdString(), "x");
    EXPECT_EQ(it.currentFilePath().toStdString(), "assets:/d/x");
    ASSERT_TRUE(it.hasNext());
    EXPECT_EQ(it.next().toStdString(), "y");
    EXPECT_FALSE(it.hasNext());
    EXPECT_TRUE(it.next().isEmpty());
    EXPECT_EQ(it.currentFileName().toStdString(), "y") << "a step past the end must not move";
    EXPECT_EQ(it.currentFileInfo().filePath().toStdString(), "assets:/d/y");
}

TEST_F(AssetDirsTest, BothSpellingsOfADirectoryShareOneListing)
{
    writeAsset("dir/first.txt", "1");
    const auto plain = engineFor("assets:/dir");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->fileName().toStdString(), "assets:/dir/");

    // A file added now is seen only by a listing read from Android again.
    writeAsset("dir/second.txt", "2");
    const auto slashed = engineFor("assets:/dir/");
    ASSERT_TRUE(slashed);
    EXPECT_EQ(slashed->fileName().toStdString(), "assets:/dir/");
    EXPECT_EQ(iterate("assets:/dir/"), (Names{"first.txt"}));
    EXPECT_EQ(listed("assets:/dir"), (Names{"first.txt"}));
    // The file itself is opened through Android every time.
    EXPECT_TRUE(VelFileInfo(VelString("assets:/dir/second.txt")).isFile());
}

class AssetCacheTest : public AssetDirsTest
{
protected:
    // Lists directories d<first>..d<last>, each holding one file.
    void listDirectories(int first, int last)
    {
        for (int i = first; i <= last; ++i) {
            const std::string dir = "d" + std::to_string(i);
            writeAsset(dir + "/old.txt", "old");
            ASSERT_EQ(iterate("assets:/" + dir), (Names{"old.txt"})) << dir;
        }
    }
    // Adds a file to d<i> and tells whether its listing came from Android.
    bool readAgain(int i)
    {
        const std::string dir = "d" + std::to_string(i);
        writeAsset(dir + "/zz-new.txt", "new");
        return iterate("assets:/" + dir) == Names{"old.txt", "zz-new.txt"};
    }
};

TEST_F(AssetCacheTest, CapacityComesFromTheEnvironmentWithAFloorOfFive)
{
    EXPECT_EQ(m_handler->cacheCapacity(), 5);
    const std::vector<std::pair<const char *, int>> cases = {
        {"3", 5}, {"abc", 5}, {"", 5}, {"-20", 5}, {"5", 5}, {"6", 6}, {"50", 50}, {"12abc", 5}};
    for (const auto &c : cases) {
        ASSERT_TRUE(velputenv("VEL_ANDROID_MAX_ASSETS_CACHE_SIZE", VelByteArray(c.first)));
        recreateHandler();
        EXPECT_EQ(m_handler->cacheCapacity(), c.second) << '"' << c.first << '"';
    }
}

TEST_F(AssetCacheTest, LeastRecentlyUsedListingIsReadAgain)
{
    listDirectories(1, 5);
    ASSERT_FALSE(iterate("assets:/d1").empty()); // d1 is now newer than d2
    listDirectories(6, 6);                       // evicts d2

    for (const int kept : {1, 3, 4, 5, 6})
        EXPECT_FALSE(readAgain(kept)) << "d" << kept << " should still be cached";
    EXPECT_TRUE(readAgain(2)) << "d2 should have been evicted";
}

TEST_F(AssetCacheTest, SixDirectoriesFitWhenTheEnvironmentAllowsFifty)
{
    ASSERT_TRUE(velputenv("VEL_ANDROID_MAX_ASSETS_CACHE_SIZE", VelByteArray("50")));
    recreateHandler();
    listDirectories(1, 6);
    for (int i = 1; i <= 6; ++i)
        EXPECT_FALSE(readAgain(i)) << "d" << i;
}

TEST_F(AssetCacheTest, NonNumericCapacityBehavesAsFive)
{
    ASSERT_TRUE(velputenv("VEL_ANDROID_MAX_ASSETS_CACHE_SIZE", VelByteArray("lots")));
    recreateHandler();
    listDirectories(1, 6); // d1 falls out
    EXPECT_TRUE(readAgain(1));
}

TEST_F(AssetCacheTest, ListingsOutliveTheirCacheEntryAndTheHandler)
{
    writeAsset("keep/a.txt", "a");
    writeAsset("keep/b.txt", "b");
    auto engine = engineFor("assets:/keep");
    ASSERT_TRUE(engine);
    std::unique_ptr<VelAbstractFileEngineIterator> it(
        engine->beginEntryList(VelDir::NoFilter, VelStringList()));
    ASSERT_TRUE(it);

    listDirectories(1, 5); // pushes "assets:/keep" out of the cache
    EXPECT_TRUE(readAgain(1) == false);
    writeAsset("keep/c.txt", "c");
    EXPECT_EQ(iterate("assets:/keep"), (Names{"a.txt", "b.txt", "c.txt"}));

    m_handler.reset();
    engine.reset();
    ASSERT_TRUE(it->hasNext());
    EXPECT_EQ(it->next().toStdString(), "a.txt");
    EXPECT_EQ(it->next().toStdString(), "b.txt");
    EXPECT_FALSE(it->hasNext());
}

} // namespace
