#include "Albero.h"
#include "FakeFileSystem.h"
#include "TreeFixture.h"

#include <QCoreApplication>
#include <QLocale>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace travaso {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

namespace {

// The full paths of the list's entries, in order.
std::vector<std::string> ListAll(const TreeList& list)
{
    std::vector<std::string> out;
    for (const TreeEntry& e : list.entries)
        out.push_back(list.PathOf(e));
    return out;
}

// Names in the order the directory hands them out.
std::vector<std::string> ReaddirOrder(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    while (const dirent* e = readdir(d))
        if (std::string n = e->d_name; n != "." && n != "..")
            names.push_back(n);
    closedir(d);
    return names;
}

// Counts what the walks report.
struct CountingObserver : MeasureObserver {
    bool ProcessMessages() override
    {
        ++messagePasses;
        return messagePasses != stopAt;
    }
    void TreeListFull() override { ++fullMessages; }
    int messagePasses = 0;
    int stopAt = -1;
    int fullMessages = 0;
};

class AlberoTest : public ::testing::Test {
protected:
    TreeFixture tree;
    FakeFileSystem files;
    CountingObserver observer;
};

TEST_F(AlberoTest, ListsTreeInPreOrderAndEnumerationOrder)
{
    const fs::path cwd = fs::current_path();
    tree.File("src/b.txt", "bb");
    tree.File("src/a/x", "x");
    tree.File("src/a/sub/y", "yyy");
    tree.Dir("src/empty");
    tree.File("src/z", "");
    const std::string s = tree.Path("src/");

    TreeList tree = BuildTreeList(files, s, observer);
    ASSERT_FALSE(tree.cut);
    const auto list = ListAll(tree);
    EXPECT_THAT(list, UnorderedElementsAreArray(
                          {s + "b.txt", s + "a/", s + "a/x", s + "a/sub/", s + "a/sub/y", s + "empty/", s + "z"}));
    // Each directory is followed at once by everything under it.
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].back() != '/')
            continue;
        std::size_t j = i + 1;
        while (j < list.size() && list[j].starts_with(list[i]))
            ++j;
        for (std::size_t k = j; k < list.size(); ++k)
            EXPECT_FALSE(list[k].starts_with(list[i])) << list[k] << " strays from " << list[i];
    }
    // Top-level entries come in the directory's own order.
    std::vector<std::string> top;
    for (const auto& e : list)
        if (auto rel = e.substr(s.size()); rel.find('/') == std::string::npos || rel.find('/') == rel.size() - 1)
            top.push_back(rel.back() == '/' ? rel.substr(0, rel.size() - 1) : rel);
    EXPECT_EQ(top, ReaddirOrder(s));

    EXPECT_EQ(SumTreeSizes(files, tree, observer), 6);
    EXPECT_EQ(CountTreeFiles(files, s, observer), 4);
    EXPECT_EQ(fs::current_path(), cwd) << "measuring leaves the working folder alone";
}

TEST_F(AlberoTest, ClassifiesEntriesLikeTheCopierShould)
{
    tree.File("src/.hidden-file", "h");
    tree.File("src/ro-file", "r");
    chmod(tree.Path("src/ro-file").c_str(), 0444);
    tree.File("src/.git/inside", "no");
    tree.File("src/locked/inside", "ro");
    chmod(tree.Path("src/locked").c_str(), 0555);
    tree.File("src/real/f", "f");
    ASSERT_EQ(mkfifo(tree.Path("src/fifo").c_str(), 0644), 0);
    fs::create_directory_symlink(tree.Path("src/real"), tree.Path("src/dirlink"));
    fs::create_symlink(tree.Path("src/real/f"), tree.Path("src/filelink"));
    fs::create_symlink(tree.Path("src/nowhere"), tree.Path("src/dangling"));
    const std::string s = tree.Path("src/");

    TreeList list = BuildTreeList(files, s, observer);
    EXPECT_THAT(ListAll(list),
                UnorderedElementsAreArray({s + ".hidden-file", s + "ro-file", s + "locked/", s + "locked/inside",
                                           s + "real/", s + "real/f", s + "filelink"}));
    EXPECT_EQ(CountTreeFiles(files, s, observer), 5);
    EXPECT_EQ(SumTreeSizes(files, list, observer), 6);
    chmod(tree.Path("src/locked").c_str(), 0755);
}

TEST_F(AlberoTest, FullListShowsMessageOnceAndKeepsFirstEntries)
{
    for (int i = 0; i < 1001; ++i)
        tree.File("src/d/f" + std::to_string(i), "1");
    const std::string s = tree.Path("src/");

    const TreeList cut = BuildTreeList(files, s, observer, 999);
    EXPECT_TRUE(cut.cut);
    EXPECT_EQ(cut.entries.size(), 999u);
    EXPECT_EQ(observer.fullMessages, 1);
    EXPECT_EQ(ListAll(cut).front(), s + "d/");
    EXPECT_EQ(CountTreeFiles(files, s, observer), 1001);  // counting does not depend on the list

    const TreeList whole = BuildTreeList(files, s, observer, 2000);
    EXPECT_FALSE(whole.cut);
    EXPECT_EQ(whole.entries.size(), 1002u);
}

TEST_F(AlberoTest, LongPathsAreStoredWholeAndMeasured)
{
    std::string rel = "src/";
    for (int i = 0; i < 6; ++i)
        rel += std::string(50, char('a' + i)) + "/";
    rel += "file.txt";
    tree.File(rel, "12345");
    TreeList built = BuildTreeList(files, tree.Path("src/"), observer);
    const auto list = ListAll(built);
    ASSERT_EQ(list.back(), tree.Path(rel));
    EXPECT_GT(list.back().size(), 300u);
    EXPECT_EQ(SumTreeSizes(files, built, observer), 5);
}

