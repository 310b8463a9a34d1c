// The command line on real sites: requests in flight at once with the report of one job, the whole-site
// rule, the JSON output with every referrer, the broken links in the summary, the image-size cache.

#include "cli.h"
#include "loopback.h"
#include "run.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

using namespace aracnide;

namespace {

// A site served after a short delay per request, with redirects, a 401, a base tag, broken images and
// a chain of levels; it counts the requests of each path.
class Site {
public:
    explicit Site(std::chrono::milliseconds delay = std::chrono::milliseconds(5))
    {
        srv.svr.new_task_queue = [] { return new httplib::ThreadPool(32); };
        srv.svr.set_pre_routing_handler([this, delay](const httplib::Request& q, httplib::Response&) {
            {
                std::lock_guard lock(m);
                ++hits[q.path];
            }
            std::this_thread::sleep_for(delay);
            return httplib::Server::HandlerResponse::Unhandled;
        });
        Page("/",
             R"(<a href="a.htm"> <a href="b.htm"> <a href="r1.htm"> <a href="r2.htm"> <a href="private.htm">)"
             R"( <a href="img.htm"> <a href="img2.htm"> <a href="d1.htm"> <a href="based.htm"> <a href="gone.htm">)");
        Page("/a.htm", R"(<a href="b.htm"> <a href="gone.htm"> <img src="logo.gif"> <img src="nologo.gif">)");
        Page("/b.htm", R"(<a href="a.htm"> <a href="sub/c.htm">)");
        Page("/sub/c.htm", R"(<a href="../a.htm"> <a href="d.htm">)");
        Page("/img.htm", R"(<img src="logo.gif"> <img src="nologo.gif"> <img src="/sub/pic.png">)");
        Page("/img2.htm", R"(<img src="logo.gif"> <img src="sub/pic.png">)");
        Page("/d1.htm", R"(<a href="d2.htm">)");
        Page("/d2.htm", R"(<a href="d3.htm">)");
        Page("/d3.htm", R"(<a href="d4.htm"> <a href="gone.htm">)");
        Page("/d4.htm", R"(<img src="sub/../logo.gif"> <img src="./nologo.gif">)");
        Page("/based.htm", R"(<base href="/sub/"> <a href="e.htm"> <a href="c.htm">)");
        srv.svr.Get("/logo.gif", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(std::string(3000, 'g'), "image/gif");
        });
        srv.svr.Get("/sub/pic.png", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(std::string(700, 'p'), "image/png");
        });
        srv.svr.Get("/r1.htm", [](const httplib::Request&, httplib::Response& r) {
            r.status = 301;
            r.set_header("Location", "/a.htm");
        });
        srv.svr.Get("/r2.htm", [](const httplib::Request&, httplib::Response& r) {
            r.status = 302;
            r.set_header("Location", "/nowhere.htm");
        });
        srv.svr.Get("/private.htm", [](const httplib::Request& q, httplib::Response& r) {
            if (q.get_header_value("Authorization") == "Basic dXNlcjpzZWNyZXQ=")
                r.set_content("<a href=\"a.htm\">", "text/html");
            else
                r.status = 401;
        });
        srv.Start();
    }
    void Page(const std::string& path, const std::string& html)
    {
        srv.svr.Get(path, [html](const httplib::Request&, httplib::Response& r) { r.set_content(html, "text/html"); });
    }
    std::map<std::string, int> Hits()
    {
        std::lock_guard lock(m);
        return hits;
    }
    void ClearHits()
    {
        std::lock_guard lock(m);
        hits.clear();
    }

    LoopbackServer srv;
    std::mutex m;
    std::map<std::string, int> hits;
};

struct CliRun {
    int status;
    std::string out, err, report;
};

class SiteCheck : public testing::Test {
protected:
    CliRun Check(std::vector<std::string> flags)
    {
        dir.Write("pw", "secret\n");
        std::vector<std::string> args{"--check", site.srv.Root(), "--report",        dir.Path() + "r.log",
                                      "--user",  "user",          "--password-file", dir.Path() + "pw"};
        args.insert(args.end(), flags.begin(), flags.end());
        std::ostringstream out, err;
        const int status = RunCommandLine(args, "1.20", out, err, false);
        std::string report = dir.Read("r.log");
        report.erase(0, report.find('\n') + 1);  // the header's date differs from run to run
        return {status, out.str(), err.str(), report};
    }

