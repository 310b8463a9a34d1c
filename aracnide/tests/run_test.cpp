#include <algorithm>
#include "checkurl.h"
#include "loopback.h"
#include "run.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>

using namespace aracnide;

namespace {

const std::string kRunHeader = "Aracnide 1.20 report, Tue Dec  8 03:00:00 2026\r\n\r\n";

class Run : public testing::Test {
protected:
    Run() : client("Aracnide"), ctx(&client)
    {
        ctx.reportPath = dir.Path() + "ARACNIDE.LOG";
        ctx.settings.Timeout = 5;
        ctx.observer.showReport = [this](const std::string& p) { shown.push_back(p); };
        ctx.observer.stateChanged = [this](int s) { states.push_back(s); };
    }
    RunRequest Request(const std::string& location) const
    {
        RunRequest r;
        r.location = location;
        r.settings = ctx.settings;
        return r;
    }
    StartOutcome Go(const std::string& location)
    {
        const std::tm date = Date(3, 0, 0);
        return Start(ctx, Request(location), nullptr, &date);
    }
    std::string Log() const { return dir.Read("ARACNIDE.LOG"); }

    TempDir dir;
    TempDir site;
    LoopbackServer srv;
    HttpClient client;
    RunContext ctx;
    std::vector<std::string> shown;
    std::vector<int> states;
};

TEST_F(Run, LocalSiteCompletesFolderIndexesAndReportsAMissingFile)
{
    site.Write("index.htm", R"(<a href="sub/">s</a> <a href="sub2/"> <a href="sub3/"> <a href="missing.htm">)");
    site.Write("sub/index.html", R"(<a href="../index.htm"> <a href="deep.htm">)");
    site.Write("sub/deep.htm", "deep");
    site.Write("sub2/default.htm", "");
    std::filesystem::create_directories(site.Path() + "sub3");
    const StartOutcome out = Go(site.Path() + "index.htm");
    EXPECT_EQ(out.result, StartOutcome::Started);
    EXPECT_EQ(out.location, site.Path() + "index.htm");
    EXPECT_EQ(ctx.szBaseDom, site.Path());
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "sub/\tOk", "sub2/\tOk", "sub3/\t0",
                                                       "missing.htm\t0", "sub/deep.htm\tOk"}));
    EXPECT_EQ(ctx.model.At(0).data, 0xFFFF0001u);
    EXPECT_EQ(ctx.model.At(5).data, 0x00010001u);  // found on sub/
    const std::string index = site.Path() + "index.htm";
    EXPECT_EQ(Log(), kRunHeader + PageHeaderText(site.Path() + "sub3/") + "> Link in " + index + "\r\n" +
                         "> Error: No such file or directory\r\n" + PageHeaderText(site.Path() + "missing.htm") +
                         "> Link in " + index + "\r\n> Error: No such file or directory\r\n");
    EXPECT_EQ(shown, std::vector<std::string>{ctx.reportPath});
    EXPECT_EQ(states, (std::vector<int>{kRunning, kIdle}));
    EXPECT_EQ(ctx.CheckStatus, kIdle);
}

