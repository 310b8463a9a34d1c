#include "CopyJob.h"
#include "FakeFileSystem.h"
#include "TreeFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace travaso {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// Each step as the window would log it.
struct StepLog : CopyObserver {
    void TargetExisted(const std::string& target) override { lines.push_back("exists " + target); }
    void DirectoryCreated(const std::string& path) override
    {
        EXPECT_TRUE(fs::is_directory(path)) << "reported before it exists: " << path;
        lines.push_back("dir " + path);
    }
    void FileCopied(const std::string& source, std::int64_t bytes, std::int32_t copiedSoFar) override
    {
        lines.push_back("file " + source.substr(source.rfind('/') + 1) + " " + std::to_string(bytes));
        last = copiedSoFar;
    }
    std::vector<std::string> lines;
    std::int32_t last = 0;
};

class CopyJobTest : public ::testing::Test {
protected:
    CopyJobTest() : paths{tree.Source(), tree.Target(), tree.Root(), tree.Program()} {}

    // Measures the source; the list it gives is kept for the copy run.
    MeasureOutcome Measure(std::size_t capacity = DefaultTreeCapacity)
    {
        MeasureOutcome outcome = MeasureSource(files, paths, observer, capacity);
        if (outcome.measurement)
            measured = outcome.measurement->tree;
        return outcome;
    }
    CopyOutcome Copy() { return RunCopy(files, paths, measured, log); }
    CopyOutcome MeasureAndCopy()
    {
        const MeasureOutcome m = Measure();
        EXPECT_TRUE(m.measurement) << m.error;
        return Copy();
    }
    // Calls that write to the target.
    int Writes() const
    {
        return files.Count(FsCall::MakeDirectory) + files.Count(FsCall::CopyFile) + files.Count(FsCall::RemoveFile);
    }

    CopierTree tree{100};
    FakeFileSystem files;
    MeasureObserver observer;
    StepLog log;
    CopierPaths paths;
    TreeList measured;
};

TEST_F(CopyJobTest, MeasuresTheTreeWithoutTheProgram)
{
    const fs::path cwd = fs::current_path();
    tree.File("media/PROVA/a.txt", std::string(1500, 'a'));
    tree.File("media/PROVA/sub/b.bin", std::string(20000, 'b'));
    tree.Dir("media/PROVA/vuota");
    files.freeSpace = 21500;
    const MeasureOutcome outcome = Measure();
    ASSERT_TRUE(outcome.measurement) << outcome.error;
    const Measurement& m = *outcome.measurement;
    EXPECT_EQ(m.total, 21600);
    EXPECT_EQ(m.executableSize, 100);
    EXPECT_EQ(m.required, 21500);
    EXPECT_EQ(m.fileCount, 3);
    EXPECT_EQ(m.FilesToCopy(), 2);
    EXPECT_FALSE(m.EnoughSpace());  // equal is not enough
    files.freeSpace = -1;
    EXPECT_FALSE(Measure().measurement->EnoughSpace());
    files.freeSpace = 21501;
    EXPECT_TRUE(Measure().measurement->EnoughSpace());
    EXPECT_EQ(fs::current_path(), cwd) << "measuring leaves the working folder alone";
}

TEST_F(CopyJobTest, FoldersThatCannotBeListedStopTheMeasuring)
{
    tree.File("media/PROVA/a.txt", "a");
    tree.File("media/PROVA/privata/segreto.txt", "s");
    for (const int error : {EACCES, EMFILE}) {
        FakeFileSystem failing;
        failing.Fail(FsCall::List, "privata", error, FsStep::List);
        const MeasureOutcome outcome = MeasureSource(failing, paths, observer);
        EXPECT_FALSE(outcome.measurement);
        EXPECT_THAT(outcome.error, HasSubstr("privata"));
        EXPECT_THAT(outcome.error, HasSubstr(std::strerror(error)));
    }
    // Hidden folders are skipped by rule, not failures; read-only ones are measured.
    tree.File("media/PROVA/.nascosta/x", "x");
    tree.File("media/PROVA/sola-lettura/y", "y");
    chmod(tree.Path("media/PROVA/sola-lettura").c_str(), 0555);
    EXPECT_TRUE(Measure().measurement);
    chmod(tree.Path("media/PROVA/sola-lettura").c_str(), 0755);
}

