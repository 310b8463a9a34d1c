#include "TForm1.h"

#include "Fakes.h"
#include "PropertyPanels.h"
#include "QtEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;

namespace {

// The main window in a fresh working folder (where calamo.cfg lives), answering prompts from a script.
class TForm1Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override
    {
        window.reset();
        QDir::setCurrent(previous);
    }

    TForm1& open()
    {
        window = std::make_unique<TForm1>(prompts, dir.path() + u'/');
        window->show();
        return *window;
    }

    void writeConfig(std::initializer_list<std::pair<int, const char*>> entries)
    {
        Config config = Config::defaults();
        for (const auto& [n, text] : entries)
            config.ShortcutTable[static_cast<std::size_t>(n - 1)] = text;
        ASSERT_EQ(ScriviCfg(config), std::nullopt);
    }

    EditorControl& editor() { return *dynamic_cast<EditorControl*>(window->documents().current()->editor); }
    template <typename T>
    T* child(const char* name) { return window->findChild<T*>(QLatin1String(name)); }

    QTemporaryDir dir;
    QString previous;
    ScriptedPrompts prompts;
    std::unique_ptr<TForm1> window;
};

TEST_F(TForm1Test, StartsWithTheSkeletonAndTitlesItOnTheFirstTick)
{
    TForm1& form = open();
    EXPECT_EQ(form.windowTitle(), "Calamo");
    auto* tabs = child<QTabBar>("Lingue");
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), dir.path() + "/~temp.htm");
    EXPECT_TRUE(editor().toPlainText().startsWith("<HTML>\n\n<HEAD>"));
    EXPECT_EQ(editor().textCursor().blockNumber(), 9);
    EXPECT_EQ(editor().textCursor().positionInBlock(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.windowTitle() != "Calamo"; }, 3000));
    EXPECT_EQ(form.windowTitle(), "Calamo   -   [" + dir.path() + "/~temp.htm]");
    EXPECT_FALSE(child<QLabel>("Tip")->text().isEmpty());
}

