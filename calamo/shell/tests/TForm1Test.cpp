#include "TForm1.h"

#include "EditorControl.h"
#include "Fakes.h"
#include "Modal.h"
#include "PropertyPanels.h"
#include "Recovery.h"
#include "WindowFixture.h"
#include "WrapSelection.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>
#include <QWindow>

#include <gmock/gmock.h>

#include <cerrno>
#include <random>

using namespace calamo;
using namespace calamo::testing;

namespace {

// The window fixture, with bindings written from (entry, text) pairs.
class TForm1Test : public WindowFixture {
protected:
    using WindowFixture::writeConfig;
    void writeConfig(std::initializer_list<std::pair<int, const char*>> entries)
    {
        Config config = Config::defaults();
        for (const auto& [n, text] : entries)
            config.ShortcutTable[static_cast<std::size_t>(n - 1)] = text;
        ASSERT_EQ(ScriviCfg(files, config), std::nullopt);
    }
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
    clock.advance(999);
    EXPECT_EQ(form.windowTitle(), "Calamo");
    clock.advance(1);
    EXPECT_EQ(form.windowTitle(), "Calamo   -   [" + dir.path() + "/~temp.htm]");
    EXPECT_FALSE(child<QLabel>("Tip")->text().isEmpty());
}

TEST_F(TForm1Test, AFirstStartWritesTheDefaultConfiguration)
{
    open();
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("calamo.cfg"))).count("\r\n"), 55);
    EXPECT_EQ(window->config().BrowserCommands[0], "xdg-open");
}

