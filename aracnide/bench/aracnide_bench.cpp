// Figures of the link checker: page scan speed, a whole run against a loopback site next to a plain
// sequential fetch of the same pages, and the cost of adding a link to a long check list.

#include "loopback.h"
#include "pagescan.h"
#include "run.h"
#include "testutil.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <memory>

using namespace aracnide;

namespace {

// About 2 MB of navigation lists: every line holds a link and an image, over 2,000 distinct targets.
std::string LinkDensePage(bool distinct)
{
    std::string page = "<html><head><title>Index</title></head><body><ul>\n";
    for (int i = 0; page.size() < 2 * 1024 * 1024; ++i) {
        const int n = distinct ? i : i % 2000;
        page += "<li class=\"nav\"><a href=\"section" + std::to_string(n % 40) + "/page" + std::to_string(n) +
                ".htm#top\">Page " + std::to_string(n) + "</a> <img src=\"img/icon" + std::to_string(n % 7) +
                ".gif\" alt=\"\"></li>\n";
    }
    return page + "</ul></body></html>\n";
}

void ScanBench(benchmark::State& state, bool distinct)
{
    const std::string page = LinkDensePage(distinct);
    RunContext ctx(nullptr);
    ctx.szBaseDom = "http://host.dom/";
    ctx.CheckStatus = kRunning;
    for (auto _ : state) {
        ctx.LB.ClearList();
        PageState st;
        st.szTmpBHref = "dir/";
        MemoryReader reader(page, {});
        uint32_t size = static_cast<uint32_t>(page.size());
        ScanPage(ctx, st, reader, true, size);
        benchmark::DoNotOptimize(ctx.LB.GetCount());
    }
    state.counters["links"] = ctx.LB.GetCount();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_PageScan(benchmark::State& state) { ScanBench(state, false); }
void BM_PageScanAllLinksNew(benchmark::State& state) { ScanBench(state, true); }
BENCHMARK(BM_PageScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageScanAllLinksNew)->Unit(benchmark::kMillisecond);

// Looking a link up and adding it to a list of n entries.
void BM_AddLink(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    ListModel model;
    ListBox lb(model);
    for (int i = 0; i < n; ++i)
        lb.AddString("section" + std::to_string(i % 40) + "/page" + std::to_string(i) + ".htm\tOk");
    std::vector<std::string> fresh;
    for (int i = 0; i < 1000; ++i)
        fresh.push_back("section" + std::to_string(i % 40) + "/new" + std::to_string(i) + ".htm");
    size_t k = 0;
    for (auto _ : state) {
        const std::string& link = fresh[k];
        if (lb.FindString(link) < 0)
            lb.AddString(link);
        if (++k == fresh.size()) {
            state.PauseTiming();
            for (int i = 0; i < static_cast<int>(fresh.size()); ++i)
                lb.DeleteString(lb.GetCount() - 1);
            k = 0;
            state.ResumeTiming();
        }
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_AddLink)->RangeMultiplier(2)->Range(1250, 20000)->Complexity(benchmark::oLogN);

// A site of 2,000 pages: page i links to its two children in a binary tree, its parent and the first
// ten pages, so a breadth-first walk reaches every page through many duplicate links.
constexpr int kPages = 2000;

std::string SitePage(int i)
{
    std::string page = "<html><body><h1>Page " + std::to_string(i) + "</h1><ul>\n";
    for (int child : {2 * i + 1, 2 * i + 2})
        if (child < kPages)
            page += "<li><a href=\"p" + std::to_string(child) + ".htm\">child " + std::to_string(child) + "</a>\n";
    page += "<li><a href=\"p" + std::to_string(i / 2) + ".htm\">parent</a>\n";
    for (int k = 0; k < 10; ++k)
        page += "<li><a href=\"p" + std::to_string(k) + ".htm\">nav " + std::to_string(k) + "</a>\n";
    page += "</ul><p>" + std::string(1200, 'x') + "</p></body></html>\n";
    return page;
}

LoopbackServer& Site()
{
    static LoopbackServer* srv = [] {
        auto* s = new LoopbackServer;
        s->svr.set_keep_alive_timeout(30);
        s->svr.Get("/", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<a href=\"p0.htm\">start</a>", "text/html");
        });
        s->svr.Get(R"(/p(\d+)\.htm)", [](const httplib::Request& q, httplib::Response& r) {
            const int i = std::stoi(q.matches[1]);
            if (i < kPages)
                r.set_content(SitePage(i), "text/html");
            else
                r.status = 404;
        });
        s->Start();
        return s;
    }();
    return *srv;
}

void BM_RunSite(benchmark::State& state)
{
    LoopbackServer& srv = Site();
    TempDir dir;
    HttpClient client("Aracnide");
    RunContext ctx(&client);
    ctx.reportPath = dir.Path() + "ARACNIDE.LOG";
    for (auto _ : state) {
        RunRequest request;
        request.location = srv.Root();
        Start(ctx, request);
        if (ctx.LB.GetCount() != kPages + 1)
            state.SkipWithError("the run did not reach every page");
    }
    state.counters["pages"] = ctx.LB.GetCount();
}
BENCHMARK(BM_RunSite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

// The floor: one keep-alive curl handle fetching the same URLs one after the other.
void BM_SequentialFetchFloor(benchmark::State& state)
{
    LoopbackServer& srv = Site();
    std::vector<std::string> urls{srv.Root()};
    for (int i = 0; i < kPages; ++i)
        urls.push_back(srv.Url("p" + std::to_string(i) + ".htm"));
    std::unique_ptr<CURL, void (*)(CURL*)> h(curl_easy_init(), curl_easy_cleanup);
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, Discard);
    for (auto _ : state) {
        for (const std::string& url : urls) {
            curl_easy_setopt(h.get(), CURLOPT_URL, url.c_str());
            if (curl_easy_perform(h.get()) != CURLE_OK)
                state.SkipWithError("fetch failed");
        }
    }
}
BENCHMARK(BM_SequentialFetchFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    setenv("no_proxy", "127.0.0.1,localhost", 1);  // the loopback site is reached directly
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
