#include "AboutBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace calamo {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Informazioni su \"Calamo\""));
    auto* layout = new QVBoxLayout(this);
    for (const char* line : {"Calamo", "Editor di pagine HTML", "Versione 1.0"}) {
        auto* label = new QLabel(QString::fromUtf8(line), this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    auto* notice = new QPlainTextEdit(this);
    notice->setObjectName(QStringLiteral("Notice"));
    notice->setReadOnly(true);
    notice->setPlainText(QStringLiteral(
        "Calamo è un editor di sorgenti HTML: scrivi le tue pagine come testo, con l'aiuto delle barre "
        "degli strumenti e dei pannelli delle proprietà.\n\n"
        "Il programma è distribuito così com'è, senza alcuna garanzia. Conserva sempre una copia dei tuoi "
        "documenti.\n\n"
        "I tasti di scelta rapida e i comandi dei browser si trovano nel file calamo.cfg della cartella "
        "di lavoro."));
    notice->setMinimumSize(320, 120);
    layout->addWidget(notice);
    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    close->setObjectName(QStringLiteral("Chiudi"));
    connect(close, &QPushButton::clicked, this, [this] {
        if (parentWidget())
            parentWidget()->show();
        accept();
    });
    layout->addWidget(close, 0, Qt::AlignCenter);
}

}  // namespace calamo