TEST_F(AlberoTest, SizesBeyondTwoGibibytesAreMeasured)
{
    tree.File("src/big");
    ASSERT_EQ(truncate(tree.Path("src/big").c_str(), 3LL << 30), 0);  // sparse: takes no disk
    tree.File("src/small", "abc");
    EXPECT_EQ(FileSizeOf(files, tree.Path("src/big")), 3LL << 30);
    TreeList list = BuildTreeList(files, tree.Path("src/"), observer);
    EXPECT_EQ(SumTreeSizes(files, list, observer), (3LL << 30) + 3);
}

TEST_F(AlberoTest, MeasuringFailuresNameTheFile)
{
    try {
        FileSizeOf(files, tree.Path("missing.txt"));
        FAIL() << "no error";
    } catch (const AlberoError& e) {
        EXPECT_THAT(e.what(), HasSubstr("missing.txt"));
    }
    EXPECT_THROW(CountTreeFiles(files, tree.Path("no-such-dir/"), observer), AlberoError);
    EXPECT_THROW(BuildTreeList(files, tree.Path("no-such-dir/"), observer), AlberoError);
}

TEST_F(AlberoTest, AFolderThatCannotBeListedIsAnErrorNotAnEmptyFolder)
{
    tree.File("src/a/x", "x");
    tree.File("src/b/unreadable/y", "y");
    tree.File("src/c/z", "z");
    const std::string s = tree.Path("src/");
    for (const int error : {EACCES, EMFILE, EIO}) {
        FakeFileSystem failing;
        failing.Fail(FsCall::List, "/unreadable", error, FsStep::List);
        try {
            BuildTreeList(failing, s, observer);
            ADD_FAILURE() << "the walk went on past " << std::strerror(error);
        } catch (const AlberoError& e) {
            EXPECT_THAT(e.what(), HasSubstr("src/b/unreadable/"));
            EXPECT_THAT(e.what(), HasSubstr(std::strerror(error)));
        }
        EXPECT_THROW(CountTreeFiles(failing, s, observer), AlberoError);
    }
}

TEST_F(AlberoTest, DeepTreesAreWalkedWithoutAHandlePerLevel)
{
    // Far deeper than the limit of open files allows handles: every level is read whole before the next.
    std::string rel = "src/";
    for (int i = 0; i < 320; ++i)
        rel += "d/";
    tree.File(rel + "bottom.txt", "end");
    tree.File("src/top.txt", "top");
    const std::string s = tree.Path("src/");

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    TreeList built;
    std::int64_t count = -1;
    try {
        built = BuildTreeList(files, s, observer);
        count = CountTreeFiles(files, s, observer);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_FALSE(built.cut);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(built.entries.size(), 320u + 2);
    EXPECT_EQ(ListAll(built).back(), tree.Path(rel + "bottom.txt"));
}

TEST_F(AlberoTest, TheObserverCanStopTheMeasuring)
{
    for (int i = 0; i < 10; ++i)
        tree.File("src/f" + std::to_string(i), "1");
    observer.stopAt = 3;
    EXPECT_THROW(BuildTreeList(files, tree.Path("src/"), observer), MeasuringStopped);
}

TEST(TargetPathForTest, MapsEntriesBelowTheTargetDirectory)
{
    EXPECT_EQ(TargetPathFor("/home/u/PROVA/", "/mnt/dati/PROVA/DOC/A.TXT", "/mnt/dati/PROVA/"),
              "/home/u/PROVA/DOC/A.TXT");
    EXPECT_EQ(TargetPathFor("/home/u/PROVA/", "/mnt/dati/PROVA/DOC/", "/mnt/dati/PROVA/"), "/home/u/PROVA/DOC/");
    // The source's name appearing higher up the path does not confuse the mapping.
    EXPECT_EQ(TargetPathFor("/r/PROVA/", "/PROVA/x/PROVA/PROVA/f", "/PROVA/x/PROVA/"), "/r/PROVA/PROVA/f");
    EXPECT_THROW(TargetPathFor("/r/PROVA/", "/elsewhere/f", "/mnt/PROVA/"), AlberoError);
}

TEST(TargetPathForTest, TargetDirectoryIsTheSourceNameUnderTheRoot)
{
    EXPECT_EQ(TargetDirectoryFor("/home/u", "/mnt/dati/PROVA/"), "/home/u/PROVA/");
    EXPECT_EQ(TargetDirectoryFor("/", "/mnt/dati/PROVA/"), "/PROVA/");
    EXPECT_EQ(TargetDirectoryFor("/home/u", "/PROVA/"), "/home/u/PROVA/");
    EXPECT_EQ(TargetDirectoryFor("/home/u", "/"), "");
}

TEST(FormatThousandsTest, GroupsByTheLocalesOwnRule)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    EXPECT_EQ(FormatThousands(0, italian), "0");
    EXPECT_EQ(FormatThousands(-1, italian), "-1");
    EXPECT_EQ(FormatThousands(1234567, italian), "1.234.567");
    EXPECT_EQ(FormatThousands(-1234567, italian), "-1.234.567");
    EXPECT_EQ(FormatThousands(3'000'000'000LL, italian), "3.000.000.000");
    EXPECT_EQ(FormatThousands(1234567, QLocale(QLocale::English, QLocale::UnitedStates)), "1,234,567");
    // The C locale has no thousands separator.
    EXPECT_EQ(FormatThousands(1234567, QLocale(QLocale::C)), "1234567");
    EXPECT_EQ(FormatThousands(-1234567, QLocale::c()), "-1234567");
}

}  // namespace

}  // namespace travaso