TEST_F(CopyJobTest, CopiesTheTreeAndReportsEachStepOnceItIsDone)
{
    tree.File("media/PROVA/a.txt", std::string(1500, 'a'));
    tree.File("media/PROVA/sub/deep/c.txt", "c");
    tree.Dir("media/PROVA/vuota");
    chmod(tree.Path("media/PROVA/sub").c_str(), 0555);  // as on read-only media
    const CopyOutcome outcome = MeasureAndCopy();
    chmod(tree.Path("media/PROVA/sub").c_str(), 0755);
    EXPECT_EQ(outcome.end, CopyEnd::Completed) << outcome.error;

    auto expected = TreeFixture::Snapshot(paths.source);
    expected.erase("travaso");
    EXPECT_EQ(TreeFixture::Snapshot(paths.target), expected);
    EXPECT_EQ(log.lines.front(), "dir " + paths.target);
    EXPECT_THAT(log.lines, Contains("dir " + paths.target + "sub/deep/"));
    EXPECT_THAT(log.lines, Contains("file a.txt 1500"));
    EXPECT_THAT(log.lines, Not(Contains(HasSubstr("file travaso"))));
    EXPECT_EQ(log.last, 2);

    log.lines.clear();
    EXPECT_EQ(Copy().end, CopyEnd::Completed);
    EXPECT_EQ(log.lines.front(), "exists " + paths.target);
}

TEST_F(CopyJobTest, AFolderSwappedForALinkAfterMeasuringIsNotFollowed)
{
    tree.File("media/PROVA/a.txt", "a");
    tree.File("media/PROVA/sub/deep/f.txt", "inside");
    tree.File("outside/deep/f.txt", "not the user's to copy");
    ASSERT_TRUE(Measure().measurement);
    fs::rename(tree.Path("media/PROVA/sub"), tree.Path("moved"));
    fs::create_directory_symlink(tree.Path("outside"), tree.Path("media/PROVA/sub"));

    const CopyOutcome outcome = Copy();
    EXPECT_EQ(outcome.end, CopyEnd::Stopped);
    EXPECT_THAT(outcome.error, HasSubstr("PROVA/sub"));
    EXPECT_FALSE(fs::exists(paths.target + "sub/deep/f.txt"));
    EXPECT_THAT(log.lines, Not(Contains(HasSubstr("f.txt"))));
}

TEST_F(CopyJobTest, NamesThatAreNotUtf8KeepTheirBytes)
{
    tree.File("media/PROVA/caf\xe8/men\xf9.txt", "menu");
    tree.File("media/PROVA/\xff\xfe", "raw");
    EXPECT_EQ(MeasureAndCopy().end, CopyEnd::Completed);
    EXPECT_EQ(TreeFixture::Read(paths.target + "caf\xe8/men\xf9.txt"), "menu");
    EXPECT_EQ(TreeFixture::Read(paths.target + "\xff\xfe"), "raw");
    EXPECT_THAT(log.lines, Contains("dir " + paths.target + "caf\xe8/"));
}

TEST_F(CopyJobTest, AFolderThatCannotBeMadeEndsTheRunWithoutClaimingIt)
{
    tree.File("media/PROVA/sub/b.txt", "b");
    tree.File("media/PROVA/z.txt", "z");
    tree.File("home/PROVA/sub", "a file where the folder goes");
    const CopyOutcome outcome = MeasureAndCopy();
    EXPECT_EQ(outcome.end, CopyEnd::Stopped);
    EXPECT_THAT(outcome.error, HasSubstr("home/PROVA/sub"));
    EXPECT_THAT(log.lines, Not(Contains("dir " + paths.target + "sub/")));
    EXPECT_EQ(TreeFixture::Read(paths.target + "sub"), "a file where the folder goes");
}

TEST_F(CopyJobTest, AnUnwritableTargetRootEndsTheRunBeforeAnyLine)
{
    tree.File("media/PROVA/a.txt", "a");
    files.Fail(FsCall::MakeDirectory, "home/PROVA", EACCES, FsStep::MakeDirectory);
    const CopyOutcome outcome = MeasureAndCopy();
    EXPECT_EQ(outcome.end, CopyEnd::Stopped);
    EXPECT_THAT(outcome.error, HasSubstr(std::strerror(EACCES)));
    EXPECT_THAT(log.lines, IsEmpty());
}