TEST_F(Run, AFolderNamedWithoutItsFinalSlashIsReportedNotRead)
{
    site.Write("index.htm", R"(<a href="sub">)");
    site.Write("sub/index.htm", "");
    Go(site.Path() + "index.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "sub\t0"}));
    EXPECT_EQ(Log(), kRunHeader + PageHeaderText(site.Path() + "sub") + "> Link in " + site.Path() +
                         "index.htm\r\n> Error: Is a directory\r\n");
}

TEST_F(Run, LocationWithoutSchemeBecomesTheSiteRootAndPassesGoLevelByLevel)
{
    std::mutex m;
    std::set<int> clientPorts;
    srv.svr.set_pre_routing_handler([&](const httplib::Request& q, httplib::Response&) {
        std::lock_guard lock(m);
        clientPorts.insert(q.remote_port);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    srv.svr.Get("/", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<a href="a.htm"> <a href="b.htm"> <a href="http://elsewhere.invalid/x.htm">)", "text/html");
    });
    srv.svr.Get("/a.htm", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<a href="c/d.htm"> <a href="b.htm">)", "text/html");
    });
    srv.svr.Get("/b.htm", [](const httplib::Request&, httplib::Response& r) { r.set_content("b", "text/html"); });
    srv.Start();
    ctx.settings.ReportOpt = 1;
    std::vector<std::string> counters;
    std::vector<int> progress;
    ctx.observer.counter = [&](int done, int count) {
        counters.push_back(std::to_string(done) + " / " + std::to_string(count));
    };
    ctx.observer.progress = [&](int percent) { progress.push_back(percent); };
    const std::string loc = "127.0.0.1:" + std::to_string(srv.port());
    const StartOutcome out = Go(loc);
    EXPECT_EQ(out.location, srv.Root());
    EXPECT_EQ(ctx.szBaseDom, srv.Root());
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"\tOk", "a.htm\tOk", "b.htm\tOk", "c/d.htm\t404"}));
    EXPECT_EQ(ctx.level, 4);  // three passes with entries, and the one that found none
    EXPECT_EQ(clientPorts.size(), 1u);  // one connection served every check
    // Start entry, root checked, its two links found, a.htm checked, c/d.htm found, the rest checked.
    EXPECT_EQ(counters, (std::vector<std::string>{"1 / 1", "0 / 2", "0 / 3", "1 / 3", "1 / 4", "2 / 4", "3 / 4",
                                                   "4 / 4"}));
    EXPECT_EQ(progress, (std::vector<int>{0, 0, 0, 33, 25, 50, 75, 100, 100}));
    EXPECT_EQ(Log(), kRunHeader + PageHeaderText(srv.Root()) + PageHeaderText(srv.Url("a.htm")) +
                         PageHeaderText(srv.Url("b.htm")) + PageHeaderText(srv.Url("c/d.htm")) + "> Link in " +
                         srv.Url("a.htm") + "\r\n> Status: 404 (Not found)\r\n\r\n");
}

TEST_F(Run, ALinkToTheSiteRootIsCheckedAsTheRoot)
{
    std::vector<std::string> paths;
    std::mutex m;
    srv.svr.set_pre_routing_handler([&](const httplib::Request& q, httplib::Response&) {
        std::lock_guard lock(m);
        paths.push_back(q.path);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    srv.svr.Get("/", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<a href="a.htm">)", "text/html");
    });
    srv.svr.Get("/a.htm", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<a href="/">home</a>)", "text/html");
    });
    srv.Start();
    Go(srv.Root());
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"\tOk", "a.htm\tOk", "/\tOk"}));
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "//"), 0);
}

TEST_F(Run, ExternalLinksAreSkippedOrCheckedWithoutExploring)
{
    LoopbackServer other;
    other.svr.Get("/x.htm", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<a href="y.htm">)", "text/html");
    });
    other.Start();
    srv.svr.Get("/", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content("<a href=\"" + other.Url("x.htm") + "\">", "text/html");
    });
    srv.Start();
    Go(srv.Root());
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"\tOk"});  // not even collected

    ctx.settings.bCEL = true;
    Go(srv.Root());
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"\tOk", other.Url("x.htm") + "\tOk"}));

    ctx.settings.MaxLevel = 2;  // absolute entries are explored during the first passes
    Go(srv.Root());
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"\tOk", other.Url("x.htm") + "\tOk", "y.htm\t404"}));
}

TEST_F(Run, WithLocalLinksOffOnlyTheStartPageIsExplored)
{
    site.Write("index.htm", R"(<a href="a.htm">)");
    site.Write("a.htm", R"(<a href="b.htm">)");
    ctx.settings.bRLS = false;
    Go(site.Path() + "index.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm\tOk"}));

    // With sizes on as well, the run ends after the first pass: the links are found but not checked.
    ctx.settings.bCalcSize = true;
    Go(site.Path() + "index.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm"}));
}

