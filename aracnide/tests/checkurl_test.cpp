#include "checkurl.h"
#include "loopback.h"
#include "pagescan.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

using namespace aracnide;

namespace {

using namespace std::chrono;

// Report text of the page header for `url`.
std::string Header(const std::string& url)
{
    return PageHeaderText(url);
}

class Check : public testing::Test {
protected:
    Check() : client("Aracnide"), ctx(&client)
    {
        ctx.CheckStatus = kRunning;
        ctx.fhLog = std::make_unique<StringReport>();
        InternetInit(ctx, 5);
    }
    void Serve()
    {
        srv.Start();
        ctx.szBaseDom = srv.Root();
    }
    // The run started at `srv`: its host may be sent user "user" and the given password.
    void Credentials(const std::string& password)
    {
        ctx.authOrigin = Origin(srv.Root());
        ctx.settings.szUser = "user";
        ctx.settings.szPass = password;
    }
    const std::string& Report() { return static_cast<StringReport&>(*ctx.fhLog).text; }

    LoopbackServer srv;
    HttpClient client;
    RunContext ctx;
};

TEST(ResolveLocation, RelativeRootRelativeAndAbsoluteLocations)
{
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"http://host/dir/a.htm", "/new.htm", "http://host/new.htm"},
        {"http://host/dir/a.htm", "b.htm", "http://host/dir/b.htm"},
        {"http://host/dir/a.htm?x=/y", "b.htm", "http://host/dir/b.htm"},
        {"http://host", "b.htm", "http://host/b.htm"},
        {"https://a/dir/x", "/y", "https://a/y"},
        {"http://host/a", "https://other/z", "https://other/z"},
        {"https://host/a", "//cdn/z", "https://cdn/z"},
        {"http://host/a", "/t?at=10:00", "http://host/t?at=10:00"},
    };
    for (const auto& [cur, loc, out] : rows)
        EXPECT_EQ(ResolveLocation(cur, loc), out) << cur << " + " << loc;
}

TEST(ErrorText, SystemErrorsEndTheirLineAndUnknownNumbersStayBare)
{
    EXPECT_EQ(SystemError(ENOENT).text, "No such file or directory\r\n");
    EXPECT_EQ(SystemError(99999).text, "99999");
    EXPECT_EQ(HttpErrorText(12002), "The operation timed out\r\n");
    EXPECT_EQ(HttpErrorText(12999), "12999");
}

TEST_F(Check, PageWithALengthIsScannedAndSizedInTheFullReport)
{
    const std::string page = "<a href=\"b.htm\">b</a><img src=\"logo.gif\">" + std::string(1495, ' ');
    srv.svr.Get("/dir/p.htm", [&](const httplib::Request&, httplib::Response& r) { r.set_content(page, "text/html"); });
    srv.svr.Get("/dir/logo.gif", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(std::string(3000, 'x'), "image/gif");
    });
    Serve();
    ctx.settings.ReportOpt = 1;
    ctx.settings.bCalcSize = true;
    ASSERT_EQ(page.size(), 1536u);
    const std::string url = srv.Url("dir/p.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, true), 200u);
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"dir/b.htm"});
    EXPECT_EQ(Report(), Header(url) + "    3 Kb for logo.gif\r\n" + "    2 Kb for " + url + "\r\n" +
                            "    4 Kb Total size (1 s)\r\n\r\n");
    EXPECT_EQ(ctx.UrlSize, 4536u);
    EXPECT_EQ(ctx.szCurUrl, url);  // the image check left the page's URL in place
}

TEST_F(Check, ImageChecksDuringAScanLeaveTheRestOfThePageIntact)
{
    std::mutex m;
    std::vector<std::string> paths;
    srv.svr.set_pre_routing_handler([&](const httplib::Request& q, httplib::Response&) {
        std::lock_guard lock(m);
        paths.push_back(q.path);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    srv.svr.Get("/dir/p.htm", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"(<img src="missing.gif"><img src="/img/root.gif"> <a href="after.htm">)", "text/html");
    });
    srv.svr.Get("/dir/missing.gif", [](const httplib::Request&, httplib::Response& r) {
        r.status = 404;
        r.set_content(std::string(20000, '<'), "text/html");  // thrown away, never into the page
    });
    srv.svr.Get("/img/root.gif",
                [](const httplib::Request&, httplib::Response& r) { r.set_content("GIF89a", "image/gif"); });
    Serve();
    ctx.settings.bCalcSize = true;
    const std::string url = srv.Url("dir/p.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, true), 200u);
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"dir/after.htm"});
    EXPECT_EQ(paths, (std::vector<std::string>{"/dir/p.htm", "/dir/missing.gif", "/img/root.gif"}));
    EXPECT_EQ(ctx.UrlSize, 69u + 6u);  // the page and the one image that was found
    EXPECT_EQ(Report(), Header(srv.Url("dir/missing.gif")) + "> Status: 404 (Not found)\r\n\r\n");
}

