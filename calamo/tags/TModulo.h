#pragma once

#include "FormTags.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QPushButton;

namespace calamo {

class DocumentTable;
class PropertyPanels;

// The form builder "Creazione modulo": seven pages (GroupBox1..GroupBox7), one visible at a time, whose buttons
// insert form tags into the current document. Made once with the main window and reused, so every control
// keeps its value between openings.
class TModulo final : public QDialog {
    Q_OBJECT
public:
    // The pages, by the number of their group box.
    enum Page {
        Controllo = 1,    // check box or radio button
        Bottone = 2,      // push button
        Nascosto = 3,     // hidden field
        AreaTesto = 4,    // text area
        Elenco = 5,       // selection list and items
        CampoTesto = 6,   // text field
        NuovoModulo = 7,  // the FORM element
    };

    // Inserts into the current document of `documents`; "Crea modulo" shows the objects panel of `panels`.
    TModulo(DocumentTable& documents, PropertyPanels& panels, QWidget* parent);

    // Makes `page` the only visible page and shows the dialog: modal (returning when it closes) or modeless.
    void showPage(Page page, bool modal);
    QGroupBox* page(int groupBox) const { return pages_.at(static_cast<std::size_t>(groupBox - 1)); }

    NuovoModuloPage nuovoModulo() const;
    CampoTestoPage campoTesto() const;
    ControlloPage controllo() const;
    BottonePage bottone() const;
    NascostoPage nascosto() const;
    AreaTestoPage areaTesto() const;
    ElencoModuloPage elenco() const;

    void Button4Click();  // "Crea modulo": inserts the FORM, shows the objects panel and closes
    void Button8Click();  // text field
    void Button5Click();  // check box or radio button
    void Button7Click();  // push button
    void Button6Click();  // hidden field
    void Button9Click();  // text area
    void Button2Click();  // "Crea elenco"
    void Button3Click();  // "Aggiungi voce"

private:
    void insert(const Insertion& insertion);
    QPushButton* addButton(QGroupBox* page, const char* name, const char* caption, void (TModulo::*handler)());

    DocumentTable& documents_;
    PropertyPanels& panels_;
    std::array<QGroupBox*, 7> pages_{};
    std::array<QPushButton*, 7> defaults_{};  // the button Enter presses on each page
};

}  // namespace calamo