    TempDir dir;
    Site site;
};

TEST_F(SiteCheck, ManyJobsWriteTheReportOfOne)
{
    for (const std::vector<std::string>& flags : {std::vector<std::string>{"--all", "--sizes"},
                                                  std::vector<std::string>{},
                                                  {"--external", "--max-level", "3"}}) {
        std::vector<std::string> one = flags;
        one.insert(one.end(), {"--jobs", "1"});
        const CliRun sequential = Check(one);
        ASSERT_NE(sequential.report.find("Status: 401"), std::string::npos);
        for (const char* jobs : {"4", "16"}) {
            std::vector<std::string> many = flags;
            many.insert(many.end(), {"--jobs", jobs});
            const CliRun concurrent = Check(many);
            EXPECT_EQ(concurrent.report, sequential.report) << "--jobs " << jobs;
            EXPECT_EQ(concurrent.out, sequential.out) << "--jobs " << jobs;
            EXPECT_EQ(concurrent.status, sequential.status);
        }
    }
}

TEST_F(SiteCheck, RequestsGoOutAheadOfTheList)
{
    // Ten pages that answer after 100 ms: one job takes a second, eight overlap their waits. Counted
    // as the most requests the server had at once, not as time.
    std::atomic<int> now{0}, most{0};
    LoopbackServer slow;
    slow.svr.new_task_queue = [] { return new httplib::ThreadPool(16); };
    std::string index;
    for (int i = 0; i < 10; ++i)
        index += "<a href=\"p" + std::to_string(i) + ".htm\">";
    slow.svr.Get("/", [&](const httplib::Request&, httplib::Response& r) { r.set_content(index, "text/html"); });
    slow.svr.Get(R"(/p\d+\.htm)", [&](const httplib::Request&, httplib::Response& r) {
        const int n = ++now;
        for (int m = most; n > m && !most.compare_exchange_weak(m, n);) {}
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        --now;
        r.set_content("x", "text/html");
    });
    slow.Start();
    std::ostringstream out, err;
    RunCommandLine({"--check", slow.Root(), "--report", dir.Path() + "s.log", "--jobs", "8"}, "1.20", out, err, false);
    EXPECT_EQ(out.str(), "11 checked, 0 broken, 0 skipped\n");
    EXPECT_GE(most.load(), 4);
    EXPECT_LE(most.load(), 8);
}

TEST_F(SiteCheck, TheWholeSiteIsLocalWhateverTheFormOfItsLinks)
{
    LoopbackServer s;
    s.svr.set_pre_routing_handler([this](const httplib::Request& q, httplib::Response&) {
        std::lock_guard lock(site.m);
        ++site.hits["w" + q.path];
        return httplib::Server::HandlerResponse::Unhandled;
    });
    std::string root;  // filled once the port is known
    s.svr.Get("/", [&](const httplib::Request&, httplib::Response& r) { r.set_content(root, "text/html"); });
    s.svr.Get("/dir/a.htm", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content("<a href=\"" + s.Url("dir/b.htm") + "\"> <a href=\"/\"> <a href=\"../dir/a.htm\">", "text/html");
    });
    s.svr.Get("/dir/b.htm", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content("<a href=\"/dir/c.htm\"> <a href=\"http://127.0.0.1:" + std::to_string(s.port()) +
                          "/dir/a.htm\">",
                      "text/html");
    });
    s.svr.Get("/dir/c.htm", [](const httplib::Request&, httplib::Response& r) { r.set_content("c", "text/html"); });
    s.Start();
    root = "<a href=\"" + s.Url("dir/a.htm") + "\"> <a href=\"/dir/b.htm\"> <a href=\"dir/c.htm\">";
    std::ostringstream out, err;
    const int status = RunCommandLine({"--check", s.Root(), "--report", dir.Path() + "w.log", "--whole-site", "--json",
                                       dir.Path() + "w.json"},
                                      "1.20", out, err, false);
    EXPECT_EQ(status, kCliClean);
    EXPECT_EQ(out.str(), "4 checked, 0 broken, 0 skipped\n");
    const auto hits = site.Hits();
    EXPECT_EQ(hits, (std::map<std::string, int>{{"w/", 1}, {"w/dir/a.htm", 1}, {"w/dir/b.htm", 1}, {"w/dir/c.htm", 1}}))
        << "one request per page, each page explored";
    const auto json = nlohmann::json::parse(dir.Read("w.json"));
    ASSERT_EQ(json.size(), 4u);
    EXPECT_EQ(json[1]["url"], s.Url("dir/a.htm")) << "stored relative to the base, checked on it";
}

