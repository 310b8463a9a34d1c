#include "DocumentEdits.h"

#include "EditorControl.h"
#include "Fakes.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace calamo;

namespace {

// The editor of one document, not shown.
class DocumentEditsTest : public ::testing::Test {
protected:
    // One letter per character of the text: "B" where it is painted in the tag colour, "." elsewhere.
    QString paint()
    {
        QString marks;
        for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const bool blue = fragment.charFormat().foreground().color() == kTagColour &&
                                  fragment.charFormat().hasProperty(QTextFormat::ForegroundBrush);
                marks += QString(fragment.length(), blue ? u'B' : u'.');
            }
            if (block.next().isValid())
                marks += u'\n';
        }
        return marks;
    }

    // As paint(), by offsets into the text: the breaks of a long line shown in several blocks leave no mark.
    QString paintedText()
    {
        const QString text = editor.text();
        std::vector<int> offsets(static_cast<std::size_t>(text.size()));
        for (int i = 0; i < text.size(); ++i)
            offsets[static_cast<std::size_t>(i)] = i;
        const std::vector<int> positions = editor.positionsOf(offsets);
        QString marks;
        QTextCursor cursor(editor.document());
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] == u'\n') {
                marks += u'\n';
                continue;
            }
            cursor.setPosition(positions[static_cast<std::size_t>(i)] + 1);
            const QTextCharFormat format = cursor.charFormat();
            marks += format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().color() == kTagColour
                         ? u'B'
                         : u'.';
        }
        return marks;
    }

    void select(int start, int end)
    {
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
    }

    EditorControl editor;
};

TEST_F(DocumentEditsTest, PaintsEveryTagAndNothingElse)
{
    editor.setPlainText(QStringLiteral("<p>Ciao<b>x</b>"));
    colourTags(editor);
    EXPECT_EQ(paint(), "BBB....BBB.BBBB");
    EXPECT_EQ(editor.toPlainText(), "<p>Ciao<b>x</b>");

    editor.setPlainText(QStringLiteral("<A><B>x</B></A>\n<P>"));
    colourTags(editor);
    EXPECT_EQ(paint(), "BBBBBB.BBBBBBBB\nBBB");

    editor.setPlainText(QStringLiteral("<P>a <b"));
    colourTags(editor);
    EXPECT_EQ(paint(), "BBB....");

    editor.setPlainText(QStringLiteral("x<A\nHREF= 1\n>y <!-- a > b -->"));
    colourTags(editor);
    EXPECT_EQ(paint(), ".BB\nBBBBBBB\nB..BBBBBBBB......");
}

TEST_F(DocumentEditsTest, AnEmptyDocumentKeepsTheCaretAtTheStart)
{
    colourTags(editor);
    EXPECT_EQ(paint(), "");
    EXPECT_EQ(editor.textCursor().position(), 0);
}

TEST_F(DocumentEditsTest, TheCaretGoesToTheSelectionStartAndTypingThereIsNotBlue)
{
    editor.setPlainText(QStringLiteral("<p>Ciao<b>x</b>"));
    select(9, 3);  // "<b" selected from its end
    colourTags(editor);
    EXPECT_EQ(editor.textCursor().position(), 3);
    EXPECT_FALSE(editor.textCursor().hasSelection());
    // The caret stands right behind "<p>": what is typed there takes the editor's default colour.
    QTest::keyClicks(&editor, QStringLiteral("zz"));
    EXPECT_EQ(editor.toPlainText(), "<p>zzCiao<b>x</b>");
    EXPECT_EQ(paint(), "BBB......BBB.BBBB");
}

TEST_F(DocumentEditsTest, PaintingIsOneUndoStepThatKeepsTheTextUnmodified)
{
    editor.setPlainText(QStringLiteral("<p>Ciao<b>x</b>"));
    ASSERT_FALSE(editor.document()->isModified());
    colourTags(editor);
    colourTags(editor);
    EXPECT_EQ(paint(), "BBB....BBB.BBBB");
    EXPECT_FALSE(editor.document()->isModified());
    editor.undo();
    editor.undo();
    EXPECT_EQ(paint(), "...............");
    EXPECT_EQ(editor.toPlainText(), "<p>Ciao<b>x</b>");
}

