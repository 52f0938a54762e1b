// The asset file engine against the asset manager beneath it: a directory of
// 1,000 assets listed from the cache and listed cold, and a 1 MiB asset read
// through "assets:/" and read straight from the asset manager. The program
// ends with the two ratios.

#include "velandroidassetsfileenginehandler.h"

#include "velfile.h"

#include <android/asset_manager.h>
#include <benchmark/benchmark.h>
#include <velstandin.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int folderSize = 1000;
constexpr int bigAssetSize = 1 << 20;

// The asset tree for the whole run, removed at the end.
class AssetTree
{
public:
    AssetTree()
    {
        char pattern[] = "/tmp/velbenchassetsXXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        m_root = pattern;
        std::system(("mkdir -p '" + m_root + "/many'").c_str());
        for (int i = 0; i < folderSize; ++i)
            std::ofstream(m_root + "/many/asset" + std::to_string(i) + ".txt") << i;
        std::ofstream big(m_root + "/big.bin", std::ios::binary);
        const std::string chunk(4096, 'x');
        for (int written = 0; written < bigAssetSize; written += int(chunk.size()))
            big << chunk;
        m_manager = velStandinAssetManagerForDirectory(m_root.c_str());
    }
    ~AssetTree() { std::system(("rm -rf '" + m_root + "'").c_str()); }

    AAssetManager *manager() const { return m_manager; }

private:
    std::string m_root;
    AAssetManager *m_manager = nullptr;
};

AssetTree &tree()
{
    static AssetTree t;
    return t;
}

int countEntries(VelAbstractFileEngine *engine)
{
    std::unique_ptr<VelAbstractFileEngine> owned(engine);
    std::unique_ptr<VelAbstractFileEngineIterator> it(
        owned ? owned->beginEntryList(VelDir::NoFilter, VelStringList()) : nullptr);
    int n = 0;
    while (it && it->hasNext()) {
        it->next();
        ++n;
    }
    return n;
}

void BM_ListingCacheHit(benchmark::State &state)
{
    AndroidAssetsFileEngineHandler handler;
    const VelString name("assets:/many");
    countEntries(handler.create(name)); // warm
    for (auto _ : state) {
        std::unique_ptr<VelAbstractFileEngine> engine(handler.create(name));
        benchmark::DoNotOptimize(engine.get());
    }
}

void BM_ListingCold(benchmark::State &state)
{
    const VelString name("assets:/many");
    for (auto _ : state) {
        state.PauseTiming();
        auto handler = std::make_unique<AndroidAssetsFileEngineHandler>();
        state.ResumeTiming();
        std::unique_ptr<VelAbstractFileEngine> engine(handler->create(name));
        benchmark::DoNotOptimize(engine.get());
        engine.reset();
        state.PauseTiming();
        handler.reset();
        state.ResumeTiming();
    }
}

void BM_ReadThroughAssetsScheme(benchmark::State &state)
{
    AndroidAssetsFileEngineHandler handler;
    const VelString name("assets:/big.bin");
    for (auto _ : state) {
        VelFile file(name);
        if (!file.open(VelIODevice::ReadOnly))
            state.SkipWithError("assets:/big.bin did not open");
        const VelByteArray bytes = file.readAll();
        if (bytes.size() != bigAssetSize)
            state.SkipWithError("short read through assets:/");
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * bigAssetSize);
}

void BM_ReadStraightFromAssetManager(benchmark::State &state)
{
    for (auto _ : state) {
        AAsset *asset = AAssetManager_open(tree().manager(), "big.bin", AASSET_MODE_BUFFER);
        if (!asset) {
            state.SkipWithError("big.bin did not open");
            break;
        }
        std::vector<char> bytes(size_t(AAsset_getLength(asset)));
        size_t done = 0;
        while (done < bytes.size()) {
            const int n = AAsset_read(asset, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
        AAsset_close(asset);
        if (done != size_t(bigAssetSize))
            state.SkipWithError("short read from the asset manager");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * bigAssetSize);
}

BENCHMARK(BM_ListingCacheHit);
BENCHMARK(BM_ListingCold)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadThroughAssetsScheme)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadStraightFromAssetManager)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's real and CPU time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const double toNanos = benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                   benchmark::GetTimeUnitMultiplier(run.time_unit);
            m_times[run.run_name.function_name] = {run.GetAdjustedRealTime() * toNanos,
                                                   run.GetAdjustedCPUTime() * toNanos};
        }
    }

    void printRatios() const
    {
        printRatio("listing: cold / cache hit", "BM_ListingCold", "BM_ListingCacheHit",
                   "goal: at least 100x");
        printRatio("1 MiB read: assets:/ / asset manager", "BM_ReadThroughAssetsScheme",
                   "BM_ReadStraightFromAssetManager", "goal: at most 1.2x");
    }

private:
    struct Times {
        double real;
        double cpu;
    };

    void printRatio(const char *what, const char *numerator, const char *denominator,
                    const char *goal) const
    {
        const auto n = m_times.find(numerator);
        const auto d = m_times.find(denominator);
        if (n == m_times.end() || d == m_times.end() || d->second.real <= 0 || d->second.cpu <= 0) {
            std::printf("%s: not measured\n", what);
            return;
        }
        std::printf("%s = %.2fx real time, %.2fx CPU time (%s)\n", what,
                    n->second.real / d->second.real, n->second.cpu / d->second.cpu, goal);
    }

    std::map<std::string, Times> m_times;
};

} // namespace

// The handler takes its asset manager from the bridge; here the bridge is
// this program.
namespace VelAndroid
{
AAssetManager *assetManager()
{
    return tree().manager();
}
} // namespace VelAndroid

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    tree();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