TEST_F(TForm1Test, AFirstStartWritesTheDefaultConfiguration)
{
    open();
    QFile file(dir.filePath(QStringLiteral("calamo.cfg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), 55);
    EXPECT_EQ(window->config().BrowserCommands[0], "xdg-open");
}

TEST_F(TForm1Test, ControlsFollowTheLayoutRuleAtStartAndAfterAResize)
{
    TForm1& form = open();
    EXPECT_EQ(form.clientSize(), QSize(754, 510));
    EXPECT_EQ(editor().geometry(), QRect(156, 96, 597, 393));
    EXPECT_EQ(child<QTabBar>("Lingue")->geometry(), QRect(156, 64, 597, 29));
    EXPECT_EQ(form.panels().group(3)->geometry(), QRect(2, 60, 151, 429));
    EXPECT_EQ(child<QLabel>("Image")->height(), 417);

    form.resizeClient(QSize(854, 610));
    EXPECT_EQ(editor().geometry(), QRect(156, 96, 697, 493));
    EXPECT_EQ(form.panels().group(1)->height(), 529);
    EXPECT_EQ(child<QWidget>("ControlBar")->width(), 848);
}

TEST_F(TForm1Test, SfogliaWalksThePanelsAndContextMenusSwitchThem)
{
    TForm1& form = open();
    PropertyPanels& panels = form.panels();
    EXPECT_EQ(panels.visible(), 1);
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        QTest::mouseClick(form.findChild<QToolButton*>(QStringLiteral("Sfoglia%1").arg(panels.visible())),
                          Qt::LeftButton);
        seen.push_back(panels.visible());
    }
    EXPECT_THAT(seen, ::testing::ElementsAre(2, 3, 4, 5, 6, 7, 8, 2));
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(panels.group(n)->isVisible(), n == 2) << n;

    // "Proprietà" of the table group shows the table panel; the frameset button's "Oggetti" the frameset panel.
    child<QWidget>("GruppoTabella")->actions().constFirst()->trigger();
    EXPECT_EQ(panels.visible(), 6);
    QTest::mouseClick(child<QToolButton>("Speed34"), Qt::LeftButton);
    EXPECT_EQ(panels.visible(), 8);
    child<QWidget>("GruppoModulo")->actions().constFirst()->trigger();
    EXPECT_EQ(panels.visible(), 7);
}

TEST_F(TForm1Test, ToolbarButtonsWrapTheSelectionUsingThePanels)
{
    TForm1& form = open();
    editor().setPlainText(QStringLiteral("a word here"));
    QTextCursor cursor = editor().textCursor();
    cursor.setPosition(2);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    editor().setTextCursor(cursor);
    QTest::mouseClick(child<QToolButton>("Speed05"), Qt::LeftButton);
    EXPECT_EQ(editor().toPlainText(), "a <B>word</B> here");
    EXPECT_EQ(editor().textCursor().position(), 9);
    EXPECT_FALSE(form.documents().document(0).saved);

    child<QCheckBox>("CheckBox28")->setChecked(true);
    auto* align = child<QComboBox>("ComboBox5");
    align->setCurrentIndex(2);
    QTest::mouseClick(child<QToolButton>("Speed01"), Qt::LeftButton);
    EXPECT_EQ(editor().toPlainText(), "a <B>word<P ALIGN= center></B> here");

    prompts.inputs = {QStringLiteral("x.htm")};
    QTest::mouseClick(child<QToolButton>("Speed17"), Qt::LeftButton);
    EXPECT_TRUE(editor().toPlainText().contains("<A HREF= \"x.htm\"></A>"));
}

TEST_F(TForm1Test, KeyReleasesMarkTheDocumentAndRunBoundCommands)
{
    writeConfig({{17, "C B"}, {18, "N F"}, {45, "N G"}});
    TForm1& form = open();
    editor().setPlainText(QStringLiteral("bold"));
    editor().selectAll();

    QTest::keyClick(&editor(), Qt::Key_Shift);
    EXPECT_FALSE(form.documents().document(0).saved);

    QTest::keyClick(&editor(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(editor().toPlainText(), "<B>bold</B>");

    // "N F" types the letter first, then runs italic on release.
    QTest::keyClick(&editor(), Qt::Key_F);
    EXPECT_EQ(editor().toPlainText(), "<B>boldf<I></I></B>");
    // Entry 45 is bound to nothing.
    QTest::keyClick(&editor(), Qt::Key_G);
    EXPECT_EQ(editor().toPlainText(), "<B>boldf<I>g</I></B>");
}

TEST_F(TForm1Test, ARightClickOnAnotherTabStillClosesTheCurrentDocument)
{
    TForm1& form = open();
    prompts.openNames.push_back(dir.filePath(QStringLiteral("a.htm")));
    QFile file(dir.filePath(QStringLiteral("a.htm")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A");
    file.close();
    form.ApriClick();
    auto* tabs = child<QTabBar>("Lingue");
    ASSERT_EQ(tabs->currentIndex(), 1);
    QTest::mouseClick(tabs, Qt::RightButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(tabs->currentIndex(), 1);
    tabs->findChild<QAction*>(QStringLiteral("Chiudi"))->trigger();
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_TRUE(editor().toPlainText().startsWith("<HTML>"));
    EXPECT_TRUE(editor().isVisible());

    // A left click on a tab shows its editor.
    prompts.openNames.push_back(std::nullopt);
    form.ApriClick();
    form.NuovoClick();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(form.documents().currentIndex(), 0);
    EXPECT_TRUE(editor().isVisible());
}

TEST_F(TForm1Test, ClosingTheWindowAsksAndRemovesTheTemporaryFiles)
{
    TForm1& form = open();
    QFile placeholder(dir.filePath(QStringLiteral("~temp.htm")));
    ASSERT_TRUE(placeholder.open(QIODevice::WriteOnly));
    placeholder.close();
    QTest::keyClick(&editor(), Qt::Key_A);
    prompts.answers = {false};
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("~temp.htm"))));
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_TRUE(prompts.log[0].startsWith("question Calamo: Salvare le modifiche al documento\r"));
}

TEST_F(TForm1Test, MenusHoldTheirItemsAndLaterDialogsAreDisabled)
{
    open();
    QStringList titles;
    for (const char* name : {"File", "Modifica", "Utilita", "Aiuto"})
        titles << child<QMenu>(name)->title();
    EXPECT_EQ(titles, QStringList({"File", "Modifica", "Utilità", "?"}));
    EXPECT_FALSE(child<QAction>("Conversione")->isEnabled());
    EXPECT_FALSE(child<QAction>("Rapida")->isEnabled());
    EXPECT_TRUE(child<QAction>("Spezza")->isEnabled());
    EXPECT_EQ(child<QToolButton>("Speed27")->toolTip(), "Salva");
    EXPECT_FALSE(child<QToolButton>("Speed27")->icon().isNull());
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
