#include "numbers.h"
#include "settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace aracnide;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

class SettingsFile : public testing::Test {
protected:
    std::string Path() const { return dir.Path() + "ARACNIDE.INI"; }
    TempDir dir;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndIsNotCreatedByReading)
{
    const Profile ini = SettingsProfile(Path());
    const DialogSettings s = LoadDialogSettings(ini);
    EXPECT_EQ(s.szUser, "");
    EXPECT_EQ(s.szPass, "");
    EXPECT_EQ(s.Timeout, "15");
    EXPECT_TRUE(s.bRLS);
    EXPECT_FALSE(s.bCEL || s.bCalcSize || s.bLogData);
    EXPECT_EQ(s.ReportOpt, 0);
    EXPECT_EQ(LoadMaxLevel(ini), 0);
    EXPECT_TRUE(LoadHistory(ini).empty());
    EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(SettingsFile, SectionsAndKeysMatchInAnyCaseAndValuesComeBackAsStored)
{
    dir.Write("ARACNIDE.INI", "[init]\nTIMEOUT=7 \r\nszuser= bob\r\nbCEL=1\r\nMaxLevel=3x\r\n[Other]\r\nbRLS=0\r\n");
    const Profile ini = SettingsProfile(Path());
    const DialogSettings s = LoadDialogSettings(ini);
    EXPECT_EQ(s.Timeout, "7 ");
    EXPECT_EQ(s.szUser, " bob");
    EXPECT_TRUE(s.bCEL);
    EXPECT_TRUE(s.bRLS) << "a key of another section is not read";
    EXPECT_EQ(LoadMaxLevel(ini), 3) << "numbers are the value's leading digits";
    EXPECT_EQ(ini.GetString("INIT", "szUser", "", 2), " b") << "values are cut to the reader's length";
}

TEST_F(SettingsFile, AWriteChangesOneValueAndKeepsEveryOtherLine)
{
    dir.Write("ARACNIDE.INI", "; my notes\r\n[Init]\r\nTimeOut=15\r\nbRLS=1\r\n\r\n[UrlList]\nUrlNumber=0\r\n");
    Profile ini = SettingsProfile(Path());
    ASSERT_TRUE(ini.WriteString("init", "timeout", "30"));
    ASSERT_TRUE(ini.WriteString("Init", "szUser", "ann"));
    ASSERT_TRUE(ini.WriteString("New", "k", "v"));
    EXPECT_EQ(dir.Read("ARACNIDE.INI"),
              "; my notes\r\n[Init]\r\nTimeOut=30\r\nbRLS=1\r\nszUser=ann\r\n\r\n[UrlList]\r\nUrlNumber=0\r\n"
              "[New]\r\nk=v\r\n");
    EXPECT_EQ(ini.GetString("INIT", "TIMEOUT", ""), "30");
}

TEST_F(SettingsFile, AMissingFileIsCreatedOnWriteAndAFailedWriteLeavesTheOldFile)
{
    Profile ini = SettingsProfile(Path());
    ASSERT_TRUE(SaveLastLocation(ini, "http://host.dom/"));
    EXPECT_EQ(dir.Read("ARACNIDE.INI"), "[Init]\r\nURL=http://host.dom/\r\n");

    Profile elsewhere = SettingsProfile(dir.Path() + "no/such/folder/ARACNIDE.INI");
    EXPECT_FALSE(elsewhere.WriteString("Init", "URL", "x"));
    EXPECT_FALSE(elsewhere.LastError().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary left";
}

TEST_F(SettingsFile, AFileHoldingAPasswordIsReadableByItsOwnerOnly)
{
    const mode_t old = umask(022);
    Profile ini = SettingsProfile(Path());
    RunSettings s;
    ASSERT_TRUE(SaveRunSettings(ini, s, "15"));
    EXPECT_EQ(ModeOf(Path()), 0644u);
    s.szUser = "ann";
    s.szPass = "secret";
    ASSERT_TRUE(SaveRunSettings(ini, s, "15"));
    EXPECT_EQ(ModeOf(Path()), 0600u);
    EXPECT_EQ(LoadDialogSettings(ini).szPass, "secret");
    ASSERT_TRUE(ini.WriteString("Init", "URL", "x"));
    EXPECT_EQ(ModeOf(Path()), 0600u) << "every later write keeps it private";
    s.szPass.clear();
    ASSERT_TRUE(SaveRunSettings(ini, s, "15"));
    EXPECT_EQ(ModeOf(Path()), 0600u) << "without a password the file keeps its permissions";
    chmod(Path().c_str(), 0640);
    ASSERT_TRUE(ini.WriteString("Init", "URL", "y"));
    EXPECT_EQ(ModeOf(Path()), 0640u);
    umask(old);
}

TEST_F(SettingsFile, RunSettingsAreWrittenAsDecimalFlags)
{
    Profile ini = SettingsProfile(Path());
    RunSettings s;
    s.bRLS = false;
    s.bCEL = true;
    s.bCalcSize = true;
    s.ReportOpt = 1;
    ASSERT_TRUE(SaveRunSettings(ini, s, "20"));
    EXPECT_EQ(dir.Read("ARACNIDE.INI"),
              "[Init]\r\nTimeout=20\r\nbRLS=0\r\nbCEL=1\r\nbCalcSize=1\r\nReportOpt=1\r\nszUser=\r\nszPass=\r\n");
    const DialogSettings back = LoadDialogSettings(ini);
    EXPECT_FALSE(back.bRLS);
    EXPECT_TRUE(back.bCEL && back.bCalcSize);
    EXPECT_EQ(back.ReportOpt, 1);
}

TEST_F(SettingsFile, HistoryIsNumberedFromOneAndListedNewestFirst)
{
    Profile ini = SettingsProfile(Path());
    std::vector<std::string> shown;
    EXPECT_TRUE(StoreHistory(ini, shown, "http://a.dom/"));
    EXPECT_TRUE(StoreHistory(ini, shown, "http://b.dom/"));
    EXPECT_EQ(ini.GetString("UrlList", "url1", ""), "http://a.dom/");
    EXPECT_EQ(ini.GetString("UrlList", "url2", ""), "http://b.dom/");
    EXPECT_EQ(ini.GetInt("UrlList", "UrlNumber", 0), 2);
    ASSERT_TRUE(ini.WriteString("UrlList", "url1", ""));
    EXPECT_EQ(LoadHistory(ini), (std::vector<std::string>{"http://b.dom/"})) << "empty keys are left out";
}

TEST_F(SettingsFile, ALocationFoundInTheListIsNotStoredAgain)
{
    Profile ini = SettingsProfile(Path());
    const std::vector<std::string> shown{"http://Host.dom/page.htm", "/web/index.htm"};
    EXPECT_FALSE(StoreHistory(ini, shown, "http://host.dom/")) << "the beginning of an item, in any case";
    EXPECT_FALSE(StoreHistory(ini, shown, "/web/index.htm"));
    EXPECT_FALSE(StoreHistory(ini, shown, ""));
    EXPECT_FALSE(std::filesystem::exists(Path()));
    EXPECT_TRUE(StoreHistory(ini, shown, "http://host.dom/page.html")) << "longer than every item";
    EXPECT_EQ(ini.GetInt("UrlList", "UrlNumber", 0), 1);
}

TEST_F(SettingsFile, NumbersAreClampedToTheRangeOfInt)
{
    const std::pair<std::string, int> rows[] = {
        {"9999999999", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999", -2147483647 - 1},
        {" 42x", 42},
        {"+7", 0},
        {"x1", 0},
        {"", 0},
        {"-", 0},
    };
    for (const auto& [text, value] : rows)
        EXPECT_EQ(ProfileInt(text), value) << text;
    EXPECT_EQ(WholeNumber("99999999999999999999999", 1, 86400), 86400);
    EXPECT_EQ(WholeNumber("-5", 1, 86400), 1);
    EXPECT_EQ(WholeNumber("5 ", 1, 86400), std::nullopt) << "a flag's value is the number alone";
    dir.Write("ARACNIDE.INI", "[Init]\r\nMaxLevel=9999999999\r\n");
    EXPECT_EQ(LoadMaxLevel(SettingsProfile(Path())), 2147483647);
}

TEST(Timeout, TheLeadingNumberCountsWithinOneSecondAndADayAndNoNumberIsAnError)
{
    const std::pair<std::string, std::optional<int>> rows[] = {
        {"20s", 20},        {" 7", 7}, {"0", 1}, {"-3", 1}, {"99999999999", kMaxTimeoutSeconds}, {"soon", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, seconds] : rows) {
        std::string error;
        EXPECT_EQ(ParseTimeout(text, error), seconds) << text;
        EXPECT_EQ(error, seconds ? "" : "not a number: " + text);
    }
}

TEST_F(SettingsFile, AHugeHistoryNumberReadsTheFileOnceAndKeepsTheNewestItems)
{
    std::string text =
        "[UrlList]\r\nUrlNumber=999999999\r\nurl999999999=http://newest/\r\nurl1000000000=http://beyond/\r\n"
        "url007=http://zero-padded/\r\n";
    for (int k = 1; k <= 150; ++k)
        text += "url" + std::to_string(k) + "=http://h" + std::to_string(k) + "/\r\n";
    dir.Write("ARACNIDE.INI", text);
    const std::vector<std::string> items = LoadHistory(SettingsProfile(Path()));
    ASSERT_EQ(items.size(), kMaxHistory);
    EXPECT_EQ(items[0], "http://newest/") << "keys past UrlNumber and keys url%u never writes are left out";
    EXPECT_EQ(items[1], "http://h150/");
    EXPECT_EQ(items.back(), "http://h52/");
}

TEST_F(SettingsFile, TheHistoryStopsGrowingAtTheLargestNumber)
{
    dir.Write("ARACNIDE.INI", "[UrlList]\r\nUrlNumber=2147483647\r\n");
    Profile ini = SettingsProfile(Path());
    EXPECT_FALSE(StoreHistory(ini, {}, "http://a.dom/"));
    EXPECT_EQ(dir.Read("ARACNIDE.INI"), "[UrlList]\r\nUrlNumber=2147483647\r\n");
    dir.Write("ARACNIDE.INI", "[UrlList]\r\nUrlNumber=-5\r\n");
    EXPECT_TRUE(StoreHistory(ini, {}, "http://a.dom/"));
    EXPECT_EQ(ini.GetString("UrlList", "url1", ""), "http://a.dom/");
}

TEST_F(SettingsFile, AValueNeverCarriesALineBreakIntoTheFile)
{
    const mode_t old = umask(022);
    Profile ini = SettingsProfile(Path());
    ASSERT_TRUE(SaveLastLocation(ini, "http://a.dom/\nszPass=s"));
    ASSERT_TRUE(ini.WriteString("Init", "szUser", "ann\r[Evil]\r\nk=v"));
    EXPECT_EQ(dir.Read("ARACNIDE.INI"), "[Init]\r\nURL=http://a.dom/\r\nszUser=ann\r\n") << "cut at the line break";
    EXPECT_EQ(ModeOf(Path()), 0644u);

    // A password is recognised in what is written, whatever the lines were before.
    ASSERT_TRUE(ini.WriteString("Init", "szPass", "pw\nmore"));
    EXPECT_EQ(ini.GetString("Init", "szPass", ""), "pw");
    EXPECT_EQ(ModeOf(Path()), 0600u);
    umask(old);
}

TEST_F(SettingsFile, AFifoInPlaceOfTheFileReadsAsEmpty)
{
    ASSERT_EQ(::mkfifo(Path().c_str(), 0600), 0);
    const Profile ini = SettingsProfile(Path());
    EXPECT_EQ(LoadDialogSettings(ini).Timeout, "15");
    EXPECT_TRUE(LoadHistory(ini).empty());
}

TEST(SettingsPlace, BesideTheProgramUnlessItsFolderIsNotWritable)
{
    TempDir program, data;
    EXPECT_EQ(SettingsPath(program.Path(), data.Path()), program.Path() + "ARACNIDE.INI");
    if (geteuid() != 0) {  // the superuser may write anywhere
        chmod(program.Path().c_str(), 0555);
        EXPECT_EQ(SettingsPath(program.Path(), data.Path()), data.Path() + "ARACNIDE.INI");
        chmod(program.Path().c_str(), 0755);
    }
}

}  // namespace
