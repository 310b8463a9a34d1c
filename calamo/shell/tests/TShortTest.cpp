#include "WindowFixture.h"

#include "Modal.h"
#include "TShort.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

using namespace calamo;
using namespace calamo::testing;

namespace {

class TShortTest : public WindowFixture {
protected:
    TShort& dialog() { return *window->findChild<TShort*>(); }
    QComboBox* combo() { return dialog().findChild<QComboBox*>(QStringLiteral("ComboBox1")); }
    QLineEdit* edit() { return dialog().findChild<QLineEdit*>(QStringLiteral("Edit1")); }
    QPushButton* button(const char* name) { return dialog().findChild<QPushButton*>(QLatin1String(name)); }
    void choose(const QString& item)
    {
        const int index = combo()->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        combo()->setCurrentIndex(index);
    }
    void type(const QString& code)
    {
        edit()->clear();
        QTest::keyClicks(edit(), code);
    }
    void run(std::function<void()> act) { runModal("Rapida", std::move(act)); }
    QByteArray configWith(std::initializer_list<std::pair<int, const char*>> entries)
    {
        Config config = Config::defaults();
        for (const auto& [entry, code] : entries)
            config.ShortcutTable[static_cast<std::size_t>(entry - 1)] = code;
        return formatConfig(config);
    }
};

TEST_F(TShortTest, ShowsTheEntriesTheHelpTextAndNoCodeBeforeAnEntryIsChosen)
{
    open();
    ASSERT_TRUE(child<QAction>("Rapida")->isEnabled());
    run([&] {
        EXPECT_EQ(dialog().windowTitle(), "Editor tasti di scelta rapida");
        EXPECT_EQ(combo()->count(), 44);
        EXPECT_EQ(combo()->itemText(0), "01 Nuovo documento");
        EXPECT_EQ(combo()->itemText(9), "");
        EXPECT_EQ(combo()->currentIndex(), -1);
        EXPECT_EQ(edit()->text(), "");
        auto* memo = dialog().findChild<QPlainTextEdit*>(QStringLiteral("Memo"));
        ASSERT_NE(memo, nullptr);
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_EQ(memo->document()->blockCount(), 14);
        EXPECT_EQ(memo->document()->findBlockByNumber(2).text(), "La codifica dei tasti speciali è la seguente:");
        EXPECT_EQ(button("Button1")->text(), "Salva");
        EXPECT_EQ(button("Button2")->text(), "Uscita");
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(TShortTest, SalvaKeepsThreeCharactersAndUscitaWritesTheWholeTableOnce)
{
    writeConfig([] {
        Config config = Config::defaults();
        config.ShortcutTable[17] = "A I";
        return config;
    }());
    open();
    run([&] {
        choose(QStringLiteral("18 Corsivo"));
        EXPECT_EQ(edit()->text(), "A I");
        choose(QStringLiteral("17 Grassetto"));
        EXPECT_EQ(edit()->text(), "");
        type(QStringLiteral("C GX"));
        QTest::keyClick(edit(), Qt::Key_Return);  // "Salva" is the default button
        EXPECT_EQ(window->config().ShortcutTable[16], "C G");
        EXPECT_EQ(edit()->text(), "C G");
        EXPECT_TRUE(dialog().isVisible());
        // A typed code that was not saved is lost when another entry is chosen.
        choose(QStringLiteral("03 Salva"));
        type(QStringLiteral("C S"));
        choose(QStringLiteral("05 Stampa"));
        choose(QStringLiteral("03 Salva"));
        EXPECT_EQ(edit()->text(), "");
        EXPECT_EQ(bytesOf(QStringLiteral("calamo.cfg")), configWith({{18, "A I"}})) << "nothing written yet";
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(bytesOf(QStringLiteral("calamo.cfg")), configWith({{17, "C G"}, {18, "A I"}}));
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(TShortTest, AChangedKeyWorksAtOnce)
{
    open();
    editor().setText(QStringLiteral("x"));
    editor().selectAll();
    run([&] {
        choose(QStringLiteral("17 Grassetto"));
        type(QStringLiteral("N Q"));
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QTest::keyClick(&dialog(), Qt::Key_Escape);  // leaves as "Uscita" does, writing the file
    });
    EXPECT_EQ(parseConfig(bytesOf(QStringLiteral("calamo.cfg"))).ShortcutTable[16], "N Q");
    editor().takeFocus();
    editor().setCaret(1);
    QTest::keyRelease(&editor(), Qt::Key_Q);
    EXPECT_EQ(editor().text(), "x<B></B>");
}

TEST_F(TShortTest, SeparatorsAddressNoEntryAndCharactersTheFileCannotHoldAreRefused)
{
    open();
    const Config before = window->config();
    run([&] {
        choose(QStringLiteral("09 Trova"));
        type(QStringLiteral("C F"));
        combo()->setCurrentIndex(9);  // a separator
        EXPECT_EQ(edit()->text(), "");
        type(QStringLiteral("C X"));
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        EXPECT_EQ(window->config(), before);

        choose(QStringLiteral("09 Trova"));
        edit()->setText(QStringLiteral("C π"));
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        EXPECT_EQ(window->config(), before);
        EXPECT_EQ(edit()->text(), "") << "the stored code is shown again";
        edit()->setText(QStringLiteral("C\nX"));
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        EXPECT_EQ(window->config(), before);
        // A Windows-1252 character beyond ASCII is kept, as its byte.
        edit()->setText(QStringLiteral("C €"));
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_TRUE(prompts.log[0].startsWith(QStringLiteral("error: Il codice \"C π\"")));
    EXPECT_EQ(window->config().ShortcutTable[8], "C \x80");
    EXPECT_TRUE(bytesOf(QStringLiteral("calamo.cfg")).contains("\r\nC \x80\r\n"));
}

TEST_F(TShortTest, AFailedWriteIsReportedAndTheKeysStillWork)
{
    open();
    // A folder where the file should be: the write cannot replace it.
    ASSERT_TRUE(QFile::remove(QStringLiteral("calamo.cfg")));
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("calamo.cfg")));
    run([&] {
        choose(QStringLiteral("01 Nuovo documento"));
        type(QStringLiteral("C N"));
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_FALSE(dialog().isVisible());
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_TRUE(prompts.log[0].startsWith(QStringLiteral("error: "))) << prompts.log[0].toStdString();
    EXPECT_EQ(window->config().ShortcutTable[0], "C N");
}

}  // namespace
