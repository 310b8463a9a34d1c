#include "WindowFixture.h"

#include "Modal.h"
#include "PropertyPanels.h"
#include "TModulo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace calamo;
using namespace calamo::testing;

namespace {

class ModuloWindowTest : public WindowFixture {
protected:
    TModulo& modulo() { return window->modulo(); }
    template <typename T>
    T* inModulo(const char* name)
    {
        return modulo().findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(inModulo<QPushButton>(name), Qt::LeftButton); }
    void openPage(const char* speedButton) { QTest::mouseClick(window->panels().button(speedButton), Qt::LeftButton); }
    // The numbers of the visible pages.
    std::vector<int> visiblePages()
    {
        std::vector<int> shown;
        for (int n = 1; n <= 7; ++n) {
            if (modulo().page(n)->isVisible())
                shown.push_back(n);
        }
        return shown;
    }
    // The document's text with `inserted` put at offset `at`.
    static QString with(const QString& text, int at, const QString& inserted)
    {
        return text.left(at) + inserted + text.mid(at);
    }
};

TEST_F(ModuloWindowTest, CreaModuloInsertsTheFormShowsTheObjectsPanelAndCloses)
{
    TForm1& form = open();
    const QString before = editor().text();
    const int caret = editor().selectionStart();
    std::vector<int> pages;
    bool modal = false;
    whenModal([&](QWidget& dialog) {
        pages = visiblePages();
        modal = dialog.isModal() && &dialog == &modulo();
        EXPECT_EQ(dialog.windowTitle(), "Creazione modulo");
        click("Button4");
    });
    QTest::mouseClick(child<QToolButton>("Speed33"), Qt::LeftButton);

    EXPECT_EQ(pages, std::vector<int>{7});
    EXPECT_TRUE(modal);
    EXPECT_FALSE(modulo().isVisible());
    const QString open = QStringLiteral("<FORM ACTION= \"\" METHOD= \"post\">");
    EXPECT_EQ(editor().text(), with(before, caret, open + QStringLiteral("\n</FORM>")));
    EXPECT_EQ(editor().selectionStart(), caret + open.size()) << "the caret just before the line feed";
    EXPECT_FALSE(form.documents().current()->saved);
    EXPECT_EQ(form.panels().visible(), 7);
}

TEST_F(ModuloWindowTest, ThePanelButtonsOpenTheirOwnPageBesideTheWindow)
{
    open();
    const struct {
        const char* button;
        int page;
        const char* hint;
    } rows[] = {
        {"SpeedButton1", 6, "Immissione testo, numeri"},
        {"SpeedButton2", 1, "Casella di controllo e pulsante di scelta"},
        {"SpeedButton4", 2, "Invio dati, reset"},
        {"SpeedButton5", 3, "Hidden"},
        {"SpeedButton6", 4, "Area testo"},
        {"SpeedButton7", 5, "Elenco"},
    };
    window->panels().show(7);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        QToolButton* button = window->panels().button(row.button);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(row.hint));
        openPage(row.button);
        EXPECT_TRUE(modulo().isVisible());
        EXPECT_FALSE(modulo().isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(visiblePages(), std::vector<int>{row.page});
    }
}

TEST_F(ModuloWindowTest, EveryPageStartsInItsDesignedState)
{
    open();
    // Read back through the dialog, every page gives the tag of the engine's start state.
    EXPECT_EQ(Button4Tag(modulo().nuovoModulo()), Button4Tag({}));
    EXPECT_EQ(Button8Tag(modulo().campoTesto()), Button8Tag({}));
    EXPECT_EQ(Button5Tag(modulo().controllo()), Button5Tag({}));
    EXPECT_EQ(Button7Tag(modulo().bottone()), Button7Tag({}));
    EXPECT_EQ(Button6Tag(modulo().nascosto()), Button6Tag({}));
    EXPECT_EQ(Button9Tag(modulo().areaTesto()), Button9Tag({}));
    EXPECT_EQ(Button2Tag(modulo().elenco()), Button2Tag({}));
    EXPECT_EQ(Button3Tag(modulo().elenco()), Button3Tag({}));
    // ENCTYPE is matched against the items exactly, so picking one must give its text unchanged.
    QComboBox* enctype = inModulo<QComboBox>("ComboBox2");
    ASSERT_EQ(enctype->count(), 3);
    enctype->setCurrentIndex(1);
    inModulo<QCheckBox>("CheckBox26")->setChecked(true);
    EXPECT_TRUE(Button4Tag(modulo().nuovoModulo()).open.endsWith(" ENCTYPE= \"multipart/form-data\">"));
}