TEST_F(DocumentEditsTest, ColoursMoveWithTheTextAndKeepOtherProperties)
{
    editor.setPlainText(QStringLiteral("ab<i>c"));
    // A property of the characters the colour must not take away.
    constexpr int kMark = QTextFormat::UserProperty + 7;
    QTextCharFormat marked;
    marked.setProperty(kMark, 42);
    QTextCursor cursor(editor.document());
    cursor.setPosition(3);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(marked);
    colourTags(editor);

    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("xyz"));
    EXPECT_EQ(paint(), ".....BBB.");
    QTextCursor at(editor.document());
    at.setPosition(7);
    EXPECT_EQ(at.charFormat().property(kMark).toInt(), 42);
    EXPECT_EQ(at.charFormat().foreground().color(), kTagColour);
}

TEST_F(DocumentEditsTest, FindSelectsTheNextOccurrenceOrKeepsTheSelection)
{
    editor.setPlainText(QStringLiteral("xaby\nAB"));
    ASSERT_TRUE(selectNext(editor, QStringLiteral("AB"), 0));
    EXPECT_EQ(editor.textCursor().selectedText(), "ab");
    ASSERT_TRUE(selectNext(editor, QStringLiteral("AB"), 3));
    EXPECT_EQ(editor.textCursor().selectionStart(), 5);
    EXPECT_FALSE(selectNext(editor, QStringLiteral("AB"), 7));
    EXPECT_EQ(editor.textCursor().selectionStart(), 5);
    EXPECT_EQ(editor.textCursor().selectionEnd(), 7);
    EXPECT_FALSE(selectNext(editor, QString(), 0));
}

TEST_F(DocumentEditsTest, ReplaceAllIsOneUndoStepWithTheCaretAtTheStart)
{
    editor.setPlainText(QStringLiteral("aaa\nbAb"));
    select(6, 7);
    EXPECT_EQ(replaceAll(editor, QStringLiteral("a"), QStringLiteral("aa")), 4);
    EXPECT_EQ(editor.toPlainText(), "aaaaaa\nbaab");
    EXPECT_EQ(editor.textCursor().position(), 0);
    EXPECT_FALSE(editor.textCursor().hasSelection());
    EXPECT_TRUE(editor.document()->isModified());
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), "aaa\nbAb");
    editor.redo();
    EXPECT_EQ(editor.toPlainText(), "aaaaaa\nbaab");
}

TEST_F(DocumentEditsTest, ReplaceAllWithNothingToReplaceChangesNothing)
{
    editor.setPlainText(QStringLiteral("abc"));
    select(1, 2);
    EXPECT_EQ(replaceAll(editor, QStringLiteral("x"), QStringLiteral("y")), 0);
    EXPECT_EQ(replaceAll(editor, QString(), QStringLiteral("y")), 0);
    EXPECT_EQ(editor.toPlainText(), "abc");
    EXPECT_EQ(editor.textCursor().selectionStart(), 1);
    EXPECT_EQ(editor.textCursor().selectionEnd(), 2);
    EXPECT_FALSE(editor.document()->isUndoAvailable());
}

TEST_F(DocumentEditsTest, ReplaceAllKeepsTheColoursOfTheTextItDoesNotTouch)
{
    editor.setPlainText(QStringLiteral("<p>Ciao</p> ciao"));
    colourTags(editor);
    replaceAll(editor, QStringLiteral("CIAO"), QStringLiteral("Salve!"));
    EXPECT_EQ(editor.toPlainText(), "<p>Salve!</p> Salve!");
    EXPECT_EQ(paint(), "BBB......BBBB.......");
    // A replaced tag keeps its colour.
    replaceAll(editor, QStringLiteral("p>"), QStringLiteral("div>"));
    EXPECT_EQ(editor.toPlainText(), "<div>Salve!</div> Salve!");
    EXPECT_EQ(paint(), "BBBBB......BBBBBB.......");
}

