#include "PropertyPanels.h"

#include "FramesetPanel.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <initializer_list>
#include <variant>

namespace calamo {

namespace {

constexpr int kLeft = 2;
constexpr int kTop = 60;
constexpr int kWidth = 151;
constexpr int kStartHeight = 430;
constexpr int kRow = 21;  // height of one row of controls

// One row of a panel: a label, a check box with its value control, or a check box alone.
struct Row {
    const char* check = nullptr;  // check box name; null for a label row
    const char* caption = "";
    const char* value = nullptr;  // value control name; an edit unless `items` or `combo` is set
    const char* start = "";       // start text of an edit
    std::initializer_list<const char*> items = {};
    bool combo = false;
    bool wide = false;  // value on a line of its own under the check box
    const char* hint = nullptr;
    bool checked = false;
};

// Lays rows out from the top of a panel.
class PanelBuilder {
public:
    PanelBuilder(QGroupBox* box, std::vector<PropertyPanels::CaptionRow>& rows) : box_(box), rows_(rows) {}

    void add(const Row& row)
    {
        if (!row.check) {
            auto* label = new QLabel(QString::fromUtf8(row.caption), box_);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            label->setGeometry(6, y_ + 2, kWidth - 12, kRow - 4);
            y_ += kRow - 3;
            return;
        }
        auto* check = new QCheckBox(QString::fromUtf8(row.caption), box_);
        check->setObjectName(QLatin1String(row.check));
        check->setChecked(row.checked);
        const bool hasValue = row.value != nullptr;
        const int checkWidth = hasValue && !row.wide ? 92 : kWidth - 10;
        check->setGeometry(5, y_, checkWidth, kRow - 2);
        QWidget* value = nullptr;
        if (hasValue) {
            if (row.combo || row.items.size() > 0) {
                auto* combo = new QComboBox(box_);
                combo->setEditable(true);
                for (const char* item : row.items)
                    combo->addItem(QString::fromUtf8(item));
                combo->setCurrentIndex(-1);
                combo->setEditText(QString());
                value = combo;
            } else {
                value = new QLineEdit(QString::fromUtf8(row.start), box_);
            }
            value->setObjectName(QLatin1String(row.value));
            if (row.wide) {
                y_ += kRow - 2;
                value->setGeometry(22, y_, kWidth - 28, kRow - 2);
            } else {
                value->setGeometry(98, y_, kWidth - 104, kRow - 2);
            }
        }
        rows_.push_back({check, row.wide ? nullptr : value});
        if (row.hint) {
            const QString hint = QString::fromUtf8(row.hint);
            check->setToolTip(hint);
            if (value)
                value->setToolTip(hint);
        }
        y_ += kRow;
    }

    void addButton(const char* name, const char* caption, const char* hint)
    {
        auto* button = new QToolButton(box_);
        button->setObjectName(QLatin1String(name));
        button->setText(QString::fromUtf8(caption));
        button->setToolTip(QString::fromUtf8(hint));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setGeometry(6, y_, kWidth - 12, kRow + 2);
        y_ += kRow + 5;
    }

