#include "Opening.h"

#include "FakeFileSystem.h"
#include "ScriptedPrompts.h"
#include "TreeFixture.h"

#include <QLocale>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace travaso {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// What the window would show.
struct Shown : OpeningObserver {
    void Log(const std::string& line) override { lines.push_back(line); }
    void ShowDescriptiveText(const std::string& data) override { text = data; }
    void ShowTarget(const std::string& shown) override { target = shown; }
    bool ProcessMessages() override { return ++passes != stopAt; }

    std::vector<std::string> lines;
    std::string text = "(not shown)";
    std::string target;
    int passes = 0;
    int stopAt = -1;
};

class OpeningTest : public ::testing::Test {
protected:
    OpeningTest()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        files.freeSpace = 1'000'000;
        env.executablePath = tree.Program();
        env.targetRoot = Root();
    }
    ~OpeningTest() override { QLocale::setDefault(QLocale::c()); }

    std::string Source() const { return tree.Source(); }
    std::string Root() const { return tree.Root(); }
    std::string Target() const { return tree.Target(); }

    OpeningOutcome Open() { return RunOpening(files, env, shown, prompts); }

    CopierTree tree{777};
    FakeFileSystem files;
    ScriptedPrompts prompts;
    CopierEnvironment env;
    Shown shown;
};

TEST_F(OpeningTest, MeasuresTheTreeNamesTheTargetAndIsReady)
{
    tree.File("media/PROVA/a.txt", std::string(1500, 'a'));
    tree.File("media/PROVA/sub/b.bin", std::string(20000, 'b'));
    tree.Dir("media/PROVA/vuota");
    tree.File("media/PROVA/testo.txt", "Descrizione perch\xe9");
    const OpeningOutcome outcome = Open();

    EXPECT_THAT(shown.lines, ElementsAre("Inizializzazione in corso", "Copia da: " + Source(),
                                         "Spazio richiesto: 21.518 byte (3 file)",
                                         "Spazio libero su " + Root() + ": 1.000.000 byte", "Pronto per la copia"));
    EXPECT_EQ(shown.target, Target());
    EXPECT_EQ(shown.text, "Descrizione perch\xe9");
    EXPECT_TRUE(outcome.Ready());
    EXPECT_EQ(outcome.paths.target, Target());
    ASSERT_TRUE(outcome.measurement);
    EXPECT_EQ(outcome.measurement->FilesToCopy(), 3);
    EXPECT_EQ(outcome.measurement->tree.source, Source());
    EXPECT_THAT(prompts.errors, IsEmpty());
}

TEST_F(OpeningTest, NotEnoughSpaceKeepsTheCopyFromStarting)
{
    tree.File("media/PROVA/a.txt", std::string(1500, 'a'));
    files.freeSpace = 1500;  // equal counts as not enough
    EXPECT_FALSE(Open().Ready());
    EXPECT_EQ(shown.lines.back(), "Spazio insufficiente!");

    shown.lines.clear();
    files.freeSpace = -1;  // cannot be queried
    EXPECT_FALSE(Open().Ready());
    EXPECT_THAT(shown.lines, Contains("Spazio libero su " + Root() + ": -1 byte"));
    EXPECT_EQ(shown.lines.back(), "Spazio insufficiente!");
    EXPECT_THAT(prompts.errors, IsEmpty());
}

TEST_F(OpeningTest, OnlyTheProgramRequiresNothing)
{
    Open();
    EXPECT_EQ(shown.lines[2], "Spazio richiesto: 0 byte (0 file)");
}

TEST_F(OpeningTest, AFullListIsToldAndTheCountStillCoversTheTree)
{
    for (int i = 0; i < 6; ++i)
        tree.File("media/PROVA/f" + std::to_string(i), "1");
    env.treeCapacity = 3;
    const OpeningOutcome outcome = Open();
    EXPECT_THAT(prompts.messages, ElementsAre("Albero riempito (troppe voci)"));
    EXPECT_THAT(shown.lines, Contains(HasSubstr("(6 file)")));
    ASSERT_TRUE(outcome.measurement);
    EXPECT_TRUE(outcome.measurement->tree.cut);
}

TEST_F(OpeningTest, OverlappingTargetsAreRefusedBeforeMeasuring)
{
    tree.File("media/PROVA/a.txt", "precious");
    // The target is the source itself.
    env.targetRoot = tree.Path("media");
    OpeningOutcome outcome = Open();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr("è la directory di origine"));
    EXPECT_EQ(outcome.error, prompts.errors[0]);
    EXPECT_FALSE(outcome.Ready());

    // The target holds the source: the program in R/dup/dup/ copying into R/dup/.
    tree.File("R/dup/f.txt", "outer");
    tree.File("R/dup/dup/f.txt", "inner");
    tree.File("R/dup/dup/travaso", "program");
    env.executablePath = tree.Path("R/dup/dup/travaso");
    env.targetRoot = tree.Path("R");
    prompts.errors.clear();
    outcome = Open();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr("contiene la directory di origine"));
    EXPECT_FALSE(outcome.measurement);
    EXPECT_EQ(files.Count(FsCall::List) + files.Count(FsCall::MakeDirectory) + files.Count(FsCall::CopyFile), 0);
    EXPECT_EQ(TreeFixture::Read(tree.Path("R/dup/f.txt")), "outer");
    EXPECT_EQ(TreeFixture::Read(Source() + "a.txt"), "precious");
}

TEST_F(OpeningTest, ErrorsEndTheOpeningInTheErrorBox)
{
    tree.File("media/PROVA/a.txt", "a");
    tree.File("media/PROVA/privata/b.txt", "b");
    files.Fail(FsCall::List, "privata", EACCES, FsStep::List);
    EXPECT_FALSE(Open().Ready());
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr("privata"));
    EXPECT_THAT(shown.lines, Not(Contains("Pronto per la copia")));

    // A descriptive text that exists and cannot be read.
    FakeFileSystem unreadable;
    unreadable.Fail(FsCall::ReadFile, "testo.rtf", EACCES, FsStep::Open);
    tree.File("media/PROVA/testo.rtf", "{\\rtf1 x}");
    prompts.errors.clear();
    EXPECT_FALSE(RunOpening(unreadable, env, shown, prompts).measurement);
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr("testo.rtf"));

    // A program in the root folder has no folder name to copy into.
    env.executablePath = "/travaso";
    prompts.errors.clear();
    EXPECT_FALSE(Open().measurement);
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr("radice"));
}

TEST_F(OpeningTest, AFifoDescriptiveTextShowsNothingAndTheOpeningGoesOn)
{
    tree.File("media/PROVA/a.txt", "a");
    ASSERT_EQ(mkfifo(tree.Path("media/PROVA/testo.rtf").c_str(), 0644), 0);
    EXPECT_TRUE(Open().Ready());
    EXPECT_EQ(shown.text, "");
    EXPECT_THAT(prompts.errors, IsEmpty());
}

TEST_F(OpeningTest, AStoppedOpeningShowsNothingMore)
{
    for (int i = 0; i < 10; ++i)
        tree.File("media/PROVA/f" + std::to_string(i), "1");
    shown.stopAt = 3;
    const OpeningOutcome outcome = Open();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_FALSE(outcome.measurement);
    EXPECT_THAT(prompts.errors, IsEmpty());
    EXPECT_EQ(shown.lines.back(), "Copia da: " + Source());
}

}  // namespace

}  // namespace travaso
