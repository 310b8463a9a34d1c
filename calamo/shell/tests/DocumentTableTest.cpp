#include "DocumentTable.h"

#include "FakeFileSystem.h"
#include "Fakes.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;
using ::testing::ElementsAre;

namespace {

class DocumentTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        table.createFirstDocument();
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // Opens a file holding `text` and returns its index.
    int openWith(const char* name, const QByteArray& text)
    {
        writeFile(path(name), text);
        prompts.openNames.push_back(path(name));
        table.ApriClick();
        return table.currentIndex();
    }

    QTemporaryDir dir;
    FakeHost host;
    ScriptedPrompts prompts;
    FakeFileSystem files;
    DocumentTable table{host, prompts, files, dir.filePath(QStringLiteral("~temp.htm"))};
};

TEST_F(DocumentTableTest, StartsWithOneSavedSkeletonDocumentAndTheCaretOnLineTen)
{
    ASSERT_EQ(table.count(), 1);
    EXPECT_THAT(host.tabs, ElementsAre(table.placeholderPath()));
    const QStringList lines = host.editor(0).text().split(u'\n');
    ASSERT_EQ(lines.size(), 14 + 1);  // the last line ends in a break too
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[0], "<HTML>");
    EXPECT_EQ(lines[3], " <META NAME= \"generator\" content= \"!! CaLaMo !!\">");
    EXPECT_EQ(lines[4], " <TITLE> </TITLE>");
    EXPECT_EQ(lines[11], "</BODY>");
    EXPECT_EQ(lines[13], "</HTML>");
    const int lineTen = static_cast<int>(host.editor(0).text().indexOf(QStringLiteral("<BODY>\n\n"))) + 8;
    EXPECT_EQ(host.editor(0).selectionStart(), lineTen);
    EXPECT_EQ(host.editor(0).selectionLength(), 0);
    EXPECT_TRUE(table.document(0).saved);
    EXPECT_EQ(table.title(), "Calamo   -   [" + table.placeholderPath() + "]");
}

TEST_F(DocumentTableTest, AKeyReleaseMarksTheDocumentOnlyWhenItsTextChanged)
{
    table.keyReleased();  // a modifier, a caret key, Enter on a dialog: the text is as it was
    EXPECT_TRUE(table.document(0).saved);
    EXPECT_FALSE(table.title().endsWith("*]"));

    host.editor(0).setContent(QStringLiteral("typed"));
    table.keyReleased();
    EXPECT_FALSE(table.document(0).saved);
    EXPECT_TRUE(table.title().endsWith("*]"));

    // Saved, then the release of Ctrl after Ctrl+S: the mark stays off.
    openWith("a.htm", "A");
    host.editor(1).setContent(QStringLiteral("AB"));
    table.keyReleased();
    table.SalvaClick();
    table.keyReleased();
    EXPECT_TRUE(table.document(1).saved);
    EXPECT_EQ(bytesOf(path("a.htm")), "AB");
}

TEST_F(DocumentTableTest, NewDocumentsShareThePlaceholderAndTheLastOneIsCurrent)
{
    table.NuovoClick();
    table.NuovoClick();
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.currentIndex(), 2);
    EXPECT_EQ(host.selected, 2);
    EXPECT_THAT(host.tabs, ElementsAre(table.placeholderPath(), table.placeholderPath(), table.placeholderPath()));
    EXPECT_TRUE(host.editor(2).text().isEmpty());
    EXPECT_TRUE(table.document(2).saved);
}

TEST_F(DocumentTableTest, ClosingTheLastOfThreeSelectsTheOneBefore)
{
    openWith("a.htm", "A");
    openWith("b.htm", "B");
    table.ChiudiClick();
    EXPECT_EQ(table.count(), 2);
    EXPECT_EQ(table.currentIndex(), 1);
    EXPECT_EQ(host.selected, 1);
    EXPECT_TRUE(host.editor(1).isShown());
    EXPECT_EQ(host.live.size(), 2u);
}

