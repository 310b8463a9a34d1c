#pragma once

#include <QColor>
#include <QDialog>
#include <QPixmap>

#include <cstdint>

class QLabel;
class QListWidget;

namespace calamo {

class DocumentTable;
class Prompts;

// The modal dialog "Colori Prefabbricati": previews a named colour and puts its "#RRGGBB" code, or that of a
// colour picked freely, in place of the current document's selection.
class TColoripre final : public QDialog {
    Q_OBJECT
public:
    // `parent` is the main window, brought to the front when the dialog closes.
    TColoripre(DocumentTable& documents, Prompts& prompts, QWidget* parent);

    void ListBox1Click();  // preview of the selected row
    void Button1Click();   // "Inserisci", also a double click on a row
    void Button3Click();   // "Personalizzato"
    void Button2Click();   // "Uscita"

protected:
    // Esc and the window's close button leave as "Uscita" does.
    void reject() override;

private:
    void showColour(std::uint32_t colorref);
    void insertCode(const QString& code);

    DocumentTable& documents_;
    Prompts& prompts_;
    QListWidget* listBox1_ = nullptr;
    QLabel* sx_ = nullptr;
    QLabel* dx_ = nullptr;
};

// The picture between the preview labels: a painter's palette.
QPixmap palettePicture(QSize size);

}  // namespace calamo
