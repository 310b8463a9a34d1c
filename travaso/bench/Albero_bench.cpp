// Copying and measuring a tree of 900 files (many of 1-16 KB, some of 1-4 MB, two of 64 MB) in /tmp,
// warm cache, against cp -r, du -sb and find | wc -l on the same tree. The tree is deleted at the end.
// BM_RunCopy is the window's whole copy run, flush included, against cp -r followed by sync -f.

#include "Albero.h"
#include "CopyJob.h"
#include "FileSystem_posix.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace travaso {

namespace fs = std::filesystem;

namespace {

const std::string kBase = "/tmp/travaso-bench-" + std::to_string(getpid());
const std::string kSource = kBase + "/PROVA/";
const std::string kTarget = kBase + "/target/PROVA/";

void MakeTree()
{
    std::mt19937 rng(42);
    std::string block(64 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); i += 4096)
        block[i] = char(rng());
    const auto write = [&](int index, std::size_t size) {
        const std::string dir = kSource + "d" + std::to_string(index % 30) + "/";
        fs::create_directories(dir);
        std::ofstream(dir + "f" + std::to_string(index), std::ios::binary).write(block.data(), std::streamsize(size));
    };
    int index = 0;
    for (int i = 0; i < 2; ++i)
        write(index++, 64u << 20);
    for (int i = 0; i < 20; ++i)
        write(index++, (1u << 20) + rng() % (3u << 20));
    while (index < 900)
        write(index++, 1024 + rng() % (15 * 1024));
}

MeasureObserver quiet;

// The copy loop without the flush: directories made, files copied in list order.
void CopyTree(const TreeList& tree, CopyMethod method, std::size_t blockSize)
{
    PosixFileSystem files(method, blockSize);
    for (const TreeEntry& e : tree.entries) {
        const std::string source = tree.PathOf(e);
        const std::string target = TargetPathFor(kTarget, source, kSource);
        if (e.kind == EntryKind::Directory)
            fs::create_directories(target);
        else
            CopyFileStream(files, source, target);
    }
}

struct NoSteps : CopyObserver {
    void TargetExisted(const std::string&) override {}
    void DirectoryCreated(const std::string&) override {}
    void FileCopied(const std::string&, std::int64_t, std::int32_t) override {}
};

void ClearTarget(benchmark::State& state)
{
    state.PauseTiming();
    fs::remove_all(kBase + "/target");
    fs::create_directories(kTarget);
    sync();  // each run starts without the previous run's writeback pending
    state.ResumeTiming();
}

void BM_CopyBlocks(benchmark::State& state)
{
    PosixFileSystem files;
    const TreeList tree = BuildTreeList(files, kSource, quiet);
    for (auto _ : state) {
        ClearTarget(state);
        CopyTree(tree, CopyMethod::Blocks, std::size_t(state.range(0)));
    }
}
BENCHMARK(BM_CopyBlocks)->Arg(61440)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CopyKernel(benchmark::State& state)
{
    PosixFileSystem files;
    const TreeList tree = BuildTreeList(files, kSource, quiet);
    for (auto _ : state) {
        ClearTarget(state);
        CopyTree(tree, CopyMethod::KernelCopy, DefaultCopyBlock);
    }
}
BENCHMARK(BM_CopyKernel)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CpR(benchmark::State& state)
{
    const std::string command = "cp -r " + kSource + ". " + kTarget;
    for (auto _ : state) {
        ClearTarget(state);
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp failed");
    }
}
BENCHMARK(BM_CpR)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RunCopy(benchmark::State& state)
{
    PosixFileSystem files;
    const TreeList tree = BuildTreeList(files, kSource, quiet);
    const CopierPaths paths{kSource, kTarget, kBase + "/target", kSource + "no-program"};
    NoSteps steps;
    for (auto _ : state) {
        ClearTarget(state);
        if (RunCopy(files, paths, tree, steps).end != CopyEnd::Completed)
            state.SkipWithError("copy run failed");
    }
}
BENCHMARK(BM_RunCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CpRSync(benchmark::State& state)
{
    const std::string command = "cp -r " + kSource + ". " + kTarget + " && sync -f " + kTarget;
    for (auto _ : state) {
        ClearTarget(state);
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp or sync failed");
    }
}
BENCHMARK(BM_CpRSync)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Measure(benchmark::State& state)
{
    PosixFileSystem files;
    for (auto _ : state) {
        TreeList tree = BuildTreeList(files, kSource, quiet);
        benchmark::DoNotOptimize(SumTreeSizes(files, tree, quiet));
        benchmark::DoNotOptimize(CountTreeFiles(files, kSource, quiet));
    }
}
BENCHMARK(BM_Measure)->Unit(benchmark::kMillisecond);

void BM_DuAndFind(benchmark::State& state)
{
    const std::string command = "du -sb " + kSource + " >/dev/null && find " + kSource + " | wc -l >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("du or find failed");
}
BENCHMARK(BM_DuAndFind)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace travaso

int main(int argc, char** argv)
{
    using namespace travaso;
    benchmark::Initialize(&argc, argv);
    MakeTree();
    fs::create_directories(kTarget);
    std::system(("cat $(find " + kSource + " -type f) >/dev/null").c_str());  // warm the cache
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(kBase);
    return 0;
}