TEST_F(SiteCheck, JsonHasOneObjectPerCheckedUrlWithEveryReferrer)
{
    const CliRun run = Check({"--json", dir.Path() + "out.json", "--sizes"});
    EXPECT_EQ(run.status, kCliBroken);
    const auto json = nlohmann::json::parse(dir.Read("out.json"));
    ASSERT_TRUE(json.is_array());
    std::map<std::string, nlohmann::json> byUrl;
    for (const auto& o : json)
        byUrl[o["url"].get<std::string>()] = o;
    const std::string root = site.srv.Root();
    ASSERT_TRUE(byUrl.count(root + "gone.htm"));
    const auto& gone = byUrl[root + "gone.htm"];
    EXPECT_EQ(gone["result"], 404);
    EXPECT_EQ(gone["referrers"], (nlohmann::json{root, root + "a.htm", root + "d3.htm"}))
        << "every page, in order found";
    EXPECT_EQ(byUrl[root + "r1.htm"]["result"], 301);
    EXPECT_EQ(byUrl[root + "r1.htm"]["redirects"], nlohmann::json{root + "a.htm"});
    EXPECT_EQ(byUrl[root + "b.htm"]["size"], 37);
    EXPECT_EQ(byUrl[root + "b.htm"]["referrers"], (nlohmann::json{root, root + "a.htm"}));
    EXPECT_FALSE(byUrl[root]["referrers"].size());
    EXPECT_EQ(json[0]["url"], root) << "in list order";
}

TEST_F(SiteCheck, ThePageBeingCheckedKeepsItsRecordWhileItsLinksAreAdded)
{
    TempDir local;
    std::string index;
    for (int i = 0; i < 3000; ++i)
        index += "<a href=\"p" + std::to_string(i) + ".htm\">";
    local.Write("index.htm", index);
    std::ostringstream out, err;
    RunCommandLine({"--check", local.Path() + "index.htm", "--report", dir.Path() + "i.log", "--json",
                    dir.Path() + "i.json", "--no-local", "--sizes"},
                   "1.20", out, err, false);
    const auto json = nlohmann::json::parse(dir.Read("i.json"));
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["result"], 200);
    EXPECT_EQ(json[0]["size"], index.size());
}

TEST_F(SiteCheck, ALocalDocumentationTreeIsCheckedAsABrowserOpensIt)
{
    // The shapes of generated documentation: style sheets with version queries, links from the file
    // system's root (one to a file of the tree, one to a folder that is not there), pages in sub-folders.
    TempDir doc;
    const std::string html = doc.Path() + "html/";
    doc.Write("html/index.html",
              R"(<link rel="stylesheet" href="_static/doc.css?2022.1"> <a href="whatsnew/index.html">)"
              R"( <a href="library/os.html"> <img src="_static/logo.png">)");
    doc.Write("html/whatsnew/index.html", "<a href=\"/aracnide-no-such-folder/license.html\"> <a href=\"" + html +
                                              "license.html\"> <link href=\"../_static/doc.css?v=1\"> <img src=\"" +
                                              html + "_static/logo.png\"> <a href=\"../genindex.html\">");
    doc.Write("html/library/os.html",
              R"(<a href="../whatsnew/index.html"> <a href="/aracnide-no-such-folder/license.html">)");
    for (const char* name :
         {"html/license.html", "html/genindex.html", "html/_static/doc.css", "html/_static/logo.png"})
        doc.Write(name, "x");
    std::ostringstream out, err;
    const int status = RunCommandLine({"--check", html + "index.html", "--report", dir.Path() + "d.log", "--sizes"},
                                      "1.20", out, err, false);
    EXPECT_EQ(status, kCliBroken);
    EXPECT_EQ(out.str(), "8 checked, 1 broken, 0 skipped\n"
                         "  /aracnide-no-such-folder/license.html\n"
                         "    linked from " +
                             html + "whatsnew/index.html\n    linked from " + html + "library/os.html\n");
    EXPECT_EQ(dir.Read("d.log").find(html + html.substr(1)), std::string::npos) << "the folder put in front twice";
}

