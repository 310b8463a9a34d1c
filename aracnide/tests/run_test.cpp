#include "checkurl.h"
#include "loopback.h"
#include "run.h"
#include "settings.h"
#include "testutil.h"
#include <algorithm>

#include <gtest/gtest.h>

#include <cstring>
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
    EXPECT_EQ(ctx.level, 4);            // three passes with entries, and the one that found none
    EXPECT_EQ(clientPorts.size(), 1u);  // one connection served every check
    // Start entry, root checked, its two links found, a.htm checked, c/d.htm found, the rest checked.
    EXPECT_EQ(counters,
              (std::vector<std::string>{"1 / 1", "0 / 2", "0 / 3", "1 / 3", "1 / 4", "2 / 4", "3 / 4", "4 / 4"}));
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
        site.Write("p" + std::to_string(i) + ".htm",
                   "<a href=\"p" + std::to_string(i + 1) + ".htm\"><a href=q" + std::to_string(i) + ".htm>");
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

TEST_F(Run, ABrokenLinkPastEntry65535NamesThePageItIsOn)
{
    // 70,001 entries already checked; the last one is the page that holds the broken link.
    site.Write("p70000.htm", R"(<a href="gone.htm">)");
    Go(site.Path() + "p70000.htm");  // a run to set up the base and the report
    ctx.LB.ClearList();
    for (int i = 0; i <= 70000; ++i) {
        const int index = ctx.LB.AddString("p" + std::to_string(i) + ".htm\tOk");
        ctx.LB.SetItemData(index, EntryData(-1, true));
    }
    const int gone = ctx.LB.AddString("gone.htm");
    ctx.LB.SetItemData(gone, EntryData(70000, false));
    ctx.LB.SetReferrer(gone, 70000);
    ctx.curlig = gone;
    std::string error;
    ctx.fhLog = FileReport::Create(dir.Path() + "ref.log", error);
    RunChecks(ctx);
    EXPECT_EQ(ctx.LB.GetString(gone), "gone.htm\t0");
    EXPECT_EQ(ctx.model.At(gone).data, (70000u & 0xFFFF) << 16 | 1) << "the data keeps its 16-bit layout";
    EXPECT_EQ(dir.Read("ref.log"), PageHeaderText(site.Path() + "gone.htm") + "> Link in " + site.Path() +
                                       "p70000.htm\r\n> Error: No such file or directory\r\n");
}

TEST_F(Run, TheReportHoldsEveryRecordWhileTheRunGoesOn)
{
    site.Write("index.htm", R"(<a href="gone.htm"> <a href="a.htm">)");
    site.Write("a.htm", "");
    std::string duringSecondCheck;
    ctx.observer.yield = [&] {
        if (ctx.curlig == 2 && duringSecondCheck.empty())
            duringSecondCheck = Log();  // what a killed run would leave
    };
    Go(site.Path() + "index.htm");
    EXPECT_EQ(duringSecondCheck, kRunHeader + PageHeaderText(site.Path() + "gone.htm") + "> Link in " + site.Path() +
                                     "index.htm\r\n> Error: No such file or directory\r\n");
}

TEST_F(Run, OneStateMachineAnswersEveryCommandInEveryState)
{
    site.Write("index.htm", R"(<a href="a.htm"> <a href="b.htm">)");
    site.Write("a.htm", "");
    site.Write("b.htm", "");
    std::vector<StartOutcome::Result> answers;
    bool refused = false;
    ctx.observer.yield = [&] {
        if (ctx.CheckStatus == kIdle && ctx.settingUp && answers.empty())
            answers.push_back(Start(ctx, Request("/elsewhere.htm")).result);  // during the set-up
        if (ctx.CheckStatus == kRunning && ctx.curlig == 1 && answers.size() == 1) {
            answers.push_back(Start(ctx, Request("")).result);  // Suspend
            refused = !ClearRun(ctx) && !QuitRun(ctx) && Busy(ctx);
            answers.push_back(Start(ctx, Request("")).result);  // Start again before the run noticed
        }
    };
    EXPECT_EQ(Go(site.Path() + "index.htm").result, StartOutcome::Started);
    EXPECT_EQ(answers, (std::vector<StartOutcome::Result>{StartOutcome::Ignored, StartOutcome::Suspended,
                                                          StartOutcome::Continued}));
    EXPECT_TRUE(refused) << "Clear list and Quit wait while the list is in use";
    EXPECT_EQ(ctx.CheckStatus, kIdle);
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm\tOk", "b.htm\tOk"}));
    EXPECT_FALSE(Busy(ctx));
}

