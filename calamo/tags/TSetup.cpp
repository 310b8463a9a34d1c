#include "TSetup.h"

#include "DocumentTable.h"
#include "Prompts.h"
#include "TextEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace calamo {

namespace {

QColor fromColorref(std::uint32_t colorref)
{
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

TSetup::TSetup(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    setObjectName(QStringLiteral("TSetup"));
    setWindowTitle(QStringLiteral("Proprietà pagina"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);

    auto* title = new QHBoxLayout;
    title->addWidget(new QLabel(QStringLiteral("Titolo"), this));
    edit1_ = named(new QLineEdit(this), "Edit1");
    title->addWidget(edit1_, 1);
    layout->addLayout(title);

    auto* search = new QGroupBox(QStringLiteral("Informazioni opzionali per i motori di ricerca"), this);
    auto* searchLayout = new QGridLayout(search);
    edit2_ = named(new QLineEdit(search), "Edit2");
    edit3_ = named(new QLineEdit(search), "Edit3");
    searchLayout->addWidget(new QLabel(QStringLiteral("Descrizione"), search), 0, 0);
    searchLayout->addWidget(edit2_, 0, 1);
    searchLayout->addWidget(new QLabel(QStringLiteral("(Breve descrizione della pagina, si consigliano 300 car. max)"),
                                       search),
                            1, 1);
    searchLayout->addWidget(new QLabel(QStringLiteral("Parole chiave"), search), 2, 0);
    searchLayout->addWidget(edit3_, 2, 1);
    searchLayout->addWidget(
        new QLabel(QStringLiteral("(Parole chiave non ripetute e separate da virgole, 1000 car. max)"), search), 3, 1);
    layout->addWidget(search);

    auto* options = new QGridLayout;
    checkBox4_ = named(new QCheckBox(QStringLiteral("Refresh della pagina"), this), "CheckBox4");
    checkBox2_ = named(new QCheckBox(QStringLiteral("Inserisci info sul generatore"), this), "CheckBox2");
    checkBox2_->setChecked(true);
    checkBox1_ = named(new QCheckBox(QStringLiteral("Info sull'autore del documento"), this), "CheckBox1");
    checkBox3_ = named(new QCheckBox(QStringLiteral("Non indicizzare sui motori di ricerca"), this), "CheckBox3");
    checkBox7_ = named(new QCheckBox(QStringLiteral("Suono di sottofondo"), this), "CheckBox7");
    checkBox6_ = named(new QCheckBox(QStringLiteral("Specifica margini"), this), "CheckBox6");
    checkBox5_ = named(new QCheckBox(QStringLiteral("Filigrana"), this), "CheckBox5");
    options->addWidget(checkBox4_, 0, 0);
    options->addWidget(checkBox2_, 1, 0);
    options->addWidget(checkBox1_, 2, 0);
    options->addWidget(checkBox3_, 3, 0);
    options->addWidget(checkBox7_, 0, 1);
    options->addWidget(checkBox6_, 1, 1);
    options->addWidget(checkBox5_, 2, 1);
    layout->addLayout(options);

    auto* page = new QHBoxLayout;
    auto* buttons = new QVBoxLayout;
    const auto button = [this, buttons](const char* name, const char* caption, void (TSetup::*handler)()) {
        auto* b = named(new QPushButton(QString::fromUtf8(caption), this), name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
        return b;
    };
    button("Button1", "Immagine di sfondo", &TSetup::Button1Click);
    button("Button2", "Colore sfondo", &TSetup::Button2Click);
    button("Button3", "Colore testo", &TSetup::Button3Click);
    button("Button4", "Colore collegamento", &TSetup::Button4Click);
    button("Button5", "Colore collegamento attivo", &TSetup::Button5Click);
    button("Button6", "Colore collegamento visitato", &TSetup::Button6Click);
    buttons->addStretch(1);
    page->addLayout(buttons);

    preview_ = named(new QGroupBox(QStringLiteral("Anteprima colori"), this), "GroupBox1");
    preview_->setAutoFillBackground(true);
    auto* previewLayout = new QVBoxLayout(preview_);
    textLabel_ = named(new QLabel(QStringLiteral("Colore del testo"), preview_), "Label5");
    linkLabel_ = named(new QLabel(QStringLiteral("Colore link"), preview_), "Label6");
    activeLabel_ = named(new QLabel(QStringLiteral("Colore link attivo"), preview_), "Label7");
    visitedLabel_ = named(new QLabel(QStringLiteral("Colore link visitato"), preview_), "Label8");
    for (QLabel* label : {textLabel_, linkLabel_, activeLabel_, visitedLabel_}) {
        label->setAlignment(Qt::AlignCenter);
        previewLayout->addWidget(label);
    }
    page->addWidget(preview_, 1);
    layout->addLayout(page);

    auto* ok = named(new QPushButton(QStringLiteral("Ok"), this), "Button7");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TSetup::Button7Click);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    layout->addLayout(bottom);
}

void TSetup::run(TextEditor& editor)
{
    editor_ = &editor;
    FormShow();
    edit1_->setFocus();
    exec();
    editor_ = nullptr;
}

SetupPanel TSetup::panel() const
{
    SetupPanel p;
    p.Edit1 = edit1_->text();
    p.Edit2 = edit2_->text();
    p.Edit3 = edit3_->text();
    p.CheckBox4 = checkBox4_->isChecked();
    p.CheckBox2 = checkBox2_->isChecked();
    p.CheckBox1 = checkBox1_->isChecked();
    p.CheckBox3 = checkBox3_->isChecked();
    p.CheckBox7 = checkBox7_->isChecked();
    p.CheckBox6 = checkBox6_->isChecked();
    p.CheckBox5 = checkBox5_->isChecked();
    return p;
}

void TSetup::FormShow()
{
    choices_ = PageChoices{};
}

void TSetup::Button1Click()
{
    // Any file: no filter and no default folder.
    if (const auto path = prompts_.openFileName(FileDialogOptions{}))
        choices_.image = *path;
}

void TSetup::pick(std::optional<std::uint32_t>& choice, QWidget* preview, bool fillsBackground)
{
    const auto picked = prompts_.pickColor();
    if (!picked)
        return;
    choice = *picked;
    QPalette palette = preview->palette();
    palette.setColor(fillsBackground ? QPalette::Window : QPalette::WindowText, fromColorref(*picked));
    preview->setPalette(palette);
}

void TSetup::Button2Click()
{
    pick(choices_.background, preview_, true);
}

void TSetup::Button3Click()
{
    pick(choices_.text, textLabel_, false);
}

void TSetup::Button4Click()
{
    pick(choices_.link, linkLabel_, false);
}

void TSetup::Button5Click()
{
    pick(choices_.activeLink, activeLabel_, false);
}

void TSetup::Button6Click()
{
    pick(choices_.visitedLink, visitedLabel_, false);
}

void TSetup::Button7Click()
{
    if (editor_) {
        const QStringList page = SetupPage(panel(), choices_, prompts_);
        editor_->setText(generatedPageText(page));
        editor_->setCaret(SetupCaret(page));
    }
    accept();
}

}  // namespace calamo