TEST_F(DocumentTableTest, EveryCloseGivesTheFocusToTheCurrentEditor)
{
    openWith("a.htm", "A");
    openWith("b.htm", "B");
    const int before = host.editor(1).focusTaken;
    table.ChiudiClick();  // the last tab: document 1 becomes current
    EXPECT_GT(host.editor(1).focusTaken, before);
    table.LingueChange(0);
    const int first = host.editor(0).focusTaken;
    table.ChiudiClick();  // the first tab: the former second document now sits in editor 0
    EXPECT_GT(host.editor(0).focusTaken, first);
}

TEST_F(DocumentTableTest, ClosingTheFirstMovesLaterTextsNamesAndFlagsDown)
{
    openWith("a.htm", "A");
    openWith("b.htm", "B");
    table.LingueChange(1);
    table.markModified();  // document 1 ("a.htm") now modified
    table.LingueChange(0);
    table.ChiudiClick();
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.currentIndex(), 0);
    EXPECT_EQ(host.selected, 0);
    EXPECT_EQ(host.editor(0).text(), "A");
    EXPECT_EQ(table.document(0).fileName, path("a.htm"));
    EXPECT_FALSE(table.document(0).saved);
    EXPECT_EQ(host.editor(1).text(), "B");
    EXPECT_THAT(host.tabs, ElementsAre(path("a.htm"), path("b.htm")));
}

TEST_F(DocumentTableTest, EditorsKeepTheirWordWrapWhenTextsMove)
{
    openWith("a.htm", "A");
    table.SpezzaClick();  // editor 1 off
    EXPECT_FALSE(host.editor(1).wordWrap());
    table.LingueChange(0);
    table.ChiudiClick();
    EXPECT_EQ(host.editor(0).text(), "A");
    EXPECT_TRUE(host.editor(0).wordWrap());
}

TEST_F(DocumentTableTest, ClosingTheOnlyDocumentEmptiesTheTableAndNewStartsAgainAtZero)
{
    table.ChiudiClick();
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(host.tabCount(), 0);
    EXPECT_EQ(table.title(), "Calamo   -   [Nessun documento aperto]");

    // Commands on no document do nothing.
    table.SalvaClick();
    table.TagliaClick();
    table.ChiudiClick();
    table.markModified();
    EXPECT_TRUE(prompts.log.empty());

    table.NuovoClick();
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.currentIndex(), 0);
    EXPECT_EQ(table.document(0).fileName, table.placeholderPath());
}

TEST_F(DocumentTableTest, ExitAsksAboutModifiedDocumentsInTableOrder)
{
    const int a = openWith("a.htm", "A");
    const int b = openWith("b.htm", "B");
    table.LingueChange(0);
    table.markModified();
    table.LingueChange(b);
    table.markModified();
    ASSERT_EQ(a, 1);
    prompts.saveNames.push_back(path("first.htm"));  // document 0 still has the placeholder path
    prompts.answers = {true, false};
    prompts.log.clear();
    EXPECT_TRUE(table.closeAll());
    ASSERT_EQ(prompts.log.size(), 3u);
    EXPECT_EQ(prompts.log[0], "question Calamo: Salvare le modifiche al documento\r" + table.placeholderPath() + " ?");
    EXPECT_EQ(prompts.log[1], "save dialog");
    EXPECT_EQ(prompts.log[2], "question Calamo: Salvare le modifiche al documento\r" + path("b.htm") + " ?");
    EXPECT_TRUE(QFile::exists(path("first.htm")));
    EXPECT_FALSE(QFile::exists(table.placeholderPath()));
    EXPECT_EQ(bytesOf(path("b.htm")), "B");  // No keeps the old file
}

TEST_F(DocumentTableTest, YesForAnUnnamedDocumentNeverWritesThePlaceholder)
{
    table.markModified();
    prompts.answers = {true};
    prompts.saveNames.push_back(std::nullopt);  // the user cancels the name
    table.ChiudiClick();
    EXPECT_EQ(table.count(), 1) << "a cancelled name must keep the document open";
    EXPECT_FALSE(table.document(0).saved);
    EXPECT_FALSE(QFile::exists(table.placeholderPath()));

    prompts.answers = {true};
    prompts.saveNames.push_back(std::nullopt);
    EXPECT_FALSE(table.closeAll()) << "exit must stay open";

    prompts.answers = {true};
    prompts.saveNames.push_back(path("kept.htm"));
    table.ChiudiClick();
    EXPECT_TRUE(table.empty());
    EXPECT_TRUE(bytesOf(path("kept.htm")).startsWith("<HTML>\r\n\r\n<HEAD>\r\n"));
}

