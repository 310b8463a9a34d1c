#pragma once

#include "Inserters.h"

#include <QString>

namespace calamo {

// What the pages of the form builder TModulo hold, read from their controls when a button runs. Fields carry
// the names of the controls they come from; a check box enables the value control on its row. Radio buttons
// of one page are exclusive: exactly one is selected in the dialog.

struct NuovoModuloPage {     // GroupBox7 "Nuovo Modulo": the FORM element
    bool CheckBox25 = true;  // ACTION
    QString Edit20;
    bool CheckBox24 = true;  // METHOD
    QString ComboBox1 = QStringLiteral("post");
    bool CheckBox26 = false;  // ENCTYPE, chosen by the text of ComboBox2
    QString ComboBox2;
};

struct CampoTestoPage {         // GroupBox6 "Campo testo": a text field
    bool RadioButton1 = true;   // plain text
    bool RadioButton2 = false;  // masked characters
    bool RadioButton3 = false;  // integers only
    bool CheckBox2 = true;      // name
    QString Edit1;
    bool CheckBox30 = false;  // read only
    bool CheckBox1 = false;   // disabled
    bool CheckBox4 = false;   // min
    QString Edit3;
    bool CheckBox3 = false;  // max
    QString Edit4;
    bool CheckBox7 = false;  // default value
    QString Edit6;
    bool CheckBox5 = false;  // size
    QString Edit2;
    bool CheckBox6 = false;  // maximum length
    QString Edit5;
};

struct ControlloPage {          // GroupBox1 "Controllo": a check box or radio button
    bool RadioButton4 = true;   // check box
    bool RadioButton5 = false;  // radio button
    bool CheckBox9 = true;      // name
    QString Edit7;
    bool CheckBox14 = false;  // value
    QString Edit12;
    bool CheckBox8 = false;  // checked
};

struct BottonePage {            // GroupBox2 "Bottone": a push button
    bool RadioButton6 = true;   // submit
    bool RadioButton7 = false;  // reset
    bool RadioButton8 = false;  // plain button
    bool CheckBox11 = false;    // label
    QString Edit8;
    bool CheckBox10 = false;  // icon path
    QString Edit15;
    bool CheckBox17 = false;  // alternative text
    QString Edit14;
    bool CheckBox29 = false;  // width
    QString Edit22;
    bool CheckBox28 = false;  // height
    QString Edit21;
};

struct NascostoPage {        // GroupBox3 "Elemento nascosto": a hidden field
    bool CheckBox12 = true;  // name
    QString Edit9;
    bool CheckBox13 = false;  // value
    QString Edit10;
};

struct AreaTestoPage {       // GroupBox4 "Area di Testo": a text area
    bool CheckBox19 = true;  // name
    QString Edit16;
    bool CheckBox16 = false;  // columns
    QString Edit11;
    bool CheckBox18 = false;  // rows
    QString Edit13;
    bool CheckBox15 = false;                     // wrap
    QString Memo2 = QStringLiteral("Testo...");  // the start text, lines separated by "\n"
};

struct ElencoModuloPage {    // GroupBox5 "Elenco": a selection list and its items
    bool CheckBox21 = true;  // name
    QString Edit17;
    bool CheckBox22 = false;  // height in rows
    QString Edit18;
    bool CheckBox20 = false;                                          // multiple selection
    QString Edit19 = QStringLiteral("Testo della voce dell'elenco");  // the item's text
    bool CheckBox23 = false;                                          // item selected
    bool CheckBox27 = false;                                          // item disabled
};

// The texts each button of the form builder puts around the selection, named after its handler. Line breaks
// inside them are single "\n"; values go in exactly as typed. The caret lands after `open` and the selection,
// so a form is built top to bottom without moving it.
Insertion Button4Tag(const NuovoModuloPage& page);   // "Crea modulo": FORM, closed after the selection
Insertion Button8Tag(const CampoTestoPage& page);    // text field
Insertion Button5Tag(const ControlloPage& page);     // check box or radio button
Insertion Button7Tag(const BottonePage& page);       // push button
Insertion Button6Tag(const NascostoPage& page);      // hidden field
Insertion Button9Tag(const AreaTestoPage& page);     // text area: the caret after its text
Insertion Button2Tag(const ElencoModuloPage& page);  // "Crea elenco": SELECT, closed after the selection
Insertion Button3Tag(const ElencoModuloPage& page);  // "Aggiungi voce": one OPTION line

// The three items of the ENCTYPE combo box, in order.
inline constexpr const char* kEnctypeItems[3] = {
    "application/x-www-form-urlencoded",
    "multipart/form-data (richiesto da INPUT TYPE= FILE)",
    "text/plain (solo per moduli mailto)",
};

}  // namespace calamo
