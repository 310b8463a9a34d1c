#include "Albero.h"
#include "FakeClock.h"
#include "FakeFileSystem.h"
#include "ScriptedPrompts.h"
#include "TravasoMain.h"
#include "TreeFixture.h"
#include "zGauge.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace travaso {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        files.freeSpace = 1'000'000;
    }
    ~WindowTest() override
    {
        form.reset();
        QLocale::setDefault(QLocale::c());
    }

    std::string Source() const { return tree.Source(); }
    std::string Root() const { return tree.Root(); }
    std::string Target() const { return tree.Target(); }

    CopierEnvironment Environment()
    {
        CopierEnvironment env;
        env.executablePath = tree.Program();
        env.targetRoot = Root();
        env.treeCapacity = capacity;
        return env;
    }

    // Shows the window and waits for the opening to end (its last line, or an error box).
    TForm1& Open()
    {
        form.reset();  // one window per program: a second one would be a second start
        form = std::make_unique<TForm1>(Environment(), files, prompts, clock);
        form->show();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const auto lines = Lines();
            return !prompts.errors.empty() || (!lines.empty() && (lines.back() == "Pronto per la copia" ||
                                                                  lines.back() == "Spazio insufficiente!"));
        }));
        return *form;
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        if (!form)
            return lines;
        for (const QString& l : form->Memo1->toPlainText().split(u'\n', Qt::SkipEmptyParts))
            lines.push_back(l.toStdString());
        return lines;
    }

    void ClickCopia() { QTest::mouseClick(form->btnCopia, Qt::LeftButton); }

    CopierTree tree{777};
    FakeFileSystem files;
    ScriptedPrompts prompts;
    FakeClock clock;
    std::unique_ptr<TForm1> form;
    std::size_t capacity = DefaultTreeCapacity;
};

TEST_F(WindowTest, ALongTargetShowsItsEndOnOneLine)
{
    const std::string deep = "home/" + std::string(120, 'x') + "/A&B";
    tree.Dir(deep);
    const std::string root = tree.Path(deep);
    files.freeSpace = 1'000'000;
    CopierEnvironment env = Environment();
    env.targetRoot = root;
    form = std::make_unique<TForm1>(env, files, prompts, clock);
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Lines().empty() && Lines().back() == "Pronto per la copia"; }));
    const QString shown = form->lblDest->text();
    EXPECT_TRUE(shown.endsWith("/A&B/PROVA/")) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(form->lblDest->fontMetrics().horizontalAdvance(shown), form->lblDest->width());
}

TEST(DescriptiveTextTest, VeryLongLinesAreShownWholeInLinesOfBoundedLength)
{
    // Plain letters, plain text with a character outside the basic plane at a break, and one rich paragraph.
    const std::string plain(DescriptiveTextLimit, 'a');
    const std::string astral =
        std::string(std::size_t(MaxShownLine) - 1, 'b') + "\xF0\x9F\x98\x80" + std::string(3000, 'c');
    const std::string rtf = "{\\rtf1 " + std::string(5000, 'r') + "{\\b " + std::string(3000, 'g') + "}}";
    const std::map<std::string, QString> shown = {
        {plain, QString(qsizetype(plain.size()), u'a')},
        {astral, QString::fromStdString(astral)},
        {rtf, QString(5000, u'r') + QString(3000, u'g')},
    };
    for (const auto& [data, whole] : shown) {
        QTextEdit view;
        ShowDescriptiveText(&view, data);
        QString text = view.toPlainText();
        for (QTextBlock b = view.document()->begin(); b.isValid(); b = b.next())
            EXPECT_LE(b.length() - 1, MaxShownLine);
        EXPECT_EQ(text.remove(u'\n'), whole) << "nothing lost, no pair split";
    }
}

