#pragma once

#include <QDialog>

class QListWidget;

namespace calamo {

class DocumentTable;
class EditorControl;

// The modal dialog "Lista conversioni": inserts the entity of a listed character at the caret, or turns every
// listed character of the current document into its entity. Made once; the list is filled anew at every showing.
class TConvert final : public QDialog {
    Q_OBJECT
public:
    // `parent` is the main window, brought to the front when the dialog closes.
    TConvert(DocumentTable& documents, QWidget* parent);

    void FormShow();
    void Button1Click();  // "Inserisci", also a double click on a row
    void Button3Click();  // "Converti tutto"
    void Button2Click();  // "Uscita"

protected:
    void showEvent(QShowEvent* event) override;
    // Esc and the window's close button leave as "Uscita" does.
    void reject() override;

private:
    EditorControl* currentEditor();

    DocumentTable& documents_;
    QListWidget* lista_ = nullptr;
};

}  // namespace calamo
