#include "Albero.h"
#include "AlberoCopy.h"
#include "ScriptedPrompts.h"
#include "TreeFixture.h"

#include <QCoreApplication>
#include <QLocale>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

namespace {

std::vector<std::string> ListAll()
{
    std::vector<std::string> out;
    ResetTreeCursor();
    for (std::string e = NextTreeEntry(); !e.empty(); e = NextTreeEntry())
        out.push_back(e);
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

class AlberoTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        FreeTreeList();
        SetAlberoPrompts(nullptr);
        SetProcessMessagesHook(nullptr);
    }
    TreeFixture tree;
    ScriptedPrompts prompts;
};

TEST_F(AlberoTest, ListsTreeInPreOrderAndEnumerationOrder)
{
    tree.File("src/b.txt", "bb");
    tree.File("src/a/x", "x");
    tree.File("src/a/sub/y", "yyy");
    tree.Dir("src/empty");
    tree.File("src/z", "");
    const std::string s = tree.Path("src/");

    ASSERT_TRUE(BuildTreeList(s));
    const auto list = ListAll();
    EXPECT_THAT(list, UnorderedElementsAreArray({s + "b.txt", s + "a/", s + "a/x", s + "a/sub/", s + "a/sub/y",
                                                 s + "empty/", s + "z"}));
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

    EXPECT_EQ(SumTreeSizes(), 6);
    EXPECT_EQ(CountTreeFiles(s), 4);
    EXPECT_EQ(NextTreeEntry(), "");  // the cursor stays at the end
}

TEST_F(AlberoTest, ClassifiesEntriesLikeTheCopierShould)
{
    tree.File("src/.hidden-file", "h");
    tree.File("src/ro-file", "r");
    chmod(tree.Path("src/ro-file").c_str(), 0444);
    tree.File("src/.git/inside", "no");
    tree.File("src/locked/inside", "no");
    chmod(tree.Path("src/locked").c_str(), 0555);
    tree.File("src/real/f", "f");
    ASSERT_EQ(mkfifo(tree.Path("src/fifo").c_str(), 0644), 0);
    fs::create_directory_symlink(tree.Path("src/real"), tree.Path("src/dirlink"));
    fs::create_symlink(tree.Path("src/real/f"), tree.Path("src/filelink"));
    fs::create_symlink(tree.Path("src/nowhere"), tree.Path("src/dangling"));
    const std::string s = tree.Path("src/");

    BuildTreeList(s);
    EXPECT_THAT(ListAll(), UnorderedElementsAreArray({s + ".hidden-file", s + "ro-file", s + "real/", s + "real/f",
                                                      s + "filelink"}));
    EXPECT_EQ(CountTreeFiles(s), 4);
    EXPECT_EQ(SumTreeSizes(), 4);
    chmod(tree.Path("src/locked").c_str(), 0755);
}

TEST_F(AlberoTest, FullListShowsMessageOnceAndKeepsFirstEntries)
{
    for (int i = 0; i < 1001; ++i)
        tree.File("src/d/f" + std::to_string(i), "1");
    const std::string s = tree.Path("src/");
    SetAlberoPrompts(&prompts);

    EXPECT_FALSE(BuildTreeList(s, 999));
    EXPECT_TRUE(TreeListWasCut());
    EXPECT_EQ(TreeEntryCount(), 999u);
    EXPECT_THAT(prompts.messages, ElementsAre("Albero riempito (troppe voci)"));
    EXPECT_EQ(ListAll().front(), s + "d/");
    EXPECT_EQ(CountTreeFiles(s), 1001);  // counting does not depend on the list

    BuildTreeList(s, 2000);
    EXPECT_FALSE(TreeListWasCut());
    EXPECT_EQ(TreeEntryCount(), 1002u);
}

TEST_F(AlberoTest, LongPathsAreStoredWholeAndMeasured)
{
    std::string rel = "src/";
    for (int i = 0; i < 6; ++i)
        rel += std::string(50, char('a' + i)) + "/";
    rel += "file.txt";
    tree.File(rel, "12345");
    BuildTreeList(tree.Path("src/"));
    const auto list = ListAll();
    ASSERT_EQ(list.back(), tree.Path(rel));
    EXPECT_GT(list.back().size(), 300u);
    EXPECT_EQ(SumTreeSizes(), 5);
}

TEST_F(AlberoTest, SizesBeyondTwoGibibytesAreMeasured)
{
    tree.File("src/big");
    ASSERT_EQ(truncate(tree.Path("src/big").c_str(), 3LL << 30), 0);  // sparse: takes no disk
    tree.File("src/small", "abc");
    EXPECT_EQ(FileSizeOf(tree.Path("src/big")), 3LL << 30);
    BuildTreeList(tree.Path("src/"));
    EXPECT_EQ(SumTreeSizes(), (3LL << 30) + 3);
}