TEST_F(WindowTest, TheOpeningShowsTheTextTheTargetTheLogAndReadiness)
{
    tree.File("media/PROVA/a.txt", std::string(1500, 'a'));
    tree.File("media/PROVA/sub/b.bin", std::string(20000, 'b'));
    tree.Dir("media/PROVA/vuota");
    tree.File("media/PROVA/testo.txt", "Descrizione perch\xe9");  // Windows-1252
    TForm1& w = Open();

    EXPECT_EQ(w.windowTitle(), "Travaso v3.03");
    EXPECT_EQ(w.size(), QSize(561, 382));
    EXPECT_EQ(w.Gauge->geometry(), QRect(8, 64, 129, 30));
    EXPECT_THAT(Lines(), ElementsAre("Inizializzazione in corso", "Copia da: " + Source(),
                                     "Spazio richiesto: 21.518 byte (3 file)",
                                     "Spazio libero su " + Root() + ": 1.000.000 byte", "Pronto per la copia"));
    EXPECT_EQ(w.lblDest->text().toStdString(), Target());
    EXPECT_EQ(w.Memo2->toPlainText(), QString::fromUtf8("Descrizione perché"));
    EXPECT_TRUE(w.btnCopia->isEnabled());
    EXPECT_TRUE(w.btnTermina->isEnabled());
    EXPECT_EQ(w.Gauge->Max(), 3);
    EXPECT_EQ(w.Gauge->Value(), 0);
    EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(WindowTest, AnOpeningErrorShowsTheLogBeforeTheBoxAndKeepsTheCopyOff)
{
    tree.File("media/PROVA/a.txt", "precious");
    CopierEnvironment env = Environment();
    env.targetRoot = tree.Path("media");  // the target is the source itself
    prompts.onError = [&] { EXPECT_THAT(Lines(), Contains("Copia da: " + Source())) << "the log after the box"; };
    form = std::make_unique<TForm1>(env, files, prompts, clock);
    form->FormShow();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_FALSE(form->btnCopia->isEnabled());
    EXPECT_FALSE(form->btnTermina->isEnabled());
}

TEST_F(WindowTest, CopyRunCopiesEverythingButTheProgram)
{
    tree.File("media/PROVA/a.txt", std::string(1500, 'a'));
    tree.File("media/PROVA/TRAVASO", "same name, other case");
    tree.File("media/PROVA/sub/deep/c.txt", "c");
    tree.Dir("media/PROVA/vuota");
    tree.File("media/PROVA/testo.rtf", "{\\rtf1 Testo {\\b Grassetto}}");
    Open();
    ASSERT_EQ(Lines().back(), "Pronto per la copia");
    ClickCopia();

    auto expected = TreeFixture::Snapshot(Source());
    expected.erase("travaso");
    EXPECT_EQ(TreeFixture::Snapshot(Target()), expected);
    const auto lines = Lines();
    EXPECT_EQ(lines[5], "Creata directory " + Target());
    for (const std::string& line :
         {"Creata directory " + Target() + "sub/", "Creata directory " + Target() + "sub/deep/",
          "Creata directory " + Target() + "vuota/", std::string("Copiato a.txt [1.500 byte]"),
          std::string("Copiato c.txt [1 byte]"), std::string("Copiato TRAVASO [21 byte]")})
        EXPECT_THAT(lines, Contains(line));
    EXPECT_THAT(lines, ::testing::Not(Contains(HasSubstr("Copiato travaso"))));
    EXPECT_EQ(lines.back(), "=== Copia completata ===");
    EXPECT_EQ(lines.size(), 5u + 1 + 3 + 4 + 1);
    EXPECT_EQ(files.Count(FsCall::Sync), 1);
    EXPECT_EQ(form->Gauge->Value(), form->Gauge->Max());
    EXPECT_EQ(form->Gauge->Max(), 4);
    EXPECT_FALSE(form->btnCopia->isEnabled());
    EXPECT_TRUE(form->btnTermina->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, ACopyRunBringsItsLogToTheScreenAtMostOncePerDisplayFrame)
{
    for (int i = 0; i < 5; ++i)
        tree.File("media/PROVA/f" + std::to_string(i), "1");
    for (const auto& [step, expectedPaints] :
         {std::pair{std::chrono::milliseconds(0), 1}, {std::chrono::milliseconds(16), 7}}) {
        Open();
        clock.step = step;
        QSignalSpy painted(form->Memo1, &QPlainTextEdit::textChanged);
        ClickCopia();
        clock.step = {};
        EXPECT_EQ(painted.count(), expectedPaints) << step.count() << " ms a reading";
        EXPECT_EQ(Lines().back(), "=== Copia completata ===");
    }
}

TEST_F(WindowTest, ExistingTargetIsReportedAndOverwritten)
{
    tree.File("media/PROVA/a.txt", "new");
    tree.File("home/PROVA/a.txt", "old and longer");
    tree.File("home/PROVA/extra.txt", "stays");
    Open();
    ClickCopia();
    EXPECT_EQ(Lines()[5], "Directory " + Target() + " già esistente");
    EXPECT_EQ(TreeFixture::Read(Target() + "a.txt"), "new");
    EXPECT_EQ(TreeFixture::Read(Target() + "extra.txt"), "stays");
}

TEST_F(WindowTest, OnlyTheProgramGivesNothingToCopy)
{
    Open();
    EXPECT_EQ(Lines()[2], "Spazio richiesto: 0 byte (0 file)");
    ClickCopia();
    const auto lines = Lines();
    EXPECT_THAT(std::vector(lines.begin() + 5, lines.end()),
                ElementsAre("Creata directory " + Target(), "=== Copia completata ==="));
}

TEST_F(WindowTest, CutListNeverEndsAsComplete)
{
    for (int i = 0; i < 6; ++i)
        tree.File("media/PROVA/f" + std::to_string(i), "1");
    capacity = 3;
    Open();
    EXPECT_THAT(prompts.messages, ElementsAre("Albero riempito (troppe voci)"));
    EXPECT_THAT(Lines(), Contains(HasSubstr("(6 file)")));  // the count covers the whole tree
    ClickCopia();
    EXPECT_EQ(Lines().back(), "=== Copia incompleta ===");
}

TEST_F(WindowTest, CopyErrorStopsTheRunWithBothButtonsDisabled)
{
    tree.File("media/PROVA/sub/b.txt", "b");
    tree.File("home/PROVA/sub", "a file where the directory should go");
    Open();
    ClickCopia();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr("Impossibile creare la directory \"" + Target() + "sub\""));
    // The folder that could not be made is not logged as made.
    EXPECT_THAT(Lines(), ::testing::Not(Contains("Creata directory " + Target() + "sub/")));
    EXPECT_THAT(Lines(), ::testing::Not(Contains(HasSubstr("=== Copia"))));
    EXPECT_FALSE(form->btnCopia->isEnabled());
    EXPECT_FALSE(form->btnTermina->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, DataNotFlushedIsNotReportedAsCopied)
{
    tree.File("media/PROVA/a.txt", "a");
    files.Fail(FsCall::Sync, "", EIO, FsStep::Sync);
    Open();
    ClickCopia();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_THAT(prompts.errors[0], HasSubstr(std::strerror(EIO)));
    EXPECT_THAT(Lines(), ::testing::Not(Contains(HasSubstr("=== Copia"))));
}

TEST_F(WindowTest, TheNormalCursorIsBackBeforeTheErrorBoxOpens)
{
    tree.File("media/PROVA/a.txt", "a");
    files.Fail(FsCall::CopyFile, "a.txt", ENOSPC, FsStep::Write);
    prompts.onError = [] { EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "hourglass over the error box"; };
    Open();
    ClickCopia();
    EXPECT_EQ(prompts.errors.size(), 1u);
}

TEST_F(WindowTest, TheTargetIsKeptAsBytesNotReadBackFromTheLabel)
{
    tree.File("media/caf\xe8/travaso", "program");
    tree.File("media/caf\xe8/men\xf9.txt", "menu");
    CopierEnvironment env = Environment();
    env.executablePath = tree.Path("media/caf\xe8/travaso");
    form = std::make_unique<TForm1>(env, files, prompts, clock);
    form->FormShow();
    ASSERT_TRUE(form->btnCopia->isEnabled()) << (prompts.errors.empty() ? "" : prompts.errors[0]);
    EXPECT_EQ(form->lblDest->text(), QString::fromStdString(Root() + "/caf\xe8/"));  // shown with U+FFFD
    ClickCopia();
    EXPECT_EQ(TreeFixture::Read(Root() + "/caf\xe8/men\xf9.txt"), "menu");
    EXPECT_FALSE(fs::exists(Root() + "/caf\xef\xbf\xbd"));
    EXPECT_EQ(Lines().back(), "=== Copia completata ===");
}

TEST_F(WindowTest, FormattedTextIsShownFormatted)
{
    tree.File("media/PROVA/testo.rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Testo {\\b Grassetto}\\par Due}");
    tree.File("media/PROVA/testo.txt", "not shown");
    Open();
    EXPECT_EQ(form->Memo2->toPlainText(), "Testo Grassetto\nDue");
    QTextCursor cursor(form->Memo2->document());
    cursor.setPosition(8);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(3);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
}

TEST_F(WindowTest, AParagraphOfEndlessFormatChangesKeepsItsWholeText)
{
    std::string rtf = "{\\rtf1 ";
    QString expected;
    for (int i = 0; i < 2000; ++i) {
        rtf += i % 2 ? "{\\b x}" : "{\\i y}";
        expected += i % 2 ? u'x' : u'y';
    }
    tree.File("media/PROVA/testo.rtf", rtf + "}");
    Open();
    EXPECT_EQ(form->Memo2->toPlainText().remove(u'\n'), expected);  // in lines of bounded length
    QTextCursor cursor(form->Memo2->document());
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);  // the first runs keep their own formats
}

}  // namespace

}  // namespace travaso