TEST_F(Check, PageWithoutALengthIsScannedAndCountedAsRead)
{
    srv.svr.Get("/p.htm", [](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider("text/html", [](size_t offset, httplib::DataSink& sink) {
            if (offset == 0)
                sink.write("<a href=\"one.htm\">", 18);
            else if (offset < 100000)
                sink.write(std::string(20000, ' ').data(), 20000);
            else {
                sink.write("<a href=\"two.htm\">", 18);
                sink.done();
            }
            return true;
        });
    });
    Serve();
    ctx.settings.ReportOpt = 1;
    ctx.settings.bCalcSize = true;
    const std::string url = srv.Url("p.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, true), 200u);
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"one.htm", "two.htm"}));
    EXPECT_EQ(Report(), Header(url) + "   98 Kb for " + url + "\r\n   98 Kb Total size (33 s)\r\n\r\n");
}

TEST_F(Check, NotFoundInAnErrorsOnlyReportNamesTheReferringPage)
{
    Serve();
    ctx.szCurPage = srv.Url("index.htm");
    const std::string url = srv.Url("gone.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 1, true), 404u);
    EXPECT_EQ(Report(),
              Header(url) + "> Link in " + srv.Url("index.htm") + "\r\n" + "> Status: 404 (Not found)\r\n\r\n");
}

TEST_F(Check, RedirectsAreFollowedAndTheirTargetIsNotScanned)
{
    srv.svr.Get("/dir/a.htm", [](const httplib::Request&, httplib::Response& r) {
        r.status = 301;
        r.set_header("Location", "/new.htm");
    });
    srv.svr.Get("/new.htm", [](const httplib::Request&, httplib::Response& r) {
        r.status = 302;
        r.set_header("Location", "sub/final.htm");
    });
    srv.svr.Get("/sub/final.htm", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("<a href=\"never.htm\">", "text/html");
    });
    Serve();
    const std::string url = srv.Url("dir/a.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, true), 302u);
    EXPECT_TRUE(Entries(ctx).empty());
    EXPECT_EQ(Report(), Header(url) + "> Status: 301 (Moved permanently)\r\n> Link to " + srv.Url("new.htm") +
                            "\r\n\r\n" + Header(url) + "> Status: 302 (Moved temporarily)\r\n> Link to " +
                            srv.Url("sub/final.htm") + "\r\n\r\n");
}

TEST_F(Check, AbsoluteLocationLeadsToAnotherServer)
{
    LoopbackServer other;
    other.svr.Get("/x.htm", [](const httplib::Request&, httplib::Response& r) { r.status = 404; });
    other.Start();
    srv.svr.Get("/a.htm", [&](const httplib::Request&, httplib::Response& r) {
        r.status = 302;
        r.set_header("Location", other.Url("x.htm"));
    });
    Serve();
    EXPECT_EQ(CheckUrl(ctx, srv.Url("a.htm"), 0, false), 302u);
    EXPECT_NE(Report().find("> Link to " + other.Url("x.htm") + "\r\n\r\n"), std::string::npos);
    EXPECT_NE(Report().find("> Status: 404 (Not found)\r\n\r\n"), std::string::npos);
}

TEST_F(Check, RedirectLoopEndsAfterTenRedirects)
{
    std::atomic<int> hits{0};
    srv.svr.Get(R"(/loop(\d+))", [&](const httplib::Request& q, httplib::Response& r) {
        ++hits;
        r.status = 302;
        r.set_header("Location", std::stoi(q.matches[1]) % 2 ? "loop2" : "loop1");
    });
    Serve();
    const std::string url = srv.Url("loop1");
    EXPECT_EQ(CheckUrl(ctx, url, 0, true), 302u);
    EXPECT_EQ(hits.load(), 11);
    std::string expected;
    for (int i = 0; i < 10; ++i)
        expected += Header(url) + "> Status: 302 (Moved temporarily)\r\n> Link to " +
                    srv.Url(i % 2 ? "loop1" : "loop2") + "\r\n\r\n";
    expected += Header(url) + "> Status: 302 (Moved temporarily)\r\n" +
                "> Error: The redirection failed: more than 10 redirects in one check\r\n\r\n";
    EXPECT_EQ(Report(), expected);
}

// Answers 401 unless the request carries user:secret; remembers what it saw.
void RequireAuth(LoopbackServer& s, std::vector<std::string>& seen, std::mutex& m)
{
    s.svr.Get("/private.htm", [&](const httplib::Request& q, httplib::Response& r) {
        const std::string auth = q.get_header_value("Authorization");
        {
            std::lock_guard lock(m);
            seen.push_back(auth + "|" + q.version + "|" + q.get_header_value("Referer"));
        }
        if (auth == "Basic dXNlcjpzZWNyZXQ=")
            r.set_content("ok", "text/html");
        else
            r.status = 401;
    });
}

TEST_F(Check, AuthenticationRetryReachesThePortOfTheStartHost)
{
    std::vector<std::string> seen;
    std::mutex m;
    RequireAuth(srv, seen, m);
    Serve();
    Credentials("secret");
    const std::string url = srv.Url("private.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, false), 200u);
    EXPECT_EQ(Report(), Header(url) + "> Status: 401 (Access denied)\r\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"|HTTP/1.1|", "Basic dXNlcjpzZWNyZXQ=|HTTP/1.0|" + url}));
}

TEST_F(Check, CredentialsAreNeverSentToAnotherHost)
{
    LoopbackServer other;
    std::vector<std::string> seen;
    std::mutex m;
    RequireAuth(other, seen, m);
    other.Start();
    Serve();
    Credentials("secret");
    const std::string url = other.Url("private.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, false), 401u);
    EXPECT_EQ(Report(), Header(url) + "> Status: 401 (Access denied)\r\n\r\n");
    EXPECT_EQ(seen, std::vector<std::string>{"|HTTP/1.1|"});
}

TEST_F(Check, SecondRefusalAfterTheRetryEndsTheCheck)
{
    std::vector<std::string> seen;
    std::mutex m;
    RequireAuth(srv, seen, m);
    Serve();
    Credentials("wrong");
    const std::string url = srv.Url("private.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, false), 401u);
    EXPECT_EQ(Report(), Header(url) + "> Status: 401 (Access denied)\r\n" + Header(url) +
                            "> Status: 401 (Access denied)\r\n\r\n");
}

TEST_F(Check, BodyThatNeverEndsIsCutOff)
{
    auto endless = [](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
            static const std::string block(16384, 'x');
            return sink.write(block.data(), block.size());
        });
    };
    srv.svr.Get("/endless.htm", endless);
    srv.svr.Get("/missing.htm", [&](const httplib::Request& q, httplib::Response& r) {
        endless(q, r);
        r.status = 404;
    });
    Serve();
    const std::string page = srv.Url("endless.htm");
    EXPECT_EQ(CheckUrl(ctx, page, 0, true), 200u);
    EXPECT_EQ(Report(), Header(page) + "> Error: The page is longer than 10 MB and was not read further\r\n");

    static_cast<StringReport&>(*ctx.fhLog).text.clear();
    const std::string missing = srv.Url("missing.htm");
    EXPECT_EQ(CheckUrl(ctx, missing, 1, true), 404u);
    EXPECT_EQ(Report(), Header(missing) + "> Status: 404 (Not found)\r\n" +
                            "> Error: The response body is longer than 1 MiB; the request was closed\r\n\r\n");

    // A page that is not explored is closed without reading its body.
    static_cast<StringReport&>(*ctx.fhLog).text.clear();
    EXPECT_EQ(CheckUrl(ctx, page, 2, false), 200u);
    EXPECT_EQ(Report(), "");
}

TEST_F(Check, PageOverTheScanLimitIsNotScanned)
{
    const std::string big = "<a href=\"b.htm\">" + std::string(200001, ' ');
    srv.svr.Get("/big.htm", [&](const httplib::Request&, httplib::Response& r) { r.set_content(big, "text/html"); });
    srv.svr.Get("/edge.htm", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content(big.substr(0, 200000), "text/html");
    });
    Serve();
    ctx.settings.bCalcSize = true;
    EXPECT_EQ(CheckUrl(ctx, srv.Url("big.htm"), 0, true), 200u);
    EXPECT_TRUE(Entries(ctx).empty());
    EXPECT_EQ(ctx.UrlSize, 0u);
    EXPECT_EQ(CheckUrl(ctx, srv.Url("edge.htm"), 0, true), 200u);
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"b.htm"});
    EXPECT_EQ(ctx.UrlSize, 200000u);
}

