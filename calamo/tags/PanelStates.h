#pragma once

#include <QString>

namespace calamo {

// What the property panels hold, read from their controls when an inserter runs. Fields carry the names of the
// controls they come from; a check box enables the value control named after it.

struct TestoPanel {           // PGroup2 "Testo": paragraph and rule
    bool CheckBox28 = false;  // paragraph alignment
    QString ComboBox5;
    bool CheckBox3 = false;  // close the paragraph with </P>
    bool CheckBox7 = false;  // rule alignment
    QString ComboBox6;
    bool CheckBox8 = false;  // rule thickness
    QString Edit8 = QStringLiteral("1");
    bool CheckBox9 = false;  // rule length
    QString Edit9 = QStringLiteral("1");
    bool CheckBox33 = false;  // rule colour
    bool CheckBox10 = true;   // 3D rule: NOSHADE when unticked
};

struct CarattPanel {          // PGroup3 "Carattere": font
    bool CheckBox31 = false;  // face
    QString ComboBox1;
    bool CheckBox1 = false;  // size
    QString ComboBox10;
    bool CheckBox26 = false;  // colour
};

struct CollegamentoPanel {    // PGroup4 "Collegamento": image and link
    bool CheckBox14 = false;  // alternative text
    QString Edit16;
    bool CheckBox27 = false;  // low-resolution image
    bool CheckBox12 = false;  // width
    QString Edit11 = QStringLiteral("1");
    bool CheckBox11 = false;  // height
    QString Edit10 = QStringLiteral("1");
    bool CheckBox16 = false;  // vertical space
    QString Edit14 = QStringLiteral("1");
    bool CheckBox17 = false;  // horizontal space
    QString Edit15 = QStringLiteral("1");
    bool CheckBox15 = false;  // border
    QString Edit13 = QStringLiteral("1");
    bool CheckBox13 = false;  // image alignment
    QString ComboBox8;
    bool CheckBox2 = false;  // link target
    QString ComboBox9;
};

struct ElencoPanel {         // PGroup5 "Elenco": lists and items
    bool CheckBox5 = false;  // bullet type
    QString ComboBox2;
    bool CheckBox4 = false;  // numbering type: first character of the item
    QString ComboBox3;
    bool CheckBox6 = false;  // start number
    QString Edit6 = QStringLiteral("1");
    bool CheckBox29 = false;  // item type
    QString ComboBox4;
    bool CheckBox30 = false;  // item value
    QString Edit26 = QStringLiteral("1");
};

struct TabellaPanel {         // PGroup6 "Tabella": table and cells
    bool CheckBox21 = false;  // border
    QString Edit20 = QStringLiteral("1");
    bool CheckBox34 = false;  // background colour
    bool CheckBox19 = false;  // width
    QString Edit18 = QStringLiteral("1");
    bool CheckBox25 = false;  // cell spacing
    QString Edit22 = QStringLiteral("1");
    bool CheckBox24 = false;  // cell padding
    QString Edit23 = QStringLiteral("1");
    bool CheckBox22 = false;  // caption
    QString Edit21;
    bool CheckBox20 = false;  // caption alignment
    QString ComboBox7;
    bool CheckBox32 = false;  // header cell
    bool CheckBox18 = false;  // cell width
    QString Edit17 = QStringLiteral("1");
    bool CheckBox23 = false;  // NOWRAP cell
};

// PGroup8 "Frameset": the options that every FRAMESET and FRAME line of a template carries.
struct FramesetPanel {
    bool CheckBox35 = false;  // border width, bare
    QString Edit1 = QStringLiteral("1");
    bool CheckBox37 = false;  // frame border yes/no, bare
    QString ComboBox11{};
    bool CheckBox39 = false;  // border colour, from the colour picker at every FRAMESET line
    bool CheckBox40 = false;  // scroll bars, quoted
    QString ComboBox12{};
    bool CheckBox38 = false;  // NORESIZE
};

// The panel that "Sfoglia proprietà" shows after panel `visible` (1..8): 2 after 1, ..., 8 after 7, 2 after 8.
// 0 when no panel is visible.
inline int nextPanel(int visible)
{
    if (visible < 1 || visible > 8)
        return 0;
    return visible == 8 ? 2 : visible + 1;
}

}  // namespace calamo