TEST_F(Run, ANewRunStoresItsSettingsAndItsLocation)
{
    site.Write("index.htm", "");
    Profile ini = SettingsProfile(dir.Path() + "ARACNIDE.INI");
    RunRequest r = Request(site.Path() + "index.htm");
    r.timeoutText = "20s";
    r.settings.Timeout = 20;
    r.settings.bCEL = true;
    r.settings.szUser = "ann";
    r.history = {"http://old.dom/"};
    const StartOutcome out = Start(ctx, r, &ini);
    EXPECT_EQ(out.result, StartOutcome::Started);
    EXPECT_TRUE(out.settingsError.empty());
    EXPECT_EQ(ini.GetString("Init", "Timeout", ""), "20s");
    EXPECT_EQ(ini.GetString("Init", "URL", ""), site.Path() + "index.htm");
    EXPECT_EQ(ini.GetInt("Init", "bCEL", 0), 1);
    EXPECT_EQ(ini.GetString("Init", "szUser", ""), "ann");
    EXPECT_EQ(LoadHistory(ini), std::vector<std::string>{site.Path() + "index.htm"});

    // A settings file that cannot be written: the run still goes, and the outcome says why.
    Profile nowhere = SettingsProfile(dir.Path() + "no/such/folder/ARACNIDE.INI");
    const StartOutcome failed = Start(ctx, r, &nowhere);
    EXPECT_EQ(failed.result, StartOutcome::Started);
    EXPECT_EQ(failed.settingsError, std::strerror(ENOENT));
}

TEST_F(Run, AReferrerOfAnEarlierRunDoesNotLeakIntoTheNextReport)
{
    site.Write("index.htm", R"(<a href="gone.htm">)");
    Go(site.Path() + "index.htm");
    EXPECT_NE(Log().find("> Link in "), std::string::npos);
    Go(site.Path() + "absent.htm");
    EXPECT_EQ(Log(),
              kRunHeader + PageHeaderText(site.Path() + "absent.htm") + "> Error: No such file or directory\r\n");
}

TEST_F(Run, AHostThatRefusesGetsNoRequestsAheadOnceItHasRefused)
{
    RefusedPort refusing;
    std::string page;
    for (int i = 0; i < 40; ++i)
        page += "<a href=\"" + refusing.Url("p" + std::to_string(i) + ".htm") + "\">";
    site.Write("index.htm", page);
    FakeClock clock;
    ctx.clock = &clock;
    ctx.bTimeout = true;  // after a time-out the first failed open is repeated, on the fake clock
    ctx.settings.bCEL = true;
    ctx.settings.jobs = 64;
    ctx.settings.perHost = 4;
    Go(site.Path() + "index.htm");
    ASSERT_EQ(ctx.model.Count(), 41);
    EXPECT_EQ(ctx.model.At(40).text, refusing.Url("p39.htm") + "\t0");
    // Only the requests started before the first refusal came back: at most the host's bound in flight.
    // The checks then ask one at a time, the first at the spaced intervals of one job.
    EXPECT_LE(ctx.requestsAhead, 4u);
    EXPECT_EQ(clock.waits.size(), 7u);
}

}  // namespace
