// Figures of the link checker: page scan speed, a whole run against a loopback site next to a plain
// sequential fetch of the same pages, and the cost of adding a link to a long check list.

#include "cli.h"
#include "loopback.h"
#include "pagescan.h"
#include "run.h"
#include "testutil.h"
#include "version.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

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

// The page handed over from where it lies, so that the figure is the scan's and not a copy of the page.
class ViewReader : public PageReader {
public:
    explicit ViewReader(std::string_view text) : text_(text) {}
    long Read(char* buffer, size_t size, ErrorInfo&) override
    {
        const size_t n = std::min(size, text_.size());
        std::copy_n(text_.data(), n, buffer);
        text_.remove_prefix(n);
        return static_cast<long>(n);
    }

private:
    std::string_view text_;
};

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
        ViewReader reader(page);
        uint32_t size = static_cast<uint32_t>(page.size());
        ScanPage(ctx, st, reader, true, size);
        benchmark::DoNotOptimize(ctx.LB.GetCount());
    }
    state.counters["links"] = ctx.LB.GetCount();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_PageScan(benchmark::State& state)
{
    ScanBench(state, false);
}
void BM_PageScanAllLinksNew(benchmark::State& state)
{
    ScanBench(state, true);
}
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
                lb.Model().Remove(lb.GetCount() - 1);
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

// A 300-page site whose server answers each request after 20 ms, as a modest real server does.
constexpr int kSlowPages = 300;

struct SlowSite {
    LoopbackServer srv;
    std::mutex m;
    std::map<std::string, int> hits;
    SlowSite()
    {
        srv.svr.new_task_queue = [] { return new httplib::ThreadPool(64); };
        srv.svr.set_keep_alive_timeout(30);
        srv.svr.set_pre_routing_handler([this](const httplib::Request& q, httplib::Response&) {
            {
                std::lock_guard lock(m);
                ++hits[q.path];
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return httplib::Server::HandlerResponse::Unhandled;
        });
        // Page i lies in folder d(i % 10); it links to its children by relative links, to its parent by
        // an absolute one and to page i / 3 by a root-relative one, as real sites mix them.
        auto path = [](int i) { return "d" + std::to_string(i % 10) + "/p" + std::to_string(i) + ".htm"; };
        srv.svr.Get("/", [path](const httplib::Request&, httplib::Response& r) {
            r.set_content("<a href=\"" + path(0) + "\">start</a>", "text/html");
        });
        srv.svr.Get(R"(/d\d/p(\d+)\.htm)", [this, path](const httplib::Request& q, httplib::Response& r) {
            const int i = std::stoi(q.matches[1]);
            if (i >= kSlowPages || q.path != "/" + path(i)) {
                r.status = 404;
                return;
            }
            std::string page = "<html><body>";
            for (int child : {2 * i + 1, 2 * i + 2})
                page += "<a href=\"../" + path(child) + "\">child</a>\n";
            page += "<a href=\"" + srv.Url(path(i / 2)) + "\">parent</a>\n";
            page += "<a href=\"/" + path(i / 3) + "\">up</a>\n";
            r.set_content(page + "</body></html>", "text/html");
        });
        srv.Start();
    }
};

SlowSite& Slow()
{
    static SlowSite* site = new SlowSite;
    return *site;
}

// The report after its dated header line.
std::string ReportBody(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    return text.substr(text.find('\n') + 1);
}

void BM_Jobs(benchmark::State& state, std::vector<std::string> extra)
{
    SlowSite& site = Slow();
    TempDir dir;
    static std::map<std::vector<std::string>, std::string> sequential;  // the report of --jobs 1, per flags
    const std::string jobs = std::to_string(state.range(0));
    int requests = 0;
    for (auto _ : state) {
        {
            std::lock_guard lock(site.m);
            site.hits.clear();
        }
        std::vector<std::string> args{"--check", site.srv.Root(), "--report", dir.Path() + "r.log", "--jobs", jobs};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        RunCommandLine(args, kVersion, out, err, false);
        const std::string body = ReportBody(dir.Path() + "r.log");
        if (jobs == "1")
            sequential[extra] = body;
        else if (sequential.count(extra) && sequential[extra] != body)
            state.SkipWithError("the report differs from the report of --jobs 1");
        std::lock_guard lock(site.m);
        requests = 0;
        bool once = true;
        for (const auto& [path, n] : site.hits) {
            requests += n;
            once = once && n == 1;
        }
        state.counters["one_request_per_url"] = once;
    }
    state.counters["requests"] = requests;
}
BENCHMARK_CAPTURE(BM_Jobs, site, std::vector<std::string>{})
    ->Arg(1)
    ->Arg(8)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Jobs, external, std::vector<std::string>{"--external"})
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Jobs, whole_site, std::vector<std::string>{"--whole-site"})
    ->Arg(1)
    ->Arg(8)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

size_t Discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

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
