// The saved flag against a model, over every route by which the text of a document can change.

#include "DocumentTable.h"
#include "EditorControl.h"
#include "FindPanel.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include <random>

using namespace calamo;
using namespace calamo::testing;

namespace {

class EditRoutesTest : public WindowFixture {
protected:
    QString pathOf(int i) const { return dir.filePath(QStringLiteral("p%1.htm").arg(i)); }

    // Runs one of the editor control's own context-menu actions (undo, redo, cut, paste, delete).
    void contextMenu(const char* name)
    {
        std::unique_ptr<QMenu> menu(editor().createStandardContextMenu());
        QAction* action = menu->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        if (action->isEnabled())
            action->trigger();
    }

    // Text dropped at a point of the editor, as drag and drop and the X11 middle-click paste insert it.
    void dropAt(const QString& text, QPoint at)
    {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor().viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor().viewport(), &drop);
    }
};

TEST_F(EditRoutesTest, EveryRouteThatChangesTheTextClearsTheFlagAndExitAsksForExactlyThoseDocuments)
{
    TForm1& form = open();
    DocumentTable& docs = form.documents();
    docs.ChiudiClick();  // the unnamed skeleton: only named files below
    constexpr int kDocs = 3;
    std::vector<QString> onDisk;
    for (int i = 0; i < kDocs; ++i) {
        onDisk.push_back(QStringLiteral("<P>uno <B>due</B></P>\ntre %1").arg(i));
        writeFile(pathOf(i), onDisk.back().toLatin1());
        ASSERT_TRUE(docs.openFile(pathOf(i)));
    }
    std::vector<bool> changed(kDocs, false);  // the model: the text changed since it was read or written
    QLineEdit* find = form.findChild<QLineEdit*>(QStringLiteral("Edit2"));
    QLineEdit* replace = form.findChild<QLineEdit*>(QStringLiteral("Edit3"));
    ASSERT_NE(find, nullptr);
    ASSERT_NE(replace, nullptr);

    std::mt19937 random(20);
    const QString letters = QStringLiteral("ab<>/ èP\n");
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::string> history;
    for (int step = 0; step < 400; ++step) {
        const int c = docs.currentIndex();
        EditorControl& acted = editor();
        const QString before = acted.text();
        const int length = static_cast<int>(before.size());
        const int action = pick(17);
        history.push_back(std::to_string(action));
        switch (action) {
        case 0:
            editor().setCaret(pick(length + 1));
            QTest::keyClick(&editor(), Qt::Key_A);
            break;
        case 1:
            QTest::keyClick(&editor(), pick(2) ? Qt::Key_Backspace : Qt::Key_Delete);
            break;
        case 2:
            editor().select(pick(length + 1), 0);
            QTest::keyClick(&editor(), Qt::Key_Shift);  // no change of the text
            break;
        case 3: {
            const int start = pick(length + 1);
            editor().select(start, pick(length - start + 1));
            break;
        }
        case 4:
            contextMenu("edit-undo");
            break;
        case 5:
            contextMenu("edit-redo");
            break;
        case 6:
            contextMenu(pick(2) ? "edit-cut" : "edit-delete");
            break;
        case 7:
            QApplication::clipboard()->setText(letters.mid(pick(letters.size()), 3));
            contextMenu("edit-paste");
            break;
        case 8:
            dropAt(letters.mid(pick(letters.size()), 2), QPoint(5 + pick(200), 5 + pick(60)));
            break;
        case 9: {
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("ò"));
            QApplication::sendEvent(&editor(), &commit);
            break;
        }
        case 10:
            form.ColoraTag();
            break;
        case 11:
            pick(2) ? form.TagliaClick() : form.IncollaClick();
            break;
        case 12:
            form.findChild<QToolButton*>(QStringLiteral("Speed05"))->click();  // bold
            break;
        case 13:
            find->setText(letters.mid(pick(letters.size()), 1));
            replace->setText(pick(2) ? QStringLiteral("Z") : QString());
            form.Button2Click();
            break;
        case 14:
            docs.SalvaClick();
            break;
        case 15:
            docs.LingueChange(pick(kDocs));
            break;
        case 16:
            contextMenu("select-all");
            break;
        }
        if (action == 14) {
            if (changed[c])
                onDisk[c] = before;
            changed[c] = false;
        } else if (acted.text() != before) {
            changed[c] = true;
        }
        for (int i = 0; i < kDocs; ++i) {
            ASSERT_EQ(docs.document(i).saved, !changed[i])
                << "document " << i << " after actions " << ::testing::PrintToString(history);
        }
    }
    for (int i = 0; i < kDocs; ++i)
        EXPECT_EQ(QString::fromLatin1(bytesOf(pathOf(i))).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  onDisk[i]);
    QTest::keyClick(&editor(), Qt::Key_B);  // at least one question
    changed[docs.currentIndex()] = true;

    // Uscita asks about exactly the changed documents, in table order; No leaves their files as they were.
    prompts.log.clear();
    std::vector<QString> expected;
    for (int i = 0; i < kDocs; ++i) {
        if (changed[i]) {
            prompts.answers.push_back(false);
            expected.push_back(QStringLiteral("question Calamo: Salvare le modifiche al documento\r") + pathOf(i) +
                               QStringLiteral(" ?"));
        }
    }
    form.EsciClick();
    EXPECT_EQ(prompts.log, expected);
}

TEST_F(EditRoutesTest, ColouringAndUndoingItLeaveAnUnchangedPageUnchanged)
{
    TForm1& form = open();
    writeFile(pathOf(0), "<P>a<B>b</B>");
    ASSERT_TRUE(form.documents().openFile(pathOf(0)));
    form.ColoraTag();
    EXPECT_TRUE(form.documents().current()->saved);
    editor().undo();
    EXPECT_TRUE(form.documents().current()->saved);
    editor().redo();
    EXPECT_TRUE(form.documents().current()->saved);
    // A character typed over a selected one keeps the length but not the text.
    editor().select(1, 1);
    QTest::keyClick(&editor(), Qt::Key_Q);
    EXPECT_FALSE(form.documents().current()->saved);
}

}  // namespace