TEST_F(CopyJobTest, CopyFailuresStopTheRunAndNameTheFile)
{
    tree.File("media/PROVA/a.txt", "a");
    tree.File("media/PROVA/b.txt", "b");
    files.Fail(FsCall::CopyFile, "b.txt", ENOSPC, FsStep::Write);
    const CopyOutcome outcome = MeasureAndCopy();
    EXPECT_EQ(outcome.end, CopyEnd::Stopped);
    EXPECT_THAT(outcome.error, HasSubstr("home/PROVA/b.txt"));
    EXPECT_THAT(outcome.error, HasSubstr(std::strerror(ENOSPC)));
    EXPECT_THAT(log.lines, Not(Contains(HasSubstr("file b.txt"))));
}

TEST_F(CopyJobTest, TheFlushHandleIsOpenedBeforeAnythingIsWrittenAndChecked)
{
    tree.File("media/PROVA/sub/a.txt", "a");
    files.Fail(FsCall::Sync, "", EIO, FsStep::Sync);
    const CopyOutcome outcome = MeasureAndCopy();
    EXPECT_EQ(outcome.end, CopyEnd::Stopped);
    EXPECT_THAT(outcome.error, HasSubstr(std::strerror(EIO)));
    const int opened = files.First(FsCall::OpenSync);
    ASSERT_GE(opened, 0);
    EXPECT_LT(opened, files.First(FsCall::MakeDirectory));
    EXPECT_LT(opened, files.First(FsCall::CopyFile));
    // Opened on the target root (the target does not exist yet), on the file system the copy writes to.
    EXPECT_EQ(files.calls[std::size_t(opened)].path, paths.targetRoot);
    EXPECT_EQ(files.Count(FsCall::Sync), 1);
}

TEST_F(CopyJobTest, ACutListNeverEndsAsComplete)
{
    for (int i = 0; i < 6; ++i)
        tree.File("media/PROVA/f" + std::to_string(i), "1");
    ASSERT_TRUE(Measure(3).measurement);
    EXPECT_EQ(Copy().end, CopyEnd::Incomplete);
}

TEST_F(CopyJobTest, ACopyRunWorksThroughTheListItIsHandedNotALaterOne)
{
    for (int i = 0; i < 6; ++i)
        tree.File("media/PROVA/f" + std::to_string(i), "1");
    ASSERT_TRUE(Measure().measurement);
    const TreeList whole = measured;
    ASSERT_TRUE(Measure(3).measurement);
    EXPECT_EQ(RunCopy(files, paths, whole, log).end, CopyEnd::Completed);
    EXPECT_EQ(log.last, 6);
}

TEST_F(CopyJobTest, LinksStandingInTheTargetAreReplacedNotWrittenThrough)
{
    tree.File("media/PROVA/sub/a.txt", "new");
    tree.File("media/PROVA/b.txt", "new b");
    tree.File("elsewhere/a.txt", "keep");
    tree.File("elsewhere/b.txt", "keep b");
    tree.Dir("home/PROVA");
    fs::create_directory_symlink(tree.Path("elsewhere"), tree.Path("home/PROVA/sub"));
    fs::create_symlink(tree.Path("elsewhere/b.txt"), tree.Path("home/PROVA/b.txt"));
    EXPECT_EQ(MeasureAndCopy().end, CopyEnd::Completed);
    EXPECT_EQ(TreeFixture::Read(tree.Path("elsewhere/a.txt")), "keep");
    EXPECT_EQ(TreeFixture::Read(tree.Path("elsewhere/b.txt")), "keep b");
    EXPECT_FALSE(fs::is_symlink(paths.target + "sub"));
    EXPECT_EQ(TreeFixture::Read(paths.target + "sub/a.txt"), "new");
    EXPECT_FALSE(fs::is_symlink(paths.target + "b.txt"));
    EXPECT_EQ(TreeFixture::Read(paths.target + "b.txt"), "new b");
}

class OverlapTest : public CopyJobTest {};

TEST_F(OverlapTest, ATargetThatContainsTheSourceIsRefusedBeforeAnythingIsWritten)
{
    // The program in R/dup/dup/ with R as the target root: the target R/dup/ holds the source.
    tree.File("R/dup/f.txt", "outer, precious");
    tree.File("R/dup/dup/f.txt", "inner");
    tree.File("R/dup/dup/travaso", "program");
    paths.source = tree.Path("R/dup/dup/");
    paths.executable = paths.source + "travaso";
    paths.targetRoot = tree.Path("R");
    paths.target = TargetDirectoryFor(paths.targetRoot, paths.source);
    ASSERT_EQ(paths.target, tree.Path("R/dup/"));

    EXPECT_THAT(FindOverlap(files, paths.source, paths.target), HasSubstr("contiene la directory di origine"));
    ASSERT_TRUE(Measure().measurement);
    const CopyOutcome outcome = Copy();
    EXPECT_EQ(outcome.end, CopyEnd::Stopped);
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(TreeFixture::Read(tree.Path("R/dup/f.txt")), "outer, precious");
}