TEST_F(TForm1Test, AnUnreadableConfigurationIsReportedAtStartAndBindsNoKey)
{
    writeConfig({{17, "C B"}});
    files.fail(FsCall::Read, QString::fromLatin1(kConfigFileName), EACCES);
    open();
    EXPECT_THAT(prompts.log, ::testing::ElementsAre("error: " + readError(kConfigFileName, EACCES)));
    EXPECT_EQ(window->config(), Config{});
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
    editor().setText(QStringLiteral("a word here"));
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
    editor().setText(QStringLiteral("bold"));
    editor().selectAll();

    QTest::keyClick(&editor(), Qt::Key_Shift);
    EXPECT_TRUE(form.documents().document(0).saved) << "a modifier alone changes no text";

    QTest::keyClick(&editor(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_FALSE(form.documents().document(0).saved);
    EXPECT_EQ(editor().toPlainText(), "<B>bold</B>");

    // "N F" types the letter first, then runs italic on release.
    QTest::keyClick(&editor(), Qt::Key_F);
    EXPECT_EQ(editor().toPlainText(), "<B>boldf<I></I></B>");
    // Entry 45 is bound to nothing.
    QTest::keyClick(&editor(), Qt::Key_G);
    EXPECT_EQ(editor().toPlainText(), "<B>boldf<I>g</I></B>");
}

TEST_F(TForm1Test, ReleasingCtrlAfterABoundSaveLeavesTheDocumentSaved)
{
    writeConfig({{3, "C S"}});
    TForm1& form = open();
    prompts.saveNames.push_back(dir.filePath(QStringLiteral("page.htm")));
    QTest::keyClick(&editor(), Qt::Key_A);
    ASSERT_FALSE(form.documents().document(0).saved);
    QTest::keyPress(&editor(), Qt::Key_Control);
    QTest::keyClick(&editor(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(form.documents().document(0).saved);
    QTest::keyRelease(&editor(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(&editor(), Qt::Key_Escape);
    EXPECT_TRUE(form.documents().document(0).saved);

    // Undoing back to the saved text is not a change either; typing again is.
    QTest::keyClick(&editor(), Qt::Key_B);
    EXPECT_FALSE(form.documents().document(0).saved);
}

TEST_F(TForm1Test, AKeyPressedWithAltNeverTypesItsLetter)
{
    writeConfig({{18, "A I"}});
    open();
    editor().setText(QStringLiteral("x"));
    editor().setCaret(1);
    QTest::keyClick(&editor(), Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(editor().text(), "x<I></I>");
    QTest::keyClick(&editor(), Qt::Key_Q, Qt::AltModifier);  // bound to nothing: nothing happens
    EXPECT_EQ(editor().text(), "x<I></I>");
}

TEST_F(TForm1Test, ControlLettersRunTheUsersBindingsNotTheToolkitsEdits)
{
    writeConfig({{31, "C K"}, {17, "C U"}});
    open();
    editor().setText(QStringLiteral("keep this line"));
    editor().setCaret(5);
    prompts.inputs = {QStringLiteral("u.htm")};
    QTest::keyClick(&editor(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(editor().text(), "keep <A HREF= \"u.htm\"></A>this line");
    editor().setCaret(0);
    QTest::keyClick(&editor(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(editor().text(), "<B></B>keep <A HREF= \"u.htm\"></A>this line");

    // Clipboard, select all and undo stay.
    QTest::keyClick(&editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor().selectionLength(), editor().text().size());
    QTest::keyClick(&editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(editor().text().isEmpty());
    QTest::keyClick(&editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(editor().text().isEmpty());
}

TEST_F(TForm1Test, PastingAnEmptyOrForeignClipboardDoesNothingOnEveryRoute)
{
    writeConfig({{8, "C Q"}});
    TForm1& form = open();
    const QString before = editor().text();
    QGuiApplication::clipboard()->clear();
    auto* image = new QMimeData;
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG"));
    for (int round = 0; round < 2; ++round) {
        child<QAction>("Incolla")->trigger();
        QTest::mouseClick(child<QToolButton>("Speed31"), Qt::LeftButton);
        QTest::keyClick(&editor(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&editor(), Qt::Key_Q, Qt::ControlModifier);  // entry 8
        QTest::keyClick(&editor(), Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(editor().text(), before);
        EXPECT_TRUE(form.documents().document(0).saved);
        QGuiApplication::clipboard()->setMimeData(image);  // owned by the clipboard from here on
    }

    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::mouseClick(child<QToolButton>("Speed31"), Qt::LeftButton);
    EXPECT_TRUE(editor().text().contains("pasted"));
    EXPECT_FALSE(form.documents().document(0).saved);
}

TEST_F(TForm1Test, ClosingTheLastTabGivesTheFocusToTheCurrentEditor)
{
    TForm1& form = open();
    for (int i = 0; i < 2; ++i) {
        whenModal([](QWidget& setup) { QTest::keyClick(&setup, Qt::Key_Escape); });
        form.NuovoClick();
    }
    ASSERT_EQ(form.focusWidget(), &editor());
    form.ChiudiClick();
    EXPECT_EQ(form.documents().currentIndex(), 1);
    EXPECT_EQ(form.focusWidget(), &editor());
    form.documents().LingueChange(0);
    form.ChiudiClick();
    EXPECT_EQ(form.focusWidget(), &editor());
}

TEST_F(TForm1Test, TheTitleShowsAFileNameExactlyWithItsMark)
{
    TForm1& form = open();
    const QString name = dir.filePath(QStringLiteral("page["));
    writeFile(name, {});
    ASSERT_TRUE(form.documents().openFile(name));
    QTest::keyClick(&editor(), Qt::Key_A);
    form.Timer2Timer();
    ASSERT_NE(form.windowHandle(), nullptr);
    EXPECT_EQ(form.windowHandle()->title(), "Calamo   -   [" + name + "*]");
}

TEST_F(TForm1Test, TheEditorGivesBackEveryCharacterItWasGiven)
{
    open();
    std::mt19937 random(11);
    // No-break spaces, line and paragraph separators, the characters the text document keeps for frames,
    // byte-order marks, controls, escapes of bytes that were not UTF-8, and characters beyond the BMP.
    const std::vector<char32_t> special = {0xA0, 0x2028, 0x2029, 0xFDD0,  0xFDD1,   0xFEFF, 0xFFFD, 0x0, 0x1,
                                           0x9,  0xDC80, 0xDCFF, 0x1F600, 0x10FFFF, u'\n',  u'\n',  u'<'};
    for (int round = 0; round < 200; ++round) {
        QString text;
        const int length = static_cast<int>(random() % 120);
        for (int i = 0; i < length; ++i) {
            char32_t c = random() % 3 == 0 ? special[random() % special.size()]
                                           : static_cast<char32_t>(0x20 + random() % 0x2FE0);
            if (c >= 0xD800 && c <= 0xDBFF)
                c = 0xE9;
            text += c == 0xDC80 || c == 0xDCFF ? QString(QChar(static_cast<char16_t>(c))) : QString::fromUcs4(&c, 1);
        }
        editor().setText(text);
        ASSERT_EQ(editor().text(), text) << round;
        ASSERT_FALSE(editor().isModified());
    }

    // Edits around a kept paragraph separator, and typing after it.
    editor().setText(QString::fromUtf8("a\xE2\x80\xA9"
                                       "b"));
    editor().setCaret(2);
    QTest::keyClick(&editor(), Qt::Key_X);
    EXPECT_EQ(editor().text(), QString::fromUtf8("a\xE2\x80\xA9"
                                                 "xb"));
    WrapSelection(editor(), QStringLiteral("<B>"), QStringLiteral("</B>"));
    EXPECT_EQ(editor().text(), QString::fromUtf8("a\xE2\x80\xA9"
                                                 "x<B></B>b"));
}

TEST_F(TForm1Test, OpenThenSaveAsWritesTheSameBytes)
{
    TForm1& form = open();
    const QString source = dir.filePath(QStringLiteral("source.htm"));
    const QString copy = dir.filePath(QStringLiteral("copy.htm"));
    const QByteArray pages[] = {
        "caff\xE8\xA0nbsp\x80\r\n\tline\r\n",                                             // Windows-1252
        "\xEF\xBB\xBF\xEF\xBB\xBFx\xC2\xA0\xE2\x80\xA8\xE2\x80\xA9\xF0\x9F\x98\x80\r\n",  // UTF-8, two marks
        "<meta charset=utf-8>\xE8\xC3\xA8\xEF\xB7\x90\r\n",                               // declared, a stray byte
    };
    for (const QByteArray& bytes : pages) {
        writeFile(source, bytes);
        ASSERT_TRUE(form.documents().openFile(source));
        prompts.saveNames.push_back(copy);
        form.SalvanomeClick();
        EXPECT_EQ(bytesOf(copy).toHex(), bytes.toHex());
    }
}

TEST_F(TForm1Test, ARightClickOnAnotherTabStillClosesTheCurrentDocument)
{
    TForm1& form = open();
    prompts.openNames.push_back(dir.filePath(QStringLiteral("a.htm")));
    writeFile(dir.filePath(QStringLiteral("a.htm")), "A");
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
    whenModal([](QWidget& setup) { QTest::keyClick(&setup, Qt::Key_Escape); });
    form.NuovoClick();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(form.documents().currentIndex(), 0);
    EXPECT_TRUE(editor().isVisible());
}

TEST_F(TForm1Test, ClosingTheWindowAsksAndRemovesTheTemporaryFiles)
{
    TForm1& form = open();
    writeFile(dir.filePath(QStringLiteral("~temp.htm")), {});
    QTest::keyClick(&editor(), Qt::Key_A);
    prompts.answers = {false};
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("~temp.htm"))));
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_TRUE(prompts.log[0].startsWith("question Calamo: Salvare le modifiche al documento\r"));
}

TEST_F(TForm1Test, PanelsReadTheirControlsByNameAndAnUnknownNameStopsTheProgram)
{
    TForm1& form = open();
    child<QCheckBox>("CheckBox23")->setChecked(true);
    child<QLineEdit>("Edit17")->setText(QStringLiteral("40%"));
    const TabellaPanel table = form.panels().tabella();  // every name of every panel is found
    EXPECT_TRUE(table.CheckBox23);
    EXPECT_EQ(table.Edit17, "40%");
    EXPECT_EQ(form.panels().testo().CheckBox10, true);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(form.panels().value("Edit99"), "no edit or combo box named Edit99");
    EXPECT_DEATH(form.panels().ticked("CheckBox99"), "no check box named CheckBox99");
}

TEST_F(TForm1Test, EveryPanelCaptionIsReadableInFullAndValuesHaveRoom)
{
    TForm1& form = open();
    for (int n = 1; n <= 8; ++n) {
        QGroupBox* panel = form.panels().group(n);
        EXPECT_EQ(panel->geometry().topLeft(), QPoint(2, 60));
        EXPECT_EQ(panel->width(), 151);
        for (QCheckBox* check : panel->findChildren<QCheckBox*>()) {
            EXPECT_GE(check->width(), check->sizeHint().width())
                << check->objectName().toStdString() << " \"" << check->text().toStdString() << "\"";
            EXPECT_LE(check->geometry().right(), panel->contentsRect().right()) << check->objectName().toStdString();
        }
        for (QLabel* label : panel->findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            }
        }
        // The condensed face (fonts-dejavu-extra on Debian) keeps the captions at 10 pixels or more.
        const bool condensed = QFontInfo(panel->font()).styleName() == QLatin1String("Condensed");
        EXPECT_GE(panel->font().pixelSize(), condensed ? 10 : 9);
        for (QComboBox* combo : panel->findChildren<QComboBox*>()) {
            EXPECT_GE(combo->width(), 34) << combo->objectName().toStdString();
            for (int i = 0; i < combo->count(); ++i) {
                EXPECT_GE(combo->view()->minimumWidth(),
                          combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)))
                    << combo->objectName().toStdString() << " lists its items in full";
            }
            EXPECT_LE(combo->geometry().right(), panel->contentsRect().right()) << combo->objectName().toStdString();
        }
    }
}

TEST_F(TForm1Test, TheFindPanelTakesSeventyPixelsFromTheEditorsAndFindsAndReplaces)
{
    writeConfig({{9, "C F"}});
    TForm1& form = open();
    editor().setText(QStringLiteral("uno DUE due"));
    editor().select(4, 3);
    QTest::keyClick(&editor(), Qt::Key_F, Qt::ControlModifier);  // entry 9
    ASSERT_TRUE(form.findPanelVisible());
    EXPECT_EQ(editor().height(), 323);
    auto* edit2 = child<QLineEdit>("Edit2");
    EXPECT_EQ(edit2->text(), "DUE");
    EXPECT_TRUE(edit2->isVisible());
    EXPECT_EQ(edit2->geometry(), QRect(158, 422, 163, 21));
    EXPECT_EQ(child<QWidget>("Button4")->geometry().topLeft(), QPoint(410, 463));

    editor().setCaret(0);
    QTest::mouseClick(child<QToolButton>("Speed23"), Qt::LeftButton);  // shown already: not refilled
    EXPECT_EQ(edit2->text(), "DUE");
    QTest::mouseClick(child<QPushButton>("Button3"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_EQ(editor().selectionStart(), 8);
    child<QLineEdit>("Edit3")->setText(QStringLiteral("tre"));
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
    EXPECT_EQ(editor().text(), "uno tre tre");
    EXPECT_FALSE(form.documents().document(0).saved) << "replacing marks the document, so closing asks to save";
    editor().undo();
    EXPECT_EQ(editor().text(), "uno DUE due") << "one step undoes every replacement";

    QTest::mouseClick(child<QPushButton>("Button4"), Qt::LeftButton);
    EXPECT_FALSE(form.findPanelVisible());
    EXPECT_FALSE(edit2->isVisible());
    EXPECT_EQ(editor().height(), 393);
}

TEST_F(TForm1Test, ColoraTagPaintsTagsBlueAndLeavesTextAndSavedFlagAlone)
{
    TForm1& form = open();
    editor().setText(QStringLiteral("<p>Ciao<b>x</b>"));
    editor().setCaret(15);
    const auto colourAt = [this](int position) {
        QTextCursor cursor(editor().document());
        cursor.setPosition(position + 1);  // the format of the character before the cursor
        return cursor.charFormat().foreground().color();
    };
    QTest::mouseClick(child<QToolButton>("SpeedButton3"), Qt::LeftButton);
    EXPECT_EQ(colourAt(0), QColor(0, 0, 200));
    EXPECT_EQ(colourAt(4), QColor(0, 0, 0)) << "text between tags keeps its colour";
    EXPECT_EQ(colourAt(14), QColor(0, 0, 200));
    EXPECT_TRUE(form.documents().document(0).saved);
    QTest::keyClick(&editor(), Qt::Key_Shift);
    EXPECT_TRUE(form.documents().document(0).saved) << "painting is not a change of the text";
    QTest::keyClick(&editor(), Qt::Key_Y);
    EXPECT_EQ(colourAt(15), QColor(0, 0, 0)) << "typed right behind a tag, yet black";
    EXPECT_EQ(editor().text(), "<p>Ciao<b>x</b>y");
}

TEST_F(TForm1Test, MenusHoldTheirItemsAndEveryUtilityIsEnabled)
{
    open();
    QStringList titles;
    for (const char* name : {"File", "Modifica", "Utilita", "Aiuto"})
        titles << child<QMenu>(name)->title();
    EXPECT_EQ(titles, QStringList({"File", "Modifica", "Utilità", "?"}));
    EXPECT_TRUE(child<QAction>("Conversione")->isEnabled());
    EXPECT_TRUE(child<QAction>("Colori")->isEnabled());
    EXPECT_TRUE(child<QAction>("Rapida")->isEnabled());
    EXPECT_TRUE(child<QAction>("Spezza")->isEnabled());
    EXPECT_EQ(child<QToolButton>("Speed27")->toolTip(), "Salva");
    EXPECT_FALSE(child<QToolButton>("Speed27")->icon().isNull());
}

TEST_F(TForm1Test, RecoveryCopiesFollowUnsavedTextsAndComeBackAfterTheirEditorEnded)
{
    QTemporaryDir state;
    TForm1& form = open();
    form.enableRecovery(state.path());
    const RecoveryFolder folder(files, state.path());
    form.writeRecoveryNow();
    EXPECT_TRUE(folder.entries().empty()) << "nothing is copied while nothing changed";

    // A copy follows a change, by itself, two seconds later.
    QTest::keyClicks(&editor(), QStringLiteral("ciao"));
    clock.advance(2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return folder.entries().size() == 1; }, 10000));
    QString problem;
    EXPECT_EQ(folder.readText(folder.entries()[0], problem), editor().text());
    // Saved: the copy goes.
    prompts.saveNames.push_back(dir.filePath(QStringLiteral("a.htm")));
    form.SalvaClick();
    form.writeRecoveryNow();
    EXPECT_TRUE(folder.entries().empty());

    // A copy left by an editor that ended comes back as a modified document with its text; the copy of an
    // editor that still runs is left alone.
    RecoveryRecord ended;
    ended.fileName = dir.filePath(QStringLiteral("perso.htm"));
    ended.encoding = Encoding::Utf16LE;
    ended.written = QDateTime::currentDateTimeUtc();
    ended.writer = {0x7FFFFFF0, 1};
    RecoveryRecord running = ended;
    running.writer = currentProcess();
    ASSERT_EQ(folder.write(QStringLiteral("ended-1"), QStringLiteral("<P>perso\n"), ended), std::nullopt);
    ASSERT_EQ(folder.write(QStringLiteral("running-1"), QStringLiteral("vivo"), running), std::nullopt);
    prompts.answers.push_back(true);  // Ripristina
    form.offerRecovery();
    ASSERT_EQ(form.documents().count(), 2);
    const DocumentTable::Document& restored = form.documents().document(1);
    EXPECT_EQ(restored.fileName, ended.fileName);
    EXPECT_EQ(restored.encoding, Encoding::Utf16LE);
    EXPECT_FALSE(restored.saved);
    EXPECT_EQ(restored.editor->text(), "<P>perso\n");
    form.writeRecoveryNow();
    QStringList keys;
    for (const RecoveryFolder::Entry& entry : folder.entries())
        keys << entry.key;
    EXPECT_EQ(keys, (QStringList{QStringLiteral("%1-%2").arg(currentProcess().pid).arg(restored.serial),
                                 QStringLiteral("running-1")}));
}

TEST_F(TForm1Test, RecoveryCopiesWaitOnTheSteadyClockWhateverTheDateDoes)
{
    QTemporaryDir state;
    TForm1& form = open();
    form.enableRecovery(state.path());
    const auto copiesWritten = [this] {
        int n = 0;
        for (const FakeFileSystem::Record& call : files.calls())
            n += call.call == FsCall::Write && call.path.endsWith(QLatin1String(".copy"));
        return n;
    };
    // The date set back an hour at every key of a half minute's typing: a copy is still made at 31 s, the
    // half minute's copy falling due at the next wait's end.
    for (int second = 0; second <= 30; ++second) {
        QTest::keyClick(&editor(), Qt::Key_A);
        clock.shiftDate(-3600'000);
        clock.advance(1000);
    }
    form.writeRecoveryNow();  // one more, and waits for the writer
    EXPECT_EQ(copiesWritten(), 2);

    // The date set forward an hour at each key (keys at 0, 1 and 2.5 s): every key still puts the copy off by
    // two seconds, so one copy follows them.
    for (int gap : {0, 1000, 1500}) {
        clock.advance(gap);
        QTest::keyClick(&editor(), Qt::Key_B);
        clock.shiftDate(3600'000);
    }
    clock.advance(2500);  // 2 s after the last key
    form.writeRecoveryNow();
    EXPECT_EQ(copiesWritten(), 2 + 2);
}

TEST_F(TForm1Test, AFailedRecoveryCopyIsReportedOnceARun)
{
    QTemporaryDir state;
    TForm1& form = open();
    form.enableRecovery(state.path());
    files.fail(FsCall::MakeFolder, state.path(), EACCES);
    for (const char* typed : {"a", "b"}) {
        QTest::keyClicks(&editor(), QLatin1String(typed));
        form.writeRecoveryNow();
        QCoreApplication::processEvents();  // the writer's report arrives as a queued call
    }
    EXPECT_EQ(files.count(FsCall::MakeFolder), 2);
    EXPECT_THAT(prompts.log,
                ::testing::ElementsAre("error: Impossibile scrivere la copia di recupero dei documenti non salvati: " +
                                       folderError(state.path(), EACCES)));
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
