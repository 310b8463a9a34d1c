#include "Preview.h"

#include "DocumentTable.h"
#include "FakeFileSystem.h"
#include "Fakes.h"
#include "ProgramLauncher.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <cerrno>

using namespace calamo;
using namespace calamo::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Records what would have been started, and fails when told to.
class RecordingLauncher final : public ProgramLauncher {
public:
    std::optional<QString> startDetached(const QString& program, const QStringList& arguments) override
    {
        started.push_back(program + u'|' + arguments.join(u'|'));
        return failure;
    }
    std::vector<QString> started;
    std::optional<QString> failure;
};

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        table.createFirstDocument();
        host.editor(0).setText(QStringLiteral("<P>caffè\nè pronto</P>"));
        config.BrowserCommands = {"xdg-open", "/opt/my browser/run"};
    }

    QTemporaryDir dir;
    FakeHost host;
    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    Config config = Config::defaults();
    FakeFileSystem files;
    DocumentTable table{host, prompts, files, dir.filePath(QStringLiteral("~temp.htm"))};
};

TEST_F(PreviewTest, WritesTheDocumentAndStartsTheBrowserWithTheFullPathAsOneArgument)
{
    const QString spaced = dir.filePath(QStringLiteral("con spazi"));
    ASSERT_TRUE(QDir().mkpath(spaced));
    const QString preview = spaced + QStringLiteral("/~~temp.htm");
    previewInBrowser(table, config, 2, preview, files, launcher, prompts);
    EXPECT_THAT(launcher.started, ElementsAre("/opt/my browser/run|" + preview));
    EXPECT_EQ(bytesOf(preview), "<P>caff\xE8\r\n\xE8 pronto</P>");
    // The document is neither saved nor renamed, and its own file is not written.
    EXPECT_TRUE(table.document(0).saved);
    EXPECT_EQ(table.document(0).fileName, table.placeholderPath());
    EXPECT_FALSE(QFile::exists(table.placeholderPath()));
    EXPECT_THAT(prompts.log, IsEmpty());

    // A later preview replaces the file.
    host.editor(0).setText(QStringLiteral("x"));
    previewInBrowser(table, config, 1, preview, files, launcher, prompts);
    EXPECT_EQ(launcher.started.back(), "xdg-open|" + preview);
    EXPECT_EQ(bytesOf(preview), "x");
}

TEST_F(PreviewTest, ARelativePreviewPathIsMadeFull)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    previewInBrowser(table, config, 1, QStringLiteral("~~temp.htm"), files, launcher, prompts);
    QDir::setCurrent(previous);
    EXPECT_THAT(launcher.started, ElementsAre("xdg-open|" + QDir(dir.path()).absoluteFilePath("~~temp.htm")));
}

TEST_F(PreviewTest, AnEmptyCommandDoesNothing)
{
    config.BrowserCommands[0] = "";
    config.BrowserCommands[1] = "   ";
    const QString preview = dir.filePath(QStringLiteral("~~temp.htm"));
    previewInBrowser(table, config, 1, preview, files, launcher, prompts);
    previewInBrowser(table, config, 2, preview, files, launcher, prompts);
    EXPECT_THAT(launcher.started, IsEmpty());
    EXPECT_FALSE(QFile::exists(preview));
    EXPECT_THAT(prompts.log, IsEmpty());
}

TEST_F(PreviewTest, ABrowserThatCannotStartIsReportedWithTheSystemsReason)
{
    launcher.failure = QStringLiteral("No such file or directory");
    previewInBrowser(table, config, 1, dir.filePath(QStringLiteral("~~temp.htm")), files, launcher, prompts);
    EXPECT_THAT(prompts.log,
                ElementsAre("error: Impossibile avviare il browser \"xdg-open\": No such file or directory"));
}

TEST_F(PreviewTest, AFileThatCannotBeWrittenIsReportedAndNoBrowserStarts)
{
    const QString preview = dir.filePath(QStringLiteral("~~temp.htm"));
    files.fail(FsCall::Write, preview, EACCES);
    previewInBrowser(table, config, 1, preview, files, launcher, prompts);
    EXPECT_THAT(launcher.started, IsEmpty());
    EXPECT_THAT(prompts.log, ElementsAre("error: " + writeError(preview, EACCES)));
}

TEST_F(PreviewTest, NothingHappensWithoutADocument)
{
    table.ChiudiClick();
    ASSERT_TRUE(table.empty());
    previewInBrowser(table, config, 1, dir.filePath(QStringLiteral("~~temp.htm")), files, launcher, prompts);
    EXPECT_THAT(launcher.started, IsEmpty());
}

class BrowserCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("calamo.cfg"));
    ScriptedPrompts prompts;
    FakeFileSystem files;
    Config config = Config::defaults();
};

TEST_F(BrowserCommandsTest, BothCancelledStillRewritesTheWholeFile)
{
    writeFile(path, "short\r\nfile\r\n");
    config.ShortcutTable[2] = "C S";
    prompts.inputs = {std::nullopt, std::nullopt};
    askBrowserCommands(config, files, prompts, path);
    EXPECT_THAT(prompts.log, ElementsAre("input Comando browser 1: Prego immetti il comando.",
                                         "input Comando browser 2: Prego immetti il comando."));
    EXPECT_EQ(bytesOf(path), formatConfig(config));
    EXPECT_EQ(bytesOf(path).count("\r\n"), 55);
    EXPECT_EQ(config.BrowserCommands[0], "xdg-open");
}

TEST_F(BrowserCommandsTest, AnswersAreCutToTwentyCharacters)
{
    prompts.inputs = {QStringLiteral("/usr/local/bin/navigatore"), QStringLiteral("navigatò")};
    askBrowserCommands(config, files, prompts, path);
    EXPECT_EQ(config.BrowserCommands[0], "/usr/local/bin/navig");
    EXPECT_EQ(config.BrowserCommands[1], "navigat\xF2");
    Config read;
    ASSERT_EQ(LeggiCfg(files, read, path), std::nullopt);
    EXPECT_EQ(read, config);
}

TEST_F(BrowserCommandsTest, AnAnswerTheFileCannotHoldKeepsTheCommand)
{
    prompts.inputs = {QStringLiteral("браузер"), QStringLiteral("chromium")};
    askBrowserCommands(config, files, prompts, path);
    EXPECT_EQ(config.BrowserCommands[0], "xdg-open");
    EXPECT_EQ(config.BrowserCommands[1], "chromium");
    ASSERT_EQ(prompts.log.size(), 3u);
    EXPECT_TRUE(prompts.log[1].startsWith("error: Il comando \"браузер\""));
}

TEST_F(BrowserCommandsTest, AFailedWriteIsReportedAndTheCommandsStayInMemory)
{
    prompts.inputs = {QStringLiteral("a"), QStringLiteral("b")};
    files.fail(FsCall::Write, path, ENOSPC);
    askBrowserCommands(config, files, prompts, path);
    EXPECT_EQ(config.BrowserCommands[0], "a");
    ASSERT_EQ(prompts.log.size(), 3u);
    EXPECT_EQ(prompts.log[2], "error: " + writeError(path, ENOSPC));
}

}  // namespace