TEST_F(ModuloWindowTest, AListIsBuiltInClickOrderWhileTheDialogStaysOpenAndKeepsItsValues)
{
    TForm1& form = open();
    editor().setText(QStringLiteral("ab"));
    editor().setCaret(1);
    openPage("SpeedButton7");
    inModulo<QLineEdit>("Edit17")->setText(QStringLiteral("colore"));
    click("Button2");
    inModulo<QLineEdit>("Edit19")->setText(QStringLiteral("rosso"));
    click("Button3");
    inModulo<QLineEdit>("Edit19")->setText(QStringLiteral("verde"));
    inModulo<QCheckBox>("CheckBox23")->setChecked(true);
    click("Button3");
    EXPECT_TRUE(modulo().isVisible());
    const QString built = QStringLiteral(" <SELECT NAME= \"colore\">\n  <OPTION>rosso</OPTION>\n"
                                         "  <OPTION SELECTED>verde</OPTION>");
    EXPECT_EQ(editor().text(), QStringLiteral("a") + built + QStringLiteral("\n </SELECT>b"));
    EXPECT_EQ(editor().selectionStart(), 1 + built.size());
    EXPECT_FALSE(form.documents().current()->saved);

    QTest::keyClick(&modulo(), Qt::Key_Escape);
    EXPECT_FALSE(modulo().isVisible());
    openPage("SpeedButton7");
    EXPECT_EQ(inModulo<QLineEdit>("Edit17")->text(), "colore");
    EXPECT_EQ(inModulo<QLineEdit>("Edit19")->text(), "verde");
    EXPECT_TRUE(inModulo<QCheckBox>("CheckBox23")->isChecked());
}

TEST_F(ModuloWindowTest, EnterAddsWhatThePageBuilds)
{
    open();
    editor().setText(QString());
    openPage("SpeedButton1");
    QLineEdit* name = inModulo<QLineEdit>("Edit1");
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("eta"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(editor().text(), " <INPUT TYPE= text NAME= \"eta\">");
    EXPECT_TRUE(modulo().isVisible());

    openPage("SpeedButton7");
    QTest::keyClick(inModulo<QLineEdit>("Edit19"), Qt::Key_Return);
    EXPECT_TRUE(editor().text().endsWith("\n  <OPTION>Testo della voce dell'elenco</OPTION>"));
}

TEST_F(ModuloWindowTest, TheTextAreaTakesTheMemoAsTypedWithTheCaretAfterIt)
{
    open();
    editor().setText(QString());
    openPage("SpeedButton6");
    inModulo<QPlainTextEdit>("Memo2")->setPlainText(QStringLiteral("uno\u00A0due\ntre"));
    click("Button9");
    EXPECT_EQ(editor().text(), QStringLiteral(" <TEXTAREA NAME= \"\">\nuno\u00A0due\ntre\n</TEXTAREA>"));
    EXPECT_EQ(editor().text().mid(editor().selectionStart()), "\n</TEXTAREA>");
}

TEST_F(ModuloWindowTest, AModelessDialogOpenedFromTheToolbarBecomesModalOnTheFormPage)
{
    TForm1& form = open();
    openPage("SpeedButton5");
    ASSERT_TRUE(modulo().isVisible());
    const QString before = editor().text();
    bool modal = false;
    std::vector<int> pages;
    whenModal([&](QWidget& dialog) {
        modal = &dialog == &modulo();
        pages = visiblePages();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    form.Speed33Click();
    EXPECT_TRUE(modal);
    EXPECT_EQ(pages, std::vector<int>{7});
    EXPECT_FALSE(modulo().isVisible());
    EXPECT_EQ(editor().text(), before) << "Escape inserts nothing";
    EXPECT_TRUE(form.documents().current()->saved);
    EXPECT_NE(form.panels().visible(), 7);
}

TEST_F(ModuloWindowTest, ShortcutEntry35OpensTheFormPage)
{
    TForm1& form = open();
    std::vector<int> pages;
    whenModal([&](QWidget& dialog) {
        pages = visiblePages();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    runShortcutEntry(35, form);
    EXPECT_EQ(pages, std::vector<int>{7});
}

TEST_F(ModuloWindowTest, WithNoDocumentOpenTheButtonsInsertNothing)
{
    TForm1& form = open();
    form.ChiudiClick();
    ASSERT_TRUE(form.documents().empty());
    openPage("SpeedButton2");
    click("Button5");
    whenModal([this](QWidget&) { click("Button4"); });
    form.Speed33Click();
    EXPECT_TRUE(form.documents().empty());
    EXPECT_FALSE(modulo().isVisible());
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(ModuloWindowTest, InsertionIntoAVeryLongLineKeepsTheTextWhole)
{
    open();
    // One line well over the editor's soft-broken block length, the caret deep inside it.
    const QString line = QString(3000, u'a') + QString(6000, u'b');
    editor().setText(QStringLiteral("x\n") + line);
    editor().setCaret(2 + 7000);
    openPage("SpeedButton5");
    inModulo<QLineEdit>("Edit9")->setText(QStringLiteral("id"));
    click("Button6");
    const QString hidden = QStringLiteral(" <INPUT TYPE= hidden NAME= \"id\">");
    EXPECT_EQ(editor().text(), QStringLiteral("x\n") + with(line, 7000, hidden));
    EXPECT_EQ(editor().selectionStart(), 2 + 7000 + hidden.size());
}

}  // namespace
