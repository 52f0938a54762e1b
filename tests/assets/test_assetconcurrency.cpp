#include "assetstestsupport.h"

#include "veldir.h"
#include "velfile.h"

#include <atomic>
#include <thread>

namespace
{

class AssetConcurrencyTest : public AssetsTest
{
protected:
    static const int directoryCount = 9; // more than the cache holds
    static const int filesPerDirectory = 4;

    void SetUp() override
    {
        AssetsTest::SetUp();
        for (int d = 0; d < directoryCount; ++d) {
            for (int f = 0; f < filesPerDirectory; ++f)
                writeAsset(fileName(d, f), content(d, f));
        }
    }
    static std::string directoryName(int d) { return "dir" + std::to_string(d); }
    static std::string fileName(int d, int f)
    {
        return directoryName(d) + "/file" + std::to_string(f) + ".txt";
    }
    static std::string content(int d, int f)
    {
        return std::string(size_t(1 + d * filesPerDirectory + f), char('a' + d));
    }

    // One round over every directory and file; returns the number of wrong
    // answers.
    int checkRound(int seed) const
    {
        int faults = 0;
        for (int step = 0; step < directoryCount; ++step) {
            const int d = (seed + step * 5) % directoryCount;
            const std::string dir = "assets:/" + directoryName(d) + ((seed + step) % 2 ? "/" : "");
            const std::unique_ptr<AndroidAbstractFileEngine> engine = engineFor(dir);
            if (!engine || !(engine->fileFlags(VelAbstractFileEngine::DirectoryType) &
                             VelAbstractFileEngine::DirectoryType)) {
                ++faults;
                continue;
            }
            std::unique_ptr<VelAbstractFileEngineIterator> it(
                engine->beginEntryList(VelDir::NoFilter, VelStringList()));
            int f = 0;
            while (it && it->hasNext()) {
                const std::string expected = "file" + std::to_string(f) + ".txt";
                if (it->next().toStdString() != expected)
                    ++faults;
                ++f;
            }
            if (f != filesPerDirectory)
                ++faults;

            const int pick = (seed + step) % filesPerDirectory;
            VelFile file(VelString::fromStdString("assets:/" + fileName(d, pick)));
            if (!file.open(VelIODevice::ReadOnly) ||
                file.readAll().toStdString() != content(d, pick))
                ++faults;
        }
        return faults;
    }
};

TEST_F(AssetConcurrencyTest, CreateFromManyThreadsWhileTheCacheEvicts)
{
    const int threadCount = 6;
    const int rounds = 60;
    std::atomic<int> faults{0};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < threadCount)
                std::this_thread::yield();
            for (int r = 0; r < rounds; ++r)
                faults += checkRound(t * 7 + r);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(faults.load(), 0);

    // The cache is still coherent afterwards: a listing read now is complete.
    EXPECT_EQ(checkRound(0), 0);
}

TEST_F(AssetConcurrencyTest, EnginesOnOtherThreadsShareOneListing)
{
    const auto engine = engineFor("assets:/dir0");
    ASSERT_TRUE(engine);
    std::atomic<int> faults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int r = 0; r < 200; ++r) {
                std::unique_ptr<VelAbstractFileEngineIterator> it(
                    engine->beginEntryList(VelDir::NoFilter, VelStringList()));
                int n = 0;
                while (it && it->hasNext()) {
                    if (it->next().isEmpty())
                        ++faults;
                    ++n;
                }
                if (n != filesPerDirectory)
                    ++faults;
                // Churn the cache so that the shared listing leaves it.
                const std::unique_ptr<AndroidAbstractFileEngine> other =
                    engineFor("assets:/" + directoryName(1 + r % (directoryCount - 1)));
                if (!other)
                    ++faults;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(faults.load(), 0);
}

TEST_F(AssetConcurrencyTest, DirectoryListingsThroughVelDirFromManyThreads)
{
    std::atomic<int> faults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < 40; ++r) {
                const int d = (t + r) % directoryCount;
                const VelDir dir(VelString::fromStdString("assets:/" + directoryName(d)),
                                 VelString("*1.txt;*3.txt"));
                if (toStd(dir.entryList()) != std::vector<std::string>{"file1.txt", "file3.txt"})
                    ++faults;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(faults.load(), 0);
}

TEST_F(AssetConcurrencyTest, CacheHitsAndEvictionsRaceOnlyUnderTheLock)
{
    // Mostly hits (recency updates) on five directories, with an occasional
    // miss on the others forcing evictions: the cache's bookkeeping is
    // changed from every thread at once.
    std::atomic<int> faults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < 4000; ++r) {
                const int d = r % 16 == 0 ? 5 + (t + r / 16) % (directoryCount - 5) : (t + r) % 5;
                const std::unique_ptr<AndroidAbstractFileEngine> engine =
                    engineFor("assets:/" + directoryName(d));
                if (!engine ||
                    engine->fileName().toStdString() != "assets:/" + directoryName(d) + "/")
                    ++faults;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(faults.load(), 0);
}

} // namespace