TEST_F(Check, HeaderDumpAndPageDataInTheReport)
{
    srv.svr.Get("/p.htm",
                [](const httplib::Request&, httplib::Response& r) { r.set_content("<p>hi</p>", "text/html"); });
    Serve();
    ctx.settings.bLogData = true;
    EXPECT_EQ(CheckUrl(ctx, srv.Url("p.htm"), 0, true), 200u);
    const std::string& rep = Report();
    ASSERT_TRUE(rep.starts_with("> Header: \r\nHTTP/1.1 200 OK\r\n")) << rep;
    EXPECT_NE(rep.find("Content-Length: 9\r\n"), std::string::npos);
    EXPECT_TRUE(rep.ends_with("\r\n\r\n<p>hi</p>\r\n")) << rep;
}

// A socket that accepts connections in its backlog and never answers.
class SilentServer {
public:
    SilentServer()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 16);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + path; }

private:
    int fd_;
    int port_;
};

TEST_F(Check, ServerThatNeverAnswersTimesOutWhileTheFrontEndStaysLive)
{
    SilentServer silent;
    InternetInit(ctx, 1);
    int yields = 0;
    client.SetYield([&] { ++yields; });
    const std::string url = silent.Url("p.htm");
    EXPECT_EQ(CheckUrl(ctx, url, 0, true), 0u);
    EXPECT_GE(yields, 5);  // the client kept the front end live while it waited
    EXPECT_TRUE(ctx.bTimeout);
    EXPECT_EQ(Report(), Header(url) + "> Error: The operation timed out\r\n");
}

