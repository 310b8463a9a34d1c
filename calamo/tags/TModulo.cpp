#include "TModulo.h"

#include "DocumentTable.h"
#include "PropertyPanels.h"
#include "WrapSelection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace calamo {

namespace {

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Lays a page out as a grid: a check box or radio button with its value control beside it, or a line of its own.
class PageBuilder {
public:
    explicit PageBuilder(QGroupBox* page) : page_(page), grid_(new QGridLayout(page)) { grid_->setColumnStretch(1, 1); }

    void radio(const char* name, const char* caption, bool selected = false)
    {
        auto* button = named(new QRadioButton(QString::fromUtf8(caption), page_), name);
        button->setChecked(selected);
        line(button);
    }

    // A check box, with an edit box beside it when `edit` is given.
    void check(const char* name, const char* caption, bool ticked = false, const char* edit = nullptr)
    {
        auto* box = named(new QCheckBox(QString::fromUtf8(caption), page_), name);
        box->setChecked(ticked);
        if (!edit) {
            line(box);
            return;
        }
        grid_->addWidget(box, row_, 0);
        grid_->addWidget(named(new QLineEdit(page_), edit), row_, 1);
        ++row_;
    }

    // A check box with an editable combo box beside it, starting with `text`.
    void checkCombo(const char* name, const char* caption, bool ticked, const char* combo,
                    std::initializer_list<const char*> items, const char* text)
    {
        auto* box = named(new QCheckBox(QString::fromUtf8(caption), page_), name);
        box->setChecked(ticked);
        auto* values = named(new QComboBox(page_), combo);
        values->setEditable(true);
        for (const char* item : items)
            values->addItem(QString::fromUtf8(item));
        values->setCurrentIndex(values->findText(QString::fromUtf8(text)));
        values->setEditText(QString::fromUtf8(text));
        grid_->addWidget(box, row_, 0);
        grid_->addWidget(values, row_, 1);
        ++row_;
    }

    void label(const char* text)
    {
        auto* note = new QLabel(QString::fromUtf8(text), page_);
        note->setTextFormat(Qt::PlainText);
        line(note);
    }

    void line(QWidget* widget)
    {
        grid_->addWidget(widget, row_, 0, 1, 2);
        ++row_;
    }

    // A button at the right of a line of its own.
    void button(QPushButton* button)
    {
        grid_->addWidget(button, row_, 0, 1, 2, Qt::AlignRight);
        ++row_;
    }

    QGroupBox* page() const { return page_; }

private:
    QGroupBox* page_;
    QGridLayout* grid_;
    int row_ = 0;
};

// Reads a page's controls by name into the fields of its state. A name the page does not hold is a programming
// error and stops the program, so that a misspelt name cannot silently read a default.
class PageReader {
public:
    explicit PageReader(const QGroupBox* page) : page_(page) {}

    void into(const char* name, bool& field) const
    {
        if (auto* button = page_->findChild<QAbstractButton*>(QLatin1String(name)))
            field = button->isChecked();
        else
            qFatal("TModulo: no check box or radio button named %s", name);
    }

    void into(const char* name, QString& field) const
    {
        if (auto* edit = page_->findChild<QLineEdit*>(QLatin1String(name)))
            field = edit->text();
        else if (auto* combo = page_->findChild<QComboBox*>(QLatin1String(name)))
            field = combo->currentText();
        else if (auto* memo = page_->findChild<QPlainTextEdit*>(QLatin1String(name)))
            field = memoText(*memo);
        else
            qFatal("TModulo: no edit box named %s", name);
    }

private:
    // The memo's text as typed, each line break one "\n" (not through toPlainText(), which turns no-break
    // spaces into blanks).
    static QString memoText(const QPlainTextEdit& memo)
    {
        QString text = memo.document()->toRawText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        return text;
    }

    const QGroupBox* page_;
};

#define READ(field) reader.into(#field, p.field)

}  // namespace

