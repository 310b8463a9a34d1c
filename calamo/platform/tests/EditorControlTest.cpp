#include "EditorControl.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <random>

using namespace calamo;

namespace {

// A minified page: one line of 20,000 characters around an inline image, then a short line.
QString longPage()
{
    return QStringLiteral("<IMG SRC=\"data:image/png;base64,") + QString(20000, u'A') + QStringLiteral("\">\nshort");
}

class LongLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.resize(597, 393);
        editor.show();
        editor.setText(longPage());
        model = longPage();
    }

    // Offset and document position of the first break inside the long line.
    int firstBreakOffset() const { return editor.document()->findBlockByNumber(1).position() - 1; }
    int firstBreakPosition() const { return editor.document()->findBlockByNumber(1).position(); }

    void putCursorAt(int position)
    {
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(position);
        editor.setTextCursor(cursor);
    }

    EditorControl editor;
    QString model;
};

TEST_F(LongLines, AreShownInShortBlocksAndReadBackWhole)
{
    EXPECT_EQ(editor.text(), model);
    EXPECT_GT(editor.document()->blockCount(), 4);
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
        EXPECT_LE(block.length(), 4097);
    EXPECT_FALSE(editor.isModified());
}

TEST_F(LongLines, OffsetsSelectionsAndInsertionsLeaveTheBreaksOut)
{
    editor.setCaret(15000);
    EXPECT_EQ(editor.selectionStart(), 15000);
    editor.select(3000, 9000);
    EXPECT_EQ(editor.selectionStart(), 3000);
    EXPECT_EQ(editor.selectionLength(), 9000);
    editor.insertText(15000, QStringLiteral("<B>"));
    model.insert(15000, QStringLiteral("<B>"));
    EXPECT_EQ(editor.text(), model);
    editor.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), model.mid(3000, 9000));
    editor.cut();
    model.remove(3000, 9000);
    EXPECT_EQ(editor.text(), model);
}

TEST_F(LongLines, DeletingAndMovingStepOverTheBreaks)
{
    const int offset = firstBreakOffset();
    putCursorAt(firstBreakPosition());
    QTest::keyClick(&editor, Qt::Key_Backspace);
    model.remove(offset - 1, 1);
    EXPECT_EQ(editor.text(), model);

    editor.setText(model);
    const int end = firstBreakOffset();  // the end of the first block
    putCursorAt(end);
    QTest::keyClick(&editor, Qt::Key_Delete);
    model.remove(end, 1);
    EXPECT_EQ(editor.text(), model);

    editor.setText(model);
    putCursorAt(firstBreakOffset());
    const int before = editor.selectionStart();
    QTest::keyClick(&editor, Qt::Key_Right);
    EXPECT_EQ(editor.selectionStart(), before + 1);
    QTest::keyClick(&editor, Qt::Key_Left);
    QTest::keyClick(&editor, Qt::Key_Left);
    EXPECT_EQ(editor.selectionStart(), before - 1);
}

TEST_F(LongLines, EnterInsideAContinuedBlockBreaksTheLineAndUndoJoinsItAgain)
{
    const int offset = firstBreakOffset() + 10;
    editor.setCaret(offset);
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    model.insert(offset, u'\n');
    EXPECT_EQ(editor.text(), model);
    editor.undo();
    EXPECT_EQ(editor.text(), longPage());
    editor.redo();
    EXPECT_EQ(editor.text(), model);
}

TEST_F(LongLines, RandomEditsKeepTheTextTrue)
{
    std::mt19937 random(5);
    const auto below = [&random](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 300; ++step) {
        const int offset = below(static_cast<int>(model.size()) + 1);
        // Half of the steps start at a break inside a long line, on one side of it or the other.
        const int blocks = editor.document()->blockCount();
        const QTextBlock block = editor.document()->findBlockByNumber(below(blocks));
        const bool atBreak = below(2) == 0 && block.position() > 0;
        switch (atBreak ? 1 + below(3) : below(6)) {
        case 0: {
            QString piece = below(3) == 0 ? QString(9000 + below(2000), u'B') : QStringLiteral("x\ny");
            if (below(2) == 0)
                piece += QChar(0x2029);
            editor.insertText(offset, piece);
            model.insert(offset, piece);
            break;
        }
        case 1: {
            atBreak ? putCursorAt(block.position() - below(2)) : editor.setCaret(offset);
            const int at = editor.selectionStart();
            QTest::keyClick(&editor, Qt::Key_Backspace);
            if (at > 0)
                model.remove(at - 1, 1);
            break;
        }
        case 2: {
            atBreak ? putCursorAt(block.position() - below(2)) : editor.setCaret(offset);
            const int at = editor.selectionStart();
            QTest::keyClick(&editor, Qt::Key_Delete);
            model.remove(at, 1);
            break;
        }
        case 3: {
            atBreak ? putCursorAt(block.position() - below(2)) : editor.setCaret(offset);
            const int at = editor.selectionStart();
            QTest::keyClick(&editor, Qt::Key_Return);
            model.insert(at, u'\n');
            break;
        }
        case 4: {
            const int length = below(static_cast<int>(model.size()) - offset + 1);
            editor.select(offset, length);
            editor.cut();
            model.remove(offset, length);
            break;
        }
        default:
            editor.setCaret(offset);
            QTest::keyClick(&editor, Qt::Key_Z);
            model.insert(offset, u'z');
            break;
        }
        if (step % 50 == 49) {  // undoing and redoing everything so far gives the same texts back
            while (editor.document()->isUndoAvailable())
                editor.undo();
            ASSERT_TRUE(editor.text() == longPage()) << "step " << step;
            while (editor.document()->isRedoAvailable())
                editor.redo();
        }
        ASSERT_EQ(editor.text().size(), model.size()) << "step " << step << (atBreak ? " at a break" : "");
        ASSERT_TRUE(editor.text() == model) << "step " << step;
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