TEST_F(Check, AfterATimeOutFailedOpensAreRepeatedAtGrowingIntervalsWithinTheWindow)
{
    FakeClock clock;
    ctx.clock = &clock;
    int yields = 0;
    ctx.observer.yield = [&] { ++yields; };
    RefusedPort refusing;
    ctx.bTimeout = true;
    EXPECT_EQ(CheckUrl(ctx, refusing.Url(""), 0, false), 0u);
    using ms = std::chrono::milliseconds;
    EXPECT_EQ(clock.waits, (std::vector<ms>{ms(100), ms(200), ms(400), ms(800), ms(1600), ms(3200), ms(3700)}))
        << "spaced, doubling, and ending with the ten-second window";
    EXPECT_GE(yields, 7);
    EXPECT_FALSE(ctx.bTimeout) << "the error that ends the repeats clears the flag";
    EXPECT_EQ(Report(), Header(refusing.Url("")) + "> Error: The attempt to connect to the server failed\r\n");

    // Without the flag, or once the run is suspended, a failed open is reported at once.
    clock.waits.clear();
    EXPECT_EQ(CheckUrl(ctx, refusing.Url(""), 1, false), 0u);
    ctx.bTimeout = true;
    ctx.CheckStatus = kSuspended;
    EXPECT_EQ(CheckUrl(ctx, refusing.Url(""), 2, false), 0u);
    EXPECT_TRUE(clock.waits.empty());
}

// Serves `path` with `status`, its body one byte every 20 ms for as long as the client reads.
void Trickle(LoopbackServer& s, const std::string& path, int status)
{
    s.svr.Get(path, [status](const httplib::Request&, httplib::Response& r) {
        r.status = status;
        r.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return sink.write("<", 1);
        });
    });
}

TEST_F(Check, ABodyThatTricklesIsCutAtTheRequestDeadline)
{
    Trickle(srv, "/slow.htm", 200);
    Trickle(srv, "/gone.htm", 404);
    Serve();
    client.SetOptions(500, 500, 1500);  // a byte comes well within every wait, the whole never
    const std::string page = srv.Url("slow.htm");
    EXPECT_EQ(CheckUrl(ctx, page, 0, true), 200u);
    EXPECT_EQ(Report(), Header(page) + "> Error: The transfer of " + page + " did not end within 1 s and was cut\r\n");

    static_cast<StringReport&>(*ctx.fhLog).text.clear();
    const std::string gone = srv.Url("gone.htm");
    EXPECT_EQ(CheckUrl(ctx, gone, 1, true), 404u);
    EXPECT_EQ(Report(), Header(gone) + "> Status: 404 (Not found)\r\n> Error: The transfer of " + gone +
                            " did not end within 1 s and was cut\r\n\r\n");
}

