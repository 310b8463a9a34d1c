#include "TConvert.h"

#include "Conversions.h"
#include "DialogLook.h"
#include "DocumentEdits.h"
#include "DocumentTable.h"
#include "EditorControl.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace calamo {

TConvert::TConvert(DocumentTable& documents, QWidget* parent) : QDialog(parent), documents_(documents)
{
    setObjectName(QStringLiteral("TConvert"));
    setWindowTitle(QStringLiteral("Lista conversioni"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Simboli attualmente supportati:"), this));
    lista_ = new QListWidget(this);
    lista_->setObjectName(QStringLiteral("Lista"));
    lista_->setSelectionMode(QAbstractItemView::SingleSelection);
    lista_->setFont(listFont());
    // Wide enough for the longest row, 13 + 1 + 6 + 39 characters.
    lista_->setMinimumSize(QFontMetrics(lista_->font()).horizontalAdvance(QString(60, u'M')), 300);
    connect(lista_, &QListWidget::itemDoubleClicked, this, [this] { Button1Click(); });
    layout->addWidget(lista_, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* name, const QString& caption, void (TConvert::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
        return b;
    };
    button("Button1", QStringLiteral("Inserisci"), &TConvert::Button1Click);
    button("Button3", QStringLiteral("Converti tutto"), &TConvert::Button3Click);
    buttons->addStretch(1);
    button("Button2", QStringLiteral("Uscita"), &TConvert::Button2Click)->setDefault(true);
    layout->addLayout(buttons);
}

void TConvert::FormShow()
{
    lista_->clear();
    lista_->addItems(entityRowTexts());
}

void TConvert::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

EditorControl* TConvert::currentEditor()
{
    DocumentTable::Document* doc = documents_.current();
    return doc ? static_cast<EditorControl*>(doc->editor) : nullptr;
}

void TConvert::Button1Click()
{
    EditorControl* editor = currentEditor();
    if (!editor)
        return;
    const QList<QListWidgetItem*> selected = lista_->selectedItems();
    if (!selected.isEmpty())
        replaceSelection(*editor, entityOfRowText(selected.front()->text()));
    documents_.markModified();
}

void TConvert::Button3Click()
{
    if (EditorControl* editor = currentEditor()) {
        const QString text = editor->text();
        replaceSpans(*editor, text, entityReplacements(text));
        documents_.markModified();
    }
    Button2Click();
}

void TConvert::Button2Click()
{
    bringToFront(parentWidget());
    QDialog::reject();
}

void TConvert::reject()
{
    Button2Click();
}

}  // namespace calamo
