#include "WindowFixture.h"

#include "Modal.h"
#include "TConvert.h"

#include <QAction>
#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

using namespace calamo;
using namespace calamo::testing;

namespace {

class TConvertTest : public WindowFixture {
protected:
    TConvert& dialog() { return *window->findChild<TConvert*>(); }
    QListWidget* lista() { return dialog().findChild<QListWidget*>(QStringLiteral("Lista")); }
    QPushButton* button(const char* name) { return dialog().findChild<QPushButton*>(QLatin1String(name)); }
    void pick(int row) { lista()->setCurrentRow(row); }
    void doubleClick(int row) { doubleClickRow(lista(), row); }
    void run(std::function<void()> act) { runModal("Conversione", std::move(act)); }
};

TEST_F(TConvertTest, TheMenuShowsTheNinetySixRowsInAFixedPitchFontWithUscitaAsDefault)
{
    open();
    ASSERT_TRUE(child<QAction>("Conversione")->isEnabled());
    bool wasShown = false;
    run([&] {
        wasShown = dialog().isVisible();
        EXPECT_EQ(dialog().windowTitle(), "Lista conversioni");
        ASSERT_EQ(lista()->count(), 96);
        EXPECT_EQ(lista()->item(0)->text(), QStringLiteral("&curren;     ¤      (valuta)"));
        EXPECT_EQ(lista()->item(95)->text(), QStringLiteral("&thorn;      þ      (TH minuscola islandese)"));
        EXPECT_EQ(lista()->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_TRUE(QFontInfo(lista()->font()).fixedPitch());
        EXPECT_TRUE(button("Button2")->isDefault());
        EXPECT_EQ(button("Button1")->text(), "Inserisci");
        EXPECT_EQ(button("Button3")->text(), "Converti tutto");
        EXPECT_EQ(button("Button2")->text(), "Uscita");
        pick(3);
        QTest::keyClick(lista(), Qt::Key_Return);  // the default button
    });
    EXPECT_TRUE(wasShown);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(window->documents().document(0).saved) << "Uscita changes nothing";

    // The list is filled anew: no selection survives a showing.
    run([&] {
        EXPECT_TRUE(lista()->selectedItems().isEmpty());
        QTest::keyClick(&dialog(), Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(TConvertTest, InsertReplacesTheSelectionLeavesTheCaretAfterAndKeepsTheDialogOpen)
{
    open();
    editor().setText(QStringLiteral("ciao mondo"));
    editor().select(0, 4);
    run([&] {
        pick(6);  // &copy;
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        EXPECT_TRUE(dialog().isVisible());
        EXPECT_EQ(editor().text(), "&copy; mondo");
        EXPECT_EQ(editor().selectionStart(), 6);
        doubleClick(65);  // &agrave;
        EXPECT_TRUE(dialog().isVisible());
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(editor().text(), "&copy;&agrave; mondo");
    EXPECT_EQ(editor().selectionStart(), 14);
    EXPECT_EQ(editor().selectionLength(), 0);
    EXPECT_FALSE(window->documents().document(0).saved);
    editor().undo();
    EXPECT_EQ(editor().text(), "&copy; mondo") << "each insertion is one undo step";
}

TEST_F(TConvertTest, InsertWithoutARowChangesNoTextButMarksTheDocumentModified)
{
    open();
    editor().setText(QStringLiteral("testo"));
    editor().select(1, 2);
    run([&] {
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(editor().text(), "testo");
    EXPECT_EQ(editor().selectionStart(), 1);
    EXPECT_FALSE(window->documents().document(0).saved);
}

TEST_F(TConvertTest, ConvertAllIsOneUndoStepKeepsTheCaretInPlaceAndClosesTheDialog)
{
    open();
    const QString text = QStringLiteral("<P CLASS=\"€\">Perché & così</P>\n<B>Þ™</B> &agrave;");
    editor().setText(text);
    editor().setCaret(static_cast<int>(text.indexOf(u'&')));  // before the bare "&"
    run([&] { QTest::mouseClick(button("Button3"), Qt::LeftButton); });
    EXPECT_FALSE(dialog().isVisible());
    const QString converted =
        QStringLiteral("<P CLASS=\"&euro;\">Perch&eacute; & cos&igrave;</P>\n<B>&THORN;&#153;</B> &agrave;");
    EXPECT_EQ(editor().text(), converted);
    EXPECT_EQ(editor().selectionStart(), converted.indexOf(QStringLiteral("& cos")));
    EXPECT_EQ(editor().selectionLength(), 0);
    EXPECT_FALSE(window->documents().document(0).saved);
    editor().undo();
    EXPECT_EQ(editor().text(), text);
    editor().redo();
    EXPECT_EQ(editor().text(), converted);
}

TEST_F(TConvertTest, ConvertAllWithNothingToConvertStillMarksTheDocumentModified)
{
    open();
    editor().setText(QStringLiteral("<P>solo ASCII &amp; &egrave;</P>"));
    run([&] { QTest::mouseClick(button("Button3"), Qt::LeftButton); });
    EXPECT_EQ(editor().text(), "<P>solo ASCII &amp; &egrave;</P>");
    EXPECT_FALSE(editor().document()->isUndoAvailable());
    EXPECT_FALSE(window->documents().document(0).saved);
}

}  // namespace