TEST_F(DocumentTableTest, AFailedWriteKeepsTheDocumentModifiedAndOpen)
{
    const QString unwritable = path("no-such-folder/page.htm");
    prompts.saveNames.push_back(unwritable);
    table.SalvanomeClick();
    EXPECT_EQ(table.document(0).fileName, table.placeholderPath()) << "name and tab agree on the old name";
    EXPECT_EQ(host.tabs[0], table.placeholderPath());
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_TRUE(prompts.log[1].startsWith("error: "));

    openWith("a.htm", "A");
    table.markModified();
    QFile::remove(path("a.htm"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("a.htm")));  // a folder now stands where the file was
    prompts.answers = {true};
    table.ChiudiClick();
    EXPECT_EQ(table.count(), 2);
    EXPECT_FALSE(table.document(1).saved);
    prompts.answers = {true};
    EXPECT_FALSE(table.closeAll());
}

TEST_F(DocumentTableTest, SaveWritesOnlyModifiedDocumentsWithCrLf)
{
    openWith("a.htm", "one\ntwo");
    QFile::remove(path("a.htm"));
    table.SalvaClick();
    EXPECT_FALSE(QFile::exists(path("a.htm"))) << "a saved document is not written again";
    table.markModified();
    table.SalvaClick();
    EXPECT_EQ(bytesOf(path("a.htm")), "one\r\ntwo");
    EXPECT_TRUE(table.document(1).saved);
}

TEST_F(DocumentTableTest, CancellingSaveAsSavesUnderTheCurrentName)
{
    openWith("a.htm", "A");
    host.editor(1).setContent(QStringLiteral("changed"));
    table.markModified();
    prompts.saveNames.push_back(std::nullopt);
    table.SalvanomeClick();
    EXPECT_EQ(bytesOf(path("a.htm")), "changed");
    EXPECT_TRUE(table.document(1).saved);

    prompts.saveNames.push_back(path("b.htm"));
    table.SalvanomeClick();
    EXPECT_EQ(bytesOf(path("b.htm")), "changed");
    EXPECT_EQ(host.tabs[1], path("b.htm"));
}

TEST_F(DocumentTableTest, AnUnnamedDocumentIsWrittenOnlyUnderAChosenName)
{
    table.markModified();
    prompts.saveNames.push_back(std::nullopt);
    table.SalvaClick();
    prompts.saveNames.push_back(std::nullopt);
    table.SalvanomeClick();
    EXPECT_EQ(prompts.log, (std::vector<QString>{"save dialog", "save dialog"}));
    EXPECT_FALSE(QFile::exists(table.placeholderPath()));
    EXPECT_FALSE(table.document(0).saved);

    prompts.saveNames.push_back(path("named.htm"));
    table.SalvaClick();
    EXPECT_TRUE(table.document(0).saved);
    EXPECT_EQ(table.document(0).fileName, path("named.htm"));
    EXPECT_EQ(host.tabs[0], path("named.htm"));
}

TEST_F(DocumentTableTest, SaveAllShowsEachUnnamedDocumentWhileItsNameIsAsked)
{
    host.editor(0).setContent(QStringLiteral("first"));
    table.keyReleased();
    table.NuovoClick();
    host.editor(1).setContent(QStringLiteral("second"));
    table.keyReleased();
    openWith("c.htm", "C");
    ASSERT_EQ(table.currentIndex(), 2);

    std::vector<std::pair<int, QString>> shown;  // the selected tab and the shown text as each dialog opens
    prompts.beforeSaveDialog = [&] {
        for (int i = 0; i < table.count(); ++i) {
            if (host.editor(i).isShown())
                shown.emplace_back(host.selected, host.editor(i).text());
        }
    };
    prompts.saveNames = {path("one.htm"), path("two.htm")};
    table.Speed46Click();
    EXPECT_THAT(shown, ElementsAre(std::pair(0, QString("first")), std::pair(1, QString("second"))));
    EXPECT_EQ(bytesOf(path("two.htm")), "second");
    EXPECT_EQ(table.currentIndex(), 2) << "the current document is shown again";
    EXPECT_EQ(host.selected, 2);
    EXPECT_TRUE(host.editor(2).isShown());
}