TEST_F(AlberoTest, MeasuringFailuresNameTheFile)
{
    try {
        FileSizeOf(tree.Path("missing.txt"));
        FAIL() << "no error";
    } catch (const AlberoError& e) {
        EXPECT_THAT(e.what(), HasSubstr("missing.txt"));
    }
    EXPECT_THROW(CountTreeFiles(tree.Path("no-such-dir/")), AlberoError);
    // A directory that cannot be enumerated gives an empty list, no error.
    EXPECT_TRUE(BuildTreeList(tree.Path("no-such-dir/")));
    EXPECT_EQ(TreeEntryCount(), 0u);
}

TEST_F(AlberoTest, PendingMessagesAreProcessedDuringTheWalks)
{
    tree.File("src/a/b", "1");
    tree.File("src/c", "2");
    int calls = 0;
    SetProcessMessagesHook([&] { ++calls; });
    BuildTreeList(tree.Path("src/"));
    EXPECT_GE(calls, 3);
    calls = 0;
    SumTreeSizes();
    EXPECT_EQ(calls, 3);
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

TEST(FormatThousandsTest, UsesTheLocaleSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(-1), "-1");
    EXPECT_EQ(FormatThousands(1234567), "1.234.567");
    EXPECT_EQ(FormatThousands(3'000'000'000LL), "3.000.000.000");
    QLocale::setDefault(saved);
}

TEST(CharsTest, LeftAndRightClampToTheString)
{
    EXPECT_EQ(LeftChars("abcdef", 2), "ab");
    EXPECT_EQ(RightChars("abcdef", 2), "ef");
    EXPECT_EQ(RightChars("ab", 5), "ab");
}

class CopyTest : public ::testing::TestWithParam<CopyMethod> {
protected:
    void Copy(const std::string& from, const std::string& to)
    {
        CopyFileWith(from, to, GetParam(), 61440);
    }
    TreeFixture tree;
};

TEST_P(CopyTest, CopiesContentExactlyAndReplacesTargets)
{
    std::string big(200'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 131 % 251);
    tree.File("big", big);
    tree.File("empty");
    tree.File("old", std::string(300'000, 'x'));
    Copy(tree.Path("big"), tree.Path("big.copy"));
    Copy(tree.Path("empty"), tree.Path("empty.copy"));
    Copy(tree.Path("big"), tree.Path("old"));
    EXPECT_EQ(TreeFixture::Read(tree.Path("big.copy")), big);
    EXPECT_TRUE(fs::exists(tree.Path("empty.copy")));
    EXPECT_EQ(fs::file_size(tree.Path("empty.copy")), 0u);
    EXPECT_EQ(TreeFixture::Read(tree.Path("old")), big);  // truncated, not overlaid
}

TEST_P(CopyTest, CopyOfReadOnlyFileIsWritable)
{
    tree.File("ro", "data");
    chmod(tree.Path("ro").c_str(), 0444);
    Copy(tree.Path("ro"), tree.Path("ro.copy"));
    EXPECT_NE(fs::status(tree.Path("ro.copy")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_P(CopyTest, FailuresNameTheFileAndKeepTheSource)
{
    tree.File("src", "precious");
    tree.Dir("adir");
    const auto expectError = [&](const std::string& from, const std::string& to, const std::string& named) {
        try {
            Copy(from, to);
            ADD_FAILURE() << "no error copying " << from << " to " << to;
        } catch (const AlberoError& e) {
            EXPECT_THAT(e.what(), HasSubstr(named));
        }
    };
    expectError(tree.Path("gone"), tree.Path("t"), "gone");              // unreadable source
    expectError(tree.Path("src"), tree.Path("nodir/t"), "nodir/t");      // target cannot be created
    expectError(tree.Path("src"), tree.Path("adir"), "adir");            // target is a directory
    expectError(tree.Path("src"), tree.Path("src"), "src");              // copying a file onto itself
    EXPECT_EQ(TreeFixture::Read(tree.Path("src")), "precious");
}

TEST_P(CopyTest, SourceShorterThanItsSizeIsAReadError)
{
    tree.File("short", "only ten!!");
    const int in = open(tree.Path("short").c_str(), O_RDONLY);
    const int out = open(tree.Path("t").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_THROW(CopyBytes(in, out, 100, GetParam(), 4, tree.Path("short"), tree.Path("t")), AlberoError);
    close(in);
    close(out);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, CopyTest, ::testing::Values(CopyMethod::Blocks, CopyMethod::KernelCopy),
                         [](const auto& info) { return info.param == CopyMethod::Blocks ? "Blocks" : "KernelCopy"; });

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