TModulo::TModulo(DocumentTable& documents, PropertyPanels& panels, QWidget* parent)
    : QDialog(parent),
      documents_(documents),
      panels_(panels)
{
    setObjectName(QStringLiteral("TModulo"));
    setWindowTitle(QStringLiteral("Creazione modulo"));

    static constexpr std::array<const char*, 7> kCaptions = {"Controllo",     "Bottone", "Elemento nascosto",
                                                             "Area di Testo", "Elenco",  "Campo testo",
                                                             "Nuovo Modulo"};
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // the dialog takes the size of the visible page
    for (int n = 1; n <= 7; ++n) {
        auto* box = new QGroupBox(QString::fromUtf8(kCaptions[static_cast<std::size_t>(n - 1)]), this);
        box->setObjectName(QStringLiteral("GroupBox%1").arg(n));
        box->setVisible(false);
        layout->addWidget(box);
        pages_[static_cast<std::size_t>(n - 1)] = box;
    }

    PageBuilder modulo(page(NuovoModulo));
    modulo.check("CheckBox25", "ACTION", true, "Edit20");
    modulo.label("(URL del computer che elabora i dati. Se omesso si usa quello corrente.)");
    modulo.checkCombo("CheckBox24", "METHOD", true, "ComboBox1", {"get", "post"}, "post");
    modulo.label("GET (invio con punto interrogativo) POST (invio tipo messaggio)");
    modulo.checkCombo("CheckBox26", "ENCTYPE", false, "ComboBox2",
                      {kEnctypeItems[0], kEnctypeItems[1], kEnctypeItems[2]}, "");
    modulo.label("(Tipo di invio, specificare solo se METHOD è impostato a POST)");
    modulo.button(addButton(modulo.page(), "Button4", "Crea modulo", &TModulo::Button4Click));

    PageBuilder campo(page(CampoTesto));
    campo.radio("RadioButton1", "Casella di testo semplice", true);
    campo.radio("RadioButton2", "Campo testo con caratteri mascherati");
    campo.radio("RadioButton3", "Casella che accetta solo interi");
    campo.check("CheckBox2", "Nome univoco", true, "Edit1");
    campo.check("CheckBox30", "Sola lettura");
    campo.check("CheckBox1", "Disabilitato");
    campo.check("CheckBox4", "Min", false, "Edit3");
    campo.check("CheckBox3", "Max", false, "Edit4");
    campo.check("CheckBox7", "Valore di default", false, "Edit6");
    campo.check("CheckBox5", "Lunghezza testo", false, "Edit2");
    campo.check("CheckBox6", "Testo massimo", false, "Edit5");
    campo.button(addButton(campo.page(), "Button8", "Aggiungi", &TModulo::Button8Click));

    PageBuilder controllo(page(Controllo));
    controllo.radio("RadioButton4", "Casella di controllo [quadrata]", true);
    controllo.radio("RadioButton5", "Pulsante di scelta [rotondo]");
    controllo.check("CheckBox9", "Nome univoco", true, "Edit7");
    controllo.check("CheckBox14", "Valore preimpostato", false, "Edit12");
    controllo.check("CheckBox8", "Selezionato");
    controllo.label("(Per il pulsante di scelta, usare lo stesso \"Nome univoco\" per tutti i controlli");
    controllo.label("che sono raggruppati insieme. Per ogniuno di essi il nome univoco dovrà");
    controllo.label("essere specificato nella casella \"Valore preimpostato\")");
    controllo.button(addButton(controllo.page(), "Button5", "Aggiungi", &TModulo::Button5Click));

    PageBuilder bottone(page(Bottone));
    bottone.radio("RadioButton6", "Bottone di invio dati", true);
    bottone.radio("RadioButton7", "Bottone di reset");
    bottone.radio("RadioButton8", "Bottone standard");
    bottone.check("CheckBox11", "Etichetta sul pulsante", false, "Edit8");
    bottone.check("CheckBox10", "Path icona", false, "Edit15");
    bottone.check("CheckBox17", "Testo alternativo", false, "Edit14");
    bottone.check("CheckBox29", "Larghezza", false, "Edit22");
    bottone.check("CheckBox28", "Altezza", false, "Edit21");
    bottone.button(addButton(bottone.page(), "Button7", "Aggiungi", &TModulo::Button7Click));

    PageBuilder nascosto(page(Nascosto));
    nascosto.check("CheckBox12", "Nome univoco", true, "Edit9");
    nascosto.check("CheckBox13", "Valore preimpostato", false, "Edit10");
    nascosto.button(addButton(nascosto.page(), "Button6", "Aggiungi", &TModulo::Button6Click));

    PageBuilder area(page(AreaTesto));
    area.check("CheckBox19", "Nome univoco", true, "Edit16");
    area.check("CheckBox16", "Nr colonne", false, "Edit11");
    area.check("CheckBox18", "Nr righe", false, "Edit13");
    area.check("CheckBox15", "Manda a capo");
    auto* memo = named(new QPlainTextEdit(QStringLiteral("Testo..."), area.page()), "Memo2");
    memo->setTabChangesFocus(true);
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 5 + 12);
    area.line(memo);
    area.button(addButton(area.page(), "Button9", "Aggiungi", &TModulo::Button9Click));

    PageBuilder elenco(page(Elenco));
    elenco.check("CheckBox21", "Nome univoco", true, "Edit17");
    elenco.check("CheckBox22", "Altezza", false, "Edit18");
    elenco.check("CheckBox20", "Multiselezione");
    elenco.button(addButton(elenco.page(), "Button2", "Crea elenco", &TModulo::Button2Click));
    elenco.line(named(new QLineEdit(QStringLiteral("Testo della voce dell'elenco"), elenco.page()), "Edit19"));
    elenco.check("CheckBox23", "Voce già selezionata");
    elenco.check("CheckBox27", "Voce non accessibile all'utente");
    elenco.button(addButton(elenco.page(), "Button3", "Aggiungi voce", &TModulo::Button3Click));

    // Enter adds what the page builds; on the list page, the item, which is what is added again and again.
    for (const auto& [n, name] : std::initializer_list<std::pair<int, const char*>>{{1, "Button5"},
                                                                                    {2, "Button7"},
                                                                                    {3, "Button6"},
                                                                                    {4, "Button9"},
                                                                                    {5, "Button3"},
                                                                                    {6, "Button8"},
                                                                                    {7, "Button4"}})
        defaults_[static_cast<std::size_t>(n - 1)] = page(n)->findChild<QPushButton*>(QLatin1String(name));
}