TEST_F(Check, SuspendStopsTheDrainOfAnErrorBody)
{
    Trickle(srv, "/gone.htm", 404);
    Serve();
    client.SetOptions(5000, 5000, 60000);
    int yields = 0;
    client.SetYield([&] {
        if (++yields == 3)
            ctx.CheckStatus = kSuspended;  // the Suspend button, pressed while the body comes
    });
    const std::string gone = srv.Url("gone.htm");
    EXPECT_EQ(CheckUrl(ctx, gone, 1, true), 404u);
    EXPECT_EQ(Report(), Header(gone) + "> Status: 404 (Not found)\r\n\r\n");
}

TEST_F(Check, OnlyRegularFilesAreReadFromALocalSite)
{
    TempDir site;
    site.Write("page.htm", "<p>");
    ASSERT_EQ(::mkfifo((site.Path() + "fifo.htm").c_str(), 0600), 0);
    std::filesystem::create_directories(site.Path() + "sub");
    ASSERT_EQ(::mkfifo((site.Path() + "sub/index.htm").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", site.Path() + "zero.htm");
    ctx.szBaseDom = site.Path();
    const std::string notAFile = "> Error: Not a regular file (a device, FIFO or socket): it was not read\r\n";
    for (const std::string name : {"fifo.htm", "zero.htm", "sub/"}) {
        static_cast<StringReport&>(*ctx.fhLog).text.clear();
        EXPECT_EQ(CheckUrl(ctx, site.Path() + name, 0, true), 0u) << name;
        EXPECT_EQ(Report(), Header(site.Path() + name) + notAFile) << name;
    }
    EXPECT_EQ(CheckUrl(ctx, site.Path() + "page.htm", 0, true), 200u);
}

TEST_F(Check, SeeOtherAndTheTemporaryAndPermanentRedirectsAreFollowed)
{
    for (int status : {303, 307, 308})
        srv.svr.Get("/r" + std::to_string(status), [status](const httplib::Request&, httplib::Response& r) {
            r.status = status;
            r.set_header("Location", "/target.htm");
        });
    srv.svr.Get("/target.htm", [](const httplib::Request&, httplib::Response& r) { r.set_content("ok", "text/html"); });
    Serve();
    const std::pair<int, std::string> rows[] = {{303, "See other"},
                                                {307, "Temporary redirect"},
                                                {308, "Permanent redirect"}};
    for (const auto& [status, text] : rows) {
        static_cast<StringReport&>(*ctx.fhLog).text.clear();
        const std::string url = srv.Url("r" + std::to_string(status));
        EXPECT_EQ(CheckUrl(ctx, url, 0, true), static_cast<uint32_t>(status));
        EXPECT_EQ(Report(), Header(url) + "> Status: " + std::to_string(status) + " (" + text + ")\r\n> Link to " +
                                srv.Url("target.htm") + "\r\n\r\n");
    }
}

TEST_F(Check, ConnectionRefusedAndBadSchemeAreReported)
{
    SilentServer closed;  // bound and listening; a second socket on a fresh port refuses
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/";
    EXPECT_EQ(CheckUrl(ctx, url, 0, false), 0u);
    ::close(fd);
    EXPECT_EQ(Report(), Header(url) + "> Error: The attempt to connect to the server failed\r\n");
    static_cast<StringReport&>(*ctx.fhLog).text.clear();
    EXPECT_EQ(CheckUrl(ctx, "ftp://127.0.0.1/x", 0, false), 0u);
    EXPECT_EQ(Report(), Header("ftp://127.0.0.1/x") + "> Error: The URL does not use a recognised protocol\r\n");
}

TEST(ReportText, RecordsAreWrittenByteForByte)
{
    EXPECT_EQ(PageHeaderText("http://a/"), "\r\n> ================\r\n> Page http://a/ :\r\n> ================\r\n");
    const std::string u80(80, 'u');
    const std::string rule(79, '=');
    EXPECT_EQ(PageHeaderText(u80), "\r\n> " + rule + "\r\n> Page " + u80 + " :\r\n> " + rule + "\r\n");
    EXPECT_EQ(PageHeaderText("0123456789").size(), 2 + 2 + 17 + 2 + 7 + 10 + 4 + 2 + 17 + 2u);
    EXPECT_EQ(SizeLine(1536, "x.htm"), "    2 Kb for x.htm\r\n");
    EXPECT_EQ(SizeLine(511, "y"), "    0 Kb for y\r\n");
    EXPECT_EQ(TotalLine(1536), "    2 Kb Total size (0 s)\r\n\r\n");
    EXPECT_EQ(StatusText(410), std::string("The resource is no longer available"));
    EXPECT_EQ(StatusText(418), std::string("Unknown"));
    EXPECT_EQ(RunHeaderText("1.20", Date(3, 9, 5)), "Aracnide 1.20 report, Tue Dec  8 03:09:05 2026\r\n\r\n");
}

TEST(ReportText, AnOutcomeBecomesRecordsCutWhereTheReferringPageIsNamed)
{
    const std::string h = PageHeaderText("http://a/");
    const std::string moved = "> Status: 301 (Moved permanently)\r\n> Link to http://b/\r\n\r\n";
    const std::string denied = "> Status: 401 (Access denied)\r\n";
    const ErrorInfo refused{12029, "refused\r\n"};
    struct Row {
        std::vector<CheckOutcome::Answer> answers;
        ErrorInfo error;
        bool pageHeader, headerPerRecord;
        std::vector<std::string> pieces;
    };
    const Row rows[] = {
        {{}, {}, true, false, {h}},  // a page answered 200 in the full report
        {{}, refused, false, true, {h, "> Error: refused\r\n"}},
        {{{301, "http://b/", false}, {404, "", false}},
         {},
         false,
         true,
         {h, moved + h, "> Status: 404 (Not found)\r\n\r\n"}},
        // An error that ends the check right after a status shares its record; one after a followed
        // redirect is a record of its own.
        {{{401, "", true}}, refused, false, false, {"", denied + "> Error: refused\r\n\r\n"}},
        {{{401, "", true}, {404, "", false}}, {}, false, true, {h, denied + h, "> Status: 404 (Not found)\r\n\r\n"}},
        {{{301, "http://b/", false}}, refused, true, false, {h, moved, "> Error: refused\r\n"}},
        {{}, {12029, std::string(300, 'e')}, false, false, {"", "> Error: " + std::string(250, 'e')}},
    };
    for (const Row& r : rows) {
        CheckOutcome out;
        out.answers = r.answers;
        out.error = r.error;
        EXPECT_EQ(CheckRecordsText("http://a/", out, r.pageHeader, r.headerPerRecord), r.pieces) << &r - rows;
    }
}

}  // namespace

TEST_F(Check, ABusyServerIsAskedOnceMoreAfterTheWaitItAsksForWhenItIsShort)
{
    FakeClock clock;
    ctx.clock = &clock;
    std::atomic<int> hits{0};
    srv.svr.Get("/busy.htm", [&](const httplib::Request&, httplib::Response& r) {
        if (++hits == 1) {
            r.status = 503;
            r.set_header("Retry-After", "2");
        } else {
            r.set_content("ok", "text/html");
        }
    });
    srv.svr.Get("/later.htm", [&](const httplib::Request&, httplib::Response& r) {
        r.status = 429;
        r.set_header("Retry-After", "120");
    });
    Serve();
    EXPECT_EQ(CheckUrl(ctx, srv.Url("busy.htm"), 0, false), 200u);
    EXPECT_EQ(hits, 2);
    EXPECT_EQ(Report(), "") << "the first answer leaves no record";
    EXPECT_EQ(CheckUrl(ctx, srv.Url("later.htm"), 1, false), 429u);
    EXPECT_EQ(clock.waits, std::vector<std::chrono::milliseconds>{std::chrono::seconds(2)})
        << "a wait of over a minute is not taken";
}

TEST_F(Check, ALocalUrlOpensTheFileABrowserWouldOpen)
{
    TempDir site;
    site.Write("page.htm", "<p>");
    site.Write("sp ace.htm", "<p>");
    ctx.szBaseDom = site.Path();
    EXPECT_EQ(CheckUrl(ctx, site.Path() + "page.htm?2022.1", 0, false), 200u) << "the query is not part of the file";
    EXPECT_EQ(CheckUrl(ctx, site.Path() + "sp%20ace.htm", 1, false), 200u);
    EXPECT_EQ(CheckUrl(ctx, site.Path() + "sp%2", 2, false), 0u) << "a cut escape stays as written";
    EXPECT_EQ(Report(), Header(site.Path() + "sp%2") + "> Error: " + std::strerror(ENOENT) + "\r\n");
}