TEST_F(DocumentTableTest, SaveAllGoesOnAfterAFailedWrite)
{
    openWith("a.htm", "A");
    table.markModified();
    openWith("b.htm", "B");
    host.editor(2).setContent(QStringLiteral("B2"));
    table.markModified();
    QFile::remove(path("a.htm"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("a.htm")));
    table.Speed46Click();
    EXPECT_FALSE(table.document(1).saved);
    EXPECT_EQ(bytesOf(path("b.htm")), "B2");
    EXPECT_TRUE(table.document(2).saved);
    EXPECT_EQ(table.currentIndex(), 2);
}

TEST_F(DocumentTableTest, AnUnreadableFileAddsNoDocument)
{
    prompts.openNames.push_back(path("missing.htm"));
    table.ApriClick();
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(host.tabCount(), 1);
    EXPECT_EQ(host.live.size(), 1u);
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_TRUE(prompts.log[1].startsWith("error: "));
}

TEST_F(DocumentTableTest, DocumentsAreWrittenBackInTheEncodingTheyWereReadIn)
{
    openWith("latin.htm", "caff\xE8\r\n");  // Windows-1252
    table.markModified();
    table.SalvaClick();
    EXPECT_EQ(bytesOf(path("latin.htm")), "caff\xE8\r\n");

    openWith("utf8.htm", "caff\xC3\xA8\n");
    table.markModified();
    table.SalvaClick();
    EXPECT_EQ(bytesOf(path("utf8.htm")), "caff\xC3\xA8\r\n");

    // A character Windows-1252 cannot hold moves the file to UTF-8 instead of losing it; the user is told once.
    openWith("grow.htm", "x");
    host.editor(table.currentIndex()).setContent(QString::fromUtf8("\xCF\x80 \xE2\x82\xAC"));
    table.markModified();
    prompts.log.clear();
    table.SalvaClick();
    EXPECT_EQ(bytesOf(path("grow.htm")), "\xCF\x80 \xE2\x82\xAC");
    table.markModified();
    table.SalvaClick();
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_TRUE(prompts.log[0].startsWith("message: Il documento contiene caratteri")) << prompts.log[0].toStdString();

    // A page that declares its charset is written in it, whatever the editor read it as.
    openWith("declared.htm", "<META charset=\"utf-8\">\r\n<P>caffe</P>");
    host.editor(table.currentIndex()).setContent(QString::fromUtf8("<META charset=\"utf-8\">\n<P>caff\xC3\xA8</P>"));
    table.keyReleased();
    table.SalvaClick();
    EXPECT_EQ(bytesOf(path("declared.htm")), "<META charset=\"utf-8\">\r\n<P>caff\xC3\xA8</P>");
}

TEST_F(DocumentTableTest, ClipboardCommandsMarkOnlyWhatChangesTheText)
{
    FakeEditor& editor = host.editor(0);
    editor.select(0, 6);
    table.CopiaClick();
    EXPECT_TRUE(table.document(0).saved);
    table.TagliaClick();
    EXPECT_FALSE(table.document(0).saved);
    EXPECT_FALSE(editor.text().startsWith("<HTML>"));
    table.IncollaClick();
    EXPECT_TRUE(editor.text().startsWith("<HTML>"));

    // Pasting an empty clipboard changes nothing and marks nothing.
    openWith("a.htm", "A");
    host.clipboard.clear();
    table.IncollaClick();
    EXPECT_EQ(host.editor(1).text(), "A");
    EXPECT_TRUE(table.document(1).saved);
    table.LingueChange(0);
    table.StampaClick();
    EXPECT_THAT(editor.printedAs, ElementsAre(table.placeholderPath()));
}

}  // namespace
