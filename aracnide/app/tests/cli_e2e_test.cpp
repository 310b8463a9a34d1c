// The program's command line mode as a script uses it: a real process against loopback sites, with no
// display, judged by its exit status, its summary and the report it writes.

#include "loopback.h"
#include "testutil.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace aracnide;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome RunProgram(const QStringList& args, const std::string& folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // the command line mode needs no display
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("no_proxy"), QStringLiteral("127.0.0.1,localhost"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(folder));
    p.start(qEnvironmentVariable("ARACNIDE_BIN"), args);
    Outcome o;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the program did not end";
        return o;
    }
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = p.readAllStandardOutput().toStdString();
    o.err = p.readAllStandardError().toStdString();
    return o;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

class CommandLineRun : public testing::Test {
protected:
    void Serve(const std::string& path, const std::string& body)
    {
        srv.svr.Get(path,
                    [body](const httplib::Request&, httplib::Response& res) { res.set_content(body, "text/html"); });
    }
    TempDir work;
    LoopbackServer srv;
};

TEST_F(CommandLineRun, BrokenLinksEndWithStatusOneAndAreReported)
{
    Serve("/", R"(<a href="ok.htm">ok</a> <a href="gone.htm">gone</a>)");
    Serve("/ok.htm", "fine");
    srv.Start();
    const Outcome o = RunProgram({QStringLiteral("--check"), Q(srv.Root()), QStringLiteral("--timeout"),
                                  QStringLiteral("5"), QStringLiteral("--report"), QStringLiteral("links.log")},
                                 work.Path());
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(o.out,
              "3 checked, 1 broken, 0 skipped\n  " + srv.Url("gone.htm") + "\n    linked from " + srv.Root() + "\n");
    EXPECT_TRUE(o.err.empty()) << "no progress line when standard error is not a terminal: " << o.err;
    const std::string log = work.Read("links.log");
    EXPECT_TRUE(log.starts_with("Aracnide 1.20 report, ")) << log;
    EXPECT_NE(log.find("gone.htm"), std::string::npos) << log;
    EXPECT_NE(log.find("404"), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(work.Path() + "ARACNIDE.LOG"));
    EXPECT_FALSE(std::filesystem::exists(work.Path() + "ARACNIDE.INI")) << "the settings file is not touched";
}

TEST_F(CommandLineRun, ACleanSiteEndsWithStatusZeroAndTheDefaultReport)
{
    Serve("/", R"(<a href="a.htm">a</a> <a href="http://elsewhere.invalid/">x</a>)");
    Serve("/a.htm", R"(<a href="a.htm">self</a>)");
    srv.Start();
    const Outcome o = RunProgram({QStringLiteral("--check"), Q(srv.Root())}, work.Path());
    EXPECT_EQ(o.status, 0) << o.err << work.Read("ARACNIDE.LOG");
    EXPECT_EQ(o.out, "2 checked, 0 broken, 0 skipped\n") << "external links are left out";
    EXPECT_TRUE(std::filesystem::exists(work.Path() + "ARACNIDE.LOG"));
}

TEST_F(CommandLineRun, ALocalPageIsCheckedFromARelativePath)
{
    work.Write("site/index.htm", R"(<a href="there.htm">t</a> <a href="nowhere.htm">n</a>)");
    work.Write("site/there.htm", "here");
    const Outcome o = RunProgram({QStringLiteral("--check"), QStringLiteral("site/index.htm")}, work.Path());
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(o.out, "3 checked, 1 broken, 0 skipped\n  " + work.Path() + "site/nowhere.htm\n    linked from " +
                         work.Path() + "site/index.htm\n");
}

TEST_F(CommandLineRun, ARunThatCannotStartEndsWithStatusTwoAndItsReason)
{
    const std::vector<std::pair<QStringList, std::string>> rows{
        {{QStringLiteral("--check"), QStringLiteral("host.dom"), QStringLiteral("--fast")}, "unknown flag: --fast"},
        {{QStringLiteral("--check"), QStringLiteral("list.txt#1")}, "cannot read the list file list.txt"},
        {{QStringLiteral("--check"), QStringLiteral("http://127.0.0.1:9/"), QStringLiteral("--report"),
          QStringLiteral("no/such/folder/r.log")},
         "Unable to create LOG file"},
        {{QStringLiteral("--check"), QStringLiteral("x"), QStringLiteral("--password-file"), QStringLiteral("nope")},
         "cannot read the password file"},
    };
    for (const auto& [args, reason] : rows) {
        const Outcome o = RunProgram(args, work.Path());
        EXPECT_EQ(o.status, 2) << reason;
        EXPECT_NE(o.err.find(reason), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty()) << o.out;
    }
}

TEST_F(CommandLineRun, HelpAndVersionNeedNoLocation)
{
    const Outcome help = RunProgram({QStringLiteral("--help")}, work.Path());
    EXPECT_EQ(help.status, 0);
    for (const char* flag : {"--check", "--external", "--no-local", "--sizes", "--all", "--timeout", "--max-level",
                             "--user", "--password-file", "--report", "--version"})
        EXPECT_NE(help.out.find(flag), std::string::npos) << flag;
    const Outcome version = RunProgram({QStringLiteral("--version")}, work.Path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "aracnide 1.20\n");
}

TEST_F(CommandLineRun, CredentialsComeFromTheFlagsAndThePasswordFile)
{
    srv.svr.Get("/", [](const httplib::Request& req, httplib::Response& res) {
        // "ann:pw" in base 64
        if (req.get_header_value("Authorization") == "Basic YW5uOnB3")
            res.set_content("<p>in</p>", "text/html");
        else {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"x\"");
        }
    });
    srv.Start();
    work.Write("pw.txt", "pw\r\n");
    const Outcome o = RunProgram({QStringLiteral("--check"), Q(srv.Root()), QStringLiteral("--user"),
                                  QStringLiteral("ann"), QStringLiteral("--password-file"), QStringLiteral("pw.txt")},
                                 work.Path());
    EXPECT_EQ(o.status, 0) << o.err << work.Read("ARACNIDE.LOG");
    EXPECT_EQ(o.out, "1 checked, 0 broken, 0 skipped\n");
}

}  // namespace
