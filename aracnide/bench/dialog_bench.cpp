// The dialog against the command line on a 50,000-page local site: the same run, once without a window
// and once in the dialog (offscreen), with the dialog's list repaints counted and spaced.

#include "cli.h"
#include "dlgcheck.h"
#include "general.h"
#include "prompts.h"
#include "settings.h"
#include "testutil.h"
#include "version.h"
#include "windowlist.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

using namespace aracnide;

namespace {

constexpr int kPages = 50000;

// Page i links to its two children in a binary tree, its parent and the first five pages.
void WriteSite(const TempDir& site)
{
    for (int i = 0; i < kPages; ++i) {
        std::string page = "<html><body><h1>Page " + std::to_string(i) + "</h1>\n";
        for (int child : {2 * i + 1, 2 * i + 2})
            if (child < kPages)
                page += "<a href=\"p" + std::to_string(child) + ".htm\">child</a>\n";
        page += "<a href=\"p" + std::to_string(i / 2) + ".htm\">parent</a>\n";
        for (int k = 0; k < 5; ++k)
            page += "<a href=\"p" + std::to_string(k) + ".htm\">nav</a>\n";
        page += "<p>" + std::string(200, 'x') + "</p></body></html>\n";
        std::ofstream(site.Path() + "p" + std::to_string(i) + ".htm", std::ios::binary) << page;
    }
}

class NoPrompts : public Prompts {
public:
    void Message(QWidget*, const QString&, const QString&) override {}
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    void OpenReport(const QString&) override {}
    void OpenUrl(const QString&) override {}
};

class NoWindows : public WindowLister {
public:
    std::vector<WindowInfo> TopLevel() override { return {}; }
    std::vector<WindowInfo> Children(uint32_t) override { return {}; }
};

// Counts the paints of a widget while a run goes on, and the shortest time between two of them (the
// paints of the run's start and end, which show a change of state at once, left out).
class PaintMeter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && clock.isValid())
            times.push_back(clock.nsecsElapsed() / 1e6);
        return false;
    }
    void Start() { clock.start(); }
    int Paints() const { return static_cast<int>(times.size()); }
    double ShortestGap() const
    {
        double shortest = 1e9;
        for (size_t i = 2; i + 1 < times.size(); ++i)
            shortest = std::min(shortest, times[i] - times[i - 1]);
        return shortest;
    }
    std::vector<double> times;
    QElapsedTimer clock;
};

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void BM_DialogAgainstCommandLine(benchmark::State& state)
{
    TempDir site, work;
    WriteSite(site);
    const std::string start = site.Path() + "p0.htm";
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        double cpu = CpuSeconds();
        std::ostringstream out, err;
        RunCommandLine({"--check", start, "--report", work.Path() + "cli.log"}, kVersion, out, err, false);
        const double cli = t.nsecsElapsed() / 1e9;
        const double cliCpu = CpuSeconds() - cpu;

        HttpClient client("Aracnide");
        RunContext ctx(&client);
        ctx.reportPath = work.Path() + "ARACNIDE.LOG";
        Profile ini = SettingsProfile(work.Path() + "ARACNIDE.INI");
        NoPrompts prompts;
        NoWindows windows;
        DlgCheck dlg(ctx, ini, prompts, windows, QString::fromLatin1(kVersion));
        dlg.show();
        PaintMeter list, gauge;
        dlg.findChild<QListView*>(QStringLiteral("c300"))->viewport()->installEventFilter(&list);
        dlg.findChild<QWidget*>(QStringLiteral("c80"))->installEventFilter(&gauge);
        dlg.findChild<QComboBox*>(QStringLiteral("c100"))->setEditText(QString::fromStdString(start));
        QApplication::processEvents();
        list.Start();
        gauge.Start();
        t.start();
        cpu = CpuSeconds();
        dlg.Command(kIdStart);
        const double dialog = t.nsecsElapsed() / 1e9;
        const double dialogCpu = CpuSeconds() - cpu;
        if (ctx.model.Count() != kPages)
            state.SkipWithError("the run did not reach every page");

        state.SetIterationTime(dialog);
        state.counters["cli_s"] = cli;
        state.counters["dialog_s"] = dialog;
        state.counters["ratio"] = dialog / cli;
        state.counters["cli_cpu_s"] = cliCpu;
        state.counters["dialog_cpu_s"] = dialogCpu;
        state.counters["cpu_ratio"] = dialogCpu / cliCpu;
        state.counters["list_paints"] = list.Paints();
        state.counters["list_min_gap_ms"] = list.ShortestGap();
        state.counters["gauge_paints"] = gauge.Paints();
        state.counters["gauge_min_gap_ms"] = gauge.ShortestGap();
    }
}
BENCHMARK(BM_DialogAgainstCommandLine)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

// The dialog against the command line on a web site whose answers are slow (the latency benchmark's
// site, its URL in ARACNIDE_BENCH_URL; aracnide/bench/latency-peers.sh with DIALOG=1 sets it): both in
// this process, with the dialog's settings (no --whole-site). Registered only when the URL is given.
void BM_DialogOnSlowSite(benchmark::State& state, const char* url)
{
    TempDir work;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        std::ostringstream out, err;
        RunCommandLine({"--check", url, "--report", work.Path() + "cli.log"}, kVersion, out, err, false);
        const double cli = t.nsecsElapsed() / 1e9;

        HttpClient client("Aracnide");
        RunContext ctx(&client);
        ctx.reportPath = work.Path() + "ARACNIDE.LOG";
        Profile ini = SettingsProfile(work.Path() + "ARACNIDE.INI");
        NoPrompts prompts;
        NoWindows windows;
        DlgCheck dlg(ctx, ini, prompts, windows, QString::fromLatin1(kVersion));
        dlg.show();
        dlg.findChild<QComboBox*>(QStringLiteral("c100"))->setEditText(QString::fromUtf8(url));
        QApplication::processEvents();
        t.start();
        dlg.Command(kIdStart);
        const double dialog = t.nsecsElapsed() / 1e9;
        if (work.Read("cli.log").substr(work.Read("cli.log").find('\n')) !=
            work.Read("ARACNIDE.LOG").substr(work.Read("ARACNIDE.LOG").find('\n')))
            state.SkipWithError("the dialog's report differs from the command line's");

        state.SetIterationTime(dialog);
        state.counters["cli_s"] = cli;
        state.counters["dialog_s"] = dialog;
        state.counters["ratio"] = dialog / cli;
        state.counters["entries"] = ctx.model.Count();
    }
}

// What one yield costs when nothing is waiting.
void BM_IdleYield(benchmark::State& state)
{
    HttpClient client("Aracnide");
    RunContext ctx(&client);
    TempDir work;
    Profile ini = SettingsProfile(work.Path() + "ARACNIDE.INI");
    NoPrompts prompts;
    NoWindows windows;
    DlgCheck dlg(ctx, ini, prompts, windows, QString::fromLatin1(kVersion));
    dlg.show();
    QApplication::processEvents();
    for (auto _ : state)
        ctx.Yield();
}
BENCHMARK(BM_IdleYield);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const char* url = std::getenv("ARACNIDE_BENCH_URL"))
        benchmark::RegisterBenchmark("BM_DialogOnSlowSite", BM_DialogOnSlowSite, url)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1)
            ->Repetitions(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