QPushButton* TModulo::addButton(QGroupBox* page, const char* name, const char* caption, void (TModulo::*handler)())
{
    auto* button = named(new QPushButton(QString::fromUtf8(caption), page), name);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void TModulo::showPage(Page shown, bool modal)
{
    for (int n = 1; n <= 7; ++n)
        page(n)->setVisible(n == shown);
    defaults_[static_cast<std::size_t>(shown - 1)]->setDefault(true);
    // The keyboard starts on the page's first control, wherever it was left on another page.
    if (!page(shown)->isAncestorOf(focusWidget())) {
        for (QWidget* control : page(shown)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->focusPolicy() & Qt::TabFocus) {
                control->setFocus();
                break;
            }
        }
    }
    if (modal) {
        // A dialog becomes modal when it is shown: one on screen without modality is shown again.
        if (isVisible() && !isModal())
            hide();
        if (!isVisible())
            exec();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TModulo::insert(const Insertion& insertion)
{
    WrapSelection(documents_, insertion.open, insertion.close);
}

NuovoModuloPage TModulo::nuovoModulo() const
{
    const PageReader reader(page(NuovoModulo));
    NuovoModuloPage p;
    READ(CheckBox25);
    READ(Edit20);
    READ(CheckBox24);
    READ(ComboBox1);
    READ(CheckBox26);
    READ(ComboBox2);
    return p;
}

CampoTestoPage TModulo::campoTesto() const
{
    const PageReader reader(page(CampoTesto));
    CampoTestoPage p;
    READ(RadioButton1);
    READ(RadioButton2);
    READ(RadioButton3);
    READ(CheckBox2);
    READ(Edit1);
    READ(CheckBox30);
    READ(CheckBox1);
    READ(CheckBox4);
    READ(Edit3);
    READ(CheckBox3);
    READ(Edit4);
    READ(CheckBox7);
    READ(Edit6);
    READ(CheckBox5);
    READ(Edit2);
    READ(CheckBox6);
    READ(Edit5);
    return p;
}

ControlloPage TModulo::controllo() const
{
    const PageReader reader(page(Controllo));
    ControlloPage p;
    READ(RadioButton4);
    READ(RadioButton5);
    READ(CheckBox9);
    READ(Edit7);
    READ(CheckBox14);
    READ(Edit12);
    READ(CheckBox8);
    return p;
}

BottonePage TModulo::bottone() const
{
    const PageReader reader(page(Bottone));
    BottonePage p;
    READ(RadioButton6);
    READ(RadioButton7);
    READ(RadioButton8);
    READ(CheckBox11);
    READ(Edit8);
    READ(CheckBox10);
    READ(Edit15);
    READ(CheckBox17);
    READ(Edit14);
    READ(CheckBox29);
    READ(Edit22);
    READ(CheckBox28);
    READ(Edit21);
    return p;
}

NascostoPage TModulo::nascosto() const
{
    const PageReader reader(page(Nascosto));
    NascostoPage p;
    READ(CheckBox12);
    READ(Edit9);
    READ(CheckBox13);
    READ(Edit10);
    return p;
}

AreaTestoPage TModulo::areaTesto() const
{
    const PageReader reader(page(AreaTesto));
    AreaTestoPage p;
    READ(CheckBox19);
    READ(Edit16);
    READ(CheckBox16);
    READ(Edit11);
    READ(CheckBox18);
    READ(Edit13);
    READ(CheckBox15);
    READ(Memo2);
    return p;
}

ElencoModuloPage TModulo::elenco() const
{
    const PageReader reader(page(Elenco));
    ElencoModuloPage p;
    READ(CheckBox21);
    READ(Edit17);
    READ(CheckBox22);
    READ(Edit18);
    READ(CheckBox20);
    READ(Edit19);
    READ(CheckBox23);
    READ(CheckBox27);
    return p;
}

void TModulo::Button4Click()
{
    insert(Button4Tag(nuovoModulo()));
    panels_.show(7);  // "Oggetti inseribili", whose buttons add the fields
    accept();
}

void TModulo::Button8Click()
{
    insert(Button8Tag(campoTesto()));
}

void TModulo::Button5Click()
{
    insert(Button5Tag(controllo()));
}

void TModulo::Button7Click()
{
    insert(Button7Tag(bottone()));
}

void TModulo::Button6Click()
{
    insert(Button6Tag(nascosto()));
}

void TModulo::Button9Click()
{
    insert(Button9Tag(areaTesto()));
}

void TModulo::Button2Click()
{
    insert(Button2Tag(elenco()));
}

void TModulo::Button3Click()
{
    insert(Button3Tag(elenco()));
}

}  // namespace calamo
