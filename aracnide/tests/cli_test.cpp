#include "cli.h"
#include "run.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace aracnide;

namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string* error = nullptr)
{
    std::string e;
    auto o = ParseCommandLine(args, e);
    if (error)
        *error = e;
    return o;
}

TEST(CommandLine, FlagsStandForTheDialogsFields)
{
    const auto o = Parse({"--check", "host.dom", "--external", "--no-local", "--sizes", "--all", "--timeout", "5",
                          "--max-level=2", "--user", "ann", "--password-file", "pw", "--report", "out.log"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->location, "host.dom");
    EXPECT_TRUE(o->settings.bCEL);
    EXPECT_FALSE(o->settings.bRLS);
    EXPECT_TRUE(o->settings.bCalcSize);
    EXPECT_EQ(o->settings.ReportOpt, 1);
    EXPECT_EQ(o->settings.Timeout, 5);
    EXPECT_EQ(o->settings.MaxLevel, 2);
    EXPECT_EQ(o->settings.szUser, "ann");
    EXPECT_EQ(o->passwordFile, "pw");
    EXPECT_EQ(o->report, "out.log");

    const auto plain = Parse({"--check", "x"});
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->settings.bRLS);
    EXPECT_FALSE(plain->settings.bCEL);
    EXPECT_EQ(plain->settings.Timeout, 15);
    EXPECT_EQ(plain->report, "ARACNIDE.LOG");
}

TEST(CommandLine, BadArgumentsAreRefusedWithAReason)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows{
        {{"--check", "x", "--bogus"}, "unknown flag: --bogus"},
        {{"--check"}, "--check needs a value"},
        {{"--check", "x", "--timeout", "soon"}, "--timeout: not a number: soon"},
        {{"--check", "x", "--max-level", "two"}, "--max-level: not a number: two"},
        {{"--check", "x", "--sizes=1"}, "--sizes takes no value"},
        {{"--external"}, "--check LOCATION is missing"},
        {{"--check", "x", "stray"}, "unexpected argument: stray"},
    };
    for (const auto& [args, reason] : rows) {
        std::string error;
        EXPECT_FALSE(Parse(args, &error)) << reason;
        EXPECT_EQ(error, reason);
    }
    EXPECT_TRUE(Parse({"--help"}));
    // Numbers out of range are clamped, never wrapped.
    auto huge = Parse({"--check", "x", "--timeout", "3000000000", "--jobs", "0"});
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->settings.Timeout, kMaxTimeoutSeconds);
    EXPECT_EQ(huge->settings.jobs, 1);
    EXPECT_TRUE(WantsCommandLine({"--version"}));
    EXPECT_FALSE(WantsCommandLine({"http://host.dom/"}));
}

TEST(CommandLine, SummaryCountsBrokenAndSkippedEntries)
{
    ListModel list;
    for (const char* t : {"a\tOk", "b\tSkipped", "c\t404", "d\t0", "e"})
        list.Insert(-1, t);
    const RunSummary s = Summarize(list);
    EXPECT_EQ(s.checked, 4);
    EXPECT_EQ(s.broken, 2);
    EXPECT_EQ(s.skipped, 1);
    EXPECT_EQ(SummaryLine(s), "4 checked, 2 broken, 1 skipped");
}

class ListFile : public testing::Test {
protected:
    ListFile() : ctx(nullptr) {}
    std::vector<std::string> Read(int column)
    {
        ctx.LB.ClearList();
        std::string error;
        EXPECT_EQ(ReadFile(ctx, dir.Path() + "list.txt", column, error), 0);
        return Entries(ctx);
    }
    TempDir dir;
    RunContext ctx;
};

TEST_F(ListFile, EachColumnTakesTheFieldBeforeItsSemicolon)
{
    dir.Write("list.txt", "a;http://h.dom/;b;\r\nhttp://x.dom/;http://y.dom/;z\nshort\n;;;\n\nq;;r;\n");
    EXPECT_EQ(Read(0), (std::vector<std::string>{"a", "http://x.dom/", "short", "q"}));
    EXPECT_EQ(Read(1), (std::vector<std::string>{"http://h.dom/", "http://y.dom/"}));
    EXPECT_EQ(Read(2), (std::vector<std::string>{"b", "r"})) << "short lines and empty fields are skipped";
    EXPECT_EQ(ctx.model.At(0).data, 0xFFFF0000u) << "no referrer";
}

TEST_F(ListFile, AMissingFileIsAFailureWithTheSystemsText)
{
    std::string error;
    EXPECT_EQ(ReadFile(ctx, dir.Path() + "none.txt", 1, error), -1);
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_EQ(ctx.model.Count(), 0);
}

}  // namespace

TEST(CommandLine, AReportThatCannotBeWrittenWholeEndsTheRunWithStatus2)
{
    TempDir dir;
    dir.Write("index.htm", "<a href=\"gone.htm\">");
    std::ostringstream out, err;
    const int status =
        RunCommandLine({"--check", dir.Path() + "index.htm", "--report", "/dev/full"}, "1.20", out, err, false);
    EXPECT_EQ(status, kCliNotStarted);
    EXPECT_NE(err.str().find(std::strerror(ENOSPC)), std::string::npos) << err.str();
}