TEST_F(SiteCheck, AnUnreachableHostIsAnErrorTextInTheJson)
{
    std::ostringstream out, err;
    dir.Write("list.txt", "x;http://127.0.0.1:1/;\n");
    RunCommandLine({"--check", dir.Path() + "list.txt#1", "--report", dir.Path() + "l.log", "--json",
                    dir.Path() + "l.json"},
                   "1.20", out, err, false);
    const auto json = nlohmann::json::parse(dir.Read("l.json"));
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["result"], "The attempt to connect to the server failed");
    EXPECT_FALSE(json[0].contains("size"));
}

TEST_F(SiteCheck, TheSummaryListsEachBrokenLinkWithThePagesThatLinkToIt)
{
    const CliRun run = Check({});
    const std::string root = site.srv.Root();
    // r1.htm is a redirect to a good page: not broken; r2.htm's chain ends in a 404, named by it.
    EXPECT_EQ(run.out, "18 checked, 5 broken, 0 skipped\n"
                       "  " +
                           root + "r2.htm -> " + root + "nowhere.htm (404)\n    linked from " + root +
                           "\n"
                           "  " +
                           root + "gone.htm\n    linked from " + root + "\n    linked from " + root +
                           "a.htm\n"
                           "    linked from " +
                           root +
                           "d3.htm\n"
                           "  " +
                           root + "e.htm\n    linked from " + root +
                           "based.htm\n"
                           "  " +
                           root + "c.htm\n    linked from " + root +
                           "based.htm\n"
                           "  " +
                           root + "sub/d.htm\n    linked from " + root + "sub/c.htm\n");
}

TEST_F(SiteCheck, EachImageIsAskedForOncePerRunAndTheReportIsUnchanged)
{
    const CliRun cached = Check({"--all", "--sizes"});
    const auto hits = site.Hits();
    EXPECT_EQ(hits.at("/logo.gif"), 1);
    EXPECT_EQ(hits.at("/sub/pic.png"), 1);
    EXPECT_EQ(hits.at("/nologo.gif"), 1) << "a failure is kept too, its records replayed on every page";
    const std::string root = site.srv.Root();
    EXPECT_EQ(cached.status, kCliBroken) << "the missing image is broken";
    EXPECT_EQ(cached.out.substr(0, cached.out.find('\n')), "18 checked, 6 broken, 0 skipped")
        << "five links and the image";
    EXPECT_TRUE(cached.out.ends_with("  " + root + "nologo.gif (image)\n    shown in " + root + "a.htm\n    shown in " +
                                     root + "img.htm\n    shown in " + root + "d4.htm\n"))
        << cached.out;

    // The same run without the cache (the dialog's way) writes the same report.
    site.ClearHits();
    TempDir other;
    HttpClient client("Aracnide");
    RunContext ctx(&client);
    ctx.reportPath = other.Path() + "r.log";
    RunRequest r;
    r.location = site.srv.Root();
    r.settings.bCalcSize = true;
    r.settings.ReportOpt = 1;
    r.settings.szUser = "user";
    r.settings.szPass = "secret";
    Start(ctx, r);
    std::string report = other.Read("r.log");
    report.erase(0, report.find('\n') + 1);
    EXPECT_EQ(report, cached.report);
    EXPECT_GE(site.Hits().at("/logo.gif"), 3);
}

}  // namespace

namespace {

// One run on `url` with `jobs` requests in flight and the time-outs in milliseconds: the report
// (without its dated header) and the JSON.
struct JobsRun {
    std::string report, json;
    uint64_t ahead = 0, unused = 0;  // requests started ahead, and those no check took
};

JobsRun RunWithJobs(const std::string& url, int jobs, long timeoutMs, const TempDir& dir)
{
    HttpClient client("Aracnide");
    RunContext ctx(&client);
    ctx.keepRecords = true;
    ctx.timeoutWindow = std::chrono::milliseconds(0);  // no repeated opens after a time-out
    ctx.reportPath = dir.Path() + "jobs.log";
    RunRequest request;
    request.location = url;
    request.settings.jobs = jobs;
    request.settings.ReportOpt = 1;
    EXPECT_EQ(NewRun(ctx, request).result, StartOutcome::Started);
    client.SetOptions(timeoutMs, timeoutMs, kRequestDeadlineFactor * timeoutMs);
    RunChecks(ctx);
    std::string report = dir.Read("jobs.log");
    report.erase(0, report.find('\n') + 1);
    return {report, JsonReport(ctx), ctx.requestsAhead, ctx.requestsAheadUnused};
}

}  // namespace

