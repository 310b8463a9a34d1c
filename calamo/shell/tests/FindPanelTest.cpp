#include "FindPanel.h"

#include "WindowFixture.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const QString kNotFound = QStringLiteral("warning: Non è possibile trovare il testo specificato.");

class FindPanelTest : public WindowFixture {
protected:
    void select(int start, int end)
    {
        QTextCursor cursor = editor().textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        editor().setTextCursor(cursor);
    }
    QStringList visibleControls()
    {
        QStringList names;
        for (const char* name : {"Edit2", "Button1", "Button3", "Panel10", "Edit3", "Button2", "Button4"}) {
            if (child<QWidget>(name)->isVisible())
                names << QLatin1String(name);
        }
        return names;
    }
    void click(const char* button) { QTest::mouseClick(child<QAbstractButton>(button), Qt::LeftButton); }
};

TEST_F(FindPanelTest, ShowingAndClosingThePanelMovesTheEditorsEdge)
{
    TForm1& form = open();
    EXPECT_TRUE(visibleControls().isEmpty());
    EXPECT_EQ(editor().height(), 393);

    click("Speed23");
    EXPECT_EQ(visibleControls().size(), 7);
    EXPECT_TRUE(form.findPanelVisible());
    EXPECT_EQ(window->focusWidget(), child<QLineEdit>("Edit2"));
    EXPECT_EQ(editor().geometry(), QRect(156, 96, 597, 323));
    EXPECT_EQ(child<QLineEdit>("Edit2")->geometry(), QRect(158, 422, 163, 21));
    EXPECT_EQ(child<QPushButton>("Button3")->geometry(), QRect(410, 421, 75, 25));
    EXPECT_EQ(child<QFrame>("Panel10")->geometry(), QRect(159, 453, 326, 2));
    EXPECT_EQ(child<QLineEdit>("Edit3")->geometry().topLeft(), QPoint(158, 464));
    EXPECT_EQ(child<QPushButton>("Button2")->geometry(), QRect(330, 463, 75, 25));
    EXPECT_EQ(child<QPushButton>("Button4")->text(), "Fine");

    // A window 100 pixels taller keeps the editors 70 pixels short, and the panel under them.
    form.resizeClient(QSize(754, 610));
    EXPECT_EQ(editor().height(), 423);
    EXPECT_EQ(child<QLineEdit>("Edit2")->y(), 522);

    click("Button4");
    EXPECT_TRUE(visibleControls().isEmpty());
    EXPECT_FALSE(form.findPanelVisible());
    EXPECT_EQ(window->focusWidget(), &editor());
    EXPECT_EQ(editor().height(), 493);
}

TEST_F(FindPanelTest, TheSelectionFillsTheFindBoxOnlyWhenThePanelOpens)
{
    open();
    editor().setText(QStringLiteral("uno due tre"));
    child<QLineEdit>("Edit2")->setText(QStringLiteral("old"));
    child<QLineEdit>("Edit3")->setText(QStringLiteral("kept?"));
    click("Speed23");
    EXPECT_EQ(child<QLineEdit>("Edit2")->text(), "old");  // nothing selected
    EXPECT_EQ(child<QLineEdit>("Edit3")->text(), "");
    click("Button4");

    select(4, 7);
    click("Speed23");
    EXPECT_EQ(child<QLineEdit>("Edit2")->text(), "due");
    child<QLineEdit>("Edit3")->setText(QStringLiteral("2"));
    // Shown already: nothing is refilled.
    select(8, 11);
    click("Speed23");
    EXPECT_EQ(child<QLineEdit>("Edit2")->text(), "due");
    EXPECT_EQ(child<QLineEdit>("Edit3")->text(), "2");
    // The texts survive closing.
    click("Button4");
    EXPECT_EQ(child<QLineEdit>("Edit2")->text(), "due");
}

TEST_F(FindPanelTest, ALongSelectionFillsTheFindBoxWholeAndReplaceAllReplacesExactlyIt)
{
    open();
    const QString longText = QString(40000, u'x') + QStringLiteral("END");
    editor().setText(QStringLiteral("<") + longText + QStringLiteral(">") + QString(40000, u'x'));
    editor().select(1, static_cast<int>(longText.size()));
    click("Speed23");
    EXPECT_TRUE(child<QLineEdit>("Edit2")->text() == longText);
    child<QLineEdit>("Edit3")->setText(QStringLiteral("y"));
    click("Button2");
    EXPECT_TRUE(editor().text() == QStringLiteral("<y>") + QString(40000, u'x'));
}

