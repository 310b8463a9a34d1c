#include "TShort.h"

#include "DialogLook.h"
#include "Prompts.h"
#include "ShortcutEntries.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace calamo {

TShort::TShort(Config& config, FileSystem& files, Prompts& prompts, QWidget* parent, QString configPath)
    : QDialog(parent),
      config_(config),
      files_(files),
      prompts_(prompts),
      configPath_(std::move(configPath))
{
    setObjectName(QStringLiteral("TShort"));
    setWindowTitle(QStringLiteral("Editor tasti di scelta rapida"));
    setModal(true);

    auto* layout = new QGridLayout(this);
    comboBox1_ = new QComboBox(this);
    comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    comboBox1_->addItems(shortcutItems());
    comboBox1_->setCurrentIndex(-1);
    comboBox1_->setMaxVisibleItems(20);
    connect(comboBox1_, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    layout->addWidget(comboBox1_, 0, 0);

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setFont(listFont());
    edit1_->setMaximumWidth(edit1_->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM")) + 12);
    layout->addWidget(edit1_, 0, 1);

    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo"));
    memo->setReadOnly(true);
    memo->setTabChangesFocus(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setPlainText(shortcutHelpLines().join(u'\n'));
    memo->setMinimumSize(memo->fontMetrics().horizontalAdvance(shortcutHelpLines().front()) + 40,
                         memo->fontMetrics().lineSpacing() * 15);
    layout->addWidget(memo, 1, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    auto* salva = new QPushButton(QStringLiteral("Salva"), this);
    salva->setObjectName(QStringLiteral("Button1"));
    salva->setDefault(true);  // Enter after typing a code keeps it
    connect(salva, &QPushButton::clicked, this, &TShort::Button1Click);
    auto* uscita = new QPushButton(QStringLiteral("Uscita"), this);
    uscita->setObjectName(QStringLiteral("Button2"));
    connect(uscita, &QPushButton::clicked, this, &TShort::Button2Click);
    buttons->addWidget(salva);
    buttons->addStretch(1);
    buttons->addWidget(uscita);
    layout->addLayout(buttons, 2, 0, 1, 2);
}

void TShort::showEvent(QShowEvent* event)
{
    ComboBox1Change();  // the stored code, not what was typed and left unsaved last time
    QDialog::showEvent(event);
}

void TShort::ComboBox1Change()
{
    const std::optional<int> entry = shortcutEntryOf(comboBox1_->currentText());
    edit1_->setText(entry ? shortcutText(config_, *entry) : QString());
}

void TShort::Button1Click()
{
    const std::optional<int> entry = shortcutEntryOf(comboBox1_->currentText());
    if (!entry)
        return;
    if (const auto error = setShortcut(config_, *entry, edit1_->text()))
        prompts_.showError(*error);
    edit1_->setText(shortcutText(config_, *entry));
}

void TShort::Button2Click()
{
    if (const auto error = ScriviCfg(files_, config_, configPath_))
        prompts_.showError(*error);
    bringToFront(parentWidget());
    QDialog::reject();
}

void TShort::reject()
{
    Button2Click();
}

}  // namespace calamo
