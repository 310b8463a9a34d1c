// The window's whole copy run (Copia pressed to the last log line, the log and the gauge painted as the
// user sees them, the final flush to disk included) against cp -r followed by sync -f, side by side on the
// same tree in /tmp with a warm cache, one right after the other. Three trees, chosen by the benchmark's argument:
//   0: 20,000 files of 1-7 KB in 100 folders (about 82 MB);
//   1: 900 files (many of 1-16 KB, 20 of 1-4 MB, two of 64 MB) in 30 folders;
//   2: one file of 2 GiB.
// Each tree is made before its first run and deleted at the end. Median of three runs each.

#include "CopierEnvironment.h"
#include "Prompts.h"
#include "TravasoMain.h"

#include "FileSystem_posix.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <unistd.h>

namespace travaso {

namespace fs = std::filesystem;

namespace {

const std::string kBase = "/tmp/travaso-window-bench-" + std::to_string(getpid());

std::string Source(int tree)
{
    return kBase + "/t" + std::to_string(tree) + "/PROVA/";
}

std::string TargetRoot()
{
    return kBase + "/target";
}

void WriteFile(const std::string& path, std::size_t size, const std::string& block)
{
    std::ofstream out(path, std::ios::binary);
    for (std::size_t left = size; left > 0;) {
        const std::size_t n = std::min(left, block.size());
        out.write(block.data(), std::streamsize(n));
        left -= n;
    }
}

void MakeTree(int tree)
{
    static std::set<int> made;
    if (!made.insert(tree).second)
        return;
    std::mt19937 rng(42);
    std::string block(64 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); i += 512)
        block[i] = char(rng());
    const std::string source = Source(tree);
    fs::create_directories(source);
    WriteFile(source + "travaso", 4096, block);  // stands for the program: measured, never copied
    const auto file = [&](int index, int folders, std::size_t size) {
        const std::string dir = source + "d" + std::to_string(index % folders) + "/";
        fs::create_directories(dir);
        WriteFile(dir + "f" + std::to_string(index), size, block);
    };
    if (tree == 0) {
        for (int i = 0; i < 20'000; ++i)
            file(i, 100, 1024 + rng() % (6 * 1024));
    } else if (tree == 1) {
        int index = 0;
        for (int i = 0; i < 2; ++i)
            file(index++, 30, 64u << 20);
        for (int i = 0; i < 20; ++i)
            file(index++, 30, (1u << 20) + rng() % (3u << 20));
        while (index < 900)
            file(index++, 30, 1024 + rng() % (15 * 1024));
    } else {
        WriteFile(source + "grande.bin", std::size_t(2) << 30, block);
    }
    sync();
    std::system(("cat $(find " + source + " -type f) >/dev/null").c_str());  // warm the cache
}

void ClearTarget()
{
    fs::remove_all(TargetRoot());
    fs::create_directories(TargetRoot());
    sync();  // each run starts without the previous run's writeback pending
}

class CountingPrompts : public Prompts {
public:
    void Message(std::string_view) override { ++boxes; }
    void ErrorBox(std::string_view) override { ++boxes; }
    int boxes = 0;
};

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The window's copy run of one tree; false when it did not complete.
bool WindowCopy(int tree, FileSystem& files, double& seconds)
{
    CountingPrompts prompts;
    CopierEnvironment env;
    env.executablePath = Source(tree) + "travaso";
    env.targetRoot = TargetRoot();
    const SteadyClock clock;
    TForm1 form(env, files, prompts, clock);
    form.show();
    form.FormShow();
    QCoreApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    form.btnCopiaClick();
    seconds = Seconds(start);
    return prompts.boxes == 0 && form.Memo1->toPlainText().endsWith("=== Copia completata ===");
}

// cp -r of the same tree into the same target, then sync -f: what the window's run is held against.
bool CpAndSync(int tree, double& seconds)
{
    const std::string target = TargetRoot() + "/PROVA/";
    const std::string command = "mkdir -p " + target + " && cp -r " + Source(tree) + ". " + target + " && rm " +
                                target + "travaso && sync -f " + target;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = std::system(command.c_str()) == 0;
    seconds = Seconds(start);
    return ok;
}

// Each iteration runs both, one right after the other, so that both meet the same load on a shared machine.
// The time reported is the window's; the counters give both and their ratio.
void BM_WindowCopyAgainstCp(benchmark::State& state)
{
    const int tree = int(state.range(0));
    MakeTree(tree);
    PosixFileSystem files;
    double window = 0, cp = 0;
    for (auto _ : state) {
        ClearTarget();
        if (!WindowCopy(tree, files, window)) {
            state.SkipWithError("the copy did not complete");
            break;
        }
        ClearTarget();
        if (!CpAndSync(tree, cp)) {
            state.SkipWithError("cp or sync failed");
            break;
        }
        state.SetIterationTime(window);
    }
    state.counters["window_s"] = window;
    state.counters["cp_sync_s"] = cp;
    state.counters["ratio"] = cp > 0 ? window / cp : 0;
}
BENCHMARK(BM_WindowCopyAgainstCp)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

}  // namespace travaso

int main(int argc, char** argv)
{
    using namespace travaso;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A runtime folder of its own, so the window's one-copy socket stays inside the benchmark's tree.
    fs::create_directories(kBase + "/run");
    fs::permissions(kBase + "/run", fs::perms::owner_all);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(kBase + "/run"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(kBase);
    return 0;
}