    void skip(int pixels) { y_ += pixels; }

private:
    QGroupBox* box_;
    std::vector<PropertyPanels::CaptionRow>& rows_;
    int y_ = 18;
};

// Pixels a value control beside its check box keeps: a combo box a few characters and its arrow (its list
// opens as wide as its items), an edit a number.
int minimumWidth(const QWidget* value)
{
    return qobject_cast<const QComboBox*>(value) ? 34 : 26;
}

}  // namespace

PropertyPanels::PropertyPanels(QWidget* parent, const QStringList& fontFamilies) : parent_(parent)
{
    static constexpr std::array<const char*, 8> kCaptions = {"",       "Testo",   "Carattere",          "Collegamento",
                                                             "Elenco", "Tabella", "Oggetti inseribili", "Frameset"};
    for (int n = 1; n <= 8; ++n) {
        auto* box = new QGroupBox(QString::fromUtf8(kCaptions[static_cast<std::size_t>(n - 1)]), parent);
        box->setObjectName(QStringLiteral("PGroup%1").arg(n));
        box->setGeometry(kLeft, kTop, kWidth, kStartHeight);
        box->setVisible(n == 1);
        groups_[static_cast<std::size_t>(n - 1)] = box;

        auto* browse = new QToolButton(box);
        browse->setObjectName(QStringLiteral("Sfoglia%1").arg(n));
        browse->setToolTip(QStringLiteral("Sfoglia proprietà"));
        browse->setAutoRaise(true);
        browse->setGeometry(kWidth - 26, 2, 22, 20);
        browse->raise();
    }

    image_ = new QLabel(group(1));
    image_->setObjectName(QStringLiteral("Image"));
    image_->setGeometry(6, 6, kWidth - 12, kStartHeight - 12);
    image_->setAlignment(Qt::AlignCenter);
    group(1)->findChild<QToolButton*>(QStringLiteral("Sfoglia1"))->raise();

    PanelBuilder testo(group(2), rows_);
    testo.add({.caption = "Paragrafo"});
    testo.add({.check = "CheckBox28",
               .caption = "Allineamento",
               .value = "ComboBox5",
               .items = {"left", "right", "center", "justify"}});
    testo.add({.check = "CheckBox3", .caption = "Chiudi tag con </P>"});
    testo.skip(8);
    testo.add({.caption = "Linea"});
    testo.add(
        {.check = "CheckBox7", .caption = "Allineamento", .value = "ComboBox6", .items = {"left", "right", "center"}});
    testo.add({.check = "CheckBox8", .caption = "Spessore", .value = "Edit8", .start = "1"});
    testo.add({.check = "CheckBox9",
               .caption = "Lunghezza",
               .value = "Edit9",
               .start = "1",
               .hint = "In valori assoluti (es 1) o relativi (es %50)"});
    testo.add({.check = "CheckBox33", .caption = "Specifica colore"});
    testo.add({.check = "CheckBox10",
               .caption = "Effetto 3D",
               .hint = "Se attivato, la linea non sarà incastonata",
               .checked = true});

    PanelBuilder caratt(group(3), rows_);
    caratt.add({.check = "CheckBox31", .caption = "Nome carattere", .value = "ComboBox1", .combo = true, .wide = true});
    caratt.add({.check = "CheckBox1",
                .caption = "Dimensione",
                .value = "ComboBox10",
                .items = {"1", "2", "3", "4", "5", "6", "7", "-3", "-2", "-1", "+1", "+2", "+3"}});
    caratt.add({.check = "CheckBox26", .caption = "Specifica colore"});
    auto* fonts = group(3)->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    fonts->addItems(fontFamilies);
    fonts->setCurrentIndex(-1);
    fonts->setEditText(QString());

    PanelBuilder link(group(4), rows_);
    link.add({.caption = "Immagine"});
    link.add({.check = "CheckBox14", .caption = "Testo alternativo", .value = "Edit16", .wide = true});
    link.add({.check = "CheckBox27", .caption = "Alternativa low-res"});
    link.add({.check = "CheckBox12", .caption = "Larghezza", .value = "Edit11", .start = "1"});
    link.add({.check = "CheckBox11", .caption = "Altezza", .value = "Edit10", .start = "1"});
    link.add({.check = "CheckBox16", .caption = "Spazio vert", .value = "Edit14", .start = "1"});
    link.add({.check = "CheckBox17", .caption = "Spazio oriz", .value = "Edit15", .start = "1"});
    link.add({.check = "CheckBox15", .caption = "Spessore bordo", .value = "Edit13", .start = "1"});
    link.add({.check = "CheckBox13",
              .caption = "Allineamento",
              .value = "ComboBox8",
              .items = {"top", "middle", "bottom", "left", "right"}});
    link.skip(8);
    link.add({.caption = "Link"});
    link.add({.check = "CheckBox2",
              .caption = "Target",
              .value = "ComboBox9",
              .items = {"_blank", "_self", "_parent", "_top"}});

    PanelBuilder elenco(group(5), rows_);
    elenco.add({.caption = "Elenco puntato"});
    elenco.add({.check = "CheckBox5",
                .caption = "Tipo di oggetto",
                .value = "ComboBox2",
                .items = {"disc", "circle", "square"}});
    elenco.skip(8);
    elenco.add({.caption = "Elenco numerato"});
    elenco.add({.check = "CheckBox4",
                .caption = "Tipo di elenco",
                .value = "ComboBox3",
                .items = {"A  lettere maiuscole", "a  lettere minuscole", "I  num. romani maiuscoli",
                          "i  num. romani minuscoli"},
                .wide = true});
    elenco.add({.check = "CheckBox6", .caption = "Numerazione da", .value = "Edit6", .start = "1"});
    elenco.skip(8);
    elenco.add({.caption = "Elemento"});
    elenco.add({.check = "CheckBox29",
                .caption = "Tipo di elemento ",
                .value = "ComboBox4",
                .items = {"disc", "circle", "square", "A", "a", "I", "i"}});
    elenco.add({.check = "CheckBox30", .caption = "Numerazione da", .value = "Edit26", .start = "1"});

    PanelBuilder tabella(group(6), rows_);
    tabella.add({.caption = "Tabella"});
    tabella.add({.check = "CheckBox21", .caption = "Spessore bordo", .value = "Edit20", .start = "1"});
    tabella.add({.check = "CheckBox34", .caption = "Specifica colore"});
    tabella.add({.check = "CheckBox19", .caption = "Larghezza", .value = "Edit18", .start = "1"});
    tabella.add({.check = "CheckBox25",
                 .caption = "CELLSPACING",
                 .value = "Edit22",
                 .start = "1",
                 .hint = "spaziatura tra celle"});
    tabella.add({.check = "CheckBox24",
                 .caption = "CELLPADDING",
                 .value = "Edit23",
                 .start = "1",
                 .hint = "spazio tra bordo e contenuto di una cella"});
    tabella.add({.check = "CheckBox22", .caption = "Didascalia", .value = "Edit21", .wide = true});
    tabella.add({.check = "CheckBox20",
                 .caption = "Allineamento didascalia",
                 .value = "ComboBox7",
                 .items = {"top", "bottom"},
                 .wide = true});
    tabella.skip(8);
    tabella.add({.check = "CheckBox32", .caption = "Cella di intestazione"});
    tabella.add({.check = "CheckBox18", .caption = "Larghezza cella", .value = "Edit17", .start = "1"});
    tabella.add({.check = "CheckBox23",
                 .caption = "NOWRAP testo cella",
                 .hint = "per permettere o meno di mandare a capo le righe"});

    PanelBuilder oggetti(group(7), rows_);
    oggetti.skip(6);
    oggetti.addButton("SpeedButton1", "Casella di immissione", "Immissione testo, numeri");
    oggetti.addButton("SpeedButton2", "Controllo", "Casella di controllo e pulsante di scelta");
    oggetti.addButton("SpeedButton4", "Bottone", "Invio dati, reset");
    oggetti.addButton("SpeedButton5", "Elemento nascosto", "Hidden");
    oggetti.addButton("SpeedButton6", "Area di testo", "Area testo");
    oggetti.addButton("SpeedButton7", "Elenco", "Elenco");

    buildFramesetPanel(group(8));

    fitCaptions();
}

void PropertyPanels::fitCaptions()
{
    QFont font = parent_->font();
    // The narrow face where the desktop has one (for DejaVu Sans, in fonts-dejavu-extra).
    const QString family = QFontInfo(font).family();
    if (QFontDatabase::styles(family).contains(QStringLiteral("Condensed")))
        font.setStyleName(QStringLiteral("Condensed"));
    else if (QFontDatabase::families().contains(family + QStringLiteral(" Condensed")))
        font.setFamily(family + QStringLiteral(" Condensed"));
    for (int pixels = 11; pixels >= 9; --pixels) {
        font.setPixelSize(pixels);
        for (QGroupBox* box : groups_)
            box->setFont(font);
        bool fits = true;
        for (const CaptionRow& row : rows_) {
            const int room = row.value
                                 ? row.value->geometry().right() + 1 - row.check->x() - 2 - minimumWidth(row.value)
                                 : row.check->width();
            fits = fits && row.check->sizeHint().width() <= room;
        }
        if (fits)
            break;
    }
    for (QGroupBox* box : groups_) {
        for (QComboBox* combo : box->findChildren<QComboBox*>())
            combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
    }
    // A value beside its check box takes the room the caption leaves.
    for (const CaptionRow& row : rows_) {
        if (!row.value)
            continue;
        const QRect value = row.value->geometry();
        const int checkWidth = std::max(row.check->sizeHint().width(), 40);
        const int left = row.check->x() + checkWidth + 2;
        row.check->resize(checkWidth, row.check->height());
        row.value->setGeometry(left, value.y(), value.right() + 1 - left, value.height());
    }
}

QToolButton* PropertyPanels::button(const char* name) const
{
    return parent_->findChild<QToolButton*>(QLatin1String(name));
}

// A panel field and the control it is read from, which carries the field's name.
template <typename Panel>
struct Control {
    const char* name;
    std::variant<bool Panel::*, QString Panel::*> field;
};
#define CONTROL(name)                                                                                                  \
    Control<Panel>                                                                                                     \
    {                                                                                                                  \
#name, &Panel::name                                                                                            \
    }

template <typename Panel>
Panel PropertyPanels::read(std::initializer_list<Control<Panel>> controls) const
{
    Panel panel;
    for (const Control<Panel>& control : controls) {
        if (const auto* flag = std::get_if<bool Panel::*>(&control.field))
            panel.** flag = ticked(control.name);
        else
            panel.*std::get<QString Panel::*>(control.field) = value(control.name);
    }
    return panel;
}

bool PropertyPanels::ticked(const char* name) const
{
    for (QGroupBox* box : groups_) {
        if (auto* check = box->findChild<QCheckBox*>(QLatin1String(name)))
            return check->isChecked();
    }
    qFatal("PropertyPanels: no check box named %s", name);
}

QString PropertyPanels::value(const char* name) const
{
    for (QGroupBox* box : groups_) {
        if (auto* edit = box->findChild<QLineEdit*>(QLatin1String(name), Qt::FindDirectChildrenOnly))
            return edit->text();
        if (auto* combo = box->findChild<QComboBox*>(QLatin1String(name)))
            return combo->currentText();
    }
    qFatal("PropertyPanels: no edit or combo box named %s", name);
}

TestoPanel PropertyPanels::testo() const
{
    using Panel = TestoPanel;
    return read<Panel>({
        CONTROL(CheckBox28),
        CONTROL(ComboBox5),
        CONTROL(CheckBox3),
        CONTROL(CheckBox7),
        CONTROL(ComboBox6),
        CONTROL(CheckBox8),
        CONTROL(Edit8),
        CONTROL(CheckBox9),
        CONTROL(Edit9),
        CONTROL(CheckBox33),
        CONTROL(CheckBox10),
    });
}

CarattPanel PropertyPanels::carattere() const
{
    using Panel = CarattPanel;
    return read<Panel>({
        CONTROL(CheckBox31),
        CONTROL(ComboBox1),
        CONTROL(CheckBox1),
        CONTROL(ComboBox10),
        CONTROL(CheckBox26),
    });
}

CollegamentoPanel PropertyPanels::collegamento() const
{
    using Panel = CollegamentoPanel;
    return read<Panel>({
        CONTROL(CheckBox14),
        CONTROL(Edit16),
        CONTROL(CheckBox27),
        CONTROL(CheckBox12),
        CONTROL(Edit11),
        CONTROL(CheckBox11),
        CONTROL(Edit10),
        CONTROL(CheckBox16),
        CONTROL(Edit14),
        CONTROL(CheckBox17),
        CONTROL(Edit15),
        CONTROL(CheckBox15),
        CONTROL(Edit13),
        CONTROL(CheckBox13),
        CONTROL(ComboBox8),
        CONTROL(CheckBox2),
        CONTROL(ComboBox9),
    });
}

ElencoPanel PropertyPanels::elenco() const
{
    using Panel = ElencoPanel;
    return read<Panel>({
        CONTROL(CheckBox5),
        CONTROL(ComboBox2),
        CONTROL(CheckBox4),
        CONTROL(ComboBox3),
        CONTROL(CheckBox6),
        CONTROL(Edit6),
        CONTROL(CheckBox29),
        CONTROL(ComboBox4),
        CONTROL(CheckBox30),
        CONTROL(Edit26),
    });
}

TabellaPanel PropertyPanels::tabella() const
{
    using Panel = TabellaPanel;
    return read<Panel>({
        CONTROL(CheckBox21),
        CONTROL(Edit20),
        CONTROL(CheckBox34),
        CONTROL(CheckBox19),
        CONTROL(Edit18),
        CONTROL(CheckBox25),
        CONTROL(Edit22),
        CONTROL(CheckBox24),
        CONTROL(Edit23),
        CONTROL(CheckBox22),
        CONTROL(Edit21),
        CONTROL(CheckBox20),
        CONTROL(ComboBox7),
        CONTROL(CheckBox32),
        CONTROL(CheckBox18),
        CONTROL(Edit17),
        CONTROL(CheckBox23),
    });
}

void PropertyPanels::show(int n)
{
    for (int i = 1; i <= 8; ++i) {
        if (i != n)
            group(i)->hide();
    }
    group(n)->show();
}

int PropertyPanels::visible() const
{
    for (int n = 8; n >= 1; --n) {
        if (!group(n)->isHidden())
            return n;
    }
    return 0;
}

void PropertyPanels::Sfoglia1Click()
{
    if (const int next = nextPanel(visible()))
        show(next);
}

void PropertyPanels::setHeight(int height)
{
    for (QGroupBox* box : groups_)
        box->resize(kWidth, height);
    image_->resize(image_->width(), height - 12);
}

}  // namespace calamo