TEST_F(DocumentEditsTest, ALongLineShownInSeveralBlocksIsPaintedSearchedAndReplacedByItsText)
{
    QString line;
    for (int i = 0; i < 1500; ++i)
        line += QStringLiteral("<B>x</B>");
    const QString page = line + QStringLiteral("\n<I>end</I>");
    editor.setText(page);
    ASSERT_GT(editor.document()->blockCount(), 2) << "the long line is shown in several blocks";

    colourTags(editor);
    EXPECT_EQ(editor.text(), page);
    EXPECT_EQ(paintedText(), QStringLiteral("BBB.BBBB").repeated(1500) + QStringLiteral("\nBBB...BBBB"));

    editor.setCaret(0);
    ASSERT_TRUE(selectNext(editor, QStringLiteral("X</b><B>X"), 8 * 1200));
    EXPECT_EQ(editor.selectionStart(), 8 * 1200 + 3);
    EXPECT_EQ(editor.selectionLength(), 9);

    EXPECT_EQ(replaceAll(editor, QStringLiteral("x"), QStringLiteral("yy")), 1500);
    QString replaced = line;
    replaced.replace(u'x', QStringLiteral("yy"));
    EXPECT_EQ(editor.text(), replaced + QStringLiteral("\n<I>end</I>"));
    EXPECT_EQ(paintedText(), QStringLiteral("BBB..BBBB").repeated(1500) + QStringLiteral("\nBBB...BBBB"));
    editor.undo();
    EXPECT_EQ(editor.text(), page);
}

TEST_F(DocumentEditsTest, ReplaceAllOverABigPageReplacesEveryOccurrence)
{
    QString page;
    for (int i = 0; i < 20000; ++i)
        page += QStringLiteral("<TD>%1</TD>\n").arg(i);
    editor.setPlainText(page);
    EXPECT_EQ(replaceAll(editor, QStringLiteral("<td>"), QStringLiteral("<TH>")), 20000);
    page.replace(QStringLiteral("<TD>"), QStringLiteral("<TH>"));
    EXPECT_EQ(editor.toPlainText(), page);
}

TEST_F(DocumentEditsTest, SpanEditsAreOneUndoStepAndTheCaretKeepsItsPlaceInTheText)
{
    editor.setPlainText(QStringLiteral("àb\ncè|dè"));
    select(7, 6);  // "d" selected from its end: the caret stands before "d"
    replaceSpans(editor, editor.text(), {{0, 1, u"&agrave;"}, {4, 1, u"&egrave;"}, {7, 1, u"&egrave;"}});
    EXPECT_EQ(editor.toPlainText(), "&agrave;b\nc&egrave;|d&egrave;");
    EXPECT_EQ(editor.textCursor().position(), 20);
    EXPECT_FALSE(editor.textCursor().hasSelection());
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), "àb\ncè|dè");
    EXPECT_FALSE(editor.document()->isUndoAvailable()) << "one step undid every edit";
    editor.redo();
    EXPECT_EQ(editor.toPlainText(), "&agrave;b\nc&egrave;|d&egrave;");

    editor.setPlainText(QStringLiteral("xè"));
    editor.moveCursor(QTextCursor::End);
    replaceSpans(editor, editor.text(), {});
    EXPECT_FALSE(editor.document()->isUndoAvailable()) << "no edits, no undo step";
    replaceSpans(editor, editor.text(), {{1, 1, u"&egrave;"}});
    EXPECT_EQ(editor.toPlainText(), "x&egrave;");
    EXPECT_EQ(editor.textCursor().position(), 9) << "a caret after the last character stays at the end";
}

TEST_F(DocumentEditsTest, TheSelectionIsReplacedAsOneStepWithTheCaretAfterTheNewText)
{
    editor.setPlainText(QStringLiteral("<p>ciao</p>"));
    colourTags(editor);
    select(3, 7);
    replaceSelection(editor, QStringLiteral("&copy;"));
    EXPECT_EQ(editor.toPlainText(), "<p>&copy;</p>");
    EXPECT_EQ(editor.textCursor().position(), 9);
    EXPECT_EQ(paint(), "BBB......BBBB") << "the new text takes the colour of what it replaces";
    // Nothing selected: the text goes in at the caret, in no tag's colour, also at the very end.
    editor.moveCursor(QTextCursor::End);
    replaceSelection(editor, QStringLiteral("#FF0000"));
    EXPECT_EQ(editor.toPlainText(), "<p>&copy;</p>#FF0000");
    EXPECT_EQ(editor.textCursor().position(), 20);
    EXPECT_EQ(paint(), "BBB......BBBB.......");
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), "<p>&copy;</p>");
}