TEST_F(FindPanelTest, FindAndFindNextSelectTheOccurrencesThenSayThereAreNoMore)
{
    TForm1& form = open();
    editor().setText(QStringLiteral("xaby AB\nab"));
    click("Speed23");
    child<QLineEdit>("Edit2")->setText(QStringLiteral("AB"));
    click("Button1");
    EXPECT_EQ(editor().textCursor().selectedText(), "ab");
    EXPECT_EQ(editor().textCursor().selectionStart(), 1);
    EXPECT_EQ(window->focusWidget(), &editor());
    click("Button3");
    EXPECT_EQ(editor().textCursor().selectionStart(), 5);
    click("Button3");
    EXPECT_EQ(editor().textCursor().selectionStart(), 8);
    EXPECT_THAT(prompts.log, IsEmpty());

    click("Button3");
    EXPECT_THAT(prompts.log, ElementsAre(kNotFound));
    EXPECT_EQ(editor().textCursor().selectionStart(), 8);
    EXPECT_EQ(editor().textCursor().selectionEnd(), 10);
    EXPECT_EQ(window->focusWidget(), &editor());
    // Find starts again from the top; Enter in the find box finds the next one.
    click("Button1");
    EXPECT_EQ(editor().textCursor().selectionStart(), 1);
    child<QLineEdit>("Edit2")->setFocus();
    QTest::keyClick(child<QLineEdit>("Edit2"), Qt::Key_Return);
    EXPECT_EQ(editor().textCursor().selectionStart(), 5);
    QTest::keyClick(child<QLineEdit>("Edit2"), Qt::Key_Return);
    EXPECT_EQ(editor().textCursor().selectionStart(), 8);
    EXPECT_EQ(window->focusWidget(), child<QLineEdit>("Edit2"));
    EXPECT_EQ(editor().toPlainText(), "xaby AB\nab");
    // Neither search marks the document modified.
    EXPECT_TRUE(form.documents().document(0).saved);
}

TEST_F(FindPanelTest, ReplaceAllReplacesMarksTheDocumentAndUndoesAsOne)
{
    TForm1& form = open();
    editor().setText(QStringLiteral("aaa"));
    click("Speed23");
    child<QLineEdit>("Edit2")->setText(QStringLiteral("A"));
    child<QLineEdit>("Edit3")->setText(QStringLiteral("aa"));
    click("Button2");
    EXPECT_EQ(editor().toPlainText(), "aaaaaa");
    EXPECT_FALSE(form.documents().document(0).saved);
    EXPECT_EQ(window->focusWidget(), &editor());
    EXPECT_THAT(prompts.log, IsEmpty());
    editor().undo();
    EXPECT_EQ(editor().toPlainText(), "aaa");
}

TEST_F(FindPanelTest, ReplaceAllWithNothingFoundOrAnEmptyFindBoxChangesNothing)
{
    TForm1& form = open();
    editor().setText(QStringLiteral("abc"));
    click("Speed23");
    child<QLineEdit>("Edit3")->setText(QStringLiteral("y"));
    click("Button2");  // empty find box
    child<QLineEdit>("Edit2")->setText(QStringLiteral("x"));
    click("Button2");
    EXPECT_EQ(editor().toPlainText(), "abc");
    EXPECT_TRUE(form.documents().document(0).saved);
    EXPECT_THAT(prompts.log, IsEmpty());
}

TEST_F(FindPanelTest, TheCommandsDoNothingWithoutADocument)
{
    TForm1& form = open();
    form.ChiudiClick();
    ASSERT_TRUE(form.documents().empty());
    click("Speed23");
    child<QLineEdit>("Edit2")->setText(QStringLiteral("x"));
    for (const char* button : {"Button1", "Button3", "Button2"})
        click(button);
    click("SpeedButton3");
    EXPECT_THAT(prompts.log, IsEmpty());
}

TEST_F(FindPanelTest, EntryNineShowsThePanel)
{
    Config config = Config::defaults();
    config.ShortcutTable[8] = "C F";
    writeConfig(config);
    TForm1& form = open();
    QTest::keyClick(&editor(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form.findPanelVisible());
    EXPECT_EQ(visibleControls().size(), 7);
}

TEST_F(FindPanelTest, ColoraTagPaintsWithoutMarkingTheDocument)
{
    TForm1& form = open();
    QToolButton* button = child<QToolButton>("SpeedButton3");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->text(), "Colora tag");
    EXPECT_EQ(button->toolTip(), "Sperimentale!!");
    editor().setText(QStringLiteral("<p>Ciao"));
    QTest::mouseClick(button, Qt::LeftButton);
    QTextCursor cursor(editor().document());
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 200));
    cursor.setPosition(5);
    EXPECT_FALSE(cursor.charFormat().hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_TRUE(form.documents().document(0).saved);
    // The text did not change, so a key released afterwards does not mark the document either.
    QTest::keyClick(&editor(), Qt::Key_Shift);
    EXPECT_TRUE(form.documents().document(0).saved);
}

TEST_F(FindPanelTest, EveryToolOfTheseCommandsIsEnabled)
{
    open();
    for (const char* name : {"Speed23", "Speed44", "Speed45", "SpeedButton3"})
        EXPECT_TRUE(child<QToolButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(child<QAction>("Brow")->isEnabled());
    EXPECT_EQ(child<QToolButton>("Speed44")->toolTip(), "Vedi nel browser");
    EXPECT_EQ(child<QToolButton>("Speed23")->toolTip(), "Cerca...");
}

}  // namespace