// Pages answer after a fixed latency each, some just inside the time-out and some just past it: the
// verdicts, the report and the JSON do not depend on how many requests are in flight, because each
// request's time-outs count from when it was sent, not from when its check takes it.
TEST(Concurrency, ManyJobsGiveTheVerdictsOfOneWhenPagesAnswerNearTheTimeOut)
{
    constexpr long kTimeoutMs = 400;
    constexpr int kPages = 12;
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        std::vector<int> latency(kPages);
        int near = 0;
        for (int i = 0; i < kPages; ++i) {
            // Just past the time-out (6 to 10%), or inside it, or quick. A page past it can never answer
            // in time, however the machine runs; one inside it keeps 15 to 25% for the machine's own delays
            // (a loaded machine under the sanitizers), so that only the request's own clock decides.
            const int past = std::uniform_int_distribution<int>(6, 10)(rng);
            const int inside = std::uniform_int_distribution<int>(15, 25)(rng);
            const int kind = i == 0 ? 2 : std::uniform_int_distribution<int>(0, 2)(rng);
            latency[i] = kind == 0   ? static_cast<int>(kTimeoutMs * (100 - inside) / 100)
                         : kind == 1 ? static_cast<int>(kTimeoutMs * (100 + past) / 100)
                                     : std::uniform_int_distribution<int>(0, 40)(rng);
            near += kind != 2;
        }
        ASSERT_GT(near, 0);
        LoopbackServer srv;
        srv.svr.new_task_queue = [] { return new httplib::ThreadPool(64); };
        srv.svr.Get(R"(/p(\d+)\.htm)", [&](const httplib::Request& q, httplib::Response& r) {
            const int i = std::stoi(q.matches[1]);
            std::this_thread::sleep_for(std::chrono::milliseconds(latency[i]));
            // Page i links to its two children in a tree and back to the root.
            std::string html = "<a href=\"p0.htm\">";
            for (const int child : {2 * i + 1, 2 * i + 2})
                if (child < kPages)
                    html += "<a href=\"p" + std::to_string(child) + ".htm\">";
            r.set_content(html, "text/html");
        });
        srv.Start();
        TempDir dir;
        const auto one = RunWithJobs(srv.Url("p0.htm"), 1, kTimeoutMs, dir);
        ASSERT_NE(one.report.find("Page "), std::string::npos);
        for (const int jobs : {4, 32}) {
            const auto many = RunWithJobs(srv.Url("p0.htm"), jobs, kTimeoutMs, dir);
            EXPECT_EQ(many.report, one.report) << "seed " << seed << ", --jobs " << jobs;
            EXPECT_EQ(many.json, one.json) << "seed " << seed << ", --jobs " << jobs;
            // Pages answered before their checks are scanned ahead; every request started is used.
            EXPECT_GT(many.ahead, 0u);
            EXPECT_EQ(many.unused, 0u) << "seed " << seed << ", --jobs " << jobs;
        }
    }
}

TEST(Json, UrlsThatAreNotUtf8StayDistinctAndABodyThatFailedIsAnError)
{
    EXPECT_EQ(JsonText("caf\xe9.htm"), "caf%E9.htm");
    EXPECT_EQ(JsonText("caf\xe8.htm"), "caf%E8.htm");
    EXPECT_EQ(JsonText("caf\xc3\xa9.htm"), "caf\xc3\xa9.htm") << "UTF-8 stays as it is";
    EXPECT_EQ(JsonText("\xed\xa0\x80\xf4\x90\x80\x80"), "%ED%A0%80%F4%90%80%80") << "surrogates, past U+10FFFF";

    RunContext ctx(nullptr);
    ctx.LB.AddString("page.htm\tOk");
    ctx.records.resize(1);
    ctx.records[0] = {true, "http://h.dom/page.htm", kStatusOk, kStatusOk, "Connection reset", {}, false, 0, {}};
    const nlohmann::json json = nlohmann::json::parse(JsonReport(ctx));
    EXPECT_EQ(json[0]["result"], 200);
    EXPECT_EQ(json[0]["error"], "Connection reset");
    EXPECT_EQ(PartialPages(ctx), "warning: http://h.dom/page.htm: Connection reset; its links may be incomplete\n");
    EXPECT_EQ(Summarize(ctx).broken, 0);
}