TEST_F(DocumentEditsTest, SpanEditsInALongLineShownInSeveralBlocksGoByTextOffsets)
{
    const QString line = QStringLiteral("è<b>").repeated(3000);
    editor.setText(line + QStringLiteral("\nè"));
    ASSERT_GT(editor.document()->blockCount(), 2);
    editor.setCaret(4 * 2500 + 1);  // after the è of the 2501st group
    std::vector<TextReplacement> edits;
    for (int i = 0; i < 3000; ++i)
        edits.push_back({4 * i, 1, u"&egrave;"});
    edits.push_back({4 * 3000 + 1, 1, u"&egrave;"});
    replaceSpans(editor, editor.text(), edits);
    EXPECT_EQ(editor.text(), QStringLiteral("&egrave;<b>").repeated(3000) + QStringLiteral("\n&egrave;"));
    EXPECT_EQ(editor.selectionStart(), 11 * 2500 + 8);
    editor.undo();
    EXPECT_EQ(editor.text(), line + QStringLiteral("\nè"));
}

TEST_F(DocumentEditsTest, NearbyEditsGoInTogetherAndKeepWhatLiesBetweenThemCharacterForCharacter)
{
    // A paragraph separator, a no-break space and a line separator between edits; far-apart edits on their own.
    const QString far = QString(300, u'x');
    const QString text = QStringLiteral("é\u2029é\u00A0è\n\u2028à") + far + QStringLiteral("ù");
    editor.setText(text);
    editor.setCaret(static_cast<int>(text.size()));
    const std::vector<TextReplacement> edits{
        {0, 1, u"&eacute;"}, {2, 1, u"&eacute;"}, {4, 1, u"&egrave;"}, {7, 1, u"&agrave;"}, {308, 1, u"&ugrave;"}};
    replaceSpans(editor, editor.text(), edits);
    const QString expected =
        QStringLiteral("&eacute;\u2029&eacute;\u00A0&egrave;\n\u2028&agrave;") + far + QStringLiteral("&ugrave;");
    EXPECT_EQ(editor.text(), expected);
    EXPECT_EQ(editor.selectionStart(), expected.size());
    editor.undo();
    EXPECT_EQ(editor.text(), text);
}

TEST_F(DocumentEditsTest, InAColouredDocumentEachEditKeepsTheColoursAroundIt)
{
    editor.setPlainText(QStringLiteral("<p>è</p><b>à</b>"));
    colourTags(editor);
    replaceSpans(editor, editor.text(), {{3, 1, u"&egrave;"}, {11, 1, u"&agrave;"}});
    EXPECT_EQ(editor.toPlainText(), "<p>&egrave;</p><b>&agrave;</b>");
    EXPECT_EQ(paint(), "BBB........BBBBBBB........BBBB");
}

TEST_F(DocumentEditsTest, APageFullOfEditsIsChangedInPiecesAndUndoneInOneStep)
{
    const QString page = (QStringLiteral("aé").repeated(50) + u'\n').repeated(800);
    editor.setPlainText(page);
    editor.setCaret(static_cast<int>(page.size()) - 1);  // before the last line break
    std::vector<TextReplacement> edits;
    for (int i = 0; i < page.size(); ++i) {
        if (page[i] == u'é')
            edits.push_back({i, 1, u"&eacute;"});
    }
    replaceSpans(editor, page, edits);
    const QString expected = (QStringLiteral("a&eacute;").repeated(50) + u'\n').repeated(800);
    EXPECT_EQ(editor.text(), expected);
    EXPECT_EQ(editor.selectionStart(), expected.size() - 1);
    editor.undo();
    EXPECT_EQ(editor.text(), page);
    EXPECT_FALSE(editor.document()->isUndoAvailable());
}

}  // namespace