TEST_F(Run, SuspendStopsAfterTheCurrentEntryAndResumeRecounts)
{
    for (int i = 0; i < 5; ++i)
        site.Write("p" + std::to_string(i) + ".htm", "<a href=\"p" + std::to_string(i + 1) + ".htm\"><a href=q" +
                                                         std::to_string(i) + ".htm>");
    const std::string start = site.Path() + "p0.htm";
    Go(start);
    const std::vector<std::string> whole = Entries(ctx);

    int checks = 0;
    ctx.observer.counter = [&](int, int) {};
    ctx.observer.yield = [&] {
        if (ctx.CheckStatus == kRunning && ctx.curlig == 2 && ++checks == 1)
            Start(ctx, Request(start));  // the Start button pressed during the run: suspend
    };
    StartOutcome out = Go(start);
    EXPECT_EQ(out.result, StartOutcome::Started);
    EXPECT_EQ(ctx.CheckStatus, kSuspended);
    EXPECT_EQ(ctx.curlig, 2);  // stopped right after the entry during which Start was pressed
    EXPECT_EQ(ctx.LB.GetString(1).find('\t') != std::string::npos, true);
    EXPECT_EQ(ctx.LB.GetString(2).find('\t'), std::string::npos);
    EXPECT_TRUE(shown.size() == 1);  // only the first run's report so far
    EXPECT_EQ(Start(ctx, Request(start)).result, StartOutcome::Resumed);
    EXPECT_EQ(ctx.CheckStatus, kIdle);
    EXPECT_EQ(Entries(ctx), whole);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(Run, ClearAfterSuspendShowsTheReportAndEmptiesTheList)
{
    site.Write("index.htm", R"(<a href="a.htm"><a href="b.htm">)");
    ctx.observer.yield = [&] {
        if (ctx.CheckStatus == kRunning && ctx.curlig == 1)
            Suspend(ctx);
    };
    Go(site.Path() + "index.htm");
    ASSERT_EQ(ctx.CheckStatus, kSuspended);
    EXPECT_TRUE(shown.empty());
    ClearRun(ctx);
    EXPECT_EQ(shown, std::vector<std::string>{ctx.reportPath});
    EXPECT_EQ(ctx.CheckStatus, kIdle);
    EXPECT_EQ(ctx.LB.GetCount(), 0);
    EXPECT_EQ(ctx.szBaseDom, "");
}

TEST_F(Run, ListFileEntriesAreCheckedWithoutExploring)
{
    srv.svr.Get("/", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<a href="a.htm">)", "text/html");
    });
    srv.Start();
    dir.Write("list.txt", "a;" + srv.Root() + ";b;\r\nno separator here\r\nx;;y;\n");
    const StartOutcome out = Go(dir.Path() + "list.txt#1");
    EXPECT_EQ(out.result, StartOutcome::Started);
    EXPECT_EQ(out.location, dir.Path() + "list.txt");
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{srv.Root() + "\tOk"});
    EXPECT_FALSE(ctx.settings.bRLS);
    EXPECT_TRUE(ctx.settings.bCEL);

    const StartOutcome missing = Go(dir.Path() + "nothere.txt#1");
    EXPECT_EQ(missing.result, StartOutcome::ListFileFailed);
    EXPECT_EQ(missing.fileName, dir.Path() + "nothere.txt");
    EXPECT_EQ(missing.message, "No such file or directory");
    EXPECT_EQ(ctx.CheckStatus, kIdle);
}

TEST_F(Run, ReportThatCannotBeCreatedStopsTheRun)
{
    ctx.reportPath = dir.Path() + "no/such/dir/ARACNIDE.LOG";
    const StartOutcome out = Go(site.Path() + "index.htm");
    EXPECT_EQ(out.result, StartOutcome::ReportFailed);
    EXPECT_EQ(out.message, "Unable to create LOG file");
    EXPECT_EQ(ctx.CheckStatus, kIdle);
    EXPECT_TRUE(states.empty());
}

TEST_F(Run, AReferrerOfAnEarlierRunDoesNotLeakIntoTheNextReport)
{
    site.Write("index.htm", R"(<a href="gone.htm">)");
    Go(site.Path() + "index.htm");
    EXPECT_NE(Log().find("> Link in "), std::string::npos);
    Go(site.Path() + "absent.htm");
    EXPECT_EQ(Log(), kRunHeader + PageHeaderText(site.Path() + "absent.htm") +
                         "> Error: No such file or directory\r\n");
}

}  // namespace