TEST_F(OverlapTest, OneFolderUnderTwoPathsIsFoundByIdentity)
{
    // As a bind mount shows them: paths apart, folders the same.
    tree.Dir("media/PROVA/inner");
    tree.Dir("home/PROVA");
    tree.Dir("elsewhere/PROVA");
    const std::string s = tree.Path("media/PROVA/");
    files.sameFolderAs[tree.Path("home/PROVA")] = tree.Path("media/PROVA");
    files.sameFolderAs[tree.Path("elsewhere")] = tree.Path("media/PROVA");
    EXPECT_THAT(FindOverlap(files, s, tree.Path("home/PROVA/")), HasSubstr("è la directory di origine"));
    EXPECT_THAT(FindOverlap(files, s, tree.Path("elsewhere/PROVA/new/")), HasSubstr("dentro la directory di origine"));
    files.sameFolderAs = {{tree.Path("media"), tree.Path("home/PROVA")}};
    EXPECT_THAT(FindOverlap(files, s, tree.Path("home/PROVA/")), HasSubstr("contiene la directory di origine"));
}

TEST_F(OverlapTest, EveryOverlapIsFoundThroughLinks)
{
    tree.Dir("media/PROVA/inner");
    tree.Dir("media/PROVA2");
    fs::create_directory_symlink(tree.Path("media/PROVA"), tree.Path("alias"));
    fs::create_directory_symlink(tree.Path("media"), tree.Path("home/up"));
    const std::string s = tree.Path("media/PROVA/");
    EXPECT_THAT(FindOverlap(files, s, s), HasSubstr("è la directory di origine"));
    EXPECT_THAT(FindOverlap(files, s, tree.Path("alias/")), HasSubstr("è la directory di origine"));
    EXPECT_THAT(FindOverlap(files, s, tree.Path("alias/inner/PROVA/")), HasSubstr("dentro la directory di origine"));
    EXPECT_THAT(FindOverlap(files, s, tree.Path("media/")), HasSubstr("contiene la directory di origine"));
    EXPECT_THAT(FindOverlap(files, s, tree.Path("home/up/")), HasSubstr("contiene la directory di origine"));
    // Not yet made, below the source through a link.
    EXPECT_THAT(FindOverlap(files, s, tree.Path("alias/new/deeper/")), HasSubstr("dentro"));
    // Apart: a sibling whose name begins with the source's, and a fresh folder elsewhere.
    EXPECT_EQ(FindOverlap(files, s, tree.Path("media/PROVA2/")), "");
    EXPECT_EQ(FindOverlap(files, s, tree.Path("home/PROVA/")), "");
}

TEST_F(CopyJobTest, OnlyARegularFileIsADescriptiveText)
{
    const std::string dir = tree.Path("media/PROVA/");
    EXPECT_EQ(ReadDescriptiveText(files, dir).data, "");

    tree.File("media/PROVA/testo.txt", "plain");
    EXPECT_EQ(ReadDescriptiveText(files, dir).data, "plain");
    ASSERT_EQ(mkfifo((dir + "testo.rtf").c_str(), 0644), 0);  // opening it for reading would block
    EXPECT_EQ(ReadDescriptiveText(files, dir).data, "plain");
    fs::remove(dir + "testo.rtf");
    fs::create_symlink("/dev/zero", dir + "testo.rtf");  // would read for ever
    const DescriptiveText text = ReadDescriptiveText(files, dir);
    EXPECT_EQ(text.data, "plain");
    EXPECT_EQ(text.error, "");

    fs::remove(dir + "testo.rtf");
    tree.File("media/PROVA/testo.rtf", "{\\rtf1 " + std::string(DescriptiveTextLimit, 'x') + "}");
    EXPECT_EQ(ReadDescriptiveText(files, dir).data.size(), DescriptiveTextLimit);

    files.Fail(FsCall::ReadFile, "testo.rtf", EACCES, FsStep::Open);
    const DescriptiveText unreadable = ReadDescriptiveText(files, dir);
    EXPECT_THAT(unreadable.error, HasSubstr("testo.rtf"));
    EXPECT_EQ(unreadable.data, "");
}

}  // namespace

}  // namespace travaso
